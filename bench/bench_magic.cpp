// One in-game frame on the 150x150 map with three magic effects in flight
// (one of each of the demo's kinds: a flying, a circling and a falling one),
// beside the same frame without them.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "bench_setup.h"

namespace {

// The demo's magic list, read as its script's "AddToMagicList(" statements
// read it.
bool LoadDemoMagicKinds()
{
    if (!g_MagicKinds.empty())
        return true;
    std::ifstream in(std::string(TEV_DEMO_DIR) + "/Script/MagicKindList.jsr", std::ios::binary);
    std::string line;
    const std::string command = "AddToMagicList(";
    while (std::getline(in, line)) {
        if (line.rfind(command, 0) != 0)
            continue;
        FILE* f = std::tmpfile();
        if (!f)
            return false;
        const std::string rest = line.substr(command.size()) + "\n";
        std::fwrite(rest.data(), 1, rest.size(), f);
        std::rewind(f);
        MagicKind::ReadFromScript(f);
        std::fclose(f);
    }
    return g_MagicKinds.size() >= 3;
}

void BM_FrameCasting(benchmark::State& state)
{
    SetUpGame();
    if (!LoadDemoMagicKinds() || !g_Map.ChangeMap("large")) {
        state.SkipWithError("the demo's magic list or map \"large\" did not load");
        return;
    }
    PlaceRoleMidLarge();
    const size_t effects = static_cast<size_t>(state.range(0));
    auto& clock = static_cast<plat::headless::HeadlessPlatform&>(plat::P()).fakeClock();
    for (auto _ : state) {
        // An effect that ended is cast again, outside the timing.
        state.PauseTiming();
        for (size_t k = g_Magics.size(); k < effects; ++k) {
            Magic m(static_cast<int32_t>(k % 3));
            m.caster = &g_Role;
            m.direction = 3;
            g_Magics.push_back(m);
        }
        clock.Advance(16);
        state.ResumeTiming();
        g_Graph.PaintLayToBuffer();
        benchmark::DoNotOptimize(g_Graph.BUF->px.data());
    }
    g_Magics.clear();
}
BENCHMARK(BM_FrameCasting)->ArgName("effects")->Arg(0)->Arg(3)->Unit(benchmark::kMicrosecond);

} // namespace
