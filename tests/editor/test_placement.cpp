// The NPC and monster placement forms: instances made, placed on the map
// and written as the map's list into the script editor's text.
#include "editor_fixture.h"

#include "tools/placement_form.h"
#include "ui_support.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>

using namespace tstest;
using namespace tilesmith;

namespace {

class PlacementForms : public EditorTest {
protected:
    void startWithMap()
    {
        start();
        openMap(writeMap("town.jmap", EmptyMap(20, 15)));
    }
    PlacementForm& npc()
    {
        PlacementForm& f = session->tools.ActiveNpc.get();
        return f;
    }
    PlacementForm& monster() { return session->tools.ActiveMonster.get(); }
    QByteArray scriptText()
    {
        QByteArray out;
        EXPECT_TRUE(session->tools.ScriptEditorForm.get().scriptText(out));
        return out;
    }
    void clickMapAt(int x, int y)
    {
        main().MainPic->move(x, y);
        QTest::mouseClick(main().MainPic, Qt::LeftButton, {}, QPoint(1, 1));
    }
    QByteArray value(const char* kind, int i, const char* var)
    {
        return session->procs.GetAttribValue(kind, i, var);
    }
};

} // namespace

TEST_F(PlacementForms, NpcsAreAddedPlacedAndInsertedAsTheMapsList)
{
    startWithMap();
    PlacementForm& f = npc();
    f.formActivate();
    ASSERT_GE(f.ImageCombo1->count(), 1);
    f.chooseKind(0);
    EXPECT_EQ(f.FrameIndex, 0);
    f.sheetMouseMove(40, 50); // column 1, row 1
    EXPECT_EQ(f.FrameIndex, 9);
    EXPECT_EQ(f.windowTitle(), QStringLiteral(" index:9"));
    f.addInstance();
    EXPECT_EQ(M().NpcCount, 1);
    EXPECT_EQ(f.List1->item(0)->text(), QStringLiteral("Npc1N"));
    EXPECT_EQ(value("npc", 0, "id"), "0");
    EXPECT_EQ(value("npc", 0, "curpicindex"), "9");

    f.placeOnMap();
    EXPECT_EQ(M().NpcPlacing, -1);
    EXPECT_EQ(M().BrushWidth, 32);
    EXPECT_EQ(M().BrushHeight, 48);
    EXPECT_EQ(main().MainPic->size(), QSize(32, 48));
    EXPECT_FALSE(f.isVisible());
    clickMapAt(96, 64);
    EXPECT_EQ(value("npc", 0, "lx"), "96");
    EXPECT_EQ(value("npc", 0, "ly"), "64");

    f.sheetMouseMove(0, 0);
    f.addInstance();
    f.placeOnMap();
    clickMapAt(32, 0);
    f.insertStatements();
    EXPECT_EQ(M().NpcPlacing, 0);
    EXPECT_TRUE(session->tools.ScriptEditorForm.get().isVisible());
    const QList<QByteArray> lines = scriptText().split('\n');
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[0].startsWith("AddNpc(,0,")) << lines[0].constData();
    EXPECT_TRUE(lines[0].contains(",9,96,64,")) << lines[0].constData();
    EXPECT_TRUE(lines[1].contains(",0,32,0,")) << lines[1].constData();
    EXPECT_TRUE(lines[1].endsWith(",);\r"));
    EXPECT_EQ(lines[0].count(','), 1 + M().NpcAttribCount);
    EXPECT_EQ(lines[2], "EOF");
}

TEST_F(PlacementForms, ActivationKeepsMemoryUntilTheMapOrItsListFileChanges)
{
    game.write("Script/town_npc.jsr", PlacementBytes("AddNpc(", {NpcEntry(2, 1, 64, 32), NpcEntry(3, 2, 0, 0)}));
    startWithMap();
    PlacementForm& f = npc();
    f.formActivate();
    ASSERT_EQ(f.List1->count(), 2);
    f.chooseKind(0);
    f.addInstance();
    EXPECT_EQ(M().NpcCount, 3);
    // Shown again (after a placement, a switch from the script editor):
    // the new instance stays.
    f.formActivate();
    EXPECT_EQ(M().NpcCount, 3);
    EXPECT_EQ(f.List1->count(), 3);
    EXPECT_EQ(M().CurNpc, -1);
    // The file saved anew: it is what counts.
    game.write("Script/town_npc.jsr", PlacementBytes("AddNpc(", {NpcEntry(2, 1, 64, 32), NpcEntry(3, 2, 0, 0)}) + "\r\n");
    f.formActivate();
    EXPECT_EQ(M().NpcCount, 2);
    EXPECT_EQ(f.List1->count(), 2);
    // Selecting shows the instance's values in the value list.
    f.selectInstance(1);
    EXPECT_EQ(M().CurNpc, 1);
    EXPECT_EQ(f.ListData->item(0)->text(), "3");
    EXPECT_EQ(f.Label13->text(), QStringLiteral("已选中第 2 个活动NPC"));
    // Another map without a list: its own (none) once opened.
    f.addInstance();
    openMap(writeMap("field.jmap", EmptyMap(10, 10)));
    f.formActivate();
    EXPECT_EQ(M().NpcCount, 0);
}

