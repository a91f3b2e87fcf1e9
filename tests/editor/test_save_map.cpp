// Saving, clearing and new maps: the bytes written, refusals, failures that
// must leave the old file whole, and the close question after a save.
#include "editor_fixture.h"

#include "shell/recent_map.h"
#include "shell/size_form.h"

#include "ui_support.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace tstest;
using namespace tilesmith;

namespace {

// A 20×15 map with tiles on every layer, an obstacle, a GBK event and a
// cell drawn away from its own place.
MapDocument SampleMap()
{
    MapDocument d = EmptyMap(20, 15, 2, 64, -1);
    for (int i = 0; i < 300; ++i) {
        TileRec& g = d.layers[0][i];
        g.sheet = 0;
        g.srcX = (i % 8) * 32;
        g.mapX = (i % 20) * 32;
        g.mapY = (i / 20) * 32;
    }
    d.layers[0][21].obstacle = 1;
    d.layers[0][22].event = G("宝箱");
    for (int l = 1; l < 7; ++l)
        d.layers[l][40 + l] = TileRec{32, 64, int16_t(l % 3), int16_t(32 * l), 64, "N", 0};
    d.layers[2][10] = TileRec{0, 0, 2, 400, 100, "N", 0};
    return d;
}

QList<QByteArray> Lines(const QByteArray& bytes)
{
    QList<QByteArray> lines = bytes.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

// Distinct lines, without their CR.
QSet<QByteArray> Distinct(const QList<QByteArray>& lines)
{
    QSet<QByteArray> out;
    for (QByteArray l : lines)
        out.insert(l.endsWith('\r') ? l.chopped(1) : l);
    return out;
}

class SaveMap : public EditorTest {
protected:
    QString saveAs(const QString& path)
    {
        dialogs.files = {path};
        main().Menu_SaveAsAnotherMap_Click();
        return path;
    }
    void createNewMap()
    {
        main().Menu_NewMap_Click();
        ASSERT_TRUE(main().SizeForm.loaded());
        QTest::mouseClick(main().SizeForm.get().Command1, Qt::LeftButton);
        ASSERT_FALSE(main().SizeForm.loaded()) << dialogs.messages.join("|").toStdString();
    }
};

} // namespace

TEST(DemoFolder, EveryDemoMapSavesByteForByte)
{
    const QString demo = QStringLiteral(TEV_DEMO_DIR) + "/";
    fr::setAppDir(demo + "editor/");
    ScriptedDialogs dialogs;
    EndProgramProbe ends;
    Session session;
    session.boot.Timer1.setEnabled(false);
    StartUp::run(session.boot, *session.data, session.procs, session.main);
    Main& main = session.main.get();
    QTemporaryDir out;
    int maps = 0;
    QDirIterator it(demo + "Map", {"*.jmap"}, QDir::Files);
    while (it.hasNext()) {
        const QString path = it.next();
        SCOPED_TRACE(path.toStdString());
        ++maps;
        const QByteArray original = ReadBytes(path);
        ASSERT_TRUE(main.OpenMapFile(path));
        const QString copy = out.path() + "/" + QFileInfo(path).fileName();
        dialogs.files = {copy};
        main.Menu_SaveAsAnotherMap_Click();
        EXPECT_EQ(ReadBytes(copy), original);
        EXPECT_EQ(main.MapSaved, -1);
        // Open the copy and save it under its own name.
        ASSERT_TRUE(main.OpenMapFile(copy));
        main.Menu_SaveMap_Click();
        EXPECT_EQ(ReadBytes(copy), original);
        EXPECT_EQ(main.MapSaved, -1);
        EXPECT_EQ(main.TF_maininfo->text(), QStringLiteral("保存成功! "));
    }
    EXPECT_GE(maps, 1);
    for (const QString& m : dialogs.messages)
        EXPECT_TRUE(m.startsWith(QStringLiteral("已存为"))) << m.toStdString();
}

TEST_F(SaveMap, SaveAsThenSaveWriteTheSameBytesAndReportOnlyAfterwards)
{
    start();
    const QString path = writeMap("a.jmap", SampleMap());
    openMap(path);
    const QByteArray recent = ReadBytes(game.path("editor/RecentMap.txt"));
    main().Dialog1.fileName = "/somewhere/last.jmap";
    const QString out = saveAs(game.path("Map/out.jmap"));
    ASSERT_EQ(dialogs.fileDialogs.size(), 1u);
    const fr::CommonDialogState& asked = dialogs.fileDialogs[0];
    EXPECT_EQ(asked.initDir, game.path("Map/")); // the remembered folder is gone
    EXPECT_EQ(asked.title, QStringLiteral("另存地图"));
    EXPECT_EQ(asked.filter, QStringLiteral("地图文件|*.jmap|所有文件|*.*"));
    EXPECT_EQ(asked.fileName, "/somewhere/last.jmap"); // the name field keeps the last name
    EXPECT_EQ(ReadBytes(out), ReadBytes(path));
    EXPECT_EQ(M().MapPath, out);
    EXPECT_EQ(dialogs.messages, QStringList{QStringLiteral("已存为") + out});
    EXPECT_EQ(main().TF_maininfo->text(), QStringLiteral("另存成功! "));
    EXPECT_EQ(main().MapSaved, -1);
    EXPECT_EQ(ReadBytes(game.path("editor/RecentMap.txt")), recent);

    // Ctrl+S now writes there without asking.
    main().markEdited();
    QFile::remove(out);
    press(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(dialogs.fileDialogs.size(), 1u);
    EXPECT_EQ(ReadBytes(out), ReadBytes(path));
    EXPECT_EQ(main().MapSaved, -1);
    EXPECT_EQ(main().TF_maininfo->text(), QStringLiteral("保存成功! "));

    // A cancelled dialog changes nothing; a name without ".jmap" is kept.
    main().markEdited();
    dialogs.files = {""};
    main().Menu_SaveAsAnotherMap_Click();
    EXPECT_EQ(M().MapPath, out);
    EXPECT_EQ(main().MapSaved, 0);
    saveAs(game.path("Map/plain"));
    EXPECT_EQ(ReadBytes(game.path("Map/plain")), ReadBytes(path));
}

// "另存地图" starts where maps belong: in the game's map folder while the
// dialog remembers no name, otherwise beside the name it remembers.
TEST_F(SaveMap, SaveAsStartsInTheGameMapFolder)
{
    start();
    createNewMap();
    dialogs.files = {""};
    main().Menu_SaveAsAnotherMap_Click();
    ASSERT_EQ(dialogs.fileDialogs.size(), 1u);
    EXPECT_EQ(dialogs.fileDialogs[0].initDir, game.path("Map/"));
    EXPECT_TRUE(dialogs.fileDialogs[0].fileName.isEmpty());
    saveAs(game.path("Script/x.jmap"));
    dialogs.files = {""};
    main().Menu_SaveAsAnotherMap_Click();
    EXPECT_EQ(dialogs.fileDialogs.back().initDir, game.path("Script/"));
    EXPECT_EQ(dialogs.fileDialogs.back().fileName, game.path("Script/x.jmap"));
}

// The save dialog itself, as a hand uses it: the name typed into its name
// box and Enter, under the filter it opens with ("地图文件 (*.jmap)") or with
// "所有文件" chosen in its type box. A name without a suffix gets ".jmap"
// under the map filter only; a suffix typed is kept.
TEST_F(SaveMap, SaveAsGivesATypedNameWithoutSuffixTheMapSuffix)
{
    start();
    openMap(writeMap("a.jmap", SampleMap()));
    const QByteArray bytes = ReadBytes(game.path("Map/a.jmap"));
    main().show();
    dialogs.realFileDialogs = true;
    struct Case {
        const char* typed;
        bool allFiles;
        const char* written;
    } cases[] = {
        {"newsmall", false, "newsmall.jmap"},
        {"other.map", false, "other.map"},
        {"again.jmap", false, "again.jmap"},
        {"plain", true, "plain"},
        {"kept.txt", true, "kept.txt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        WhenShown<QFileDialog>([&](QFileDialog* d) {
            if (c.allFiles) {
                auto* types = d->findChild<QComboBox*>("fileTypeCombo");
                ASSERT_TRUE(types);
                ClickAt(types, types->rect().center());
                // A release as soon as the list opens is taken for the end
                // of the click that opened it; a hand is slower.
                QTest::qWait(QApplication::doubleClickInterval() + 100);
                QAbstractItemView* list = types->view();
                ClickAt(list->viewport(), list->visualRect(list->model()->index(1, 0)).center());
                ASSERT_EQ(types->currentIndex(), 1);
            }
            auto* name = d->findChild<QLineEdit*>("fileNameEdit");
            ASSERT_TRUE(name);
            ClickAt(name, name->rect().center());
            QWidget* box = QApplication::focusWidget();
            ASSERT_EQ(box, name);
            QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(box, QString::fromUtf8(c.typed));
            QTest::keyClick(box, Qt::Key_Return);
        });
        main().MenuItem("Menu_SaveAsAnotherMap")->trigger();
        const QString written = game.path("Map/") + QString::fromUtf8(c.written);
        EXPECT_EQ(M().MapPath, written);
        EXPECT_EQ(ReadBytes(written), bytes);
        EXPECT_TRUE(dialogs.saw(QStringLiteral("已存为") + written));
    }
    EXPECT_FALSE(QFileInfo::exists(game.path("Map/newsmall")));
    EXPECT_FALSE(QFileInfo::exists(game.path("Map/plain.jmap")));
}

TEST_F(SaveMap, NewMapWritesEveryRecordEmpty)
{
    start();
    createNewMap();
    const QString out = saveAs(game.path("Map/new.jmap"));
    const QList<QByteArray> lines = Lines(ReadBytes(out));
    ASSERT_EQ(lines.size(), 2101);
    int crs = 0;
    for (const QByteArray& l : lines)
        crs += l.endsWith('\r');
    EXPECT_EQ(crs, 2101);
    EXPECT_EQ(lines[0], "20,15,0,-1,-1\r");
    EXPECT_EQ(Distinct(lines.mid(1, 300)), QSet<QByteArray>{"0,0,0,0,0,-1,N"});
    EXPECT_EQ(Distinct(lines.mid(301)), QSet<QByteArray>{"0,0,0,0,-1"});
}

TEST_F(SaveMap, ClearedMapKeepsItsSizePathAndDirection)
{
    start();
    const QString path = writeMap("a.jmap", SampleMap());
    game.write("Script/a_npc.jsr", PlacementBytes("AddNpc(", {NpcEntry(0, 0, 32, 32)}));
    openMap(path);
    ASSERT_EQ(M().NpcCount, 1);
    main().MapSaved = -1;
    M().LargeMode = true;
    M().EraserMode = -1;
    M().BrushWidth = 96;
    M().StepX = 96;
    // What the clear leaves alone: the eraser and obstacle tools' own state,
    // the edit layer, the fine step.
    main().EraserOn = 1;
    main().ObstacleOn = 1;
    M().EditLay = 5;
    M().SpinnerMode = 1;
    press(Qt::Key_Delete); // no question
    EXPECT_EQ(main().EraserOn, 1);
    EXPECT_EQ(main().ObstacleOn, 1);
    EXPECT_EQ(M().EditLay, 5);
    EXPECT_EQ(M().SpinnerMode, 1);
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_EQ(M().MapPath, path);
    EXPECT_EQ(M().NpcCount, 1);
    EXPECT_EQ(main().MapSaved, 0);
    EXPECT_FALSE(M().LargeMode);
    EXPECT_EQ(M().EraserMode, 0);
    EXPECT_EQ(M().BrushWidth, 32);
    EXPECT_EQ(M().StepX, 32);
    EXPECT_EQ(main().MainPic->size(), QSize(32, 32));
    EXPECT_EQ(main().Picture1->pic().pixel(100, 100), fr::keyColour);
    EXPECT_EQ(main().Ground_Lay.pixel(5, 5), fr::keyColour);
    main().Menu_SaveMap_Click();
    const QList<QByteArray> lines = Lines(ReadBytes(path));
    ASSERT_EQ(lines.size(), 2101);
    EXPECT_EQ(lines[0], "20,15,2,-1,-1\r");
    EXPECT_EQ(Distinct(lines.mid(1, 300)), QSet<QByteArray>{"0,0,0,0,0,-1,N"});
    EXPECT_EQ(Distinct(lines.mid(301)), QSet<QByteArray>{"0,0,0,0,-1"});
}

// "新建地图" only asks for the size: "取消" leaves the open map, its path,
// its saved mark, its placements and the screen exactly as they were, saved
// or not; "建立" then clears them for the new map.
TEST_F(SaveMap, CancelledNewMapLeavesTheMapAsItWas)
{
    start();
    const QString path = writeMap("a.jmap", SampleMap());
    game.write("Script/a_npc.jsr", PlacementBytes("AddNpc(", {NpcEntry(0, 0, 32, 32)}));
    openMap(path);
    const QByteArray before = ReadBytes(path);
    main().Dialog1.fileName = path;
    M().BrushWidth = 64;
    const QImage screen = main().Picture1->pic().snapshot();
    for (int16_t saved : {int16_t(0), int16_t(-1)}) {
        SCOPED_TRACE(saved);
        main().MapSaved = saved;
        const std::vector<TileRec> ground = M().LayData(1), sky = M().LayData(7);
        main().Menu_NewMap_Click();
        EXPECT_FALSE(main().isVisible());
        EXPECT_EQ(M().MapPath, path);
        QTest::mouseClick(main().SizeForm.get().Command2, Qt::LeftButton);
        EXPECT_TRUE(main().isVisible());
        EXPECT_EQ(M().MapPath, path);
        EXPECT_EQ(main().MapSaved, saved);
        EXPECT_EQ(M().NpcCount, 1);
        EXPECT_EQ(M().TileCount, 300);
        EXPECT_EQ(M().RoleX, 64);
        EXPECT_EQ(M().BrushWidth, 64);
        EXPECT_EQ(M().LayData(1), ground);
        EXPECT_EQ(M().LayData(7), sky);
        EXPECT_EQ(main().Picture1->pic().snapshot(), screen);
        EXPECT_EQ(main().TF_mapdir->text(), "a");
        EXPECT_EQ(main().TF_mapsize->text(), QStringLiteral("20 × 15"));
        EXPECT_EQ(main().Dialog1.fileName, path);
    }
    // Ctrl+S still writes the open map's own file, without a dialog.
    press(Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(dialogs.fileDialogs.empty());
    EXPECT_EQ(ReadBytes(path), before);
    EXPECT_EQ(main().MapSaved, -1);
    // "建立" clears: the new map has no file, no placements, no role.
    main().Menu_NewMap_Click();
    QTest::mouseClick(main().SizeForm.get().Command1, Qt::LeftButton);
    EXPECT_TRUE(M().MapPath.isEmpty());
    EXPECT_TRUE(main().Dialog1.fileName.isEmpty());
    EXPECT_EQ(main().MapSaved, 0);
    EXPECT_EQ(M().NpcCount, 0);
    EXPECT_EQ(M().RoleX, -1);
    EXPECT_EQ(M().BrushWidth, 32);
    EXPECT_EQ(ReadBytes(path), before);
}

TEST_F(SaveMap, NothingToSaveWithoutAMap)
{
    start();
    press(Qt::Key_S, Qt::ControlModifier);
    main().MenuItem("Menu_SaveAsAnotherMap")->trigger();
    EXPECT_TRUE(dialogs.fileDialogs.empty());
    EXPECT_EQ(dialogs.count(QStringLiteral("没有可保存的内容")), 2);
    EXPECT_EQ(FolderEntries(game.path("Map")), QStringList{"BMap"});
    EXPECT_EQ(FolderEntries(game.editorDir()).filter(".jmap").size(), 0);
    EXPECT_NE(main().TF_maininfo->text(), QStringLiteral("保存成功! "));
}

TEST_F(SaveMap, FailedSavesLeaveTheOldFileWholeAndSaySo)
{
    start();
    struct Case {
        const char* what;
        std::function<QString()> arrange; // returns the Save As target, or "" for Ctrl+S
        const char* reason;
    };
    const QString path = game.path("Map/a.jmap");
    QByteArray before;
    std::unique_ptr<FileSizeLimit> limit;
    const Case cases[] = {
        {"read-only target",
         [&] {
             QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
             return QString();
         },
         "只读"},
        {"disk full midway",
         [&] {
             limit = std::make_unique<FileSizeLimit>(4096);
             return QString();
         },
         "文件超出允许的大小"},
        {"path through a file", [&] { return path + "/b.jmap"; }, "不是文件夹"},
        {"vanished folder", [&] { return game.path("Gone/b.jmap"); }, "文件夹不存在"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        writeMap("a.jmap", SampleMap());
        openMap(path);
        before = ReadBytes(path);
        main().markEdited();
        main().SetStatus(QStringLiteral("x"));
        dialogs.messages.clear();
        const QString target = c.arrange();
        if (target.isEmpty())
            press(Qt::Key_S, Qt::ControlModifier);
        else
            saveAs(target);
        limit.reset();
        EXPECT_EQ(main().MapSaved, 0);
        EXPECT_EQ(main().TF_maininfo->text(), QStringLiteral("x"));
        EXPECT_EQ(M().MapPath, path);
        ASSERT_EQ(dialogs.messages.size(), 1);
        EXPECT_TRUE(dialogs.messages[0].contains(QStringLiteral("地图没有保存"))) << dialogs.messages[0].toStdString();
        EXPECT_TRUE(dialogs.messages[0].contains(QString::fromUtf8(c.reason))) << dialogs.messages[0].toStdString();
        EXPECT_EQ(ReadBytes(path), before);
        EXPECT_EQ(FolderEntries(game.path("Map")), (QStringList{"BMap", "a.jmap"}));
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    }

    // The map folder itself vanishes while the map is open.
    openMap(path);
    QDir(game.path("Map")).removeRecursively();
    dialogs.messages.clear();
    press(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(main().MapSaved, 0);
    EXPECT_TRUE(dialogs.saw(QStringLiteral("文件夹不存在")));
    EXPECT_FALSE(QFileInfo::exists(game.path("Map")));
}

TEST_F(SaveMap, EventNameTheGameCannotReadBackIsRefused)
{
    start();
    const QString path = writeMap("a.jmap", SampleMap());
    openMap(path);
    const QByteArray before = ReadBytes(path);
    for (const QByteArray& bad : {QByteArray("a,b"), QByteArray("a\r\nb"), QByteArray("x\n")}) {
        M().GroundLayData[45].event = bad;
        dialogs.messages.clear();
        main().Menu_SaveMap_Click();
        ASSERT_EQ(dialogs.messages.size(), 1);
        EXPECT_TRUE(dialogs.messages[0].contains(QStringLiteral("第 45 格（第 5 列第 2 行）"))) << dialogs.messages[0].toStdString();
        EXPECT_EQ(ReadBytes(path), before);
        EXPECT_NE(main().MapSaved, -1);
    }
}

TEST_F(SaveMap, CloseQuestionFollowsSavesAndEdits)
{
    start();
    main().show();
    // A fresh editor asks; No keeps it running.
    dialogs.yesNo = {fr::vbNo};
    EXPECT_FALSE(main().close());
    EXPECT_EQ(dialogs.count(QStringLiteral("地图没有保存过，确定退出吗？")), 1);
    EXPECT_TRUE(ends.codes.empty());

    openMap(writeMap("a.jmap", SampleMap()));
    main().Menu_SaveMap_Click();
    ASSERT_EQ(main().MapSaved, -1);
    EXPECT_TRUE(main().close());
    EXPECT_EQ(dialogs.count(QStringLiteral("确定退出")), 1);
    ASSERT_FALSE(ends.codes.empty());
    EXPECT_EQ(ends.codes.front(), 0);

    // An edit, and a tool switch through the canvas, ask again.
    ends.codes.clear();
    main().show();
    for (auto edit : {std::function<void()>([&] { main().markEdited(); }), std::function<void()>([&] { press(Qt::Key_Q); })}) {
        main().Menu_SaveMap_Click();
        edit();
        dialogs.yesNo = {fr::vbNo};
        EXPECT_FALSE(main().close());
    }
    EXPECT_EQ(dialogs.count(QStringLiteral("确定退出")), 3);
    // "退出" ends at once, without the question.
    main().MenuItem("Menu_Exit")->trigger();
    EXPECT_EQ(dialogs.count(QStringLiteral("确定退出")), 3);
    EXPECT_EQ(ends.codes, std::vector<int>{0});
}
