// The input as a UI frame file loaded onto the running game's frame stack,
// then a frame painted with it and the cursor over its middle.
#include "app/globals.h"
#include "game_session.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzzgame::Start();
    fuzzgame::Baseline();
    fuzzgame::WriteGameFile("ui/fuzz.jui", data, size);
    g_Ui.LoadFrame("fuzz");
    g_Ui.HitTest(320, 240);
    fuzzgame::Passes(1);
    return 0;
}
