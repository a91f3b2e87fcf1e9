// Main: caption line, menus, layout and scrolling, how the layers lie over
// one another, the status line, keys, the script editor and closing.
#include "editor_fixture.h"

#include "shell/recent_map.h"

#include <QAction>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>

using namespace tstest;
using namespace tilesmith;

namespace {

class MainForm : public EditorTest {
protected:
    // Opens a map through the recent-map command.
    void openRecent(const QString& path)
    {
        QString error;
        ASSERT_TRUE(WriteRecentMap(game.editorDir(), path, error)) << error.toStdString();
        main().Menu_OpenRecentMap_Click();
        ASSERT_EQ(M().MapPath, path) << dialogs.messages.join("|").toStdString();
    }
    void key(int k, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QKeyEvent e(QEvent::KeyPress, k, mods);
        QApplication::sendEvent(main().centralWidget(), &e);
    }
};

} // namespace

TEST_F(MainForm, CaptionLineAfterTheFirstTick)
{
    start();
    const QString expected = QStringLiteral("☆tilesmith★ 编辑地面层1 | 显示全部层 | index:0 | 坐标:0 0");
    EXPECT_TRUE(QTest::qWaitFor([&] { return main().windowTitle() == expected; }, 2000))
        << main().windowTitle().toStdString();
}

TEST_F(MainForm, ToolStateStartsAtItsLoadValues)
{
    start();
    const Module1& m = M();
    Main& f = main();
    EXPECT_EQ(m.EditLay, 1);
    EXPECT_EQ(m.EditLayText, QStringLiteral("编辑地面层1"));
    EXPECT_EQ(m.ViewText, QStringLiteral("显示全部层"));
    EXPECT_EQ(m.CurSheet, "map1");
    EXPECT_EQ(m.BrushSheetName, "map1");
    EXPECT_EQ(m.BrushWidth, 32);
    EXPECT_EQ(m.BrushHeight, 32);
    EXPECT_EQ(m.StepX, 32);
    EXPECT_EQ(m.StepY, 32);
    EXPECT_EQ(f.EraserSize, 32);
    for (int16_t v : {m.SpinnerMode, m.TakeOutMode, m.TakeOutBrush, m.EraserMode, m.EventMode, m.RolePlacing,
                      m.NpcPlacing, m.MonsterPlacing, f.MapSaved, f.SoloView, f.SavedEditLay, f.TakeOutSrcLay,
                      f.TakeOutStartX, f.EraserOn, f.ObstacleOn, f.ObstacleActive, f.ResumeObstacle, f.ResumeEraser,
                      f.Dragging, f.EventLayerHidden})
        EXPECT_EQ(v, 0);
    for (bool b : {m.LargeMode, m.SavedLargeMode, m.TakeOutInfo, m.SavedTakeOutInfo, f.BoxMoved})
        EXPECT_FALSE(b);
    EXPECT_TRUE(f.SavedEditLayText.isEmpty());
    EXPECT_TRUE(f.TakeOutStartY.isEmpty());
    EXPECT_TRUE(m.CurEvent.isEmpty());
    for (int16_t flag : f.LayerSoloFlags)
        EXPECT_EQ(flag, 0);
    EXPECT_EQ(f.MainPic->geometry(), QRect(0, 0, 32, 32));
    EXPECT_EQ(f.Canvas(), &session->canvas);
}

