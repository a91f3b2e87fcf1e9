// Screenshots of the tool windows with the demo's data in them, taken from
// the screen of a real X server (CTest runs this under Xvfb with Qt's xcb
// platform and names the folder in TEV_SHOT_DIR). Each window is reached the
// way a map maker reaches it.
#include "demo_fixture.h"

#include "tools/attrib_dialog.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QLineEdit>
#include <QScreen>
#include <QTabBar>
#include <QWindow>

using namespace tstest;
using namespace tilesmith;

namespace {

class ToolScreenshots : public DemoEditorTest {
protected:
    // The window as the screen shows it.
    QImage shoot(QWidget* w) { return ShootWindow(w); }
    static int colours(const QImage& img)
    {
        QSet<QRgb> seen;
        for (int y = 0; y < img.height(); y += 2)
            for (int x = 0; x < img.width(); x += 2)
                seen.insert(img.pixel(x, y));
        return int(seen.size());
    }
};

} // namespace

TEST_F(ToolScreenshots, ScriptEditorAndEventTable)
{
    const QString dir = qEnvironmentVariable("TEV_SHOT_DIR");
    if (dir.isEmpty() || QGuiApplication::platformName() != QLatin1String("xcb"))
        GTEST_SKIP() << "runs as editor.tool_screenshots under Xvfb";
    QDir().mkpath(dir);
    startOnDemo();
    struct Shot {
        const char* file;
        std::function<QWidget*()> reach;
    };
    const Shot shots[] = {
        {"script-editor.png",
         [&] {
             press(Qt::Key_Space);
             se().resize(960, 640);
             ClickRow(se().FileTable, "gameinit.jsr");
             return &se();
         }},
        {"event-table.png",
         [&] {
             QTest::mouseClick(se().TabStrip, Qt::LeftButton, {}, se().TabStrip->tabRect(1).center());
             ClickRow(se().EventTable, "door1");
             return &se();
         }},
        {"script-editor-maps.png",
         [&] {
             QTest::mouseClick(se().TabStrip, Qt::LeftButton, {}, se().TabStrip->tabRect(2).center());
             return &se();
         }},
    };
    for (const Shot& s : shots) {
        QWidget* w = s.reach();
        ASSERT_TRUE(w->isVisible()) << s.file;
        const QImage img = shoot(w);
        ASSERT_FALSE(img.isNull()) << s.file;
        EXPECT_GT(colours(img), 8) << s.file;
        EXPECT_TRUE(img.save(dir + "/" + s.file)) << s.file;
    }
    // The demo's data is what the pictures show.
    EXPECT_EQ(se().EventTableFrame->title(), QStringLiteral("事件:2条"));
    EXPECT_EQ(se().Label2->text(), QStringLiteral("door1() 参数:无  演示地图(demo)上的门"));
    EXPECT_TRUE(se().Text1->toPlainText().contains(QStringLiteral("AddRole(,0,勇者")));
}

TEST_F(ToolScreenshots, PlacementRoleAndAttributeEditors)
{
    const QString dir = qEnvironmentVariable("TEV_SHOT_DIR");
    if (dir.isEmpty() || QGuiApplication::platformName() != QLatin1String("xcb"))
        GTEST_SKIP() << "runs as editor.tool_screenshots under Xvfb";
    QDir().mkpath(dir);
    startOnDemo();
    ToolFormsImpl& t = session->tools;
    press(Qt::Key_Space);
    struct Shot {
        const char* file;
        std::function<QWidget*()> reach;
    };
    const Shot shots[] = {
        {"npc-editor.png",
         [&] {
             // F1, a kind, the demo's first NPC, a frame and its rectangle.
             seKey(Qt::Key_F1);
             PlacementForm& f = t.ActiveNpc.get();
             // It reads the map's NPCs when it becomes the active window.
             EXPECT_TRUE(QTest::qWaitForWindowActive(&f));
             chooseItem(f.ImageCombo1, 0);
             EXPECT_GT(f.List1->count(), 0) << M().NpcCount << dialogs.messages.join("|").toStdString();
             if (f.List1->count() > 0)
                 ClickRow(f.List1, f.List1->item(0)->text());
             QTest::mouseMove(f.SonPicture, QPoint(40, 10));
             QTest::mousePress(f.SonPicture, Qt::LeftButton, {}, QPoint(40, 10));
             Drag(f.InitPicture, {8, 40}, {8, 6});
             Drag(f.InitPicture, {0, 30}, {0, 30}, Qt::RightButton);
             return &f;
         }},
        {"monster-editor.png",
         [&] {
             t.ActiveNpc.get().Command7->click();
             seKey(Qt::Key_F2);
             PlacementForm& f = t.ActiveMonster.get();
             EXPECT_TRUE(QTest::qWaitForWindowActive(&f));
             chooseItem(f.ImageCombo1, 0);
             EXPECT_GT(f.List1->count(), 0) << M().MonsterCount;
             if (f.List1->count() > 0)
                 ClickRow(f.List1, f.List1->item(0)->text());
             QTest::mouseMove(f.SonPicture, QPoint(70, 70));
             QTest::mouseClick(f.SonPicture, Qt::LeftButton, {}, QPoint(70, 70));
             Drag(f.InitPicture, {12, 60}, {12, 20});
             return &f;
         }},
        {"role-editor.png",
         [&] {
             t.ActiveMonster.get().Command7->click();
             seKey(Qt::Key_F4);
             RoleForm& f = t.AddRole.get();
             QTest::mouseClick(f.Picture1, Qt::LeftButton, {}, QPoint(40, 60));
             return &f;
         }},
        {"attribute-dialog.png",
         [&] {
             RoleForm& f = t.AddRole.get();
             DoubleClickRow(f.ListCaption, QStringLiteral("名字"));
             return &t.AddNewAttributeForm.get();
         }},
    };
    for (const Shot& s : shots) {
        QWidget* w = s.reach();
        ASSERT_TRUE(w->isVisible()) << s.file;
        const QImage img = shoot(w);
        ASSERT_FALSE(img.isNull()) << s.file;
        EXPECT_GT(colours(img), 8) << s.file;
        EXPECT_TRUE(img.save(dir + "/" + s.file)) << s.file;
    }
    // The demo's data is what the pictures show.
    EXPECT_EQ(t.ActiveNpc.get().ListCaption->item(1)->text(), QStringLiteral("名字"));
    EXPECT_EQ(t.AddRole.get().ListData->item(2)->text(), QStringLiteral("1"));
    EXPECT_EQ(t.AddNewAttributeForm.get().windowTitle(), QStringLiteral("修改属性"));
    EXPECT_EQ(t.AddNewAttributeForm.get().AttribVarNameBox->text(), QStringLiteral("name"));
}
