// Text: both renderers keep to their rectangle, survive broken GBK, and the
// loading notice is shown at once.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "app/globals.h"
#include "platform/text.h"
#include "test_support.h"

using plat::Rect;
using plat::Surface;
using tevtest::G;

namespace {

// The box around all pixels that are not `bg`; empty when there are none.
Rect Inked(const Surface& s, uint16_t bg = 0)
{
    Rect r{s.w, s.h, 0, 0};
    for (int y = 0; y < s.h; ++y)
        for (int x = 0; x < s.w; ++x)
            if (s.Row(y)[x] != bg) {
                r.left = std::min(r.left, x);
                r.top = std::min(r.top, y);
                r.right = std::max(r.right, x + 1);
                r.bottom = std::max(r.bottom, y + 1);
            }
    if (r.right == 0)
        return Rect{};
    return r;
}

bool Within(const Rect& inner, const Rect& outer)
{
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

// Texts every renderer must take: broken GBK, a lone lead byte at the end,
// lines, ampersands and a text far wider than its box.
const std::string kTexts[] = {
    G("对话：你好"),
    std::string("\x81"),
    std::string("\xB0\xA1\xFF\x80\x81"),
    G("中") + "\x81",
    "A&B&&C&",
    G("第一行\r\n第二行\n第三行\r第四行"),
    std::string(400, 'W'),
};

void CheckRenderer(plat::TextRenderer& r)
{
    const Rect box{20, 30, 120, 62};
    for (const std::string& text : kTexts) {
        SCOPED_TRACE(text);
        Surface s(200, 100);
        plat::FontSpec font;
        font.height = 16;
        EXPECT_EQ(0, r.DrawTextRect(s, text, box, font, 0x00FFFFFF));
        const Rect ink = Inked(s);
        EXPECT_TRUE(Within(ink, box)) << ink.left << "," << ink.top << "," << ink.right << "," << ink.bottom;
        EXPECT_GT(ink.Width(), 0);
    }
    Surface s(200, 100);
    plat::FontSpec font;
    r.DrawTextRect(s, "", Rect{0, 0, 200, 100}, font, 0x00FFFFFF);
    r.TextOut(s, "", 10, 10, font, 0x00FFFFFF);
    EXPECT_EQ(0, Inked(s).Width()) << "an empty text draws nothing";

    // A rectangle reaching past the surface, and a point far outside.
    r.DrawTextRect(s, G("很长的一行文字很长的一行文字"), Rect{-300, -5, 50, 10}, font, 0x00FFFFFF);
    r.TextOut(s, "far away", 1 << 30, -(1 << 30), font, 0x00FFFFFF);
    r.TextOut(s, std::string(300, 'x'), 190, 95, font, 0x00FFFFFF);
    EXPECT_TRUE(Within(Inked(s), Rect{0, 0, 200, 100}));
}

} // namespace

TEST(PaintText, BoxGlyphsKeepToTheirBox)
{
    plat::BoxTextRenderer r;
    CheckRenderer(r);
    // Lines are `height` apart and start at the rectangle's left edge.
    Surface s(200, 100);
    plat::FontSpec font;
    font.height = 20;
    r.DrawTextRect(s, "A\r\nB", Rect{10, 10, 200, 100}, font, 0x00FFFFFF);
    const Rect ink = Inked(s);
    EXPECT_EQ(11, ink.left);
    EXPECT_EQ(12, ink.top);
    EXPECT_EQ(10 + 20 + 16 - 2, ink.bottom);
}

TEST(PaintText, TrueTypeKeepsToItsBox)
{
    plat::TtfTextRenderer r;
    if (r.FontFile().empty())
        GTEST_SKIP() << "no CJK font installed";
    CheckRenderer(r);
    // Colour by truncation to RGB565, exactly; no smoothing.
    Surface s(100, 40);
    plat::FontSpec font;
    font.height = 16;
    r.TextOut(s, G("汉字"), 0, 0, font, 0x000000FF); // COLORREF red
    for (uint16_t p : s.px)
        EXPECT_TRUE(p == 0 || p == 0xF800);
    EXPECT_GT(Inked(s).Width(), 20);
    // The underline of "&A" sits under the A, not under the B before it.
    Surface u(100, 40);
    r.DrawTextRect(u, "B&A", Rect{0, 0, 100, 40}, font, 0x00FFFFFF);
    Surface plain(100, 40);
    r.DrawTextRect(plain, "BA", Rect{0, 0, 100, 40}, font, 0x00FFFFFF);
    int extra = 0, extraLeft = 100;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 100; ++x)
            if (u.Row(y)[x] != plain.Row(y)[x]) {
                ++extra;
                extraLeft = std::min(extraLeft, x);
            }
    EXPECT_GT(extra, 3);
    EXPECT_GT(extraLeft, 5);
}

