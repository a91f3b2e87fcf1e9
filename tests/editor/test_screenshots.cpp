// Screenshots of the tool windows with the demo's data in them, taken from
// the screen of a real X server (CTest runs this under Xvfb with Qt's xcb
// platform and names the folder in TEV_SHOT_DIR). Each window is reached the
// way a map maker reaches it, one row after the other from Main with the
// demo map open; "index.txt" in the folder says how each picture was
// reached. A new window gets a new row.
#include "demo_fixture.h"

#include "tools/attrib_dialog.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTextStream>

using namespace tstest;
using namespace tilesmith;

namespace {

class ToolScreenshots : public DemoEditorTest {
protected:
    static int colours(const QImage& img)
    {
        QSet<QRgb> seen;
        for (int y = 0; y < img.height(); y += 2)
            for (int x = 0; x < img.width(); x += 2)
                seen.insert(img.pixel(x, y));
        return int(seen.size());
    }
    void clickTab(int i) { QTest::mouseClick(se().TabStrip, Qt::LeftButton, {}, se().TabStrip->tabRect(i).center()); }
    void click(QPushButton* b) { QTest::mouseClick(b, Qt::LeftButton); }
    // The first kind chosen and the instance `name` clicked in a placement
    // editor that has just been opened.
    PlacementForm& showInstance(PlacementForm& f, const QString& name)
    {
        // The editor reads the map's list when it becomes the active window,
        // which a real X server reports a little later.
        EXPECT_TRUE(QTest::qWaitForWindowActive(&f));
        chooseItem(f.ImageCombo1, 0);
        ClickRow(f.List1, name);
        return f;
    }
    // Every instance of the map's list file is listed, the first is the
    // current one and its values are shown.
    void expectShown(PlacementForm& f, const char* listFile, const char* head, int cur, const QString& name)
    {
        EXPECT_EQ(f.List1->count(), ReadBytes(demo(listFile)).count(head)) << listFile;
        EXPECT_EQ(cur, 0) << listFile;
        EXPECT_TRUE(Row(f.ListData, name)) << listFile;
    }
};

} // namespace

