// The script editor's text: loaded and saved through a temporary file.
#include "editor_fixture.h"

#include "platform/paths.h"

#include <QFile>
#include <QLabel>

using namespace tstest;
using namespace tilesmith;

using ScriptText = EditorTest;

namespace {

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    return f.readAll();
}

} // namespace

TEST_F(ScriptText, LoadAndSaveLeaveTheFileAsItWas)
{
    start();
    ScriptEditor& s = session->tools.ScriptEditorForm.get();
    for (const QByteArray& bytes : {G("talk(你好);\r\nEOF\r\n"), QByteArray("a;\r\nEOF"), QByteArray()}) {
        game.write("Script/a.jsr", bytes);
        ASSERT_TRUE(s.loadScript(game.path("Script/a.jsr")));
        EXPECT_EQ(s.ScriptSaved, -1);
        ASSERT_TRUE(s.Command2_Click());
        const QByteArray expected = bytes.endsWith('\n') ? bytes : bytes + "\r\n";
        EXPECT_EQ(ReadAll(game.path("Script/a.jsr")), expected);
        EXPECT_EQ(s.Label2->text(), QStringLiteral("已保存到:") + game.path("Script/a.jsr"));
    }
    // Text written by a tool counts as unsaved until saved.
    s.setScriptText("AddNpc(,1,);\r\nEOF");
    EXPECT_EQ(s.ScriptSaved, 0);
    ASSERT_TRUE(s.Command2_Click());
    EXPECT_EQ(ReadAll(game.path("Script/a.jsr")), "AddNpc(,1,);\r\nEOF\r\n");
}

TEST_F(ScriptText, FailedOrImpossibleSavesKeepTheOldFile)
{
    start();
    ScriptEditor& s = session->tools.ScriptEditorForm.get();
    s.setScriptText("x");
    EXPECT_FALSE(s.Command2_Click()); // no file chosen yet
    EXPECT_EQ(dialogs.count(QStringLiteral("另保存")), 1);
    game.write("Script/b.jsr", "old\r\n");
    ASSERT_TRUE(s.loadScript(game.path("Script/b.jsr")));
    s.setScriptText("new");
    fr::setAtomicWriteHookForTest([](const QString&) { return false; });
    EXPECT_FALSE(s.Command2_Click());
    fr::setAtomicWriteHookForTest({});
    EXPECT_EQ(ReadAll(game.path("Script/b.jsr")), "old\r\n");
    EXPECT_EQ(s.ScriptSaved, 0);
    EXPECT_FALSE(s.loadScript(game.path("Script/missing.jsr")));
    EXPECT_EQ(s.CurScriptPath, game.path("Script/b.jsr"));
    // Save as: to the chosen file; cancelled: nothing.
    dialogs.files.push_back(game.path("Script/c.jsr"));
    EXPECT_TRUE(s.Menu_SaveAsAnotherScript_Click());
    EXPECT_EQ(ReadAll(game.path("Script/c.jsr")), "new\r\n");
    dialogs.files.push_back(QString());
    EXPECT_FALSE(s.Menu_SaveAsAnotherScript_Click());
}
