// The magic kind editor as a map maker uses it: reached with F3 from the
// script editor, its list and panel, store, add, delete, the insert into the
// magic list file; the picture window's frame selection, the animated
// preview, the effective area and the sound.
#include "editor_fixture.h"
#include "ui_support.h"

#include "platform/sound.h"
#include "tools/statements.h"

#include <QBuffer>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>

using namespace tstest;
using namespace tilesmith;

namespace {

// Records what "播放" would play.
struct FakeSound : fr::SoundPreview {
    FakeSound() { fr::setSoundPreview(this); }
    ~FakeSound() override { fr::setSoundPreview(nullptr); }
    void play(const QString& path) override { played << path; }
    QStringList played;
};

// A PCM WAVE file of 22050 Hz: `channels` channels of `bits` bits each,
// its block size given as `blockAlign` (2 for the 16-bit mono default).
QByteArray Wave(int channels = 1, int bits = 16, int blockAlign = 2)
{
    auto le = [](quint32 v, int n) {
        QByteArray b;
        for (int i = 0; i < n; ++i)
            b.append(char(v >> (8 * i)));
        return b;
    };
    const quint32 rate = 22050;
    const QByteArray fmt = "fmt " + le(16, 4) + le(1, 2) + le(channels, 2) + le(rate, 4) +
                           le(rate * blockAlign, 4) + le(blockAlign, 2) + le(bits, 2);
    const QByteArray data = "data" + le(400, 4) + QByteArray(400, '\0');
    const QByteArray body = "WAVE" + fmt + data;
    return "RIFF" + le(body.size(), 4) + body;
}

// Three kinds, the middle one named "NULL" (a kind like any other).
MagicTable ThreeKinds()
{
    MagicTable recs;
    recs.fill(InitStruct());
    const char* names[] = {"火球", "NULL", "冰"};
    for (int i = 0; i < 3; ++i) {
        MagicRec& r = recs[i];
        r.FileName = "magic" + QByteArray::number(i);
        r.ID = int16_t(i);
        r.Name = G(names[i]);
        r.SmallWidth = 64;
        r.SmallHeight = 64;
        r.RowCounts = 4;
        r.ColCounts = 1;
        r.ELeft = 8, r.ETop = 40, r.ERight = 56, r.EBottom = 10; // bottom above top
        r.WaveName = "hit";
        r.Attack = int16_t(20 + i);
    }
    return recs;
}

class MagicEditorTest : public EditorTest {
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        QDir().mkpath(game.path("Script/BScript"));
        QDir().mkpath(game.path("Resource/wav"));
        // 5 frames of 64×64; 4×2 frames of 32×32; 4 frames of 64×64.
        MakeSheet(5, 320, 64, 64, 64).save(game.path("Resource/bmp/magic0.bmp"), "BMP");
        MakeSheet(6, 128, 64, 32, 32).save(game.path("Resource/bmp/Magic1.bmp"), "BMP");
        MakeSheet(7, 256, 64, 64, 64).save(game.path("Resource/bmp/magic2.bmp"), "BMP");
        game.write("Resource/wav/Hit.wav", Wave());
        game.write("Script/a.jsr", "EOF\r\n");
    }
    void writeList(const MagicTable& recs, int n)
    {
        game.write("Script/MagicKindList.jsr", MagicListStatements(recs, n).text + "\r\n");
    }
    ScriptEditor& se() { return session->tools.ScriptEditorForm.get(); }
    MagicEditor& me() { return session->tools.MagicEditorForm.get(); }
    MagicPictureForm& pf() { return session->tools.MagicPicture.get(); }
    // Space on Main, the list file chosen, F3: the way a map maker comes.
    MagicEditor& open(const char* script = "MagicKindList.jsr")
    {
        main().show();
        press(Qt::Key_Space);
        if (script)
            ClickRow(se().FileTable, script);
        KeyTo(&se(), Qt::Key_F3);
        EXPECT_FALSE(se().isVisible());
        EXPECT_TRUE(session->tools.MagicEditorForm.loaded());
        EXPECT_TRUE(me().isVisible());
        return me();
    }
    void click(QPushButton* b) { QTest::mouseClick(b, Qt::LeftButton); }
    // Typed over the box's text (Chinese comes in through the input method,
    // so the text is put in as one piece).
    void setBox(QLineEdit* box, const QString& text)
    {
        box->setFocus();
        box->selectAll();
        box->insert(text);
    }
    QByteArray scriptText()
    {
        QByteArray t;
        EXPECT_TRUE(se().scriptText(t));
        return t;
    }
    // Opens a picture through "打开图片" and its dialog.
    void openPicture(const QString& file)
    {
        dialogs.files.push_back(file);
        click(me().Command6);
    }
    QImage boxImage(fr::PicBox* b) { return b->pic().snapshot(); }
    // The focus coming to a widget as Tab brings it (the offscreen platform
    // does not always tell a window it became active).
    static void takeFocus(QWidget* w)
    {
        w->setFocus(Qt::TabFocusReason);
        QFocusEvent in(QEvent::FocusIn, Qt::TabFocusReason);
        QApplication::sendEvent(w, &in);
        QCoreApplication::processEvents();
    }
};

} // namespace

