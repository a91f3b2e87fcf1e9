// The tile-sheet picker: single picks, blocks, the access code of the third
// sheet, keeping the shown sheet and the recorded one the same, missing
// sheet files, keys and leaving.
#include "editor_fixture.h"

#include "shell/picker_form.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QMouseEvent>
#include <QScrollBar>

using namespace tstest;
using namespace tilesmith;

namespace {

void Move(QWidget* w, int x, int y)
{
    QMouseEvent e(QEvent::MouseMove, QPointF(x, y), w->mapToGlobal(QPointF(x, y)), Qt::NoButton, Qt::NoButton,
                  Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

class Picker : public EditorTest {
protected:
    PicResource& openPicker(void (Main::*menu)())
    {
        start();
        return reopen(menu);
    }
    PicResource& reopen(void (Main::*menu)())
    {
        (main().*menu)();
        PicResource& p = main().PicResourceForm.get();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&p));
        return p;
    }
    // Walks the cursor box to (x, y), one tile per move as it goes.
    void walkTo(PicResource& p, int x, int y)
    {
        for (int i = 0; i < 40 && p.MainPic->pos() != QPoint(x, y); ++i)
            Move(p.Picture1, x + 1, y + 1);
        ASSERT_EQ(p.MainPic->pos(), QPoint(x, y));
    }
    // The sheet's own pixel, as the fixture drew it.
    static QRgb SheetPixel(int sheet, int x, int y)
    {
        return SheetColour(sheet, (y / 32) * 8 + x / 32, x % 32 == 0 && y % 32 == 0);
    }
};

} // namespace

TEST_F(Picker, SinglePickCopiesTheTileAndRecordsIt)
{
    PicResource& p = openPicker(&Main::Menu_Resource_r2_Click);
    EXPECT_FALSE(main().isVisible());
    EXPECT_TRUE(p.isVisible());
    EXPECT_EQ(M().CurSheet, "map2");
    EXPECT_EQ(M().BrushSheetName, "map2");
    EXPECT_EQ(p.Picture1->pic().pixel(40, 40), SheetColour(1, 9, false));
    EXPECT_EQ(p.Picture1->pic().pixel(32, 40), qRgb(0, 0, 0)); // the grid
    EXPECT_EQ(p.Picture1->pic().pixel(255, 40), SheetColour(1, 15, false));

    // The box follows the mouse one tile per move on each axis.
    Move(p.Picture1, 100, 70);
    EXPECT_EQ(p.MainPic->pos(), QPoint(32, 32));
    Move(p.Picture1, 100, 70);
    Move(p.Picture1, 100, 70);
    EXPECT_EQ(p.MainPic->pos(), QPoint(96, 64));
    Move(p.MainPic, 5, 5);
    EXPECT_EQ(p.windowTitle(), QStringLiteral("map2  尺寸:256  256  当前index:19  当前位置:96  64"));

    M().LargeMode = true;
    QTest::mouseClick(p.MainPic, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(M().BrushX, 96);
    EXPECT_EQ(M().BrushY, 64);
    EXPECT_EQ(M().BrushSheet, 1);
    EXPECT_EQ(M().BrushSheetName, "map2");
    EXPECT_EQ(M().BrushWidth, 32);
    EXPECT_EQ(M().BrushHeight, 32);
    EXPECT_EQ(M().StepX, 32);
    EXPECT_EQ(M().SpinnerMode, 0);
    EXPECT_FALSE(M().LargeMode);
    EXPECT_FALSE(M().SavedLargeMode);
    // The tile itself, corner included: no grid line is copied.
    for (fr::PicBox* box : {main().MainPic, main().MainPic_}) {
        EXPECT_EQ(box->size(), QSize(32, 32));
        EXPECT_EQ(box->pic().pixel(0, 0), SheetColour(1, 19, true));
        EXPECT_EQ(box->pic().pixel(31, 31), SheetColour(1, 19, false));
    }
    EXPECT_TRUE(main().isVisible());
    EXPECT_FALSE(p.isVisible());
}

TEST_F(Picker, BlocksSnapToTheGrid)
{
    struct Case {
        QPoint box;  // where the band starts
        QPoint to;   // where the mouse ends
        QSize brush; // the block
        QPoint at;   // its source corner
    } cases[] = {
        {{64, 64}, {144, 104}, {64, 32}, {64, 64}},  // 80×40
        {{64, 64}, {145, 104}, {96, 32}, {64, 64}},  // 81×40
        {{64, 64}, {80, 80}, {0, 0}, {64, 64}},      // 16×16 snaps to nothing
        {{128, 96}, {48, 56}, {64, 32}, {48, 56}},   // dragged up and left
        {{0, 0}, {113, 200}, {128, 192}, {0, 0}},    // 113 = 96 + 17 rounds up
    };
    start();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.to.x());
        PicResource& p = reopen(&Main::Menu_Resource_r1_Click);
        walkTo(p, c.box.x(), c.box.y());
        QTest::mousePress(p.MainPic, Qt::RightButton, {}, QPoint(3, 3));
        EXPECT_TRUE(M().LargeMode);
        EXPECT_TRUE(p.MainPic->isHidden());
        Move(p.Picture1, c.to.x(), c.to.y());
        EXPECT_EQ(QPoint(p.Line(3).x2, p.Line(3).y2), c.to);
        EXPECT_TRUE(p.Line(1).visible && p.Line(4).visible);
        QTest::mousePress(p.Picture1, Qt::LeftButton, {}, c.to);
        EXPECT_EQ(M().BrushWidth, c.brush.width());
        EXPECT_EQ(M().BrushHeight, c.brush.height());
        EXPECT_EQ(QPoint(int(M().BrushX), M().BrushY), c.at);
        EXPECT_EQ(M().BrushSheet, 0);
        EXPECT_TRUE(M().LargeMode);
        EXPECT_EQ(M().SpinnerMode, 1);
        EXPECT_EQ(M().StepX, 32);
        EXPECT_EQ(main().MainPic->size(), c.brush);
        if (!c.brush.isEmpty()) {
            EXPECT_EQ(main().MainPic->pic().pixel(0, 0), SheetPixel(0, c.at.x(), c.at.y()));
            EXPECT_EQ(main().MainPic->pic().pixel(c.brush.width() - 1, c.brush.height() - 1),
                      SheetPixel(0, c.at.x() + c.brush.width() - 1, c.at.y() + c.brush.height() - 1));
        }
        EXPECT_FALSE(p.isVisible());
        EXPECT_TRUE(main().isVisible());
        EXPECT_FALSE(p.Line(3).visible);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&main()));
    }
}

