#pragma once
#include <cstdint>

namespace plat {

// The classic 15-bit linear congruential generator, so runs are the same on
// every C library.
constexpr int kGameRandMax = 0x7FFF;
void GameSrand(uint32_t seed);
int GameRand();

} // namespace plat