TEST_F(MagicEditorTest, EveryKindIsListedAndTheInsertWritesTheSameListBack)
{
    const MagicTable recs = ThreeKinds();
    writeList(recs, 3);
    const QByteArray statements = MagicListStatements(recs, 3).text;
    start();
    MagicEditor& f = open();
    ASSERT_EQ(f.List1->count(), 3);
    EXPECT_EQ(f.List1->item(1)->text(), QStringLiteral("NULL"));
    EXPECT_EQ(M().MagicCount, 3);
    EXPECT_EQ(f.Label16->text(), QStringLiteral("3"));
    EXPECT_EQ(M().MagicRecs[2].LargeWidth, 256);
    EXPECT_EQ(M().MagicRecs[2].LargeHeight, 64);
    for (int i = 3; i < MagicSlots; ++i) {
        EXPECT_EQ(M().MagicRecs[i].Name, "NULL");
        EXPECT_EQ(M().MagicRecs[i].Delay, 100);
        EXPECT_EQ(M().MagicRecs[i].CostMp, 1);
    }
    EXPECT_EQ(f.MagicNameBox->text(), QStringLiteral("魔法"));
    EXPECT_EQ(f.MagicAnimiTypeBox->currentText(), QStringLiteral("shoot"));
    EXPECT_EQ(f.Label12->text(), QStringLiteral("0"));
    f.Timer2_Timer();
    EXPECT_EQ(f.InfoLabel->text(),
              QStringLiteral("rowcounts:0  colcounts:0  swidth:0  sheight:0  lwidth:0  lheight:0"));

    // Insert: the script text becomes the list, and the script editor is
    // back; saving it writes the file the game runs.
    se().setScriptText("old");
    click(f.Command7);
    EXPECT_FALSE(f.isVisible());
    EXPECT_TRUE(se().isVisible());
    EXPECT_EQ(scriptText(), statements);
    EXPECT_TRUE(dialogs.messages.isEmpty()) << dialogs.messages.join("|").toStdString();
    click(se().Command2);
    EXPECT_EQ(ReadBytes(game.path("Script/MagicKindList.jsr")), statements + "\r\n");

    // "退出编辑器" unloads it; the next F3 reads the list again.
    KeyTo(&se(), Qt::Key_F3);
    M().MagicRecs[0].Attack = 99;
    me().Menu_Exit->trigger();
    ProcessDeletes();
    EXPECT_FALSE(session->tools.MagicEditorForm.loaded());
    KeyTo(&se(), Qt::Key_F3);
    EXPECT_EQ(session->tools.MagicEditorForm.loads(), 2);
    EXPECT_EQ(MagicListStatements(M().MagicRecs, M().MagicCount).text, statements);
}

TEST_F(MagicEditorTest, SelectingAKindFillsThePanelAndStartsItsPreview)
{
    writeList(ThreeKinds(), 3);
    start();
    MagicEditor& f = open();
    // As a kind stored before it had a picture is.
    M().MagicRecs[2].FileName.clear();
    ClickRow(f.List1, "火球");
    EXPECT_EQ(M().CurMagic, 1);
    EXPECT_EQ(f.Label12->text(), QStringLiteral("1"));
    EXPECT_EQ(f.MagicFileNameBox->text(), QStringLiteral("magic0"));
    EXPECT_EQ(f.MagicAttackBox->text(), QStringLiteral("20"));
    EXPECT_EQ(f.MagicLargeWidthBox->text(), QStringLiteral("256")); // the record's, not the sheet's 320
    EXPECT_EQ(f.MagicWaveNameBox->text(), QStringLiteral("hit"));
    // Its area, stored bottom above top, is shown the right way round.
    EXPECT_EQ(f.Shape1, QRect(8, 10, 48, 30));
    EXPECT_TRUE(f.Shape1Visible);
    EXPECT_TRUE(f.Timer1.enabled());
    EXPECT_EQ(f.Command2->text(), QStringLiteral("停止播放"));
    EXPECT_EQ(f.SinglePicture->size(), QSize(64, 64));
    EXPECT_EQ(boxImage(f.SinglePicture), MakeSheet(5, 320, 64, 64, 64).copy(0, 0, 64, 64));
    EXPECT_EQ(M().MagicSheetWidth, 256);
    EXPECT_EQ(M().MagicFramesPerRow, 4);
    // The picture was loaded into the picture window without showing it.
    EXPECT_FALSE(pf().isVisible());
    EXPECT_EQ(pf().Picture1->size(), QSize(320, 64));

    // A kind without a picture only becomes the current one.
    f.MagicAttackBox->setText("5");
    ClickRow(f.List1, "冰");
    EXPECT_EQ(M().CurMagic, 3);
    EXPECT_EQ(f.MagicAttackBox->text(), QStringLiteral("5"));
    EXPECT_EQ(f.MagicFileNameBox->text(), QStringLiteral("magic0"));
}