TEST_F(MainForm, MenusCarryTheirCaptionsAndTheEditMenusWaitForAMap)
{
    start();
    struct Item {
        const char* name;
        const char* caption;
    } items[] = {
        {"Menu_File", "文件"}, {"Menu_NewMap", "新建地图"}, {"Menu_OpenMap", "打开地图"},
        {"Menu_SaveAsAnotherMap", "另存地图"}, {"Menu_SaveMap", "保存地图(Ctrl+S)"},
        {"Menu_OpenRecentMap", "最近打开文件(Ctrl+D)"}, {"Menu_Exit", "退出(Alt+F4)"},
        {"Menu_LayEdit", "层编辑"}, {"Menu_GroundLay", "地面层1(F1)"}, {"Menu_ObjectLay4", "物体层4(F4)"},
        {"Menu_SkyLay", "天空层7(F7)"}, {"Menu_IncidentLay", "事件层8(F8)"}, {"Menu_NpcLay", "NPC层9(F9)"},
        {"Menu_LayWatch", "层查看"}, {"Menu_SeeGround1", "地面层1(1)"}, {"Menu_SeeSky7", "天空层7(7)"},
        {"Menu_SeeNpc9", "NPC层9(9)"}, {"Menu_SetParameter", "设置"}, {"Menu_HideIncidentLay", "显示/隐藏事件层"},
        {"Menu_WholeMap", "查看缩略图(S)"}, {"Menu_TileInfoFrameSwitch", "开/关图块信息栏(C)"},
        {"Menu_ClearScreen", "清空所有层(包括数据) (Delete)"}, {"Menu_SetScreenSize", "设置游戏分辨率"},
        {"Menu_Resource", "资源"}, {"Menu_Resource_r3", "地图3"}, {"Menu_Eraser", "橡皮(Q)"},
        {"Menu_SelectSmallEraser", "小型(32*32)"}, {"Menu_SelectMiddleEraser", "中型(64*64)"},
        {"Menu_SelectLargeEraser", "大型(96*96)"}, {"Menu_IncidentEra", "事件橡皮"}, {"Menu_FillAll", "填充(X)"},
        {"Menu_SetObstacle", "障碍(E)"}, {"Menu_Spinner", "微调(Z)"}, {"Menu_RefreshAll", "刷新(F)"},
        {"Menu_SetIncident", "脚本编辑器(Space)"}, {"Menu_About", "关于"}, {"Menu_Help", "帮助(F10)"},
        {"Menu_Logo", "宣传画"},
    };
    for (const Item& it : items) {
        QAction* a = main().MenuItem(it.name);
        ASSERT_NE(a, nullptr) << it.name;
        EXPECT_EQ(a->text(), QString::fromUtf8(it.caption)) << it.name;
        EXPECT_TRUE(a->shortcut().isEmpty()) << it.name;
    }
    const char* editMenus[] = {"Menu_LayEdit", "Menu_LayWatch", "Menu_SetParameter", "Menu_Resource", "Menu_Eraser",
                               "Menu_FillAll", "Menu_SetObstacle", "Menu_Spinner", "Menu_RefreshAll"};
    for (const char* name : editMenus)
        EXPECT_FALSE(main().MenuItem(name)->isEnabled()) << name;
    EXPECT_FALSE(main().EditMenusEnabled());
    for (const char* name : {"Menu_File", "Menu_NewMap", "Menu_OpenMap", "Menu_SaveAsAnotherMap", "Menu_SaveMap",
                             "Menu_OpenRecentMap", "Menu_Exit", "Menu_SetIncident", "Menu_About", "Menu_Help", "Menu_Logo"})
        EXPECT_TRUE(main().MenuItem(name)->isEnabled()) << name;

    openRecent(writeMap("a.jmap", EmptyMap(20, 15)));
    EXPECT_TRUE(main().EditMenusEnabled());
    for (const char* name : editMenus)
        EXPECT_TRUE(main().MenuItem(name)->isEnabled()) << name;
    // Every item inside them works once a map is open.
    for (QAction* a : main().findChildren<QAction*>())
        EXPECT_TRUE(a->isEnabled()) << a->objectName().toStdString();
}

TEST_F(MainForm, ScrollBarsFollowTheMapAndMoveThePicture)
{
    start();
    setViewport(600, 400);
    openRecent(writeMap("wide.jmap", EmptyMap(100, 10)));
    EXPECT_EQ(main().HScroll1->maximum(), 2600);
    EXPECT_EQ(main().VScroll1->maximum(), 0);
    main().HScroll1->setValue(96);
    EXPECT_EQ(main().Picture1->x(), -96);
    main().HScroll1->setValue(2600);
    EXPECT_EQ(main().Picture1->x(), -2600);
    // Bars sit at the right and bottom edges, 40 pixels short.
    const QSize client = main().centralWidget()->size();
    EXPECT_EQ(main().VScroll1->geometry(),
              QRect(client.width() - main().VScroll1->width(), 0, main().VScroll1->width(), client.height() - 40));
    EXPECT_EQ(main().HScroll1->geometry().width(), client.width() - 40);
    EXPECT_EQ(main().InfoFrame->geometry().right() + 1, 600);

    setViewport(700, 500);
    openRecent(writeMap("small.jmap", EmptyMap(20, 15)));
    EXPECT_EQ(main().HScroll1->maximum(), 0);
    EXPECT_EQ(main().VScroll1->maximum(), 0);
    EXPECT_EQ(main().Picture1->x(), 0);
    EXPECT_EQ(main().Picture1->size(), QSize(640, 480));
    // A window too small for its controls leaves sizes at 0.
    main().resize(20, 20);
    QTest::qWait(1);
    EXPECT_GE(main().Picture2->width(), 0);
    EXPECT_GE(main().HScroll1->width(), 0);
}

