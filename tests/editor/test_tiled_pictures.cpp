// Tiled pictures against whole ones: the same draws, layings, copies, fills
// and size changes show the same pixels, and a picture laid from others
// keeps what it showed when they change afterwards.
#include "platform/blit.h"
#include "platform/picture.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

namespace {

QImage Pattern(int w, int h, int seed)
{
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, (x + y + seed) % 7 == 0 ? fr::keyColour : qRgb((x * 9 + seed) & 0xFF, (y * 5) & 0xFF, 77));
    return img;
}

// One picture held whole and one in tiles, drawn the same way.
struct Pair {
    fr::PicImage whole;
    fr::PicImage tiled;
    Pair(int w, int h)
    {
        tiled.setTiled(true);
        for (fr::PicImage* p : {&whole, &tiled})
            p->resize(w, h);
        EXPECT_TRUE(tiled.isTiled());
        EXPECT_FALSE(whole.isTiled());
    }
    template <class F> void both(F f)
    {
        f(whole);
        f(tiled);
    }
    void same(const char* step) const
    {
        SCOPED_TRACE(step);
        EXPECT_EQ(whole.snapshot(), tiled.snapshot());
        EXPECT_EQ(whole.isBlank(), tiled.isBlank());
        for (QPoint p : {QPoint(0, 0), QPoint(127, 128), QPoint(299, 199), QPoint(130, 60)})
            EXPECT_EQ(whole.pixel(p.x(), p.y()), tiled.pixel(p.x(), p.y()));
    }
};

} // namespace

TEST(TiledPictures, ShowWhatWholePicturesShow)
{
    auto recipe = std::make_shared<fr::PicRecipe>(std::vector<QImage>{Pattern(64, 64, 1), Pattern(32, 32, 3)});
    Pair layer(300, 200), top(300, 200), composite(300, 200);
    layer.both([&](fr::PicImage& p) { p.setRecipe(recipe); });
    top.both([&](fr::PicImage& p) { p.setRecipe(recipe); });
    // Draws across tile edges, partly outside the picture and the source.
    const fr::PicDraw draws[] = {{0, 0, 0, 0, 32, 32, 0, false},      {112, 120, 16, 16, 40, 40, 0, false},
                                 {280, 180, 0, 0, 64, 64, 0, false},  {-10, 150, 0, 0, 32, 32, 1, true},
                                 {120, 100, 50, 50, 32, 32, 0, true}, {200, 10, 60, 0, 32, 32, 0, false}};
    for (const fr::PicDraw& d : draws) {
        bool reached[2];
        int i = 0;
        layer.both([&](fr::PicImage& p) { reached[i++] = p.drawLater(d); });
        EXPECT_EQ(reached[0], reached[1]);
    }
    top.both([&](fr::PicImage& p) { p.drawLater({100, 100, 0, 0, 32, 32, 1, true}); });
    layer.same("drawn");
    composite.both([&](fr::PicImage& p) {
        const bool whole = &p == &composite.whole;
        p.composeOf({whole ? &layer.whole : &layer.tiled, whole ? &top.whole : &top.tiled});
    });
    composite.same("laid");

    // Drawing into a layer afterwards leaves the composite as it was.
    fr::PicImage brush;
    brush.setPicture(Pattern(48, 40, 5));
    layer.both([&](fr::PicImage& p) { fr::bitBlt(p, 110, 110, 48, 40, brush, 0, 0); });
    layer.same("painted");
    composite.same("kept");
    // Laying the changed rectangle again shows it.
    composite.both([&](fr::PicImage& p) {
        const bool whole = &p == &composite.whole;
        fr::fillKey(p, QRect(110, 110, 48, 40));
        fr::transparentBlt(p, 110, 110, 48, 40, whole ? layer.whole : layer.tiled, 110, 110);
    });
    composite.same("relaid");
    if (QCoreApplication::instance())
        fr::PicImage::settleAll();
    composite.tiled.settle();
    layer.tiled.settle();
    composite.same("settled");
    layer.same("settled");

    // Copies out of a tiled picture, fills, and size changes.
    QImage out[2] = {Pattern(80, 80, 9), Pattern(80, 80, 9)};
    composite.whole.copyTo(out[0], 5, 5, 200, 200, 90, 100, true);
    composite.tiled.copyTo(out[1], 5, 5, 200, 200, 90, 100, true);
    EXPECT_EQ(out[0], out[1]);
    layer.both([&](fr::PicImage& p) { p.fill(QRect(0, 0, 256, 128), fr::keyColour); });
    layer.same("filled");
    layer.both([&](fr::PicImage& p) { p.resize(150, 250); });
    layer.same("resized");
    layer.both([&](fr::PicImage& p) { p.cls(); });
    layer.same("cleared");
    EXPECT_TRUE(layer.tiled.isBlank());
}