TEST_F(Picker, RightPressCancelsTheBandAndAStrayLeftPressDoesNothing)
{
    PicResource& p = openPicker(&Main::Menu_Resource_r1_Click);
    walkTo(p, 32, 32);
    QTest::mousePress(p.MainPic, Qt::RightButton, {}, QPoint(3, 3));
    Move(p.Picture1, 120, 90);
    M().TakeOutInfo = true;
    QTest::mousePress(p.Picture1, Qt::RightButton, {}, QPoint(120, 90));
    EXPECT_FALSE(M().LargeMode);
    EXPECT_FALSE(M().SavedLargeMode);
    EXPECT_FALSE(M().TakeOutInfo);
    EXPECT_FALSE(p.MainPic->isHidden());
    EXPECT_FALSE(p.Line(2).visible);
    // The brush is what it was, and a left press with no band keeps it so.
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(M().BrushWidth, 32);
        EXPECT_EQ(M().BrushX, 0);
        EXPECT_TRUE(p.isVisible());
        QTest::mousePress(p.Picture1, Qt::LeftButton, {}, QPoint(200, 200));
    }
}

TEST_F(Picker, ThirdSheetNeedsTheCode)
{
    start();
    struct Case {
        std::optional<QString> answer;
        bool opens;
    } cases[] = {{QString("0000"), false}, {std::nullopt, false}, {QString(""), false},
                 {Main::SheetCode + " ", false}, {Main::SheetCode, true}};
    for (const Case& c : cases) {
        dialogs.messages.clear();
        dialogs.inputs = {c.answer};
        M().EraserMode = -1;
        M().TakeOutBrush = -1;
        M().TakeOutInfo = true;
        main().show();
        main().MenuItem("Menu_Resource_r3")->setEnabled(true);
        main().MenuItem("Menu_Resource_r3")->trigger();
        ASSERT_GE(dialogs.messages.size(), 1);
        EXPECT_EQ(dialogs.messages[0], QStringLiteral("此资源图被加密，请输入密码:"));
        if (!c.opens) {
            EXPECT_EQ(dialogs.messages.value(1), QStringLiteral("密码错！对不起，你不能使用此资源！"));
            EXPECT_FALSE(main().PicResourceForm.loaded());
            EXPECT_TRUE(main().isVisible());
            EXPECT_EQ(M().BrushSheetName, "map1");
            EXPECT_EQ(M().EraserMode, -1); // no brush setting changes
            EXPECT_EQ(M().TakeOutBrush, -1);
            continue;
        }
        EXPECT_EQ(M().EraserMode, 0);
        EXPECT_EQ(M().TakeOutBrush, 0);
        EXPECT_FALSE(M().TakeOutInfo);
        PicResource& p = main().PicResourceForm.get();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&p));
        EXPECT_EQ(M().CurSheet, "map3");
        EXPECT_EQ(p.Picture1->pic().pixel(40, 40), SheetColour(2, 9, false));
    }
    // The picker's own menu shows map3 without the code.
    PicResource& p = main().PicResourceForm.get();
    p.ResourcePicture1->trigger();
    dialogs.messages.clear();
    p.ResourcePicture3->trigger();
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_EQ(M().CurSheet, "map3");
}

