// Keyboard and mouse: the key table, clicks, the cursor and its edges, the
// dispatch and the save record.
#include <gtest/gtest.h>

#include "app/globals.h"
#include "core/alert.h"
#include "platform/dik.h"
#include "script/script.h"
#include "test_support.h"

namespace dik = plat::dik;
using plat::Rect;

namespace {

class Input : public ::testing::Test {
protected:
    void SetUp() override
    {
        plat::headless::Options o;
        log = tevtest::TempDir("log") / "log.txt";
        o.logFile = log;
        tevtest::InstallHeadless(o);
        g_Graph.BUF = plat::MakeSurface(640, 480).release();
    }
    plat::headless::HeadlessInput& In() { return tevtest::Headless().headlessInput(); }
    void Tick(uint32_t ms) { tevtest::Headless().fakeClock().Advance(ms); }
    void Keys(std::initializer_list<int> down)
    {
        for (int c = 0; c < 256; ++c)
            In().SetKey(c, false);
        for (int c : down)
            In().SetKey(c, true);
    }
    // Log lines containing `what`, without their "P<pass> T<tick> " prefix
    // but with the tick.
    std::vector<std::pair<uint32_t, std::string>> Logged(const std::string& what)
    {
        std::vector<std::pair<uint32_t, std::string>> out;
        for (const std::string& line : tevtest::ReadLines(log)) {
            if (line.find(what) == std::string::npos)
                continue;
            const auto t = line.find(" T");
            const auto sp = line.find(' ', t + 1);
            out.emplace_back(static_cast<uint32_t>(std::stoul(line.substr(t + 2, sp - t - 2))), line.substr(sp + 1));
        }
        return out;
    }
    // A 32x32 cursor picture whose pixels are all 0xF81F.
    void AddCursor()
    {
        PICRESOURCESTRUCT pic;
        pic.name = PIC_CURSOR;
        pic.surface = plat::MakeSurface(32, 32).release();
        std::fill(pic.surface->px.begin(), pic.surface->px.end(), 0xF81F);
        g_Graph.SetKeyColour(pic.surface);
        pic.width = pic.height = 32;
        g_Graph.pictures.push_back(pic);
        g_Graph.RectIndexPicture(PIC_CURSOR, 0, 0, 32, 32, 32, 32);
    }
    std::filesystem::path log;
};

} // namespace

