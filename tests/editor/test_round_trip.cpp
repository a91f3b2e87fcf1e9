// The editor half of the round trip: a game folder made from a copy of the
// demo folder only through what a map maker presses and clicks (a tile
// from the picker, an obstacle, an event with a Chinese name painted with
// the event brush, its script written and saved in the script editor, the
// role, two NPCs and a monster placed on the map and their statements
// saved), and what the game must find in it. The game's half
// (tests/game/roundtrip_test.cpp) plays that folder.
#include "demo_fixture.h"

#include "shell/picker_form.h"

#include "platform/gbk.h"

#include <QMouseEvent>
#include <QPushButton>

using namespace tstest;
using namespace tilesmith;

namespace {

class RoundTrip : public DemoEditorTest {
protected:
    void click(QPushButton* b) { QTest::mouseClick(b, Qt::LeftButton); }
    int cell(int col, int row) const { return row * 20 + col; }
    // Places the current NPC or monster of `f` at (x, y) with a new
    // instance of its first kind.
    void placeNew(PlacementForm& f, int x, int y)
    {
        chooseItem(f.ImageCombo1, 0);
        click(f.Command1);
        click(f.Command4);
        ASSERT_TRUE(main().isVisible());
        clickMapAt(x, y);
        ASSERT_TRUE(f.isVisible());
    }
};

void Move(QWidget* w, int x, int y)
{
    QMouseEvent e(QEvent::MouseMove, QPointF(x, y), w->mapToGlobal(QPointF(x, y)), Qt::NoButton, Qt::NoButton,
                  Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

} // namespace

TEST_F(RoundTrip, EditorMakesAGameFolder)
{
    // Run as the first of the CTest fixture "roundtrip.*", which names the
    // folder in the build tree that both halves use.
    const QString out = qEnvironmentVariable("TEV_ROUNDTRIP_DIR");
    if (out.isEmpty())
        GTEST_SKIP() << "runs as roundtrip.editor_makes_game";
    QDir(out).removeRecursively();
    startOnDemo(out + "/game");
    const auto& ground = M().GroundLayData;
    for (int i : {cell(2, 13), cell(3, 13), cell(10, 13), cell(3, 8), cell(2, 7), cell(7, 12), cell(9, 12),
                  cell(12, 12)})
        ASSERT_EQ(ground[i].obstacle, 0) << i;

    // Tiles: Esc on Main opens the sheet picker; the tile at (64, 32) of
    // map1 is picked and painted on two ground cells.
    press(Qt::Key_Escape);
    PicResource& picker = main().PicResourceForm.get();
    ASSERT_TRUE(picker.isVisible());
    for (int i = 0; i < 10 && picker.MainPic->pos() != QPoint(64, 32); ++i)
        Move(picker.Picture1, 64 + 1, 32 + 1);
    ASSERT_EQ(picker.MainPic->pos(), QPoint(64, 32));
    QTest::mouseClick(picker.MainPic, Qt::LeftButton, {}, QPoint(4, 4));
    ASSERT_TRUE(main().isVisible());
    clickMapAt(64, 416);
    clickMapAt(96, 416);
    EXPECT_EQ(ground[cell(2, 13)].srcX, 64);
    EXPECT_EQ(ground[cell(3, 13)].srcY, 32);

    // An obstacle: E, a click, E.
    press(Qt::Key_E);
    clickMapAt(320, 416);
    press(Qt::Key_E);
    EXPECT_EQ(ground[cell(10, 13)].obstacle, 1);

    // The event's script, written and saved in the script editor.
    press(Qt::Key_Space);
    dialogs.files = {demo("Script/门1.jsr")};
    click(se().Command3);
    typeScript("static int opened = 1;\nEOF");
    seKey(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(ReadBytes(demo("Script/门1.jsr")), "static int opened = 1;\r\nEOF\r\n");
    // The event brush, and a click on the cell right of the role's start.
    DoubleClickRow(se().FileTable, QStringLiteral("门1.jsr"));
    ASSERT_TRUE(main().isVisible());
    clickMapAt(96, 256);
    EXPECT_EQ(ground[cell(3, 8)].event, G("门1"));

    // Two NPCs and a monster, placed and inserted, their texts saved as the
    // map's lists.
    press(Qt::Key_Space);
    seKey(Qt::Key_F1);
    PlacementForm& npcs = session->tools.ActiveNpc.get();
    const int npcsBefore = M().NpcCount;
    placeNew(npcs, 224, 384);
    placeNew(npcs, 288, 384);
    ASSERT_EQ(M().NpcCount, npcsBefore + 2);
    click(npcs.Command5);
    dialogs.files = {demo("Script/demo_npc.jsr")};
    click(se().Command1);
    seKey(Qt::Key_F2);
    PlacementForm& monsters = session->tools.ActiveMonster.get();
    const int monstersBefore = M().MonsterCount;
    placeNew(monsters, 384, 384);
    ASSERT_EQ(M().MonsterCount, monstersBefore + 1);
    click(monsters.Command5);
    dialogs.files = {demo("Script/demo_monster.jsr")};
    click(se().Command1);

    // The role: gameinit is loaded, the role placed and its statement
    // inserted; the map maker then puts it in place of the old one, before
    // the script's end.
    ClickRow(se().FileTable, "gameinit.jsr");
    seKey(Qt::Key_F4);
    RoleForm& role = session->tools.AddRole.get();
    click(role.Command1);
    clickMapAt(64, 224);
    click(role.Command5);
    ASSERT_EQ(M().RoleX, 64);
    ASSERT_EQ(M().RoleY, 224);
    QStringList lines = se().Text1->toPlainText().split('\n');
    QString inserted;
    for (const QString& l : lines)
        if (l.startsWith("AddRole(") && l.contains(",64,224,"))
            inserted = l;
    ASSERT_FALSE(inserted.isEmpty()) << se().Text1->toPlainText().toStdString();
    QStringList script;
    for (const QString& l : lines) {
        if (l.startsWith("AddRole("))
            script << inserted;
        else if (!l.isEmpty())
            script << l;
        if (l == "EOF")
            break;
    }
    retypeScript(script.join('\n') + '\n');
    seKey(Qt::Key_S, Qt::ControlModifier);
    QByteArray insertedGbk;
    ASSERT_TRUE(fr::gbk::encode(inserted, insertedGbk));
    EXPECT_TRUE(ReadBytes(demo("Script/gameinit.jsr")).contains(insertedGbk + "\r\n"));
    EXPECT_TRUE(ReadBytes(demo("Script/gameinit.jsr")).endsWith("EOF\r\n"));

    // The map, saved from Main.
    seKey(Qt::Key_Escape);
    press(Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(main().MapSaved, -1) << dialogs.messages.join("|").toStdString();
    // Every script written ends its lines with CR LF.
    for (const char* name : {"门1.jsr", "demo_npc.jsr", "demo_monster.jsr", "gameinit.jsr"}) {
        const QByteArray bytes = ReadBytes(demo(QString("Script/") + name));
        EXPECT_EQ(bytes.count('\n'), bytes.count("\r\n")) << name;
    }

    // What the game must show: the cells, the role, the NPCs and monsters
    // in list order, the event.
    QByteArray expected = "map 20 15\n";
    auto value = [&](const char* kind, int i, const char* var) {
        return session->procs.GetAttribValue(kind, i, var);
    };
    expected += "role " + QByteArray::number(M().RoleDir) + ' ' + QByteArray::number(M().RoleX) + ' ' +
                QByteArray::number(M().RoleY) + '\n';
    for (int i = 0; i < M().NpcCount; ++i)
        expected += "npc " + value("npc", i, "id") + ' ' + value("npc", i, "curpicindex") + ' ' +
                    value("npc", i, "lx") + ' ' + value("npc", i, "ly") + '\n';
    for (int i = 0; i < M().MonsterCount; ++i)
        expected += "monster " + value("monster", i, "id") + ' ' + value("monster", i, "curpicindex") + ' ' +
                    value("monster", i, "lx") + ' ' + value("monster", i, "ly") + '\n';
    expected += "event 3 8 " + G("门1").toHex() + '\n';
    WriteBytes(out + "/expected.txt", expected);
    WriteBytes(out + "/expected.cells", MapCellList(M()));
}
