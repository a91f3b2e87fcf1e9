// The editor half of the magic round trip: on a copy of the demo folder a
// map maker brings a picture and a sound of a new magic, makes the kind in
// the magic editor (reached with F3 from the script editor, the picture
// chosen and its frame selected in the picture window, the values typed,
// the effective area stroked, the kind added), inserts the list into the
// script editor and saves it. The game's half
// (tests/game/magic_roundtrip_test.cpp) starts a game in that folder, finds
// the kind and casts it.
#include "demo_fixture.h"

#include "platform/gbk.h"

#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>

using namespace tstest;
using namespace tilesmith;

namespace {

class MagicRoundTrip : public DemoEditorTest {
protected:
    void click(QPushButton* b) { QTest::mouseClick(b, Qt::LeftButton); }
    void type(QLineEdit* box, const QString& text)
    {
        box->setFocus();
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Delete);
        TypeText(box, text);
    }
};

// The new magic's sheet: 3×2 frames of 48×48, a disk of pure magenta (a
// colour nothing else in the demo has) on the transparent blue.
QImage Sheet()
{
    QImage img(144, 96, QImage::Format_RGB32);
    img.fill(qRgb(0, 0, 255));
    for (int f = 0; f < 6; ++f)
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 48; ++x)
                if ((x - 24) * (x - 24) + (y - 24) * (y - 24) <= (10 + f) * (10 + f))
                    img.setPixel(f % 3 * 48 + x, f / 3 * 48 + y, qRgb(255, 0, 255));
    return img;
}

} // namespace

TEST_F(MagicRoundTrip, EditorMakesAMagicKind)
{
    if (qEnvironmentVariableIsEmpty("TEV_ROUNDTRIP"))
        GTEST_SKIP() << "runs as roundtrip.editor_makes_magic";
    const QString out = QStringLiteral(TEV_INTEROP_DIR) + "/magic";
    QDir(out).removeRecursively();
    startOnDemo(out + "/game");

    // Space on Main, the magic list chosen in the script list, F3.
    press(Qt::Key_Space);
    ClickRow(se().FileTable, "MagicKindList.jsr");
    seKey(Qt::Key_F3);
    MagicEditor& f = session->tools.MagicEditorForm.get();
    ASSERT_TRUE(f.isVisible());
    ASSERT_GE(f.List1->count(), 1) << dialogs.messages.join("|").toStdString();
    // The new kind's place in the list, and so the number in its picture's
    // name.
    const int place = f.List1->count();
    const QString picture = QStringLiteral("magic%1").arg(place);
    ASSERT_TRUE(Sheet().save(demo("Resource/bmp/" + picture + ".bmp"), "BMP"));
    ASSERT_TRUE(QFile::copy(demo("Resource/wav/fire.wav"), demo("Resource/wav/zap.wav")));

    // The first kind selected; the new one starts from its values.
    f.List1->setFocus();
    QTest::keyClick(f.List1, Qt::Key_Home);
    ASSERT_EQ(M().CurMagic, 1);
    // The picture, and one frame of it selected roughly.
    dialogs.files = {demo("Resource/bmp/" + picture + ".bmp")};
    click(f.Command6);
    MagicPictureForm& pf = session->tools.MagicPicture.get();
    ASSERT_TRUE(pf.isVisible());
    Drag(pf.Picture1, {0, 0}, {46, 50});
    ASSERT_FALSE(pf.isVisible());
    EXPECT_EQ(f.MagicSmallWidthBox->text(), QStringLiteral("48"));
    EXPECT_EQ(f.MagicSmallHeightBox->text(), QStringLiteral("48"));
    EXPECT_EQ(f.MagicRowCountsBox->text(), QStringLiteral("3"));
    EXPECT_EQ(f.MagicColCountsBox->text(), QStringLiteral("2"));
    // The sound, the values, the effective area.
    dialogs.files = {demo("Resource/wav/zap.wav")};
    click(f.Command9);
    type(f.MagicNameBox, QStringLiteral("雷电"));
    type(f.MagicDelayBox, "150");
    type(f.MagicTimeIntervalBox, "200");
    type(f.MagicInitSpeedBox, "8");
    chooseItem(f.MagicAnimiTypeBox, 0);
    type(f.MagicTimeLifeBox, "2000");
    type(f.MagicAttackBox, "33");
    type(f.MagicCostMpBox, "4");
    type(f.MagicOneCycleBox, "0");
    Drag(f.SinglePicture, {12, 10}, {12, 40});
    EXPECT_EQ(f.MagicERightBox->text(), QStringLiteral("36"));
    click(f.Command4);
    ASSERT_EQ(f.List1->count(), place + 1) << dialogs.messages.join("|").toStdString();
    EXPECT_EQ(M().MagicRecs[place].ID, place);

    // Into the script text, and saved as the magic list.
    click(f.Command7);
    ASSERT_TRUE(se().isVisible());
    EXPECT_TRUE(dialogs.messages.filter(QStringLiteral("游戏会这样读它")).isEmpty())
        << dialogs.messages.join("|").toStdString();
    seKey(Qt::Key_S, Qt::ControlModifier);
    const QByteArray list = ReadBytes(demo("Script/MagicKindList.jsr"));
    EXPECT_TRUE(list.contains("AddToMagicList(,magic0,0,")) << list.constData();
    EXPECT_TRUE(list.contains("AddToMagicList(," + picture.toLatin1() + "," + QByteArray::number(place) + "," +
                              G("雷电") + ",48,48,3,2,150,zap,200,8,0,"))
        << list.constData();
    EXPECT_TRUE(list.endsWith("EOF\r\n"));

    // What the game must make of it, in its own units (the delay is read
    // in thirtieths), and the colour its frames are painted in.
    QByteArray expected;
    expected += "place " + QByteArray::number(place) + "\n";
    expected += "kind " + picture.toLatin1() + " " + QByteArray::number(place) + " " + G("雷电").toHex() +
                " 48 48 3 2 5 zap 200 8 0 2000 33 12 10 36 40 4\n";
    expected += "colour f81f\n";
    WriteBytes(out + "/expected.txt", expected);
}
