// Opening maps: through the dialog (backup, recent map) and again from the
// recent map; sprites; and every failed or cancelled open leaving the
// document exactly as it was.
#include "editor_fixture.h"

#include "platform/gbk.h"
#include "shell/recent_map.h"
#include "shell/size_form.h"

#include <QDir>
#include <QDirIterator>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>

using namespace tstest;
using namespace tilesmith;

namespace {

// A 20×15 map with some of everything.
MapDocument SampleMap()
{
    MapDocument d = EmptyMap(20, 15, 1, 320, 240);
    for (int i = 0; i < 300; ++i) {
        TileRec& g = d.layers[0][i];
        g.sheet = 0;
        g.srcX = (i % 8) * 32;
        g.srcY = 32;
        g.mapX = (i % 20) * 32;
        g.mapY = (i / 20) * 32;
    }
    d.layers[0][21].obstacle = 1;
    d.layers[0][22].event = G("宝箱");
    d.layers[0][23].obstacle = 2;
    d.layers[2][10] = TileRec{0, 0, 2, 400, 100, "N", 0}; // drawn away from its own cell
    TileRec& tree = d.layers[4][45];
    tree = TileRec{64, 64, 1, 160, 64, "N", 0};
    return d;
}

class OpenMap : public EditorTest {
protected:
    // Everything an open may change, to compare before and after.
    struct Snapshot {
        QString path;
        QString width, height;
        int16_t tiles, dir, x, y, npcs, monsters, saved;
        std::vector<TileRec> layers[7];
        ValueTable npcValues;
        QImage picture;
        QString status;
        bool operator==(const Snapshot& o) const
        {
            for (int i = 0; i < 7; ++i)
                if (layers[i] != o.layers[i])
                    return false;
            return path == o.path && width == o.width && height == o.height && tiles == o.tiles && dir == o.dir &&
                   x == o.x && y == o.y && npcs == o.npcs && monsters == o.monsters && saved == o.saved &&
                   npcValues == o.npcValues && picture == o.picture && status == o.status;
        }
    };
    Snapshot snap()
    {
        Snapshot s{M().MapPath,
                   M().MapWidth.print(),
                   M().MapHeight.print(),
                   M().TileCount,
                   M().RoleDir,
                   M().RoleX,
                   M().RoleY,
                   M().NpcCount,
                   M().MonsterCount,
                   main().MapSaved,
                   {},
                   M().NpcValues,
                   main().Picture1->pic().snapshot(),
                   main().TF_maininfo->text()};
        for (int l = 1; l <= 7; ++l)
            s.layers[l - 1] = M().LayData(l);
        return s;
    }
    QString recentFile() const { return game.path("editor/RecentMap.txt"); }
};

} // namespace

