// Every tool reached the way a map maker reaches it: from Main with the demo
// map open, only through keys, menus, buttons, list rows and clicks on the
// map. Each row says which windows show afterwards and which files of the
// game folder changed (added, removed or rewritten with other bytes).
#include "demo_fixture.h"

#include "shell/picker_form.h"
#include "tools/attrib_dialog.h"
#include "tools/magic_editor.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QTabBar>

using namespace tstest;
using namespace tilesmith;

namespace {

class Reachability : public DemoEditorTest {
protected:
    // The editor's windows on screen, by name.
    QStringList visibleWindows()
    {
        ToolFormsImpl& t = session->tools;
        const std::vector<std::pair<QString, QWidget*>> known = {
            {"Main", session->main.peek()},
            {"ScriptEditor", t.ScriptEditorForm.peek()},
            {"ActiveNpc", t.ActiveNpc.peek()},
            {"ActiveMonster", t.ActiveMonster.peek()},
            {"AddRole", t.AddRole.peek()},
            {"MagicEditor", t.MagicEditorForm.peek()},
            {"MagicPictureForm", t.MagicPicture.peek()},
            {"AddNewAttribute", t.AddNewAttributeForm.peek()},
            {"PicResource", session->main.peek() ? main().PicResourceForm.peek() : nullptr},
        };
        QStringList out;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (!w->isVisible() || w->windowType() == Qt::Popup || w->windowType() == Qt::ToolTip)
                continue;
            QString name = w->windowTitle();
            for (const auto& [n, k] : known)
                if (k == w)
                    name = n;
            out << name;
        }
        out.sort();
        return out;
    }
    void clickTab(int i) { QTest::mouseClick(se().TabStrip, Qt::LeftButton, {}, se().TabStrip->tabRect(i).center()); }
    void click(QPushButton* b) { QTest::mouseClick(b, Qt::LeftButton); }

    // Entries ending in '/' stand for one or more files under that folder.
    static bool sameChanges(const QStringList& got, const QStringList& expected)
    {
        auto matches = [](const QString& file, const QString& e) {
            return e.endsWith('/') ? file.startsWith(e) : file == e;
        };
        for (const QString& f : got)
            if (std::none_of(expected.begin(), expected.end(), [&](const QString& e) { return matches(f, e); }))
                return false;
        for (const QString& e : expected)
            if (std::none_of(got.begin(), got.end(), [&](const QString& f) { return matches(f, e); }))
                return false;
        return true;
    }
};

} // namespace

