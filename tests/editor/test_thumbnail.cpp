// The whole-map thumbnail: its size on the screen, the game-screen frames,
// what it shows, and closing it.
#include "editor_fixture.h"

#include "shell/size_form.h"
#include "shell/thumbnail_form.h"

#include <QLineEdit>
#include <QPushButton>

using namespace tstest;
using namespace tilesmith;

namespace {

// Every cell's ground tile differs from its neighbours'.
MapDocument TiledMap(int w, int h)
{
    MapDocument d = EmptyMap(w, h);
    for (int i = 0; i < w * h; ++i) {
        TileRec& g = d.layers[0][i];
        g.sheet = int16_t(i % 3);
        g.srcX = int16_t((i % 8) * 32);
        g.srcY = int16_t(((i / 8) % 8) * 32);
        g.mapX = int16_t((i % w) * 32);
        g.mapY = int16_t((i / w) * 32);
    }
    return d;
}

class Thumbnail : public EditorTest {
protected:
    WholeMapPic& open()
    {
        main().MenuItem("Menu_WholeMap")->trigger();
        EXPECT_TRUE(main().WholeMapPicForm.loaded());
        return main().WholeMapPicForm.get();
    }
    bool closedSoon()
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return !main().WholeMapPicForm.loaded();
    }
};

} // namespace

TEST_F(Thumbnail, FitsTheScreenAndFramesOneGameScreen)
{
    start(); // the screen is 1024×768
    struct Case {
        int w, h;
        QSize zoom;
        QSizeF frame;
    } cases[] = {
        {100, 50, {1024, 512}, {204.8, 153.6}},
        {20, 15, {1024, 768}, {1024, 768}},
        {30, 30, {768, 768}, {512, 384}},     // square: the height fills the screen
        {10, 40, {192, 768}, {384, 288}},     // tall
        {40, 31, {991, 768}, {495.484, 371.613}}, // wider in tiles, but the height limits it
        {40, 35, {878, 768}, {438.857, 329.143}}, // the same: the longer side would run off the screen
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.w << "x" << c.h);
        openMap(writeMap("m.jmap", TiledMap(c.w, c.h)));
        WholeMapPic& t = open();
        EXPECT_EQ(t.windowTitle(), "Form1");
        EXPECT_EQ(t.ZoomPicture->size(), c.zoom);
        EXPECT_EQ(t.ZoomPicture->pos(), QPoint(0, 0));
        EXPECT_EQ(t.size(), c.zoom);
        EXPECT_NEAR(t.ZoomPicture->Image1.width(), c.frame.width(), 1e-3);
        EXPECT_NEAR(t.ZoomPicture->Image1.height(), c.frame.height(), 1e-3);
        EXPECT_EQ(t.ZoomPicture->Image1.topLeft(), QPointF(0, 0));
        EXPECT_EQ(t.ZoomPicture->Image2, t.ZoomPicture->Image1);
        QTest::mouseClick(t.ZoomPicture, Qt::LeftButton);
        EXPECT_TRUE(closedSoon());
    }
}

TEST_F(Thumbnail, ShowsTheCompositeAndComparesTypedSizesAsNumbers)
{
    start();
    main().Menu_NewMap_Click();
    Size& size = main().SizeForm.get();
    size.Text1->setText("100");
    size.Text2->setText("50");
    QTest::mouseClick(size.Command1, Qt::LeftButton);
    ASSERT_EQ(M().MapWidth.print(), "100");
    WholeMapPic& t = open();
    EXPECT_EQ(t.ZoomPicture->size(), QSize(1024, 512));
    EXPECT_NEAR(t.ZoomPicture->Image1.width(), 204.8, 1e-6);
    EXPECT_NEAR(t.ZoomPicture->Image1.height(), 153.6, 1e-6);
    QTest::mouseClick(&t, Qt::LeftButton, {}, QPoint(5, 600));
    EXPECT_TRUE(closedSoon());

    // A thumbnail pixel shows the composite's colour at the scaled place.
    openMap(writeMap("m.jmap", TiledMap(100, 50)));
    const fr::PicImage& composite = main().Picture1->pic();
    WholeMapPic& again = open();
    for (QPoint cell : {QPoint(10, 5), QPoint(0, 0), QPoint(99, 49), QPoint(57, 23)}) {
        const QPoint mid(cell.x() * 32 + 16, cell.y() * 32 + 16);
        const QPoint probe(int(mid.x() * 0.32), int(mid.y() * 0.32));
        EXPECT_EQ(again.ZoomPicture->image.pixel(probe), composite.pixel(mid.x(), mid.y())) << cell.x() << "," << cell.y();
    }
    EXPECT_EQ(main().WholeMapPicForm.loads(), 2); // every opening builds it anew
}

TEST_F(Thumbnail, SClosesItOtherKeysDoNot)
{
    start();
    openMap(writeMap("m.jmap", TiledMap(20, 15)));
    WholeMapPic& t = open();
    t.show();
    EXPECT_EQ(t.ZoomPicture->focusPolicy(), Qt::StrongFocus);
    QTest::keyClick(t.ZoomPicture, Qt::Key_A);
    EXPECT_FALSE(closedSoon());
    QTest::keyClick(t.ZoomPicture, Qt::Key_S, Qt::ShiftModifier);
    EXPECT_TRUE(closedSoon());
    // The map and Main are as they were.
    EXPECT_EQ(M().TileCount, 300);
    EXPECT_EQ(main().MapSaved, 0);
}

TEST_F(Thumbnail, NoMapShowsNothingAndDoesNotFail)
{
    start();
    main().Menu_WholeMap_Click();
    ASSERT_TRUE(main().WholeMapPicForm.loaded());
    EXPECT_TRUE(main().WholeMapPicForm.get().ZoomPicture->size().isEmpty());
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_EQ(WholeMapPic::ZoomSize(0, 15, 1024, 768), QSize());
}

// Opened from Main's menu: by the time the window has its size and has been
// shown, the map has been scaled once for that opening, whatever the map's
// shape, and a later opening scales it once again.
TEST_F(Thumbnail, EachOpeningScalesTheMapOnce)
{
    start();
    main().show();
    const QSize maps[] = {{100, 50}, {10, 40}, {20, 15}};
    for (QSize map : maps) {
        SCOPED_TRACE(testing::Message() << map.width() << "x" << map.height());
        openMap(writeMap("m.jmap", TiledMap(map.width(), map.height())));
        for (int opening = 0; opening < 2; ++opening) {
            WholeMapPic& t = open();
            QTest::qWait(20);
            ASSERT_TRUE(t.isVisible());
            EXPECT_EQ(t.size(), t.ZoomPicture->size());
            EXPECT_FALSE(t.ZoomPicture->image.isNull());
            EXPECT_EQ(t.Builds(), 1);
            QTest::mouseClick(t.ZoomPicture, Qt::LeftButton);
            EXPECT_TRUE(closedSoon());
        }
    }
}
