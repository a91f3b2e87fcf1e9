// The attribute value lists shared by the NPC, monster and role forms.
#include "editor_fixture.h"

#include <QAction>
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

TEST_F(ValueLists, TheMenuUnlocksTheOrderAndOpensTheDefinitionDialog)
{
    start();
    for (AttribForm* f : {static_cast<AttribForm*>(&session->tools.ActiveNpc.get()),
                          static_cast<AttribForm*>(&session->tools.ActiveMonster.get()),
                          static_cast<AttribForm*>(&session->tools.AddRole.get())}) {
        QAction* lock = f->MenuItem("Menu_AttribOrderLock");
        ASSERT_NE(lock, nullptr);
        EXPECT_TRUE(lock->isChecked());
        EXPECT_EQ(f->OrderLocked, -1);
        lock->trigger();
        EXPECT_FALSE(lock->isChecked());
        EXPECT_EQ(f->OrderLocked, 0);
        lock->trigger();
        EXPECT_EQ(f->OrderLocked, -1);
    }
    EXPECT_EQ(session->tools.AddRole.get().MenuItem("Menu_AttribOrderLock")->text(), QStringLiteral("属性顺序锁"));
    // "添加属性" on the monster form: the dialog in add mode for monsters.
    session->tools.ActiveMonster.get().MenuItem("Menu_NewAtrribute")->trigger();
    ASSERT_TRUE(session->tools.AddNewAttributeForm.loaded());
    EXPECT_EQ(M().AttribKindName, "monster");
    EXPECT_EQ(M().MonsterAttribMode, -1);
    EXPECT_EQ(session->tools.AddNewAttributeForm.get().windowTitle(), QStringLiteral("添加属性"));
    // "退出" ends the program at once.
    session->tools.ActiveNpc.get().MenuItem("Menu_exit")->trigger();
    EXPECT_EQ(ends.codes, std::vector<int>{0});
}

TEST_F(ValueLists, APressOnAValueOpensTheBoxThereAndUnsafeTextIsRefused)
{
    start();
    PlacementForm& f = session->tools.ActiveNpc.get();
    f.show();
    M().NpcCount = 1;
    M().CurNpc = 0;
    const QRect r = f.ListData->visualItemRect(f.ListData->item(2));
    const QPoint at = r.center();
    QTest::mouseClick(f.ListData->viewport(), Qt::LeftButton, {}, at);
    QCoreApplication::processEvents();
    ASSERT_TRUE(f.TextInput->isVisible());
    EXPECT_EQ(f.TextInput->text(), f.ListData->item(2)->text());
    EXPECT_EQ(f.TextInput->pos(), f.ListData->pos() + at);
    EXPECT_EQ(f.TextInput->selectedText(), f.TextInput->text());
    EXPECT_TRUE(f.TextInput->hasFocus());
    EXPECT_EQ(M().NpcAttribSel, 2);
    // A press of another button only hides it.
    QTest::mouseClick(f.ListData->viewport(), Qt::RightButton, {}, at);
    EXPECT_FALSE(f.TextInput->isVisible());
    // Enter on the list opens it at the top of the value column.
    f.ListData->setFocus();
    QTest::keyClick(f.ListData, Qt::Key_Return);
    ASSERT_TRUE(f.TextInput->isVisible());
    EXPECT_EQ(f.TextInput->pos(), f.ListData->pos());
    // Text that would split the statement or the list file is refused,
    // naming the attribute; the row and the instance keep their value.
    const QString before = f.ListData->item(2)->text();
    for (const QString& bad : {QStringLiteral("1,2"), QStringLiteral("say \"hi\"")}) {
        f.openTextInput();
        f.TextInput->setText(bad);
        QTest::keyClick(f.TextInput, Qt::Key_Return);
        EXPECT_EQ(f.ListData->item(2)->text(), before);
    }
    EXPECT_EQ(dialogs.count(QStringLiteral("属性“图像帧”")), 2) << dialogs.messages.join("|").toStdString();
    M().CurNpc = 0; // an instance selected
    f.openTextInput();
    f.TextInput->setText("7");
    QTest::keyClick(f.TextInput, Qt::Key_Return);
    EXPECT_EQ(f.ListData->item(2)->text(), "7");
    EXPECT_EQ(M().NpcValues[0][2], "7");
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
