#pragma once
#include <cstdint>
#include <cstdio>
#include <string>

#include "filehelper.h"

// Sound effects (WAVE) and looping MIDI music.
class sound : public FileHelper {
public:
    sound() = default;
    ~sound();
    sound(const sound&) = delete;
    sound& operator=(const sound&) = delete;

    void Init();
    void PlayWave(const std::string& name);
    void StopWave(const std::string& name);
    void CleanupWaves();
    void ReleaseAllWaves();
    void PlayMidi(const std::string& name);
    void StopMidi();
    void PauseMidi();
    void ResumeMidi();
    void PollMidi();

    int32_t waveVolume = 0; // hundredths of a decibel, from "config.jcf"
    std::string midiName = "NULL";
};
