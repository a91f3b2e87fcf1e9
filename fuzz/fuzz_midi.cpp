// The check the game's real audio makes of a MIDI file before the mixer is
// handed the piece, on the bytes of one music file. A file the check passes
// is then played for a moment by the synthesizer the mixer uses: it must
// take the file without an error, or the check let through a piece that the
// mixer, looping it, would restart without end.
#include <fluidsynth.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/midi.h"

namespace {

std::string g_synthError;

void OnSynthLog(int level, const char* message, void*)
{
    if (level <= FLUID_ERR && g_synthError.empty())
        g_synthError = message;
}

fluid_synth_t* Synth()
{
    static fluid_synth_t* synth = [] {
        for (int level : {FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG})
            fluid_set_log_function(level, OnSynthLog, nullptr);
        fluid_settings_t* settings = new_fluid_settings();
        fluid_settings_setstr(settings, "player.timing-source", "sample");
        return new_fluid_synth(settings);
    }();
    return synth;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string detail;
    if (plat::CheckMidi(std::vector<uint8_t>(data, data + size), &detail) != plat::MidiError::None)
        return 0;
    fluid_synth_t* synth = Synth();
    g_synthError.clear();
    fluid_player_t* player = new_fluid_player(synth);
    fluid_player_add_mem(player, data, size);
    fluid_player_play(player);
    // A few blocks: the player reads the file as the first one is made.
    std::vector<int16_t> block(2 * 1024);
    for (int i = 0; i < 8 && fluid_player_get_status(player) == FLUID_PLAYER_PLAYING; ++i)
        fluid_synth_write_s16(synth, 1024, block.data(), 0, 2, block.data(), 1, 2);
    fluid_player_stop(player);
    delete_fluid_player(player);
    fluid_synth_system_reset(synth);
    if (!g_synthError.empty()) {
        std::fprintf(stderr, "the check passed a file the synthesizer refuses: %s\n", g_synthError.c_str());
        std::abort();
    }
    return 0;
}
