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
// there instead of comparing them with the file. A seeded random session on
// the largest map is compared between the two runs at every step.
#include "demo_fixture.h"

#include <cstdio>

#include "shell/picker_form.h"
#include "shell/thumbnail_form.h"

#include <QCryptographicHash>
#include <QFile>
#include <QMouseEvent>

#include <functional>
#include <random>

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

// A quick fingerprint of a picture's size and pixels, for comparing two runs
// (a map-sized picture's every step).
QString Fingerprint(const QImage& shown)
{
    const QImage img = shown.convertToFormat(QImage::Format_RGB32);
    size_t h = qHash(img.size());
    for (int y = 0; y < img.height(); ++y)
        h = qHashBits(img.constScanLine(y), size_t(img.width()) * 4, h);
    return QString::number(h, 16);
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

    // A seeded random editing session on the demo's largest map: painting,
    // dragging, region copies stamped and filled, fills, the eraser, layer
    // views, and scrolling far enough that the tiles kept for showing are
    // all dropped and made again.
    // `seen` gets one line per step and picture.
    void randomSession(QStringList& seen)
    {
        startOnDemo();
        setViewport(640, 480);
        openMap(demo("Map/huge.jmap"));
        QApplication::processEvents();
        std::mt19937 rng(23);
        auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
        const int mapSide = 181 * 32;
        int fills = 0;
        for (int step = 0; step < 36; ++step) {
            QString what;
            const int op = pick(0, 99);
            // A cell in the view, a few cells in from its right and bottom.
            const int cx = main().HScroll1->value() / 32 + pick(0, 14);
            const int cy = main().VScroll1->value() / 32 + pick(0, 10);
            if (op < 22) {
                what = QStringLiteral("paint");
                clickAt(cx * 32, cy * 32);
            } else if (op < 36) {
                what = QStringLiteral("drag");
                main().MainPic->move(cx * 32, cy * 32);
                SendMouse(main().MainPic, QEvent::MouseButtonPress, {1, 1}, Qt::LeftButton, Qt::LeftButton);
                for (int i = pick(2, 5); i > 0; --i) {
                    const QPoint to(pick(0, 1) ? int(M().BrushWidth) + 2 : 5,
                                    pick(0, 1) ? int(M().BrushHeight) + 2 : 5);
                    SendMouse(main().MainPic, QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
                }
                SendMouse(main().MainPic, QEvent::MouseButtonRelease, {1, 1}, Qt::LeftButton, Qt::NoButton);
            } else if (op < 46) {
                what = QStringLiteral("region copy");
                clickAt(cx * 32, cy * 32, Qt::RightButton);
                bandTo(cx * 32 + 32 * pick(1, 5) + 5, cy * 32 + 32 * pick(1, 5) + 5);
                QTest::mouseClick(main().Picture1, Qt::LeftButton, {}, QPoint(5, 5));
                if (fills < 3 && pick(0, 1)) {
                    // The layer covered with the block, mostly off its grid.
                    ++fills;
                    what += QStringLiteral(" and fill");
                    press(Qt::Key_X);
                }
            } else if (op < 53 && fills < 3) {
                ++fills;
                what = QStringLiteral("fill");
                press(Qt::Key_X);
            } else if (op < 63) {
                what = QStringLiteral("eraser");
                press(Qt::Key_Q);
                clickAt(cx * 32, cy * 32);
                press(Qt::Key_Q);
            } else if (op < 71) {
                what = QStringLiteral("tile");
                pickTile(pick(0, 2), 32 * pick(0, 7), 32 * pick(0, 1));
            } else if (op < 81) {
                const int layer = pick(1, 7);
                what = QStringLiteral("layer %1").arg(layer);
                press(Qt::Key_F1 + layer - 1);
            } else if (op < 89) {
                const int view = pick(1, 9);
                what = QStringLiteral("view %1").arg(view);
                press(Qt::Key_0 + view);
            } else if (op < 94) {
                what = QStringLiteral("scroll");
                for (int i = pick(1, 6); i > 0; --i)
                    press(pick(0, 1) ? Qt::Key_D : Qt::Key_S);
            } else {
                // Far enough that every tile kept for showing is dropped,
                // then back.
                what = QStringLiteral("far and back");
                const int h = main().HScroll1->value(), v = main().VScroll1->value();
                for (int y = 0; y + 480 <= mapSide; y += 1440)
                    for (int x = 0; x + 640 <= mapSide; x += 640)
                        scrollTo(x, y);
                scrollTo(h, v);
            }
            QApplication::processEvents();
            look(QStringLiteral("%1 %2").arg(step).arg(what), rng, seen);
        }
    }

    void scrollTo(int x, int y)
    {
        main().HScroll1->setValue(x);
        main().VScroll1->setValue(y);
        main().Picture2->repaint();
    }

    // What the step left on the screen and in the pictures.
    void look(const QString& step, std::mt19937& rng, QStringList& seen)
    {
        fr::PicImage::settleAll();
        const QRect view(main().HScroll1->value(), main().VScroll1->value(), 640, 480);
        const QRect square(std::uniform_int_distribution<int>(0, 181 * 32 - 256)(rng),
                           std::uniform_int_distribution<int>(0, 181 * 32 - 256)(rng), 256, 256);
        seen << step + " shown " + Fingerprint(main().Picture2->grab().toImage());
        seen << step + " brush " + Fingerprint(main().MainPic->pic().snapshot());
        for (int layer = 0; layer <= 9; ++layer) {
            const fr::PicImage& pic = layer ? main().LayPicture(layer) : main().Picture1->pic();
            for (const QRect& r : {view, square}) {
                QImage part(r.size(), QImage::Format_RGB32);
                part.fill(Qt::black);
                pic.copyTo(part, 0, 0, r.width(), r.height(), r.x(), r.y());
                seen << step + QStringLiteral(" picture %1 at %2,%3 ").arg(layer).arg(r.x()).arg(r.y()) +
                            Fingerprint(part);
            }
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

// After every step of the random session the two runs show the same pixels:
// what the map window paints, the part of every layer picture and of the
// composite under the view and under a random square, and the brush.
TEST_F(PictureReferences, RandomSessionOnTheLargestMap)
{
    QStringList seen[2];
    twice([&] { randomSession(seen[wholeRun ? 0 : 1]); });
    ASSERT_EQ(seen[0].size(), seen[1].size());
    int differences = 0;
    for (int i = 0; i < seen[0].size() && differences < 10; ++i)
        if (seen[0][i] != seen[1][i]) {
            ++differences;
            ADD_FAILURE() << "whole: " << seen[0][i].toStdString() << "\ntiled: " << seen[1][i].toStdString();
        }
}
