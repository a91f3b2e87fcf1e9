// Screenshots of the magic editor and its picture window with the demo's
// fireball, taken from the screen of a real X server while the preview
// animates (CTest runs this under Xvfb with Qt's xcb platform and names the
// folder in TEV_SHOT_DIR). Both are reached the way a map maker reaches
// them: F3 in the script editor, a click on the kind, "重选区域".
#include "demo_fixture.h"

#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QWindow>

using namespace tstest;
using namespace tilesmith;

namespace {

class MagicScreenshots : public DemoEditorTest {};

} // namespace

TEST_F(MagicScreenshots, MagicEditorAndPictureWindowWithTheFireball)
{
    const QString dir = qEnvironmentVariable("TEV_SHOT_DIR");
    if (dir.isEmpty() || QGuiApplication::platformName() != QLatin1String("xcb"))
        GTEST_SKIP() << "runs as editor.tool_screenshots under Xvfb";
    QDir().mkpath(dir);
    startOnDemo();
    press(Qt::Key_Space);
    ClickRow(se().FileTable, "MagicKindList.jsr");
    seKey(Qt::Key_F3);
    MagicEditor& f = session->tools.MagicEditorForm.get();
    ASSERT_TRUE(f.isVisible());
    ClickRow(f.List1, QStringLiteral("火球"));
    ASSERT_TRUE(f.Timer1.enabled()) << dialogs.messages.join("|").toStdString();

    // The animation runs on the real clock: its frames change on screen.
    const QImage shot = ShootWindow(&f);
    EXPECT_TRUE(shot.save(dir + "/magic-editor.png"));
    const QRect anim(f.AnimiMagicPicture->mapTo(&f, QPoint(0, 0)), f.AnimiMagicPicture->size());
    QSet<QString> frames;
    QSet<size_t> looks;
    for (int i = 0; i < 12; ++i) {
        frames.insert(f.Label10->text());
        const QImage img = GrabScreen(&f, anim);
        looks.insert(qHashBits(img.constBits(), size_t(img.sizeInBytes())));
        QTest::qWait(60);
    }
    EXPECT_GE(frames.size(), 4);
    EXPECT_GE(looks.size(), 3);
    // Fire colours in the preview: the sheet shows.
    const QImage preview = GrabScreen(&f, anim);
    int fire = 0;
    for (int y = 0; y < preview.height(); ++y)
        for (int x = 0; x < preview.width(); ++x)
            fire += qRed(preview.pixel(x, y)) > 200 && qBlue(preview.pixel(x, y)) < 100;
    EXPECT_GT(fire, 200);

    // "重选区域": the sheet in its window, a frame being selected.
    QTest::mouseClick(f.Command3, Qt::LeftButton);
    MagicPictureForm& pf = session->tools.MagicPicture.get();
    ASSERT_TRUE(pf.isVisible());
    pf.resize(420, 220);
    SendMouse(pf.Picture1, QEvent::MouseButtonPress, {64, 0}, Qt::LeftButton, Qt::LeftButton);
    SendMouse(pf.Picture1, QEvent::MouseMove, {126, 62}, Qt::NoButton, Qt::LeftButton);
    const QImage sheet = ShootWindow(&pf);
    EXPECT_TRUE(sheet.save(dir + "/magic-picture.png"));
    EXPECT_TRUE(pf.windowTitle().startsWith(QStringLiteral("魔法图片:256×128  62×62  比例:")))
        << pf.windowTitle().toStdString();
    SendMouse(pf.Picture1, QEvent::MouseButtonRelease, {126, 62}, Qt::LeftButton, Qt::NoButton);
    EXPECT_FALSE(pf.isVisible());
    EXPECT_EQ(f.MagicRowCountsBox->text(), QStringLiteral("4"));
}
