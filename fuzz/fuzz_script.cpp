// The input as a script run to its end in the running game, as start-up runs
// "gameinit": its records, map changes, UI frames and saves all act on the
// game. A low cap on executed statements keeps one input short.
#include <string_view>

#include "app/globals.h"
#include "game_session.h"

namespace {

// A run to the end waits out every "DelayTime(" on the clock, as the game
// does at start-up, and such waits count as no work: a script that asks for
// hours would be reported as a hang although it does what it says. Inputs
// with a delay over 100 ms are left out, so that even the statement cap's
// worth of delays stays short.
bool AsksForLongDelay(std::string_view text)
{
    for (size_t at = text.find("DelayTime"); at != std::string_view::npos; at = text.find("DelayTime", at + 1)) {
        const size_t close = text.find(')', at);
        const std::string_view args = text.substr(at, close == std::string_view::npos ? text.npos : close - at);
        unsigned long long value = 0;
        int digits = 0;
        for (char c : args) {
            if (c >= '0' && c <= '9') {
                if (++digits > 4)
                    return true;
                value = value * 10 + static_cast<unsigned>(c - '0');
                if (value > 100)
                    return true;
            } else {
                value = 0;
                digits = 0;
            }
        }
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (AsksForLongDelay(std::string_view(reinterpret_cast<const char*>(data), size)))
        return -1;
    fuzzgame::Start();
    fuzzgame::Baseline();
    fuzzgame::WriteGameFile("Script/fuzz.jsr", data, size);
    g_Script.runToEndCap = 300;
    g_Script.RunToEnd("fuzz");
    return 0;
}
