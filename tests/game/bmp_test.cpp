// Reading BMP pictures: the colour conversion and every kind of bad file.
#include <gtest/gtest.h>

#include <cstring>

#include "app/globals.h"
#include "platform/bmp.h"
#include "test_support.h"

namespace {

using Bytes = std::vector<uint8_t>;

void Put16(Bytes& b, size_t at, uint16_t v)
{
    b[at] = static_cast<uint8_t>(v);
    b[at + 1] = static_cast<uint8_t>(v >> 8);
}
void Put32(Bytes& b, size_t at, uint32_t v)
{
    Put16(b, at, static_cast<uint16_t>(v));
    Put16(b, at + 2, static_cast<uint16_t>(v >> 16));
}

struct Rgb {
    uint8_t r, g, b;
};

// A w x h BMP of the given pixels (row by row from the top): 24-bit, or
// 8-bit with the pixels' colours as its palette; bottom-up unless topDown.
Bytes MakeBmp(int w, int h, const std::vector<Rgb>& px, int bpp = 24, bool topDown = false)
{
    const int paletteSize = bpp == 8 ? static_cast<int>(px.size()) : 0;
    const int stride = ((w * bpp + 31) / 32) * 4;
    const size_t offset = 14 + 40 + static_cast<size_t>(paletteSize) * 4;
    Bytes b(offset + static_cast<size_t>(stride) * h, 0);
    b[0] = 'B';
    b[1] = 'M';
    Put32(b, 2, static_cast<uint32_t>(b.size()));
    Put32(b, 10, static_cast<uint32_t>(offset));
    Put32(b, 14, 40);
    Put32(b, 18, static_cast<uint32_t>(w));
    Put32(b, 22, static_cast<uint32_t>(topDown ? -h : h));
    Put16(b, 26, 1);
    Put16(b, 28, static_cast<uint16_t>(bpp));
    Put32(b, 46, static_cast<uint32_t>(paletteSize));
    for (int i = 0; i < paletteSize; ++i) {
        b[54 + i * 4] = px[i].b;
        b[54 + i * 4 + 1] = px[i].g;
        b[54 + i * 4 + 2] = px[i].r;
    }
    for (int y = 0; y < h; ++y) {
        const int fileRow = topDown ? y : h - 1 - y;
        uint8_t* row = b.data() + offset + static_cast<size_t>(fileRow) * stride;
        for (int x = 0; x < w; ++x) {
            const int i = y * w + x;
            if (bpp == 8) {
                row[x] = static_cast<uint8_t>(i);
            } else {
                row[x * 3] = px[i].b;
                row[x * 3 + 1] = px[i].g;
                row[x * 3 + 2] = px[i].r;
            }
        }
    }
    return b;
}

const std::vector<Rgb> kColours = {{0, 0, 255}, {7, 3, 250}, {255, 255, 255}, {8, 4, 0}};
// Truncated per channel: near-blue is blue, so it is transparent as well.
const std::vector<uint16_t> kExpected = {0x001F, 0x001F, 0xFFFF, 0x0820};

} // namespace

