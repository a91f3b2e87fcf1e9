// The event catalogue on the script editor's "事件列表" tab, and the event
// brush that a double click on a script hands to the map.
#include "editor_fixture.h"
#include "ui_support.h"

#include <QGroupBox>
#include <QLabel>
#include <QTabBar>

using namespace tstest;
using namespace tilesmith;

namespace {

class EventWindow : public EditorTest {
protected:
    ScriptEditor& open()
    {
        main().show();
        press(Qt::Key_Space);
        ScriptEditor& s = session->tools.ScriptEditorForm.get();
        s.TabStrip->setCurrentIndex(1);
        return s;
    }
    QString table() const { return game.path("Script/eventtable.txt"); }
    QString caption() { return session->tools.ScriptEditorForm.get().EventTableFrame->title(); }
    void pressOn(QListWidget* list, Qt::MouseButton b, QPoint at)
    {
        ClickAt(list->viewport(), at, b);
    }
    QStringList rows(QListWidget* list)
    {
        QStringList out;
        for (int i = 0; i < list->count(); ++i)
            out << list->item(i)->text();
        return out;
    }
};

} // namespace

TEST_F(EventWindow, RightClickAddsEventsAndDeleteRemovesThem)
{
    start();
    ScriptEditor& s = open();
    EXPECT_EQ(caption(), QStringLiteral("事件:0条"));
    EXPECT_FALSE(QFile::exists(table()));
    // A right press below the rows adds "新事件" and saves the table.
    pressOn(s.EventTable, Qt::RightButton, QPoint(5, 100));
    EXPECT_EQ(ReadBytes(table()), G("新事件\r\n新事件() 参数:\r\n"));
    EXPECT_EQ(caption(), QStringLiteral("事件:1条"));

    WriteBytes(table(), G("b门\r\nb的注释\r\nA\r\nA的注释\r\nc\r\nc的注释\r\n"));
    s.close();
    ProcessDeletes();
    ScriptEditor& t = open();
    EXPECT_EQ(rows(t.EventTable), (QStringList{"A", "b门", "c"})); // sorted, letter case ignored
    EXPECT_EQ(caption(), QStringLiteral("事件:3条"));

    // A left press shows the row's comment; a right press on a row adds
    // without moving the selection.
    ClickRow(t.EventTable, "b门");
    EXPECT_EQ(t.Label3->text(), QStringLiteral("选中了一个事件，双击修改事件"));
    EXPECT_EQ(t.Label2->text(), QStringLiteral("b的注释"));
    pressOn(t.EventTable, Qt::RightButton, RowPoint(t.EventTable, "c"));
    EXPECT_EQ(t.EventTable->currentItem()->text(), QStringLiteral("b门"));
    EXPECT_EQ(caption(), QStringLiteral("事件:4条"));
    EXPECT_EQ(ReadBytes(table()), G("b门\r\nb的注释\r\nA\r\nA的注释\r\nc\r\nc的注释\r\n新事件\r\n新事件() 参数:\r\n"));

    // Delete: Cancel keeps it; OK removes the row and its entry; the
    // caption keeps the old count until the next addition.
    t.EventTable->setFocus();
    dialogs.yesNo = {fr::vbCancel, fr::vbOK};
    QTest::keyClick(t.EventTable, Qt::Key_Delete);
    EXPECT_EQ(dialogs.messages.last(), QStringLiteral("确认删除此事件:b门"));
    EXPECT_EQ(dialogs.styles.back(), fr::vbOKCancel);
    EXPECT_EQ(rows(t.EventTable).size(), 4);
    QTest::keyClick(t.EventTable, Qt::Key_Delete);
    EXPECT_EQ(ReadBytes(table()), G("A\r\nA的注释\r\nc\r\nc的注释\r\n新事件\r\n新事件() 参数:\r\n"));
    EXPECT_FALSE(Row(t.EventTable, QStringLiteral("b门")));
    EXPECT_EQ(caption(), QStringLiteral("事件:4条"));
    EXPECT_EQ(t.Events.EventCount, 3);
    // Nothing is selected after it: a second Delete asks about nothing.
    EXPECT_TRUE(t.EventTable->selectedItems().isEmpty());
    const auto asked = dialogs.messages.size();
    QTest::keyClick(t.EventTable, Qt::Key_Delete);
    EXPECT_EQ(dialogs.messages.size(), asked);
    EXPECT_EQ(t.Events.EventCount, 3);
}

