// The attribute value lists shared by the NPC, monster and role forms.
#include "editor_fixture.h"
#include "ui_support.h"

#include "tools/attrib_dialog.h"

#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

using namespace tstest;
using namespace tilesmith;

using ValueLists = EditorTest;

namespace {

// The centre of row `row` of a list, in its viewport.
QPoint RowCentre(QListWidget* list, int row) { return list->visualItemRect(list->item(row)).center(); }

struct FormCase {
    const char* name;
    std::function<AttribForm&()> form;
    int16_t* sel;
    AttribArray* attribs;
    int16_t* count;
};

// The NPC, monster and role forms with their kinds' selected row, records
// and count.
std::vector<FormCase> ThreeForms(ToolFormsImpl& t, Module1& m)
{
    return {
        {"npc", [&t]() -> AttribForm& { return t.ActiveNpc.get(); }, &m.NpcAttribSel, &m.NpcAttribs,
         &m.NpcAttribCount},
        {"monster", [&t]() -> AttribForm& { return t.ActiveMonster.get(); }, &m.MonsterAttribSel,
         &m.MonsterAttribs, &m.MonsterAttribCount},
        {"role", [&t]() -> AttribForm& { return t.AddRole.get(); }, &m.RoleAttribSel, &m.RoleAttribs,
         &m.RoleAttribCount},
    };
}

} // namespace

// The mouse reaches the lists through the window: a click on a value
// selects its row in both lists and opens the box at the pressed point, a
// double click on a name opens the definition dialog in modify mode for
// that row, and the dialog's delete removes the row the user selected.
TEST_F(ValueLists, TheMouseSelectsEditsAndDefinesTheRowItHits)
{
    start();
    ToolFormsImpl& t = session->tools;
    const std::vector<FormCase> cases = ThreeForms(t, M());
    for (const FormCase& c : cases) {
        SCOPED_TRACE(c.name);
        AttribForm& f = c.form();
        f.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
        const QPoint at = RowCentre(f.ListData, 3);
        ClickAt(f.ListData->viewport(), at);
        QCoreApplication::processEvents();
        EXPECT_EQ(f.ListData->currentRow(), 3);
        EXPECT_EQ(f.ListCaption->currentRow(), 3);
        EXPECT_EQ(*c.sel, 3);
        ASSERT_TRUE(f.TextInput->isVisible());
        EXPECT_EQ(f.TextInput->pos(), f.ListData->pos() + at);
        EXPECT_EQ(f.TextInput->text(), f.ListData->item(3)->text());
        // The box lies over the list and takes the typing.
        EXPECT_TRUE(Reaches(f.TextInput, f.TextInput->rect().center()));
        TypeText(f.TextInput, QStringLiteral("77\n"));
        EXPECT_EQ(f.ListData->item(3)->text(), "77");

        ClickAt(f.ListCaption->viewport(), RowCentre(f.ListCaption, 1));
        EXPECT_EQ(*c.sel, 1);
        EXPECT_EQ(f.ListData->currentRow(), 1);

        const int n = *c.count;
        const QByteArray fourth = (*c.attribs)[3].varname;
        DoubleClickAt(f.ListCaption->viewport(), RowCentre(f.ListCaption, 2));
        ASSERT_TRUE(t.AddNewAttributeForm.loaded());
        AddNewAttribute& d = t.AddNewAttributeForm.get();
        EXPECT_EQ(*c.sel, 2);
        EXPECT_EQ(d.windowTitle(), QStringLiteral("修改属性"));
        EXPECT_EQ(d.AttribVarNameBox->text(), QString::fromLatin1((*c.attribs)[2].varname));
        ClickAt(d.Command3, d.Command3->rect().center());
        ProcessDeletes();
        EXPECT_EQ(*c.count, n - 1);
        EXPECT_EQ((*c.attribs)[2].varname, fourth);
        EXPECT_EQ(f.ListCaption->count(), n - 1);
        f.hide();
    }
}