TEST_F(MagicEditorTest, StoreAndAddCheckEveryBoxAndAKindIsNumberedByItsPlace)
{
    writeList(ThreeKinds(), 3);
    start();
    MagicEditor& f = open();
    ClickRow(f.List1, "NULL");
    // Halves go to the even neighbour; True/False are numbers.
    setBox(f.MagicAttackBox, "63.5");
    setBox(f.MagicAddHpBox, "62.5");
    setBox(f.MagicAutoAimBox, "True");
    setBox(f.MagicNameBox, "雷");
    click(f.Command1);
    EXPECT_EQ(M().MagicRecs[1].Attack, 64);
    EXPECT_EQ(M().MagicRecs[1].AddHp, 62);
    EXPECT_EQ(M().MagicRecs[1].AutoAim, -1);
    EXPECT_EQ(M().MagicRecs[1].Name, G("雷"));
    EXPECT_EQ(f.List1->item(1)->text(), QStringLiteral("雷"));

    // A refusal names every bad box and changes nothing.
    const MagicRec before = M().MagicRecs[1];
    struct Bad {
        QLineEdit* box;
        const char* text;
        const char* label;
    } bad[] = {
        {f.MagicAttributeBox, "无", "“魔法属性:”的“无”不是-32768到32767之间的数字"},
        {f.MagicDelayBox, "40000", "“动画延时:”的“40000”"},
        {f.MagicIDBox, "", "“编号:”的“”"},
        {f.MagicNameBox, "a,b", "“名称:”的“a,b”含有逗号"},
        {f.MagicWaveNameBox, "\"hit", "“播放声音:”的“\"hit”含有双引号"},
        {f.MagicWaveNameBox, "h\"it", "“播放声音:”的“h\"it”含有双引号"},
    };
    for (const Bad& b : bad) {
        const QString keep = b.box->text();
        setBox(b.box, QString::fromUtf8(b.text));
        dialogs.messages.clear();
        click(f.Command1);
        click(f.Command4);
        ASSERT_EQ(dialogs.messages.size(), 2) << b.text;
        EXPECT_TRUE(dialogs.messages[0].contains(QString::fromUtf8(b.label))) << dialogs.messages[0].toStdString();
        EXPECT_EQ(M().MagicCount, 3);
        EXPECT_EQ(MagicListStatements(M().MagicRecs, 3).text.split('\n')[1],
                  MagicListStatements({before}, 1).text.split('\n')[0]);
        b.box->setText(keep);
    }
    // A line break cannot even be typed into a box, but a pasted one is
    // refused as well.
    f.MagicNameBox->setText(QStringLiteral("a\nb"));
    dialogs.messages.clear();
    click(f.Command1);
    EXPECT_TRUE(dialogs.saw(QStringLiteral("含有换行")));
    f.MagicNameBox->setText(QStringLiteral("雷"));

    // Add: the panel becomes the last kind, numbered by its place; the new
    // row shows the selected kind's stored name.
    setBox(f.MagicNameBox, "风");
    click(f.Command4);
    ASSERT_EQ(M().MagicCount, 4);
    EXPECT_EQ(f.Label16->text(), QStringLiteral("4"));
    EXPECT_EQ(f.List1->item(3)->text(), QStringLiteral("雷"));
    EXPECT_EQ(f.List1->currentRow(), 1);
    EXPECT_EQ(M().MagicRecs[3].Name, G("风"));
    EXPECT_EQ(M().MagicRecs[3].ID, 3);
    EXPECT_EQ(f.MagicIDBox->text(), QStringLiteral("3")); // the number it got
    EXPECT_EQ(M().MagicRecs[3].FileName, "magic1");
    EXPECT_EQ(M().MagicRecs[3].Attack, 64);
    // At 51 kinds add does nothing.
    while (M().MagicCount < MagicSlots)
        click(f.Command4);
    click(f.Command4);
    EXPECT_EQ(M().MagicCount, MagicSlots);
    EXPECT_EQ(f.List1->count(), MagicSlots);
}

// Shown, the editor has no kind selected: the list taking the focus (when
// the window comes up, or by Tab) chooses no row, and nothing the program
// does to the list acts as a click. The keys and the mouse choose.
TEST_F(MagicEditorTest, ShowingTheEditorSelectsNoKind)
{
    writeList(ThreeKinds(), 3);
    start();
    for (int shown = 0; shown < 2; ++shown) {
        MagicEditor& f = open();
        f.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
        takeFocus(f.List1);
        EXPECT_EQ(f.List1->currentRow(), -1);
        EXPECT_TRUE(f.List1->selectedItems().isEmpty());
        EXPECT_EQ(M().CurMagic, 0);
        EXPECT_EQ(f.Label12->text(), QStringLiteral("0"));
        EXPECT_EQ(f.MagicNameBox->text(), QStringLiteral("魔法"));
        EXPECT_EQ(f.MagicAttackBox->text(), QStringLiteral("10"));
        // Store and delete find nothing selected.
        click(f.Command1);
        EXPECT_EQ(M().MagicRecs[0].Name, G("火球"));
        click(f.Command8);
    }
    MagicEditor& f = open();
    f.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    takeFocus(f.List1);
    QTest::keyClick(f.List1, Qt::Key_Down);
    EXPECT_EQ(M().CurMagic, 1);
    EXPECT_EQ(f.MagicNameBox->text(), QStringLiteral("火球"));
    ClickRow(f.List1, QStringLiteral("冰"));
    EXPECT_EQ(M().CurMagic, 3);
}

