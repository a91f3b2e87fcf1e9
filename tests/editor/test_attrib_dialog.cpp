// The attribute definition dialog: adding, changing and deleting records
// with the list file, the form rows and the instance values in step.
#include "editor_fixture.h"

#include "platform/gbk.h"
#include "tools/attrib_dialog.h"
#include "ui_support.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

using namespace tstest;
using namespace tilesmith;

namespace {

class AttribDialog : public EditorTest {
protected:
    AddNewAttribute& dialog() { return session->tools.AddNewAttributeForm.get(); }
    QList<QByteArray> fileLines(const char* name)
    {
        QFile f(game.path(QStringLiteral("editor/") + name));
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        QList<QByteArray> lines = f.readAll().split('\n');
        if (!lines.isEmpty() && lines.last().isEmpty())
            lines.removeLast();
        return lines;
    }
};

} // namespace

TEST_F(AttribDialog, AddAppendsARecordAndStaysOpen)
{
    start();
    const int n = M().NpcAttribCount;
    session->tools.showAddNewAttribute(AttribKind::Npc, -1);
    AddNewAttribute& d = dialog();
    EXPECT_EQ(d.windowTitle(), QStringLiteral("添加属性"));
    d.AttribNameBox->setText(QStringLiteral("力量"));
    EXPECT_EQ(d.AttribVarNameBox->text(), QStringLiteral("力量"));
    d.AttribVarNameBox->setText("power");
    d.AttribDataBox->setText("5");
    d.command1();
    EXPECT_EQ(M().NpcAttribCount, n + 1);
    EXPECT_EQ(M().NpcAttribs[n].varname, "power");
    const QList<QByteArray> lines = fileLines("NpcAttribList.txt");
    ASSERT_EQ(lines.size(), n + 1);
    EXPECT_EQ(lines.last(), QByteArray::number(n) + G(",\"力量\",\"textbox\",\"all\",\"5\",\"power\",#TRUE#,\"\"\r"));
    PlacementForm& f = session->tools.ActiveNpc.get();
    EXPECT_EQ(f.ListCaption->item(n)->text(), QStringLiteral("力量"));
    EXPECT_EQ(f.Frame1->text(), QStringLiteral("共%1条Npc属性").arg(n + 1));
    EXPECT_TRUE(session->tools.AddNewAttributeForm.loaded());
    d.command1();
    EXPECT_EQ(M().NpcAttribCount, n + 2);
    // A value the list file cannot hold is refused.
    d.AttribDataBox->setText("a\"b");
    d.command1();
    EXPECT_EQ(M().NpcAttribCount, n + 2);
    EXPECT_EQ(dialogs.count(QStringLiteral("“数据内容”中的“a\"b”含有双引号")), 1);
}

TEST_F(AttribDialog, ModifyShowsTheRecordAndConfirmRewritesIt)
{
    start();
    M().RoleAttribSel = 2;
    session->tools.showAddNewAttribute(AttribKind::Role, 0);
    AddNewAttribute& d = dialog();
    EXPECT_EQ(d.windowTitle(), QStringLiteral("修改属性"));
    EXPECT_EQ(d.Command1->text(), QStringLiteral("确定"));
    EXPECT_EQ(d.AttribVarNameBox->text(), "direction");
    EXPECT_TRUE(d.EnableBox->currentText() == "True" || d.EnableBox->currentText() == "False");
    d.AttribDataBox->setText("2");
    d.command1();
    EXPECT_FALSE(session->tools.AddNewAttributeForm.loaded());
    EXPECT_EQ(M().RoleAttribs[2].data, "2");
    EXPECT_EQ(M().RoleAttribs[2].varname, "direction");
    EXPECT_TRUE(fileLines("RoleAttribList.txt")[2].contains(",\"2\",\"direction\","));
}

TEST_F(AttribDialog, DeleteMovesLaterRecordsAndInstanceValuesUp)
{
    start();
    const int n = M().NpcAttribCount;
    M().NpcCount = 1;
    M().NpcValues[0][1] = "name0";
    M().NpcValues[0][2] = "frame0";
    const QByteArray third = M().NpcAttribs[2].varname;
    M().NpcAttribSel = 1;
    session->tools.showAddNewAttribute(AttribKind::Npc, 0);
    dialog().command3();
    EXPECT_EQ(M().NpcAttribCount, n - 1);
    EXPECT_EQ(M().NpcAttribs[1].varname, third);
    EXPECT_EQ(M().NpcValues[0][1], "frame0");
    EXPECT_EQ(fileLines("NpcAttribList.txt").size(), n - 1) << fileLines("NpcAttribList.txt").join("|").constData();
    EXPECT_EQ(session->tools.ActiveNpc.get().ListCaption->count(), n - 1);
    EXPECT_FALSE(session->tools.AddNewAttributeForm.loaded());
}