TEST(LoadBmp, ChannelsAreTruncatedWhateverTheLayout)
{
    struct Case {
        const char* what;
        Bytes bytes;
    };
    const Case cases[] = {
        {"24-bit bottom-up", MakeBmp(2, 2, kColours)},
        {"24-bit top-down", MakeBmp(2, 2, kColours, 24, true)},
        {"8-bit palette", MakeBmp(2, 2, kColours, 8)},
        {"8-bit palette top-down", MakeBmp(2, 2, kColours, 8, true)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        plat::BmpResult r = plat::DecodeBmp565(c.bytes);
        ASSERT_EQ(plat::BmpError::None, r.error) << r.detail;
        ASSERT_NE(nullptr, r.surface);
        ASSERT_EQ(2, r.surface->w);
        ASSERT_EQ(2, r.surface->h);
        EXPECT_EQ(kExpected, r.surface->px);
    }
}

TEST(LoadBmp, BadFilesAreRefusedBeforeDecoding)
{
    const Bytes good = MakeBmp(4, 4, std::vector<Rgb>(16, Rgb{1, 2, 3}));
    auto with = [&](auto change) {
        Bytes b = good;
        change(b);
        return b;
    };
    struct Case {
        const char* what;
        Bytes bytes;
        plat::BmpError want;
    };
    const Case cases[] = {
        {"empty file", {}, plat::BmpError::NotBmp},
        {"not a BMP", with([](Bytes& b) { b[0] = 'P'; }), plat::BmpError::NotBmp},
        {"cut inside the header", Bytes(good.begin(), good.begin() + 30), plat::BmpError::Truncated},
        {"cut inside the pixels", Bytes(good.begin(), good.end() - 1), plat::BmpError::Truncated},
        {"zero width", with([](Bytes& b) { Put32(b, 18, 0); }), plat::BmpError::BadSize},
        {"negative width", with([](Bytes& b) { Put32(b, 18, static_cast<uint32_t>(-4)); }), plat::BmpError::BadSize},
        {"zero height", with([](Bytes& b) { Put32(b, 22, 0); }), plat::BmpError::BadSize},
        {"most negative height", with([](Bytes& b) { Put32(b, 22, 0x80000000u); }), plat::BmpError::TooLarge},
        {"60000 x 60000 in a small file",
         with([](Bytes& b) {
             Put32(b, 18, 60000);
             Put32(b, 22, 60000);
         }),
         plat::BmpError::TooLarge},
        {"wide but thin beyond the cap", with([](Bytes& b) { Put32(b, 18, 20000); }), plat::BmpError::TooLarge},
        {"7 bits a pixel", with([](Bytes& b) { Put16(b, 28, 7); }), plat::BmpError::Unsupported},
        {"JPEG inside", with([](Bytes& b) { Put32(b, 30, 4); }), plat::BmpError::Unsupported},
        {"unknown header size", with([](Bytes& b) { Put32(b, 14, 20); }), plat::BmpError::Unsupported},
        {"pixels start past the end", with([](Bytes& b) { Put32(b, 10, 100000); }), plat::BmpError::Truncated},
        {"pixels start inside the header", with([](Bytes& b) { Put32(b, 10, 20); }), plat::BmpError::Truncated},
        {"run-length data far too small for its size",
         with([](Bytes& b) {
             Put16(b, 28, 8);
             Put32(b, 30, 1);
             Put32(b, 18, 4000);
             Put32(b, 22, 4000);
         }),
         plat::BmpError::TooLarge},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        plat::BmpResult r = plat::DecodeBmp565(c.bytes);
        EXPECT_EQ(c.want, r.error) << r.detail;
        EXPECT_EQ(nullptr, r.surface);
        EXPECT_FALSE(r.detail.empty());
    }
}

// A truncated picture file: the foundation's two boxes, and no surface.
TEST(LoadBmp, TruncatedPictureFileGivesItsTwoBoxes)
{
    const auto root = tevtest::TempDir("game");
    Bytes b = MakeBmp(4, 4, std::vector<Rgb>(16, Rgb{1, 2, 3}));
    b.resize(b.size() - 10);
    tevtest::WriteFile(root / "Resource" / "bmp" / "cut.bmp", std::string(b.begin(), b.end()));
    plat::headless::Options o;
    o.root = root;
    auto& p = tevtest::InstallHeadless(o);
    EXPECT_EQ(nullptr, g_Graph.CreatePicture("Resource\\bmp\\cut.bmp"));
    const auto& boxes = p.recordingDialogs().boxes;
    ASSERT_EQ(2u, boxes.size());
    EXPECT_EQ("建立幕后区CreatePicture失败!", boxes[0].textUtf8);
    EXPECT_EQ("Resource\\bmp\\cut.bmp（文件不完整，比图片所需的短）", boxes[1].textUtf8);
}