TEST_F(OpenMap, ThroughTheDialogWithBackupAndRecentMap)
{
    start();
    const QString path = writeMap("demo.jmap", SampleMap());
    game.write("Script/demo_npc.jsr", PlacementBytes("AddNpc(", {NpcEntry(0, 0, 32, 32), NpcEntry(1, 4, 96, 32)}));
    dialogs.files = {path};
    main().Menu_OpenMap_Click();
    ASSERT_EQ(dialogs.fileDialogs.size(), 1u);
    const fr::CommonDialogState& asked = dialogs.fileDialogs[0];
    EXPECT_EQ(asked.initDir, game.editorDir()); // nothing remembered yet
    EXPECT_EQ(asked.title, QStringLiteral("打开地图"));
    EXPECT_EQ(asked.filter, QStringLiteral("地图文件|*.jmap|所有文件|*.*"));

    EXPECT_TRUE(dialogs.messages.isEmpty()) << dialogs.messages.join("|").toStdString();
    EXPECT_EQ(M().MapPath, path);
    EXPECT_EQ(ReadBytes(game.path("Map/BMap/demo.jmap")), ReadBytes(path));
    // A map of the game folder is remembered by its name in the folder.
    EXPECT_EQ(ReadBytes(recentFile()), "\"Map\\demo.jmap\"\r\n");
    EXPECT_EQ(main().TF_maininfo->text(), QStringLiteral("文件已打开! 打开后已备份到Map\\BMap"));
    const MapDocument direct = SampleMap();
    EXPECT_EQ(M().TileCount, 300);
    EXPECT_EQ(M().MapWidth.print(), "20");
    EXPECT_EQ(M().RoleX, 320);
    for (int l = 1; l <= 7; ++l)
        EXPECT_EQ(M().LayData(l), direct.layers[l - 1]) << "layer " << l;
    EXPECT_EQ(M().NpcCount, 2);
    EXPECT_EQ(M().MonsterCount, 0);
    EXPECT_EQ(M().BrushSheetName, M().CurSheet);
    EXPECT_EQ(main().MapSaved, 0);
    EXPECT_TRUE(main().Picture1->isVisible());
    EXPECT_EQ(main().Picture1->size(), QSize(640, 480));
    EXPECT_TRUE(main().isVisible());
    // Markers: the obstacle alone, the event over it, and a tile at the
    // place its line gives.
    EXPECT_NE(main().Incident_Lay.pixel(21 * 32 - 640 + 9, 32 + 9), 0xFF0000FFu);
    EXPECT_EQ(main().Incident_Lay.pixel(22 * 32 - 640 + 16, 32 + 12), qRgb(20, 200, 40));
    EXPECT_EQ(main().Incident_Lay.pixel(23 * 32 - 640 + 16, 32 + 12), 0xFF0000FFu);
    EXPECT_EQ(main().Object3_Lay.pixel(400, 100), SheetColour(2, 0, true));
    EXPECT_EQ(main().Object3_Lay.pixel(320, 0), 0xFF0000FFu);

    // The next dialog starts in the remembered map's folder.
    dialogs.files = {""};
    main().Menu_OpenMap_Click();
    EXPECT_EQ(dialogs.fileDialogs.back().initDir, game.path("Map/"));
}

TEST_F(OpenMap, RecentMapReopensWithoutBackupOrRewrite)
{
    start();
    dialogs.messages.clear();
    main().Menu_OpenRecentMap_Click();
    EXPECT_EQ(dialogs.messages, QStringList{QStringLiteral("地图不存在！请用打开方式选择地图。")});
    EXPECT_TRUE(M().MapPath.isEmpty());

    const QString path = writeMap("demo.jmap", SampleMap());
    dialogs.files = {path};
    main().Menu_OpenMap_Click();
    QFile::remove(game.path("Map/BMap/demo.jmap"));
    const QByteArray recent = ReadBytes(recentFile());
    main().MapSaved = -1;
    main().Menu_OpenRecentMap_Click();
    EXPECT_EQ(M().MapPath, path);
    EXPECT_EQ(main().MapSaved, 0);
    EXPECT_FALSE(QFileInfo::exists(game.path("Map/BMap/demo.jmap")));
    EXPECT_EQ(ReadBytes(recentFile()), recent);
    EXPECT_EQ(main().TF_maininfo->text(), QStringLiteral("已打开最近地图! "));
}

// A relative name in the recent-map file, with either separator, is the game
// folder's own: a copied game folder opens its own map.
TEST_F(OpenMap, RecentMapNamedFromTheGameFolder)
{
    start();
    const QString path = writeMap("demo.jmap", SampleMap());
    for (const char* name : {"Map\\demo.jmap", "Map/demo.jmap", "map\\DEMO.jmap"}) {
        game.write("editor/RecentMap.txt", QByteArray("\"") + name + "\"\r\n");
        M().MapPath.clear();
        main().Menu_OpenRecentMap_Click();
        EXPECT_EQ(M().MapPath, path) << name;
    }
}

