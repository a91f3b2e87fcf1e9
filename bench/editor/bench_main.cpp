// Set-up of the editor's benchmarks: Qt on its offscreen platform, dialogs
// that answer at once, and one Main with its sheets.
#include "bench_fixture.h"

#include "canvas/canvas.h"
#include "shell/map_file.h"
#include "shell/module2.h"
#include "shell/thumbnail_form.h"
#include "tools/tool_forms.h"

#include "platform/dialogs.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <map>

namespace {

using namespace tilesmith;

class SilentDialogs : public fr::Dialogs {
public:
    int msgBox(const QString&, int, const QString&) override { return fr::vbOK; }
    bool inputBox(const QString&, const QString&, const QString&, QString&) override { return false; }
    QString openFile(fr::CommonDialogState&) override { return {}; }
    QString saveFile(fr::CommonDialogState&) override { return {}; }
};

QString g_root;
Module1* g_data = nullptr;
Main* g_main = nullptr;
std::map<std::pair<int, bool>, QString> g_maps;

QImage Sheet(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, qRgb((x * 7) & 0xFF, (y * 5) & 0xFF, 100));
    return img;
}

} // namespace

namespace benchfx {

Main& main()
{
    return *g_main;
}

Module1& data()
{
    return *g_data;
}

QString root()
{
    return g_root;
}

namespace {

// A memory figure of /proc/self/status ("VmHWM:", "VmRSS:") in MiB.
double StatusMiB(const QByteArray& field)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(field.size()).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return 0;
}

} // namespace

double PeakMiB()
{
    return StatusMiB("VmHWM:");
}

double ResidentMiB()
{
    return StatusMiB("VmRSS:");
}

void ResetPeak()
{
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    if (f.open(QIODevice::WriteOnly))
        f.write("5");
}

QString MapFile(int side, bool filled)
{
    auto it = g_maps.find({side, filled});
    if (it != g_maps.end())
        return it->second;
    MapDocument d;
    d.width = d.height = side;
    d.MapWidth = d.MapHeight = fr::NumOrText::fromNumber(side);
    d.TileCount = static_cast<int16_t>(side * side);
    d.RoleDir = 1;
    for (auto& l : d.layers)
        l.assign(static_cast<size_t>(side * side), TileRec{});
    for (int i = 0; i < side * side; ++i) {
        const int16_t mx = static_cast<int16_t>((i % side) * 32), my = static_cast<int16_t>((i / side) * 32);
        d.layers[0][i] = TileRec{static_cast<int16_t>((i % 8) * 32), 0, 0, mx, my, "N", int16_t(i % 7 == 0)};
        if (i % 11 == 0)
            d.layers[0][i].event = "door1";
        if (i % 3 == 0)
            d.layers[3][i] = TileRec{0, 64, 0, mx, my, "N", 0};
        if (i % 5 == 0)
            d.layers[4][i] = TileRec{32, 64, 1, mx, my, "N", 0};
        if (filled)
            for (int layer = 1; layer < TileLayers; ++layer)
                d.layers[layer][i] = TileRec{static_cast<int16_t>(((i + layer) % 8) * 32),
                                             static_cast<int16_t>(32 * (layer % 3)), static_cast<int16_t>(layer % 3),
                                             mx, my, "N", 0};
    }
    const QString path = g_root + QStringLiteral("Map/m%1%2.jmap").arg(side).arg(filled ? "full" : "");
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(SerializeMap(d));
    g_maps[{side, filled}] = path;
    return path;
}

QString CapMap()
{
    const QString path = g_root + QStringLiteral("Map/huge.jmap");
    if (!QFile::exists(path) && !QFile::copy(QStringLiteral(TEV_DEMO_DIR "/Map/huge.jmap"), path))
        return {};
    return path;
}

void Settle()
{
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
}

void Mouse(QWidget* w, QEvent::Type type, QPoint at, Qt::MouseButton button)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent e(type, QPointF(at), w->mapToGlobal(QPointF(at)), button, held, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

int OpenThumbnail()
{
    Main& m = *g_main;
    m.MenuItem(QStringLiteral("Menu_WholeMap"))->trigger();
    Settle();
    if (!m.WholeMapPicForm.loaded())
        return 0;
    WholeMapPic& form = m.WholeMapPicForm.get();
    const int builds = form.Builds();
    Mouse(form.ZoomPicture, QEvent::MouseButtonPress, {1, 1}, Qt::LeftButton);
    Mouse(form.ZoomPicture, QEvent::MouseButtonRelease, {1, 1}, Qt::LeftButton);
    Settle();
    return builds;
}

bool CopyBlock(int col, int row, int cols, int rows)
{
    Main& m = *g_main;
    m.HScroll1->setValue(0);
    m.VScroll1->setValue(0);
    m.MainPic->move(col * 32, row * 32);
    Mouse(m.MainPic, QEvent::MouseButtonPress, {1, 1}, Qt::RightButton);
    Mouse(m.MainPic, QEvent::MouseButtonRelease, {1, 1}, Qt::RightButton);
    const QPoint end((col + cols) * 32, (row + rows) * 32);
    Mouse(m.Picture1, QEvent::MouseMove, end, Qt::NoButton);
    Mouse(m.Picture1, QEvent::MouseButtonPress, end, Qt::LeftButton);
    Mouse(m.Picture1, QEvent::MouseButtonRelease, end, Qt::LeftButton);
    Settle();
    return g_data->BrushWidth == 32 * cols && g_data->BrushHeight == 32 * rows;
}

} // namespace benchfx

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    SilentDialogs dialogs;
    fr::setDialogs(&dialogs);
    QTemporaryDir dir;
    g_root = dir.path() + "/";
    QDir().mkpath(g_root + "Map");
    QDir().mkpath(g_root + "editor");
    Module1 data;
    data.AppDir = g_root + "editor/";
    Module2 procs(data);
    ToolFormsImpl tools(data, procs, [] {}, [&]() -> Main& { return *g_main; });
    Canvas canvas(data, procs, tools, [&]() -> Main& { return *g_main; });
    Main main(data, procs, &tools);
    g_main = &main;
    main.SetCanvas(&canvas);
    main.formLoad();
    const QSize sizes[5] = {{256, 256}, {256, 256}, {256, 256}, {256, 192}, {192, 1024}};
    for (int i = 0; i < 5; ++i) {
        main.ReTempPic[i].setPicture(Sheet(sizes[i].width(), sizes[i].height()));
        main.ReTempPic[i].autoSize();
    }
    g_data = &data;
    // A window of a usual size, so that painting shows on a screen.
    main.resize(1024, 768);
    main.show();
    QCoreApplication::processEvents();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    fr::setDialogs(nullptr);
    return 0;
}
