// Opening a map in the editor, at 150×150 tiles and at the largest size a
// map may have (181×181, within 32767 cells), with all seven layers drawn in
// every cell and with the benchmark's lighter map (ground and two sparse
// layers), next to only reading the same file's bytes. Each line reports the
// process's peak resident memory while it ran.
#include "bench_fixture.h"

#include "platform/paths.h"

#include <benchmark/benchmark.h>

namespace {

void OpenMap(benchmark::State& state)
{
    const QString path = benchfx::MapFile(int(state.range(0)), state.range(1) != 0);
    benchfx::ResetPeak();
    for (auto _ : state) {
        if (!benchfx::main().OpenMapFile(path))
            state.SkipWithError("open failed");
    }
    state.counters["peak_MiB"] = benchfx::PeakMiB();
    state.SetLabel(QStringLiteral("%1 cells%2").arg(benchfx::data().TileCount).arg(state.range(1) ? ", 7 layers" : "")
                       .toStdString());
}

void ReadBytesOnly(benchmark::State& state)
{
    const QString path = benchfx::MapFile(int(state.range(0)), state.range(1) != 0);
    for (auto _ : state) {
        QByteArray bytes;
        QString error;
        fr::readWholeFile(path, bytes, error);
        benchmark::DoNotOptimize(bytes.data());
    }
}

BENCHMARK(OpenMap)->ArgNames({"side", "filled"})->Args({150, 1})->Args({181, 1})->Args({181, 0})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(ReadBytesOnly)->ArgNames({"side", "filled"})->Args({150, 1})->Args({181, 1})->Args({181, 0})
    ->Unit(benchmark::kMillisecond);

} // namespace
