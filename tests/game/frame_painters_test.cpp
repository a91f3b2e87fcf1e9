// The painters on top of Paint: the dialog's opening, frame animations, the
// logo sequence, the black veil and the frame-rate counter, on the virtual
// clock with box glyphs.
#include <gtest/gtest.h>

#include "app/globals.h"
#include "core/alert.h"
#include "platform/headless/headless.h"
#include "script/script.h"
#include "test_support.h"

using plat::Rect;
using plat::Surface;

namespace {

// Adds picture `id`: w x h cut into cells of cw x ch, cell c filled with
// colour(c) (never the key).
void AddPicture(int32_t id, int w, int h, int cw, int ch, uint16_t (*colour)(int cell, int x, int y))
{
    PICRESOURCESTRUCT pic;
    pic.name = id;
    pic.surface = plat::MakeSurface(w, h).release();
    g_Graph.SetKeyColour(pic.surface);
    pic.width = w;
    pic.height = h;
    const int cols = w / cw;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            pic.surface->Row(y)[x] = colour((y / ch) * cols + x / cw, x % cw, y % ch);
    g_Graph.pictures.push_back(pic);
    g_Graph.RectIndexPicture(id, 0, 0, w, h, cw, ch);
}

uint16_t CellColour(int cell, int, int) { return static_cast<uint16_t>(0x1000 * (cell + 1)); }

class FramePainters : public ::testing::Test {
protected:
    void SetUp() override
    {
        tevtest::InstallHeadless();
        g_Graph.BUF = plat::MakeSurface(640, 480).release();
        g_Graph.black = plat::MakeSurface(640, 480).release();
        g_SoftAlpha = 1;
    }
    void Tick(uint32_t ms) { tevtest::Headless().fakeClock().Advance(ms); }
    std::vector<std::string> Boxes()
    {
        std::vector<std::string> out;
        for (const auto& b : tevtest::Headless().recordingDialogs().boxes)
            out.push_back(b.textUtf8);
        return out;
    }
    void FillBuf(uint16_t c) { std::fill(g_Graph.BUF->px.begin(), g_Graph.BUF->px.end(), c); }
};

// The widths a 500-pixel frame opens through (steps of 3, 6, 9, ...).
const std::vector<int> kGrowth = {1, 4, 10, 19, 31, 46, 64, 85, 109, 136, 166, 199, 235, 274, 316, 361, 409, 460};

} // namespace

