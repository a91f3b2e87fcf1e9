// The path search on the heavy cases of the largest map, each beside a plain
// breadth-first flood of the same grid from the same start: compare
// BM_Astar181/<case> with BM_BfsFlood181/<case>.
#include <benchmark/benchmark.h>

#include <vector>

#include "astar_cases.h"
#include "bench_setup.h"
#include "world/object.h"

namespace {

void BM_Astar181(benchmark::State& state, const astarcases::Grid& grid)
{
    SetUpGame();
    astarcases::Install(grid);
    People p;
    for (auto _ : state) {
        p.path.clear();
        benchmark::DoNotOptimize(p.Astar(&p, grid.start, grid.goal));
    }
    state.counters["path"] = static_cast<double>(p.path.size());
}

// Every cell reachable from the start, nearest first, until the goal is
// reached, with the parent of each cell as a path search would keep it.
void BM_BfsFlood181(benchmark::State& state, const astarcases::Grid& grid)
{
    astarcases::Install(grid);
    const int32_t w = grid.w, count = grid.w * grid.h;
    std::vector<int32_t> parent, queue;
    int64_t reached = 0;
    for (auto _ : state) {
        const TILESTRUCT* ground = g_Map.layers[0].data();
        parent.assign(static_cast<size_t>(count), -2);
        queue.clear();
        queue.reserve(static_cast<size_t>(count));
        queue.push_back(grid.start);
        parent[static_cast<size_t>(grid.start)] = -1;
        for (size_t head = 0; head < queue.size(); ++head) {
            const int32_t t = queue[head];
            if (t == grid.goal)
                break;
            const int32_t around[4] = {t >= w ? t - w : -1, t + w < count ? t + w : -1, t % w > 0 ? t - 1 : -1,
                                       t % w < w - 1 ? t + 1 : -1};
            for (int32_t n : around)
                if (n >= 0 && parent[static_cast<size_t>(n)] == -2 && ground[n].obstacle == 0) {
                    parent[static_cast<size_t>(n)] = t;
                    queue.push_back(n);
                }
        }
        reached = static_cast<int64_t>(queue.size());
        benchmark::DoNotOptimize(parent.data());
    }
    state.counters["cells"] = static_cast<double>(reached);
}

const bool registered = [] {
    static const std::vector<astarcases::Grid> cases = astarcases::NamedCases();
    for (const astarcases::Grid& g : cases) {
        benchmark::RegisterBenchmark(("BM_Astar181/" + g.name).c_str(), BM_Astar181, g)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("BM_BfsFlood181/" + g.name).c_str(), BM_BfsFlood181, g)
            ->Unit(benchmark::kMillisecond);
    }
    return true;
}();

} // namespace