// A map opened through the dialog is remembered by its name in the game
// folder when it lies there (however the folder was reached), so the
// remembered name read in a copy of the folder is the copy's own map; a map
// anywhere else keeps its full path.
TEST_F(OpenMap, DialogRemembersAMapOfTheGameFolderByItsNameThere)
{
    start();
    QTemporaryDir other;
    const QString alias = other.path() + "/alias";
    ASSERT_TRUE(QFile::link(game.root(), alias));
    const QString sibling = game.root().chopped(1) + "2/m.jmap"; // a folder whose name only begins alike
    struct Case {
        QString chosen;
        QByteArray remembered; // empty: the full path
    } cases[] = {
        {game.path("Map/demo.jmap"), "Map\\demo.jmap"},
        {game.path("Map/sub/deep.jmap"), "Map\\sub\\deep.jmap"},
        {alias + "/Map/demo.jmap", "Map\\demo.jmap"},
        {other.path() + "/elsewhere.jmap", {}},
        {sibling, {}},
    };
    const QString copy = other.path() + "/copy/";
    for (const Case& c : cases) {
        WriteBytes(c.chosen, SerializeMap(SampleMap()));
        dialogs.messages.clear();
        dialogs.files = {c.chosen};
        main().Menu_OpenMap_Click();
        ASSERT_EQ(M().MapPath, c.chosen) << dialogs.messages.join("|").toStdString();
        QByteArray full;
        ASSERT_TRUE(fr::gbk::encode(c.chosen, full));
        const QByteArray expected = c.remembered.isEmpty() ? full : c.remembered;
        EXPECT_EQ(ReadBytes(recentFile()), "\"" + expected + "\"\r\n") << c.chosen.toStdString();
        WriteBytes(copy + "editor/RecentMap.txt", ReadBytes(recentFile()));
        const QString inCopy = c.remembered.isEmpty() ? c.chosen : copy + QString(c.remembered).replace('\\', '/');
        EXPECT_EQ(ReadRecentMap(copy + "editor/"), inCopy) << c.chosen.toStdString();
    }
}

TEST_F(OpenMap, FailedOrCancelledOpensChangeNothing)
{
    start();
    const QString good = writeMap("good.jmap", SampleMap());
    game.write("Script/good_npc.jsr", PlacementBytes("AddNpc(", {NpcEntry(0, 0, 32, 32)}));
    dialogs.files = {good};
    main().Menu_OpenMap_Click();
    ASSERT_EQ(M().MapPath, good);
    main().MapSaved = -1;
    const QByteArray recent = ReadBytes(recentFile());

    const QByteArray sample = SerializeMap(SampleMap());
    auto mutate = [&](int line, const QByteArray& text) {
        QList<QByteArray> lines = sample.split('\n');
        lines[line] = text + "\r";
        return lines.join('\n');
    };
    struct Case {
        const char* what;
        QByteArray bytes; // empty: no file is written
        QString chosen;
        const char* message;
    } cases[] = {
        {"cancel", {}, "", ""},
        {"no such file", {}, game.path("Map/none.jmap"), "文件不存在!请重新选择!"},
        {"truncated", sample.left(sample.indexOf("0,0,0,0,-1\r\n")), game.path("Map/bad.jmap"), "需要 2101 行"},
        {"x in a number", mutate(40, "0,x,0,0,0,-1,N"), game.path("Map/bad.jmap"), "第 41 行：第 2 个值“x”"},
        {"200 by 200", mutate(0, "200,200,1,0,0"), game.path("Map/bad.jmap"), "超过 32767 格"},
        {"sheet 7", mutate(400, "0,0,0,0,7"), game.path("Map/bad.jmap"), "图块表编号 7"},
    };
    for (const Case& c : cases) {
        if (!c.bytes.isEmpty()) {
            WriteBytes(c.chosen, c.bytes);
            // Lists beside the bad map must not be read into the document.
            game.write("Script/bad_npc.jsr", PlacementBytes("AddNpc(", {NpcEntry(5, 0, 0, 0), NpcEntry(6, 0, 0, 0)}));
        }
        const Snapshot before = snap();
        dialogs.messages.clear();
        dialogs.files = {c.chosen};
        main().Menu_OpenMap_Click();
        EXPECT_TRUE(snap() == before) << c.what;
        if (*c.message)
            EXPECT_TRUE(dialogs.saw(QString::fromUtf8(c.message))) << c.what << ": "
                                                                  << dialogs.messages.join("|").toStdString();
        else
            EXPECT_TRUE(dialogs.messages.isEmpty()) << c.what;
        EXPECT_EQ(ReadBytes(recentFile()), recent) << c.what;
        EXPECT_FALSE(QFileInfo::exists(game.path("Map/BMap/bad.jmap"))) << c.what;
    }
    // The same through the recent map.
    QString error;
    ASSERT_TRUE(WriteRecentMap(game.editorDir(), game.path("Map/bad.jmap"), error));
    const Snapshot before = snap();
    main().Menu_OpenRecentMap_Click();
    EXPECT_TRUE(snap() == before);
}

