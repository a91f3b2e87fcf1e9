// Commands that hold their script over several steps: dialogues, clock
// scripts, waits for a variable, fades, map scrolls and timed waits; and the
// key table.
#include "script_fixture.h"

#include "core/graph.h"
#include "platform/surface.h"
#include "world/map.h"

using namespace tevtest;

namespace {

class WaitCommands : public ScriptFixture {
protected:
    void Tick(uint32_t ms) { Headless().fakeClock().Advance(ms); }
    bool Has(const std::string& name) { return g_Script.LookupVariable(name, 1) >= 0; }
};

TEST_F(WaitCommands, TalksEndOnSpaceNoSoonerThanOneSecond)
{
    for (const std::string cmd : {"PlayerTalk(\"a\", \"b\", \"c\")", "NpcTalk(\"a\", \"b\", \"c\")",
                                  "Talk(\"s\", \"a\", \"b\", \"c\")"}) {
        SCOPED_TRACE(cmd);
        Fresh();
        // Two in a row: the second opens anew and waits its own second.
        Script("t", {cmd, cmd, "static int after = 1;", "EOF"});
        ASSERT_EQ(g_Script.OpenScript("t"), 1);
        g_Control.SetInputEnabled(1);
        for (int dialog = 0; dialog < 2; ++dialog) {
            g_Script.Step();
            EXPECT_EQ(g_DialogOpen, 1);
            EXPECT_EQ(g_Control.keyMoveOn, 0);
            // Space within the first second is ignored.
            for (int i = 0; i < 9; ++i) {
                Tick(100);
                g_Control.ScriptKey(gamekey::kSpace, MouseInfo{});
                g_Script.Step();
            }
            EXPECT_EQ(g_Script.talkDismissed, 0);
            EXPECT_EQ(g_DialogOpen, 1);
            Tick(100);
            g_Script.Step();
            EXPECT_EQ(g_Script.talkMinShown, 1);
            // Still shown until the player answers, however long it takes.
            Tick(5000);
            g_Script.Step();
            EXPECT_EQ(g_DialogOpen, 1);
            g_Control.ScriptKey(gamekey::kNone, MouseInfo{0, 0, 'l'});
            g_Script.Step();
            EXPECT_EQ(g_DialogOpen, 0);
            EXPECT_EQ(g_Script.dialogStarted, 0);
            EXPECT_FALSE(Has("after"));
        }
        g_Script.Step();
        EXPECT_TRUE(Has("after"));
        // The keys stay off until the script ends.
        EXPECT_EQ(g_Control.keyMoveOn, 0);
        g_Script.Step();
        EXPECT_EQ(g_Script.running, 0);
    }
}

TEST_F(WaitCommands, ClockScriptsTakeTurnsWhileNoScriptRuns)
{
    Script("a", {"static int a = 0;", "a = a + 1;", "EOF"});
    Script("b", {"static int b = 0;", "b = b + 1;", "EOF"});
    Script("open", {"OpenClockScript(\"a\")", "OpenClockScript(\"b\")", "OpenClockScript(\"a\")", "EOF"});
    Run("open");
    ASSERT_EQ(g_Script.clockScripts, (std::vector<std::string>{"a", "b", "a"}));
    std::string order;
    for (int turn = 0; turn < 40; ++turn) {
        const bool wasIdle = g_Script.running == 0;
        g_Script.Step();
        if (wasIdle && g_Script.running == 1)
            order += g_Script.scriptName;
        Tick(100);
    }
    // 4 s: at least 500 ms apart, only while idle, through the list in order.
    EXPECT_EQ(order.substr(0, 6), "abaaba");
    EXPECT_LE(order.size(), 8u);

    // Closing one stops every turn; the rest run after the next open.
    Script("close", {"CloseClockScript(\"a\")", "CloseClockScript(\"none\")", "EOF"});
    while (g_Script.running == 1)
        g_Script.Step();
    Run("close");
    EXPECT_EQ(g_Script.clockEnabled, 0);
    EXPECT_EQ(g_Script.clockScripts, (std::vector<std::string>{"b", "a"}));
    // The list shrank below the index: a turn must not read past its end.
    g_Script.clockScripts = {"b"};
    g_Script.clockEnabled = 1;
    for (int turn = 0; turn < 20 && g_Script.running == 0; ++turn) {
        Tick(600);
        g_Script.Step();
    }
    EXPECT_EQ(g_Script.scriptName, "b");
    g_Script.Control("clock");
    EXPECT_TRUE(g_Script.clockScripts.empty());
}

TEST_F(WaitCommands, FindVarWaitsForTheLocalAndKillSVarRemovesTheFirst)
{
    Script("f", {"FindVar(\"findvar_number\")", "static int got = findvar_number;", "EOF"});
    ASSERT_EQ(g_Script.OpenScript("f"), 1);
    for (int i = 0; i < 50; ++i)
        g_Script.Step();
    EXPECT_EQ(g_Script.running, 1);
    EXPECT_FALSE(Has("got"));
    g_Script.SetStaticVar("int", "findvar_number", 5); // a static does not count
    g_Script.Step();
    EXPECT_FALSE(Has("got"));
    g_Script.SetLocalVar("int", "findvar_number", 7);
    g_Script.Step();
    g_Script.Step();
    EXPECT_TRUE(Has("got"));
    g_Script.Step();
    EXPECT_EQ(g_Script.running, 0);

    Fresh();
    g_Script.SetStaticVar("int", "x", 1);
    Script("k", {"static int x = 2;", "static int y = 3;", "KillSVar(\"x\")", "KillSVar(\"none\")", "EOF"});
    Run("k");
    EXPECT_EQ(g_Script.staticNames, (std::vector<std::string>{"y"}));
    EXPECT_EQ(g_Script.staticValues, (std::vector<int32_t>{3}));
}

TEST_F(WaitCommands, FadesTakeTheirFramesAndLeaveTheVeil)
{
    g_Graph.InitDisplay();
    struct Case {
        std::string cmd;
        int frames;
        int mode;
    };
    for (const Case& c : {Case{"FadeIn(0)", 31, 1}, Case{"FadeIn(1)", 31, 2}, Case{"FadeOut(0)", 30, 0},
                          Case{"FadeOut(x)", 30, 0}}) {
        SCOPED_TRACE(c.cmd);
        Fresh();
        g_Graph.blackMode = 1;
        Script("f", {c.cmd, "static int after = 1;", "EOF"});
        ASSERT_EQ(g_Script.OpenScript("f"), 1);
        int steps = 0;
        while (!Has("after") && steps < 100) {
            g_Script.Step();
            ++steps;
        }
        EXPECT_EQ(steps, c.frames + 1);
        EXPECT_EQ(g_Graph.blackMode, c.mode);
        g_Script.Control("eof");
    }
}

TEST_F(WaitCommands, MapScrollsStopAtTheTargetOrTheEdge)
{
    g_MapPixelWidth = 1000;
    g_MapPixelHeight = 400;
    struct Case {
        std::string cmd;
        float startCam;
        float endCam;
    };
    for (const Case& c : {Case{"MoveMap(100, 0, 8)", 0, 104}, Case{"MoveMapTo(600, 0, 8)", 0, 296},
                          Case{"MoveMap(-40, 0, 8)", 407, 367}, Case{"MoveMap(-40, 0, 8)", 4, 4},
                          Case{"MoveMap(100, 0, 0)", 0, 0}, Case{"MoveMapTo(600, 0, -8)", 0, 0}}) {
        SCOPED_TRACE(c.cmd + " from " + std::to_string(c.startCam));
        Fresh();
        g_Role.x = 320;
        g_Role.y = 100;
        g_Role.viewX = g_Role.x - c.startCam;
        g_Role.viewY = 100;
        // Twice: the second scroll again goes the full distance.
        Script("m", {c.cmd, "static int after = 1;", "EOF"});
        Run("m");
        EXPECT_TRUE(Has("after"));
        EXPECT_FLOAT_EQ(g_Role.x - g_Role.viewX, c.endCam);
        EXPECT_FLOAT_EQ(g_Role.x, 320);
    }
}

TEST_F(WaitCommands, DelayHoldsTheNextLineForItsTime)
{
    Script("d", {"DelayTime(1000)", "static int after = 1;", "DelayTime(x)", "static int second = 1;", "EOF"});
    ASSERT_EQ(g_Script.OpenScript("d"), 1);
    const uint32_t start = Headless().fakeClock().Now();
    while (!Has("after")) {
        g_Script.Step();
        Tick(10);
        ASSERT_LT(Headless().fakeClock().Now() - start, 5000u);
    }
    EXPECT_GE(Headless().fakeClock().Now() - start, 1000u);
    // An unreadable time waits 0 ms.
    g_Script.Step();
    g_Script.Step();
    EXPECT_TRUE(Has("second"));
}

TEST_F(WaitCommands, WaitsEndedFromOutsideLeaveNothingBehind)
{
    g_Graph.InitDisplay();
    if (!g_Graph.BUF)
        g_Graph.BUF = plat::MakeSurface(640, 480).release();
    // A black dialog frame of 500 x 100: the first text line stands at
    // (170, 390) and is painted in white.
    PICRESOURCESTRUCT frame;
    frame.name = PIC_DIALOGFRAME;
    frame.surface = plat::MakeSurface(500, 100).release();
    frame.width = 500;
    frame.height = 100;
    g_Graph.pictures.push_back(frame);
    g_Graph.RectIndexPicture(PIC_DIALOGFRAME, 0, 0, 500, 100, 500, 100);
    auto whiteInFirstLine = [] {
        int n = 0;
        for (int y = 390; y < 406; ++y)
            for (int x = 170; x < 400; ++x)
                n += g_Graph.BUF->Row(y)[x] == 0xFFFF;
        return n;
    };
    auto stepFor = [&](int steps) {
        for (int i = 0; i < steps; ++i) {
            plat::Fill(g_Graph.BUF, 0);
            g_Script.Step();
            Tick(25);
        }
    };

    // A talk whose run a frame's close button ends ("eof"): the world runs
    // again and the next talk reads its own texts.
    Script("t1", {"Talk(\"s\", \"\", \"\", \"\")", "EOF"});
    ASSERT_EQ(g_Script.OpenScript("t1"), 1);
    stepFor(60);
    ASSERT_EQ(g_DialogOpen, 1);
    ASSERT_EQ(g_Script.talkMinShown, 1);
    g_Script.Control("eof");
    EXPECT_EQ(g_DialogOpen, 0);
    EXPECT_EQ(g_Script.dialogStarted, 0);
    EXPECT_EQ(g_Script.talkMinShown, 0);
    Script("t2", {"Talk(\"s\", \"WWWWWWWWWW\", \"\", \"\")", "EOF"});
    ASSERT_EQ(g_Script.OpenScript("t2"), 1);
    stepFor(60);
    EXPECT_GT(whiteInFirstLine(), 0) << "the new talk shows its own text";
    EXPECT_EQ(g_Script.talkMinShown, 1) << "and waits its own second";
    g_Script.Control("eof");

    // A long delay in a called script that a tile event's script replaces:
    // a later short delay waits its own time, not the remainder.
    Script("caller", {"ReadAScriptFile(\"long\")", "EOF"});
    Script("long", {"DelayTime(100000)", "EOF"});
    Script("event", {"EOF"});
    ASSERT_EQ(g_Script.OpenScript("caller"), 1);
    stepFor(5);
    ASSERT_EQ(g_Script.scriptName, "long");
    ASSERT_EQ(g_Script.OpenScript("event"), 1);
    stepFor(3);
    ASSERT_EQ(g_Script.running, 0);
    Script("short", {"DelayTime(10)", "static int shortDone = 1;", "EOF"});
    ASSERT_EQ(g_Script.OpenScript("short"), 1);
    stepFor(4);
    EXPECT_TRUE(Has("shortDone"));
    g_Script.Control("eof");

    // A fade and a scroll left by the return to the caller ("eof" while a
    // called script runs): the next ones read their own arguments.
    g_MapPixelWidth = 1000;
    g_MapPixelHeight = 400;
    g_Role.x = 320, g_Role.viewX = 320, g_Role.y = 100, g_Role.viewY = 100;
    for (const std::string& first : {std::string("FadeIn(0)"), std::string("MoveMap(1000, 0, 1)")}) {
        SCOPED_TRACE(first);
        Script("outer", {"ReadAScriptFile(\"inner\")", "EOF"});
        Script("inner", {first, "EOF"});
        ASSERT_EQ(g_Script.OpenScript("outer"), 1);
        stepFor(6);
        g_Script.Control("eof");
        ASSERT_EQ(g_Script.scriptName, "outer");
        g_Script.Control("eof");
        ASSERT_EQ(g_Script.running, 0);
    }
    g_Graph.blackMode = 0;
    Script("fade", {"FadeIn(1)", "static int faded = 1;", "EOF"});
    ASSERT_EQ(g_Script.OpenScript("fade"), 1);
    int steps = 0;
    while (!Has("faded") && steps < 100) {
        g_Script.Step();
        ++steps;
    }
    EXPECT_EQ(steps, 32);
    EXPECT_EQ(g_Graph.blackMode, 2);
    g_Script.Control("eof");
    const float cam = g_Role.x - g_Role.viewX;
    Script("scroll", {"MoveMap(8, 0, 8)", "EOF"});
    Run("scroll");
    EXPECT_FLOAT_EQ(g_Role.x - g_Role.viewX, cam + 8);
}

TEST_F(WaitCommands, KeyTableSetsOneKeyByItsExactWord)
{
    Script("k", {"KeyTable(Esc, 0)", "KeyTable(esc, 0)", "KeyTable(key0, 0)", "KeyTable(W, 5)", "EOF"});
    for (int& k : g_Control.keyEnabled)
        k = 1;
    Run("k");
    EXPECT_EQ(g_Control.keyEnabled[17], 0);
    EXPECT_EQ(g_Control.keyEnabled[29], 0);
    EXPECT_EQ(g_Control.keyEnabled[1], 5);
    int off = 0;
    for (int k : g_Control.keyEnabled)
        off += k == 0;
    EXPECT_EQ(off, 2);
}

} // namespace
