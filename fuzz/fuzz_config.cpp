// The input as "config.jcf", read as start-up reads it when the display is
// set up.
#include "app/globals.h"
#include "game_session.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzzgame::Start();
    fuzzgame::Baseline();
    fuzzgame::WriteGameFile("config.jcf", data, size);
    Surface* startBack = g_Graph.back;
    g_Graph.InitDisplay();
    // A full-screen set-up makes a back buffer of its own; the game keeps the
    // one its start-up made.
    if (g_Graph.back != startBack) {
        g_Graph.ReleaseSurface(g_Graph.back);
        g_Graph.back = startBack;
    }
    return 0;
}