TEST_F(MagicEditorTest, AnEmptyListGainsItsFirstKind)
{
    game.write("Script/MagicKindList.jsr", "EOF\r\n");
    start();
    MagicEditor& f = open();
    EXPECT_EQ(f.List1->count(), 0);
    click(f.Command1); // nothing selected: nothing stored
    setBox(f.MagicAttributeBox, "0");
    setBox(f.MagicNameBox, "火球");
    setBox(f.MagicIDBox, "7");
    openPicture(game.path("Resource/bmp/magic0.bmp"));
    click(f.Command4);
    ASSERT_EQ(M().MagicCount, 1);
    EXPECT_EQ(f.List1->item(0)->text(), QStringLiteral("火球"));
    EXPECT_EQ(M().MagicRecs[0].ID, 0);
    EXPECT_EQ(M().CurMagic, 1);
    click(f.Command7);
    EXPECT_TRUE(scriptText().startsWith("AddToMagicList(,magic0,0," + G("火球") + ",0,0,0,0,100,NULL,"));
}

TEST_F(MagicEditorTest, DeleteAsksAndKeepsRowsAndKindsInStep)
{
    const MagicTable recs = ThreeKinds();
    writeList(recs, 3);
    start();
    MagicEditor& f = open();
    click(f.Command5); // nothing selected: no question
    EXPECT_TRUE(dialogs.messages.isEmpty());
    ClickRow(f.List1, "NULL");
    dialogs.yesNo.push_back(fr::vbNo);
    click(f.Command5);
    EXPECT_EQ(dialogs.messages.last(), QStringLiteral("是否决定删除?"));
    EXPECT_EQ(M().MagicCount, 3);
    dialogs.yesNo.push_back(fr::vbYes);
    click(f.Command5);
    ASSERT_EQ(f.List1->count(), 2);
    EXPECT_EQ(f.List1->item(1)->text(), QStringLiteral("冰"));
    EXPECT_EQ(M().MagicCount, 2);
    EXPECT_EQ(M().CurMagic, 2); // kept
    EXPECT_EQ(M().MagicRecs[1].FileName, "magic2");
    EXPECT_EQ(M().MagicRecs[2].Name, "NULL");
    EXPECT_EQ(M().MagicRecs[2].FileName, "NULL");
    click(f.Command7);
    const MagicTable left{recs[0], recs[2]};
    const QStringList problems = dialogs.messages.filter(QStringLiteral("游戏会这样读它"));
    ASSERT_EQ(problems.size(), 1); // the third kind's ID and picture now stand at place 1
    EXPECT_TRUE(problems[0].contains(QStringLiteral("在游戏中是第1号，但编号是2")));
    EXPECT_EQ(scriptText(), MagicListStatements(left, 2).text);
}

TEST_F(MagicEditorTest, TheInsertWritesOnlyIntoAWholeMagicListFile)
{
    writeList(ThreeKinds(), 3);
    start();
    MagicEditor& f = open("a.jsr");
    se().setScriptText("keep");
    click(f.Command7);
    EXPECT_EQ(scriptText(), "keep");
    EXPECT_EQ(dialogs.count(QStringLiteral("MagicKindList.jsr")), 1);
    EXPECT_TRUE(se().isVisible());
    // The same name in another folder is not the game's list.
    M().CurScriptPath = game.path("Map/MagicKindList.jsr");
    f.Command7_Click();
    EXPECT_EQ(scriptText(), "keep");
    EXPECT_EQ(dialogs.count(QStringLiteral("MagicKindList.jsr")), 2);

    // A list read only in part is never rewritten.
    game.write("Script/MagicKindList.jsr", MagicListStatements(ThreeKinds(), 1).text.replace("EOF", "") +
                                               "AddToMagicList(,magic1,1,x,64\r\nEOF\r\n");
    f.Menu_Exit_Click();
    ProcessDeletes();
    dialogs.yesNo.push_back(fr::vbNo); // the unsaved "keep" is not saved
    ClickRow(se().FileTable, "MagicKindList.jsr");
    se().setScriptText("keep");
    dialogs.messages.clear();
    KeyTo(&se(), Qt::Key_F3);
    EXPECT_EQ(me().List1->count(), 1);
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].contains(QStringLiteral("第2行：语句不完整")));
    click(me().Command7);
    EXPECT_EQ(scriptText(), "keep");
    EXPECT_TRUE(dialogs.saw(QStringLiteral("只读入了一部分")));
}

