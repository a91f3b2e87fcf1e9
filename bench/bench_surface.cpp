// Speed of the per-frame surface work: the full-frame copy of every present
// and a keyed sprite blit.
#include <benchmark/benchmark.h>

#include "platform/surface.h"

static void BM_FullFrameCopy(benchmark::State& state)
{
    plat::Surface src(640, 480), dst(640, 480);
    const plat::Rect r{0, 0, 640, 480};
    for (auto _ : state)
        benchmark::DoNotOptimize(plat::Blit(&dst, r, &src, r, false));
}
BENCHMARK(BM_FullFrameCopy);

static void BM_KeyedSpriteBlit(benchmark::State& state)
{
    plat::Surface src(64, 64), dst(640, 480);
    src.hasKey = true;
    src.key = 0x001F;
    for (size_t i = 0; i < src.px.size(); i += 3)
        src.px[i] = 0x001F;
    const plat::Rect s{0, 0, 64, 64}, d{100, 100, 164, 164};
    for (auto _ : state)
        benchmark::DoNotOptimize(plat::Blit(&dst, d, &src, s, true));
}
BENCHMARK(BM_KeyedSpriteBlit);