TEST_F(AttribDialog, UnsafeBoxTextIsRefusedNamingTheBoxAndPointingSelects)
{
    start();
    const QByteArray before = ReadBytes(game.path("editor/NpcAttribList.txt"));
    const int n = M().NpcAttribCount;
    session->tools.ActiveNpc.get().MenuItem("Menu_AddNewAttrib")->trigger();
    AddNewAttribute& d = dialog();
    d.show();
    struct Case {
        QLineEdit* box;
        const char* label;
        QString text;
    };
    // The data is also written unquoted into statements, so it alone may
    // hold no comma.
    for (const Case& c : {Case{d.AttribNameBox, "属性名", QStringLiteral("a\"b")},
                          Case{d.AttribDataBox, "数据内容", QStringLiteral("a,b")},
                          Case{d.AttribDataBox, "数据内容", QStringLiteral("say \"hi\"")},
                          Case{d.OtherBox, "其他", QStringLiteral("x\ny")}}) {
        d.AttribNameBox->setText(QStringLiteral("ok"));
        d.AttribDataBox->setText(QStringLiteral("1"));
        d.OtherBox->clear();
        c.box->setText(c.text);
        d.Command1->click();
        EXPECT_TRUE(dialogs.saw(QStringLiteral("“%1”中的").arg(QString::fromUtf8(c.label)))) << c.label;
    }
    EXPECT_EQ(M().NpcAttribCount, n);
    EXPECT_EQ(ReadBytes(game.path("editor/NpcAttribList.txt")), before);
    // Pointing at the data box selects its whole text.
    d.AttribDataBox->setText(QStringLiteral("12345"));
    d.AttribDataBox->deselect();
    QTest::mouseMove(d.AttribDataBox, QPoint(5, 5));
    SendMouse(d.AttribDataBox, QEvent::MouseMove, {6, 5}, Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(d.AttribDataBox->selectedText(), QStringLiteral("12345"));
    // The other boxes are quoted in the list file, so a comma there is kept.
    d.AttribNameBox->setText(QStringLiteral("a,b"));
    d.AttribDataBox->setText(QStringLiteral("1"));
    d.OtherBox->setText(QStringLiteral("x,y"));
    d.Command1->click();
    ASSERT_EQ(M().NpcAttribCount, n + 1) << dialogs.messages.join("|").toStdString();
    EXPECT_EQ(M().NpcAttribs[n].name, "a,b");
    EXPECT_EQ(M().NpcAttribs[n].other, "x,y");
    EXPECT_TRUE(ReadBytes(game.path("editor/NpcAttribList.txt")).endsWith(",\"x,y\"\r\n"));
}

TEST_F(AttribDialog, AnOpenDialogActsOnTheRecordItShows)
{
    start();
    const QByteArray npcList = ReadBytes(game.path("editor/NpcAttribList.txt"));
    const int monsters = M().MonsterAttribCount;
    const QByteArray second = M().NpcAttribs[2].name;
    M().NpcAttribSel = 1;
    session->tools.showAddNewAttribute(AttribKind::Npc, 0);
    const QString shown = dialog().AttribNameBox->text();

    // Another row chosen since: confirming still rewrites the record shown.
    M().NpcAttribSel = 2;
    dialog().AttribDataBox->setText("7");
    dialog().command1();
    EXPECT_EQ(M().NpcAttribs[1].data, "7");
    EXPECT_EQ(fr::gbk::decode(M().NpcAttribs[1].name), shown);
    EXPECT_EQ(M().NpcAttribs[2].name, second);

    // Asked for another record, or for another kind, the open dialog loads
    // again for it: the monster list gains the record, the NPC list stays.
    const QByteArray npcAfterConfirm = ReadBytes(game.path("editor/NpcAttribList.txt"));
    EXPECT_NE(npcAfterConfirm, npcList);
    M().NpcAttribSel = 1;
    session->tools.showAddNewAttribute(AttribKind::Npc, 0);
    M().NpcAttribSel = 2;
    session->tools.showAddNewAttribute(AttribKind::Npc, 0);
    EXPECT_EQ(dialog().AttribNameBox->text(), fr::gbk::decode(second));
    session->tools.ActiveMonster.get().MenuItem("Menu_NewAtrribute")->trigger();
    EXPECT_EQ(dialog().Command1->text(), QStringLiteral("添加"));
    dialog().AttribNameBox->setText(QStringLiteral("速度"));
    dialog().AttribDataBox->setText("3");
    dialog().command1();
    EXPECT_EQ(M().MonsterAttribCount, monsters + 1);
    EXPECT_EQ(ReadBytes(game.path("editor/NpcAttribList.txt")), npcAfterConfirm);
}