TEST_F(MagicEditorTest, ClosingTheLastWindowBringsTheScriptEditorBack)
{
    writeList(ThreeKinds(), 3);
    start();
    MagicEditor& f = open();
    click(f.Command8); // "返回"
    EXPECT_FALSE(f.isVisible());
    EXPECT_TRUE(se().isVisible());
    KeyTo(&se(), Qt::Key_F3);
    EXPECT_EQ(session->tools.MagicEditorForm.loads(), 1); // hidden, not unloaded
    // The close box unloads it; no window would be left, so the script
    // editor comes back.
    EXPECT_TRUE(me().close());
    ProcessDeletes();
    EXPECT_FALSE(session->tools.MagicEditorForm.loaded());
    EXPECT_TRUE(se().isVisible());
    // The same through the menu.
    se().MenuItem("Menu_ScriptAddMagic")->trigger();
    ASSERT_TRUE(me().isVisible());
    me().menuBar()->actions()[0]->menu()->actions()[0]->trigger(); // 文件 > 退出编辑器
    ProcessDeletes();
    EXPECT_FALSE(session->tools.MagicEditorForm.loaded());
    EXPECT_TRUE(se().isVisible());
}

TEST_F(MagicEditorTest, MissingOrUnreadableListsSayWhy)
{
    start();
    MagicEditor& f = open(nullptr);
    EXPECT_EQ(f.List1->count(), 0);
    EXPECT_TRUE(dialogs.saw(QStringLiteral("找不到魔法列表")));
    f.Menu_Exit_Click();
    ProcessDeletes();
    // A folder in the list's place cannot be read, and is never rewritten.
    QDir().mkpath(game.path("Script/MagicKindList.jsr"));
    dialogs.messages.clear();
    KeyTo(&se(), Qt::Key_F3);
    EXPECT_TRUE(dialogs.saw(QStringLiteral("无法读取魔法列表")));
    EXPECT_TRUE(M().PartlyReadFiles.contains(game.path("Script/MagicKindList.jsr")));
}

// ---- Picture window, preview and sound -------------------------------------------

TEST_F(MagicEditorTest, AFrameSelectionSnapsToWholeFramesAndStartsThePreview)
{
    game.write("Script/MagicKindList.jsr", "EOF\r\n");
    start();
    MagicEditor& f = open();
    // Cancelled: nothing opens, nothing changes.
    openPicture("");
    EXPECT_FALSE(session->tools.MagicPicture.loaded());
    EXPECT_EQ(f.MagicFileNameBox->text(), QString());
    // Chosen anywhere, loaded from the game's picture folder by its name.
    openPicture("/elsewhere/MAGIC0.bmp");
    EXPECT_EQ(dialogs.fileDialogs.back().filter, QStringLiteral("bmp|*.bmp"));
    EXPECT_EQ(dialogs.fileDialogs.back().initDir, game.path("Resource/bmp"));
    ASSERT_TRUE(pf().isVisible());
    EXPECT_EQ(f.MagicFileNameBox->text(), QStringLiteral("MAGIC0"));
    EXPECT_EQ(f.MagicLargeWidthBox->text(), QStringLiteral("320"));
    EXPECT_EQ(f.MagicLargeHeightBox->text(), QStringLiteral("64"));
    EXPECT_EQ(pf().Picture1->size(), QSize(320, 64));
    pf().resize(200, 150);
    QTest::qWait(1);
    EXPECT_EQ(pf().windowTitle(), QStringLiteral("魔法图片:320×64"));
    EXPECT_EQ(pf().HScroll1->maximum(), 320 - pf().PictureFrame->width());
    EXPECT_EQ(pf().VScroll1->maximum(), 0);
    pf().HScroll1->setValue(32);
    EXPECT_EQ(pf().Picture1->x(), -32);
    pf().HScroll1->setValue(0);

    // A purely vertical move has no width: no ratio, and its release is
    // ignored.
    Drag(pf().Picture1, {10, 10}, {10, 40});
    EXPECT_EQ(pf().windowTitle(), QStringLiteral("魔法图片:320×64  0×30"));
    EXPECT_EQ(f.MagicRowCountsBox->text(), QStringLiteral("0"));
    EXPECT_TRUE(pf().isVisible());
    // Frames of exactly 30 pixels: the counts and the frame size only.
    Drag(pf().Picture1, {0, 0}, {30, 30});
    EXPECT_EQ(pf().windowTitle(), QStringLiteral("魔法图片:320×64  30×30  比例:10.67×2.13"));
    EXPECT_EQ(f.MagicRowCountsBox->text(), QStringLiteral("11"));
    EXPECT_EQ(f.MagicColCountsBox->text(), QStringLiteral("2"));
    EXPECT_EQ(f.MagicSmallWidthBox->text(), QStringLiteral("0"));
    EXPECT_TRUE(pf().isVisible());
    // 62×60 snaps to 5 frames of 64 in one row.
    Drag(pf().Picture1, {0, 0}, {62, 60});
    EXPECT_EQ(f.MagicRowCountsBox->text(), QStringLiteral("5"));
    EXPECT_EQ(f.MagicColCountsBox->text(), QStringLiteral("1"));
    EXPECT_EQ(f.MagicSmallWidthBox->text(), QStringLiteral("64"));
    EXPECT_EQ(f.MagicSmallHeightBox->text(), QStringLiteral("64"));
    EXPECT_FALSE(pf().isVisible());
    EXPECT_TRUE(f.isVisible());
    EXPECT_TRUE(f.Timer1.enabled());
    EXPECT_EQ(f.Command2->text(), QStringLiteral("停止播放"));
    EXPECT_EQ(pf().Shape1.topLeft(), QPoint(0, 0));
    EXPECT_EQ(f.SinglePicture->size(), QSize(64, 64));
    const QImage sheet = MakeSheet(5, 320, 64, 64, 64);
    EXPECT_EQ(boxImage(f.SinglePicture), sheet.copy(0, 0, 64, 64));
    // The animation steps by the selection's own size until a kind is
    // selected; its timer runs at the delay box's pace.
    f.Timer1_Timer();
    EXPECT_EQ(boxImage(f.AnimiMagicPicture).pixel(0, 0), sheet.pixel(62, 0));
    EXPECT_EQ(f.Timer1.interval(), 100);
    f.Timer2_Timer();
    EXPECT_EQ(f.InfoLabel->text(),
              QStringLiteral("rowcounts:5  colcounts:1  swidth:62  sheight:60  lwidth:320  lheight:64"));

    // "重选区域" shows the window again and stops the animation.
    click(f.Command3);
    EXPECT_TRUE(pf().isVisible());
    EXPECT_FALSE(f.Timer1.enabled());
    EXPECT_EQ(f.AnimiCol, 0);
}

