// The map canvas: tool switching, painting and erasing on layers with single
// tiles, blocks and regions copied out of the map, events and obstacles,
// placing and deleting NPCs, monsters and the role, cursor movement and drag
// painting, the layer fill and the tile information panel.
#include "editor_fixture.h"

#include "canvas/canvas.h"
#include "tools/tool_forms.h"

#include <QAction>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>

using namespace tstest;
using namespace tilesmith;

namespace {

QRgb SheetPixel(int sheet, int x, int y)
{
    return SheetColour(sheet, (y / 32) * 8 + x / 32, x % 32 == 0 && y % 32 == 0);
}

bool Empty(const TileRec& t)
{
    return t.sheet == -1 && t.srcX == 0 && t.srcY == 0 && t.mapX == 0 && t.mapY == 0;
}

class CanvasTest : public EditorTest {
protected:
    void startWithMap(const MapDocument& doc = EmptyMap(20, 15), const QString& name = "town.jmap")
    {
        start();
        openMap(writeMap(name, doc));
        main().show();
    }
    Canvas& canvas() { return session->canvas; }
    // A one-tile brush from a sheet, as the tile picker leaves it.
    void pickTile(int sheet, int sx, int sy)
    {
        pickBlock(sheet, sx, sy, 32, 32);
        M().LargeMode = false;
        M().SavedLargeMode = false;
        M().SpinnerMode = 0;
    }
    void pickBlock(int sheet, int sx, int sy, int w, int h)
    {
        M().LargeMode = true;
        M().SavedLargeMode = true;
        M().SpinnerMode = 1;
        M().BrushWidth = w;
        M().BrushHeight = h;
        M().StepX = 32;
        M().StepY = 32;
        M().BrushX = sx;
        M().BrushY = int16_t(sy);
        M().BrushSheet = int16_t(sheet);
        for (fr::PicBox* box : {main().MainPic, main().MainPic_}) {
            box->setBoxSize(w, h);
            box->pic().setPicture(main().ReTempPic[size_t(sheet)].snapshot().copy(sx, sy, w, h));
        }
    }
    void at(int x, int y) { main().MainPic->move(x, y); }
    // A press and release on the cursor box, as the mouse gives them.
    void click(Qt::MouseButton b = Qt::LeftButton, QPoint p = QPoint(1, 1))
    {
        QTest::mouseClick(main().MainPic, b, {}, p);
    }
    void clickAt(int x, int y)
    {
        at(x, y);
        click();
    }
    QRgb composite(int x, int y) { return main().Picture1->pic().pixel(x, y); }
    TileRec& rec(int layer, int col, int row) { return M().LayData(layer)[size_t(row * 20 + col)]; }
};

} // namespace