TEST_F(ToolScreenshots, EveryToolWindowWithTheDemosData)
{
    const QString dir = qEnvironmentVariable("TEV_SHOT_DIR");
    if (dir.isEmpty() || QGuiApplication::platformName() != QLatin1String("xcb"))
        GTEST_SKIP() << "runs as editor.tool_screenshots under Xvfb";
    QDir().mkpath(dir);
    startOnDemo();
    ToolFormsImpl& t = session->tools;
    struct Shot {
        const char* file;
        const char* how;
        // Reaches the window and returns it.
        std::function<QWidget*()> reach;
        // The demo's data that the window shows.
        std::function<void()> check;
    };
    const Shot shots[] = {
        {"script-editor.png", "Space on Main, a click on gameinit.jsr",
         [&] {
             press(Qt::Key_Space);
             se().resize(960, 640);
             ClickRow(se().FileTable, "gameinit.jsr");
             return &se();
         },
         [&] { EXPECT_TRUE(se().Text1->toPlainText().contains(QStringLiteral("AddRole(,0,勇者"))); }},
        {"event-table.png", "tab 事件列表, a click on door1",
         [&] {
             clickTab(1);
             ClickRow(se().EventTable, "door1");
             return &se();
         },
         [&] {
             EXPECT_EQ(se().EventTableFrame->title(), QStringLiteral("事件:2条"));
             EXPECT_EQ(se().Label2->text(), QStringLiteral("door1() 参数:无  演示地图(demo)上的门"));
         }},
        {"script-editor-maps.png", "tab 地图列表, a click on demo.jmap",
         [&] {
             clickTab(2);
             ClickRow(se().FileTable2, "demo.jmap");
             return &se();
         },
         [&] { EXPECT_EQ(se().Label3->text(), QStringLiteral("已复制:demo到剪切板,双击打开地图")); }},
        {"event-brush.png", "tab 脚本列表, a double click on door1.jsr, a click on the map at (160, 256)",
         [&] {
             clickTab(0);
             DoubleClickRow(se().FileTable, "door1.jsr");
             clickMapAt(160, 256);
             return &main();
         },
         [&] {
             EXPECT_EQ(M().CurEvent, "door1");
             EXPECT_EQ(M().EditLay, 8);
             EXPECT_EQ(M().GroundLayData[8 * 20 + 5].event, "door1");
         }},
        {"npc-editor.png",
         "Space, F1, the first kind, a click on the NPC 阿福, a frame pressed, its rectangle dragged and its "
         "division line set",
         [&] {
             press(Qt::Key_Space);
             seKey(Qt::Key_F1);
             PlacementForm& f = showInstance(t.ActiveNpc.get(), QStringLiteral("阿福"));
             QTest::mouseMove(f.SonPicture, QPoint(40, 10));
             QTest::mousePress(f.SonPicture, Qt::LeftButton, {}, QPoint(40, 10));
             Drag(f.InitPicture, {8, 40}, {8, 6});
             Drag(f.InitPicture, {0, 30}, {0, 30}, Qt::RightButton);
             return &f;
         },
         [&] {
             expectShown(t.ActiveNpc.get(), "Script/demo_npc.jsr", "AddNpc(", M().CurNpc, QStringLiteral("阿福"));
             EXPECT_EQ(t.ActiveNpc.get().ListCaption->item(1)->text(), QStringLiteral("名字"));
         }},
        {"monster-editor.png",
         "the NPC editor's 返回, F2, the first kind, a click on the monster 史莱姆, a frame clicked, its rectangle "
         "dragged",
         [&] {
             click(t.ActiveNpc.get().Command7);
             seKey(Qt::Key_F2);
             PlacementForm& f = showInstance(t.ActiveMonster.get(), QStringLiteral("史莱姆"));
             QTest::mouseMove(f.SonPicture, QPoint(70, 70));
             QTest::mouseClick(f.SonPicture, Qt::LeftButton, {}, QPoint(70, 70));
             Drag(f.InitPicture, {12, 60}, {12, 20});
             return &f;
         },
         [&] {
             expectShown(t.ActiveMonster.get(), "Script/demo_monster.jsr", "AddMonster(", M().CurMonster,
                         QStringLiteral("史莱姆"));
         }},
        {"role-editor.png", "the monster editor's 返回, F4, a click on the role's facing to the bottom right",
         [&] {
             click(t.ActiveMonster.get().Command7);
             seKey(Qt::Key_F4);
             RoleForm& f = t.AddRole.get();
             QTest::mouseClick(f.Picture1, Qt::LeftButton, {}, QPoint(40, 60));
             return &f;
         },
         [&] {
             EXPECT_TRUE(Row(t.AddRole.get().ListData, QStringLiteral("主角")));
             EXPECT_EQ(t.AddRole.get().ListData->item(2)->text(), QStringLiteral("1"));
         }},
        {"attribute-dialog.png", "a double click on the role's attribute 名字",
         [&] {
             DoubleClickRow(t.AddRole.get().ListCaption, QStringLiteral("名字"));
             return &t.AddNewAttributeForm.get();
         },
         [&] {
             EXPECT_EQ(t.AddNewAttributeForm.get().windowTitle(), QStringLiteral("修改属性"));
             EXPECT_EQ(t.AddNewAttributeForm.get().AttribVarNameBox->text(), QStringLiteral("name"));
         }},
    };
    QFile index(dir + "/index.txt");
    ASSERT_TRUE(index.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QTextStream out(&index);
    for (const Shot& s : shots) {
        QWidget* w = s.reach();
        ASSERT_TRUE(w && w->isVisible()) << s.file;
        s.check();
        const QImage img = ShootWindow(w);
        ASSERT_FALSE(img.isNull()) << s.file;
        EXPECT_GT(colours(img), 8) << s.file;
        EXPECT_TRUE(img.save(dir + "/" + s.file)) << s.file;
        out << s.file << ": " << QString::fromUtf8(s.how) << '\n';
    }
    // Normal use of the demo raises no message box.
    EXPECT_TRUE(dialogs.messages.isEmpty()) << dialogs.messages.join("|").toStdString();
}
