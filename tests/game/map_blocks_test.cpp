// The layers drawn block by block and the sprites staged on small work
// surfaces give the same pixels as layers drawn whole on map-sized surfaces
// and sprites staged on map-sized work surfaces: tiles anywhere (off the
// grid, overlapping, beyond their sheet, off the map), windows and actors
// anywhere, with more blocks than the pool keeps.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/globals.h"
#include "astar_cases.h"
#include "test_support.h"
#include "world_fixtures.h"

using namespace tevtest;

namespace {

constexpr uint16_t kKey = 0x001F;

// A 64x64 sheet, picture 1: an opaque quarter, a wholly transparent one, a
// mixed one and a second opaque one.
void AddSheet()
{
    PICRESOURCESTRUCT sheet;
    sheet.surface = g_Graph.CreatePlain(64, 64);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            uint16_t v = static_cast<uint16_t>(0x8000 + y * 64 + x);
            if (x >= 32 && y < 32)
                v = kKey;
            if (x < 32 && y >= 32 && (x / 4 + y / 4) % 2)
                v = kKey;
            sheet.surface->Row(y)[x] = v;
        }
    g_Graph.SetKeyColour(sheet.surface);
    sheet.name = 1;
    sheet.width = sheet.height = 64;
    g_Graph.pictures.push_back(sheet);
}

void FillNoise(Surface* s, astarcases::Lcg& r)
{
    for (uint16_t& p : s->px)
        p = static_cast<uint16_t>(r.Next() | 0x0400);
}

} // namespace

TEST(MapBlocks, LayersPaintAsTheWholeLayerKeyedCopyDid)
{
    auto root = FreshGameFolder();
    AddSheet();
    // The sheet the map's tiles name (the first picture 1).
    Surface* sheet = g_Graph.getpicre(1).surface;
    // 100 x 90 tiles: layer 0 alone has more blocks than the pool keeps.
    const int tw = 100, th = 90, w = tw * 32, h = th * 32;
    astarcases::Lcg r{7};
    std::vector<std::string> upper(static_cast<size_t>(tw * th * 7));
    for (int layer = 1; layer <= 3; ++layer)
        for (int i = 0; i < tw * th; ++i) {
            if (layer == 3 && r.Below(20) != 0)
                continue; // sparse
            // Anywhere, off the grid and off the map too; some sources beyond the sheet.
            const int sx = r.Below(5) * 16 - 8, sy = r.Below(5) * 16 - 8;
            const int x = r.Below(w + 80) - 40, y = r.Below(h + 80) - 40;
            upper[static_cast<size_t>(layer * tw * th + i)] = std::to_string(sx) + "," + std::to_string(sy) + "," +
                                                             std::to_string(x) + "," + std::to_string(y) + ",1";
        }
    WriteMap(root, "m",
             MapText(tw, th, std::to_string(tw) + "," + std::to_string(th) + ",0,0,0",
                     [&](int i) {
                         const int c = i % tw, row = i / tw;
                         const int src = (c + row) % 3 == 0 ? 32 : 0; // the mixed or an opaque quarter
                         return "0," + std::to_string(src) + "," +
                                std::to_string(c * 32) + "," + std::to_string(row * 32) + ",0,1,N";
                     },
                     [&](int layer, int i) { return upper[static_cast<size_t>(layer * tw * th + i)]; }));
    ASSERT_EQ(g_Map.ChangeMap("m"), 1);

    // The layers drawn whole, cell by cell, onto map-sized surfaces of the key.
    std::vector<Surface> whole;
    for (int layer = 0; layer <= 4; ++layer) {
        Surface s(w, h);
        s.hasKey = true;
        s.key = kKey;
        plat::Fill(&s, kKey);
        for (const TILESTRUCT& t : g_Map.layers[static_cast<size_t>(layer)])
            if (t.picture != -1)
                g_Graph.Paint(&s, sheet, Rect{t.srcX, t.srcY, t.srcX + 32, t.srcY + 32},
                              static_cast<float>(t.x), static_cast<float>(t.y), 0, -1, 0);
        whole.push_back(std::move(s));
    }

    // Whether a window lies on the map and is wholly opaque on the layer.
    auto opaque = [&](int layer, const Rect& window) {
        bool on = window.left >= 0 && window.top >= 0 && window.right <= w && window.bottom <= h &&
                  window.left < window.right && window.top < window.bottom;
        for (int yy = window.top; on && yy < window.bottom; ++yy)
            for (int xx = window.left; on && xx < window.right; ++xx)
                on = whole[static_cast<size_t>(layer)].Row(yy)[xx] != kKey;
        return on;
    };
    auto check = [&](int layer, const Rect& window, float x, float y) {
        Surface ours(640, 480);
        FillNoise(&ours, r);
        Surface theirs = ours;
        const int got = g_Map.PaintLayer(&ours, layer, window, x, y);
        const int want = g_Graph.Paint(&theirs, &whole[static_cast<size_t>(layer)], window, x, y, 1, -1, 0);
        EXPECT_EQ(got, want);
        const auto differ = std::mismatch(ours.px.begin(), ours.px.end(), theirs.px.begin()).first - ours.px.begin();
        EXPECT_TRUE(ours.px == theirs.px) << "first difference at " << differ % 640 << "," << differ / 640 << ", layer " << layer << " window " << window.left << "," << window.top
                                          << " " << window.Width() << "x" << window.Height() << " at " << x << ","
                                          << y;
        EXPECT_EQ(g_Map.LayerCovers(layer, window), opaque(layer, window));
    };
    // The whole map, view by view, twice: blocks leave the pool and come back.
    for (int pass = 0; pass < 2; ++pass)
        for (int top = -100; top < h; top += 300)
            for (int left = -50; left < w; left += 580)
                check(0, Rect{left, top, left + 593, top + 321}, 23, 23);
    for (int i = 0; i < 150; ++i) {
        const int left = r.Below(w + 400) - 200, top = r.Below(h + 400) - 200;
        const int ww = i % 2 ? 593 : 1 + r.Below(700), hh = i % 2 ? 321 : 1 + r.Below(500);
        const float x = static_cast<float>(r.Below(800) - 100) + (i % 3 ? 0.0f : 0.5f);
        const float y = static_cast<float>(r.Below(600) - 100) - (i % 5 ? 0.0f : 0.25f);
        check(i % 5, Rect{left, top, left + ww, top + hh}, x, y);
    }
    // Single tiles and parts of them, on the grid and off it.
    for (const Rect& t : {Rect{32, 0, 64, 32}, Rect{0, 0, 32, 32}, Rect{40, 8, 50, 30}, Rect{-1, 0, 31, 32},
                          Rect{w - 32, h - 32, w, h}, Rect{w - 31, 0, w + 1, 32}})
        for (int layer : {0, 2, 4})
            EXPECT_EQ(g_Map.LayerCovers(layer, t), opaque(layer, t)) << layer << ": " << t.left << "," << t.top;
}