TEST_F(CanvasTest, ToolSwitchesSaveAndRestoreTheBrush)
{
    startWithMap();
    Main& m = main();
    // At load: edit layer 1, a one-tile brush, step 32, eraser 32, no tool.
    EXPECT_EQ(M().EditLay, 1);
    EXPECT_EQ(M().EditLayText, QStringLiteral("编辑地面层1"));
    EXPECT_EQ(M().BrushWidth, 32);
    EXPECT_EQ(M().StepX, 32);
    EXPECT_EQ(m.EraserSize, 32);
    EXPECT_EQ(M().SpinnerMode, 0);
    EXPECT_EQ(M().EraserMode, 0);

    // Q twice from a block brush: the block's box, image, size and modes
    // come back.
    pickBlock(1, 64, 32, 96, 64);
    M().TakeOutInfo = true;
    const QImage block = m.MainPic->pic().snapshot();
    m.MapSaved = -1;
    press(Qt::Key_Q);
    EXPECT_EQ(m.MapSaved, 0);
    EXPECT_EQ(M().EraserMode, -1);
    EXPECT_FALSE(M().LargeMode);
    EXPECT_EQ(m.MainPic->size(), QSize(32, 32));
    EXPECT_EQ(M().BrushWidth, 32);
    press(Qt::Key_Q);
    EXPECT_EQ(M().EraserMode, 0);
    EXPECT_TRUE(M().LargeMode);
    EXPECT_TRUE(M().TakeOutInfo);
    EXPECT_EQ(m.MainPic->size(), QSize(96, 64));
    EXPECT_EQ(m.MainPic->pic().snapshot(), block);
    EXPECT_EQ(M().BrushWidth, 96); // the block paints whole again
    EXPECT_EQ(M().BrushHeight, 64);

    // E, Q, Q, E: marker, eraser over it, marker back, marker off.
    pickTile(0, 32, 0);
    M().EditLay = 3;
    M().EditLayText = EditLayerText(3);
    const QImage tile = m.MainPic->pic().snapshot();
    press(Qt::Key_E);
    EXPECT_EQ(M().EditLay, 8);
    EXPECT_EQ(m.ObstacleActive, -1);
    press(Qt::Key_Q);
    EXPECT_EQ(M().EraserMode, -1);
    EXPECT_EQ(M().EditLay, 8);
    EXPECT_EQ(M().EventMode, 0);
    EXPECT_EQ(m.ResumeObstacle, 1);
    press(Qt::Key_Q);
    EXPECT_EQ(m.ObstacleActive, -1);
    EXPECT_EQ(M().EditLayText, QStringLiteral("编辑事件层8"));
    EXPECT_EQ(m.MainPic->size(), QSize(32, 32));
    EXPECT_EQ(m.MainPic->pic().snapshot(), m.ObstaclePic.snapshot());
    press(Qt::Key_E);
    EXPECT_EQ(M().EditLay, 3);
    EXPECT_EQ(M().EditLayText, EditLayerText(3));
    EXPECT_EQ(m.MainPic->pic().snapshot(), tile);
    EXPECT_EQ(m.ObstacleOn, 0);

    // Q, E, E: the eraser comes back with its own cursor at its size.
    m.MainPic->move(0, 0);
    m.MenuItem("Menu_SelectMiddleEraser")->trigger();
    EXPECT_EQ(m.MainPic->size(), QSize(64, 64));
    press(Qt::Key_E);
    EXPECT_EQ(M().EraserMode, 0);
    EXPECT_EQ(m.ResumeEraser, 1);
    press(Qt::Key_E);
    EXPECT_EQ(M().EraserMode, -1);
    EXPECT_EQ(m.EraserOn, 1);
    EXPECT_EQ(m.MainPic->size(), QSize(64, 64));
    // Z while erasing: the step becomes the eraser's size, then 32 again.
    press(Qt::Key_Z);
    EXPECT_EQ(M().StepX, 64);
    press(Qt::Key_Z);
    EXPECT_EQ(M().StepX, 32);
    press(Qt::Key_Q);
    EXPECT_EQ(M().EraserMode, 0);
    EXPECT_EQ(m.EraserOn, 0);

    // F8 with the marker off: switching it off stays on layer 8.
    press(Qt::Key_F8);
    EXPECT_EQ(m.SavedEditLay, 8);
    press(Qt::Key_E);
    EXPECT_EQ(M().EditLay, 8);

    // The event eraser, suspended by E, comes back as the plain eraser.
    m.MenuItem("Menu_IncidentEra")->trigger();
    EXPECT_EQ(M().EventMode, -1);
    EXPECT_EQ(M().EditLayText, QStringLiteral("编辑事件层8"));
    press(Qt::Key_E);
    press(Qt::Key_E);
    EXPECT_EQ(M().EraserMode, -1);
    EXPECT_EQ(M().EventMode, 0);
    EXPECT_EQ(m.MainPic->size(), QSize(m.EraserSize, m.EraserSize));
}