TEST_F(PlacementForms, TheMonsterFrameIsPickedByAClickTheNpcFrameByAPress)
{
    startWithMap();
    PlacementForm& m = monster();
    m.formActivate();
    m.chooseKind(0);
    m.addInstance();
    M().MonsterValues[0][2] = "0";
    m.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&m));
    ClickRow(m.List1, m.List1->item(0)->text()); // showing it selected none
    SendMouse(m.SonPicture, QEvent::MouseMove, {130, 200}, Qt::NoButton, Qt::NoButton);
    QTest::mousePress(m.SonPicture, Qt::LeftButton, {}, QPoint(130, 200));
    EXPECT_EQ(value("monster", 0, "curpicindex"), "0"); // a press alone picks nothing
    QTest::mouseRelease(m.SonPicture, Qt::LeftButton, {}, QPoint(130, 200));
    EXPECT_EQ(m.FrameX, 128);
    EXPECT_EQ(m.FrameY, 192);
    EXPECT_EQ(value("monster", 0, "curpicindex"), "11");
    const fr::PicImage& sheet = main().ReTempPic[4];
    EXPECT_EQ(m.InitPicture->pic().snapshot().pixel(10, 10), sheet.snapshot().pixel(128 + 10, 192 + 10));
    // Pressed with the right button, or released off the band: no pick.
    SendMouse(m.SonPicture, QEvent::MouseMove, {10, 10}, Qt::NoButton, Qt::NoButton);
    QTest::mouseClick(m.SonPicture, Qt::RightButton, {}, QPoint(10, 10));
    EXPECT_EQ(value("monster", 0, "curpicindex"), "11");

    PlacementForm& n = npc();
    n.formActivate();
    n.chooseKind(0);
    n.addInstance();
    n.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&n));
    ClickRow(n.List1, n.List1->item(0)->text());
    SendMouse(n.SonPicture, QEvent::MouseMove, {40, 50}, Qt::NoButton, Qt::NoButton);
    QTest::mousePress(n.SonPicture, Qt::RightButton, {}, QPoint(40, 50));
    EXPECT_EQ(value("npc", 0, "curpicindex"), "9");
    QTest::mouseRelease(n.SonPicture, Qt::RightButton, {}, QPoint(40, 50));
}

TEST_F(PlacementForms, TheRectangleTheDivisionAndTheGridAreDrawn)
{
    startWithMap();
    PlacementForm& f = npc();
    f.formActivate();
    f.chooseKind(0);
    f.addInstance();
    f.show();
    // A drag with the left button: the line while it is drawn, then the
    // rectangle; a drag with the right: the division line.
    SendMouse(f.InitPicture, QEvent::MouseButtonPress, {10, 40}, Qt::LeftButton, Qt::LeftButton);
    SendMouse(f.InitPicture, QEvent::MouseMove, {10, 5}, Qt::NoButton, Qt::LeftButton);
    EXPECT_TRUE(f.Line11Visible);
    EXPECT_EQ(f.Line11, QLine(10, 40, 10, 5));
    SendMouse(f.InitPicture, QEvent::MouseButtonRelease, {10, 5}, Qt::LeftButton, Qt::NoButton);
    EXPECT_FALSE(f.Line11Visible);
    EXPECT_TRUE(f.Shape1Visible);
    EXPECT_EQ(f.Shape1, QRect(10, 5, 12, 35));
    Drag(f.InitPicture, {3, 30}, {3, 33}, Qt::RightButton);
    EXPECT_EQ(f.Line10Y, 33);
    EXPECT_EQ(value("npc", 0, "division"), "33");
    const QImage shown = f.InitPicture->grab().toImage();
    EXPECT_EQ(shown.pixel(10, 20), qRgb(255, 0, 0)); // left edge
    EXPECT_EQ(shown.pixel(21, 20), qRgb(255, 0, 0)); // right edge
    EXPECT_EQ(shown.pixel(1, 33), qRgb(255, 0, 255));
    // The NPC band's cells: columns every 32 pixels, the row line at y 47.
    const QImage band = f.SonPicture->grab().toImage();
    EXPECT_EQ(band.pixel(32, 10), qRgb(0, 0, 0));
    EXPECT_EQ(band.pixel(224, 80), qRgb(0, 0, 0));
    EXPECT_EQ(band.pixel(100, 47), qRgb(0, 0, 0));
    // The monster band: two column lines and a row line every 64 pixels.
    PlacementForm& m = monster();
    EXPECT_EQ(m.gridLines().size(), 2u + 7u);
    EXPECT_EQ(m.gridLines().back(), QLine(0, 448, 192, 448));
}