TEST_F(Reachability, EveryToolFromMainThroughKeysMenusAndClicks)
{
    LaunchRecorder launched;
    startOnDemo();
    ToolFormsImpl& t = session->tools;
    const QString se_ = "ScriptEditor";
    struct Row {
        const char* how;
        std::function<void()> act;
        QStringList windows;
        QStringList files;
    };
    const Row rows[] = {
        {"Space on Main: the script editor, which backs up every script and map",
         [&] { press(Qt::Key_Space); }, {se_}, {"Map/BMap/", "Script/BScript/"}},
        {"Esc", [&] { seKey(Qt::Key_Escape); }, {"Main"}, {}},
        {"Main's menu 脚本编辑器(Space)", [&] { main().MenuItem("Menu_SetIncident")->trigger(); }, {se_}, {}},
        {"返回", [&] { click(se().Command6); }, {"Main"}, {}},
        {"Space again", [&] { press(Qt::Key_Space); }, {se_}, {}},
        {"a click on gameinit.jsr", [&] { ClickRow(se().FileTable, "gameinit.jsr"); }, {se_},
         {"editor/RecentScript.txt"}},
        {"typing, Ctrl+S",
         [&] {
             typeScript("// edited\n");
             seKey(Qt::Key_S, Qt::ControlModifier);
         },
         {se_}, {"Script/gameinit.jsr"}},
        {"新建脚本 门1.jsr",
         [&] {
             dialogs.files = {demo("Script/门1.jsr")};
             click(se().Command3);
         },
         {se_}, {"Script/门1.jsr"}},
        {"typing, menu 文件 > 保存(Ctrl+S)",
         [&] {
             typeScript("EOF");
             se().MenuItem("Menu_SaveCurrentScript")->trigger();
         },
         {se_}, {"Script/门1.jsr"}},
        {"另存脚本 copy.jsr",
         [&] {
             dialogs.files = {demo("Script/copy.jsr")};
             click(se().Command1);
         },
         {se_}, {"Script/copy.jsr"}},
        {"打开脚本 copy.jsr, 重命名脚本文件 copy2",
         [&] {
             dialogs.files = {demo("Script/copy.jsr")};
             click(se().Command4);
             dialogs.inputs = {QStringLiteral("copy2")};
             click(se().Command8);
         },
         {se_}, {"Script/copy.jsr", "Script/copy2.jsr"}},
        {"删除脚本文件, Yes",
         [&] {
             dialogs.yesNo = {fr::vbYes};
             click(se().Command5);
         },
         {se_}, {"Script/copy2.jsr"}},
        {"tab 事件列表, right press: a new event",
         [&] {
             clickTab(1);
             PressAt(se().EventTable->viewport(), QPoint(5, 150), Qt::RightButton);
         },
         {se_}, {"Script/eventtable.txt"}},
        {"double click on door1: its name and comment edited",
         [&] {
             dialogs.inputs = {QStringLiteral("door1"), QStringLiteral("door1() 参数:无 改过")};
             DoubleClickRow(se().EventTable, "door1");
         },
         {se_}, {"Script/eventtable.txt"}},
        {"Delete on 新事件, OK",
         [&] {
             ClickRow(se().EventTable, QStringLiteral("新事件"));
             dialogs.yesNo = {fr::vbOK};
             QTest::keyClick(se().EventTable, Qt::Key_Delete);
         },
         {se_}, {"Script/eventtable.txt"}},
        {"tab 地图列表, click and double click on demo2.jmap",
         [&] {
             clickTab(2);
             DoubleClickRow(se().FileTable2, "demo2.jmap");
         },
         {se_}, {}},
        {"menu 文件 > 备份全部脚本", [&] { se().MenuItem("Menu_BackUpScript")->trigger(); }, {se_},
         {"Script/BScript/"}},
        {"menu 文件 > 备份全部地图 (nothing new to copy)", [&] { se().MenuItem("Menu_BackUpMap")->trigger(); }, {se_},
         {}},
        {"tab 脚本列表, double click on 门1.jsr: the event brush",
         [&] {
             clickTab(0);
             DoubleClickRow(se().FileTable, QStringLiteral("门1.jsr"));
         },
         {"Main"}, {"editor/RecentScript.txt"}},
        {"a click on the map paints the event", [&] { clickMapAt(160, 96); }, {"Main"}, {}},
        {"Ctrl+S on Main", [&] { press(Qt::Key_S, Qt::ControlModifier); }, {"Main"}, {"Map/demo.jmap"}},
        {"Space, F1: the NPC editor beside the script editor",
         [&] {
             press(Qt::Key_Space);
             seKey(Qt::Key_F1);
         },
         {"ActiveNpc", se_}, {}},
        {"NPC editor: menu 文件 > 属性顺序上锁 unlocks, a click on 名字, key 1 moves it up",
         [&] {
             PlacementForm& f = t.ActiveNpc.get();
             f.MenuItem("Menu_AttribOrderLock")->trigger();
             ClickRow(f.ListCaption, QStringLiteral("名字"));
             QTest::keyClick(f.ListCaption, Qt::Key_1);
         },
         {"ActiveNpc", se_}, {"editor/NpcAttribList.txt"}},
        {"key 2 moves it back", [&] { QTest::keyClick(t.ActiveNpc.get().ListCaption, Qt::Key_2); },
         {"ActiveNpc", se_}, {"editor/NpcAttribList.txt"}},
        {"menu 文件 > 属性顺序上锁 locks it: key 1 does nothing",
         [&] {
             PlacementForm& f = t.ActiveNpc.get();
             f.MenuItem("Menu_AttribOrderLock")->trigger();
             QTest::keyClick(f.ListCaption, Qt::Key_1);
         },
         {"ActiveNpc", se_}, {}},
        {"a left press on the value 村民 opens the box there; typing, Enter",
         [&] {
             PlacementForm& f = t.ActiveNpc.get();
             ClickRow(f.ListData, QStringLiteral("村民"));
             QCoreApplication::processEvents();
             ASSERT_TRUE(f.TextInput->isVisible());
             f.TextInput->selectAll();
             TypeText(f.TextInput, QStringLiteral("阿福\n"));
             EXPECT_FALSE(f.TextInput->isVisible());
             EXPECT_TRUE(tstest::Row(f.ListData, QStringLiteral("阿福")));
         },
         {"ActiveNpc", se_}, {}},
        {"menu 文件 > 添加属性: the definition dialog",
         [&] { t.ActiveNpc.get().MenuItem("Menu_AddNewAttrib")->trigger(); }, {"ActiveNpc", "AddNewAttribute", se_},
         {}},
        {"a name typed, 添加: the list file gains it and the dialog stays",
         [&] {
             AddNewAttribute& d = t.AddNewAttributeForm.get();
             d.AttribNameBox->selectAll();
             TypeText(d.AttribNameBox, QStringLiteral("备注"));
             click(d.Command1);
             EXPECT_TRUE(tstest::Row(t.ActiveNpc.get().ListCaption, QStringLiteral("备注")));
         },
         {"ActiveNpc", "AddNewAttribute", se_}, {"editor/NpcAttribList.txt"}},
        {"取消", [&] { click(t.AddNewAttributeForm.get().Command2); }, {"ActiveNpc", se_}, {}},
        {"a double click on 备注, 删除: the definition goes again",
         [&] {
             DoubleClickRow(t.ActiveNpc.get().ListCaption, QStringLiteral("备注"));
             EXPECT_EQ(t.AddNewAttributeForm.get().windowTitle(), QStringLiteral("修改属性"));
             click(t.AddNewAttributeForm.get().Command3);
             EXPECT_FALSE(tstest::Row(t.ActiveNpc.get().ListCaption, QStringLiteral("备注")));
         },
         {"ActiveNpc", se_}, {"editor/NpcAttribList.txt"}},
        {"NPC editor: a kind, 添加, 画到地图中",
         [&] {
             PlacementForm& f = t.ActiveNpc.get();
             chooseItem(f.ImageCombo1, 0);
             click(f.Command1);
             click(f.Command4);
         },
         {"Main"}, {}},
        {"a click on the map places the NPC", [&] { clickMapAt(96, 224); }, {"ActiveNpc", se_}, {}},
        {"NPC 插入, 另存脚本 demo_npc.jsr",
         [&] {
             click(t.ActiveNpc.get().Command5);
             dialogs.files = {demo("Script/demo_npc.jsr")};
             click(se().Command1);
         },
         {se_}, {"Script/demo_npc.jsr"}},
        {"F2: the monster editor alone", [&] { seKey(Qt::Key_F2); }, {"ActiveMonster"}, {}},
        {"monster editor: a kind, 添加, 画到地图中",
         [&] {
             PlacementForm& f = t.ActiveMonster.get();
             chooseItem(f.ImageCombo1, 0);
             click(f.Command1);
             click(f.Command4);
         },
         {"Main"}, {}},
        {"a click on the map places the monster", [&] { clickMapAt(384, 320); }, {"ActiveMonster", se_}, {}},
        {"monster editor: a click on the new monster, a click on a frame of the band, a stroke on the start frame",
         [&] {
             PlacementForm& f = t.ActiveMonster.get();
             QListWidgetItem* last = f.List1->item(f.List1->count() - 1);
             ClickAt(f.List1->viewport(), f.List1->visualItemRect(last).center());
             QTest::mouseMove(f.SonPicture, QPoint(70, 70));
             QTest::mouseClick(f.SonPicture, Qt::LeftButton, {}, QPoint(70, 70));
             Drag(f.InitPicture, {12, 60}, {12, 20});
             EXPECT_EQ(session->procs.GetAttribValue("monster", M().CurMonster, "curpicindex"), "4");
             EXPECT_EQ(session->procs.GetAttribValue("monster", M().CurMonster, "eright"), "52");
         },
         {"ActiveMonster", se_}, {}},
        {"monster 插入, 另存脚本 demo_monster.jsr",
         [&] {
             click(t.ActiveMonster.get().Command5);
             dialogs.files = {demo("Script/demo_monster.jsr")};
             click(se().Command1);
         },
         {se_}, {"Script/demo_monster.jsr"}},
        {"F2, the monster editor's close box: back to the script editor",
         [&] {
             seKey(Qt::Key_F2);
             t.ActiveMonster.get().close();
         },
         {se_}, {}},
        {"F4: the role editor alone", [&] { seKey(Qt::Key_F4); }, {"AddRole"}, {}},
        {"role editor: a right press on the facings picture picks the direction up",
         [&] {
             QTest::mouseClick(t.AddRole.get().Picture1, Qt::RightButton, {}, QPoint(40, 10));
             EXPECT_EQ(session->procs.GetAttribValue("role", 0, "direction"), "0");
         },
         {"AddRole"}, {}},
        {"role editor: menu 文件 > 添加属性, 取消",
         [&] {
             t.AddRole.get().MenuItem("Menu_AddNewAttrib")->trigger();
             EXPECT_EQ(M().AttribKindName, "role");
             click(t.AddNewAttributeForm.get().Command2);
         },
         {"AddRole"}, {}},
        {"role editor 画到地图中", [&] { click(t.AddRole.get().Command1); }, {"Main"}, {}},
        {"a click on the map places the role", [&] { clickMapAt(64, 256); }, {"AddRole", se_}, {}},
        {"role 插入", [&] { click(t.AddRole.get().Command5); }, {se_}, {"editor/RoleAttribList.txt"}},
        {"Esc, F9, Q, a click on the NPC placed at (96, 224), Yes: its statement cut from the map's NPC list",
         [&] {
             seKey(Qt::Key_Escape);
             press(Qt::Key_F9);
             press(Qt::Key_Q);
             const int statements = int(ReadBytes(demo("Script/demo_npc.jsr")).count("AddNpc("));
             dialogs.yesNo = {fr::vbYes};
             clickMapAt(96, 224);
             EXPECT_EQ(ReadBytes(demo("Script/demo_npc.jsr")).count("AddNpc("), statements - 1);
             // The question names the current script (the one chosen last).
             EXPECT_TRUE(dialogs.saw(QStringLiteral("确定删除") + M().CurScriptPath + QStringLiteral("中的ID为:")))
                 << dialogs.messages.join("|").toStdString();
             EXPECT_FALSE(M().CurScriptPath.isEmpty());
             press(Qt::Key_Q);
         },
         {"Main"}, {"Script/demo_npc.jsr"}},
        {"Space: the script editor as it was left", [&] { press(Qt::Key_Space); }, {se_}, {}},
        {"F3: the magic editor alone", [&] { seKey(Qt::Key_F3); }, {"MagicEditor"}, {}},
        {"magic editor: a click on 火球 shows its kind and preview",
         [&] { ClickRow(t.MagicEditorForm.get().List1, QStringLiteral("火球")); }, {"MagicEditor"}, {}},
        {"打开图片 magic0.bmp: the picture window",
         [&] {
             dialogs.files = {demo("Resource/bmp/magic0.bmp")};
             click(t.MagicEditorForm.get().Command6);
         },
         {"MagicEditor", "MagicPictureForm"}, {}},
        {"a frame dragged over the sheet: back to the magic editor",
         [&] { Drag(t.MagicPicture.get().Picture1, {0, 0}, {60, 60}); }, {"MagicEditor"}, {}},
        {"magic editor 返回", [&] { click(t.MagicEditorForm.get().Command8); }, {se_}, {}},
        {"menu 其它编辑器 > NPC编辑器 F1",
         [&] { se().MenuItem("Menu_ScriptAddActiveNpc")->trigger(); }, {"ActiveNpc", se_}, {}},
        {"NPC editor 返回", [&] { click(t.ActiveNpc.get().Command7); }, {se_}, {}},
        {"menu 其它编辑器 > 怪物编辑器 F2", [&] { se().MenuItem("Menu_ScriptAddActiveMonster")->trigger(); },
         {"ActiveMonster"}, {}},
        {"monster editor 返回", [&] { click(t.ActiveMonster.get().Command7); }, {se_}, {}},
        {"menu 其它编辑器 > 魔法编辑器 F3", [&] { se().MenuItem("Menu_ScriptAddMagic")->trigger(); },
         {"MagicEditor"}, {}},
        {"magic editor 返回 again", [&] { click(t.MagicEditorForm.get().Command8); }, {se_}, {}},
        {"F3, menu 文件 > 退出编辑器: the script editor again",
         [&] {
             seKey(Qt::Key_F3);
             t.MagicEditorForm.get().Menu_Exit->trigger();
         },
         {se_}, {}},
        {"menu 其它编辑器 > 主角编辑器 F4", [&] { se().MenuItem("Menu_ScriptAddRole")->trigger(); }, {"AddRole"},
         {}},
        {"role editor 返回", [&] { click(t.AddRole.get().Command7); }, {se_}, {}},
        {"F1, the NPC editor's close box: the script editor stays", [&] {
             seKey(Qt::Key_F1);
             t.ActiveNpc.get().close();
         },
         {se_}, {}},
        {"F4, the role editor's close box: the script editor again",
         [&] {
             seKey(Qt::Key_F4);
             t.AddRole.get().close();
         },
         {se_}, {}},
        {"menu 帮助(F10)", [&] { se().MenuItem("Menu_ScriptHelp")->trigger(); }, {se_}, {}},
    };
    for (const Row& r : rows) {
        const auto before = snapshot();
        r.act();
        QStringList windows = r.windows;
        windows.sort();
        EXPECT_EQ(visibleWindows(), windows) << r.how;
        const QStringList got = changed(before, snapshot());
        EXPECT_TRUE(sameChanges(got, r.files))
            << r.how << ": changed " << got.join(", ").toStdString() << "; expected "
            << r.files.join(", ").toStdString();
    }
    EXPECT_TRUE(dialogs.yesNo.empty());
    EXPECT_TRUE(dialogs.inputs.empty());
    EXPECT_TRUE(dialogs.files.empty());

    // What the rows left behind: the event on the map, the new NPC and
    // monster in their lists, the role's start, the text editor started.
    EXPECT_EQ(M().GroundLayData[3 * 20 + 5].event, G("门1"));
    EXPECT_TRUE(ReadBytes(demo("Map/demo.jmap")).contains("," + G("门1") + "\r\n"));
    EXPECT_TRUE(ReadBytes(demo("Script/demo_npc.jsr")).contains(",96,224,"));
    EXPECT_TRUE(ReadBytes(demo("Script/demo_monster.jsr")).contains(",384,320,"));
    EXPECT_EQ(M().RoleDir, 0);
    EXPECT_EQ(M().RoleX, 64);
    EXPECT_EQ(M().RoleY, 256);
    ASSERT_EQ(launched.started.size(), 1u);
    EXPECT_EQ(launched.started[0].second, QStringList{demo("Map/demo2.jmap")});

    // "关闭所有" ends the program at once.
    se().MenuItem("Menu_Exit")->trigger();
    EXPECT_EQ(ends.codes, std::vector<int>{0});
    // So do the NPC, monster and role editors' "退出".
    t.ActiveNpc.get().MenuItem("Menu_exit")->trigger();
    t.ActiveMonster.get().MenuItem("Menu_Exit")->trigger();
    t.AddRole.get().MenuItem("Menu_Exit")->trigger();
    EXPECT_EQ(ends.codes, (std::vector<int>{0, 0, 0, 0}));
}