TEST_F(OpenMap, MissingBackupFolderKeepsTheMapOpenAndSaysSo)
{
    start();
    QDir(game.path("Map/BMap")).removeRecursively();
    const QString path = writeMap("demo.jmap", SampleMap());
    dialogs.files = {path};
    main().Menu_OpenMap_Click();
    EXPECT_EQ(M().MapPath, path);
    EXPECT_TRUE(dialogs.saw(QStringLiteral("没有备份")));
    EXPECT_FALSE(main().TF_maininfo->text().contains(QStringLiteral("已备份")));
    EXPECT_FALSE(QFileInfo::exists(game.path("Map/BMap")));
    EXPECT_FALSE(ReadBytes(recentFile()).isEmpty());

    // A map opened from the backup folder itself is not copied onto itself.
    QDir().mkpath(game.path("Map/BMap"));
    const QString inBackup = writeMap("BMap/old.jmap", SampleMap());
    const QByteArray bytes = ReadBytes(inBackup);
    dialogs.messages.clear();
    dialogs.files = {inBackup};
    main().Menu_OpenMap_Click();
    EXPECT_EQ(ReadBytes(inBackup), bytes);
    EXPECT_TRUE(dialogs.messages.isEmpty()) << dialogs.messages.join("|").toStdString();
}

TEST_F(OpenMap, SpritesComeFromTheirSheetCells)
{
    start();
    const QString path = writeMap("demo.jmap", EmptyMap(20, 20));
    game.write("Script/demo_npc.jsr", PlacementBytes("AddNpc(", {NpcEntry(1, 9, 64, 32)}));
    game.write("Script/demo_monster.jsr", PlacementBytes("AddMonster(", {MonsterEntry(1, 4, 200, 300)}));
    dialogs.files = {path};
    main().Menu_OpenMap_Click();
    const fr::PicImage& lay = main().Npc_Lay;
    // NPC frame 9 of kind 1: cell (32, 144), index 3 × 8 + 1.
    EXPECT_EQ(lay.pixel(69, 37), SheetColour(3, 25, false));
    EXPECT_EQ(lay.pixel(64, 32), SheetColour(3, 25, true));
    EXPECT_EQ(lay.pixel(63, 32), 0xFF0000FFu);
    EXPECT_EQ(lay.pixel(95, 79), SheetColour(3, 25, false));
    EXPECT_EQ(lay.pixel(96, 80), 0xFF0000FFu);
    // Monster frame 4 of kind 1: cell (64, 576), index 9 × 3 + 1.
    EXPECT_EQ(lay.pixel(200, 300), SheetColour(4, 28, true));
    EXPECT_EQ(lay.pixel(263, 363), SheetColour(4, 28, false));
    EXPECT_TRUE(dialogs.messages.isEmpty()) << dialogs.messages.join("|").toStdString();
}

