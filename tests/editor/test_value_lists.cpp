// The attribute value lists shared by the NPC, monster and role forms.
#include "editor_fixture.h"

#include <QFile>
#include <QLineEdit>
#include <QListWidget>

using namespace tstest;
using namespace tilesmith;

using ValueLists = EditorTest;

TEST_F(ValueLists, TypedValuesGoToTheSelectedInstanceOrTheRole)
{
    start();
    PlacementForm& f = session->tools.ActiveNpc.get();
    M().NpcCount = 1;
    M().NpcValues[0][1] = "old";
    // No instance selected: only the row changes.
    f.listDataClick(1);
    f.openTextInput();
    EXPECT_TRUE(f.TextInput->isVisibleTo(&f));
    f.TextInput->setText("typed");
    f.commitTextInput();
    EXPECT_EQ(f.ListData->item(1)->text(), "typed");
    EXPECT_EQ(M().NpcValues[0][1], "old");
    EXPECT_NE(M().NpcAttribs[1].data, "typed");
    // An instance selected: its cell takes the text.
    M().CurNpc = 0;
    f.openTextInput();
    f.TextInput->setText(QStringLiteral("新名"));
    f.commitTextInput();
    EXPECT_EQ(M().NpcValues[0][1], G("新名"));
    // The role keeps its values in the records themselves.
    RoleForm& r = session->tools.AddRole.get();
    r.listDataClick(1);
    r.openTextInput();
    r.TextInput->setText("hero");
    r.commitTextInput();
    EXPECT_EQ(M().RoleAttribs[1].data, "hero");
}

TEST_F(ValueLists, MovingAnAttributeMovesItsValuesAndTheListFile)
{
    start();
    PlacementForm& f = session->tools.ActiveNpc.get();
    M().NpcCount = 2;
    M().NpcValues[0][3] = "x0";
    M().NpcValues[1][3] = "x1";
    M().NpcValues[0][0] = "k0";
    f.listCaptionClick(3);
    QTest::keyClick(f.ListCaption, Qt::Key_1); // locked: nothing
    EXPECT_EQ(M().NpcAttribs[3].varname, "lx");
    f.toggleOrderLock();
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(f.ListCaption, Qt::Key_1);
    EXPECT_EQ(M().NpcAttribSel, 0);
    EXPECT_EQ(M().NpcAttribs[0].varname, "lx");
    EXPECT_EQ(M().NpcAttribs[1].varname, "id");
    EXPECT_EQ(M().NpcValues[0][0], "x0");
    EXPECT_EQ(M().NpcValues[1][0], "x1");
    EXPECT_EQ(M().NpcValues[0][1], "k0");
    EXPECT_EQ(f.ListCaption->item(0)->text(), QStringLiteral("X坐标"));
    QTest::keyClick(f.ListCaption, Qt::Key_1); // already first
    EXPECT_EQ(M().NpcAttribSel, 0);
    QFile file(game.path("editor/NpcAttribList.txt"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().startsWith("0," + G("\"X坐标\"")));
}

// A value typed into a list that its list file or a statement could not
// hold back is refused at once, naming the attribute; nothing changes.
TEST_F(ValueLists, ValuesThatWouldEndTheirFieldAreRefusedAtEntry)
{
    start();
    PlacementForm& f = session->tools.ActiveNpc.get();
    RoleForm& r = session->tools.AddRole.get();
    M().NpcCount = 1;
    M().CurNpc = 0;
    M().NpcValues[0][1] = "old";
    const QByteArray roleName = M().RoleAttribs[1].data;
    struct Case {
        QString text;
        const char* why;
    } cases[] = {
        {QStringLiteral("a\"b"), "含有双引号"},
        {QStringLiteral("\"ab"), "含有双引号"},
        {QStringLiteral("a,b"), "含有逗号"},
        {QStringLiteral("a\nb"), "含有换行"},
        {QStringLiteral("a\rb"), "含有换行"},
    };
    for (const Case& c : cases) {
        for (AttribForm* form : {static_cast<AttribForm*>(&f), static_cast<AttribForm*>(&r)}) {
            const QString shown = form->ListData->item(1)->text();
            form->listDataClick(1);
            form->openTextInput();
            form->TextInput->setText(c.text);
            dialogs.messages.clear();
            form->commitTextInput();
            ASSERT_EQ(dialogs.messages.size(), 1) << c.why;
            EXPECT_TRUE(dialogs.messages[0].contains(QStringLiteral("属性“%1”").arg(form->ListCaption->item(1)->text())))
                << dialogs.messages[0].toStdString();
            EXPECT_TRUE(dialogs.messages[0].contains(QString::fromUtf8(c.why))) << dialogs.messages[0].toStdString();
            EXPECT_EQ(form->ListData->item(1)->text(), shown);
        }
        EXPECT_EQ(M().NpcValues[0][1], "old");
        EXPECT_EQ(M().RoleAttribs[1].data, roleName);
    }
}
