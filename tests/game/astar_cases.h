#pragma once
// Grids for the path search: the heavy cases on the largest map the game
// reads, a seeded maker of random grids, and a way to make a grid the
// current map without a map file. Shared by the tests and the benchmarks.
#include <cstdint>
#include <string>
#include <vector>

#include "app/globals.h"
#include "world/map.h"

namespace astarcases {

struct Grid {
    std::string name;
    int32_t w = 0, h = 0;
    std::vector<int32_t> obstacle; // the ground cells' obstacle values
    int32_t start = 0, goal = 0;
};

// Makes the grid the current map: ground cells with its obstacle values and
// nothing drawn.
inline void Install(const Grid& g)
{
    g_Map.layers.assign(kMapLayers, std::vector<TILESTRUCT>(static_cast<size_t>(g.w) * g.h));
    for (size_t i = 0; i < g.obstacle.size(); ++i)
        g_Map.layers[0][i].obstacle = g.obstacle[i];
    g_Map.tileCount = g.w * g.h;
    g_Map.loaded = 1;
    g_MapPixelWidth = static_cast<float>(g.w * 32);
    g_MapPixelHeight = static_cast<float>(g.h * 32);
}

// A small seeded generator, the same on every platform.
struct Lcg {
    uint64_t s;
    uint32_t Next()
    {
        s = s * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<uint32_t>(s >> 33);
    }
    int32_t Below(int32_t n) { return static_cast<int32_t>(Next() % static_cast<uint32_t>(n)); }
};

// w x h with `percent` of the cells blocked (value 1, or 2 for every third
// blocked cell when `mixed`); start and goal anywhere, obstacles included.
inline Grid Random(uint64_t seed, int32_t w, int32_t h, int32_t percent, bool mixed)
{
    Lcg r{seed};
    Grid g{"random", w, h, std::vector<int32_t>(static_cast<size_t>(w) * h, 0), 0, 0};
    for (int32_t& o : g.obstacle)
        if (r.Below(100) < percent)
            o = mixed && r.Below(3) == 0 ? 2 : 1;
    g.start = r.Below(w * h);
    g.goal = r.Below(w * h);
    return g;
}

constexpr int32_t kSide = 181; // the largest square map

inline Grid Open()
{
    return Grid{"corner_to_corner", kSide, kSide, std::vector<int32_t>(kSide * kSide, 0), 0, kSide * kSide - 1};
}

// Walls on every odd row, open at the right and left end in turn: one
// corridor that runs the whole map, 16 560 cells from corner to corner.
inline Grid Serpentine()
{
    Grid g = Open();
    g.name = "serpentine";
    for (int32_t r = 1; r < kSide; r += 2)
        for (int32_t c = 0; c < kSide; ++c)
            g.obstacle[r * kSide + c] = c == ((r / 2) % 2 == 0 ? kSide - 1 : 0) ? 0 : 1;
    return g;
}

// A goal in the middle inside a ring of obstacles: every reachable cell is
// explored before the search gives up.
inline Grid WalledGoal()
{
    Grid g = Open();
    g.name = "walled_goal";
    const int32_t m = kSide / 2;
    for (int32_t r = m - 1; r <= m + 1; ++r)
        for (int32_t c = m - 1; c <= m + 1; ++c)
            if (r != m || c != m)
                g.obstacle[r * kSide + c] = 1;
    g.goal = m * kSide + m;
    return g;
}

// The start inside a U open away from the goal, which lies behind its
// bottom: the search fills the pocket before it walks round.
inline Grid UPocket()
{
    Grid g = Open();
    g.name = "u_pocket";
    const int32_t top = 30, bottom = 150, left = 30, right = 150;
    for (int32_t c = left; c <= right; ++c)
        g.obstacle[bottom * kSide + c] = 1;
    for (int32_t r = top; r <= bottom; ++r) {
        g.obstacle[r * kSide + left] = 1;
        g.obstacle[r * kSide + right] = 1;
    }
    g.start = 90 * kSide + 90;
    g.goal = 175 * kSide + 90;
    return g;
}

inline Grid Random30()
{
    Grid g = Random(20261210, kSide, kSide, 30, false);
    g.name = "random30";
    g.start = 0;
    g.goal = kSide * kSide - 1;
    g.obstacle[static_cast<size_t>(g.start)] = 0;
    g.obstacle[static_cast<size_t>(g.goal)] = 0;
    return g;
}

inline std::vector<Grid> NamedCases() { return {Open(), Serpentine(), WalledGoal(), UPocket(), Random30()}; }

} // namespace astarcases