TEST_F(Picker, ThePickedSheetIsTheOneShown)
{
    PicResource& p = openPicker(&Main::Menu_Resource_r1_Click);
    // The picker's menu shows map2 (F2 is its shortcut).
    EXPECT_EQ(p.ResourcePicture2->shortcut(), QKeySequence(Qt::Key_F2));
    p.ResourcePicture2->trigger();
    EXPECT_EQ(M().CurSheet, "map2");
    EXPECT_EQ(M().BrushSheetName, "map1");
    EXPECT_EQ(p.Picture1->pic().pixel(40, 40), SheetColour(1, 9, false));
    // Esc shows Main; the picker stays open. Coming back to it shows the
    // brush's sheet again, and the names agree.
    QTest::keyClick(&p, Qt::Key_Escape);
    EXPECT_TRUE(main().isVisible());
    EXPECT_TRUE(p.isVisible());
    ASSERT_TRUE(QTest::qWaitForWindowActive(&main()));
    p.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&p));
    EXPECT_EQ(M().CurSheet, "map1");
    EXPECT_EQ(p.Picture1->pic().pixel(40, 40), SheetColour(0, 9, false));
    walkTo(p, 64, 32);
    QTest::mouseClick(p.MainPic, Qt::LeftButton);
    EXPECT_EQ(M().BrushSheet, 0);
    EXPECT_EQ(M().BrushSheetName, "map1");
    EXPECT_EQ(main().MainPic->pic().pixel(4, 4), SheetColour(0, 10, false));

    // A resize shows the sheet last shown, grid and all.
    ASSERT_TRUE(QTest::qWaitForWindowActive(&main()));
    p.show();
    p.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&p));
    p.ResourcePicture2->trigger();
    p.resize(p.width() + 10, p.height());
    QTest::qWait(1);
    EXPECT_EQ(M().CurSheet, "map2");
    EXPECT_EQ(p.Picture1->pic().pixel(40, 40), SheetColour(1, 9, false));
    EXPECT_EQ(p.Picture1->pic().pixel(64, 40), qRgb(0, 0, 0));
}

TEST_F(Picker, MissingSheetFileKeepsTheSheetShown)
{
    PicResource& p = openPicker(&Main::Menu_Resource_r1_Click);
    QFile::remove(game.path("Resource/bmp/map2.bmp"));
    p.ResourcePicture2->trigger();
    EXPECT_EQ(dialogs.count(QStringLiteral("图块表没有显示")), 1);
    EXPECT_EQ(M().CurSheet, "map1");
    EXPECT_EQ(p.Picture1->pic().pixel(40, 40), SheetColour(0, 9, false));
    // The shown sheet's own file goes missing: resizing says so once.
    QFile::remove(game.path("Resource/bmp/map1.bmp"));
    for (int i = 1; i <= 3; ++i) {
        p.resize(p.width() + i, p.height());
        QTest::qWait(1);
    }
    EXPECT_EQ(dialogs.count(QStringLiteral("map1.bmp")), 1);
    EXPECT_EQ(p.Picture1->pic().pixel(40, 40), SheetColour(0, 9, false));
    walkTo(p, 32, 0);
    QTest::mouseClick(p.MainPic, Qt::LeftButton);
    EXPECT_EQ(main().MainPic->pic().pixel(4, 4), SheetColour(0, 1, false));
}