TEST(MapBlocks, SpritesStagedAsOnAMapSizedWorkSurface)
{
    auto root = FreshGameFolder();
    AddSheet();
    WriteMap(root, "m", MapText(20, 15, "20,15,0,0,0"));
    ASSERT_EQ(g_Map.ChangeMap("m"), 1);
    const int w = 640, h = 480;
    astarcases::Lcg r{11};
    for (int i = 0; i < 400; ++i) {
        // A sprite cell, sometimes reaching beyond the sheet, anywhere on or
        // off the map, at whole and fractional positions.
        const int cw = 8 + r.Below(40), ch = 8 + r.Below(40);
        const int sx = r.Below(64) - 8, sy = r.Below(64) - 8;
        const Rect src{sx, sy, sx + cw, sy + ch};
        const float x = static_cast<float>(r.Below(w + 120) - 60) + (i % 4 == 0 ? 0.75f : 0.0f);
        const float y = static_cast<float>(r.Below(h + 120) - 60) + (i % 3 == 0 ? 0.5f : 0.0f);
        const Rect onMap{TruncToInt(x), TruncToInt(y), TruncToInt(x + static_cast<float>(cw)),
                         TruncToInt(y + static_cast<float>(ch))};
        const float camX = static_cast<float>(r.Below(200)), camY = static_cast<float>(r.Below(200));
        const int32_t alpha = i % 3 == 0 ? -1 : i % 3 == 1 ? 16 : 22;
        const int32_t stipple = i % 2;
        const Rect clip{23, 23, 616, 344};
        const Rect* useClip = i % 5 == 0 ? &clip : nullptr;

        Surface theirs(640, 480);
        FillNoise(&theirs, r);
        Surface ours = theirs;
        // The map-sized way.
        Surface work(w, h);
        g_Graph.SetKeyColour(&work);
        plat::Fill(&work, kKey);
        g_Graph.PaintPic(&work, 1, src, x, y, 0, -1, 0);
        g_Graph.ReplaceColour(&work, onMap, -1, 0x07E0, 1, 1);
        const int want = g_Graph.Paint(&theirs, &work, onMap, x - camX + 23, y - camY + 23, 1, alpha, stipple, useClip);
        // Staged on a work surface of the sprite's size.
        const SpriteStage st = StageSprite(g_Graph.pNpc1, onMap);
        g_Graph.PaintPic(st.surface, 1, src, st.X(x), st.Y(y), 0, -1, 0);
        g_Graph.ReplaceColour(st.surface, st.Local(onMap), -1, 0x07E0, 1, 1);
        const int got =
            g_Graph.Paint(&ours, st.surface, st.Local(onMap), x - camX + 23, y - camY + 23, 1, alpha, stipple, useClip);
        EXPECT_EQ(got, want);
        ASSERT_TRUE(ours.px == theirs.px) << "sprite " << i << " at " << x << "," << y << " cell " << sx << "," << sy
                                         << " " << cw << "x" << ch;
        EXPECT_LE(g_Graph.pNpc1->px.size(), static_cast<size_t>(cw * ch));
    }
    // Without a map there is no work surface, and painting says so.
    g_Map.ReleaseSurfaces();
    EXPECT_EQ(StageSprite(g_Graph.pNpc1, Rect{0, 0, 8, 8}).surface, nullptr);
}
