// Saving a map in the editor ("保存地图": check, format, write beside the
// target, flush to disk, rename), at 150×150 tiles and at the size cap
// (181×181), next to writing the same bytes straight into a file and to
// formatting them alone; the cap also with all seven layers drawn.
#include "bench_fixture.h"

#include "shell/map_file.h"

#include <QFile>

#include <benchmark/benchmark.h>

namespace {

// Opens the map once and points the document at a file of its own.
QString Prepare(const benchmark::State& state)
{
    const int side = int(state.range(0));
    if (!benchfx::main().OpenMapFile(benchfx::MapFile(side, state.range(1) != 0)))
        return {};
    const QString out = benchfx::root() + QStringLiteral("Map/saved%1.jmap").arg(side);
    benchfx::data().MapPath = out;
    return out;
}

void SaveMap(benchmark::State& state)
{
    const QString out = Prepare(state);
    if (out.isEmpty()) {
        state.SkipWithError("open failed");
        return;
    }
    for (auto _ : state) {
        benchfx::main().markEdited();
        benchfx::main().Menu_SaveMap_Click();
        if (benchfx::main().MapSaved != -1)
            state.SkipWithError("save failed");
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * QFile(out).size());
}

void WriteSameBytes(benchmark::State& state)
{
    const QString out = Prepare(state);
    const QByteArray bytes = tilesmith::SerializeMap(tilesmith::SourceOf(benchfx::data()));
    const QString plain = out + QStringLiteral(".plain");
    for (auto _ : state) {
        QFile f(plain);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
            state.SkipWithError("write failed");
        f.close();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * bytes.size());
}

void FormatOnly(benchmark::State& state)
{
    Prepare(state);
    const tilesmith::MapSource src = tilesmith::SourceOf(benchfx::data());
    for (auto _ : state) {
        QByteArray bytes = tilesmith::SerializeMap(src);
        benchmark::DoNotOptimize(bytes.data());
    }
}

void Sizes(benchmark::internal::Benchmark* b)
{
    b->ArgNames({"side", "filled"})->Args({150, 0})->Args({181, 0})->Args({181, 1})->Unit(benchmark::kMillisecond);
}

BENCHMARK(SaveMap)->Apply(Sizes);
BENCHMARK(WriteSameBytes)->Apply(Sizes);
BENCHMARK(FormatOnly)->Apply(Sizes);

} // namespace
