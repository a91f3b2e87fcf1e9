// The files the editor names itself (its backups, the remembered map and
// script, the attribute lists, the event catalogue) with a real link planted
// at their name: a link that leads out of the game folder is never written
// through, one that stays inside it is followed.
#include "demo_fixture.h"

#include <QLabel>
#include <QTabBar>
#include <QTemporaryDir>

using namespace tstest;
using namespace tilesmith;

namespace {

class OwnFiles : public DemoEditorTest {
protected:
    void clickTab(int i) { QTest::mouseClick(se().TabStrip, Qt::LeftButton, {}, se().TabStrip->tabRect(i).center()); }
    // Space on Main opens the script editor, which backs up every script
    // and map as it loads; `then` acts in it before it is closed.
    void inScriptEditor(const std::function<void()>& then = {})
    {
        press(Qt::Key_Space);
        ASSERT_TRUE(se().isVisible());
        if (then)
            then();
        se().close();
        ProcessDeletes();
    }
};

} // namespace

TEST_F(OwnFiles, LinksAtTheirNamesNeverLeadAWriteOutOfTheGameFolder)
{
    startOnDemo();
    QTemporaryDir elsewhere;
    const QByteArray outsideBytes = "outside\r\n";
    const QByteArray insideBytes = "inside\r\n";
    struct Row {
        const char* name; // relative to the game folder
        const char* how;
        std::function<void()> act;
    };
    const Row rows[] = {
        {"Map/BMap/demo.jmap", "the open dialog's backup",
         [&] {
             dialogs.files = {demo("Map/demo.jmap")};
             main().Menu_OpenMap_Click();
         }},
        {"editor/RecentMap.txt", "the open dialog remembers the map",
         [&] {
             dialogs.files = {demo("Map/demo.jmap")};
             main().Menu_OpenMap_Click();
         }},
        {"Map/BMap/demo.jmap", "Space: the script editor backs up every map", [&] { inScriptEditor(); }},
        {"Script/BScript/gameinit.jsr", "Space: the script editor backs up every script", [&] { inScriptEditor(); }},
        {"editor/RecentScript.txt", "a click on a script remembers it",
         [&] { inScriptEditor([&] { ClickRow(se().FileTable, "gameinit.jsr"); }); }},
        {"Script/eventtable.txt", "a right press on the event list adds an event",
         [&] {
             inScriptEditor([&] {
                 clickTab(1);
                 PressAt(se().EventTable->viewport(), QPoint(5, 150), Qt::RightButton);
             });
         }},
        {"editor/RoleAttribList.txt", "the role's attribute list saved", [&] { session->procs.SaveRoleAttribList(); }},
        {"editor/NpcAttribList.txt", "the NPCs' attribute list saved", [&] { session->procs.SaveNpcAttribList(); }},
        {"editor/MonsterAttribList.txt", "the monsters' attribute list saved",
         [&] { session->procs.SaveMonsterAttribList(); }},
    };
    for (const Row& row : rows) {
        const QString name = demo(row.name);
        const QString file = QFileInfo(name).fileName();
        const bool existed = QFileInfo::exists(name);
        const QByteArray original = existed ? ReadBytes(name) : QByteArray();
        for (const bool leadsOut : {true, false}) {
            const std::string what = std::string(row.name) + (leadsOut ? ", a link out: " : ", a link inside: ") + row.how;
            const QString target = leadsOut ? elsewhere.path() + "/" + file : demo("shared/" + file);
            WriteBytes(target, leadsOut ? outsideBytes : insideBytes);
            QFile::remove(name);
            ASSERT_TRUE(QFile::link(target, name)) << what;
            dialogs.messages.clear();

            row.act();

            const QString said = dialogs.messages.join("|");
            if (leadsOut) {
                EXPECT_EQ(ReadBytes(target), outsideBytes) << what << "; " << said.toStdString();
                EXPECT_FALSE(QFileInfo(name).isSymLink()) << what;
                EXPECT_TRUE(QFileInfo(name).isFile()) << what;
                EXPECT_NE(ReadBytes(name), outsideBytes) << what;
            } else {
                EXPECT_TRUE(QFileInfo(name).isSymLink()) << what;
                EXPECT_NE(ReadBytes(target), insideBytes) << what << "; " << said.toStdString();
            }
            EXPECT_FALSE(ReadBytes(name).isEmpty()) << what << "; " << said.toStdString();
            QFile::remove(name);
            QFile::remove(target);
            if (existed)
                WriteBytes(name, original);
        }
    }
    // Nothing else was left in the folder outside.
    EXPECT_TRUE(FolderEntries(elsewhere.path()).isEmpty());
}

// A backup folder that is itself a link leading out of the game folder
// takes no copy; the map stays open and the refusal says why.
TEST_F(OwnFiles, ABackupFolderLinkedOutIsRefused)
{
    startOnDemo();
    QTemporaryDir elsewhere;
    QDir(demo("Map/BMap")).removeRecursively();
    ASSERT_TRUE(QFile::link(elsewhere.path(), demo("Map/BMap")));
    dialogs.files = {demo("Map/demo.jmap")};
    main().Menu_OpenMap_Click();
    EXPECT_EQ(M().MapPath, demo("Map/demo.jmap"));
    EXPECT_TRUE(FolderEntries(elsewhere.path()).isEmpty());
    EXPECT_TRUE(dialogs.saw(QStringLiteral("游戏文件夹之外"))) << dialogs.messages.join("|").toStdString();
    EXPECT_EQ(main().TF_maininfo->text(), QStringLiteral("文件已打开! 备份失败"));
}
