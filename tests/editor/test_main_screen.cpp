// The main window as the screen of a real X server shows it (CTest runs this
// under Xvfb with Qt's xcb platform): painting on the map leaves the
// information panel whole and on top of it.
#include "demo_fixture.h"

#include <QFrame>
#include <QGuiApplication>
#include <QScreen>

using namespace tstest;
using namespace tilesmith;

namespace {

class MainScreen : public DemoEditorTest {
protected:
    // How many pixels of the panel differ between the screen and the
    // panel's own drawing.
    int panelDamage()
    {
        QTest::qWait(300);
        QFrame* panel = main().InfoFrame;
        const QImage own = panel->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QImage shown = GrabScreen(panel, panel->rect()).convertToFormat(QImage::Format_RGB32);
        if (own.size() != shown.size())
            return own.width() * own.height();
        int diff = 0;
        for (int y = 0; y < own.height(); ++y)
            for (int x = 0; x < own.width(); ++x)
                diff += own.pixel(x, y) != shown.pixel(x, y);
        return diff;
    }
};

} // namespace

TEST_F(MainScreen, PaintingLeavesThePanelWholeAndOnTop)
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        GTEST_SKIP() << "runs as editor.tool_screenshots under Xvfb";
    startOnDemo();
    ShootWindow(&main());
    // At the window's first size the panel lies over the map's right edge.
    QFrame* panel = main().InfoFrame;
    ASSERT_TRUE(panel->isVisible());
    const QPoint inMap = main().Picture1->mapFrom(main().centralWidget(), panel->pos());
    ASSERT_LT(inMap.x(), main().Picture1->width());
    EXPECT_EQ(panelDamage(), 0);
    // Paint cells under the panel and beside it, by clicks and by a drag
    // that carries the cursor box in under the panel.
    const int y = (inMap.y() + 40) / 32 * 32;
    for (int x = (inMap.x() - 64) / 32 * 32; x < main().Picture1->width(); x += 32)
        clickMapAt(x, y);
    main().MainPic->move((inMap.x() - 64) / 32 * 32, y + 32);
    Drag(main().MainPic, QPoint(4, 4), QPoint(100, 4));
    EXPECT_EQ(panelDamage(), 0);
    // Moved to the other side, it stays whole too.
    main().InfoFrame_MouseMove();
    clickMapAt(32, y);
    EXPECT_EQ(panelDamage(), 0);
}