TEST_F(OpenMap, BadSpriteValuesSkipTheSpriteWithOneMessage)
{
    start();
    const QString path = writeMap("demo.jmap", EmptyMap(20, 15));
    QStringList text = NpcEntry(0, 0, 32, 32);
    text[3] = "abc";
    QStringList beyond = NpcEntry(900, 0, 0, 0); // no such kind on the sheet
    game.write("Script/demo_npc.jsr",
               PlacementBytes("AddNpc(", {text, text, beyond, beyond, NpcEntry(0, 0, 128, 128)}));
    QString error;
    ASSERT_TRUE(WriteRecentMap(game.editorDir(), path, error));
    fr::guarded([&] { main().Menu_OpenRecentMap_Click(); });
    EXPECT_EQ(M().MapPath, path);
    EXPECT_EQ(M().NpcCount, 5);
    EXPECT_EQ(dialogs.count(QStringLiteral("不是整数")), 1);
    EXPECT_EQ(dialogs.count(QStringLiteral("不在它的图块表里")), 1);
    EXPECT_EQ(main().Npc_Lay.pixel(128, 128), SheetColour(3, 0, true));

    // A list without "lx": one message for the whole open, no sprites.
    QByteArray list = NpcAttribListBytes();
    list.replace("\"lx\"", "\"lxx\"");
    game.write("editor/NpcAttribList.txt", list);
    session->procs.LoadNpcAttribList("NpcAttribList.txt");
    dialogs.messages.clear();
    fr::guarded([&] { main().Menu_OpenRecentMap_Click(); });
    EXPECT_EQ(dialogs.messages, QStringList{QStringLiteral("GetAttribValue没找到变量lx")});
    EXPECT_TRUE(main().Npc_Lay.isBlank());
}

TEST_F(OpenMap, PlacementListsBelongToTheMapBeingOpened)
{
    start();
    const QString a = writeMap("a.jmap", EmptyMap(20, 15));
    game.write("Script/a_npc.jsr", PlacementBytes("AddNpc(", {NpcEntry(0, 0, 0, 0), NpcEntry(0, 0, 40, 0)}));
    game.write("Script/a_monster.jsr", PlacementBytes("AddMonster(", {MonsterEntry(0, 0, 0, 0)}));
    // Another game folder's map, with no lists of its own.
    WriteBytes(game.path("other/Map/b.jmap"), SerializeMap(EmptyMap(20, 15)));
    QString error;
    ASSERT_TRUE(WriteRecentMap(game.editorDir(), a, error));
    main().Menu_OpenRecentMap_Click();
    EXPECT_EQ(M().NpcCount, 2);
    EXPECT_EQ(M().MonsterCount, 1);
    dialogs.files = {game.path("other/Map/b.jmap")};
    main().Menu_OpenMap_Click();
    EXPECT_EQ(M().MapPath, game.path("other/Map/b.jmap"));
    EXPECT_EQ(M().NpcCount, 0);
    EXPECT_EQ(M().MonsterCount, 0);
    EXPECT_TRUE(main().Npc_Lay.isBlank());
}

TEST_F(OpenMap, PathsTheRecentFileCannotHoldAreNotWritten)
{
    start();
    QString error;
    const QString first = writeMap("first.jmap", EmptyMap(20, 15));
    ASSERT_TRUE(WriteRecentMap(game.editorDir(), first, error));
    const QByteArray recent = ReadBytes(recentFile());
    for (const QString& folder : {QStringLiteral("say \"hi\""), QStringLiteral("emoji😀")}) {
        const QString path = game.path(folder + "/Map/x.jmap");
        WriteBytes(path, SerializeMap(EmptyMap(20, 15)));
        dialogs.messages.clear();
        dialogs.files = {path};
        main().Menu_OpenMap_Click();
        EXPECT_EQ(M().MapPath, path); // the map itself opens
        EXPECT_TRUE(dialogs.saw(QStringLiteral("没有记下最近打开的地图"))) << folder.toStdString();
        EXPECT_EQ(ReadBytes(recentFile()), recent) << folder.toStdString();
    }
}

TEST_F(OpenMap, ChosenNameInAnotherLetterCaseOpensTheFile)
{
    start();
    const QString path = writeMap("Demo.jmap", SampleMap());
    dialogs.files = {game.path("map/DEMO.JMAP")};
    main().Menu_OpenMap_Click();
    EXPECT_EQ(M().MapPath, path);
    EXPECT_EQ(QDir(game.path("Map/BMap")).entryList(QDir::Files), QStringList{"Demo.jmap"});
}