TEST_F(PlacementForms, DeleteShiftsLaterInstancesAndTheLimitIsFifty)
{
    startWithMap();
    PlacementForm& f = npc();
    f.formActivate();
    f.chooseKind(0);
    for (int i = 0; i < 5; ++i) {
        f.addInstance();
        M().NpcValues[i][1] = QByteArray::number(i * 10);
    }
    f.selectInstance(2);
    f.deleteInstance();
    EXPECT_EQ(M().NpcCount, 4);
    EXPECT_EQ(M().CurNpc, 1);
    EXPECT_EQ(M().NpcValues[2][1], "30");
    EXPECT_EQ(M().NpcValues[3][1], "40");
    EXPECT_EQ(f.List1->count(), 4);

    while (M().NpcCount < 50)
        f.addInstance();
    EXPECT_EQ(dialogs.messages.size(), 0);
    f.addInstance();
    EXPECT_EQ(M().NpcCount, 50);
    EXPECT_EQ(f.List1->count(), 50);
    EXPECT_EQ(dialogs.count(QStringLiteral("超过一张地图内最大npc数目！")), 1);
}

TEST_F(PlacementForms, EffectiveRectangleIsSymmetricAboutTheFrameMiddle)
{
    startWithMap();
    struct Case {
        bool npc;
        int x, y1, y2;
        const char *l, *t, *r, *b;
    };
    for (const Case& c : {Case{true, 10, 40, 5, "10", "5", "22", "40"}, Case{true, 22, 5, 40, "10", "5", "22", "40"},
                          Case{false, 20, 0, 10, "20", "0", "44", "10"},
                          Case{false, 44, 0, 10, "20", "0", "44", "10"}}) {
        PlacementForm& f = c.npc ? npc() : monster();
        const char* kind = c.npc ? "npc" : "monster";
        f.formActivate();
        f.chooseKind(0);
        f.addInstance();
        f.initMouseDown(1, c.x, c.y1);
        f.initMouseMove(1, c.x, c.y2);
        f.initMouseUp(1, c.x, c.y2);
        const int i = c.npc ? M().CurNpc : M().CurMonster;
        EXPECT_EQ(value(kind, i, "eleft"), c.l) << c.x;
        EXPECT_EQ(value(kind, i, "etop"), c.t) << c.x;
        EXPECT_EQ(value(kind, i, "eright"), c.r) << c.x;
        EXPECT_EQ(value(kind, i, "ebottom"), c.b) << c.x;
        f.initMouseMove(2, 0, 30);
        EXPECT_EQ(value(kind, i, "division"), "30");
    }
    // The monster band is three frames wide: (130, 200) is frame 11.
    monster().sheetMouseMove(130, 200);
    EXPECT_EQ(monster().FrameX, 128);
    EXPECT_EQ(monster().FrameY, 192);
    EXPECT_EQ(monster().FrameIndex, 11);
}

TEST_F(PlacementForms, MonstersDeletedOnTheMapAreLeftOutOfTheList)
{
    game.write("Script/town_monster.jsr",
               PlacementBytes("AddMonster(", {MonsterEntry(2, 0, 64, 32), MonsterEntry(-1, 0, -1, -1),
                                              MonsterEntry(0, 3, 0, 0)}));
    startWithMap();
    PlacementForm& f = monster();
    f.formActivate();
    ASSERT_EQ(M().MonsterCount, 3);
    EXPECT_EQ(f.Label12->text(), QStringLiteral("本地图共有 3 个Monster"));
    f.insertStatements();
    const QList<QByteArray> lines = scriptText().split('\n');
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[0].startsWith("AddMonster(,2,"));
    EXPECT_TRUE(lines[1].startsWith("AddMonster(,0,"));
    EXPECT_EQ(lines[2], "EOF");
    EXPECT_EQ(dialogs.count(QStringLiteral("monster attrib_0<0")), 1);
}

TEST_F(PlacementForms, AValueThatWouldSplitIsRefusedAndTheTextKept)
{
    startWithMap();
    PlacementForm& f = npc();
    f.formActivate();
    f.chooseKind(0);
    f.addInstance();
    M().NpcValues[0][1] = "a,b";
    session->tools.ScriptEditorForm.get().setScriptText("keep");
    f.insertStatements();
    EXPECT_EQ(scriptText(), "keep");
    EXPECT_EQ(dialogs.count(QStringLiteral("含有逗号")), 1);
    // Return disarms a placement.
    f.placeOnMap();
    f.returnToScript();
    EXPECT_EQ(M().NpcPlacing, 0);
}