TEST_F(CanvasTest, ClicksPaintAndEraseTilesAndKeepEventsAndObstacles)
{
    MapDocument doc = EmptyMap(20, 15);
    doc.layers[0][21].event = "door";
    doc.layers[0][21].obstacle = 1;
    startWithMap(doc);
    Main& m = main();
    pickTile(1, 64, 32);
    clickAt(32, 32);
    EXPECT_EQ(rec(1, 1, 1), (TileRec{64, 32, 1, 32, 32, "door", 1}));
    EXPECT_EQ(m.Ground_Lay.pixel(40, 40), SheetPixel(1, 72, 40));
    EXPECT_EQ(composite(32, 32), SheetPixel(1, 64, 32));
    EXPECT_EQ(M().CurIndex, 21);

    // A block from the sheet: four cells with their own sheet positions.
    pickBlock(0, 128, 32, 64, 64);
    M().EditLay = 2;
    clickAt(64, 0);
    EXPECT_EQ(rec(2, 2, 0), (TileRec{128, 32, 0, 64, 0, "N", 0}));
    EXPECT_EQ(rec(2, 3, 0), (TileRec{160, 32, 0, 96, 0, "N", 0}));
    EXPECT_EQ(rec(2, 2, 1), (TileRec{128, 64, 0, 64, 32, "N", 0}));
    EXPECT_EQ(rec(2, 3, 1), (TileRec{160, 64, 0, 96, 32, "N", 0}));
    EXPECT_EQ(composite(96 + 5, 32 + 5), SheetPixel(0, 160 + 5, 64 + 5));

    // At the right edge the block writes only the column inside the map; it
    // does not wrap onto the next row.
    clickAt(19 * 32, 5 * 32);
    EXPECT_EQ(rec(2, 19, 5).srcX, 128);
    EXPECT_TRUE(Empty(rec(2, 0, 6)));
    // Past the last row: the rows inside are written, the composite is not
    // refreshed.
    const QRgb before = composite(0, 14 * 32);
    clickAt(0, 14 * 32);
    EXPECT_EQ(rec(2, 0, 14).srcX, 128);
    EXPECT_EQ(m.Object2_Lay.pixel(0, 14 * 32), SheetPixel(0, 128, 32));
    EXPECT_EQ(composite(0, 14 * 32), before);

    // The eraser: 64×64 keeps the event and the obstacle; at the right edge
    // nothing of the next row is touched.
    M().EditLay = 1;
    m.MenuItem("Menu_SelectMiddleEraser")->trigger();
    clickAt(32, 32);
    EXPECT_EQ(rec(1, 1, 1), (TileRec{0, 0, -1, 0, 0, "door", 1}));
    EXPECT_EQ(m.Ground_Lay.pixel(40, 40), fr::keyColour);
    M().EditLay = 2;
    rec(2, 0, 6) = TileRec{1, 1, 0, 0, 192, "N", 0};
    clickAt(19 * 32, 5 * 32);
    EXPECT_TRUE(Empty(rec(2, 19, 5)));
    EXPECT_EQ(rec(2, 0, 6).sheet, 0);
    EXPECT_EQ(m.MapSaved, 0);
}

