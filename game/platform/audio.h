#pragma once
#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
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

// The effects of an audio back end by id. A released id is handed out again,
// so the table holds as many entries as effects were ever held at once, not
// as many as were ever played.
template <class Entry>
class EffectTable {
public:
    EffectId Add(Entry entry)
    {
        if (free_.empty()) {
            slots_.push_back(Slot{std::move(entry), true});
            return static_cast<EffectId>(slots_.size() - 1);
        }
        const EffectId id = free_.back();
        free_.pop_back();
        slots_[static_cast<size_t>(id)] = Slot{std::move(entry), true};
        return id;
    }
    // The held effect of that id; null for any other id.
    Entry* Find(EffectId id)
    {
        if (id < 0 || static_cast<size_t>(id) >= slots_.size() || !slots_[static_cast<size_t>(id)].held)
            return nullptr;
        return &slots_[static_cast<size_t>(id)].entry;
    }
    // Gives the id back; its entry stays readable until the id is reused.
    void Free(EffectId id)
    {
        if (Find(id)) {
            slots_[static_cast<size_t>(id)].held = false;
            free_.push_back(id);
        }
    }
    // Every slot, held or free, by id.
    size_t Slots() const { return slots_.size(); }
    const Entry& At(size_t slot) const { return slots_[slot].entry; }
    template <class Fn>
    void ForEachHeld(Fn fn)
    {
        for (Slot& s : slots_)
            if (s.held)
                fn(s.entry);
    }

private:
    struct Slot {
        Entry entry;
        bool held = false;
    };
    std::vector<Slot> slots_;
    std::vector<EffectId> free_;
};

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