TEST_F(PlacementForms, InstancesWithoutAUsableFrameShowAnEmptyPicture)
{
    startWithMap();
    for (PlacementForm* f : {&npc(), &monster()}) {
        const bool isNpc = f == &npc();
        ValueTable& v = isNpc ? M().NpcValues : M().MonsterValues;
        f->formActivate();
        f->chooseKind(0);
        f->addInstance();
        struct Case {
            const char *id, *frame;
        };
        for (const Case& c : {Case{"-1", "0"}, Case{"99", "0"}, Case{"0", "24"}, Case{"x", "1"}, Case{"0", "-5"},
                              Case{"99999999999", "-5"}}) {
            v[0][0] = c.id;
            v[0][2] = c.frame;
            f->selectInstance(0);
            const QImage shown = f->InitPicture->pic().snapshot();
            EXPECT_EQ(shown.pixel(5, 5), qRgb(255, 255, 255)) << c.id << " " << c.frame;
        }
    }
}

TEST_F(PlacementForms, SelectingAnInstanceOfAFullListAddsNoRow)
{
    startWithMap();
    PlacementForm& f = npc();
    const int shown = f.ListData->count();
    // A list of 51 records: the lists show 50 of them.
    for (int a = M().NpcAttribCount; a < AttribSlots; ++a)
        M().NpcAttribs[a] = {static_cast<int16_t>(a), "n", "textbox", "all", "d", "v" + QByteArray::number(a), -1, ""};
    M().NpcAttribCount = AttribSlots;
    M().NpcCount = 1;
    M().NpcValues[0][50] = "last";
    f.selectInstance(0);
    EXPECT_EQ(f.ListData->count(), shown);
    EXPECT_EQ(M().NpcAttribs[50].data, "last");
}

// A drag that leaves the frame band with a button held is over no frame:
// the frame last under the mouse stays chosen, so the index never leaves the
// kind's frames (16 for an NPC, 24 for a monster).
TEST_F(PlacementForms, DraggingOffTheBandKeepsTheFrameInsideTheKind)
{
    startWithMap();
    struct Case {
        PlacementForm* form;
        const char* kind;
        QPoint inside, outside;
        const char* frame;
    };
    for (const Case& c : {Case{&npc(), "npc", {40, 10}, {300, 60}, "1"},
                          Case{&monster(), "monster", {70, 10}, {250, 600}, "1"}}) {
        PlacementForm& f = *c.form;
        f.formActivate();
        f.chooseKind(0);
        f.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
        SendMouse(f.SonPicture, QEvent::MouseMove, c.inside, Qt::NoButton, Qt::NoButton);
        Drag(f.SonPicture, c.inside, c.outside);
        EXPECT_EQ(f.FrameIndex, 1) << c.kind;
        ClickAt(f.Command1, f.Command1->rect().center());
        EXPECT_EQ(value(c.kind, 0, "curpicindex"), c.frame);
    }
}

// What the canvas shows is what the map file will hold: before any pick the
// brush paints the tile it records, and once a placement ends its sprite
// leaves the cursor box, which paints the brush's tile again.
TEST_F(PlacementForms, TheBrushPaintsWhatItRecordsBeforeAPickAndAfterAPlacement)
{
    startWithMap();
    Main& m = main();
    m.show();
    const QImage sheet = m.ReTempPic[size_t(M().BrushSheet)].snapshot();
    const QPoint src(int(M().BrushX), M().BrushY);
    auto paintedAt = [&](int x, int y) {
        const TileRec& t = M().LayData(1)[size_t((y / 32) * 20 + x / 32)];
        EXPECT_EQ(t.sheet, M().BrushSheet);
        EXPECT_EQ(QPoint(t.srcX, t.srcY), src);
        for (const QPoint p : {QPoint(3, 3), QPoint(16, 20), QPoint(30, 29)})
            EXPECT_EQ(m.Ground_Lay.pixel(x + p.x(), y + p.y()), sheet.pixel(src + p)) << x << "," << y;
    };
    clickMapAt(32, 32);
    paintedAt(32, 32);

    for (PlacementForm* f : {&npc(), &monster()}) {
        f->formActivate();
        f->chooseKind(0);
        f->addInstance();
        ClickAt(f->Command4, f->Command4->rect().center());
        clickMapAt(64, 64); // placed: the editors come back
        EXPECT_FALSE(m.isVisible());
        ClickAt(f->Command7, f->Command7->rect().center()); // 返回 ends the placement
        EXPECT_EQ(m.MainPic->size(), QSize(32, 32));
        EXPECT_EQ(M().BrushHeight, 32);
        m.show();
        clickMapAt(160, 96);
        paintedAt(160, 96);
    }
}
