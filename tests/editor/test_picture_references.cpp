// The editor's pictures of the demo maps, compared with reference images:
// the whole composite in its views, the thumbnail, the tile picker and a
// region copied out of the map, also after a few edits made with the mouse.
// Each flow runs twice, once with every picture held whole and once with the
// map-sized pictures in tiles, and the two must show the same pixels. The
// references are digests of the pixels (kept small in the repository), made
// from whole pictures for the demo files whose digest they name; with other
// demo files only the two runs are compared. A picture that differs is
// written as a PNG into the temporary folder so it can be looked at. With
// TEV_WRITE_PICTURE_REFS set to a folder the test writes the digests it sees
// there instead of comparing them with the file.
#include "demo_fixture.h"

#include <cstdio>

#include "shell/picker_form.h"
#include "shell/thumbnail_form.h"

#include <QCryptographicHash>
#include <QFile>
#include <QMouseEvent>

#include <functional>

using namespace tstest;
using namespace tilesmith;

namespace {

// The digest of what a picture shows: its size and every pixel's red, green
// and blue.
QString Digest(const QImage& shown)
{
    const QImage img = shown.convertToFormat(QImage::Format_RGB32);
    QCryptographicHash h(QCryptographicHash::Sha256);
    for (int y = 0; y < img.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        QByteArray bytes(img.width() * 3, Qt::Uninitialized);
        for (int x = 0; x < img.width(); ++x) {
            bytes[3 * x] = char(qRed(row[x]));
            bytes[3 * x + 1] = char(qGreen(row[x]));
            bytes[3 * x + 2] = char(qBlue(row[x]));
        }
        h.addData(bytes);
    }
    return QStringLiteral("%1x%2 %3").arg(img.width()).arg(img.height()).arg(QString::fromLatin1(h.result().toHex()));
}

// The demo files the pictures are drawn from.
QString InputsDigest(const QString& root)
{
    QCryptographicHash h(QCryptographicHash::Sha256);
    QStringList files;
    for (const char* dir : {"Resource/bmp", "Map", "Script", "editor"})
        for (const QString& f : QDir(root + "/" + dir).entryList(QDir::Files, QDir::Name))
            if (f.endsWith(".bmp") || f.endsWith(".jmap") || f.endsWith(".jsr") || f.endsWith(".txt"))
                files << QString::fromLatin1(dir) + "/" + f;
    for (const QString& f : files) {
        QFile file(root + "/" + f);
        if (f == "editor/RecentMap.txt" || !file.open(QIODevice::ReadOnly))
            continue;
        h.addData(f.toUtf8());
        h.addData(file.readAll());
    }
    return QString::fromLatin1(h.result().toHex());
}

// name → "WxH digest", read from the references file.
std::map<QString, QString> ReadReferences()
{
    std::map<QString, QString> out;
    QFile f(QStringLiteral(TEV_PICTURE_REFS));
    if (!f.open(QIODevice::ReadOnly))
        return out;
    for (const QByteArray& raw : f.readAll().split('\n')) {
        const QString line = QString::fromLatin1(raw).trimmed();
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        const int sp = line.indexOf(' ');
        out[line.left(sp)] = line.mid(sp + 1);
    }
    return out;
}

class PictureReferences : public DemoEditorTest {
protected:
    void TearDown() override
    {
        fr::PicImage::setTilingAllowed(true);
        const QString dir = qEnvironmentVariable("TEV_WRITE_PICTURE_REFS");
        if (!dir.isEmpty() && !written.isEmpty()) {
            QFile f(dir + "/" + QString::fromLatin1(testing::UnitTest::GetInstance()->current_test_info()->name()) +
                    ".txt");
            if (f.open(QIODevice::WriteOnly))
                f.write(written.join('\n').toLatin1() + '\n');
        }
        DemoEditorTest::TearDown();
    }
    // Runs a flow on whole pictures and then on tiled ones.
    void twice(const std::function<void()>& flow)
    {
        fr::PicImage::setTilingAllowed(false);
        wholeRun = true;
        flow();
        session.reset();
        fr::PicImage::setTilingAllowed(true);
        wholeRun = false;
        flow();
    }
    static void save(const QString& name, const QImage& img, std::string& where)
    {
        const QString png = QDir::temp().filePath("tilesmith-" + name + ".png");
        img.save(png);
        where = png.toStdString();
    }
    // Keeps a picture of the whole run; compares one of the tiled run with
    // it and with its reference (or records that).
    void check(const QString& name, const QImage& img)
    {
        ASSERT_FALSE(img.isNull()) << name.toStdString();
        const QString seen = Digest(img);
        if (wholeRun) {
            whole[name] = seen;
            if (!qEnvironmentVariable("TEV_WRITE_PICTURE_REFS").isEmpty())
                written << name + " " + seen;
            return;
        }
        std::string png;
        if (whole[name] != seen) {
            save(name, img, png);
            ADD_FAILURE() << name.toStdString() << " in tiles differs from the whole picture (" << whole[name].toStdString()
                          << "), seen " << seen.toStdString() << ", written to " << png;
        }
        if (!qEnvironmentVariable("TEV_WRITE_PICTURE_REFS").isEmpty())
            return;
        static const std::map<QString, QString> refs = ReadReferences();
        static const bool sameInputs = refs.count("inputs") && refs.at("inputs") == InputsDigest(demoRoot);
        if (!sameInputs) {
            // Made from other demo files: the references say nothing now.
            static const bool told = [] {
                std::fprintf(stderr, "picture references are stale (the demo's inputs changed): write new ones "
                                     "with TEV_WRITE_PICTURE_REFS=<folder>\n");
                return true;
            }();
            (void)told;
            return;
        }
        const auto it = refs.find(name);
        ASSERT_NE(it, refs.end()) << "no reference for " << name.toStdString();
        if (it->second != seen) {
            save(name, img, png);
            ADD_FAILURE() << name.toStdString() << " differs from its reference (" << it->second.toStdString()
                          << "), seen " << seen.toStdString() << ", written to " << png;
        }
    }
    void open(const QString& map)
    {
        openMap(demo("Map/" + map + ".jmap"));
    }
    QImage composite() { return main().Picture1->pic().snapshot(); }
    QImage thumbnail()
    {
        main().Menu_WholeMap_Click();
        const QImage img = main().WholeMapPicForm.get().ZoomPicture->image;
        main().WholeMapPicForm.unload();
        return img;
    }
    // The sheet as the picker shows it, opened from its menu.
    QImage picker(void (Main::*menu)())
    {
        (main().*menu)();
        PicResource& p = main().PicResourceForm.get();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&p));
        const QImage img = p.Picture1->pic().snapshot();
        p.ReturnMain_Click();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&main()));
        return img;
    }
    void clickAt(int x, int y, Qt::MouseButton b = Qt::LeftButton)
    {
        main().MainPic->move(x, y);
        QTest::mouseClick(main().MainPic, b, {}, QPoint(1, 1));
    }
    void bandTo(int x, int y)
    {
        QMouseEvent e(QEvent::MouseMove, QPointF(x, y), QPointF(x, y), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(main().Picture1, &e);
    }
    void pressMap(Qt::MouseButton b) { QTest::mouseClick(main().Picture1, b, {}, QPoint(5, 5)); }
    // A one-tile brush from a sheet, as a pick in the picker leaves it.
    void pickTile(int sheet, int sx, int sy)
    {
        M().LargeMode = false;
        M().SavedLargeMode = false;
        M().SpinnerMode = 0;
        M().BrushWidth = M().BrushHeight = M().StepX = M().StepY = 32;
        M().BrushX = sx;
        M().BrushY = int16_t(sy);
        M().BrushSheet = int16_t(sheet);
        for (fr::PicBox* box : {main().MainPic, main().MainPic_}) {
            box->setBoxSize(32, 32);
            box->pic().setPicture(main().ReTempPic[size_t(sheet)].snapshot().copy(sx, sy, 32, 32));
        }
    }

    QStringList written;
    bool wholeRun = false;
    std::map<QString, QString> whole;
};

} // namespace

