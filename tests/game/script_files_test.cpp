// Script files, the statement step, calls and the end of a run.
#include "script_fixture.h"

using tevtest::G;
using tevtest::ScriptFixture;

namespace {

class ScriptFiles : public ScriptFixture {};

TEST_F(ScriptFiles, CallAndReturnShareLocals)
{
    Script("a", {"int x = 1;", "ReadAScriptFile(\"b\")", "x = x + 10;", "static int r = x;", "EOF"});
    Script("b", {"x = 5;", "static int inb = 1;", "EOF"});
    Run("a");
    EXPECT_EQ(g_Script.running, 0);
    EXPECT_EQ(Statics(), (std::map<std::string, int32_t>{{"r", 15}, {"inb", 1}}));
    const std::vector<std::string> expected = {"a int",      "a ReadAScriptFile", "b x = 5;",   "b static int",
                                               "b EOF",      "a x = x + 10;",     "a static int", "a EOF"};
    EXPECT_EQ(Statements(), expected);
    EXPECT_TRUE(g_Script.callStack.empty());
}

// Runs of blank lines cost one empty step for every three; a comment line
// costs one step.
TEST_F(ScriptFiles, BlankLinesAndComments)
{
    const struct {
        int blanks;
        int emptySteps;
    } cases[] = {{0, 0}, {1, 0}, {2, 0}, {3, 1}, {5, 1}, {6, 2}, {8, 2}, {9, 3}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.blanks);
        Fresh();
        std::filesystem::remove(root_ / "log.txt");
        tevtest::InstallHeadless([&] {
            plat::headless::Options o;
            o.root = root_;
            o.logFile = root_ / "log.txt";
            return o;
        }());
        std::vector<std::string> lines = {"static int a = 1;"};
        for (int i = 0; i < c.blanks; ++i)
            lines.push_back("");
        lines.push_back("static int b = 1;");
        lines.push_back("EOF");
        Script("blank", lines);
        Run("blank");
        const auto st = Statements();
        EXPECT_EQ(static_cast<int>(std::count(st.begin(), st.end(), "blank ")), c.emptySteps);
        EXPECT_EQ(Statics().size(), 2u);
    }
    Fresh();
    Script("comment", {"// a comment", "static int a = 1; static int b = 2;", "EOF"});
    Run("comment");
    EXPECT_EQ(Statics(), (std::map<std::string, int32_t>{{"a", 1}})) << "only the first statement of a line runs";
    const auto st = Statements();
    EXPECT_EQ(std::count(st.begin(), st.end(), "comment "), 1);
}

TEST_F(ScriptFiles, OutermostEndRestoresActorsAndInput)
{
    g_Npcs.resize(2);
    g_Npcs[1].active = 0;
    g_Npcs[1].initialActive = 1;
    g_Monsters.resize(1);
    g_Monsters[0].active = 0;
    g_Monsters[0].initialActive = 1;
    g_TalkNpcIndex = 1;
    g_hitMonsterIndex = 0;
    g_Script.inputLocked = 1;
    g_Control.keyMoveOn = 0;
    g_Control.mouseActionOn = 0;

    Script("sub", {"int y = 2;", "EOF"});
    Script("e", {"int x = 1;", "static int s = 3;", "ReadAScriptFile(\"sub\")", "static int mid = 1;", "EOF"});
    ASSERT_EQ(g_Script.OpenScript("e"), 1);
    ASSERT_TRUE(StepUntilStatic("mid"));
    // The called script's end restored nothing yet.
    EXPECT_EQ(g_TalkNpcIndex, 1);
    EXPECT_EQ(g_Npcs[1].active, 0);
    EXPECT_EQ(g_Script.localNames.size(), 2u);
    g_Script.Step();
    ASSERT_EQ(g_Script.running, 0);
    EXPECT_EQ(g_Npcs[1].active, 1);
    EXPECT_EQ(g_Monsters[0].active, 1);
    EXPECT_EQ(g_TalkNpcIndex, -1);
    EXPECT_EQ(g_hitMonsterIndex, -1);
    EXPECT_EQ(g_Control.keyMoveOn, 1);
    EXPECT_EQ(g_Control.mouseActionOn, 1);
    EXPECT_EQ(g_Script.inputLocked, 1);
    EXPECT_TRUE(g_Script.localNames.empty());
    EXPECT_EQ(Statics().at("s"), 3);
}

TEST_F(ScriptFiles, OpenIsRefusedWhileAnOutermostScriptRuns)
{
    Script("one", {"static int a = 1;", "static int b = 1;", "EOF"});
    Script("two", {"static int other = 1;", "EOF"});
    ASSERT_EQ(g_Script.OpenScript("one"), 1);
    EXPECT_EQ(g_Script.OpenScript("two"), 0);
    EXPECT_EQ(g_Script.scriptName, "one");
    EXPECT_TRUE(Alerts().empty());
    while (g_Script.running)
        g_Script.Step();
    EXPECT_EQ(Statics().count("other"), 0u);
    EXPECT_EQ(g_Script.OpenScript("two"), 1);
}

