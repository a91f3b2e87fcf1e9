// The game's blits beside SDL doing the same copies on RGB565 surfaces: the
// colour-keyed copy of a map layer (593x321) and of a sprite (32x48), and
// the 50 % blend. Compare each "Ours" line with its "Sdl" line.
#include <SDL.h>
#include <benchmark/benchmark.h>

#include "app/globals.h"

namespace {

constexpr uint16_t kKey = 0x001F;

// A picture with a third of its pixels transparent, in runs as sprites have.
void FillPattern(uint16_t* px, int w, int h, int pitchPixels)
{
    uint32_t x = 12345;
    for (int y = 0; y < h; ++y)
        for (int i = 0; i < w; ++i) {
            x = x * 1103515245u + 12345u;
            px[y * pitchPixels + i] = ((i / 5 + y / 7) % 3 == 0) ? kKey : static_cast<uint16_t>(x >> 16 | 0x0800);
        }
}

struct Ours {
    plat::Surface src, dst;
    Ours(int w, int h) : src(w, h), dst(640, 480)
    {
        src.hasKey = true;
        src.key = kKey;
        FillPattern(src.px.data(), w, h, w);
        FillPattern(dst.px.data(), 640, 480, 640);
    }
};

struct Sdl {
    SDL_Surface* src;
    SDL_Surface* dst;
    Sdl(int w, int h)
    {
        src = SDL_CreateRGBSurfaceWithFormat(0, w, h, 16, SDL_PIXELFORMAT_RGB565);
        dst = SDL_CreateRGBSurfaceWithFormat(0, 640, 480, 16, SDL_PIXELFORMAT_RGB565);
        FillPattern(static_cast<uint16_t*>(src->pixels), w, h, src->pitch / 2);
        FillPattern(static_cast<uint16_t*>(dst->pixels), 640, 480, dst->pitch / 2);
    }
    ~Sdl()
    {
        SDL_FreeSurface(src);
        SDL_FreeSurface(dst);
    }
};

void BM_KeyedOurs(benchmark::State& state)
{
    const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
    Ours o(w, h);
    for (auto _ : state)
        benchmark::DoNotOptimize(g_Graph.Paint(&o.dst, &o.src, plat::Rect{0, 0, w, h}, 23, 23, 1, -1, 0));
    state.SetItemsProcessed(state.iterations() * w * h);
}

void BM_KeyedSdl(benchmark::State& state)
{
    const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
    Sdl s(w, h);
    SDL_SetColorKey(s.src, SDL_TRUE, kKey);
    SDL_Rect from{0, 0, w, h};
    for (auto _ : state) {
        SDL_Rect to{23, 23, w, h};
        benchmark::DoNotOptimize(SDL_BlitSurface(s.src, &from, s.dst, &to));
    }
    state.SetItemsProcessed(state.iterations() * w * h);
}

void BM_HalfBlendOurs(benchmark::State& state)
{
    const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
    Ours o(w, h);
    for (auto _ : state)
        g_Graph.BlendPaint(&o.src, &o.dst, plat::Rect{0, 0, w, h}, 23, 23, 16, 0, 0);
    state.SetItemsProcessed(state.iterations() * w * h);
}

void BM_HalfBlendSdl(benchmark::State& state)
{
    const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
    Sdl s(w, h);
    SDL_SetSurfaceBlendMode(s.src, SDL_BLENDMODE_BLEND);
    SDL_SetSurfaceAlphaMod(s.src, 128);
    SDL_Rect from{0, 0, w, h};
    for (auto _ : state) {
        SDL_Rect to{23, 23, w, h};
        benchmark::DoNotOptimize(SDL_BlitSurface(s.src, &from, s.dst, &to));
    }
    state.SetItemsProcessed(state.iterations() * w * h);
}

// The general alpha of fades and the dialog (22 of 32), which SDL has no
// exact counterpart for.
void BM_BlendAlpha22Ours(benchmark::State& state)
{
    Ours o(593, 321);
    for (auto _ : state)
        g_Graph.BlendPaint(&o.src, &o.dst, plat::Rect{0, 0, 593, 321}, 23, 23, 22, 0, 0);
    state.SetItemsProcessed(state.iterations() * 593 * 321);
}

} // namespace

BENCHMARK(BM_KeyedOurs)->Args({593, 321})->Args({32, 48});
BENCHMARK(BM_KeyedSdl)->Args({593, 321})->Args({32, 48});
BENCHMARK(BM_HalfBlendOurs)->Args({593, 321})->Args({32, 48});
BENCHMARK(BM_HalfBlendSdl)->Args({593, 321})->Args({32, 48});
BENCHMARK(BM_BlendAlpha22Ours);
