// The presentation and flow commands that act at once: frames, the title,
// the start of play, the end, music, sound, the veil and the controls.
#include "script_fixture.h"

#include "core/graph.h"

using namespace tevtest;

namespace {

class PresentCommands : public ScriptFixture {
protected:
    std::string Log() { return ReadFile(root_ / "log.txt"); }
};

TEST_F(PresentCommands, FramesAndFlow)
{
    Script("a", {"LoadUIFrame(\"menu\")", "LoadUIFrame(\"menu\")", "UnloadUIFrame(\"menu\")",
                 "UnloadUIFrame(\"none\")", "LaunchGame()", "ExitGame()", "EOF"});
    Run("a");
    const std::string log = Log();
    EXPECT_NE(log.find("ui load menu"), std::string::npos);
    EXPECT_EQ(g_GameState, 3);
    EXPECT_EQ(g_Quit, 1);
}

TEST_F(PresentCommands, SoundMusicVeilAndControls)
{
    g_Sound.Init();
    WriteFile(root_ / "Resource" / "mid" / "title.mid", tevtest::Midi());
    g_Graph.blackMode = 2;
    Script("a", {"PlayWave(\"hit\")", "StopWave(\"hit\")", "PlayMidi(\"title\")", "PauseMidi()", "ResumeMidi()",
                 "StopMidi()", "SetScreenBlack(7)", "LockKeyMouse()", "EOF"});
    Run("a");
    const std::string log = Log();
    for (const char* e : {"midi load title", "midi pause", "midi resume", "midi stop"})
        EXPECT_NE(log.find(e), std::string::npos) << e;
    EXPECT_EQ(g_Graph.blackMode, 2); // 7 is no veil mode
    EXPECT_EQ(g_Control.keyMoveOn, 0);
    Script("b", {"SetScreenBlack(1)", "UnlockKeyMouse()", "EOF"});
    Run("b");
    EXPECT_EQ(g_Graph.blackMode, 1);
    EXPECT_EQ(g_Control.keyMoveOn, 1);
    EXPECT_EQ(g_Control.mouseActionOn, 1);
}

TEST_F(PresentCommands, DebugReportsUnlessTrace)
{
    Script("a", {"debug(\"~quiet\")", "debug(\"你好\")", "EOF"});
    Run("a");
    const auto& boxes = Headless().recordingDialogs().boxes;
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].textUtf8, "你好");
}

TEST_F(PresentCommands, LaunchTitleEmptiesTheGameAndShowsTheTitle)
{
    g_Sound.Init();
    g_GameState = 3;
    g_Npcs.resize(2);
    g_Monsters.resize(1);
    g_TalkNpcIndex = 1;
    g_Role.dead = 1;
    g_Role.itemCount = 2;
    g_Role.items[0] = "a";
    g_Role.items[1] = "b";
    g_Graph.blackMode = 1;
    g_Graph.blackAlpha = 5;
    g_Control.mouseOn = 0;
    Script("a", {"static int kept = 1;", "LaunchTitle()", "static int after = 2;", "EOF"});
    Run("a");
    EXPECT_EQ(g_GameState, 1);
    EXPECT_TRUE(g_Npcs.empty());
    EXPECT_TRUE(g_Monsters.empty());
    EXPECT_EQ(g_TalkNpcIndex, -1);
    EXPECT_EQ(g_Role.dead, 0);
    EXPECT_EQ(g_Role.itemCount, 0);
    EXPECT_EQ(g_Role.items[1], "");
    EXPECT_EQ(g_Graph.blackMode, 0);
    EXPECT_EQ(g_Graph.blackAlpha, -1);
    EXPECT_EQ(g_Control.mouseOn, 1);
    EXPECT_EQ(g_Control.keyMoveOn, 0);
    // The interpreter was reset, and the script went on after the command.
    const auto s = Statics();
    EXPECT_EQ(s.count("kept"), 0u);
    EXPECT_EQ(s.count("after"), 1u);
    const std::string log = Log();
    EXPECT_NE(log.find("ui load title_frame"), std::string::npos);
    EXPECT_NE(log.find("midi load title"), std::string::npos);
    EXPECT_NE(log.find("sound release-all"), std::string::npos);
}

TEST_F(PresentCommands, EveryNewGameHasTheClockScriptsItOpens)
{
    // A new game opens its clock script; the game ends at the title, and the
    // player starts again and again.
    g_Script.Control("clock"); // none left by an earlier test
    Script("newgame", {"OpenClockScript(\"clock\")", "EOF"});
    Script("title", {"LaunchTitle()", "EOF"});
    for (int game = 0; game < 3; ++game) {
        Run("newgame");
        EXPECT_EQ(g_Script.clockScripts, (std::vector<std::string>{"clock"})) << "game " << game;
        EXPECT_EQ(g_Script.clockEnabled, 1);
        Run("title");
        EXPECT_TRUE(g_Script.clockScripts.empty());
        EXPECT_EQ(g_Script.clockEnabled, 0);
    }
}

} // namespace
