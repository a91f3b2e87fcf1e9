#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "filehelper.h"
#include "platform/audio.h"

// One sound effect started by PlayWave, playing or finished.
struct WaveStruct {
    plat::EffectId buffer = plat::kNoEffect;
    int32_t index = -1;  // the list's size when it was started
    int32_t owner = -1;  // the casting magic's position, -1 otherwise
    std::string name;
    int32_t active = 0;  // 1 while its buffer is held
};

// Sound effects (WAVE) and looping MIDI music, both by name: "NULL" is none.
class sound : public FileHelper {
public:
    sound() = default;
    ~sound();
    sound(const sound&) = delete;
    sound& operator=(const sound&) = delete;

    void Init();
    void PlayWave(const std::string& name);
    void PlayWaveOwned(const std::string& name, int32_t owner);
    void StopWave(const std::string& name);
    void CleanupWaves();
    void ReleaseAllWaves();
    void PlayMidi(const std::string& name);
    void StopMidi();
    void PauseMidi();
    void ResumeMidi();
    void PollMidi();

    // The save record: the music's name on one line. Load changes nothing
    // when the line can't be read.
    void Save(FILE* file);
    bool Load(FILE* file);

    std::vector<WaveStruct> waves;
    std::string midiName;       // empty until music was first played or stopped
    int32_t waveVolume = 0;     // hundredths of a decibel, from "config.jcf"

private:
    void SetPrimaryFormat();
    // Reads a WAVE file; false after reporting what was wrong with it.
    bool ReadWave(const std::string& path, plat::WaveData* wave);
    plat::EffectId LoadWaveBuffer(const std::string& path, const std::string& name);
    void StartWave(const std::string& name, int32_t owner);

    bool deviceUp_ = false; // the audio device opened
    bool musicUp_ = false;  // music can be played at all
    bool graphUp_ = false;  // a piece of music is set up (its file may be missing)
    size_t shownCount_ = 0; // the effect count last written to debug line 0
};

// The game's sound effects and music.
extern sound g_Sound;