TEST_F(CanvasTest, EventsAndObstaclesOnLayerEight)
{
    MapDocument doc = EmptyMap(20, 15);
    doc.layers[0][0].event = "well";
    startWithMap(doc);
    Main& m = main();
    const QRgb obstacle = m.ObstaclePic.pixel(16, 16);
    auto markerAt = [&](int x, int y) { return m.Incident_Lay.pixel(x + 16, y + 16); };
    const QRgb eventMark = m.IncidentPic.pixel(16, 16);

    // The obstacle marker on an event cell: both, the event on top.
    press(Qt::Key_E);
    clickAt(0, 0);
    EXPECT_EQ(rec(1, 0, 0).obstacle, 1);
    EXPECT_EQ(markerAt(0, 0), eventMark);
    // A drag of the obstacle marker marks each cell it steps onto.
    QTest::mousePress(m.MainPic, Qt::LeftButton, {}, QPoint(1, 1));
    QMouseEvent drag(QEvent::MouseMove, QPointF(40, 1), QPointF(40, 1), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(m.MainPic, &drag);
    QTest::mouseRelease(m.MainPic, Qt::LeftButton, {}, QPoint(1, 1));
    EXPECT_EQ(m.MainPic->pos(), QPoint(32, 0));
    EXPECT_EQ(rec(1, 1, 0).obstacle, 1);
    EXPECT_EQ(markerAt(32, 0), obstacle);

    // The event brush marks an obstacle cell and both markers show.
    M().EventMode = -1;
    M().CurEvent = "gate";
    press(Qt::Key_E); // marker off: the layer edited before (1)
    M().EditLay = 8;
    M().EventMode = -1;
    clickAt(32, 0);
    EXPECT_EQ(rec(1, 1, 0).event, "gate");
    EXPECT_EQ(markerAt(32, 0), eventMark);

    // The event eraser on the obstacle cell keeps the obstacle.
    m.MenuItem("Menu_IncidentEra")->trigger();
    clickAt(32, 0);
    EXPECT_EQ(rec(1, 1, 0).event, "N");
    EXPECT_EQ(rec(1, 1, 0).obstacle, 1);
    EXPECT_EQ(markerAt(32, 0), obstacle);

    // The 96 eraser over obstacles clears every flag, keeps events and shows
    // their markers.
    for (int c = 0; c < 3; ++c)
        for (int r = 0; r < 3; ++r)
            rec(1, c, r).obstacle = 1;
    rec(1, 2, 2).event = "cave";
    M().EventMode = 0;
    m.EraserSize = 96;
    clickAt(0, 0);
    for (int c = 0; c < 3; ++c)
        for (int r = 0; r < 3; ++r)
            EXPECT_EQ(rec(1, c, r).obstacle, 0) << c << "," << r;
    EXPECT_EQ(rec(1, 0, 0).event, "well");
    EXPECT_EQ(markerAt(64, 64), eventMark);
    EXPECT_EQ(markerAt(32, 32), fr::keyColour);
}

TEST_F(CanvasTest, PlacingAndDeletingNpcsMonstersAndTheRole)
{
    game.write("Script/town_npc.jsr", PlacementBytes("AddNpc(", {NpcEntry(7, 1, 64, 32), NpcEntry(8, 2, 64, 32),
                                                                 NpcEntry(9, 3, 0, 0)}));
    MapDocument doc = EmptyMap(20, 15);
    doc.layers[0][5].obstacle = 1;
    startWithMap(doc);
    Main& m = main();
    ASSERT_EQ(M().NpcCount, 3);
    auto npc = [&](int i, const char* var) { return session->procs.GetAttribValue("npc", i, var); };

    // A sprite box and a pending NPC placement.
    M().NpcPlacing = -1;
    M().CurNpc = 2;
    m.MainPic->setBoxSize(32, 48);
    m.MainPic->pic().setPicture(m.ReTempPic[3].snapshot().copy(0, 0, 32, 48));
    // On an obstacle: refused, nothing placed, the map still counts as edited.
    m.MapSaved = -1;
    clickAt(5 * 32, 0);
    EXPECT_TRUE(dialogs.saw(QStringLiteral("不能在障碍上设置活动NPC!")));
    EXPECT_EQ(m.Npc_Lay.pixel(5 * 32 + 3, 3), fr::keyColour);
    EXPECT_EQ(npc(2, "lx"), "0");
    EXPECT_EQ(m.MapSaved, 0);
    // Placed: sprite on the layer and the composite, position recorded,
    // the script editor and the NPC form shown.
    clickAt(96, 64);
    EXPECT_EQ(npc(2, "lx"), "96");
    EXPECT_EQ(npc(2, "ly"), "64");
    EXPECT_EQ(m.Npc_Lay.pixel(96 + 5, 64 + 40), m.ReTempPic[3].pixel(5, 40));
    EXPECT_EQ(composite(96 + 5, 64 + 40), m.ReTempPic[3].pixel(5, 40));
    EXPECT_TRUE(dialogs.saw(QStringLiteral("已画 0号 活动Npc")));
    EXPECT_FALSE(m.isVisible());
    EXPECT_TRUE(session->tools.ScriptEditorForm.get().isVisible());
    EXPECT_TRUE(session->tools.ActiveNpc.get().isVisible());
    M().NpcPlacing = 0;

    // The role is placed even while the eraser is on: placements come first.
    m.show();
    press(Qt::Key_Q);
    M().RolePlacing = -1;
    clickAt(128, 128);
    EXPECT_EQ(session->procs.GetAttribValue("role", 0, "lx"), "128");
    EXPECT_TRUE(dialogs.saw(QStringLiteral("画的是ROLE:")));
    M().RolePlacing = 0;

    // The eraser on layer 9 asks for each NPC at the box; No then Yes
    // deletes the second only, from the instance table and the list file.
    m.show();
    M().EditLay = 9;
    dialogs.yesNo = {fr::vbNo, fr::vbYes};
    clickAt(64, 32);
    EXPECT_EQ(dialogs.count(QStringLiteral("确定删除")), 2);
    EXPECT_TRUE(dialogs.saw(QStringLiteral("中的ID为:8的npc吗？")));
    EXPECT_EQ(npc(0, "id"), "7");
    EXPECT_EQ(npc(1, "id"), "-1");
    EXPECT_EQ(npc(1, "lx"), "-1");
    EXPECT_EQ(M().NpcCount, 3);
    const QByteArray list = ReadBytes(game.path("Script/town_npc.jsr"));
    EXPECT_TRUE(list.contains("AddNpc(,7,"));
    EXPECT_FALSE(list.contains("AddNpc(,8,"));
    // Where nothing stands nothing is asked.
    clickAt(320, 320);
    EXPECT_EQ(dialogs.count(QStringLiteral("确定删除")), 2);
    // A position that is not a number stands nowhere.
    session->procs.SetAttribValue("npc", 0, "lx", "abc");
    clickAt(64, 32);
    EXPECT_EQ(dialogs.count(QStringLiteral("确定删除")), 2);
}

TEST_F(CanvasTest, TheBoxFollowsTheMouseAndDragsPaint)
{
    startWithMap();
    Main& m = main();
    auto move = [&](int x, int y, Qt::MouseButtons held) {
        QMouseEvent e(QEvent::MouseMove, QPointF(x, y), QPointF(x, y), Qt::NoButton, held, Qt::NoModifier);
        QApplication::sendEvent(m.MainPic, &e);
    };
    // Fine step: X 32 does not step, 33 does, -1 steps back.
    pickTile(0, 0, 0);
    M().SpinnerMode = 1;
    at(64, 0);
    move(32, 5, Qt::NoButton);
    EXPECT_EQ(m.MainPic->x(), 64);
    move(33, 5, Qt::NoButton);
    EXPECT_EQ(m.MainPic->x(), 96);
    move(-1, 5, Qt::NoButton);
    EXPECT_EQ(m.MainPic->x(), 64);
    // At the corner the box steps no further.
    at(0, 0);
    move(-5, -5, Qt::NoButton);
    EXPECT_EQ(m.MainPic->pos(), QPoint(0, 0));
    // Brush step with a 96×96 block stops where the block still fits.
    pickBlock(0, 0, 0, 96, 96);
    M().SpinnerMode = 0;
    M().StepX = 96;
    at(480, 0);
    move(100, 5, Qt::NoButton);
    EXPECT_EQ(m.MainPic->x(), 480);
    // The cell index of a box off the grid rounds half to even.
    at(0, 48);
    move(5, 5, Qt::NoButton);
    EXPECT_EQ(M().CurIndex, 30); // 20 × 1.5

    // A drag paints at the press, then once per step of the box; both
    // buttons held step without painting.
    pickTile(0, 32, 0);
    at(0, 0);
    QTest::mousePress(m.MainPic, Qt::LeftButton, {}, QPoint(1, 1));
    move(40, 1, Qt::LeftButton);
    move(40, 1, Qt::LeftButton);
    EXPECT_EQ(m.MainPic->x(), 64);
    EXPECT_EQ(rec(1, 1, 0).srcX, 32);
    EXPECT_EQ(rec(1, 2, 0).srcX, 32);
    EXPECT_EQ(rec(1, 0, 0).srcX, 32); // the press itself
    move(40, 1, Qt::LeftButton | Qt::RightButton);
    EXPECT_EQ(m.MainPic->x(), 96);
    EXPECT_EQ(rec(1, 3, 0).sheet, -1);
    QTest::mouseRelease(m.MainPic, Qt::LeftButton, {}, QPoint(1, 1));
    // After the release moves paint nothing.
    move(40, 1, Qt::LeftButton);
    EXPECT_EQ(rec(1, 4, 0).sheet, -1);

    // A pending NPC placement stops drag painting.
    M().NpcPlacing = -1;
    at(0, 64);
    m.Dragging = -1;
    m.BoxMoved = true;
    move(40, 1, Qt::LeftButton);
    EXPECT_EQ(rec(1, 1, 2).sheet, -1);
    M().NpcPlacing = 0;

    // Erasing on layer 9 while the role is being placed clears its position.
    M().EditLay = 9;
    M().RolePlacing = -1;
    M().RoleX = 64;
    M().RoleY = 64;
    press(Qt::Key_Q);
    at(320, 320);
    QTest::mousePress(m.MainPic, Qt::LeftButton, {}, QPoint(1, 1));
    EXPECT_EQ(M().RoleX, 64); // the click places the role instead
    move(1, 1, Qt::LeftButton);
    EXPECT_EQ(M().RoleX, -1);
    EXPECT_EQ(M().RoleY, -1);
}
