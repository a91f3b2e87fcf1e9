// The script editor as a map maker uses it: reached with Space, its lists
// clicked, its buttons, menus and keys pressed.
#include "editor_fixture.h"
#include "ui_support.h"

#include "shell/recent_map.h"
#include "tools/placement_form.h"

#include <QClipboard>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabBar>

using namespace tstest;
using namespace tilesmith;

namespace {

class ScriptEditorTest : public EditorTest {
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        QDir().mkpath(game.path("Script/BScript"));
        game.write("Script/title.jsr", Title);
        game.write("Script/a.jsr", "a;\r\nEOF\r\n");
        writeMap("town.jmap", EmptyMap(20, 15));
    }
    // Space on Main, as a map maker reaches the window.
    ScriptEditor& open()
    {
        main().show();
        press(Qt::Key_Space);
        EXPECT_FALSE(main().isVisible());
        EXPECT_TRUE(session->tools.ScriptEditorForm.loaded());
        ScriptEditor& s = session->tools.ScriptEditorForm.get();
        EXPECT_TRUE(s.isVisible());
        return s;
    }
    ScriptEditor& se() { return session->tools.ScriptEditorForm.get(); }
    void key(int k, Qt::KeyboardModifiers mods = Qt::NoModifier) { KeyTo(&se(), k, mods); }
    void type(const QString& text)
    {
        se().Text1->moveCursor(QTextCursor::End);
        QTest::keyClicks(se().Text1, text);
    }
    QString script(const char* name) const { return game.path(QString("Script/") + name); }

    const QByteArray Title = G("对话(\"你好\")\r\nEOF\r\n");
};

} // namespace

