#pragma once
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace plat {

struct WaveFormat {
    uint16_t formatTag = 1;
    uint16_t channels = 0;
    uint32_t samplesPerSec = 0;
    uint32_t avgBytesPerSec = 0;
    uint16_t blockAlign = 0;
    uint16_t bitsPerSample = 0;
};

// A parsed WAVE file: its format and its sample bytes.
struct WaveData {
    WaveFormat fmt;
    std::vector<uint8_t> data;
};

using EffectId = int;
constexpr EffectId kNoEffect = -1;

// Sound effects and one piece of music. Results: 0 success, negative failure.
class Audio {
public:
    virtual ~Audio() = default;
    virtual int Open() = 0;
    virtual int InitMusic() = 0;
    virtual void Close() = 0;

    // nameGbk only labels the effect in logs.
    virtual EffectId CreateEffect(const WaveData& wave, const std::string& nameGbk) = 0;
    virtual int SetVolume(EffectId id, int centibels) = 0;
    virtual int Play(EffectId id) = 0;
    virtual bool IsPlaying(EffectId id) = 0;
    virtual void Stop(EffectId id) = 0;
    virtual void Release(EffectId id) = 0;

    virtual int MusicLoad(const std::filesystem::path& path, const std::string& nameGbk) = 0;
    virtual int MusicRun() = 0;
    virtual int MusicPause() = 0;
    virtual int MusicResume() = 0;
    virtual int MusicStop() = 0;
    virtual void MusicRelease() = 0;
    // True once after the music played to its end.
    virtual bool MusicTakeComplete() = 0;
};

} // namespace plat