TEST(DemoFolder, EveryDemoMapOpens)
{
    // The generated demo game folder, as tilesmith finds it out of the box.
    const QString demo = QStringLiteral(TEV_DEMO_DIR) + "/";
    ASSERT_TRUE(QFileInfo(demo + "editor/RecentMap.txt").isFile());
    fr::setAppDir(demo + "editor/");
    ScriptedDialogs dialogs;
    EndProgramProbe ends;
    Session session;
    session.boot.Timer1.setEnabled(false);
    StartUp::run(session.boot, *session.data, session.procs, session.main);
    ASSERT_TRUE(ends.codes.empty()) << dialogs.messages.join("|").toStdString();
    EXPECT_TRUE(dialogs.messages.isEmpty()) << dialogs.messages.join("|").toStdString();
    EXPECT_EQ(QFileInfo(ReadRecentMap(demo + "editor/")).canonicalFilePath(),
              QFileInfo(demo + "Map/demo.jmap").canonicalFilePath());
    int maps = 0;
    QDirIterator it(demo + "Map", {"*.jmap"}, QDir::Files);
    while (it.hasNext()) {
        const QString path = it.next();
        ++maps;
        MapDocument direct;
        ASSERT_TRUE(ParseMapFile(ReadBytes(path), direct).ok) << path.toStdString();
        ASSERT_TRUE(session.main.get().OpenMapFile(path)) << path.toStdString();
        EXPECT_EQ(session.data->TileCount, direct.width * direct.height);
        for (int l = 1; l <= 7; ++l)
            EXPECT_EQ(session.data->LayData(l), direct.layers[l - 1]) << path.toStdString();
        EXPECT_TRUE(dialogs.messages.isEmpty()) << path.toStdString() << dialogs.messages.join("|").toStdString();
    }
    EXPECT_GE(maps, 1);
    // The demo map comes with its NPCs and monsters.
    ASSERT_TRUE(session.main.get().OpenMapFile(demo + "Map/demo.jmap"));
    EXPECT_GT(session.data->NpcCount, 0);
    EXPECT_GT(session.data->MonsterCount, 0);
}

// The panel names the map and its size as soon as the document changes
// (open by either command, save as, new, clear), not at the next mouse move.
TEST_F(OpenMap, ThePanelFollowsTheDocumentAtOnce)
{
    start();
    const QString town = writeMap("town.jmap", SampleMap());
    const QString cave = writeMap("cave.jmap", EmptyMap(30, 20));
    QString error;
    ASSERT_TRUE(WriteRecentMap(game.editorDir(), town, error));
    auto panel = [&] { return main().TF_mapdir->text() + "|" + main().TF_mapsize->text(); };
    EXPECT_EQ(panel(), QStringLiteral("N|0"));
    press(Qt::Key_D, Qt::ControlModifier);
    ASSERT_EQ(M().MapPath, town);
    EXPECT_EQ(panel(), QStringLiteral("town|20 × 15"));
    dialogs.files = {cave};
    main().Menu_OpenMap_Click();
    EXPECT_EQ(panel(), QStringLiteral("cave|30 × 20"));
    dialogs.files = {game.path("Map/road.jmap")};
    main().Menu_SaveAsAnotherMap_Click();
    EXPECT_EQ(panel(), QStringLiteral("road|30 × 20"));
    main().Menu_ClearScreen_Click();
    EXPECT_EQ(panel(), QStringLiteral("road|30 × 20"));
    main().Menu_NewMap_Click();
    EXPECT_EQ(panel(), QStringLiteral("road|30 × 20")); // nothing changes before "建立"
    dialogs.yesNo = {fr::vbYes}; // the cleared map may go
    QTest::mouseClick(main().SizeForm.get().Command1, Qt::LeftButton);
    EXPECT_EQ(panel(), QStringLiteral("|20 × 15"));
}