TEST_F(Picker, KeysScrollTheSheetAndEverywayOutShowsMain)
{
    PicResource& p = openPicker(&Main::Menu_Resource_r1_Click);
    p.resize(200, 180);
    QTest::qWait(1);
    const QSize inner = p.centralWidget()->size();
    EXPECT_EQ(p.VScroll1->geometry(),
              QRect(inner.width() - p.VScroll1->width() - 5, 0, p.VScroll1->width(), inner.height() - 37));
    EXPECT_EQ(p.HScroll1->geometry().width(), inner.width() - 32);
    EXPECT_EQ(p.Picture2->height(), inner.height() - p.HScroll1->height() - 10);
    const int max = p.VScroll1->maximum();
    ASSERT_EQ(max, 256 - p.Picture2->height());
    QTest::keyClick(&p, Qt::Key_W);
    EXPECT_EQ(p.VScroll1->value(), 0);
    QTest::keyClick(&p, Qt::Key_S);
    EXPECT_EQ(p.VScroll1->value(), std::min(32, max));
    EXPECT_EQ(p.Picture1->y(), -p.VScroll1->value());
    for (int i = 0; i < 10; ++i)
        QTest::keyClick(&p, Qt::Key_S);
    EXPECT_EQ(p.VScroll1->value(), max);
    QTest::keyClick(&p, Qt::Key_D);
    EXPECT_EQ(p.HScroll1->value(), std::min(32, p.HScroll1->maximum()));
    EXPECT_EQ(p.Picture1->x(), -p.HScroll1->value());

    // "返回(ESC)" shows Main and hides the picker; closing it shows Main.
    p.ReturnMain->trigger();
    EXPECT_TRUE(main().isVisible());
    EXPECT_FALSE(p.isVisible());
    PicResource& again = reopen(&Main::Menu_Resource_r1_Click);
    EXPECT_FALSE(main().isVisible());
    again.close();
    EXPECT_TRUE(main().isVisible());
}

// Sheets taller than 32767 pixels: start-up and the picker measure them in
// 32 bits; only a tile whose y a map record cannot hold (beyond 32767) is
// refused, with a message.
TEST_F(Picker, SheetsTallerThanSixteenBitsLoadAndPick)
{
    // 64 monster kinds of 512 pixels each, and a map sheet reaching past
    // y 32767.
    ASSERT_TRUE(MakeSheet(4, 192, 32768, 64, 64).save(game.path("Resource/bmp/monster.bmp"), "BMP"));
    ASSERT_TRUE(MakeSheet(0, 256, 32768 + 256, 32, 32).save(game.path("Resource/bmp/map1.bmp"), "BMP"));
    PicResource& p = openPicker(&Main::Menu_Resource_r1_Click);
    EXPECT_EQ(M().MonsterSheetHeight, 32768);
    EXPECT_EQ(session->tools.ActiveMonster.get().ImageCombo1->count(), 64);
    EXPECT_EQ(M().SheetHeight, 32768 + 256);
    EXPECT_EQ(p.VScroll1->maximum(), 32768 + 256 - p.Picture2->height());
    EXPECT_TRUE(dialogs.messages.isEmpty()) << dialogs.messages.join("|").toStdString();
    // The grid reaches the sheet's foot.
    EXPECT_EQ(p.Picture1->pic().pixel(40, 32768 + 224), qRgb(0, 0, 0));
    EXPECT_EQ(p.Picture1->pic().pixel(40, 32768 + 230), SheetPixel(0, 40, 32768 + 230));

    struct Case {
        int y;
        bool picked;
    } cases[] = {{32736, true}, {32768, false}, {32768 + 224, false}};
    for (const Case& c : cases) {
        M().BrushY = 0;
        dialogs.messages.clear();
        reopen(&Main::Menu_Resource_r1_Click);
        p.MainPic->move(64, c.y);
        p.MainPic_MouseDown(1, 0, 5, 5);
        EXPECT_EQ(M().BrushY, c.picked ? c.y : 0) << c.y;
        EXPECT_EQ(dialogs.saw(QStringLiteral("32767")), !c.picked) << c.y;
        EXPECT_EQ(p.isVisible(), !c.picked) << c.y;
        if (c.picked) {
            EXPECT_EQ(main().MainPic->pic().pixel(0, 0), SheetPixel(0, 64, c.y));
        }
    }
    // A block whose lower rows lie beyond 32767 is refused as well.
    dialogs.messages.clear();
    p.MainPic->move(0, 32736);
    p.MainPic_MouseDown(2, 0, 5, 5);
    Move(p.Picture1, 70, 32736 + 70);
    p.Picture1_MouseDown(1, 0, 70, 32736 + 70);
    EXPECT_TRUE(dialogs.saw(QStringLiteral("32767")));
    EXPECT_FALSE(M().LargeMode);
    EXPECT_EQ(M().BrushWidth, 32);
}