// The font is read once: texts, sizes and styles drawn after the file went
// away look exactly as with the file in place.
TEST(PaintText, TrueTypeKeepsItsFontForTheRun)
{
    plat::TtfTextRenderer reference;
    if (reference.FontFile().empty())
        GTEST_SKIP() << "no CJK font installed";
    const auto dir = tevtest::TempDir("ttf_kept");
    const std::string copy = (dir / "font.ttc").string();
    std::filesystem::copy_file(reference.FontFile(), copy, std::filesystem::copy_options::overwrite_existing);
    const char* const files[] = {copy.c_str(), nullptr};
    plat::TtfTextRenderer kept(files);
    plat::FontSpec font;
    Surface first(100, 40);
    kept.TextOut(first, G("汉"), 0, 0, font, 0x00FFFFFF);
    ASSERT_GT(Inked(first).Width(), 0);
    // Emptied in place, as an update of the font package might leave it.
    std::fclose(std::fopen(copy.c_str(), "wb"));
    for (int height : {16, -24}) {
        font.height = height;
        font.weight = height < 0 ? 700 : 400;
        Surface got(200, 60), want(200, 60);
        kept.DrawTextRect(got, G("汉字测试&Ab"), Rect{0, 0, 200, 60}, font, 0x00FFFFFF);
        reference.DrawTextRect(want, G("汉字测试&Ab"), Rect{0, 0, 200, 60}, font, 0x00FFFFFF);
        EXPECT_GT(Inked(want).Width(), 40) << height;
        EXPECT_EQ(want.px, got.px) << height;
    }
}

class ShowText : public ::testing::Test {
protected:
    void SetUp() override
    {
        tevtest::InstallHeadless();
        g_Graph.back = plat::MakeSurface(640, 480).release();
    }
};

TEST_F(ShowText, CentredByBytesAndShownAtOnce)
{
    g_Graph.ShowTextAtOnce(G("正在载入资源图...").c_str()); // 17 bytes
    auto& d = tevtest::Headless().headlessDisplay();
    ASSERT_EQ(1, d.PresentCount());
    const Rect ink = Inked(d.LastFrame());
    EXPECT_TRUE(Within(ink, Rect{320 - 85, 183, 320 + 85, 203}));
    EXPECT_EQ(320 - 85 + 1, ink.left);
    // The back surface is black again for the next frame.
    EXPECT_EQ(0, Inked(*g_Graph.back).Width());
}

TEST_F(ShowText, LongTextIsCutAtTheLeftEdge)
{
    // 100 bytes: the rectangle starts at -180.
    g_Graph.ShowTextAtOnce(std::string(100, 'A').c_str());
    const Rect ink = Inked(tevtest::Headless().headlessDisplay().LastFrame());
    EXPECT_EQ(0, ink.left);
    EXPECT_LE(ink.right, 640);
}

TEST_F(ShowText, NoSurfaceIsReported)
{
    EXPECT_LT(g_Graph.PaintText(nullptr, "x", 0, 0, 0), 0);
    EXPECT_LT(g_Graph.PaintText(nullptr, "x", Rect{0, 0, 10, 10}, "", 12, 0, 0, 0), 0);
    const auto& boxes = tevtest::Headless().recordingDialogs().boxes;
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ("PaintText取得后缓冲区DC失败！", boxes[0].textUtf8);
}