TEST_F(MagicEditorTest, BadPicturesLeaveTheSheetAsItWasAndSayWhy)
{
    game.write("Script/MagicKindList.jsr", "EOF\r\n");
    start();
    MagicEditor& f = open();
    openPicture(game.path("Resource/bmp/magic0.bmp"));
    const int hmax = pf().HScroll1->maximum();
    QByteArray bmp = ReadBytes(game.path("Resource/bmp/magic0.bmp"));
    // A huge size in an otherwise small file.
    QByteArray huge = bmp;
    huge[18] = 0, huge[19] = 0, huge[20] = 0, huge[21] = 1; // 16777216 pixels wide
    struct Case {
        const char* name;
        QByteArray bytes;
        const char* why;
    } cases[] = {
        {"png", [] {
             QByteArray b;
             QBuffer buf(&b);
             buf.open(QIODevice::WriteOnly);
             MakeSheet(1, 64, 64, 32, 32).save(&buf, "PNG");
             return b;
         }(), "不是BMP图片"},
        {"cut", bmp.left(bmp.size() / 2), "文件不完整"},
        {"huge", huge, "图片过大"},
        {"gone", {}, "无法读取图片"},
    };
    for (const Case& c : cases) {
        if (!c.bytes.isEmpty())
            game.write(QString("Resource/bmp/%1.bmp").arg(c.name), c.bytes);
        dialogs.messages.clear();
        openPicture(game.path(QString("Resource/bmp/%1.bmp").arg(c.name)));
        ASSERT_EQ(dialogs.messages.size(), 1) << c.name;
        EXPECT_TRUE(dialogs.messages[0].contains(QString::fromUtf8(c.why))) << dialogs.messages[0].toStdString();
        EXPECT_EQ(f.MagicFileNameBox->text(), QStringLiteral("magic0"));
        EXPECT_EQ(M().MagicSheetWidth, 320);
        EXPECT_EQ(f.MagicLargeWidthBox->text(), QStringLiteral("320"));
        EXPECT_EQ(pf().HScroll1->maximum(), hmax);
    }
    // A name that would split the list's items is refused before loading.
    MakeSheet(1, 64, 64, 32, 32).save(game.path("Resource/bmp/a,b.bmp"), "BMP");
    dialogs.messages.clear();
    openPicture(game.path("Resource/bmp/a,b.bmp"));
    EXPECT_TRUE(dialogs.saw(QStringLiteral("含有逗号")));
    EXPECT_EQ(f.MagicFileNameBox->text(), QStringLiteral("magic0"));
}