// A block larger than a tile, laid as draws over tiles that held pixels,
// draws or nothing, cut at the picture's and the source's edges.
TEST(TiledPictures, BlocksLaidAsDrawsShowWhatBlitsShow)
{
    auto recipe = std::make_shared<fr::PicRecipe>(std::vector<QImage>{Pattern(64, 64, 1), Pattern(300, 170, 4)});
    Pair layer(420, 300);
    layer.both([&](fr::PicImage& p) {
        p.setRecipe(recipe);
        p.drawLater({0, 0, 0, 0, 64, 64, 0, false});
        p.drawLater({130, 130, 0, 0, 64, 64, 0, true});
        p.fill(QRect(256, 0, 40, 40), qRgb(1, 2, 3));
    });
    layer.same("before");
    struct Block {
        int x, y, w, h, sx, sy;
        bool transparent;
    } blocks[] = {{0, 0, 256, 256, 0, 0, false},     {100, 60, 300, 170, 0, 0, false},
                  {250, 200, 300, 170, 20, 30, false}, {-40, -30, 200, 150, 10, 0, true},
                  {384, 0, 128, 128, 200, 100, false}};
    for (const Block& b : blocks) {
        const QImage& src = recipe->source(1);
        QImage& whole = layer.whole.image();
        const bool blitted = b.transparent ? fr::transparentBlt(whole, b.x, b.y, b.w, b.h, src, b.sx, b.sy)
                                           : fr::bitBlt(whole, b.x, b.y, b.w, b.h, src, b.sx, b.sy);
        EXPECT_EQ(layer.tiled.drawLater(b.x, b.y, b.w, b.h, 1, b.sx, b.sy, b.transparent), blitted);
        layer.same("laid");
    }
}

namespace {

// A picture of 19×13 cells drawn one by one (as opening a map draws them),
// then covered with copies of a block on a grid from its corner, as the
// layer fill lays them.
struct Filled {
    std::shared_ptr<fr::PicRecipe> recipe =
        std::make_shared<fr::PicRecipe>(std::vector<QImage>{Pattern(64, 64, 1), Pattern(224, 224, 6), Pattern(96, 64, 2)});
    Pair pic{608, 416};
    Filled()
    {
        pic.both([&](fr::PicImage& p) {
            p.setRecipe(recipe);
            for (int y = 0; y < 416; y += 32)
                for (int x = 0; x < 608; x += 32)
                    p.drawLater({int16_t(x), int16_t(y), (x / 32 % 2) * 32, 0, 32, 32, 0, false});
            p.drawLater({40, 40, 0, 0, 32, 32, 0, true});
        });
    }
    void fill(uint8_t src, int bw, int bh)
    {
        for (int y = 0; y <= 416 - 32; y += bh)
            for (int x = 0; x <= 608 - 32; x += bw) {
                pic.tiled.drawLater(x, y, bw, bh, src, 0, 0);
                fr::bitBlt(pic.whole.image(), x, y, bw, bh, recipe->source(src), 0, 0);
            }
    }
    // The draws every tile is made from.
    std::vector<std::vector<fr::PicDraw>> draws() const
    {
        std::vector<std::vector<fr::PicDraw>> all;
        for (int y = 0; y < 416; y += fr::TileSide)
            for (int x = 0; x < 608; x += fr::TileSide)
                all.push_back(pic.tiled.tileDraws(x, y));
        return all;
    }
};

} // namespace

// Filling again and again with a block that does not fall on the tiles
// leaves the tiles with the draws of one fill, and a fill with another block
// leaves nothing of the fills before it: each tile holds what one fill with
// the last block makes.
TEST(TiledPictures, AFillReplacesWhatTheTilesHeld)
{
    struct Case {
        const char* name;
        std::vector<QSize> before; // fills with source 1, in turn
        QSize last;                // then fills with source 2 or 1
        uint8_t lastSrc;
    } cases[] = {
        {"96×96 twenty times", std::vector<QSize>(19, QSize(96, 96)), {96, 96}, 1},
        {"160×64 and 32×224 in turn", {{160, 64}, {32, 224}, {160, 64}, {32, 224}}, {160, 64}, 1},
        {"224×96, then another picture", {{224, 96}, {224, 96}, {224, 96}}, {96, 64}, 2},
        {"128×128 on the tiles", {{128, 128}, {128, 128}}, {128, 128}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Filled once;
        once.fill(c.lastSrc, c.last.width(), c.last.height());
        Filled many;
        for (QSize b : c.before)
            many.fill(1, b.width(), b.height());
        many.fill(c.lastSrc, c.last.width(), c.last.height());
        many.pic.same("filled");
        EXPECT_EQ(many.pic.tiled.snapshot(), once.pic.tiled.snapshot());
        const auto drawn = many.draws();
        const auto wanted = once.draws();
        ASSERT_EQ(drawn.size(), wanted.size());
        for (size_t t = 0; t < drawn.size(); ++t) {
            EXPECT_FALSE(wanted[t].empty()) << "tile " << t;
            EXPECT_TRUE(drawn[t] == wanted[t]) << "tile " << t << ": " << drawn[t].size() << " draws, one fill makes "
                                               << wanted[t].size();
        }
    }
}