// Rows chosen with the keys are the selected row of both lists: key 2 then
// moves the attribute the keys chose, and the highlight goes with it. The
// two lists keep one scroll position.
TEST_F(ValueLists, KeysChooseTheRowBothListsShowAndKey2Moves)
{
    start();
    PlacementForm& f = session->tools.ActiveMonster.get();
    f.show();
    f.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    f.toggleOrderLock();
    ClickAt(f.ListCaption->viewport(), RowCentre(f.ListCaption, 0));
    EXPECT_EQ(M().MonsterAttribSel, 0);
    KeyTo(&f, Qt::Key_Down);
    KeyTo(&f, Qt::Key_Down);
    EXPECT_EQ(M().MonsterAttribSel, 2);
    EXPECT_EQ(f.ListData->currentRow(), 2);
    KeyTo(&f, Qt::Key_2);
    EXPECT_EQ(M().MonsterAttribs[3].varname, "curpicindex");
    EXPECT_EQ(M().MonsterAttribs[2].varname, "lx");
    EXPECT_EQ(M().MonsterAttribSel, 3);
    EXPECT_EQ(f.ListCaption->currentRow(), 3);
    EXPECT_EQ(f.ListData->currentRow(), 3);
    QFile file(game.path("editor/MonsterAttribList.txt"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_LT(bytes.indexOf("\"lx\""), bytes.indexOf("\"curpicindex\""));
    // The keys in the value list choose for both lists as well.
    ClickAt(f.ListData->viewport(), RowCentre(f.ListData, 5));
    f.ListData->setFocus();
    KeyTo(&f, Qt::Key_Up);
    EXPECT_EQ(M().MonsterAttribSel, 4);
    EXPECT_EQ(f.ListCaption->currentRow(), 4);
    // The last row, chosen with End, stands beside its value.
    f.ListCaption->setFocus();
    KeyTo(&f, Qt::Key_End);
    const int last = f.ListCaption->count() - 1;
    EXPECT_EQ(M().MonsterAttribSel, last);
    EXPECT_GT(f.ListCaption->verticalScrollBar()->value(), 0);
    EXPECT_EQ(f.ListData->verticalScrollBar()->value(), f.ListCaption->verticalScrollBar()->value());
    EXPECT_EQ(f.ListData->visualItemRect(f.ListData->item(last)).top(),
              f.ListCaption->visualItemRect(f.ListCaption->item(last)).top());
}

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
    ClickAt(f.ListData->viewport(), at);
    QCoreApplication::processEvents();
    ASSERT_TRUE(f.TextInput->isVisible());
    EXPECT_EQ(f.TextInput->text(), f.ListData->item(2)->text());
    EXPECT_EQ(f.TextInput->pos(), f.ListData->pos() + at);
    EXPECT_EQ(f.TextInput->selectedText(), f.TextInput->text());
    EXPECT_TRUE(f.TextInput->hasFocus());
    EXPECT_EQ(M().NpcAttribSel, 2);
    // A press of another button only hides it (the box lies over the
    // pressed point and right of it: the press lands left of it).
    ClickAt(f.ListData->viewport(), QPoint(4, at.y()), Qt::RightButton);
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

// A definition deleted while its value box is open: the box goes and no
// row is selected, so Enter afterwards writes nothing, neither into the
// row that moved up into its place nor into its record or instance.
TEST_F(ValueLists, ADeleteLeavesNoRowSelectedAndTheBoxHidden)
{
    start();
    ToolFormsImpl& t = session->tools;
    M().NpcCount = 1;
    M().CurNpc = 0;
    M().MonsterCount = 1;
    M().CurMonster = 0;
    const std::vector<FormCase> cases = ThreeForms(t, M());
    for (const FormCase& c : cases) {
        SCOPED_TRACE(c.name);
        AttribForm& f = c.form();
        f.show();
        f.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
        ClickAt(f.ListData->viewport(), RowCentre(f.ListData, 2));
        QCoreApplication::processEvents();
        ASSERT_TRUE(f.TextInput->isVisible());
        TypeText(f.TextInput, QStringLiteral("7"));
        DoubleClickAt(f.ListCaption->viewport(), RowCentre(f.ListCaption, 2));
        ASSERT_TRUE(t.AddNewAttributeForm.loaded());
        AddNewAttribute& d = t.AddNewAttributeForm.get();
        ClickAt(d.Command3, d.Command3->rect().center());
        ProcessDeletes();
        EXPECT_FALSE(f.TextInput->isVisible());
        EXPECT_EQ(*c.sel, -1);
        for (QListWidget* list : {static_cast<QListWidget*>(f.ListCaption), static_cast<QListWidget*>(f.ListData)}) {
            EXPECT_EQ(list->currentRow(), -1) << list->objectName().toStdString();
            EXPECT_TRUE(list->selectedItems().isEmpty()) << list->objectName().toStdString();
        }
        // Enter, twice: the box opens empty and its commit writes nothing.
        const QString shown = f.ListData->item(2)->text();
        const QByteArray data = (*c.attribs)[2].data;
        f.activateWindow();
        f.ListData->setFocus();
        KeyTo(&f, Qt::Key_Return);
        KeyTo(&f, Qt::Key_Return);
        EXPECT_EQ(f.ListData->item(2)->text(), shown);
        EXPECT_EQ((*c.attribs)[2].data, data);
        EXPECT_NE(M().NpcValues[0][2], "7");
        EXPECT_NE(M().MonsterValues[0][2], "7");
        f.hide();
    }
}

// A press of another button than the left one on the value list hides the
// open box and leaves the selection where it was.
TEST_F(ValueLists, OtherButtonsOnlyHideTheBoxAndSelectNothing)
{
    start();
    PlacementForm& f = session->tools.ActiveNpc.get();
    f.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
    for (Qt::MouseButton b : {Qt::RightButton, Qt::MiddleButton}) {
        SCOPED_TRACE(b);
        ClickAt(f.ListData->viewport(), RowCentre(f.ListData, 2));
        QCoreApplication::processEvents();
        ASSERT_TRUE(f.TextInput->isVisible());
        ASSERT_EQ(M().NpcAttribSel, 2);
        // Left of the box, on row 5.
        const QPoint at(4, RowCentre(f.ListData, 5).y());
        ASSERT_TRUE(Reaches(f.ListData->viewport(), at));
        ClickAt(f.ListData->viewport(), at, b);
        EXPECT_FALSE(f.TextInput->isVisible());
        EXPECT_EQ(f.ListData->currentRow(), 2);
        EXPECT_EQ(f.ListCaption->currentRow(), 2);
        EXPECT_EQ(M().NpcAttribSel, 2);
        EXPECT_EQ(f.ListData->selectedItems(), QList<QListWidgetItem*>{f.ListData->item(2)});
    }
}