TEST_F(MagicEditorTest, TheAnimationShowsTheFramesRowByRow)
{
    MagicTable recs;
    recs.fill(InitStruct());
    recs[0].FileName = "magic1"; // Magic1.bmp on disk: 4×2 frames of 32
    recs[0].Name = "m";
    recs[0].SmallWidth = recs[0].SmallHeight = 32;
    recs[0].RowCounts = 4;
    recs[0].ColCounts = 2;
    writeList(recs, 1);
    start();
    MagicEditor& f = open();
    ClickRow(f.List1, "m");
    const QImage sheet = MakeSheet(6, 128, 64, 32, 32);
    QStringList shown;
    for (int i = 0; i < 9; ++i) {
        f.Timer1_Timer();
        shown << f.Label10->text();
        const int n = shown.last().toInt();
        EXPECT_EQ(boxImage(f.AnimiMagicPicture), sheet.copy(n % 4 * 32, n / 4 * 32, 32, 32)) << i;
    }
    EXPECT_EQ(shown.join(','), QStringLiteral("1,2,3,4,5,6,7,0,1"));

    // Play and stop: the delay box sets the pace; one that is no time keeps
    // it and says so.
    setBox(f.MagicDelayBox, "40");
    click(f.Command2);
    EXPECT_FALSE(f.Timer1.enabled());
    EXPECT_EQ(f.Command2->text(), QStringLiteral("播放动画"));
    EXPECT_EQ(f.Timer1.interval(), 40);
    setBox(f.MagicDelayBox, "0");
    QTest::mouseClick(f.AnimiMagicPicture, Qt::LeftButton, {}, {5, 5});
    EXPECT_TRUE(f.Timer1.enabled());
    EXPECT_EQ(f.Timer1.interval(), 40);
    EXPECT_TRUE(dialogs.saw(QStringLiteral("不是1到32767之间的毫秒数")));
    // Opening a picture stops the animation; the button keeps its caption.
    openPicture(game.path("Resource/bmp/magic0.bmp"));
    EXPECT_FALSE(f.Timer1.enabled());
    EXPECT_EQ(f.Command2->text(), QStringLiteral("停止播放"));
}

TEST_F(MagicEditorTest, OneStrokeMarksTheEffectiveAreaSymmetrically)
{
    game.write("Script/MagicKindList.jsr", "EOF\r\n");
    start();
    MagicEditor& f = open();
    f.SinglePicture->setBoxSize(32, 48);
    f.SinglePicture->setEnabled(true);
    struct Case {
        int x, y1, y2;
        const char* boxes;
    } cases[] = {{10, 20, 44, "10,20,22,44"}, {10, 44, 20, "10,20,22,44"}, {24, 5, 9, "8,5,24,9"}};
    for (const Case& c : cases) {
        Drag(f.SinglePicture, {c.x, c.y1}, {c.x, c.y2});
        const QString got = QStringList{f.MagicELeftBox->text(), f.MagicETopBox->text(), f.MagicERightBox->text(),
                                        f.MagicEBottomBox->text()}
                                .join(',');
        EXPECT_EQ(got, QString::fromLatin1(c.boxes));
        EXPECT_TRUE(f.Shape1Visible);
        EXPECT_FALSE(f.Line11.visible);
    }
    // Other buttons mark nothing.
    Drag(f.SinglePicture, {2, 2}, {2, 30}, Qt::RightButton);
    EXPECT_EQ(f.MagicELeftBox->text(), QStringLiteral("8"));
}

TEST_F(MagicEditorTest, TheSoundIsChosenFromTheGameFolderAndPlayedFromThere)
{
    FakeSound sound;
    game.write("Script/MagicKindList.jsr", "EOF\r\n");
    game.write("Resource/wav/noise.wav", "not a wave file at all");
    WriteBytes(game.path("../anywhere/Hit.WAV"), Wave());
    start();
    MagicEditor& f = open();
    dialogs.files.push_back(game.path("../anywhere/Hit.WAV"));
    click(f.Command9);
    EXPECT_EQ(dialogs.fileDialogs.back().filter, QStringLiteral("音效文件|*.wav"));
    EXPECT_EQ(dialogs.fileDialogs.back().initDir, game.path("Resource/wav"));
    EXPECT_EQ(f.MagicWaveNameBox->text(), QStringLiteral("Hit"));
    // Cancelled, or a name the list cannot hold: the box keeps its sound.
    dialogs.files.push_back("");
    click(f.Command9);
    dialogs.files.push_back("/x/a,b.wav");
    click(f.Command9);
    EXPECT_TRUE(dialogs.saw(QStringLiteral("含有逗号")));
    EXPECT_EQ(f.MagicWaveNameBox->text(), QStringLiteral("Hit"));

    setBox(f.MagicWaveNameBox, "hit");
    click(f.Command10);
    EXPECT_EQ(sound.played, QStringList{game.path("Resource/wav/Hit.wav")});
    dialogs.messages.clear();
    for (const char* name : {"noise", "gone"}) {
        setBox(f.MagicWaveNameBox, name);
        click(f.Command10);
    }
    EXPECT_EQ(sound.played.size(), 1);
    ASSERT_EQ(dialogs.messages.size(), 2);
    EXPECT_TRUE(dialogs.messages[0].contains(QStringLiteral("要加载的WAVE文件格式WAVE错误！RIFF区块")));
    EXPECT_TRUE(dialogs.messages[1].contains(QStringLiteral("找不到声音文件")));
}

