// Changing the map (reading, checking, and preparing the seven layers'
// drawing) and composing one in-game frame, on the demo
// maps: demo 20x15, large 150x150 and huge 181x181 (the size cap).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "bench_setup.h"

namespace {

// Bytes the current map holds: its cells, its layers' drawing and the
// sprite work surfaces.
double MapBytes()
{
    double bytes = static_cast<double>(g_Map.blocks.Bytes());
    for (Surface* s : {g_Graph.pNpc1, g_Graph.pNpc2, g_Graph.pMonster1, g_Graph.pMonster2, g_Graph.pMagic})
        if (s)
            bytes += static_cast<double>(s->px.capacity() * sizeof(uint16_t));
    for (const auto& layer : g_Map.layers)
        for (const TILESTRUCT& t : layer)
            bytes += sizeof(TILESTRUCT) + (t.event.capacity() > 15 ? t.event.capacity() : 0);
    return bytes;
}

void BM_ChangeMap(benchmark::State& state, const char* name)
{
    SetUpGame();
    for (auto _ : state)
        benchmark::DoNotOptimize(g_Map.ChangeMap(name));
    state.counters["map_MB"] = MapBytes() / (1024.0 * 1024.0);
    state.counters["cells"] = g_Map.tileCount;
}
BENCHMARK_CAPTURE(BM_ChangeMap, demo_20x15, "demo")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ChangeMap, large_150x150, "large")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ChangeMap, huge_181x181, "huge")->Unit(benchmark::kMillisecond);

// The first change of map of a fresh process: each iteration starts the
// measuring program anew and takes the time it reports for the change alone.
void BM_FirstChangeMapFreshProcess(benchmark::State& state, const char* name)
{
    const std::string command = std::string("'") + TEV_FIRST_MAP + "' '" + TEV_DEMO_DIR + "' " + name;
    for (auto _ : state) {
        FILE* p = popen(command.c_str(), "r");
        double ms = -1;
        if (!p || std::fscanf(p, "%lf", &ms) != 1)
            ms = -1;
        if (p)
            pclose(p);
        if (ms < 0) {
            state.SkipWithError("the measuring program gave no time");
            break;
        }
        state.SetIterationTime(ms / 1000.0);
    }
}
BENCHMARK_CAPTURE(BM_FirstChangeMapFreshProcess, huge_181x181, "huge")
    ->UseManualTime()
    ->Iterations(10)
    ->Unit(benchmark::kMillisecond);

// The reading and checking alone, from bytes in memory.
void BM_ParseMapText(benchmark::State& state, const char* file)
{
    std::string bytes;
    if (FILE* f = std::fopen((std::string(TEV_DEMO_DIR) + "/Map/" + file).c_str(), "rb")) {
        char buf[65536];
        for (size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;)
            bytes.append(buf, n);
        std::fclose(f);
    }
    MapData d;
    int line = 0;
    std::string reason;
    for (auto _ : state)
        if (!ParseMapText(bytes, &d, &line, &reason)) {
            state.SkipWithError("the demo map did not parse");
            break;
        }
    state.counters["lines"] = 1 + 7.0 * d.tileCount;
}
BENCHMARK_CAPTURE(BM_ParseMapText, large_150x150, "large.jmap")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ParseMapText, huge_181x181, "huge.jmap")->Unit(benchmark::kMillisecond);

// One in-game frame on the 150x150 map, timed frame by frame, beside a
// plain copy of the bytes the seven layer windows hold.
void BM_FrameComposition150(benchmark::State& state)
{
    SetUpGame();
    if (!g_Map.ChangeMap("large")) {
        state.SkipWithError("the demo map \"large\" did not load");
        return;
    }
    PlaceRoleMidLarge();
    using Clock = std::chrono::steady_clock;
    std::vector<double> frameUs;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        g_Graph.PaintLayToBuffer();
        const auto t1 = Clock::now();
        frameUs.push_back(std::chrono::duration<double, std::micro>(t1 - t0).count());
        benchmark::DoNotOptimize(g_Graph.BUF->px.data());
    }
    const size_t bytes = 7u * 593u * 321u * 2u;
    std::vector<uint8_t> from(bytes, 1), to(bytes);
    std::vector<double> copyUs;
    for (size_t i = 0; i < frameUs.size(); ++i) {
        const auto t0 = Clock::now();
        std::memcpy(to.data(), from.data(), bytes);
        benchmark::ClobberMemory();
        const auto t1 = Clock::now();
        copyUs.push_back(std::chrono::duration<double, std::micro>(t1 - t0).count());
    }
    auto mean = [](const std::vector<double>& v) {
        double s = 0;
        for (double x : v)
            s += x;
        return v.empty() ? 0 : s / static_cast<double>(v.size());
    };
    auto p99 = [](std::vector<double> v) {
        if (v.empty())
            return 0.0;
        std::sort(v.begin(), v.end());
        return v[std::min(v.size() - 1, v.size() * 99 / 100)];
    };
    state.counters["frame_mean_us"] = mean(frameUs);
    state.counters["frame_p99_us"] = p99(frameUs);
    state.counters["memcpy_mean_us"] = mean(copyUs);
    state.counters["memcpy_p99_us"] = p99(copyUs);
    state.counters["ratio_to_memcpy"] = mean(copyUs) > 0 ? mean(frameUs) / mean(copyUs) : 0;
}
BENCHMARK(BM_FrameComposition150)->Unit(benchmark::kMicrosecond);

// The floor a frame is measured against: a plain copy of the bytes the seven
// layer windows hold (7 x 593 x 321 pixels of 2 bytes).
void BM_Memcpy7Layers(benchmark::State& state)
{
    const size_t bytes = 7u * 593u * 321u * 2u;
    std::vector<uint8_t> from(bytes, 1), to(bytes);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), bytes);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}
BENCHMARK(BM_Memcpy7Layers)->Unit(benchmark::kMicrosecond);

} // namespace
