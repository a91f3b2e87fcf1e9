// The input as a script run to its end in the running game, as start-up runs
// "gameinit": its records, map changes, UI frames and saves all act on the
// game. A low cap on executed statements keeps one input short.
#include "core/globals.h"
#include "game_session.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzzgame::Start();
    fuzzgame::Baseline();
    fuzzgame::WriteGameFile("Script/fuzz.jsr", data, size);
    g_Script.runToEndCap = 2000;
    g_Script.RunToEnd("fuzz");
    return 0;
}