TEST_F(MainForm, LayersLieInTheGamesOrder)
{
    start();
    // Four cells side by side, two rows. Cell 0: ground and object layer 4,
    // with an NPC sprite over its right half and cell 1's left half. Cell 1:
    // object layer 4 and 5. Cell 2: object layer 5 and an event. Cell 3:
    // empty.
    MapDocument d = EmptyMap(4, 2);
    auto set = [&](int layer, int cell, int sheet, int sx, int sy) {
        TileRec& t = d.layers[layer - 1][cell];
        t.sheet = sheet;
        t.srcX = sx;
        t.srcY = sy;
        t.mapX = (cell % 4) * 32;
        t.mapY = (cell / 4) * 32;
    };
    set(1, 0, 0, 0, 0);
    set(4, 0, 1, 32, 0);
    set(4, 1, 1, 64, 0);
    set(5, 1, 2, 0, 32);
    set(5, 2, 2, 32, 32);
    d.layers[0][2].event = "door1";
    d.layers[0][2].mapX = 64;
    const QString path = writeMap("stack.jmap", d);
    game.write("Script/stack_npc.jsr", PlacementBytes("AddNpc(", {NpcEntry(0, 0, 16, 0)}));
    openRecent(path);
    const fr::PicImage& pic = main().Picture1->pic();
    const QRgb sprite = SheetColour(3, 0, false);
    EXPECT_EQ(pic.pixel(2, 10), SheetColour(1, 1, false));  // object 4 over the ground
    EXPECT_EQ(pic.pixel(20, 10), sprite);                   // the sprite over object 4
    EXPECT_EQ(pic.pixel(40, 10), SheetColour(2, 8, false)); // object 5 over the sprite
    EXPECT_EQ(pic.pixel(20, 40), sprite);                   // the sprite's lower part
    EXPECT_EQ(pic.pixel(64 + 2, 2), SheetColour(2, 9, false));
    EXPECT_EQ(pic.pixel(64 + 16, 12), qRgb(20, 200, 40)); // the event marker on top
    EXPECT_EQ(pic.pixel(100, 10), 0xFF0000FFu);           // nothing: the key colour
    EXPECT_EQ(main().Incident_Lay.pixel(64 + 2, 2), 0xFF0000FFu);
}

TEST_F(MainForm, StatusLineEmptiesAboutThreeSecondsLater)
{
    start();
    openRecent(writeMap("a.jmap", EmptyMap(20, 15)));
    EXPECT_EQ(main().TF_maininfo->text(), QStringLiteral("已打开最近地图! "));
    // The caption timer re-enables the clearing timer every 50 ms; that must
    // not keep pushing it back.
    QTest::qWait(2000);
    EXPECT_FALSE(main().TF_maininfo->text().isEmpty());
    EXPECT_TRUE(QTest::qWaitFor([&] { return main().TF_maininfo->text().isEmpty(); }, 5000));
    EXPECT_FALSE(main().Timer2.enabled());
}

TEST_F(MainForm, InfoPanelJumpsToTheOtherSide)
{
    start();
    setViewport(600, 400);
    const int right = main().InfoFrame->x();
    ASSERT_GT(right, 0);
    QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), QPointF(5, 5), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(main().InfoFrame, &move);
    EXPECT_EQ(main().InfoFrame->pos(), QPoint(0, 0));
    QApplication::sendEvent(main().InfoFrame, &move);
    EXPECT_EQ(main().InfoFrame->pos(), QPoint(right, 0));
}

TEST_F(MainForm, KeysReachTheOpenCommandsAndTheScriptEditor)
{
    start();
    const QString path = writeMap("a.jmap", EmptyMap(20, 15));
    key(Qt::Key_A); // A alone is not a file command
    EXPECT_TRUE(dialogs.fileDialogs.empty());
    dialogs.files = {""};
    key(Qt::Key_A, Qt::ControlModifier);
    ASSERT_EQ(dialogs.fileDialogs.size(), 1u);
    EXPECT_EQ(dialogs.fileDialogs[0].title, QStringLiteral("打开地图"));
    QString error;
    ASSERT_TRUE(WriteRecentMap(game.editorDir(), path, error));
    key(Qt::Key_D, Qt::ControlModifier | Qt::ShiftModifier); // not Ctrl alone
    EXPECT_TRUE(M().MapPath.isEmpty());
    key(Qt::Key_D, Qt::ControlModifier);
    EXPECT_EQ(M().MapPath, path);

    main().show();
    key(Qt::Key_Space);
    EXPECT_FALSE(main().isVisible());
    ASSERT_TRUE(session->tools.ScriptEditorForm.loaded());
    ScriptEditor& editor = session->tools.ScriptEditorForm.get();
    EXPECT_TRUE(editor.isVisible());
    QTest::mouseClick(editor.Command6, Qt::LeftButton);
    EXPECT_TRUE(main().isVisible());
    EXPECT_FALSE(editor.isVisible());
    // Its close box leaves it the same way.
    main().MenuItem("Menu_SetIncident")->trigger();
    EXPECT_FALSE(main().isVisible());
    editor.close();
    EXPECT_TRUE(main().isVisible());
}

TEST_F(MainForm, ClosingAsksWhileTheMapIsUnsaved)
{
    start();
    main().show();
    dialogs.yesNo = {fr::vbNo};
    EXPECT_FALSE(main().close());
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0], QStringLiteral("地图没有保存过，确定退出吗？"));
    EXPECT_EQ(dialogs.styles[0], 308);
    EXPECT_TRUE(ends.codes.empty());
    EXPECT_TRUE(main().isVisible());

    dialogs.yesNo = {fr::vbYes};
    EXPECT_TRUE(main().close());
    EXPECT_FALSE(ends.codes.empty());
    EXPECT_EQ(ends.codes.front(), 0);
}

TEST_F(MainForm, SavedMapOrExitEndsWithoutAQuestion)
{
    start();
    main().show();
    main().MapSaved = -1;
    EXPECT_TRUE(main().close());
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_FALSE(ends.codes.empty());

    ends.codes.clear();
    main().show();
    main().MapSaved = 0;
    main().MenuItem("Menu_Exit")->trigger();
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_EQ(ends.codes, std::vector<int>{0});
}