TEST_F(ScriptEditorTest, AListClickLoadsCtrlSSavesAndTheScriptIsChosenAgainAtTheNextLoad)
{
    start();
    ScriptEditor& s = open();
    EXPECT_EQ(s.Label3->text(), QStringLiteral("成功备份全部地图文件!"));
    ClickRow(s.FileTable, "title.jsr");
    EXPECT_EQ(s.Label2->text(), script("title.jsr"));
    EXPECT_EQ(s.Label3->text(), QStringLiteral("已选中脚本文件: title.jsr 双击使用此事件"));
    EXPECT_EQ(M().CurScriptPath, script("title.jsr"));
    EXPECT_EQ(s.Text1->toPlainText(), QStringLiteral("对话(\"你好\")\nEOF\n"));
    EXPECT_EQ(s.ScriptSaved, -1);
    EXPECT_EQ(ReadBytes(game.path("editor/RecentScript.txt")), "\"title.jsr\"\r\n");

    // Saved as it was loaded: every line ends with CR LF and nothing is
    // added to a text that already ends with a line end.
    key(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(ReadBytes(script("title.jsr")), Title);
    EXPECT_EQ(s.Label2->text(), QStringLiteral("已保存到:") + script("title.jsr"));
    type("x");
    EXPECT_EQ(s.ScriptSaved, 0);
    key(Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier); // not Ctrl alone
    EXPECT_EQ(ReadBytes(script("title.jsr")), Title);
    s.Text1->setFocus();
    key(Qt::Key_S, Qt::ControlModifier); // also from inside the text
    EXPECT_EQ(ReadBytes(script("title.jsr")), Title + "x\r\n");
    EXPECT_EQ(s.ScriptSaved, -1);

    // The close box goes back to Main and unloads the window; its next load
    // backs up every script and map and chooses the remembered script.
    s.close();
    ProcessDeletes();
    EXPECT_TRUE(main().isVisible());
    EXPECT_FALSE(session->tools.ScriptEditorForm.loaded());
    QFile::remove(game.path("Script/BScript/a.jsr"));
    ScriptEditor& again = open();
    EXPECT_EQ(session->tools.ScriptEditorForm.loads(), 2);
    EXPECT_EQ(ReadBytes(game.path("Script/BScript/a.jsr")), "a;\r\nEOF\r\n");
    EXPECT_EQ(ReadBytes(game.path("Script/BScript/title.jsr")), Title + "x\r\n");
    EXPECT_TRUE(QFile::exists(game.path("Map/BMap/town.jmap")));
    ASSERT_TRUE(again.FileTable->currentItem());
    EXPECT_EQ(again.FileTable->currentItem()->text(), "title.jsr");
    EXPECT_EQ(again.Text1->toPlainText(), QStringLiteral("对话(\"你好\")\nEOF\nx\n"));

    // A remembered name in another letter case chooses nothing.
    again.close();
    ProcessDeletes();
    WriteBytes(game.path("editor/RecentScript.txt"), "\"TITLE.jsr\"\r\n");
    EXPECT_EQ(open().Text1->toPlainText(), QString());
    EXPECT_FALSE(se().FileTable->currentItem());

    // A remembered-script file too large to read chooses nothing and says so
    // in the status line, after the backups' message.
    se().close();
    ProcessDeletes();
    WriteBytes(game.path("editor/RecentScript.txt"), QByteArray("\"title.jsr\"\r\n") + QByteArray(1 << 20, ' '));
    ScriptEditor& large = open();
    EXPECT_FALSE(large.FileTable->currentItem());
    EXPECT_TRUE(large.Label3->text().startsWith(QStringLiteral("成功备份全部地图文件!；文件太大，不能读入！")))
        << large.Label3->text().toStdString();
    EXPECT_TRUE(large.Label3->text().contains(QStringLiteral("RecentScript.txt"))) << large.Label3->text().toStdString();
}

TEST_F(ScriptEditorTest, TheSaveQuestionComesBeforeAnotherScriptIsLoaded)
{
    start();
    ScriptEditor& s = open();
    ClickRow(s.FileTable, "a.jsr");
    type("changed");
    // No: the clicked script is loaded, the remembered one stays.
    dialogs.yesNo = {fr::vbNo};
    ClickRow(s.FileTable, "title.jsr");
    EXPECT_EQ(dialogs.messages.last(), QStringLiteral("还没保存过此脚本，要保存吗？"));
    EXPECT_EQ(dialogs.styles.back(), fr::vbYesNo + fr::vbExclamation);
    EXPECT_EQ(s.Text1->toPlainText(), QStringLiteral("对话(\"你好\")\nEOF\n"));
    EXPECT_EQ(ReadBytes(script("a.jsr")), "a;\r\nEOF\r\n");
    EXPECT_EQ(ReadBytes(game.path("editor/RecentScript.txt")), "\"a.jsr\"\r\n");
    // Yes: saved first (with a message), then the click runs again.
    type("more");
    dialogs.yesNo = {fr::vbYes};
    ClickRow(s.FileTable, "a.jsr");
    EXPECT_EQ(ReadBytes(script("title.jsr")), Title + "more\r\n");
    EXPECT_TRUE(dialogs.saw(QStringLiteral("已保存到:") + script("title.jsr")));
    EXPECT_EQ(s.Text1->toPlainText(), "a;\nEOF\n");
    EXPECT_EQ(ReadBytes(game.path("editor/RecentScript.txt")), "\"a.jsr\"\r\n");
    EXPECT_EQ(dialogs.count(QStringLiteral("还没保存过此脚本")), 2);
    // A double click asks once and loads once.
    type("z");
    dialogs.yesNo = {fr::vbNo};
    DoubleClickRow(s.FileTable, "title.jsr");
    EXPECT_EQ(dialogs.count(QStringLiteral("还没保存过此脚本")), 3);
    EXPECT_TRUE(dialogs.yesNo.empty());
}

TEST_F(ScriptEditorTest, NewOpenSaveAsRenameAndDelete)
{
    start();
    ScriptEditor& s = open();
    ClickRow(s.FileTable, "a.jsr");

    // New: one empty line, listed, current.
    dialogs.files = {script("x.jsr")};
    QTest::mouseClick(s.Command3, Qt::LeftButton);
    ASSERT_EQ(dialogs.fileDialogs.size(), 1u);
    EXPECT_EQ(dialogs.fileDialogs[0].title, QStringLiteral("新建脚本"));
    EXPECT_EQ(dialogs.fileDialogs[0].filter, QStringLiteral("脚本文件(.jsr)|*.jsr"));
    EXPECT_EQ(dialogs.fileDialogs[0].initDir, game.path("Script"));
    EXPECT_EQ(ReadBytes(script("x.jsr")), "\r\n");
    EXPECT_TRUE(Row(s.FileTable, "x.jsr"));
    EXPECT_EQ(s.Label3->text(), QStringLiteral("已新建:x.jsr"));
    EXPECT_EQ(M().CurScriptPath, script("x.jsr"));
    EXPECT_TRUE(s.Text1->toPlainText().isEmpty());

    // Open: the chosen file is loaded and current; cancelled: nothing.
    dialogs.files = {script("title.jsr"), QString()};
    s.MenuItem("Menu_OpenScript")->trigger();
    EXPECT_EQ(dialogs.fileDialogs.back().title, QStringLiteral("打开脚本"));
    EXPECT_EQ(s.Label3->text(), QStringLiteral("已打开脚本文件"));
    EXPECT_EQ(M().CurScriptPath, script("title.jsr"));
    QTest::mouseClick(s.Command4, Qt::LeftButton);
    EXPECT_EQ(M().CurScriptPath, script("title.jsr"));

    // Save as: another file; the current one stays.
    type("v");
    dialogs.files = {script("c.jsr")};
    s.MenuItem("Menu_SaveAsAnotherScript")->trigger();
    EXPECT_EQ(dialogs.fileDialogs.back().title, QStringLiteral("另存为脚本"));
    EXPECT_EQ(ReadBytes(script("c.jsr")), Title + "v\r\n");
    EXPECT_EQ(ReadBytes(script("title.jsr")), Title);
    EXPECT_EQ(M().CurScriptPath, script("title.jsr"));

    // Rename: proposes the selected row, keeps the extension, never
    // replaces a file and never leaves the folder.
    ClickRow(s.FileTable, "x.jsr");
    struct Case {
        std::optional<QString> answer;
        const char* left;     // the file that must exist afterwards
        const char* message;  // part of the message, or nullptr
    };
    const Case cases[] = {
        {std::nullopt, "x.jsr", nullptr},
        {QString(), "x.jsr", nullptr},
        {QStringLiteral("a"), "x.jsr", "已经有文件"},
        {QStringLiteral("../out"), "x.jsr", "不是文件名"},
        {QStringLiteral("y"), "y.jsr", nullptr},
    };
    for (const Case& c : cases) {
        dialogs.inputs = {c.answer};
        QTest::mouseClick(s.Command8, Qt::LeftButton);
        EXPECT_TRUE(QFile::exists(script(c.left))) << c.left;
        if (c.message) {
            EXPECT_TRUE(dialogs.messages.last().contains(QString::fromUtf8(c.message)));
        }
    }
    EXPECT_TRUE(dialogs.messages.contains(QStringLiteral("请输入新文件名:")));
    EXPECT_FALSE(QFile::exists(script("x.jsr")));
    EXPECT_EQ(ReadBytes(script("a.jsr")), "a;\r\nEOF\r\n");
    EXPECT_FALSE(QFile::exists(game.path("out.jsr")));
    EXPECT_EQ(s.Label2->text(), QStringLiteral("已成功把 ") + script("x.jsr") + QStringLiteral("命名为 y.jsr"));
    EXPECT_EQ(M().CurScriptPath, script("y.jsr"));
    EXPECT_TRUE(Row(s.FileTable, "y.jsr"));

    // Delete: No keeps it; Yes deletes it and keeps the text, which a save
    // writes back.
    type("keep");
    dialogs.yesNo = {fr::vbNo, fr::vbYes};
    QTest::mouseClick(s.Command5, Qt::LeftButton);
    EXPECT_EQ(dialogs.messages.last(), QStringLiteral("确定删除") + script("y.jsr") + QStringLiteral("吗？"));
    EXPECT_EQ(dialogs.styles.back(), fr::vbYesNo + fr::vbExclamation + fr::vbDefaultButton2);
    EXPECT_TRUE(QFile::exists(script("y.jsr")));
    QTest::mouseClick(s.Command5, Qt::LeftButton);
    EXPECT_FALSE(QFile::exists(script("y.jsr")));
    EXPECT_EQ(s.Label3->text(), QStringLiteral("已删除:") + script("y.jsr"));
    EXPECT_TRUE(s.Label2->text().isEmpty());
    EXPECT_FALSE(Row(s.FileTable, "y.jsr"));
    QTest::mouseClick(s.Command2, Qt::LeftButton);
    EXPECT_EQ(ReadBytes(script("y.jsr")), "\r\nkeep\r\n");
}

TEST_F(ScriptEditorTest, AMapChosenInTheMapListIsNeverOverwrittenWithScriptText)
{
    LaunchRecorder launched;
    start();
    ScriptEditor& s = open();
    const QByteArray map = ReadBytes(game.path("Map/town.jmap"));
    s.TabStrip->setCurrentIndex(2);
    EXPECT_EQ(s.TabPages->currentWidget(), static_cast<QWidget*>(s.MapFrame));
    ClickRow(s.FileTable2, "town.jmap");
    EXPECT_EQ(QApplication::clipboard()->text(), "town");
    EXPECT_EQ(s.Label3->text(), QStringLiteral("已复制:town到剪切板,双击打开地图"));
    EXPECT_EQ(M().CurScriptPath, game.path("Map/town.jmap"));

    // Save, and the save offered by the question, are refused.
    type("text");
    key(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(ReadBytes(game.path("Map/town.jmap")), map);
    EXPECT_TRUE(dialogs.messages.last().contains(QStringLiteral("脚本不能保存到地图中")));
    dialogs.yesNo = {fr::vbYes};
    s.TabStrip->setCurrentIndex(0);
    ClickRow(s.FileTable, "a.jsr");
    EXPECT_EQ(ReadBytes(game.path("Map/town.jmap")), map);
    EXPECT_TRUE(s.Text1->toPlainText().endsWith("text")); // nothing loaded over it
    // ...and the list does not show the script as chosen: rename proposes
    // what was selected before.
    EXPECT_TRUE(s.FileTable->selectedItems().isEmpty());
    dialogs.inputs = {QString()};
    QTest::mouseClick(s.Command8, Qt::LeftButton);
    EXPECT_EQ(dialogs.proposals.last(), QString());

    // Double click: the system's text editor on the map, without waiting.
    s.TabStrip->setCurrentIndex(2);
    DoubleClickRow(s.FileTable2, "town.jmap");
    ASSERT_EQ(launched.started.size(), 1u);
    EXPECT_EQ(launched.started[0].first, "notepad");
    EXPECT_EQ(launched.started[0].second, QStringList{game.path("Map/town.jmap")});

    // Rename keeps a map a map.
    dialogs.inputs = {QStringLiteral("village")};
    QTest::mouseClick(s.Command8, Qt::LeftButton);
    EXPECT_EQ(ReadBytes(game.path("Map/village.jmap")), map);
    EXPECT_TRUE(Row(s.FileTable2, "village.jmap"));

    // A script opened after the map click stays a script when renamed.
    dialogs.yesNo = {fr::vbNo};
    dialogs.files = {script("a.jsr")};
    QTest::mouseClick(s.Command4, Qt::LeftButton);
    dialogs.inputs = {QStringLiteral("b")};
    QTest::mouseClick(s.Command8, Qt::LeftButton);
    EXPECT_EQ(ReadBytes(script("b.jsr")), "a;\r\nEOF\r\n");
    EXPECT_EQ(M().CurScriptPath, script("b.jsr"));
    EXPECT_EQ(ReadBytes(game.path("Map/village.jmap")), map);
}

TEST_F(ScriptEditorTest, WithNoFileChosenSaveAsksWhereToSave)
{
    start();
    ScriptEditor& s = open();
    type("new text");
    dialogs.files = {QString()};
    key(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(s.ScriptSaved, 0);
    EXPECT_TRUE(M().CurScriptPath.isEmpty());
    dialogs.files = {script("n.jsr")};
    s.MenuItem("Menu_SaveCurrentScript")->trigger();
    EXPECT_EQ(dialogs.fileDialogs.back().title, QStringLiteral("另存为脚本"));
    EXPECT_EQ(ReadBytes(script("n.jsr")), "new text\r\n");
    EXPECT_EQ(M().CurScriptPath, script("n.jsr"));
    EXPECT_TRUE(Row(s.FileTable, "n.jsr"));
    EXPECT_EQ(s.ScriptSaved, -1);
}

TEST_F(ScriptEditorTest, BadScriptFilesAreReportedAndNothingIsLost)
{
    game.write("Script/lf.jsr", "a;\nEOF\n");
    game.write("Script/notgbk.jsr", QByteArray("ab\xff;\r\nEOF\r\n"));
    game.write("Script/huge.jsr", QByteArray(17 << 20, 'x'));
    game.write("Script/empty.jsr", "");
    QDir().rmdir(game.path("Script/BScript"));
    start();
    ScriptEditor& s = open();
    // No script backup folder: reported, skipped, the maps still backed up.
    EXPECT_TRUE(s.Label3->text().contains(QStringLiteral("找不到备份文件夹")));
    EXPECT_TRUE(QFile::exists(game.path("Map/BMap/town.jmap")));

    // LF line ends: reported, read as lines, saved with CR LF.
    ClickRow(s.FileTable, "lf.jsr");
    EXPECT_TRUE(dialogs.messages.last().contains(QStringLiteral("LF")));
    EXPECT_EQ(s.Text1->toPlainText(), "a;\nEOF\n");
    key(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(ReadBytes(script("lf.jsr")), "a;\r\nEOF\r\n");

    // Not GBK: reported; the text cannot be saved, the file stays.
    ClickRow(s.FileTable, "notgbk.jsr");
    EXPECT_TRUE(dialogs.messages.last().contains(QStringLiteral("不是 GBK")));
    key(Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(dialogs.messages.last().contains(QStringLiteral("不能用 GBK 保存")));
    EXPECT_EQ(ReadBytes(script("notgbk.jsr")), QByteArray("ab\xff;\r\nEOF\r\n"));

    // Too large to be a script: refused, the text and the current file stay.
    ClickRow(s.FileTable, "huge.jsr");
    EXPECT_EQ(M().CurScriptPath, script("notgbk.jsr"));
    EXPECT_TRUE(s.Label3->text().contains("huge.jsr"));

    // An empty file is an empty text.
    ClickRow(s.FileTable, "empty.jsr");
    EXPECT_TRUE(s.Text1->toPlainText().isEmpty());
}

TEST_F(ScriptEditorTest, KeysAndMenusLeadToMainAndToTheOtherEditors)
{
    start();
    ScriptEditor& s = open();
    ToolFormsImpl& t = session->tools;
    struct Case {
        const char* how;
        std::function<void()> act;
        std::function<QWidget*()> shown;
        bool scriptEditorStays;
    };
    const Case cases[] = {
        {"F1", [&] { key(Qt::Key_F1); }, [&] { return &t.ActiveNpc.get(); }, true},
        {"menu NPC", [&] { s.MenuItem("Menu_ScriptAddActiveNpc")->trigger(); }, [&] { return &t.ActiveNpc.get(); },
         true},
        {"F2", [&] { key(Qt::Key_F2, Qt::ShiftModifier); }, [&] { return &t.ActiveMonster.get(); }, false},
        {"menu monster", [&] { s.MenuItem("Menu_ScriptAddActiveMonster")->trigger(); },
         [&] { return &t.ActiveMonster.get(); }, false},
        {"F3", [&] { key(Qt::Key_F3); }, [&] { return &t.MagicEditorForm.get(); }, false},
        {"menu magic", [&] { s.MenuItem("Menu_ScriptAddMagic")->trigger(); },
         [&] { return &t.MagicEditorForm.get(); }, false},
        {"F4", [&] { key(Qt::Key_F4, Qt::ControlModifier); }, [&] { return &t.AddRole.get(); }, false},
        {"menu role", [&] { s.MenuItem("Menu_ScriptAddRole")->trigger(); }, [&] { return &t.AddRole.get(); }, false},
    };
    for (const Case& c : cases) {
        s.show();
        c.act();
        EXPECT_TRUE(c.shown()->isVisible()) << c.how;
        EXPECT_EQ(s.isVisible(), c.scriptEditorStays) << c.how;
        c.shown()->hide();
    }
    QStringList captions;
    for (QAction* a : s.menuBar()->actions())
        captions << a->text();
    EXPECT_EQ(captions, (QStringList{"文件", "其它编辑器", "帮助(F10)"}));

    // Esc and "返回" go back to Main and end block, copy and eraser tools.
    for (int how = 0; how < 2; ++how) {
        s.show();
        M().LargeMode = true;
        M().TakeOutMode = -1;
        M().TakeOutInfo = true;
        M().TakeOutBrush = -1;
        M().EraserMode = -1;
        if (how == 0)
            key(Qt::Key_Escape);
        else
            QTest::mouseClick(s.Command6, Qt::LeftButton);
        EXPECT_TRUE(main().isVisible());
        EXPECT_FALSE(s.isVisible());
        EXPECT_FALSE(M().LargeMode);
        EXPECT_EQ(M().TakeOutMode, 0);
        EXPECT_FALSE(M().TakeOutInfo);
        EXPECT_EQ(M().TakeOutBrush, 0);
        EXPECT_EQ(M().EraserMode, 0);
    }

    s.MenuItem("Menu_ScriptHelp")->trigger();
    EXPECT_EQ(dialogs.messages.last(),
              QStringLiteral("事件列表帮助:\r\n--[编辑]双击事件;\r\n--[添加]右击空白处;\r\n--[删除]Delete;"));
    s.MenuItem("Menu_Exit")->trigger();
    EXPECT_EQ(ends.codes, std::vector<int>{0});
    EXPECT_TRUE(dialogs.yesNo.empty());
}

TEST_F(ScriptEditorTest, AToolClosedWithNoWindowLeftBringsUpTheScriptEditor)
{
    start();
    ScriptEditor& s = open();
    ToolFormsImpl& t = session->tools;
    // The monster editor opened with F2 is the only window; it closes.
    key(Qt::Key_F2);
    PlacementForm& monsters = t.ActiveMonster.get();
    ASSERT_FALSE(s.isVisible());
    M().MonsterPlacing = -1;
    t.afterToolClosed(&monsters, &M().MonsterPlacing);
    EXPECT_TRUE(s.isVisible());
    EXPECT_EQ(M().MonsterPlacing, 0);
    // With Main up nothing else is shown, but the placement still ends.
    s.hide();
    main().show();
    M().RolePlacing = -1;
    t.afterToolClosed(&t.AddRole.get(), &M().RolePlacing);
    EXPECT_FALSE(s.isVisible());
    EXPECT_EQ(M().RolePlacing, 0);
}
