// The input as save slot 1 loaded into the running game, then a few passes of
// the main loop on what it loaded.
#include "app/globals.h"
#include "game_session.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzzgame::Start();
    fuzzgame::Baseline();
    fuzzgame::WriteGameFile(ui::SaveFileName(1), data, size);
    if (g_Ui.LoadGame(1) == 1)
        fuzzgame::Passes(4);
    return 0;
}
