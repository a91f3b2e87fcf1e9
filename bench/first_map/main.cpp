// The first change of map in a fresh process, as a player's first step onto
// a map meets it: nothing read or allocated before, no other map warmed the
// memory. Prints the milliseconds of `g_Map.ChangeMap(<name>)` on stdout.
//
//   tev_first_map <game folder> <map name>
#include <chrono>
#include <cstdio>
#include <memory>

#include "app/globals.h"
#include "platform/headless/headless.h"

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: tev_first_map <game folder> <map name>\n");
        return 2;
    }
    plat::headless::Options o;
    o.root = argv[1];
    o.echoStderr = false;
    g_PlatformHolder.Install(std::make_unique<plat::headless::HeadlessPlatform>(o));
    g_Graph.LoadResourcePictures();
    const auto start = std::chrono::steady_clock::now();
    const int32_t changed = g_Map.ChangeMap(argv[2]);
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    if (changed != 1) {
        std::fprintf(stderr, "tev_first_map: map %s was not loaded\n", argv[2]);
        return 1;
    }
    std::printf("%.3f\n", took.count());
    return 0;
}
