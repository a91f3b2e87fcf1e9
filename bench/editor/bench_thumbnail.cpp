// The thumbnail at the size cap: ShowThumbnail opens it on a copy of the
// demo's Map/huge.jmap (from the menu until the window is shown, then a
// click on it closes it), and RepeatedFills does the same after the
// whole of layer 2 has been filled `fills` times with a 3×3-cell block (96
// pixels: its copies do not fall on the 128-pixel tiles of the pictures).
// builds is how many times one opening drew the thumbnail; draws and
// sources are what layer 2's picture holds after the fills, peak_MiB the
// process's peak resident memory from opening the map to the end of the
// fills (run one line alone, --benchmark_filter=RepeatedFills/fills:121/,
// for a figure that no earlier line raised).
#include "bench_fixture.h"

#include "platform/picture.h"

#include <QAction>

#include <benchmark/benchmark.h>

namespace {

bool OpenCapMap(benchmark::State& state)
{
    const QString path = benchfx::CapMap();
    if (path.isEmpty()) {
        state.SkipWithError("no demo map Map/huge.jmap");
        return false;
    }
    benchfx::main().MenuItem(QStringLiteral("Menu_ClearScreen"))->trigger();
    benchfx::Settle();
    benchfx::ResetPeak();
    if (!benchfx::main().OpenMapFile(path)) {
        state.SkipWithError("open failed");
        return false;
    }
    benchfx::Settle();
    return true;
}

void Timed(benchmark::State& state)
{
    int builds = 0;
    for (auto _ : state)
        builds += benchfx::OpenThumbnail();
    state.counters["builds"] = benchmark::Counter(builds, benchmark::Counter::kAvgIterations);
}

void ShowThumbnail(benchmark::State& state)
{
    if (OpenCapMap(state))
        Timed(state);
}

void RepeatedFills(benchmark::State& state)
{
    if (!OpenCapMap(state))
        return;
    tilesmith::Main& m = benchfx::main();
    benchfx::data().EditLay = 2;
    if (!benchfx::CopyBlock(5, 5, 3, 3)) {
        state.SkipWithError("the region copy did not take a 3×3 block");
        return;
    }
    for (int i = 0; i < state.range(0); ++i) {
        m.MenuItem(QStringLiteral("Menu_FillAll"))->trigger();
        benchfx::Settle();
    }
    state.counters["peak_MiB"] = benchfx::PeakMiB();
    const fr::PicImage& layer = m.LayPicture(2);
    double draws = 0;
    for (int y = 0; y < layer.height(); y += fr::TileSide)
        for (int x = 0; x < layer.width(); x += fr::TileSide)
            draws += double(layer.tileDraws(x, y).size());
    state.counters["draws"] = draws;
    state.counters["sources"] = layer.recipe() ? layer.recipe()->sourceCount() : 0;
    Timed(state);
}

BENCHMARK(ShowThumbnail)->Unit(benchmark::kMillisecond)->Iterations(6);
BENCHMARK(RepeatedFills)->ArgName("fills")->Arg(1)->Arg(121)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