// An outside open while a called script runs replaces that script; its
// "EOF" then returns to the caller of the replaced one.
TEST_F(ScriptFiles, OutsideOpenReplacesACalledScript)
{
    Script("caller", {"ReadAScriptFile(\"callee\")", "static int back = 1;", "EOF"});
    Script("callee", {"static int c1 = 1;", "static int c2 = 1;", "EOF"});
    Script("event", {"static int ev = 1;", "EOF"});
    ASSERT_EQ(g_Script.OpenScript("caller"), 1);
    ASSERT_TRUE(StepUntilStatic("c1"));
    EXPECT_EQ(g_Script.OpenScript("missing"), 0) << "a failed open leaves the called script running";
    EXPECT_EQ(g_Script.scriptName, "callee");
    EXPECT_EQ(g_Script.OpenScript("event"), 1);
    while (g_Script.running)
        g_Script.Step();
    const auto s = Statics();
    EXPECT_EQ(s.count("c2"), 0u);
    EXPECT_EQ(s.count("ev"), 1u);
    EXPECT_EQ(s.count("back"), 1u);
}

TEST_F(ScriptFiles, ControlWords)
{
    Script("caller", {"ReadAScriptFile(\"callee\")", "static int back = 1;", "static int more = 1;", "EOF"});
    Script("callee", {"static int c1 = 1;", "static int c2 = 1;", "EOF"});
    ASSERT_EQ(g_Script.OpenScript("caller"), 1);
    ASSERT_TRUE(StepUntilStatic("c1"));
    // "eof" in a called script returns to its caller only.
    g_Script.Control("eof");
    EXPECT_EQ(g_Script.running, 1);
    EXPECT_EQ(g_Script.scriptName, "caller");
    ASSERT_TRUE(StepUntilStatic("back"));
    EXPECT_EQ(Statics().count("c2"), 0u);
    g_Script.Control("eof");
    EXPECT_EQ(g_Script.running, 0);
    EXPECT_EQ(Statics().count("more"), 0u);

    g_Script.clockEnabled = 1;
    g_Script.clockScripts = {"t1", "t2"};
    g_Script.Control("something");
    EXPECT_EQ(g_Script.clockEnabled, 1);
    g_Script.Control("clock");
    EXPECT_EQ(g_Script.clockEnabled, 0);
    EXPECT_TRUE(g_Script.clockScripts.empty());
}

TEST_F(ScriptFiles, ResetClearsVariablesAndStacksOnly)
{
    Script("r", {"static int s = 1;", "int l = 2;", "if(s==1)", "while()", "static int mark = 1;", "loop", "end if",
                 "EOF"});
    ASSERT_EQ(g_Script.OpenScript("r"), 1);
    ASSERT_TRUE(StepUntilStatic("mark"));
    g_Script.clockScripts = {"c"};
    g_Script.Reset();
    EXPECT_TRUE(g_Script.staticNames.empty());
    EXPECT_TRUE(g_Script.localNames.empty());
    EXPECT_TRUE(g_Script.ifStack.empty());
    EXPECT_TRUE(g_Script.whileStarts.empty());
    EXPECT_EQ(g_Script.running, 1);
    EXPECT_EQ(g_Script.clockScripts.size(), 1u);
    // The loop goes on without its start: "loop" is passed over, and the
    // script still reaches its end.
    for (int i = 0; i < 100 && g_Script.running; ++i)
        g_Script.Step();
    EXPECT_EQ(g_Script.running, 0);
}

TEST_F(ScriptFiles, LineFeedOnlyFileIsReportedOnceAndRead)
{
    RawScript("lf", "static int a = 1;\nif(a==1)\n  a = a + 1;\nend if\nEOF\n");
    Run("lf");
    EXPECT_EQ(Statics().at("a"), 2);
    EXPECT_EQ(CountAlerts("没有CR"), 1);
    EXPECT_EQ(CountAlerts("lf.jsr"), 1);
    Fresh();
    // A file with CR LF line ends and one bare LF is read as it is, unreported.
    RawScript("mixed", "\nstatic int b = 1;\r\nstatic int c = 1;\r\nEOF\r\n");
    Run("mixed");
    EXPECT_EQ(CountAlerts("没有CR"), 0);
    EXPECT_EQ(Statics().count("c"), 1u);
}

TEST_F(ScriptFiles, NamesAreMatchedWithoutCaseAndInGbk)
{
    Script("Sub/MiXed", {"static int m = 1;", "EOF"});
    Script("对话", {"static int gbk = 1;", "EOF"});
    Script("main", {"ReadAScriptFile(\"sub\\mixed\")", "ReadAScriptFile(\"对话\")", "EOF"});
    Run("MAIN");
    EXPECT_EQ(Statics(), (std::map<std::string, int32_t>{{"m", 1}, {"gbk", 1}}));
    EXPECT_TRUE(Alerts().empty());
}

} // namespace