TEST_F(Input, ReadKeyboardTable)
{
    g_Control.InitInput();
    struct Case {
        const char* what;
        std::vector<int> keys;
        std::vector<int> disabled;
        int want, hit;
    };
    const Case cases[] = {
        {"nothing", {}, {}, 0, 0},
        {"W", {dik::W}, {}, 1, 1},
        {"W and D give the diagonal though W is off", {dik::W, dik::D}, {1}, 7, 1},
        {"W off: a hit that reports nothing", {dik::W}, {1}, 0, 1},
        {"W off hides Space after it", {dik::W, dik::SPACE}, {1}, 0, 1},
        {"LCtrl and Up: debug key", {dik::LCONTROL, dik::UP}, {}, 32, 1},
        {"LCtrl and Left", {dik::LCONTROL, dik::LEFT}, {}, 30, 1},
        {"RCtrl and Up is Ctrl", {dik::RCONTROL, dik::UP}, {}, 19, 1},
        {"RCtrl and Up with Ctrl off", {dik::RCONTROL, dik::UP}, {19}, 0, 1},
        {"an arrow alone is no game key", {dik::UP}, {}, 0, 0},
        {"S A RCtrl", {dik::S, dik::A, dik::RCONTROL}, {}, 14, 1},
        {"W D LCtrl", {dik::W, dik::D, dik::LCONTROL}, {}, 15, 1},
        {"D with Ctrl", {dik::D, dik::LCONTROL}, {}, 12, 1},
        {"S and D", {dik::S, dik::D}, {}, 8, 1},
        {"Space", {dik::SPACE}, {}, 18, 1},
        {"Esc", {dik::ESCAPE}, {}, 17, 1},
        {"Esc off", {dik::ESCAPE}, {17}, 0, 1},
        {"digit 5", {dik::K5}, {}, 24, 1},
        {"digit 0", {dik::K0}, {}, 29, 1},
        {"digit 1 before digit 9", {dik::K9, dik::K1}, {}, 20, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (auto& k : g_Control.keyEnabled)
            k = 1;
        for (int k : c.disabled)
            g_Control.keyEnabled[k] = 0;
        Keys({});
        for (int k : c.keys)
            In().SetKey(k, true);
        EXPECT_EQ(c.want, g_Control.ReadKeyboard());
        EXPECT_EQ(c.hit, g_Control.keyHit);
    }
    // The keyboard switched off reads nothing at all.
    Keys({dik::W});
    g_Control.keyboardOn = 0;
    EXPECT_EQ(0, g_Control.ReadKeyboard());
    EXPECT_EQ(0, g_Control.keyHit);
    EXPECT_EQ(0, g_Control.suspended);
}

TEST_F(Input, FailedReadsSuspendAndUseTheOldState)
{
    g_Control.InitInput();
    Keys({dik::S});
    EXPECT_EQ(2, g_Control.ReadKeyboard());
    In().kbStateFails = true;
    Keys({});
    EXPECT_EQ(2, g_Control.ReadKeyboard());
    EXPECT_EQ(1, g_Control.suspended);
}

TEST_F(Input, InitInputReportsEachFailedStep)
{
    In().failDataFormat = true;
    In().failCooperative = true;
    g_Control.InitInput();
    std::vector<std::string> texts;
    for (const auto& b : tevtest::Headless().recordingDialogs().boxes)
        texts.push_back(b.textUtf8);
    EXPECT_EQ((std::vector<std::string>{"设置DINPUT键盘数据格式失败！", "设置DINPUT键盘协调层失败！",
                                        "设置DINPUT鼠标数据格式失败！", "设置DINPUT鼠标协调层失败！"}),
              texts);
    EXPECT_EQ(1, g_Control.initialised);
}

TEST_F(Input, InitInputWithoutAnything)
{
    In().failCreate = true;
    In().failAcquire = true;
    g_Control.InitInput();
    std::vector<std::string> texts;
    for (const auto& b : tevtest::Headless().recordingDialogs().boxes)
        texts.push_back(b.textUtf8);
    EXPECT_EQ((std::vector<std::string>{"建立DINPUT对象失败！", "建立DINPUT键盘失败！", "建立DINPUT鼠标失败！"}),
              texts);
    // No device means no state to read, which suspends the input.
    EXPECT_EQ(0, g_Control.ReadKeyboard());
    g_Control.ReadMouse();
    EXPECT_EQ(1, g_Control.suspended);
}

TEST_F(Input, ReadMouseReportsAClickOnRelease)
{
    g_Control.InitInput();
    std::string seen;
    std::string released;
    auto frame = [&] {
        seen += g_Control.ReadMouse().button;
        released += static_cast<char>('0' + g_Control.buttonReleased);
    };
    In().SetButton(0, true);
    frame();
    frame();
    frame();
    In().SetButton(0, false);
    frame();
    frame();
    EXPECT_EQ("llllN", seen);
    EXPECT_EQ("00011", released);

    // Right held with the right button off: nothing, and nothing held.
    seen.clear();
    g_Control.rightOn = 0;
    In().SetButton(1, true);
    frame();
    EXPECT_EQ("N", seen);
    EXPECT_EQ(0, g_Control.buttonHeld);
    // Both held: 'a', or 'r' when both together are off.
    g_Control.rightOn = 1;
    In().SetButton(0, true);
    seen.clear();
    frame();
    g_Control.bothOn = 0;
    frame();
    EXPECT_EQ("ar", seen);
    // The mouse switched off reads nothing.
    g_Control.mouseOn = 0;
    EXPECT_EQ('N', g_Control.ReadMouse().button);
}

TEST_F(Input, CursorMovesWithinTheScreen)
{
    AddCursor();
    g_Control.InitInput();
    auto move = [&](int dx, int dy) {
        In().AddMotion(dx, dy);
        g_Control.ReadMouse();
        g_Control.PaintCursor(99, 0);
    };
    move(15, -40);
    EXPECT_EQ(335, g_Control.cursorX);
    EXPECT_EQ(200, g_Control.cursorY);
    EXPECT_EQ(0xF81F, g_Graph.BUF->Row(200)[335]) << "cell 0 painted at the cursor";
    // Partly off the left and top edges is allowed, down to the last column.
    move(-335 - 31, -200 - 31);
    EXPECT_EQ(-31, g_Control.cursorX);
    EXPECT_EQ(-31, g_Control.cursorY);
    EXPECT_EQ(0xF81F, g_Graph.BUF->Row(0)[0]);
    EXPECT_EQ(0, g_Control.suspended);
    EXPECT_EQ(2u, Logged("cursor ").size());

    // A state that was not read this frame moves nothing: with the mouse
    // switched off the old motion must not be applied again.
    move(40, 40);
    g_Control.mouseOn = 0;
    g_Control.ReadMouse();
    g_Control.PaintCursor(99, 0);
    g_Control.PaintCursor(99, 0);
    EXPECT_EQ(9, g_Control.cursorX);
    EXPECT_EQ(9, g_Control.cursorY);
}

TEST_F(Input, CursorPushedOffTheEdgeSuspends)
{
    AddCursor();
    g_Control.InitInput();
    // With music playing, which the suspension pauses.
    const auto root = tevtest::TempDir("game");
    tevtest::WriteFile(root / "Resource" / "mid" / "title.mid", tevtest::Midi());
    tevtest::Headless().paths().SetRoot(root);
    g_Sound.Init();
    g_Sound.PlayMidi("title");
    g_Control.SetCursor(630, 100);
    In().AddMotion(20, 0);
    g_Control.ReadMouse();
    g_Control.PaintCursor(99, 0);
    EXPECT_EQ(630, g_Control.cursorX);
    EXPECT_EQ(1, g_Control.suspended);
    // The mouse goes back to the system where the cursor was pushed.
    EXPECT_EQ(1u, Logged("syscursor warp 650 100").size());
    EXPECT_EQ(1u, Logged("debug 跳到桌面 ").size());
    EXPECT_EQ(1u, Logged("midi pause title").size());
    const plat::Point sys = tevtest::Headless().display().SystemCursor();
    EXPECT_EQ(650, sys.x);
}

TEST_F(Input, APressShorterThanAFrameIsSeenOnce)
{
    g_Control.InitInput();
    // A tap of the left button: pressed and let go between two reads. The
    // next read shows it held, the one after reports the click.
    In().SetButton(0, true);
    In().SetButton(0, false);
    MouseInfo m = g_Control.ReadMouse();
    EXPECT_EQ('l', m.button);
    EXPECT_EQ(0, g_Control.buttonReleased);
    m = g_Control.ReadMouse();
    EXPECT_EQ('l', m.button);
    EXPECT_EQ(1, g_Control.buttonReleased) << "the click";
    EXPECT_EQ('N', g_Control.ReadMouse().button);
    // A key tapped within one frame is seen down once.
    In().SetKey(dik::SPACE, true);
    In().SetKey(dik::SPACE, false);
    EXPECT_EQ(gamekey::kSpace, g_Control.ReadKeyboard());
    EXPECT_EQ(gamekey::kNone, g_Control.ReadKeyboard());
    // A key held across reads is as before: down while held.
    In().SetKey(dik::W, true);
    EXPECT_EQ(gamekey::kW, g_Control.ReadKeyboard());
    EXPECT_EQ(gamekey::kW, g_Control.ReadKeyboard());
    In().SetKey(dik::W, false);
    EXPECT_EQ(gamekey::kNone, g_Control.ReadKeyboard());
    // What was pressed while the game did not hold the devices is not its.
    g_Control.ReinitInput();
    tevtest::Headless().headlessDisplay().SetActive(false);
    g_Control.ReinitInput();
    In().SetKey(dik::SPACE, true);
    In().SetKey(dik::SPACE, false);
    In().SetButton(0, true);
    In().SetButton(0, false);
    tevtest::Headless().headlessDisplay().SetActive(true);
    g_Control.ReinitInput();
    EXPECT_EQ(gamekey::kNone, g_Control.ReadKeyboard());
    EXPECT_EQ('N', g_Control.ReadMouse().button);
}

TEST_F(Input, CursorMovedWatch)
{
    AddCursor();
    g_Control.InitInput();
    std::string moved;
    auto frame = [&](int dx) {
        In().AddMotion(dx, 0);
        g_Control.ReadMouse();
        g_Control.PaintCursor(99, 0);
        moved += static_cast<char>('0' + g_Control.cursorMoved);
    };
    for (int i = 0; i < 4; ++i)
        frame(1);
    for (int i = 0; i < 3; ++i)
        frame(0);
    // The watch looks at the position before each frame's motion: it
    // notices the motion one frame late and the stop one frame late.
    EXPECT_EQ("0111100", moved);
}

TEST_F(Input, UiSamplesKeysTwiceASecond)
{
    g_Control.InitInput();
    g_GameState = 3;
    g_Ui.frames = {FRAMESTRUCT{"main_frame"}, FRAMESTRUCT{"status_frame"}};
    g_Ui.g_UiFocus = 1;
    // W held for 600 ms, then nothing, read every 10 ms.
    for (int t = 0; t < 2000; t += 10) {
        Keys(t < 600 ? std::initializer_list<int>{dik::W} : std::initializer_list<int>{});
        g_Control.DispatchKey(g_Control.ReadKeyboard());
        Tick(10);
    }
    const auto keys = Logged("ui key ");
    ASSERT_GE(keys.size(), 3u);
    for (size_t i = 1; i < keys.size(); ++i)
        EXPECT_GT(keys[i].first - keys[i - 1].first, 500u);
    EXPECT_EQ("ui key 1", keys[0].second);
    EXPECT_EQ("ui key 0", keys.back().second) << "no key is handed over as well";
}

TEST_F(Input, DispatchKeyOutsideTheFrames)
{
    g_Control.InitInput();
    g_Ui.g_UiFocus = 0;
    g_GameState = 1;
    g_Control.DispatchKey(gamekey::kEsc);
    EXPECT_TRUE(g_Ui.frames.empty()) << "keys act only in the game";

    g_GameState = 3;
    // Esc opens the main menu at most every 500 ms while held.
    for (int t = 0; t <= 1200; t += 100) {
        g_Control.DispatchKey(gamekey::kEsc);
        Tick(100);
    }
    const auto loads = Logged("ui load mainmenu_frame");
    EXPECT_EQ(3u, loads.size());

    struct Case {
        GameKey key;
        float attack, defence;
        float wantAttack, wantDefence;
    };
    const Case cases[] = {
        {gamekey::kLCtrlLeft, 1.5f, 2, 1.5f, 1},     // stays at 1 or more
        {gamekey::kLCtrlRight, 199.5f, 200, 200.5f, 200},
        {gamekey::kW, 5, 5, 5, 5},
    };
    for (const Case& c : cases) {
        g_Role.attack = c.attack;
        g_Role.defence = c.defence;
        g_Control.DispatchKey(c.key);
        EXPECT_FLOAT_EQ(c.wantAttack, g_Role.attack) << c.key;
        EXPECT_FLOAT_EQ(c.wantDefence, g_Role.defence) << c.key;
    }
    g_Role.maxHp = 120;
    g_Role.maxMp = 40;
    g_Control.DispatchKey(gamekey::kLCtrlUp);
    g_Control.DispatchKey(gamekey::kLCtrlDown);
    EXPECT_FLOAT_EQ(120, g_Role.hp);
    EXPECT_FLOAT_EQ(40, g_Role.mp);
    EXPECT_FLOAT_EQ(99999, g_Role.gold);
}

TEST_F(Input, SpaceOrAClickDismissesAShownTalk)
{
    struct Case {
        const char* what;
        GameKey key;
        char button;
        int released, running, minShown;
        int want;
    };
    const Case cases[] = {
        {"Space", gamekey::kSpace, 'n', 1, 1, 1, 1},
        {"a click", 0, 'l', 1, 1, 1, 1},
        {"the left button still held", 0, 'l', 0, 1, 1, 0},
        {"too early", gamekey::kSpace, 'n', 1, 1, 0, 0},
        {"no script", gamekey::kSpace, 'n', 1, 0, 1, 0},
        {"another key", gamekey::kW, 'r', 1, 1, 1, 0},
    };
    for (const Case& c : cases) {
        g_Script.talkDismissed = 0;
        g_Script.running = c.running;
        g_Script.talkMinShown = c.minShown;
        g_Control.buttonReleased = c.released;
        g_Control.ScriptKey(c.key, MouseInfo{0, 0, c.button});
        EXPECT_EQ(c.want, g_Script.talkDismissed) << c.what;
    }
}

TEST_F(Input, SaveRecordRoundTrip)
{
    g_Control.SetInputEnabled(0);
    g_Control.keyEnabled[200] = 7;
    g_Control.cursorMoved = 1;
    FILE* f = std::tmpfile();
    g_Control.Save(f);
    std::rewind(f);
    int lines = 0;
    for (int c; (c = std::fgetc(f)) != EOF;)
        lines += c == '\n';
    EXPECT_EQ(268, lines);

    control fresh;
    std::rewind(f);
    ASSERT_TRUE(fresh.Load(f));
    std::fclose(f);
    EXPECT_EQ(7, fresh.keyEnabled[200]);
    EXPECT_EQ(0, fresh.keyEnabled[17]);
    EXPECT_EQ(0, fresh.keyEnabled[19]);
    EXPECT_EQ(0, fresh.rightOn);
    EXPECT_EQ(1, fresh.leftOn);
    EXPECT_EQ(1, fresh.cursorMoved);
    EXPECT_EQ(0, fresh.keyMoveOn);
}

TEST_F(Input, DamagedSaveRecordChangesNothing)
{
    std::string record;
    for (int i = 0; i < 268; ++i)
        record += "0\n";
    const std::string damaged[] = {
        record.substr(0, record.size() - 2),          // one line short
        "x\n" + record.substr(2),                     // not a number
        record.substr(0, 100) + "\n" + record.substr(100), // an empty line
    };
    for (const std::string& bytes : damaged) {
        control c;
        FILE* f = tevtest::MemFile(bytes);
        EXPECT_FALSE(c.Load(f));
        std::fclose(f);
        EXPECT_EQ(1, c.keyEnabled[0]);
        EXPECT_EQ(1, c.keyEnabled[255]);
        EXPECT_EQ(1, c.keyboardOn);
    }
}
