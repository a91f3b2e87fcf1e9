// Opening a map in the editor, at 150×150 tiles and at the largest size a
// map may have (181×181, within 32767 cells), next to only reading the same
// file's bytes.
#include "shell/main_form.h"
#include "shell/map_file.h"
#include "shell/module1.h"
#include "shell/module2.h"

#include "platform/dialogs.h"
#include "platform/paths.h"

#include <QApplication>
#include <QDir>
#include <QFile>
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

QTemporaryDir* g_dir = nullptr;
Module1* g_data = nullptr;
Module2* g_procs = nullptr;
Main* g_main = nullptr;
std::map<int, QString> g_maps;

QImage Sheet(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, qRgb((x * 7) & 0xFF, (y * 5) & 0xFF, 100));
    return img;
}

// A full ground layer, trees on layers 4 and 5, obstacles and events.
QString MapFile(int side)
{
    auto it = g_maps.find(side);
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
    }
    const QString path = g_dir->path() + QStringLiteral("/Map/m%1.jmap").arg(side);
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(SerializeMap(d));
    g_maps[side] = path;
    return path;
}

void OpenMap(benchmark::State& state)
{
    const QString path = MapFile(int(state.range(0)));
    for (auto _ : state) {
        if (!g_main->OpenMapFile(path))
            state.SkipWithError("open failed");
    }
    state.SetLabel(QStringLiteral("%1 cells").arg(g_data->TileCount).toStdString());
}

void ReadBytesOnly(benchmark::State& state)
{
    const QString path = MapFile(int(state.range(0)));
    for (auto _ : state) {
        QByteArray bytes;
        QString error;
        fr::readWholeFile(path, bytes, error);
        benchmark::DoNotOptimize(bytes.data());
    }
}

BENCHMARK(OpenMap)->Arg(150)->Arg(181)->Unit(benchmark::kMillisecond);
BENCHMARK(ReadBytesOnly)->Arg(150)->Arg(181)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    SilentDialogs dialogs;
    fr::setDialogs(&dialogs);
    QTemporaryDir dir;
    g_dir = &dir;
    QFile::remove(dir.path());
    QDir().mkpath(dir.path() + "/Map");
    QDir().mkpath(dir.path() + "/editor");
    Module1 data;
    data.AppDir = dir.path() + "/editor/";
    Module2 procs(data);
    Main main(data, procs, nullptr);
    main.formLoad();
    const QSize sizes[5] = {{256, 256}, {256, 256}, {256, 256}, {256, 192}, {192, 1024}};
    for (int i = 0; i < 5; ++i) {
        main.ReTempPic[i].setPicture(Sheet(sizes[i].width(), sizes[i].height()));
        main.ReTempPic[i].autoSize();
    }
    g_data = &data;
    g_procs = &procs;
    g_main = &main;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    fr::setDialogs(nullptr);
    return 0;
}
