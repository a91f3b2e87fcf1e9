// The map size dialog: its proposed sizes, the estimate, creating a map,
// cancelling, and sizes that are refused.
#include "editor_fixture.h"

#include "shell/size_form.h"

#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>

using namespace tstest;
using namespace tilesmith;

namespace {

class SizeDialog : public EditorTest {
protected:
    Size& openDialog()
    {
        main().Menu_NewMap_Click();
        EXPECT_TRUE(main().SizeForm.loaded());
        return main().SizeForm.get();
    }
    // Replaces a box's text by typing, as a user does.
    void type(QLineEdit* box, const QString& text)
    {
        box->setFocus();
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Delete);
        QTest::keyClicks(box, text);
    }
    static QList<QByteArray> lines(const QByteArray& bytes) { return bytes.split('\n'); }
};

} // namespace

TEST_F(SizeDialog, ProposesOneGameScreen)
{
    start();
    main().show();
    Size& s = openDialog();
    EXPECT_TRUE(s.isVisible());
    EXPECT_FALSE(main().isVisible());
    EXPECT_EQ(s.windowTitle(), QStringLiteral("游戏分辨率为：640×480"));
    EXPECT_EQ(s.Text1->text(), "20");
    EXPECT_EQ(s.Text2->text(), "15");
    EXPECT_EQ(s.HScroll1->value(), 20);
    EXPECT_EQ(s.HScroll2->value(), 15);
    EXPECT_EQ(s.Label4->text(), "1");
    EXPECT_EQ(s.Label5->text(), "MB");
    EXPECT_EQ(s.Command1->text(), QStringLiteral("建立"));
    EXPECT_EQ(s.Command2->text(), QStringLiteral("取消"));
    EXPECT_EQ(s.HScroll1->minimum(), 10);
    EXPECT_EQ(s.HScroll1->maximum(), 150);
}