TEST_F(EventWindow, DoubleClickEditsNameAndCommentInPlace)
{
    game.write("Script/eventtable.txt", G("a\r\nca\r\nb\r\ncb\r\n"));
    start();
    ScriptEditor& s = open();
    struct Case {
        std::optional<QString> name, comment;
        const char* file;  // the table afterwards (UTF-8)
        const char* rows;  // the rows afterwards, joined by '|'
    };
    const Case cases[] = {
        // Both changed: the row keeps its place until the next load.
        {QStringLiteral("z门"), QStringLiteral("新的,注释"), "z门\r\n新的,注释\r\nb\r\ncb\r\n", "z门|b"},
        // Cancelled boxes keep what was there.
        {std::nullopt, std::nullopt, "z门\r\n新的,注释\r\nb\r\ncb\r\n", "z门|b"},
        // A name the map's fields cannot hold is refused; the comment goes in.
        {QStringLiteral("x,y"), QStringLiteral("c2"), "z门\r\nc2\r\nb\r\ncb\r\n", "z门|b"},
    };
    for (const Case& c : cases) {
        dialogs.inputs = {c.name, c.comment};
        DoubleClickRow(s.EventTable, rows(s.EventTable).first());
        EXPECT_EQ(ReadBytes(table()), G(c.file)) << c.file;
        EXPECT_EQ(rows(s.EventTable).join('|'), QString::fromUtf8(c.rows));
    }
    EXPECT_TRUE(dialogs.messages.contains(QStringLiteral("修改事件名:")));
    EXPECT_TRUE(dialogs.messages.contains(QStringLiteral("修改事件注释:")));
    EXPECT_TRUE(dialogs.saw(QStringLiteral("“x,y”含有逗号")));
}

TEST_F(EventWindow, FullOrPartlyReadTablesAreNeverRewritten)
{
    QByteArray full;
    for (int i = 0; i < 201; ++i)
        full += "e" + QByteArray::number(i) + "\r\nc\r\n";
    game.write("Script/eventtable.txt", full);
    start();
    ScriptEditor& s = open();
    pressOn(s.EventTable, Qt::RightButton, QPoint(5, 5));
    EXPECT_TRUE(dialogs.saw(QStringLiteral("不能再添加")));
    EXPECT_EQ(ReadBytes(table()), full);
    EXPECT_EQ(s.Events.EventCount, 201);

    // Over the limit: read in part, reported, and no edit rewrites it.
    const QByteArray over = full + "e201\r\nc\r\ne202\r\nc\r\n";
    WriteBytes(table(), over);
    s.close();
    ProcessDeletes();
    ScriptEditor& t = open();
    EXPECT_TRUE(dialogs.saw(QStringLiteral("不会改写这个事件表")));
    EXPECT_EQ(t.Events.EventCount, 201);
    dialogs.yesNo = {fr::vbOK};
    ClickRow(t.EventTable, "e5");
    QTest::keyClick(t.EventTable, Qt::Key_Delete);
    dialogs.inputs = {QStringLiteral("x"), QStringLiteral("y")};
    DoubleClickRow(t.EventTable, "e6");
    EXPECT_EQ(ReadBytes(table()), over);
    EXPECT_TRUE(dialogs.saw(QStringLiteral("只读入了一部分")));
}

TEST_F(EventWindow, DoubleClickOnAScriptMakesTheEventBrushThatTheMapPaints)
{
    game.write("Script/door1.jsr", "EOF\r\n");
    game.write("Script/门1.jsr", "EOF\r\n");
    game.write("Script/a,b.jsr", "EOF\r\n");
    const QString path = writeMap("town.jmap", EmptyMap(20, 15));
    start();
    openMap(path);
    main().show();
    press(Qt::Key_Space);
    ScriptEditor& s = session->tools.ScriptEditorForm.get();
    M().LargeMode = true;
    M().EraserMode = -1;

    // A name with a comma would split the map's ground line: refused.
    DoubleClickRow(s.FileTable, "a,b.jsr");
    EXPECT_TRUE(dialogs.saw(QStringLiteral("不能用作事件名")));
    EXPECT_TRUE(s.isVisible());
    EXPECT_TRUE(M().CurEvent.isEmpty());

    for (const char* name : {"door1", "门1"}) {
        main().hide();
        s.show();
        DoubleClickRow(s.FileTable, QString::fromUtf8(name) + ".jsr");
        EXPECT_EQ(M().CurEvent, G(name));
        EXPECT_EQ(M().EditLay, 8);
        EXPECT_EQ(M().EventMode, -1);
        EXPECT_FALSE(M().LargeMode);
        EXPECT_EQ(M().EraserMode, 0);
        EXPECT_TRUE(main().isVisible());
        EXPECT_FALSE(s.isVisible());
        EXPECT_EQ(main().MainPic->pic().picture(), main().IncidentPic.snapshot());
    }
    // The map paints it where it is clicked, and the saved map carries it.
    main().MainPic->move(64, 32);
    QTest::mouseClick(main().MainPic, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(M().GroundLayData[20 + 2].event, G("门1"));
    main().Menu_SaveMap_Click();
    const QList<QByteArray> lines = ReadBytes(path).split('\n');
    EXPECT_TRUE(lines[1 + 22].endsWith("," + G("门1") + "\r"));
}
