// Opening a map in the editor, at 150×150 tiles and at the largest size a
// map may have (181×181, within 32767 cells), next to only reading the same
// file's bytes.
#include "bench_fixture.h"

#include "platform/paths.h"

#include <benchmark/benchmark.h>

namespace {

void OpenMap(benchmark::State& state)
{
    const QString path = benchfx::MapFile(int(state.range(0)));
    for (auto _ : state) {
        if (!benchfx::main().OpenMapFile(path))
            state.SkipWithError("open failed");
    }
    state.SetLabel(QStringLiteral("%1 cells").arg(benchfx::data().TileCount).toStdString());
}

void ReadBytesOnly(benchmark::State& state)
{
    const QString path = benchfx::MapFile(int(state.range(0)));
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
