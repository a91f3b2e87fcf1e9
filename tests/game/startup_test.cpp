// Configuration, display set-up, start-up states and the main loop, driven
// whole on the headless backend.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <map>

#include "app/globals.h"
#include "app/winmain.h"
#include "core/alert.h"
#include "core/filehelper.h"
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

// A game started in play on a small map "m": its start-up script changes to
// the map and then runs `rest` (UTF-8); `prepare` may add to the folder.
GameRun StartOnMap(const std::string& rest, std::function<void(const std::filesystem::path&)> prepare = nullptr)
{
    return Start("0!\r\n3!\r\n0!\r\n1!\r\n0!\r\n", 3, nullptr, [&](auto& p) {
        const auto root = p.options().root;
        WriteMap(root, "m", MapText(20, 15, "20,15,1,0,0"));
        WriteFile(root / "Script" / "gameinit.jsr", G(("ChangeMap(\"m\")\r\n" + rest).c_str()));
        if (prepare)
            prepare(root);
    });
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

// A wait on the player written over several lines is given up whole: none
// of its later lines runs as a statement of its own.
struct LongWaitCase {
    const char* name;
    const char* statement; // UTF-8, CR LF between its lines
};

void PrintTo(const LongWaitCase& c, std::ostream* os) { *os << c.name; }

class LongWaitTable : public ::testing::TestWithParam<LongWaitCase> {};

TEST_P(LongWaitTable, IsGivenUpWhole)
{
    const LongWaitCase& c = GetParam();
    GameRun r = StartOnMap(std::string(c.statement) +
                           "\r\nstatic int after = 1;\r\nFindVar(\"never\")\r\nstatic int last = 1;\r\nEOF\r\n");
    EXPECT_EQ(r.result, 0);
    EXPECT_GE(g_Script.LookupVariable("after", 1), 0);
    EXPECT_GE(g_Script.LookupVariable("last", 1), 0);
    EXPECT_EQ(g_DialogOpen, 0);
    const auto boxes = Boxes(r);
    EXPECT_EQ(std::count_if(boxes.begin(), boxes.end(),
                            [](const std::string& b) { return b.find("METHOD_ID") != std::string::npos; }),
              0)
        << ::testing::PrintToString(boxes);
    // One report for the statement, naming the line it begins on, and one
    // for the wait after it.
    const int findVarLine = 4 + static_cast<int>(std::count(c.statement, c.statement + std::strlen(c.statement), '\n'));
    for (const std::string& line : {std::string("第2行"), "第" + std::to_string(findVarLine) + "行"})
        EXPECT_EQ(std::count_if(boxes.begin(), boxes.end(),
                                [&](const std::string& b) {
                                    return b.find("已跳过这一句：gameinit " + line) != std::string::npos;
                                }),
                  1)
            << line << " " << ::testing::PrintToString(boxes);
}

INSTANTIATE_TEST_SUITE_P(
    MainLoop, LongWaitTable,
    ::testing::Values(
        LongWaitCase{"TalkOnOneLine", "Talk(\"旁白\",\"一\",\"二\",\"三\")"},
        LongWaitCase{"TalkOverFourLines", "Talk(\"旁白\",\r\n  \"一\",\r\n  \"二\",\r\n  \"三\")"},
        LongWaitCase{"TalkWithItsTextsOnTheNextLine", "Talk(\r\n\"旁白\",\"一\",\"二\",\"三\")"},
        LongWaitCase{"PlayerTalkOverThreeLines", "PlayerTalk(\"一\",\r\n\"二\",\r\n\"三\")"},
        LongWaitCase{"NpcTalkOverTwoLines", "NpcTalk(\"一\",\"二\",\r\n\"三\")"},
        LongWaitCase{"FindVarOverTwoLines", "FindVar(\r\n\"nowhere\")"}),
    [](const auto& info) { return std::string(info.param.name); });

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

// A data file far larger than any valid one of its kind: refused by its size
// before it is read, with the report naming it, and the game goes on as if
// the request had failed. The files are sparse, so they cost no disk.
struct OversizeCase {
    const char* name;
    const char* file;      // relative to the game folder
    uint64_t size;
    const char* shown;     // the file as the report names it
    const char* gameinit;  // what the start-up script asks for (UTF-8)
    bool scriptGoesOn = true; // false: it ends, as when the file is missing
};

void PrintTo(const OversizeCase& c, std::ostream* os) { *os << c.name; }

class OversizeTable : public ::testing::TestWithParam<OversizeCase> {};

TEST_P(OversizeTable, IsRefusedAndTheGameGoesOn)
{
    const OversizeCase& c = GetParam();
    GameRun r = StartOnMap(std::string(c.gameinit) + "\r\nstatic int after = 1;\r\nEOF\r\n", [&](const auto& root) {
        const auto big = root / c.file;
        std::filesystem::create_directories(big.parent_path());
        WriteFile(big, "");
        std::filesystem::resize_file(big, c.size);
    });
    EXPECT_EQ(r.result, 0);
    // The map in play, the frames and the script are what they were.
    EXPECT_EQ(g_Map.name, "m");
    EXPECT_EQ(g_Map.loaded, 1);
    EXPECT_TRUE(std::none_of(g_Ui.frames.begin(), g_Ui.frames.end(), [](const FRAMESTRUCT& f) { return f.name == "big"; }));
    EXPECT_EQ(g_Script.LookupVariable("after", 1) >= 0, c.scriptGoesOn);
    const auto boxes = Boxes(r);
    const auto at = std::find(boxes.begin(), boxes.end(), "文件太大，不能读入！");
    ASSERT_NE(at, boxes.end()) << ::testing::PrintToString(boxes);
    ASSERT_NE(at + 1, boxes.end());
    EXPECT_EQ(at[1].rfind(std::string(c.shown) + "（", 0), 0u) << at[1];
}

constexpr uint64_t kThreeGB = uint64_t{3} << 30;

INSTANTIATE_TEST_SUITE_P(
    Data, OversizeTable,
    ::testing::Values(
        OversizeCase{"MapJustOverItsCap", "Map/big.jmap", FileHelper::CapOf(DataKind::Map) + 1, "Map\\big.jmap",
                     "ChangeMap(\"big\")"},
        OversizeCase{"MapOfThreeGigabytes", "Map/big.jmap", kThreeGB, "Map\\big.jmap", "ChangeMap(\"big\")"},
        OversizeCase{"Script", "Script/big.jsr", FileHelper::CapOf(DataKind::Script) + 1, "Script\\big.jsr",
                     "ReadAScriptFile(\"big\")", false},
        OversizeCase{"UiFrame", "ui/big.jui", FileHelper::CapOf(DataKind::Frame) + 1, "ui\\big.jui",
                     "LoadUIFrame(\"big\")"},
        OversizeCase{"SaveGame", "Save/tev1.jsv", FileHelper::CapOf(DataKind::Save) + 1, "Save\\tev1.jsv",
                     "LoadGame(1)"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Data, AnOversizeConfigIsRefusedAndTheGameStartsAsWithoutOne)
{
    GameRun r = Start(nullptr, 2, nullptr, [](auto& p) {
        const auto config = p.options().root / "config.jcf";
        WriteFile(config, "0!\r\n3!\r\n0!\r\n1!\r\n0!\r\n");
        std::filesystem::resize_file(config, FileHelper::CapOf(DataKind::Config) + 1);
    });
    EXPECT_EQ(r.result, 0);
    // The values of a game without the file: windowed, the logo.
    EXPECT_NE(ReadFile(r.root / "log.txt").find("config fullscreen=0 state=0 limiter=0 softalpha=1 volume=0"),
              std::string::npos);
    const auto boxes = Boxes(r);
    ASSERT_GE(boxes.size(), 2u);
    EXPECT_EQ(boxes[0], "文件太大，不能读入！");
    EXPECT_EQ(boxes[1].rfind("config.jcf（", 0), 0u) << boxes[1];
}

// Frame files as a map maker leaves them: each line that meant a record and
// can't be read is reported on its own, as written; comments, blank lines
// and what follows a record's last field are passed over quietly.
struct FrameLineCase {
    const char* name;
    std::vector<std::string> lines;   // UTF-8, between the frame's first picture and its text
    std::vector<std::string> reports; // "<line number>：<text>" of each line reported
};

void PrintTo(const FrameLineCase& c, std::ostream* os) { *os << c.name; }

class FrameLineTable : public ::testing::TestWithParam<FrameLineCase> {};

const std::string kPictureFields = ",\"ui_border_top\",0,0,0,0,640,23,0,0,640,23,\"False\",\"True\",\"NULL\",\"NULL\",\"NULL\"";

TEST_P(FrameLineTable, UnreadableLinesAreReportedOneByOne)
{
    const FrameLineCase& c = GetParam();
    GameRun r = Start("0!\r\n3!\r\n0!\r\n1!\r\n0!\r\n", 2, nullptr, [&](auto& p) {
        const auto root = p.options().root;
        std::string file = "\"frame\",1,\"t\"\r\n\"image\",7,\"first\"" + kPictureFields + "\r\n";
        for (const std::string& line : c.lines)
            file += line + "\r\n";
        file += "\"string\",3,\"last\",3,0,0,10,10,0,0,10,10,\"True\",\"True\",\"NULL\",\"NULL\",\"NULL\",\"t\",\"face\","
                "12,0,\"False\",\"False\"\r\n\"EOF\"\r\n";
        std::filesystem::create_directories(root / "ui");
        WriteFile(root / "ui" / "t.jui", G(file.c_str()));
        WriteFile(root / "Script" / "gameinit.jsr", "LoadUIFrame(\"t\")\r\nEOF\r\n");
    });
    EXPECT_EQ(r.result, 0);
    ASSERT_FALSE(g_Ui.frames.empty());
    const FRAMESTRUCT& f = g_Ui.frames.back();
    ASSERT_EQ(f.name, "t");
    ASSERT_FALSE(f.images.empty());
    EXPECT_EQ(f.images[0].name, "first");
    ASSERT_EQ(f.strings.size(), 1u);
    EXPECT_EQ(f.strings[0].name, "last");
    std::vector<std::string> reports;
    for (const std::string& b : Boxes(r))
        if (b.rfind("UI文件", 0) == 0)
            reports.push_back(b);
    std::vector<std::string> expected;
    for (const std::string& line : c.reports)
        expected.push_back("UI文件中有一行不是能读的记录，已跳过：ui\\t.jui第" + line);
    EXPECT_EQ(reports, expected);
}

INSTANTIATE_TEST_SUITE_P(
    UiFrame, FrameLineTable,
    ::testing::Values(
        FrameLineCase{"KindInTypographicQuotes",
                      {"“image”,7,\"border\"" + kPictureFields},
                      {"3行：“image”,7,\"border\"" + kPictureFields}},
        // A typographic quote opening the kind and a plain one closing
        // it: the line's plain quotes pair up wrongly and the last is left
        // open.
        FrameLineCase{"KindInMixedQuotes",
                      {"“image\",7,\"border\"" + kPictureFields},
                      {"3行：“image\",7,\"border\"" + kPictureFields}},
        FrameLineCase{"NoteWithOneQuote", {"说明：下面是\"开始按钮"}, {"3行：说明：下面是\"开始按钮"}},
        FrameLineCase{"MisspeltKind", {"\"imgae\",7,\"border\"" + kPictureFields}, {"3行：\"imgae\",7,\"border\"" + kPictureFields}},
        FrameLineCase{"TextWithoutAnyQuote", {"  image, 7, border  "}, {"3行：  image, 7, border  "}},
        FrameLineCase{"TwoBadLinesAroundAGoodOne",
                      {"\"Image\",7,\"a\"" + kPictureFields, "\"image\",7,\"b\"" + kPictureFields, "oops"},
                      {"3行：\"Image\",7,\"a\"" + kPictureFields, "5行：oops"}},
        FrameLineCase{"CommentsAndBlankLines", {"// the \"border\" art is drawn first", "  // indented", "", "  \t "}, {}},
        FrameLineCase{"TailAfterTheLastField", {"\"image\",7,\"b\"" + kPictureFields + " tail, \"x\" y"}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MainLoop, EveryStartBeginsWithTheMagicKindsItLoadsAlone)
{
    // The title's one button starts a new game, whose script reads the demo's
    // magic kinds and goes back to the title; the player clicks it again and
    // again. Each game has the kinds once, and their sheets once.
    constexpr int kStarts = 6;
    // What the game holds after each pass: the most kinds, and the most
    // copies of any one sheet, at any time.
    size_t mostKinds = 0;
    std::map<int32_t, size_t> mostSheets;
    std::vector<std::string> lastKinds;
    GameRun r = Start("0!\r\n1!\r\n0!\r\n1!\r\n0!\r\n", 40 + kStarts * 30,
                      [](auto& o) { o.inputFile = o.root / "input.txt"; }, [&](auto& p) {
        p.onPassEnd = [&] {
            mostKinds = std::max(mostKinds, g_MagicKinds.size());
            std::map<int32_t, size_t> sheets;
            for (const PICRESOURCESTRUCT& pic : g_Graph.pictures)
                ++sheets[pic.name];
            for (const auto& [id, n] : sheets)
                mostSheets[id] = std::max(mostSheets[id], n);
            if (!g_MagicKinds.empty()) {
                lastKinds.clear();
                for (const MagicKind& k : g_MagicKinds)
                    lastKinds.push_back(k.picture);
            }
        };
        const auto root = p.options().root;
        std::string input = "1 mouse 10 10\n";
        for (int k = 0; k < kStarts; ++k)
            input += std::to_string(20 + k * 30) + " button l down\n" + std::to_string(21 + k * 30) + " button l up\n";
        WriteFile(p.options().inputFile, input);
        std::string error;
        ASSERT_TRUE(p.LoadInputFile(&error)) << error;
        std::filesystem::create_directories(root / "ui");
        WriteFile(root / "ui" / "title_frame.jui",
                  "\"frame\",1,\"title_frame\"\r\n\"button\",1,\"start\",\"ui_btn_start\",0,2,0,0,640,480,0,0,640,480,"
                  "\"True\",\"True\",\"s_gameinit\",\"NULL\",\"NULL\"\r\n\"EOF\"\r\n");
        WriteFile(root / "Script" / "title.jsr", "LaunchTitle()\r\nEOF\r\n");
        std::filesystem::copy_file(std::filesystem::path(TEV_DEMO_DIR) / "Script" / "MagicKindList.jsr",
                                   root / "Script" / "MagicKindList.jsr");
        WriteFile(root / "Script" / "gameinit.jsr", "ReadAScriptFile(\"MagicKindList\")\r\nLaunchTitle()\r\nEOF\r\n");
    });
    EXPECT_EQ(r.result, 0);
    const std::string log = ReadFile(r.root / "log.txt");
    size_t starts = 0;
    for (size_t at = log.find("stmt gameinit LaunchTitle"); at != std::string::npos;
         at = log.find("stmt gameinit LaunchTitle", at + 1))
        ++starts;
    ASSERT_EQ(starts, static_cast<size_t>(kStarts));
    // The demo lists three kinds, with the sheets "magic0" to "magic2".
    EXPECT_EQ(mostKinds, 3u);
    EXPECT_EQ(lastKinds, (std::vector<std::string>{"magic0", "magic1", "magic2"}));
    for (const auto& [id, n] : mostSheets)
        EXPECT_EQ(n, 1u) << "picture " << id;
    EXPECT_EQ(mostSheets.count(100) + mostSheets.count(101) + mostSheets.count(102), 3u);
}
