// A change of map in the running game to the input as a map file, and the
// frame painted after it.
#include "app/globals.h"
#include "game_session.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzzgame::Start();
    fuzzgame::Baseline();
    fuzzgame::WriteGameFile("Map/fuzz.jmap", data, size);
    g_Map.ChangeMap("fuzz");
    fuzzgame::Passes(1);
    return 0;
}
