// Configuration, display set-up, start-up states and the main loop, driven
// whole on the headless backend.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "app/globals.h"
#include "app/winmain.h"
#include "core/alert.h"
#include "test_support.h"
#include "world_fixtures.h"

using namespace tevtest;

namespace {

struct GameRun {
    plat::headless::HeadlessPlatform* p = nullptr;
    std::filesystem::path root;
    int result = -99;
};

// A game folder holding the given config bytes (none when nullptr).
std::filesystem::path GameFolder(const char* config)
{
    auto root = TempDir("game");
    if (config)
        WriteFile(root / "config.jcf", config);
    // The demo's pictures and sounds, so only what a test breaks is reported.
    std::filesystem::copy(std::filesystem::path(TEV_DEMO_DIR) / "Resource", root / "Resource",
                          std::filesystem::copy_options::recursive);
    std::filesystem::create_directories(root / "Script");
    WriteFile(root / "Script" / "title.jsr", "EOF\r\n");
    WriteFile(root / "Script" / "gameinit.jsr", "EOF\r\n");
    return root;
}

GameRun Start(const char* config, int passes, std::function<void(plat::headless::Options&)> tweak = nullptr,
          std::function<void(plat::headless::HeadlessPlatform&)> hooks = nullptr)
{
    GameRun r;
    r.root = GameFolder(config);
    plat::headless::Options o;
    o.root = r.root;
    o.passes = passes;
    o.logFile = r.root / "log.txt";
    if (tweak)
        tweak(o);
    r.p = &InstallHeadless(o);
    if (hooks)
        hooks(*r.p);
    r.result = WinMain(nullptr, nullptr, "", 1);
    return r;
}

std::vector<std::string> Boxes(const GameRun& r)
{
    std::vector<std::string> out;
    for (const auto& b : r.p->recordingDialogs().boxes)
        out.push_back(b.textUtf8);
    return out;
}

struct ConfigCase {
    const char* name;
    const char* bytes; // nullptr: no file
    int fullscreen, state, limiter, softAlpha, volume;
    const char* reportPart; // a piece of the one report, or "" for none
};

void PrintTo(const ConfigCase& c, std::ostream* os) { *os << c.name; }

class ConfigTable : public ::testing::TestWithParam<ConfigCase> {};

TEST_P(ConfigTable, ValuesAndReport)
{
    const ConfigCase& c = GetParam();
    GameRun r = Start(c.bytes, 1);
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(g_FullScreen, c.fullscreen);
    EXPECT_EQ(g_FrameLimit, c.limiter);
    EXPECT_EQ(g_SoftAlpha, c.softAlpha);
    EXPECT_EQ(g_Sound.waveVolume, c.volume);
    // The start state as read, before the loop moved on.
    const std::string log = ReadFile(r.root / "log.txt");
    EXPECT_NE(log.find("config fullscreen=" + std::to_string(c.fullscreen) + " state=" + std::to_string(c.state) +
                       " limiter=" + std::to_string(c.limiter) + " softalpha=" + std::to_string(c.softAlpha) +
                       " volume=" + std::to_string(c.volume)),
              std::string::npos)
        << log;
    const auto boxes = Boxes(r);
    if (std::string(c.reportPart).empty()) {
        EXPECT_TRUE(boxes.empty()) << (boxes.empty() ? "" : boxes[0]);
    } else {
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_NE(boxes[0].find("config.jcf"), std::string::npos) << boxes[0];
        EXPECT_NE(boxes[0].find(c.reportPart), std::string::npos) << boxes[0];
    }
}

INSTANTIATE_TEST_SUITE_P(
    Config, ConfigTable,
    ::testing::Values(
        ConfigCase{"Missing", nullptr, 0, 0, 0, 1, 0, ""},
        ConfigCase{"Full", "1!a\r\n0!b\r\n1!c\r\n0!d\r\n-300!e\r\n", 1, 0, 1, 0, -300, ""},
        ConfigCase{"BlanksAroundNumber", "0!\r\n  3  !x\r\n0!\r\n1!\r\n0!\r\n", 0, 3, 0, 1, 0, ""},
        ConfigCase{"Empty", "", 0, 0, 0, 0, 0, "第1行"},
        ConfigCase{"Short", "0!\r\n2!\r\n1!\r\n", 0, 2, 1, 0, 0, "第4行"},
        ConfigCase{"Garbled", "0!\r\nabc!\r\n0!\r\n1!\r\n0!\r\n", 0, 0, 0, 1, 0, "第2行"},
        ConfigCase{"StateOutOfRange", "0!\r\n7!\r\n0!\r\n1!\r\n0!\r\n", 0, 7, 0, 1, 0, "7"},
        ConfigCase{"VolumeOutOfRange", "0!\r\n0!\r\n0!\r\n1!\r\n-20000!\r\n", 0, 0, 0, 1, -20000, "-20000"},
        ConfigCase{"LfOnlyReadAsCrLf", "0!\n2!\n1!\n1!\n-5!\n", 0, 2, 1, 1, -5, "LF"},
        ConfigCase{"BinaryGarbage", "\xFF\xFE\x00\x01!\r\n", 0, 0, 0, 0, 0, "config.jcf"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Display, DepthSwitchNoticeAndFailure)
{
    GameRun ok = Start(nullptr, 3, [](auto& o) { o.desktopDepth = 32; });
    EXPECT_EQ(ok.result, 0);
    ASSERT_EQ(ok.p->recordingDialogs().boxes.size(), 1u);
    EXPECT_EQ(ok.p->recordingDialogs().boxes[0].captionUtf8, "设置");
    EXPECT_EQ(g_Graph.depthToRestore, 32);
    EXPECT_EQ(g_Quit, 1);
}

TEST(Display, FailedSwitchEndsTheGameWithoutAFrame)
{
    GameRun r = Start(nullptr, 50, [](auto& o) {
        o.desktopDepth = 24;
        o.depthSwitchFails = true;
    });
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(r.p->headlessDisplay().PresentCount(), 0);
    EXPECT_EQ(Boxes(r).size(), 2u);
    EXPECT_EQ(g_Graph.BUF, nullptr); // no pictures or surfaces were made
}

TEST(Display, NoWindowInitialisesNothing)
{
    GameRun r = Start("1!\r\n", 5, [](auto& o) { o.windowFails = true; });
    EXPECT_NE(r.result, 0);
    EXPECT_EQ(g_DebugLines.size(), 0u);
    EXPECT_EQ(g_FullScreen, 0); // the config was never read
    EXPECT_NE(ReadFile(r.root / "log.txt").find("window could not be created"), std::string::npos);
}

TEST(Display, PresentShowsBufExactly)
{
    GameRun r = Start(nullptr, 1);
    for (size_t i = 0; i < g_Graph.BUF->px.size(); ++i)
        g_Graph.BUF->px[i] = static_cast<uint16_t>(i * 2654435761u >> 16);
    g_Graph.Present();
    EXPECT_EQ(r.p->headlessDisplay().LastFrame().px, g_Graph.BUF->px);
}

TEST(Display, SurfaceHelpersRefuseBadRequests)
{
    GameRun r = Start(nullptr, 1);
    const size_t before = Boxes(r).size();
    EXPECT_EQ(g_Graph.CreatePlain(0, 10), nullptr);
    EXPECT_EQ(g_Graph.CreatePlain(-5, 10), nullptr);
    EXPECT_EQ(g_Graph.CreatePlain(1 << 20, 1 << 20), nullptr); // 64-bit size check, no abort
    Surface* ok = g_Graph.CreatePlain(3, 2);
    ASSERT_NE(ok, nullptr);
    const Rect size = g_Graph.GetPlainSize(ok);
    EXPECT_EQ(size.right, 3);
    EXPECT_EQ(size.bottom, 2);
    g_Graph.ReleaseSurface(ok);
    const Rect none = g_Graph.GetPlainSize(nullptr);
    EXPECT_EQ(none.right, 0);
    const auto boxes = Boxes(r);
    ASSERT_EQ(boxes.size(), before + 2); // CreatePlain's once, GetPlainSize's once
    EXPECT_EQ(boxes[before], "在内存中建立幕后区CreatePlain失败!");
    EXPECT_EQ(boxes[before + 1], "GetPlainSize()得到表面描述失败！");
}

TEST(Display, CreatePictureReportsMissingAndBrokenFiles)
{
    GameRun r = Start(nullptr, 1);
    WriteFile(r.root / "Resource" / "bmp" / "bad.bmp", "not a picture at all, just text");
    EXPECT_EQ(g_Graph.CreatePicture("Resource\\bmp\\missing.bmp"), nullptr);
    EXPECT_EQ(g_Graph.CreatePicture("Resource\\bmp\\bad.bmp"), nullptr);
    const auto boxes = Boxes(r);
    ASSERT_EQ(boxes.size(), 4u);
    EXPECT_EQ(boxes[0], "加载BMP出错！文件不存在!");
    EXPECT_EQ(boxes[1], "Resource\\bmp\\missing.bmp");
    EXPECT_EQ(boxes[2], "建立幕后区CreatePicture失败!");
    EXPECT_EQ(boxes[3], "Resource\\bmp\\bad.bmp（不是BMP图片）");
}

TEST(MainLoop, StateTwoWithoutASaveStaysInStateTwo)
{
    int atLoopStart = -1;
    GameRun r = Start("0!\r\n2!\r\n0!\r\n1!\r\n0!\r\n", 10, nullptr, [&](auto& p) {
        p.onLoopStart = [&] { atLoopStart = p.headlessDisplay().PresentCount(); };
    });
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(g_GameState, 2);
    EXPECT_EQ(r.p->headlessDisplay().PresentCount() - atLoopStart, 10); // one frame a pass
    const std::string log = ReadFile(r.root / "log.txt");
    EXPECT_NE(log.find("save load 1"), std::string::npos);
}

TEST(MainLoop, StateTwoWithARefusedSaveGoesOnFromTheTitle)
{
    // A save that is there but damaged: reported, then the game starts as
    // from the title, whose script runs to its end before the loop.
    GameRun r = Start("0!\r\n2!\r\n0!\r\n1!\r\n0!\r\n", 3, nullptr, [](auto& p) {
        const auto root = p.options().root;
        std::filesystem::create_directories(root / "Save");
        WriteFile(root / "Save" / "tev1.jsv", "0\nsome map\n");
        WriteFile(root / "Script" / "title.jsr", "static int titleRan = 1;\r\nEOF\r\n");
    });
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(g_GameState, 1);
    const auto boxes = Boxes(r);
    ASSERT_FALSE(boxes.empty());
    EXPECT_NE(boxes[0].find("存档文件已损坏"), std::string::npos) << boxes[0];
    EXPECT_GE(g_Script.LookupVariable("titleRan", 1), 0);
}

TEST(MainLoop, StartStatesRunTheirScriptsBeforeTheLoop)
{
    GameRun r = Start("0!\r\n1!\r\n0!\r\n1!\r\n0!\r\n", 2);
    const std::string log = ReadFile(r.root / "log.txt");
    const auto title = log.find("script open title");
    const auto present = log.find(" present 3"); // after the two loading notices
    ASSERT_NE(title, std::string::npos);
    EXPECT_LT(title, present);
    EXPECT_EQ(log.find("script open gameinit"), std::string::npos);
}

TEST(MainLoop, StartStateThreeRunsGameinit)
{
    GameRun r3 = Start("0!\r\n3!\r\n0!\r\n1!\r\n0!\r\n", 2);
    const std::string log3 = ReadFile(r3.root / "log.txt");
    EXPECT_EQ(log3.find("script open title"), std::string::npos);
    EXPECT_NE(log3.find("script open gameinit"), std::string::npos);
}

TEST(MainLoop, AStartUpWaitOnThePlayerIsSkippedAndTheScriptGoesOn)
{
    // Nothing can answer a talk before the loop: the talk alone is given
    // up, and the map and the statements after it still come.
    GameRun r = Start("0!\r\n3!\r\n0!\r\n1!\r\n0!\r\n", 3, nullptr, [](auto& p) {
        const auto root = p.options().root;
        WriteMap(root, "m", MapText(20, 15, "20,15,1,0,0"));
        WriteFile(root / "Script" / "gameinit.jsr",
                  G("Talk(\"s\", \"a\", \"b\", \"c\")\r\nChangeMap(\"m\")\r\nFindVar(\"never\")\r\n"
                    "static int after = 1;\r\nEOF\r\n"));
    });
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(g_Map.name, "m");
    EXPECT_EQ(g_Map.loaded, 1);
    EXPECT_GE(g_Script.LookupVariable("after", 1), 0);
    EXPECT_EQ(g_DialogOpen, 0);
    const auto boxes = Boxes(r);
    for (const char* line : {"第1行", "第3行"})
        EXPECT_EQ(std::count_if(boxes.begin(), boxes.end(),
                                [&](const std::string& b) {
                                    return b.find("已跳过这一句：gameinit " + std::string(line)) != std::string::npos;
                                }),
                  1)
            << line;
}

TEST(MainLoop, TheCloseBoxEndsAStartUpScriptAtOnce)
{
    // A start-up script with a long delay: closing the window ends the game
    // without waiting for it and without a pass of the loop.
    uint32_t t0 = 0;
    int loopPasses = 0;
    GameRun r = Start("0!\r\n1!\r\n0!\r\n1!\r\n0!\r\n", 5, nullptr, [&](auto& p) {
        WriteFile(p.options().root / "Script" / "title.jsr", "DelayTime(100000)\r\nstatic int late = 1;\r\nEOF\r\n");
        t0 = p.fakeClock().Now();
        p.PostMessage(plat::WinMsg{plat::MsgType::Close, 0});
        p.onPassEnd = [&] { ++loopPasses; };
    });
    EXPECT_EQ(r.result, 0);
    EXPECT_LT(r.p->fakeClock().Now() - t0, 1000u);
    EXPECT_LT(g_Script.LookupVariable("late", 1), 0);
    EXPECT_EQ(g_Script.running, 0);
    EXPECT_EQ(loopPasses, 0);
    g_Quit = 0;
}

TEST(MainLoop, AStartMapThatFailsIsReportedAloneNotByEveryPaint)
{
    // The demo's start with its map damaged: the actors the start-up script
    // adds have nowhere to be painted, and that is no new failure.
    GameRun r = Start("0!\r\n3!\r\n0!\r\n1!\r\n0!\r\n", 5, nullptr, [](auto& p) {
        const auto root = p.options().root;
        for (const char* dir : {"Script", "ui", "Map"})
            std::filesystem::copy(std::filesystem::path(TEV_DEMO_DIR) / dir, root / dir,
                                  std::filesystem::copy_options::recursive |
                                      std::filesystem::copy_options::overwrite_existing);
        WriteFile(root / "Map" / "demo.jmap", "20,x\r\n");
    });
    EXPECT_EQ(r.result, 0);
    const auto boxes = Boxes(r);
    EXPECT_EQ(boxes, (std::vector<std::string>{"打开MAP文件出错！", "Map\\demo.jmap：第1行：文件头应有5个值：宽,高,方向,x,y"}));
}

struct FocusCase {
    const char* name;
    std::vector<std::string> frames;
    int dialogOpen;
    int focus, paused;
};

void PrintTo(const FocusCase& c, std::ostream* os) { *os << c.name; }

class FocusTable : public ::testing::TestWithParam<FocusCase> {};

TEST_P(FocusTable, WorldRunsOnlyUnderTheMainFrameAlone)
{
    const FocusCase& c = GetParam();
    Start("0!\r\n3!\r\n0!\r\n1!\r\n0!\r\n", 2, nullptr, [&](auto& p) {
        p.onLoopStart = [&] {
            g_Ui.frames.clear();
            for (const auto& f : c.frames)
                g_Ui.frames.push_back(FRAMESTRUCT{f});
            g_DialogOpen = c.dialogOpen;
        };
    });
    EXPECT_EQ(g_Ui.g_UiFocus, c.focus);
    EXPECT_EQ(g_Paused, c.paused);
}

INSTANTIATE_TEST_SUITE_P(
    MainLoop, FocusTable,
    ::testing::Values(FocusCase{"MainFrame", {"main_frame"}, 0, 0, 0},
                      FocusCase{"MainFrameWithDialog", {"main_frame"}, 1, 0, 1},
                      FocusCase{"MainFrameAndMenu", {"main_frame", "mainmenu_frame"}, 0, 1, 1},
                      FocusCase{"EmptyStack", {}, 0, 1, 1},
                      FocusCase{"OtherSingleFrame", {"title_frame"}, 0, 1, 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MainLoop, ADebugLineShowsForOnePassOnly)
{
    std::vector<plat::Surface> frames;
    GameRun r = Start("0!\r\n2!\r\n0!\r\n1!\r\n0!\r\n", 4, nullptr, [&](auto& p) {
        p.onPassEnd = [&] {
            frames.push_back(p.headlessDisplay().LastFrame());
            // Nothing repaints the frame in state 2: start each pass white,
            // so the black debug text shows where it is painted.
            plat::Fill(g_Graph.BUF, 0xFFFF);
            if (p.Pass() == 1)
                SetDebugLineStr("dbg", 3);
        };
    });
    ASSERT_EQ(frames.size(), 4u);
    auto dark = [](const plat::Surface& s) {
        int n = 0;
        for (int y = 120; y < 136; ++y)
            for (int x = 80; x < 104; ++x)
                n += s.Row(y)[x] == 0;
        return n;
    };
    EXPECT_GT(dark(frames[1]), 20); // painted in the pass after it was set
    EXPECT_EQ(dark(frames[2]), 0);  // and gone in the next
    EXPECT_EQ(g_DebugLines[3], "");
    (void)r;
}

TEST(MainLoop, AMousePushedOffAnEdgeComesBackOnlyByMovingOrClickingInside)
{
    // The window sits at the screen's top-left: pushed off the left or top
    // edge, the system pointer stops at 0, still over the window.
    GameRun r = Start("0!\r\n2!\r\n0!\r\n1!\r\n0!\r\n", 90, nullptr, [](auto& p) {
        p.onPassEnd = [&p] {
            auto& in = p.headlessInput();
            switch (p.Pass()) {
            case 5: in.AddMotion(-1000, 0); break;                                    // off the left
            case 40: p.headlessDisplay().SetSystemCursor(plat::Point{3, 200}); break; // moved back in
            case 50: in.AddMotion(0, -1000); break;                                   // off the top
            case 70: // a click where the pointer rests
                in.SetButton(0, true);
                in.SetButton(0, false);
                break;
            default: break;
            }
        };
    });
    const auto lines = ReadLines(r.root / "log.txt");
    auto count = [&](const std::string& what) {
        return std::count_if(lines.begin(), lines.end(),
                             [&](const std::string& l) { return l.find(what) != std::string::npos; });
    };
    EXPECT_EQ(count("debug 跳到桌面 "), 2);
    EXPECT_EQ(count("debug 跳入游戏 "), 2);
    EXPECT_EQ(g_Control.suspended, 0);
    EXPECT_EQ(g_Control.handedBack, false);
    // Back in, the game's cursor stands where the next frame keeps it.
    EXPECT_GT(g_Control.cursorX, -32);
    EXPECT_GT(g_Control.cursorY, -32);
}

TEST(MainLoop, WindowProcIgnoresActivationBeforeInputAndAfterQuit)
{
    InstallHeadless();
    g_Control.suspended = 0;
    WindowProc(plat::WinMsg{plat::MsgType::Activate, plat::WA_INACTIVE});
    EXPECT_EQ(g_Control.suspended, 0); // input not initialised
    g_Control.InitInput();
    WindowProc(plat::WinMsg{plat::MsgType::Activate, plat::WA_CLICKACTIVE});
    EXPECT_EQ(g_Control.suspended, 0);
    WindowProc(plat::WinMsg{plat::MsgType::Activate, plat::WA_INACTIVE});
    EXPECT_EQ(g_Control.suspended, 1);
    WindowProc(plat::WinMsg{plat::MsgType::Activate, plat::WA_CLICKACTIVE});
    EXPECT_EQ(g_Control.suspended, 1); // a click does not resume by itself
    g_Quit = 1;
    WindowProc(plat::WinMsg{plat::MsgType::Activate, plat::WA_ACTIVE});
    EXPECT_EQ(g_Control.suspended, 1);
    g_Quit = 0;
    WindowProc(plat::WinMsg{plat::MsgType::Activate, 0x10000 | plat::WA_ACTIVE}); // low word only
    EXPECT_EQ(g_Control.suspended, 0);
}

} // namespace