// A sound is chosen only when the game would play it: samples of 8 or 16
// bits in one or two channels, with a block size that fits them. Any other
// file is refused at once with what the game would say, and the box keeps
// its sound; "播放" refuses it the same way.
TEST_F(MagicEditorTest, ASoundTheGameWouldRefuseIsRefusedAtChoice)
{
    FakeSound sound;
    game.write("Script/MagicKindList.jsr", "EOF\r\n");
    start();
    MagicEditor& f = open();
    const QString refused = QStringLiteral("建立声音次缓冲区失败！");
    const struct {
        const char* name;
        QByteArray bytes;
        const char* why; // empty: the game plays it
    } cases[] = {
        {"mono8", Wave(1, 8, 1), ""},
        {"stereo16", Wave(2, 16, 4), ""},
        {"deep24", Wave(1, 24, 3), "sample size other than 8 or 16 bits"},
        {"deep32", Wave(2, 32, 8), "sample size other than 8 or 16 bits"},
        {"noalign", Wave(1, 16, 0), "block size does not match"},
        {"widealign", Wave(1, 8, 2), "block size does not match"},
        {"surround", Wave(6, 16, 12), "channel count other than 1 or 2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = game.path(QStringLiteral("Resource/wav/%1.wav").arg(c.name));
        WriteBytes(path, c.bytes);
        setBox(f.MagicWaveNameBox, "Hit");
        dialogs.messages.clear();
        dialogs.files.push_back(path);
        click(f.Command9);
        if (!*c.why) {
            EXPECT_EQ(f.MagicWaveNameBox->text(), QString::fromLatin1(c.name));
            EXPECT_TRUE(dialogs.messages.isEmpty()) << dialogs.messages.join("|").toStdString();
            continue;
        }
        EXPECT_EQ(f.MagicWaveNameBox->text(), QStringLiteral("Hit"));
        ASSERT_EQ(dialogs.messages.size(), 1);
        EXPECT_TRUE(dialogs.messages[0].contains(refused)) << dialogs.messages[0].toStdString();
        EXPECT_TRUE(dialogs.messages[0].contains(QString::fromLatin1(c.why))) << dialogs.messages[0].toStdString();
        // Named in the box by hand, it is not played either.
        setBox(f.MagicWaveNameBox, c.name);
        click(f.Command10);
        EXPECT_TRUE(dialogs.saw(refused));
    }
    EXPECT_TRUE(sound.played.isEmpty()) << sound.played.join("|").toStdString();
}

// Names from the magic list go where the game takes them: '\' separates as
// '/' does, and a name that would leave the game folder is refused with the
// game's message, never read.
TEST_F(MagicEditorTest, NamesThatLeaveTheGameFolderAreRefusedAndNeverRead)
{
    FakeSound sound;
    MakeSheet(5, 320, 64, 64, 64).save(game.path("../outside.bmp"), "BMP");
    WriteBytes(game.path("../outside.wav"), Wave());
    MakeSheet(6, 128, 64, 32, 32).save(game.path("Resource/bmp/magic1.bmp"), "BMP");
    QDir().mkpath(game.path("Resource/bmp/fire"));
    MakeSheet(7, 256, 64, 64, 64).save(game.path("Resource/bmp/fire/big.bmp"), "BMP");
    MagicTable recs = ThreeKinds();
    recs[0].FileName = "../../../outside";
    recs[0].WaveName = "..\\..\\..\\outside";
    recs[1].FileName = "fire\\big";
    recs[1].WaveName = "../../wav/hit";
    recs[2].FileName = "..\\bmp\\magic1";
    recs[2].WaveName = "/../../../outside";
    writeList(recs, 3);
    start();
    MagicEditor& f = open();
    const QString refused = QStringLiteral("文件名指向游戏目录之外，已拒绝！");
    struct Case {
        const char* row;
        int sheetWidth; // 0: no picture read
        const char* message;
    } cases[] = {
        {"火球", 0, "resource/bmp/../../../outside.bmp"},
        {"NULL", 256, ""},
        {"冰", 0, "resource/bmp/..\\bmp\\magic1.bmp"},
    };
    for (const Case& c : cases) {
        dialogs.messages.clear();
        M().MagicSheetWidth = 0;
        ClickRow(f.List1, c.row);
        EXPECT_EQ(M().MagicSheetWidth, c.sheetWidth) << c.row;
        const QStringList expected = *c.message ? QStringList{refused + "\r\n" + QString::fromUtf8(c.message)}
                                                : QStringList{};
        EXPECT_EQ(dialogs.messages, expected) << c.row;
        if (c.sheetWidth) {
            EXPECT_EQ(pf().Picture1->size(), QSize(256, 64)) << c.row;
        }
        // "播放" with the kind's sound.
        dialogs.messages.clear();
        click(f.Command10);
        EXPECT_TRUE(dialogs.saw(refused)) << c.row << ": " << dialogs.messages.join("|").toStdString();
    }
    EXPECT_TRUE(sound.played.isEmpty()) << sound.played.join("|").toStdString();
}
