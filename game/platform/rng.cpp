#include "rng.h"

namespace plat {
namespace {
uint32_t g_seed = 1;
}

void GameSrand(uint32_t seed) { g_seed = seed; }

int GameRand()
{
    g_seed = g_seed * 214013u + 2531011u;
    return static_cast<int>((g_seed >> 16) & 0x7FFF);
}

} // namespace plat