TEST_F(FramePainters, PaintDialogOpensOnTheClock)
{
    AddPicture(PIC_DIALOGFRAME, 500, 100, 500, 100, [](int, int, int) -> uint16_t { return 0xFFFF; });
    // One dialog until it is open; the widths painted on each call, and the
    // call on which dialogOpening fell to 0.
    auto run = [&](int* openedOn) {
        std::vector<int> widths;
        *openedOn = 0;
        for (int call = 1; call <= 60 && *openedOn == 0; ++call) {
            FillBuf(0);
            g_Graph.PaintDialog();
            int w = 0;
            while (w < 640 && g_Graph.BUF->Row(420)[70 + w] != 0)
                ++w;
            widths.push_back(w);
            if (g_Script.dialogOpening == 0)
                *openedOn = call;
            Tick(10);
        }
        return widths;
    };
    // The run's first dialog: its fresh timer fires at once, so each width
    // shows for two calls from the first call on.
    std::vector<int> first;
    for (size_t i = 1; i < kGrowth.size(); ++i)
        first.insert(first.end(), 2, kGrowth[i]);
    first.push_back(500);
    int openedOn = 0;
    EXPECT_EQ(first, run(&openedOn));
    EXPECT_EQ(35, openedOn);
    // The frame stands at ((640 - 500) / 2, 480 - 100 - 10), blended at 22.
    EXPECT_EQ(0, g_Graph.BUF->Row(369)[70]);
    EXPECT_EQ(0, g_Graph.BUF->Row(370)[69]);
    EXPECT_EQ(static_cast<uint16_t>((21 << 11) | (43 << 5) | 21), g_Graph.BUF->Row(370)[70]);
    EXPECT_EQ(0, g_Graph.BUF->Row(470)[70]);

    // Open, it stays open.
    FillBuf(0);
    g_Graph.PaintDialog();
    EXPECT_EQ(0, g_Script.dialogOpening);

    // The next talk restarts the opening with the timer already used.
    g_Script.dialogStarted = 0;
    std::vector<int> second = {1};
    for (size_t i = 1; i < kGrowth.size(); ++i)
        second.insert(second.end(), 2, kGrowth[i]);
    second.push_back(500);
    EXPECT_EQ(second, run(&openedOn));
    EXPECT_EQ(36, openedOn);
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(FramePainters, PaintDialogWithoutItsPicture)
{
    PICRESOURCESTRUCT none;
    none.name = PIC_DIALOGFRAME;
    g_Graph.pictures.push_back(none);
    for (int i = 0; i < 5; ++i) {
        g_Graph.PaintDialog();
        Tick(10);
    }
    EXPECT_EQ(std::vector<std::string>{"PaintDialog 失败！"}, Boxes());
    EXPECT_EQ(0, g_Script.dialogOpening);
}

TEST_F(FramePainters, AnimationRuns)
{
    AddPicture(20, 32, 8, 8, 8, CellColour);  // 4 cells
    AddPicture(21, 48, 8, 8, 8, CellColour);  // 6 cells
    // The cell shown after a call, -1 when nothing was painted.
    auto shown = [&]() {
        const uint16_t p = g_Graph.BUF->Row(0)[0];
        return p == 0 ? -1 : p / 0x1000 - 1;
    };
    // Calls the painter every 10 ms until it ends a run; the distinct cells
    // painted on the way.
    auto play = [&](auto paint, int maxCalls = 200) {
        std::vector<int> cells;
        for (int i = 0; i < maxCalls; ++i) {
            FillBuf(0);
            if (paint() == 1)
                break;
            const int c = shown();
            if (cells.empty() || cells.back() != c)
                cells.push_back(c);
            Tick(10);
        }
        return cells;
    };

    ANIMISTRUCT fresh;
    auto oneWay = [&] { return g_Graph.PaintAnimi(20, 0, 0, -1, fresh, 50); };
    EXPECT_EQ((std::vector<int>{1, 2, 3}), play(oneWay)) << "the first call already advances";
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(1, oneWay()) << "the end repeats until the owner acts";

    ANIMISTRUCT waiting;
    waiting.timerStart = 1;
    EXPECT_EQ((std::vector<int>{0, 1, 2, 3}), play([&] { return g_Graph.PaintAnimi(20, 0, 0, -1, waiting, 50); }));

    // Ping-pong from cell 0 backward: it turns at once (one loop), then runs
    // up to the end and turns again; SetLoop(2) is satisfied only then.
    ANIMISTRUCT pp;
    EXPECT_EQ(0, pp.SetLoop(2));
    auto pingPong = [&] { return g_Graph.PaintAnimi(20, 0, 0, -1, pp, 50); };
    EXPECT_TRUE(play(pingPong).empty());
    EXPECT_EQ(0, pp.SetLoop(2));
    EXPECT_EQ((std::vector<int>{1, 2, 3}), play(pingPong));
    EXPECT_EQ(1, pp.SetLoop(2));
    EXPECT_EQ(0, pp.pingPong);
    EXPECT_EQ(0, pp.loopCount);

    ANIMISTRUCT ex;
    EXPECT_EQ((std::vector<int>{1, 2, 3, 4, 5}),
              play([&] { return g_Graph.PaintAnimiEx(g_Graph.BUF, 21, 0, 0, 1, -1, 0, ex, 0, -1, 50); }));

    ANIMISTRUCT finished;
    finished.finished = 1;
    EXPECT_EQ(1, g_Graph.PaintAnimi(20, 0, 0, -1, finished, 50));
    ANIMISTRUCT hidden;
    hidden.current = -1;
    EXPECT_TRUE(play([&] { return g_Graph.PaintAnimi(20, 0, 0, -1, hidden, 50); }, 5) == std::vector<int>{-1});
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(FramePainters, AnimationEndsOutOfRange)
{
    AddPicture(21, 48, 8, 8, 8, CellColour);
    ANIMISTRUCT a;
    FillBuf(0);
    EXPECT_EQ(0, g_Graph.PaintAnimiEx(g_Graph.BUF, 21, 0, 0, 1, -1, 0, a, 0, 6, 50));
    EXPECT_EQ(0, g_Graph.PaintAnimiEx(g_Graph.BUF, 21, 0, 0, 1, -1, 0, a, 0, -2, 50));
    EXPECT_EQ(0, g_Graph.PaintAnimiEx(g_Graph.BUF, 21, 0, 0, 1, -1, 0, a, -1, -1, 50));
    EXPECT_EQ(0, g_Graph.BUF->Row(0)[0]) << "nothing painted";
    EXPECT_EQ((std::vector<std::string>{"PaintAnimi endindex>MaxCounts", "PaintAnimi endindex<0"}), Boxes());
}

namespace {

// The logo sheets the logo tests use: four numbered rings and a bar.
void AddLogoPictures()
{
    AddPicture(PIC_LOGOEFFECT1, 1024, 256, 256, 256, [](int cell, int x, int y) -> uint16_t {
        const int dx = x - 128, dy = y - 128;
        if (dx * dx + dy * dy > 100 * 100)
            return 0x001F;
        return static_cast<uint16_t>(0x8410 + cell * 0x0841 + ((x / 16 + y / 16) & 1) * 0x2000);
    });
    AddPicture(PIC_LOGOWORDS, 256, 64, 256, 64,
               [](int, int x, int y) -> uint16_t { return (y > 20 && y < 44 && x > 10 && x < 246) ? 0xFEA0 : 0x001F; });
}

} // namespace

// The sequence's length follows from its rules: three steps forward, the
// turn, three steps back and the last turn at 150 ms each (a step needs one
// call to arm and then its full interval), then 3000 ms until the end timer
// that the first call after the stop arms.
TEST_F(FramePainters, LogoSequenceEndsOnItsRule)
{
    AddLogoPictures();
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round == 0 ? "first logo" : "a second logo plays the same way");
        int endedOn = 0, peak = 0, peakFirst = 0;
        for (int call = 1; call <= 1000 && endedOn == 0; ++call) {
            if (g_Graph.PaintLogo(150) == 1) {
                endedOn = call;
                break;
            }
            if (g_Graph.logo.fade.value > peak) {
                peak = g_Graph.logo.fade.value;
                peakFirst = call;
            }
            if (call == 340) {
                // Fully faded in: the logo stands at (192, 42), 256 x 256.
                const Surface& buf = *g_Graph.BUF;
                bool insideLit = false, outsideLit = false;
                for (int y = 0; y < 480; ++y)
                    for (int x = 0; x < 640; ++x) {
                        const bool inLogo = x >= 192 && x < 448 && y >= 42 && y < 298;
                        const bool inWords = x >= 192 && x < 448 && y >= 158 && y < 222;
                        if (buf.Row(y)[x] != 0)
                            (inLogo || inWords ? insideLit : outsideLit) = true;
                    }
                EXPECT_TRUE(insideLit);
                EXPECT_FALSE(outsideLit);
            }
            Tick(10);
        }
        // Calls: 1 (fires at once), 17, 33, 49 (the turn), 50, 66, 82, 98
        // (stopped), 99 arms the end timer, 3000 ms later is call 399.
        EXPECT_EQ(399, endedOn);
        EXPECT_EQ(28, peak);
        EXPECT_EQ(1 + 27 * 12, peakFirst) << "one fade step every 110 ms plus the arming call";
        Tick(10);
    }
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(FramePainters, GoldenFrames)
{
    AddLogoPictures();
    AddPicture(PIC_DIALOGFRAME, 500, 100, 500, 100,
               [](int, int x, int y) -> uint16_t { return (x < 4 || y < 4 || x > 495 || y > 95) ? 0x6180 : 0xEF36; });
    // The logo at its brightest.
    for (int call = 1; call <= 340; ++call) {
        g_Graph.PaintLogo(150);
        Tick(10);
    }
    EXPECT_EQ(0xfcd995d9cf5c11b4ull, plat::headless::FrameHash(*g_Graph.BUF));

    // An open dialog with a speaker's name and a line over it.
    for (int call = 0; call < 40; ++call) {
        FillBuf(0x2104);
        g_Graph.PaintDialog();
        Tick(10);
    }
    g_Graph.PaintText(g_Graph.BUF, tevtest::G("旅人").c_str(), Rect{85, 380, 160, 400}, tevtest::G("宋体").c_str(), 16, 1,
                      0, 0x00000000);
    g_Graph.PaintText(g_Graph.BUF, tevtest::G("你好，欢迎来到这里。").c_str(), Rect{85, 405, 555, 460},
                      tevtest::G("宋体").c_str(), 16, 0, 0, 0x00202020);
    EXPECT_EQ(0x49e708649bc839c4ull, plat::headless::FrameHash(*g_Graph.BUF));
}

TEST_F(FramePainters, BlackVeil)
{
    struct Case {
        const char* what;
        int mode, alpha;
        uint16_t atViewport, nextToIt, outside;
    };
    const Case cases[] = {
        {"off", 0, -1, 0xFFFF, 0xFFFF, 0xFFFF},
        {"viewport solid", 1, -1, 0, 0, 0xFFFF},
        {"viewport half, checkerboard", 1, 16, 0x7BEF, 0, 0xFFFF},
        {"whole screen solid", 2, -1, 0, 0, 0},
        {"whole screen alpha 8", 2, 8, 0xBDF7, 0, 0xBDF7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FillBuf(0xFFFF);
        g_Graph.blackMode = c.mode;
        g_Graph.blackAlpha = c.alpha;
        g_Graph.PaintBlackScreen();
        EXPECT_EQ(c.atViewport, g_Graph.BUF->Row(24)[24]); // even cell of the checkerboard
        EXPECT_EQ(c.nextToIt, g_Graph.BUF->Row(24)[25]);
        EXPECT_EQ(c.outside, g_Graph.BUF->Row(10)[10]);
        EXPECT_EQ(c.outside, g_Graph.BUF->Row(344)[300]);
    }
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(FramePainters, FrameRateShowsAfterOneSecond)
{
    auto inked = [&] {
        int n = 0;
        for (int y = 40; y < 56; ++y)
            for (int x = 580; x < 640; ++x)
                n += g_Graph.BUF->Row(y)[x] != 0xFFFF;
        return n;
    };
    for (int call = 0; call < 100; ++call) {
        FillBuf(0xFFFF);
        g_Graph.PaintFps();
        EXPECT_EQ(0, inked()) << "call " << call;
        Tick(10);
    }
    FillBuf(0xFFFF);
    g_Graph.PaintFps(); // 1000 ms after the first: 101 frames counted
    EXPECT_EQ("101", g_Graph.fps.text);
    EXPECT_GT(inked(), 0);
    // The text stays until the next second is counted.
    Tick(10);
    FillBuf(0xFFFF);
    g_Graph.PaintFps();
    EXPECT_EQ("101", g_Graph.fps.text);
    EXPECT_GT(inked(), 0);
}