TEST(SizeEstimate, ThreeBytesAPixelInWholeMegabytes)
{
    struct Case {
        const char* w;
        const char* h;
        const char* mb;
    } cases[] = {
        {"20", "15", "1"},   {"150", "150", "66"}, {"25", "18", "1"},  {"100", "100", "29"},
        {"10", "10", "0"},   {"16", "32", "2"},    // 1.5 -> 2
        {"32", "48", "4"},                         // 4.5 -> 4: a half goes to the even neighbour
        {"1023", "32", "96"}, {"032", "048", "4"},
        // Not valid sizes: "0".
        {"abc", "15", "0"},  {"", "15", "0"},      {"0", "15", "0"},   {"-5", "15", "0"},
        {"+5", "15", "0"},   {" 5", "15", "0"},    {"1024", "1", "0"}, {"200", "200", "0"},
        {"５", "15", "0"},   {"1e2", "15", "0"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Size::Estimate(QString::fromUtf8(c.w), QString::fromUtf8(c.h)), c.mb) << c.w << "x" << c.h;
}

TEST_F(SizeDialog, CreatesAnEmptyMapOfTheChosenSize)
{
    start();
    const QString old = writeMap("a.jmap", EmptyMap(20, 15));
    game.write("Script/a_npc.jsr", PlacementBytes("AddNpc(", {NpcEntry(0, 0, 32, 32)}));
    openMap(old);
    Size& s = openDialog();
    type(s.Text1, "30");
    EXPECT_EQ(s.HScroll1->value(), 20); // typing does not move the bar
    EXPECT_EQ(s.Label4->text(), "1");
    s.HScroll2->setValue(20); // the bar sets the text
    EXPECT_EQ(s.Text2->text(), "20");
    EXPECT_EQ(M().MapWidth.print(), "20"); // nothing reaches the map yet
    QTest::mouseClick(s.Command1, Qt::LeftButton);

    EXPECT_FALSE(main().SizeForm.loaded());
    EXPECT_TRUE(main().isVisible());
    EXPECT_EQ(M().MapWidth.print(), "30");
    EXPECT_EQ(M().MapHeight.print(), "20");
    EXPECT_EQ(M().TileCount, 600);
    for (int l = 1; l <= 7; ++l) {
        ASSERT_EQ(M().LayData(l).size(), 600u);
        for (const TileRec& t : M().LayData(l))
            ASSERT_EQ(t, TileRec{});
    }
    EXPECT_EQ(main().Picture1->size(), QSize(960, 640));
    EXPECT_EQ(main().Ground_Lay.size(), QSize(960, 640));
    EXPECT_TRUE(main().Picture1->isVisible());
    EXPECT_TRUE(M().MapPath.isEmpty());
    EXPECT_EQ(M().NpcCount, 0);
    EXPECT_EQ(M().MonsterCount, 0);
    EXPECT_TRUE(main().EditMenusEnabled());
    EXPECT_TRUE(dialogs.messages.isEmpty()) << dialogs.messages.join("|").toStdString();

    dialogs.files = {game.path("Map/b.jmap")};
    press(Qt::Key_S, Qt::ControlModifier);
    const QList<QByteArray> l = lines(ReadBytes(game.path("Map/b.jmap")));
    EXPECT_EQ(l.size(), 4201 + 1); // the last line end leaves an empty piece
    EXPECT_EQ(l[0], "30,20,1,-1,-1\r"); // the direction of the map opened before
}

TEST_F(SizeDialog, CancelKeepsTheMapAndTheTypedValues)
{
    start();
    openMap(writeMap("a.jmap", EmptyMap(20, 15)));
    Size& s = openDialog();
    type(s.Text1, "40");
    EXPECT_EQ(s.Label4->text(), "2"); // 40×15
    QTest::mouseClick(s.Command2, Qt::LeftButton);
    EXPECT_TRUE(main().isVisible());
    EXPECT_FALSE(s.isVisible());
    EXPECT_EQ(M().MapWidth.print(), "20");
    EXPECT_EQ(M().TileCount, 300);
    // The map is still the opened one: a save writes it to its own file.
    press(Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(dialogs.fileDialogs.empty());
    EXPECT_TRUE(ReadBytes(game.path("Map/a.jmap")).startsWith("20,15,"));

    // The next "新建地图" shows the same dialog with the typed value.
    Size& again = openDialog();
    EXPECT_EQ(&again, &s);
    EXPECT_EQ(main().SizeForm.loads(), 1);
    EXPECT_EQ(again.Text1->text(), "40");
    // Its close box unloads it and shows Main; the next one starts afresh.
    again.close();
    EXPECT_TRUE(main().isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(main().SizeForm.loaded());
    EXPECT_EQ(openDialog().Text1->text(), "20");
    EXPECT_EQ(main().SizeForm.loads(), 2);
}

TEST_F(SizeDialog, RefusedSizesLeaveTheDialogAndTheMap)
{
    start();
    openMap(writeMap("a.jmap", EmptyMap(20, 15)));
    Size& s = openDialog();
    struct Case {
        const char* w;
        const char* h;
    } cases[] = {{"abc", "15"}, {"", "15"}, {"0", "15"},   {"20", "-3"},  {"1024", "1"},
                 {"200", "200"}, {"+5", "5"}, {" 5", "5"}, {"5.0", "5"}, {"20", "99999999999999999999"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.w) + "x" + c.h);
        dialogs.messages.clear();
        type(s.Text1, QString::fromUtf8(c.w));
        type(s.Text2, QString::fromUtf8(c.h));
        EXPECT_EQ(s.Label4->text(), "0");
        QTest::mouseClick(s.Command1, Qt::LeftButton);
        EXPECT_EQ(dialogs.messages.size(), 1);
        EXPECT_TRUE(main().SizeForm.loaded());
        EXPECT_TRUE(s.isVisible());
        EXPECT_EQ(M().MapWidth.print(), "20");
        EXPECT_EQ(M().TileCount, 300);
        EXPECT_EQ(main().Picture1->size(), QSize(640, 480));
    }
    // Leading zeros are digits: the size is written as typed.
    type(s.Text1, "040");
    type(s.Text2, "05");
    QTest::mouseClick(s.Command1, Qt::LeftButton);
    EXPECT_EQ(M().TileCount, 200);
    dialogs.files = {game.path("Map/b.jmap")};
    main().Menu_SaveMap_Click();
    EXPECT_TRUE(ReadBytes(game.path("Map/b.jmap")).startsWith("040,05,"));
}

TEST_F(SizeDialog, BarsClampWhileTextsKeepTheProposedSize)
{
    start();
    M().GameWidth = fr::NumOrText::fromText("6400");
    M().GameHeight = 160;
    Size& s = openDialog();
    EXPECT_EQ(s.Text1->text(), "200");
    EXPECT_EQ(s.HScroll1->value(), 150);
    EXPECT_EQ(s.Text2->text(), "5");
    EXPECT_EQ(s.HScroll2->value(), 10);
    EXPECT_EQ(s.Label4->text(), "3"); // 200×5 tiles
    // Dragging a bar sets its text and the estimate as it goes.
    s.HScroll2->setSliderDown(true);
    s.HScroll2->setSliderPosition(100);
    EXPECT_EQ(s.Text2->text(), "100");
    EXPECT_EQ(s.Label4->text(), "59"); // 200×100×3/1024 = 58.6
    s.HScroll2->setSliderDown(false);
    // The mouse over a box gives it the focus with all its text selected.
    s.show();
    QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), QPointF(5, 5), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(s.Text2, &move);
    EXPECT_EQ(s.Text2->selectedText(), "100");
}
