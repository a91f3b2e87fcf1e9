// Damaged and hostile scripts: each run ends, nothing crashes, and the
// mended faults are reported naming the script.
#include <random>

#include "script_fixture.h"

using tevtest::G;
using tevtest::ScriptFixture;
using namespace std::string_literals;

namespace {

std::string Crlf(const std::vector<std::string>& lines)
{
    std::string out;
    for (const auto& l : lines)
        out += G(l.c_str()) + "\r\n";
    return out;
}

struct BadCase {
    const char* name;
    std::string bytes;
    bool after;                       // the static "after" is defined at the end
    std::vector<std::string> reports; // parts that some report must hold
};

class ScriptBadInput : public ScriptFixture {};

TEST_F(ScriptBadInput, EveryRunEnds)
{
    const std::string big(1 << 20, 'x');
    std::string deep;
    for (int i = 0; i < 3000; ++i)
        deep += "if(done==1)\r\n";
    deep += "static int inner = 1;\r\n";
    for (int i = 0; i < 3000; ++i)
        deep += "end if\r\n";
    std::string deepSkipped = "if(done==2)\r\n";
    for (int i = 0; i < 3000; ++i)
        deepSkipped += "if(done==1)\r\nwhile()\r\n";
    for (int i = 0; i < 3000; ++i)
        deepSkipped += "loop\r\nend if\r\n";
    deepSkipped += "end if\r\n";

    const std::vector<BadCase> cases = {
        {"noeof", Crlf({"static int done = 1;", "static int after = 1;"}), true, {"没有EOF", "noeof"}},
        {"noeofnocrlf", "static int done = 1;\r\nstatic int after = 1;", true, {"没有EOF", "noeofnocrlf"}},
        {"empty", "", false, {"没有EOF", "empty"}},
        {"blanksonly", "   \r\n\r\n  \r\n\r\n\r\n", false, {"没有EOF", "blanksonly"}},
        {"noendif", Crlf({"static int done = 1;", "if(done==2)", "static int after = 1;", "EOF"}), false,
         {"语句块", "noendif"}},
        {"tabbedendif", Crlf({"static int done = 1;", "if(done==2)", "\tend if", "static int after = 1;", "EOF"}),
         false, {"语句块", "tabbedendif"}},
        {"noloop", Crlf({"static int done = 1;", "while(done==2)", "static int after = 1;", "EOF"}), false,
         {"语句块", "noloop"}},
        {"nonext", Crlf({"static int done = 1;", "for(i=5;i<2;i=i+1)", "static int after = 1;", "EOF"}), false,
         {"语句块", "nonext"}},
        {"strayloop", Crlf({"static int done = 1;", "loop", "static int after = 1;", "EOF"}), true, {}},
        {"straynext", Crlf({"static int done = 1;", "next", "static int after = 1;", "EOF"}), true, {}},
        {"strayendif", Crlf({"static int done = 1;", "end if", "static int after = 1;", "EOF"}), true, {}},
        {"strayelse",
         Crlf({"static int done = 1;", "else", "static int skipped = 1;", "end if", "static int after = 1;", "EOF"}),
         true, {}},
        {"straybreak", Crlf({"static int done = 1;", "break", "static int after = 1;", "EOF"}), false,
         {"语句块", "straybreak"}},
        {"nooperator", Crlf({"static int done = 1;", "static int after = 1;", "if(done"}), true, {"语句块", "nooperator"}},
        {"noquote", Crlf({"static int done = 1;", "static int after = 1;", "PlayWave(x)"}), true, {"没有EOF", "noquote"}},
        {"noquotenocrlf", "static int done = 1;\r\nstatic int after = 1;\r\nPlayWave(\"x", true, {"没有EOF"}},
        {"shortrecord", Crlf({"static int done = 1;", "static int after = 1;", "AddNpc(,1,2);", "EOF"}), true, {}},
        {"missingcallee",
         Crlf({"static int done = 1;", "ReadAScriptFile(\"nosuch\")", "static int after = 1;", "EOF"}), false,
         {"打开SCRIPT文件出错！", "nosuch.jsr"}},
        {"leavesfolder",
         Crlf({"static int done = 1;", "ReadAScriptFile(\"..\\outside\")", "static int after = 1;", "EOF"}), false,
         {"游戏目录之外", "outside"}},
        {"rooted", Crlf({"static int done = 1;", "ReadAScriptFile(\"/etc/passwd\")", "static int after = 1;", "EOF"}),
         false, {"打开SCRIPT文件出错！", "passwd.jsr"}},
        {"longline", Crlf({"static int done = 1;", big, "static int after = 1;", "EOF"}), true, {"METHOD_ID"}},
        {"longname", Crlf({"static int done = 1;", "ReadAScriptFile(\"" + big + "\")", "EOF"}), false,
         {"打开SCRIPT文件出错！"}},
        {"longvariable", Crlf({"static int done = 1;", "static int " + big + " = 1;", big + " = " + big + " + 1;",
                               "static int after = 1;", "EOF"}),
         true, {}},
        {"deepnesting", Crlf({"static int done = 1;"}) + deep + deepSkipped + Crlf({"static int after = 1;", "EOF"}),
         true, {}},
        {"invalidgbk",
         std::string("static int done = 1;\r\nstatic int \x81 = \xff\xfe;\r\nReadAScriptFile(\"\x81\")\r\n") +
             "static int after = 1;\r\nEOF\r\n",
         false, {"打开SCRIPT文件出错！"}},
        {"nulbytes", "static int done = 1;\r\nstatic int a\0b = 1;\r\n\0\0\r\nstatic int after = 1;\r\nEOF\r\n"s, true,
         {}},
        {"cronly", "static int done = 1;\rstatic int b = 2;\rEOF\r", false, {}},
        {"outofrange",
         Crlf({"static int done = 1;", "static int a = 99999999999999999999999;", "SetScreenBlack(-99999999999999)",
               "static int after = 1;", "EOF"}),
         true, {}},
    };
    tevtest::WriteFile(root_ / "outside.jsr", "static int escaped = 1;\r\nEOF\r\n");
    for (const BadCase& c : cases) {
        SCOPED_TRACE(c.name);
        Fresh();
        RawScript(c.name, c.bytes);
        Run(c.name);
        EXPECT_EQ(g_Script.running, 0);
        const auto s = Statics();
        if (c.bytes.rfind("static int done", 0) == 0) {
            EXPECT_EQ(s.count("done"), 1u);
        }
        EXPECT_EQ(CountAlerts("太多"), 0) << "no run may need the cap";
        EXPECT_EQ(s.count("after"), c.after ? 1u : 0u);
        EXPECT_EQ(s.count("escaped"), 0u);
        EXPECT_EQ(s.count("skipped"), 0u);
        for (const auto& part : c.reports)
            EXPECT_GE(CountAlerts(part), 1) << part;
        EXPECT_TRUE(g_Script.callStack.empty());
        EXPECT_TRUE(g_Script.ifStack.empty());
        EXPECT_TRUE(g_Script.whileStarts.empty());
    }
}

// A called script that ends without "EOF" returns to its caller.
TEST_F(ScriptBadInput, CalledScriptWithoutEofReturns)
{
    Script("caller", {"ReadAScriptFile(\"bare\")", "static int back = 1;", "EOF"});
    RawScript("bare", "static int inbare = 1;\r\n");
    Run("caller");
    EXPECT_EQ(Statics(), (std::map<std::string, int32_t>{{"inbare", 1}, {"back", 1}}));
    EXPECT_EQ(CountAlerts("bare"), 1);
}

TEST_F(ScriptBadInput, SelfCallsStopAtTheDepthCap)
{
    Script("self", {"static int n = 0;", "n = n + 1;", "ReadAScriptFile(\"self\")", "static int after = 1;", "EOF"});
    Run("self");
    EXPECT_EQ(g_Script.running, 0);
    EXPECT_EQ(Statics().at("n"), static_cast<int32_t>(script::kMaxCallDepth) + 1);
    EXPECT_EQ(Statics().count("after"), 0u);
    EXPECT_EQ(CountAlerts("self"), 1);
    EXPECT_TRUE(g_Script.callStack.empty());
}

// A run to the end that never ends is cut off with a report; a run in the
// main loop has no cap.
TEST_F(ScriptBadInput, EndlessRunToEndIsCut)
{
    g_Script.runToEndCap = 3000;
    Script("endless", {"static int done = 1;", "static int n = 0;", "while()", "n = n + 1;", "loop", "EOF"});
    Run("endless");
    EXPECT_EQ(g_Script.running, 0);
    EXPECT_EQ(CountAlerts("endless"), 1);
    const int32_t n = Statics().at("n");
    EXPECT_GT(n, 1000 - 2);
    EXPECT_LE(n, 1000 + 1);
    EXPECT_EQ(g_Script.runToEnd, 0);

    Fresh();
    ASSERT_EQ(g_Script.OpenScript("endless"), 1);
    for (int i = 0; i < 6000; ++i)
        g_Script.Step();
    EXPECT_EQ(g_Script.running, 1);
}

// A run to the end paints nothing and reads no input: a statement that
// waits on the player is given up after two seconds of game time, alone,
// and the script goes on with its next line.
TEST_F(ScriptBadInput, RunToEndGivesUpAWaitOnThePlayer)
{
    for (const std::string wait : {"PlayerTalk(\"a\", \"b\", \"c\")", "NpcTalk(\"a\", \"b\", \"c\")",
                                   "Talk(\"s\", \"a\", \"b\", \"c\")", "FindVar(\"never\")"}) {
        SCOPED_TRACE(wait);
        Fresh();
        Script("start", {"static int before = 1;", wait, "static int after = 1;", wait, "EOF"});
        const uint32_t t0 = tevtest::Headless().fakeClock().Now();
        Run("start");
        const uint32_t spent = tevtest::Headless().fakeClock().Now() - t0;
        EXPECT_EQ(g_Script.running, 0);
        EXPECT_GT(spent, 2 * script::kPlayerWaitLimitMs);
        EXPECT_LT(spent, 2 * script::kPlayerWaitLimitMs + 1000);
        EXPECT_EQ(CountAlerts("等待玩家"), 2);
        EXPECT_EQ(CountAlerts("已跳过这一句：start 第2行"), 1);
        EXPECT_EQ(CountAlerts("已跳过这一句：start 第4行"), 1);
        EXPECT_EQ(Statics().count("before"), 1u);
        EXPECT_EQ(Statics().count("after"), 1u);
        // No talk is left showing.
        EXPECT_EQ(g_DialogOpen, 0);
        EXPECT_EQ(g_Script.dialogStarted, 0);
    }
    // A timed wait is no wait on the player: a long delay still completes.
    Fresh();
    Script("delay", {"DelayTime(5000)", "static int after = 1;", "EOF"});
    Run("delay");
    EXPECT_EQ(Statics().count("after"), 1u);
    EXPECT_EQ(CountAlerts("等待玩家"), 0);
}

} // namespace

