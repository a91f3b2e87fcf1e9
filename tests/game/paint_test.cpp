// The picture table and the core painter: colour key, alpha, stipple and the
// clipping at every edge.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "app/globals.h"
#include "core/alert.h"
#include "test_support.h"

using plat::Rect;
using plat::Surface;
using tevtest::G;

namespace {

constexpr uint16_t kBlue = 0x001F;
constexpr uint16_t kBack = 0x4208; // background of destinations

// A keyed source whose pixels all differ (and none is the key).
Surface Pattern(int w, int h)
{
    Surface s(w, h);
    s.hasKey = true;
    s.key = kBlue;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            s.Row(y)[x] = static_cast<uint16_t>(0x8000 + y * 64 + x);
    return s;
}

Surface Filled(int w, int h, uint16_t c)
{
    Surface s(w, h);
    std::fill(s.px.begin(), s.px.end(), c);
    return s;
}

class PaintTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        tevtest::InstallHeadless();
        g_SoftAlpha = 1;
    }
    int Boxes() { return static_cast<int>(tevtest::Headless().recordingDialogs().boxes.size()); }
};

} // namespace

// A 2x2 source: blue (the key), full red, full green and a mixed colour,
// over a destination of one colour; every alpha rule at once.
TEST_F(PaintTest, AlphaKeyAndStippleRules)
{
    struct Case {
        const char* what;
        int alpha, softAlpha, key, stipple;
        uint16_t expect[4]; // (0,0) (1,0) (0,1) (1,1)
    };
    // Destination 0x0821 (red 1, green 1, blue 1). Average of red 31 and 1 is
    // 16, of green 63 and 1 is 32, of blue 0 and 1 is 0: remainders dropped.
    const uint16_t d = 0x0821;
    const Case cases[] = {
        {"alpha -1 keyed: blue is not painted", -1, 1, 1, 0, {d, 0xF800, 0x07E0, 0x528A}},
        {"alpha 99 keyed", 99, 1, 1, 0, {d, 0xF800, 0x07E0, 0x528A}},
        {"alpha -1 unkeyed copies blue", -1, 1, 0, 0, {kBlue, 0xF800, 0x07E0, 0x528A}},
        {"alpha 16 averages per channel", 16, 1, 1, 0, {d, 0x8000, 0x0400, 0x2945}},
        {"alpha 0 keyed leaves the destination", 0, 1, 1, 0, {d, d, d, d}},
        {"alpha 32 gives the source", 32, 1, 1, 0, {d, 0xF800, 0x07E0, 0x528A}},
        {"alpha 8: (s*8 + d*24) >> 5", 8, 1, 1, 0, {d, 0x4000, 0x0200, 0x18A3}},
        {"alpha 20 without soft alpha is opaque and keyed", 20, 0, 1, 0, {d, 0xF800, 0x07E0, 0x528A}},
        {"stipple: odd cells copied, even ones blended", 16, 1, 0, 1, {0x0010, 0xF800, 0x07E0, 0x2945}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        g_SoftAlpha = c.softAlpha;
        Surface src(2, 2);
        src.hasKey = true;
        src.key = kBlue;
        src.px = {kBlue, 0xF800, 0x07E0, 0x528A};
        Surface dst = Filled(2, 2, d);
        EXPECT_EQ(0, g_Graph.Paint(&dst, &src, Rect{0, 0, 2, 2}, 0, 0, c.key, c.alpha, c.stipple));
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(c.expect[i], dst.px[i]) << "pixel " << i;
    }
}

// Where a picture lands when it crosses an edge: the part inside is painted
// where it would have stood, on any destination, for blits and blends alike.
TEST_F(PaintTest, ClippingTable)
{
    g_Graph.BUF = plat::MakeSurface(640, 480).release();
    struct Case {
        const char* what;
        bool toBuf;
        Rect rect;
        float x, y;
        bool hasClip;
        Rect clip;
        int alpha;
        // Expected: the destination rectangle painted and the source pixel
        // that lands on its top-left corner.
        Rect painted;
        int srcX, srcY;
    };
    const Case cases[] = {
        {"inside", false, {0, 0, 4, 4}, 1, 1, false, {}, -1, {1, 1, 5, 5}, 0, 0},
        {"left 2 columns cut", false, {0, 0, 4, 4}, -2, 0, false, {}, -1, {0, 0, 2, 4}, 2, 0},
        {"x = -10 is wholly outside", false, {0, 0, 4, 4}, -10, 0, false, {}, -1, {}, 0, 0},
        {"top cut, truncated toward zero", false, {0, 0, 4, 4}, 0, -1.7f, false, {}, -1, {0, 0, 4, 3}, 0, 1},
        {"right and bottom edges at once", false, {0, 0, 4, 4}, 4, 5, false, {}, -1, {4, 5, 6, 6}, 0, 0},
        {"left and bottom edges at once", false, {0, 0, 4, 4}, -1, 4, false, {}, -1, {0, 4, 3, 6}, 1, 0},
        {"source beyond its surface is clamped", false, {5, 5, 12, 12}, 0, 0, false, {}, -1, {0, 0, 3, 3}, 5, 5},
        {"negative source corner moves the picture", false, {-2, -1, 2, 2}, 0, 0, false, {}, -1, {2, 1, 4, 3}, 0, 0},
        {"clip larger than the destination", false, {0, 0, 4, 4}, 3, 3, true, {-50, -50, 500, 500}, -1, {3, 3, 6, 6}, 0, 0},
        {"clip cuts all four sides", false, {0, 0, 4, 4}, 0, 0, true, {1, 2, 3, 6}, -1, {1, 2, 3, 4}, 1, 2},
        {"blend cut like a blit", false, {0, 0, 4, 4}, -3, -3, false, {}, 32, {0, 0, 1, 1}, 3, 3},
        {"BUF, x = -5: the visible part at 0", true, {0, 0, 8, 4}, -5, 0, false, {}, -1, {0, 0, 3, 4}, 5, 0},
        {"BUF bottom-right corner", true, {0, 0, 8, 8}, 636, 478, false, {}, -1, {636, 478, 640, 480}, 0, 0},
        {"BUF with the viewport clip", true, {0, 0, 8, 8}, 20, 340, true, {23, 23, 616, 344}, 16, {23, 340, 28, 344}, 3, 0},
        {"huge position paints nothing", false, {0, 0, 4, 4}, 3e9f, -3e9f, false, {}, -1, {}, 0, 0},
        {"NaN position counts as 0", false, {0, 0, 4, 4}, std::nanf(""), 0, false, {}, -1, {0, 0, 4, 4}, 0, 0},
        {"empty source rectangle", false, {3, 3, 3, 4}, 0, 0, false, {}, -1, {}, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Surface src = Pattern(8, 8);
        Surface local = Filled(6, 6, kBack);
        Surface* dst = c.toBuf ? g_Graph.BUF : &local;
        std::fill(dst->px.begin(), dst->px.end(), kBack);
        Surface srcCopy = src;
        EXPECT_EQ(0, g_Graph.Paint(dst, &srcCopy, c.rect, c.x, c.y, 1, c.alpha, 0, c.hasClip ? &c.clip : nullptr));
        int wrong = 0;
        for (int y = 0; y < dst->h; ++y)
            for (int x = 0; x < dst->w; ++x) {
                const bool in = x >= c.painted.left && x < c.painted.right && y >= c.painted.top && y < c.painted.bottom;
                uint16_t want = kBack;
                if (in) {
                    const uint16_t s = src.Row(c.srcY + y - c.painted.top)[c.srcX + x - c.painted.left];
                    want = c.alpha == 16 ? static_cast<uint16_t>((((s & 0xF7DE) + (kBack & 0xF7DE)) >> 1) +
                                                                  (s & kBack & 0x0821))
                                         : s;
                }
                if (dst->Row(y)[x] != want && wrong++ < 3)
                    ADD_FAILURE() << "pixel (" << x << "," << y << ") is " << dst->Row(y)[x] << ", want " << want;
            }
    }
}

TEST_F(PaintTest, MissingSurfacesAreFailures)
{
    Surface dst = Filled(4, 4, kBack);
    Surface src = Pattern(4, 4);
    EXPECT_LT(g_Graph.Paint(&dst, nullptr, Rect{0, 0, 4, 4}, 0, 0, 1, -1, 0), 0);
    EXPECT_LT(g_Graph.Paint(nullptr, &src, Rect{0, 0, 4, 4}, 0, 0, 1, 16, 0), 0);
    EXPECT_EQ(0, Boxes()); // the caller reports, not Paint
}

// A fade rectangle given straight to BlendPaint is cut to both surfaces, and
// its checkerboard stays anchored at the rectangle's own corner.
TEST_F(PaintTest, DirectBlendClipsAndKeepsItsCheckerboard)
{
    Surface black = Filled(3, 3, 0x0000);
    Surface dst = Filled(3, 3, 0xFFFF);
    g_Graph.BlendPaint(&black, &dst, Rect{-1, 0, 3, 3}, -1, 0, 16, 1, 0);
    // The rectangle's corner lies at (-1,0): (0,0) is i+j = 1, copied black.
    const uint16_t half = 0x7BEF;
    EXPECT_EQ(0x0000, dst.Row(0)[0]);
    EXPECT_EQ(half, dst.Row(0)[1]);
    EXPECT_EQ(half, dst.Row(1)[0]);
    EXPECT_EQ(0x0000, dst.Row(1)[1]);
    EXPECT_EQ(0x0000, dst.Row(0)[2]);
}

TEST_F(PaintTest, ReplaceColourClipsAndCountsOnlyMatches)
{
    // f = -1 with stipple and key protect: half the pixels, never the blue
    // ones, and the answer is 0 because nothing "equal to f" was replaced.
    Surface s = Filled(4, 4, 0x1234);
    s.Row(0)[0] = kBlue;
    s.Row(1)[1] = kBlue;
    EXPECT_EQ(0, g_Graph.ReplaceColour(&s, Rect{0, 0, 4, 4}, -1, 0xF800, 1, 1));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            const bool blue = (x == 0 && y == 0) || (x == 1 && y == 1);
            const uint16_t want = blue ? kBlue : ((x + y) & 1) ? 0x1234 : 0xF800;
            EXPECT_EQ(want, s.Row(y)[x]) << x << "," << y;
        }

    Surface t = Filled(4, 4, 0x1234);
    EXPECT_EQ(0, g_Graph.ReplaceColour(&t, Rect{0, 0, 4, 4}, 0x0001, 0xF800, 0, 0));
    EXPECT_EQ(1, g_Graph.ReplaceColour(&t, Rect{0, 0, 4, 4}, 0x1234, 0xF800, 0, 0));

    // An actor at the map's edge: the rectangle starts off the surface; only
    // the inside is touched and the checkerboard counts from (-1,-2).
    Surface u = Filled(3, 3, 0x1111);
    EXPECT_EQ(1, g_Graph.ReplaceColour(&u, Rect{-1, -2, 2, 2}, 0x1111, 0x2222, 1, 0));
    EXPECT_EQ(0x1111, u.Row(0)[0]); // i=2, j=1: odd, skipped
    EXPECT_EQ(0x2222, u.Row(0)[1]); // i=2, j=2
    EXPECT_EQ(0x2222, u.Row(1)[0]);
    EXPECT_EQ(0x1111, u.Row(0)[2]); // outside the rectangle
    EXPECT_EQ(0x1111, u.Row(2)[0]);
}

TEST(RectOverlap, CornersOnly)
{
    struct Case {
        RectF a, b;
        int want;
    };
    const Case cases[] = {
        {{0, 0, 10, 10}, {10, 10, 20, 20}, 1}, // a shared corner counts
        {{0, 4, 20, 6}, {8, 0, 12, 10}, 0},    // a cross does not
        {{0, 0, 10, 10}, {2, 2, 4, 4}, 1},     // inside
        {{2, 2, 4, 4}, {0, 0, 10, 10}, 1},
        {{0, 0, 10, 10}, {10, -5, 20, 0}, 0},  // only a's top-right is touched
        {{0, 0, 10, 10}, {11, 0, 20, 10}, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.want, RectOverlap(c.a, c.b)) << c.a.left << "," << c.a.top << " / " << c.b.left << "," << c.b.top;
}

TEST_F(PaintTest, CellsOfASheet)
{
    PICRESOURCESTRUCT pic;
    pic.name = 3;
    pic.surface = plat::MakeSurface(100, 100).release();
    pic.width = pic.height = 100;
    g_Graph.pictures.push_back(pic);
    EXPECT_EQ(0, g_Graph.RectIndexPicture(3, 0, 0, 100, 100, 32, 48));
    const PICRESOURCESTRUCT& p = g_Graph.getpicre(3);
    ASSERT_EQ(6, p.MaxCounts);
    EXPECT_EQ(64, p.rects[5].left);
    EXPECT_EQ(48, p.rects[5].top);
    EXPECT_EQ(96, p.rects[5].right);
    EXPECT_EQ(96, p.rects[5].bottom);

    // A missing picture has no cells and needs no division.
    PICRESOURCESTRUCT none;
    none.name = 9;
    g_Graph.pictures.push_back(none);
    EXPECT_EQ(0, g_Graph.RectIndexPicture(9, 0, 0, 0, 0, 0, 0));
    EXPECT_EQ(0, g_Graph.getpicre(9).MaxCounts);
    Rect cell;
    EXPECT_FALSE(g_Graph.GetCell(9, 0, &cell));
    EXPECT_EQ(0, Boxes());

    // A cell beyond the sheet is refused and reported once.
    EXPECT_TRUE(g_Graph.GetCell(3, 5, &cell));
    EXPECT_FALSE(g_Graph.GetCell(3, 6, &cell));
    EXPECT_FALSE(g_Graph.GetCell(3, 6, &cell));
    EXPECT_FALSE(g_Graph.GetCell(3, -1, &cell));
    EXPECT_EQ(2, Boxes());
    EXPECT_EQ(2u, tevtest::Headless().recordingDialogs().debugLines.size());
}

TEST_F(PaintTest, UnknownIdGivesTwoBoxesAndTheFirstEntry)
{
    // An empty table has no entry 0 to fall back on.
    EXPECT_EQ(nullptr, g_Graph.getpicre(6).surface);
    tevtest::Headless().recordingDialogs().boxes.clear();
    ResetAlertHistory();

    PICRESOURCESTRUCT a, b;
    a.name = 0;
    b.name = 7;
    g_Graph.pictures = {a, b};
    EXPECT_EQ(0, g_Graph.getpicre(6).name);
    const auto& boxes = tevtest::Headless().recordingDialogs().boxes;
    ASSERT_EQ(2u, boxes.size());
    EXPECT_EQ("资源图库中没有此资源! LPDIRECTDRAWSURFACE7 Graph::getpicre(PicResourceName name) 失败!",
              boxes[0].textUtf8);
    EXPECT_EQ("6", boxes[1].textUtf8);
    EXPECT_EQ(1, g_Graph.GetPicIndex(7));
}

// The demo folder's eleven pictures load without a word, in table order.
TEST_F(PaintTest, BuiltinPicturesFromTheDemoFolder)
{
    plat::headless::Options o;
    o.root = TEV_DEMO_DIR;
    tevtest::InstallHeadless(o);
    g_Graph.LoadResourcePictures();
    EXPECT_EQ(0, Boxes());
    struct Want {
        int id, cells, w, h;
    };
    const Want want[] = {{0, 1, 256, 256},  {1, 1, 256, 256},  {2, 1, 256, 256}, {7, 1, 32, 32},
                         {8, 1, 594, 206},  {3, 64, 256, 384}, {9, 5, 160, 48},  {4, 32, 256, 192},
                         {5, 72, 192, 1536}, {10, 4, 1024, 256}, {11, 1, 256, 64}};
    ASSERT_EQ(11u, g_Graph.pictures.size());
    for (size_t i = 0; i < 11; ++i) {
        const PICRESOURCESTRUCT& p = g_Graph.pictures[i];
        EXPECT_EQ(want[i].id, p.name) << i;
        EXPECT_EQ(want[i].cells, p.MaxCounts) << i;
        EXPECT_EQ(want[i].w, p.width) << i;
        EXPECT_EQ(want[i].h, p.height) << i;
        ASSERT_NE(nullptr, p.surface);
        EXPECT_TRUE(p.surface->hasKey);
        EXPECT_EQ(0x001F, p.surface->key);
    }
    // Loading is framed by two notices shown at once.
    EXPECT_EQ(2, tevtest::Headless().headlessDisplay().PresentCount());
}

// A missing picture: its two boxes, then the game goes on without it.
TEST_F(PaintTest, MissingPictureIsReportedOnlyByItsLoad)
{
    const auto root = tevtest::TempDir("game");
    std::filesystem::copy(TEV_DEMO_DIR, root,
                          std::filesystem::copy_options::recursive | std::filesystem::copy_options::copy_symlinks);
    std::filesystem::remove(root / "Resource" / "bmp" / "logowords.bmp");
    plat::headless::Options o;
    o.root = root;
    tevtest::InstallHeadless(o);
    g_Graph.LoadResourcePictures();
    for (int i = 0; i < 50; ++i) {
        g_Graph.PaintLogo(150);
        tevtest::Headless().fakeClock().Advance(10);
    }
    const auto& boxes = tevtest::Headless().recordingDialogs().boxes;
    ASSERT_EQ(2u, boxes.size());
    EXPECT_EQ("加载BMP出错！文件不存在!", boxes[0].textUtf8);
    EXPECT_EQ("Resource\\bmp\\logowords.bmp", boxes[1].textUtf8);
    EXPECT_EQ(0, g_Graph.getpicre(PIC_LOGOWORDS).MaxCounts);
}

// Every alpha, with and without key and stipple, on rows long enough for the
// vector loops and their ends: each pixel is the per-channel mix
// (s*a + d*(32-a)) >> 5 (16: the average without remainders), the key pixel
// leaves the destination, the stipple keeps every other source pixel.
TEST_F(PaintTest, BlendsMatchThePerPixelRuleAtEveryAlpha)
{
    uint32_t seed = 99;
    auto next = [&] {
        seed = seed * 1103515245u + 12345u;
        return static_cast<uint16_t>(seed >> 13);
    };
    const int w = 53, h = 3;
    Surface src(w, h);
    for (uint16_t& p : src.px)
        p = next() % 7 == 0 ? kBlue : next();
    src.px[0] = 0xFFFF;
    src.px[1] = 0x0000;
    for (int32_t alpha = 0; alpha <= 32; ++alpha)
        for (int key = 0; key <= 1; ++key)
            for (int stipple = 0; stipple <= 1; ++stipple) {
                Surface dst(w + 4, h);
                for (uint16_t& p : dst.px)
                    p = next();
                const Surface before = dst;
                g_Graph.BlendPaint(&src, &dst, Rect{0, 0, w, h}, 2, 0, alpha, stipple, key);
                for (int y = 0; y < h; ++y)
                    for (int x = 0; x < w; ++x) {
                        const uint32_t s = src.Row(y)[x], d = before.Row(y)[x + 2];
                        uint32_t want;
                        if (alpha == 16) {
                            want = (((s >> 11) + (d >> 11)) >> 1) << 11 | ((((s >> 5) & 63) + ((d >> 5) & 63)) >> 1) << 5 |
                                   (((s & 31) + (d & 31)) >> 1);
                        } else {
                            const uint32_t a = static_cast<uint32_t>(alpha), b = 32 - a;
                            want = (((s >> 11) * a + (d >> 11) * b) >> 5) << 11 |
                                   ((((s >> 5) & 63) * a + ((d >> 5) & 63) * b) >> 5) << 5 |
                                   (((s & 31) * a + (d & 31) * b) >> 5);
                        }
                        if (stipple && ((x + y) & 1))
                            want = s;
                        if (key && s == kBlue)
                            want = d;
                        ASSERT_EQ(dst.Row(y)[x + 2], want) << "alpha " << alpha << " key " << key << " stipple "
                                                           << stipple << " at " << x << "," << y;
                    }
                EXPECT_EQ(dst.Row(0)[0], before.Row(0)[0]);
                EXPECT_EQ(dst.Row(0)[w + 3], before.Row(0)[w + 3]);
            }
}
