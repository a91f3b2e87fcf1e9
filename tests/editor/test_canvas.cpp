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
    // The one-tile brush of sheet 0 at (224, 0) that `tile` shows is the
    // brush again, in the box at the corner, and paints cell 0 of `records`.
    void expectTileBrushBack(const QImage& tile, std::vector<TileRec>& records)
    {
        EXPECT_EQ(main().MainPic->geometry(), QRect(0, 0, 32, 32));
        EXPECT_EQ(main().MainPic->pic().snapshot(), tile);
        EXPECT_FALSE(M().LargeMode);
        EXPECT_FALSE(M().TakeOutInfo);
        EXPECT_EQ(M().BrushX, 224);
        EXPECT_EQ(M().BrushWidth, 32);
        clickAt(0, 0);
        EXPECT_EQ(records[0], (TileRec{224, 0, 0, 0, 0, "N", 0}));
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
    // A size chosen while erasing keeps the block for the way back.
    press(Qt::Key_Q);
    m.MenuItem("Menu_SelectLargeEraser")->trigger();
    EXPECT_EQ(m.MainPic->size(), QSize(96, 96));
    EXPECT_EQ(M().EraserMode, -1);
    press(Qt::Key_Q);
    EXPECT_TRUE(M().LargeMode);
    EXPECT_EQ(m.MainPic->pic().snapshot(), block);

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
    game.write("Script/town_monster.jsr", PlacementBytes("AddMonster(", {MonsterEntry(4, 0, 64, 32)}));
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
    dialogs.yesNo = {fr::vbNo, fr::vbYes, fr::vbYes};
    clickAt(64, 32);
    EXPECT_EQ(dialogs.count(QStringLiteral("确定删除")), 3);
    EXPECT_TRUE(dialogs.saw(QStringLiteral("中的ID为:4的Monster吗？")));
    EXPECT_EQ(session->procs.GetAttribValue("monster", 0, "id"), "-1");
    EXPECT_FALSE(ReadBytes(game.path("Script/town_monster.jsr")).contains("AddMonster(,4,"));
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
    EXPECT_EQ(dialogs.count(QStringLiteral("确定删除")), 3);
    // A position that is not a number stands nowhere.
    session->procs.SetAttribValue("npc", 0, "lx", "abc");
    clickAt(64, 32);
    EXPECT_EQ(dialogs.count(QStringLiteral("确定删除")), 3);
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
    // Pulled along by the mouse on the composite, the box may reach up to
    // 31 pixels past the right edge.
    auto pull = [&](int x) {
        QMouseEvent e(QEvent::MouseMove, QPointF(x, 5), QPointF(x, 5), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(m.Picture1, &e);
    };
    at(464, 0);
    pull(600);
    EXPECT_EQ(m.MainPic->x(), 464);
    pull(570);
    EXPECT_EQ(m.MainPic->x(), 560);
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

TEST_F(CanvasTest, RegionCopyMakesABrushOfTheMapsRecords)
{
    MapDocument doc = EmptyMap(20, 15);
    for (int r = 3; r < 6; ++r)
        for (int c = 2; c < 5; ++c)
            doc.layers[1][size_t(r * 20 + c)] = TileRec{int16_t(32 * c), int16_t(32 * r), 2, int16_t(32 * c),
                                                       int16_t(32 * r), "N", 0};
    startWithMap(doc);
    Main& m = main();
    auto bandTo = [&](int x, int y) {
        QMouseEvent e(QEvent::MouseMove, QPointF(x, y), QPointF(x, y), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(m.Picture1, &e);
    };
    auto pressMap = [&](Qt::MouseButton b) { QTest::mouseClick(m.Picture1, b, {}, QPoint(5, 5)); };

    pickTile(0, 224, 0);
    const QImage tile = m.MainPic->pic().snapshot();
    M().EditLay = 2;
    // A stray press beside the box while nothing is armed changes nothing.
    pressMap(Qt::LeftButton);
    EXPECT_FALSE(M().LargeMode);
    EXPECT_EQ(M().TakeOutBrush, 0);

    // Armed by a right click (the eraser goes off), the start snaps to the grid.
    press(Qt::Key_Q);
    ASSERT_EQ(m.EraserOn, 1);
    press(Qt::Key_Q);
    at(64, 96);
    click(Qt::RightButton, QPoint(10, 20));
    EXPECT_EQ(M().TakeOutMode, -1);
    EXPECT_FALSE(m.MainPic->isVisible());
    EXPECT_TRUE(m.Line3->isVisible());
    EXPECT_EQ(m.TakeOutStartX, 64);
    EXPECT_EQ(m.TakeOutStartY.number(), 96);
    bandTo(150, 200);
    EXPECT_EQ(canvas().BandEnd(), QPoint(150, 200));
    pressMap(Qt::LeftButton);
    EXPECT_EQ(M().BrushWidth, 96);
    EXPECT_EQ(M().BrushHeight, 96);
    EXPECT_EQ(M().BrushX, 64);
    EXPECT_EQ(M().BrushY, 96);
    EXPECT_EQ(M().StepX, 32);
    EXPECT_TRUE(M().LargeMode);
    EXPECT_TRUE(M().TakeOutInfo);
    EXPECT_EQ(M().TakeOutBrush, -1);
    EXPECT_EQ(m.TakeOutSrcLay, 2);
    EXPECT_EQ(m.MainPic->geometry(), QRect(0, 0, 96, 96));
    EXPECT_EQ(m.TF_takeoutsrc_rX->text(), "64");
    EXPECT_EQ(m.MainPic->pic().pixel(40, 40), m.Object2_Lay.pixel(64 + 40, 96 + 40));

    // Stamped elsewhere, on another layer: the region's records come along.
    M().EditLay = 4;
    clickAt(320, 0);
    EXPECT_EQ(M().Object4LayData[10], (TileRec{64, 96, 2, 320, 0, "N", 0}));
    EXPECT_EQ(M().Object4LayData[12 + 40], (TileRec{128, 160, 2, 384, 64, "N", 0}));
    EXPECT_EQ(m.Object4_Lay.pixel(320 + 40, 40), m.Object2_Lay.pixel(64 + 40, 96 + 40));

    // A right click on the block brush drops it: the cursor and the brush
    // from before the region copy come back together.
    click(Qt::RightButton);
    EXPECT_EQ(M().TakeOutBrush, 0);
    expectTileBrushBack(tile, M().Object4LayData);

    // Leftwards and upwards: the far corner becomes the start, unsnapped.
    at(320, 320);
    click(Qt::RightButton, QPoint(0, 0));
    bandTo(250, 260);
    pressMap(Qt::LeftButton);
    EXPECT_EQ(M().BrushWidth, 64);
    EXPECT_EQ(M().BrushHeight, 64);
    EXPECT_EQ(M().BrushX, 250);
    EXPECT_EQ(M().BrushY, 260);
    // A band of 16 pixels or less gives 0, 17 to 47 gives 32.
    click(Qt::RightButton); // drop
    at(0, 0);
    click(Qt::RightButton, QPoint(0, 0));
    bandTo(16, 47);
    pressMap(Qt::LeftButton);
    EXPECT_EQ(M().BrushWidth, 0);
    EXPECT_EQ(M().BrushHeight, 32);

    // A right press on the map cancels an armed copy.
    click(Qt::RightButton); // drop
    at(0, 0);
    click(Qt::RightButton, QPoint(0, 0));
    pressMap(Qt::RightButton);
    EXPECT_EQ(M().TakeOutMode, 0);
    EXPECT_FALSE(m.Line1->isVisible());
    EXPECT_TRUE(m.MainPic->isVisible());
    EXPECT_EQ(m.MainPic->pic().snapshot(), tile);
    EXPECT_EQ(M().BrushWidth, 32);
}

TEST_F(CanvasTest, FillCoversOrClearsTheWholeLayer)
{
    MapDocument doc = EmptyMap(20, 15);
    for (auto& layer : doc.layers)
        for (TileRec& t : layer)
            t = TileRec{32, 32, 1, 0, 0, "N", 0};
    for (TileRec& t : doc.layers[0])
        t.obstacle = 1;
    doc.layers[0][7].event = "door";
    startWithMap(doc);
    Main& m = main();

    // The eraser on layer 3 and on layer 8.
    press(Qt::Key_Q);
    M().EditLay = 3;
    m.MapSaved = -1;
    press(Qt::Key_X);
    EXPECT_EQ(m.MapSaved, 0);
    for (const TileRec& t : M().Object3LayData)
        ASSERT_TRUE(Empty(t));
    EXPECT_EQ(m.Object3_Lay.pixel(300, 200), fr::keyColour);
    EXPECT_EQ(M().Object2LayData[0].sheet, 1);
    M().EditLay = 8;
    press(Qt::Key_X);
    for (const TileRec& t : M().GroundLayData)
        ASSERT_EQ(t.obstacle, 0);
    EXPECT_EQ(M().GroundLayData[7].event, "door");
    EXPECT_EQ(M().GroundLayData[7].sheet, 1);
    EXPECT_EQ(m.Incident_Lay.pixel(7 * 32 + 16, 16), fr::keyColour);
    press(Qt::Key_Q);

    // One tile over the whole ground layer.
    pickTile(2, 96, 64);
    M().EditLay = 1;
    press(Qt::Key_X);
    EXPECT_EQ(M().GroundLayData[299], (TileRec{96, 64, 2, 608, 448, "N", 0}));
    EXPECT_EQ(M().GroundLayData[7].event, "door");
    EXPECT_EQ(composite(608 + 5, 448 + 5), SheetPixel(2, 96 + 5, 64 + 5));

    // A 96×64 block: the blocks at the edges write one block further back.
    pickBlock(0, 0, 0, 96, 64);
    M().EditLay = 2;
    for (TileRec& t : M().Object2LayData)
        t = TileRec{};
    press(Qt::Key_X);
    auto cell = [&](int c, int r) { return M().Object2LayData[size_t(r * 20 + c)]; };
    EXPECT_EQ(cell(0, 0), (TileRec{0, 0, 0, 0, 0, "N", 0}));
    EXPECT_EQ(cell(17, 13), (TileRec{64, 32, 0, 544, 416, "N", 0}));
    EXPECT_TRUE(Empty(cell(18, 0)));
    EXPECT_TRUE(Empty(cell(19, 5)));
    EXPECT_TRUE(Empty(cell(4, 14)));
    EXPECT_EQ(m.Object2_Lay.pixel(19 * 32 + 5, 14 * 32 + 5), SheetPixel(0, 32 + 5, 5));

    // A brush under one cell, or larger than the map, leaves the layer alone
    // (and the fill ends).
    const std::vector<TileRec> before = M().Object2LayData;
    M().BrushWidth = 0;
    press(Qt::Key_X);
    M().BrushWidth = 96;
    M().BrushHeight = 32 * 16;
    press(Qt::Key_X);
    EXPECT_EQ(M().Object2LayData, before);
}

TEST_F(CanvasTest, InfoPanelDescribesTheCellUnderTheBox)
{
    game.write("Script/town_npc.jsr", PlacementBytes("AddNpc(", {NpcEntry(1, 4, 64, 0), NpcEntry(2, 5, 0, 0),
                                                                 NpcEntry(3, 6, 0, 0)}));
    MapDocument doc = EmptyMap(20, 15);
    doc.layers[0][0] = TileRec{32, 0, 0, 0, 0, "well", 1};
    doc.layers[6][0] = TileRec{64, 96, 1, 0, 0, "N", 0};
    startWithMap(doc);
    Main& m = main();
    auto hover = [&] {
        QMouseEvent e(QEvent::MouseMove, QPointF(3, 3), QPointF(3, 3), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(m.MainPic, &e);
    };
    at(0, 0);
    hover();
    EXPECT_EQ(m.TF_mapdir->text(), "town");
    EXPECT_EQ(m.TF_mapsize->text(), QStringLiteral("20 × 15"));
    EXPECT_EQ(m.TF_lay->text(), "7");
    EXPECT_EQ(m.TF_rX->text(), "64");
    EXPECT_EQ(m.TF_ResID->text(), "1");
    EXPECT_EQ(m.TF_obstacle->text(), "1");
    EXPECT_EQ(m.TF_incident->text(), "well");
    EXPECT_EQ(m.TF_anpc->text(), QStringLiteral("6(共3个)")); // the later of two
    EXPECT_EQ(m.TF_repic->pic().pixel(5, 5), SheetPixel(1, 64 + 5, 96 + 5));
    EXPECT_EQ(m.TF_largemode->text(), "False");

    // The sky tile erased: the ground tile shows.
    M().EditLay = 7;
    press(Qt::Key_Q);
    click();
    hover();
    EXPECT_EQ(m.TF_lay->text(), "1");
    EXPECT_EQ(m.TF_rX->text(), "32");
    // An empty cell: the layer is 0, the last tile stays shown.
    press(Qt::Key_Q);
    at(32 * 5, 0);
    hover(); // describes the cell where the box stood before (CurIndex)
    hover();
    EXPECT_EQ(m.TF_index->text(), "5");
    EXPECT_EQ(m.TF_lay->text(), "0");
    EXPECT_EQ(m.TF_rX->text(), "32");
    EXPECT_EQ(m.TF_anpc->text(), QStringLiteral("6(共3个)"));
}

TEST_F(CanvasTest, APaintedMapSavesAndReloadsTheSame)
{
    start();
    Main& m = main();
    m.show();
    openMap(writeMap("made.jmap", EmptyMap(12, 9)));
    pickTile(1, 96, 32);
    clickAt(0, 0);
    clickAt(64, 32);
    pickBlock(2, 32, 64, 64, 96);
    M().EditLay = 3;
    clickAt(128, 128);
    press(Qt::Key_E);
    clickAt(32, 0);
    press(Qt::Key_E);
    // The event brush, as the script editor leaves it.
    M().LargeMode = false;
    M().EditLay = 8;
    M().EventMode = -1;
    M().CurEvent = G("开门");
    clickAt(32, 0);
    m.Menu_SaveMap_Click();
    const QByteArray saved = ReadBytes(M().MapPath);
    MapDocument doc;
    ASSERT_TRUE(ParseMapFile(saved, doc).ok);
    for (int layer = 1; layer <= TileLayers; ++layer)
        EXPECT_EQ(doc.layers[size_t(layer - 1)], M().LayData(layer)) << layer;
    EXPECT_EQ(doc.layers[0][1].event, G("开门"));
    EXPECT_EQ(doc.layers[0][1].obstacle, 1);
    EXPECT_EQ(doc.layers[2][4 * 12 + 5], (TileRec{64, 64, 2, 160, 128, "N", 0}));

    // Opened again and saved under another name: the same bytes.
    openMap(M().MapPath);
    const QString copy = game.path("Map/copy.jmap");
    dialogs.files = {copy};
    m.Menu_SaveAsAnotherMap_Click();
    EXPECT_EQ(ReadBytes(copy), saved);
}

TEST_F(CanvasTest, WithoutAMapOrOutsideASmallerOneNothingIsWritten)
{
    start();
    Main& m = main();
    m.show();
    // No map yet: clicks, moves, the fill and the tools do nothing harmful.
    click();
    click(Qt::RightButton);
    QTest::mouseClick(m.Picture1, Qt::LeftButton, {}, QPoint(5, 5));
    press(Qt::Key_Escape);
    m.show();
    press(Qt::Key_Q);
    click();
    press(Qt::Key_X);
    press(Qt::Key_F8);
    click();
    QMouseEvent e(QEvent::MouseMove, QPointF(40, 40), QPointF(40, 40), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(m.MainPic, &e);
    EXPECT_TRUE(dialogs.messages.isEmpty()) << dialogs.messages.join("|").toStdString();

    // A box left beyond the right edge of a smaller map names no cell, so a
    // click writes nothing into the next row.
    press(Qt::Key_E);
    press(Qt::Key_Q);
    openMap(writeMap("wide.jmap", EmptyMap(20, 15)));
    m.show();
    pickTile(0, 32, 32);
    M().EditLay = 1;
    at(15 * 32, 0);
    openMap(writeMap("small.jmap", EmptyMap(10, 5)));
    click();
    EXPECT_EQ(M().CurIndex, -1);
    for (const TileRec& t : M().GroundLayData)
        ASSERT_TRUE(Empty(t));
    // The box is pulled back over the map by the mouse on the composite.
    QMouseEvent back(QEvent::MouseMove, QPointF(100, 10), QPointF(100, 10), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(m.Picture1, &back);
    EXPECT_EQ(m.MainPic->x(), 14 * 32);
}

// A block taken out of one map, or a region copy still being drawn, does
// not follow the map maker into the next map opened: its picture and the
// cells its records come from belong to the map it was taken from. The
// brush from before it comes back, and a right click on the box starts a
// region copy of the new map.
TEST_F(CanvasTest, OpeningAMapDropsABlockTakenFromTheLastOne)
{
    MapDocument first = EmptyMap(20, 15);
    for (TileRec& t : first.layers[1])
        t = TileRec{0, 0, 2, 0, 0, "N", 0};
    MapDocument second = EmptyMap(20, 15);
    for (int i = 0; i < 300; ++i)
        second.layers[1][size_t(i)] = TileRec{64, 32, 1, int16_t(i % 20 * 32), int16_t(i / 20 * 32), "N", 0};
    const QString next = writeMap("next.jmap", second);
    struct Case {
        const char* name;
        bool finished; // the band closed with a left press on the map
    } cases[] = {{"block taken", true}, {"copy armed", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        startWithMap(first);
        Main& m = main();
        pickTile(0, 224, 0);
        const QImage tile = m.MainPic->pic().snapshot();
        M().EditLay = 2;
        at(64, 96);
        click(Qt::RightButton, QPoint(0, 0));
        QMouseEvent move(QEvent::MouseMove, QPointF(160, 192), QPointF(160, 192), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(m.Picture1, &move);
        if (c.finished) {
            QTest::mouseClick(m.Picture1, Qt::LeftButton, {}, QPoint(5, 5));
            ASSERT_EQ(M().TakeOutBrush, -1);
            ASSERT_EQ(M().BrushWidth, 96);
        } else {
            ASSERT_EQ(M().TakeOutMode, -1);
        }

        openMap(next);
        EXPECT_EQ(M().TakeOutMode, 0);
        EXPECT_EQ(M().TakeOutBrush, 0);
        EXPECT_FALSE(m.Line3->isVisible());
        EXPECT_TRUE(m.MainPic->isVisible());
        expectTileBrushBack(tile, M().Object2LayData);
        // A right click on the box starts a region copy of this map.
        at(32, 32);
        click(Qt::RightButton, QPoint(0, 0));
        EXPECT_EQ(M().TakeOutMode, -1);
        EXPECT_TRUE(m.Line3->isVisible());
    }
}

// Filling a layer again and again with a block that does not fall on the
// pictures' 128-pixel tiles leaves the layer as one fill leaves it: the same
// draws in every tile, the same brush pictures kept, the same pixels.
TEST_F(CanvasTest, RepeatedFillsHoldWhatOneFillHolds)
{
    MapDocument doc = EmptyMap(20, 15);
    for (int i = 0; i < 300; ++i)
        doc.layers[1][size_t(i)] = TileRec{int16_t(i % 8 * 32), 32, 1, int16_t(i % 20 * 32), int16_t(i / 20 * 32), "N", 0};
    startWithMap(doc);
    Main& m = main();
    pickBlock(0, 32, 0, 96, 64);
    M().EditLay = 2;
    struct Held {
        std::vector<std::vector<fr::PicDraw>> draws;
        int sources = 0;
        QImage pixels;
    };
    auto held = [&] {
        const fr::PicImage& layer = m.LayPicture(2);
        Held h;
        for (int y = 0; y < layer.height(); y += fr::TileSide)
            for (int x = 0; x < layer.width(); x += fr::TileSide)
                h.draws.push_back(layer.tileDraws(x, y));
        h.sources = layer.recipe()->sourceCount();
        h.pixels = layer.snapshot();
        return h;
    };
    press(Qt::Key_X);
    const Held once = held();
    for (int i = 0; i < 12; ++i)
        press(Qt::Key_X);
    const Held many = held();
    EXPECT_EQ(many.sources, once.sources);
    EXPECT_TRUE(many.draws == once.draws);
    EXPECT_EQ(many.pixels, once.pixels);
    EXPECT_EQ(many.pixels.pixel(19 * 32 + 5, 14 * 32 + 5), SheetPixel(0, 64 + 5, 5));
}