namespace {

// Scripts made of random pieces of statements, damaged quotes, heads without
// closers and stray bytes, calling one another: every run ends and leaves
// the interpreter idle and empty.
TEST_F(ScriptBadInput, RandomScriptsAlwaysEnd)
{
    const std::vector<std::string> pieces = {
        "static int a = 1;", "int b = 2;", "a = a + 1;", "b = a * b;", "a = b / zero;", "if(a==1)", "if(b>a)",
        "else", "end if", "while(a<5)", "while()", "loop", "break", "for(i=0;i<3;i=i+1)", "for(i=9;i<3;i=i+1)",
        "next", "EOF", "ReadAScriptFile(\"r1\")", "ReadAScriptFile(\"r2\")", "ReadAScriptFile(\"r", "PlayWave(\"x\")",
        "PlayWave(x", "Talk(\"a\",\"b\"", "AddNpc(,1,2", "\"", "(", ")", "", "   ", "\t", "// c", "x=", "static",
        "int", "static int", "FadeIn(0)", "MoveMap(1,2,3)", "if(", "while(a", "for(", "=", "==", "!",
        "\x81\x40\xfe", std::string("\0", 1), "end", "if(a==2)", "a = 2147483647 * 2147483647;"};
    const std::vector<std::string> seps = {"\r\n", "\r\n", "\r\n", "\n", "\r", "", " "};
    std::mt19937 rng(12345);
    auto pick = [&](size_t n) { return static_cast<size_t>(rng() % n); };
    auto make = [&] {
        std::string s;
        const size_t n = 1 + pick(30);
        for (size_t i = 0; i < n; ++i)
            s += pieces[pick(pieces.size())] + seps[pick(seps.size())];
        return s;
    };
    g_Script.runToEndCap = 500;
    for (int round = 0; round < 400; ++round) {
        SCOPED_TRACE(round);
        Fresh();
        RawScript("main", make());
        RawScript("r1", make());
        if (round % 3)
            RawScript("r2", make());
        else
            std::filesystem::remove(root_ / "Script" / "r2.jsr");
        Run("main");
        ASSERT_EQ(g_Script.running, 0);
        ASSERT_TRUE(g_Script.callStack.empty());
        ASSERT_TRUE(g_Script.ifStack.empty());
        ASSERT_TRUE(g_Script.whileStarts.empty());
        ASSERT_TRUE(g_Script.forStarts.empty());
        ASSERT_TRUE(g_Script.forSteps.empty());
        ASSERT_TRUE(g_Script.localNames.empty());
    }
}

} // namespace