TEST_F(PictureReferences, DemoMapsTheirViewsThumbnailsAndPicker)
{
    twice([&] {
        startOnDemo();
        if (wholeRun && !qEnvironmentVariable("TEV_WRITE_PICTURE_REFS").isEmpty())
            written << "inputs " + InputsDigest(demoRoot);
        for (const char* map : {"demo", "demo2", "small"}) {
            const QString name = QLatin1String(map);
            open(name);
            check(name + ".composite", composite());
            check(name + ".thumbnail", thumbnail());
        }
        open("demo");
        press(Qt::Key_3);
        check("demo.solo3", composite());
        press(Qt::Key_8);
        check("demo.solo8", composite());
        press(Qt::Key_9);
        check("demo.solo9", composite());
        main().Menu_RefreshAll_Click();
        main().Menu_HideIncidentLay_Click();
        check("demo.noevents", composite());
        main().Menu_HideIncidentLay_Click();
        check("demo.events", composite());
        check("picker.map1", picker(&Main::Menu_Resource_r1_Click));
        check("picker.map2", picker(&Main::Menu_Resource_r2_Click));
    });
}

TEST_F(PictureReferences, EditsAndARegionCopiedOutOfTheMap)
{
    twice([&] {
        startOnDemo();
        main().Menu_RefreshAll_Click();
        // A tile on layer 2, an erased square of the ground, an obstacle.
        press(Qt::Key_F2);
        pickTile(1, 64, 0);
        clickAt(96, 64);
        press(Qt::Key_F1);
        main().Canvas()->Menu_SelectMiddleEraser_Click();
        clickAt(0, 0);
        press(Qt::Key_Q);
        press(Qt::Key_E);
        clickAt(160, 224);
        press(Qt::Key_E);
        check("demo.edited", composite());
        // A region of the ground copied out as the brush, and stamped on layer 4.
        press(Qt::Key_F1);
        clickAt(64, 96, Qt::RightButton);
        bandTo(160, 190);
        pressMap(Qt::LeftButton);
        ASSERT_EQ(M().TakeOutBrush, -1);
        check("demo.regioncopy", main().MainPic->pic().snapshot());
        press(Qt::Key_F4);
        clickAt(320, 32);
        check("demo.stamped", composite());
        check("demo.stamped.thumbnail", thumbnail());
        // Layer 6 filled with one tile.
        press(Qt::Key_F6);
        pickTile(2, 32, 0);
        press(Qt::Key_X);
        check("demo.filled", composite());
    });
}

TEST_F(PictureReferences, LargeMaps)
{
    twice([&] {
        startOnDemo();
        for (const char* map : {"large", "huge"}) {
            const QString name = QLatin1String(map);
            open(name);
            check(name + ".composite", composite());
            check(name + ".thumbnail", thumbnail());
        }
    });
}
