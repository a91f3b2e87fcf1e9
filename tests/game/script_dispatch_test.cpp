// The dispatcher: every command reaches its handler and the script goes on;
// what matches nothing is reported and skipped.
#include "script_fixture.h"

using tevtest::ScriptFixture;

namespace {

class ScriptDispatch : public ScriptFixture {};

std::string Record(const char* name, int count)
{
    std::string line = std::string(name) + "(,";
    for (int i = 0; i < count; ++i)
        line += "v" + std::to_string(i) + ",";
    return line + ");";
}

TEST_F(ScriptDispatch, EveryCommandRunsAndTheNextLineFollows)
{
    const std::vector<std::string> commands = {
        "SelectSave",
        "CloseClockScript(\"c\")",
        "OpenClockScript(\"c\")",
        "KillSVar(\"nothing\")",
        "SetNpcPos(\"n1\", 10.5, 20)",
        "SetMonsterPos(\"m1\", 1, 2)",
        "PauseMidi",
        "ResumeMidi()",
        "SetMonsterProp(\"m1\", hp, 10)",
        "SetNpcProp(\"n1\", name, \"新名字, (x)\")",
        "GetMeProp(hp)",
        "FindVar(\"findme\")",
        "AddItem(\"剑\")",
        "KeyTable(Esc, 0)",
        "KillNpc(\"n1\")",
        "KillMonster(\"m1\")",
        "SetWalkMode(npc, \"n1\", astar)",
        "ShowTextAtOnce(\"文字, with ) and (\")",
        "LaunchGame",
        "LoadUIFrame(\"main_frame\")",
        "UnloadUIFrame(\"main_frame\")",
        "debug(\"~quiet\")",
        "StopMidi()",
        "PlayMidi(\"title\")",
        "StopWave(\"x\")",
        "PlayWave (\"x\")",
        "MoveNpcTo(\"n1\", 64, 96)",
        "MoveMonsterTo(\"m1\", 64, 96)",
        "SetScreenBlack(1)",
        "FadeIn(0)",
        "FadeOut(0)",
        "ChangeMap(\"m\")",
        "SetMePos(100, 200)",
        Record("AddToMagicList", 31),
        Record("AddRole", 21),
        Record("AddNpc", 16),
        Record("AddMonster", 29),
        "ReadAScriptFile(\"sub\")",
        "DelayTime(10)",
        "MoveMap(10, 0, 2)",
        "MoveMapTo(100, 100, 4)",
        "SetMeProp(name, \"名\")",
        "LockKeyMouse",
        "UnlockKeyMouse()",
        // Those that change the game's state or end it come last.
        "SaveGame(1)",
        "LoadGame(2)",
        "LaunchTitle",
        "ExitGame()",
    };
    std::vector<std::string> lines = {"static int n = 0;", "int findme = 1;"};
    for (const auto& c : commands) {
        lines.push_back(c);
        lines.push_back("n = n + 1;");
    }
    lines.push_back("EOF");
    Script("all", lines);
    Script("sub", {"EOF"});
    Run("all");
    EXPECT_EQ(g_Script.running, 0);
    EXPECT_EQ(CountAlerts("METHOD_ID"), 0);
    // Each command let the line after it run.
    const auto st = Statements();
    EXPECT_EQ(std::count(st.begin(), st.end(), "all n = n + 1;"), static_cast<long>(commands.size()));
    // And every name of the table was dispatched, but the talks: they wait
    // for the player (their own tests).
    for (const auto& name : script::CommandNames())
        if (name.find("Talk") == std::string::npos) {
            EXPECT_TRUE(std::find(st.begin(), st.end(), "all " + name) != st.end()) << name;
        }
    const auto log = tevtest::ReadLines(root_ / "log.txt");
    EXPECT_TRUE(std::any_of(log.begin(), log.end(),
                            [](const std::string& l) { return l.find("ui load selectsave_frame") != std::string::npos; }));
}

TEST_F(ScriptDispatch, UnknownKeywordsAreReportedAndSkipped)
{
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"playmidi(\"x\")", "playmidi"},   // other capitals
        {"LaunchGame;", "LaunchGame;"},     // a ';' without parentheses
        {"\tEOF", "\tEOF"},                 // a tab before the keyword
        {"Play Wave(\"x\")", "Play Wave"},
        {"x + 1;", "x + 1;"},
    };
    for (const auto& [line, keyword] : cases) {
        SCOPED_TRACE(line);
        Fresh();
        Script("u", {"static int n = 0;", line, "n = n + 1;", "EOF"});
        Run("u");
        const auto a = Alerts();
        ASSERT_EQ(a.size(), 2u);
        EXPECT_EQ(a[0], "找不到METHOD_ID,无法继续进行事件！转到下一事件");
        EXPECT_EQ(a[1], keyword);
        EXPECT_EQ(Statics().at("n"), 1);
    }
}

// A quoted argument whose opening quote is missing takes its text from the
// lines that follow.
TEST_F(ScriptDispatch, MissingOpeningQuoteReadsOn)
{
    Script("q", {"static int n = 0;", "PlayWave(x)", "n = n + 10;", "PlayMidi(\"y\")", "n = n + 100;", "EOF"});
    Run("q");
    EXPECT_EQ(Statics().at("n"), 100);
    EXPECT_TRUE(Alerts().empty());
}

TEST_F(ScriptDispatch, CommandsWithoutArgumentsTakeParenthesesOrNot)
{
    Script("p", {"static int n = 0;", "LaunchGame", "n = n + 1;", "LaunchGame()", "n = n + 1;", "LaunchGame ( )",
                 "n = n + 1;", "EOF"});
    Run("p");
    EXPECT_EQ(Statics().at("n"), 3);
    EXPECT_TRUE(Alerts().empty());
}

} // namespace
