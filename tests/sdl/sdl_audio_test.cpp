// The SDL_mixer audio: opening without a device, the channel pool, and the
// music calls, on SDL's dummy and disk drivers.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "platform/sdl/sdl_platform.h"
#include "platform/wave.h"

namespace {

plat::WaveData Tone(int ms)
{
    plat::WaveData w;
    w.fmt.formatTag = 1;
    w.fmt.channels = 1;
    w.fmt.samplesPerSec = 22050;
    w.fmt.bitsPerSample = 16;
    w.fmt.blockAlign = 2;
    w.fmt.avgBytesPerSec = 44100;
    const size_t n = static_cast<size_t>(22050) * ms / 1000;
    w.data.reserve(2 * n);
    for (size_t i = 0; i < n; ++i) {
        const int16_t v = static_cast<int16_t>((i / 25) % 2 ? 12000 : -12000);
        w.data.push_back(static_cast<uint8_t>(v));
        w.data.push_back(static_cast<uint8_t>(v >> 8));
    }
    return w;
}

const std::filesystem::path kTitle = std::filesystem::path(TEV_DEMO_DIR) / "Resource" / "mid" / "title.mid";

} // namespace

TEST(SdlAudio, UnknownDriverFailsToOpen)
{
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    auto a = plat::sdl::MakeSdlAudio();
    EXPECT_LT(a->Open(), 0);
    EXPECT_LT(a->InitMusic(), 0);
    EXPECT_EQ(plat::kNoEffect, a->CreateEffect(Tone(100), "x"));
    EXPECT_LT(a->MusicLoad(kTitle, "title"), 0);
    EXPECT_LT(a->MusicRun(), 0);
    a->Close();
}

TEST(SdlAudio, ChannelPoolGrowsSoNoEffectIsDropped)
{
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    auto a = plat::sdl::MakeSdlAudio();
    ASSERT_EQ(0, a->Open());
    std::vector<plat::EffectId> ids;
    // All made first and then started together, so that the first has not
    // ended by the time the last starts, however loaded the machine is.
    const plat::WaveData tone = Tone(5000);
    for (int i = 0; i < 40; ++i) {
        ids.push_back(a->CreateEffect(tone, "x"));
        ASSERT_NE(plat::kNoEffect, ids.back());
        EXPECT_EQ(0, a->SetVolume(ids.back(), -20000)) << "any volume is taken, within range";
    }
    for (size_t i = 0; i < ids.size(); ++i)
        EXPECT_EQ(0, a->Play(ids[i])) << i;
    // Forty at once: far more than the pool's first sixteen channels.
    for (plat::EffectId id : ids)
        EXPECT_TRUE(a->IsPlaying(id));
    a->Stop(ids[3]);
    EXPECT_FALSE(a->IsPlaying(ids[3]));
    EXPECT_TRUE(a->IsPlaying(ids[4]));
    a->Release(ids[3]);
    a->Release(ids[3]);
    EXPECT_LT(a->SetVolume(ids[3], 0), 0);
    EXPECT_LT(a->Play(ids[3]), 0);
    a->Close();
}

// An effect released after it was played gives its id to the next one: a
// long run of short effects keeps one slot, not one per effect played.
TEST(SdlAudio, ReleasedEffectIdsAreReused)
{
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    auto a = plat::sdl::MakeSdlAudio();
    ASSERT_EQ(0, a->Open());
    const plat::WaveData tone = Tone(10);
    const plat::EffectId held = a->CreateEffect(tone, "held");
    plat::EffectId reused = plat::kNoEffect;
    for (int i = 0; i < 200; ++i) {
        const plat::EffectId id = a->CreateEffect(tone, "x");
        ASSERT_NE(plat::kNoEffect, id);
        if (i == 0)
            reused = id;
        EXPECT_EQ(reused, id) << i;
        EXPECT_EQ(0, a->Play(id));
        a->Release(id);
    }
    // The one held all along still plays and answers.
    EXPECT_EQ(0, a->SetVolume(held, 0));
    EXPECT_EQ(0, a->Play(held));
    a->Close();
}

TEST(SdlAudio, MusicCalls)
{
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    auto a = plat::sdl::MakeSdlAudio();
    ASSERT_EQ(0, a->Open());
    ASSERT_EQ(0, a->InitMusic()) << "needs timgm6mb-soundfont";
    EXPECT_LT(a->MusicLoad(std::filesystem::path(), "x"), 0);
    EXPECT_LT(a->MusicLoad("/nonexistent/title.mid", "x"), 0);
    EXPECT_LT(a->MusicRun(), 0);
    EXPECT_LT(a->MusicResume(), 0);
    EXPECT_EQ(0, a->MusicPause());
    ASSERT_EQ(0, a->MusicLoad(kTitle, "title"));
    EXPECT_EQ(0, a->MusicRun());
    EXPECT_EQ(0, a->MusicPause());
    EXPECT_EQ(0, a->MusicResume());
    // Halting is no completion.
    EXPECT_EQ(0, a->MusicStop());
    EXPECT_FALSE(a->MusicTakeComplete());
    a->MusicRelease();
    EXPECT_LT(a->MusicResume(), 0);
    a->Close();
}

// The title music and an effect reach the sound card: SDL's disk driver
// writes what it would play, in real time.
TEST(SdlAudio, MusicAndEffectAreAudible)
{
    const auto out = std::filesystem::temp_directory_path() / ("tev-audio-" + std::to_string(getpid()) + ".raw");
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", out.c_str(), 1);
    setenv("SDL_DISKAUDIODELAY", "0", 1);
    auto a = plat::sdl::MakeSdlAudio();
    ASSERT_EQ(0, a->Open());
    ASSERT_EQ(0, a->InitMusic());
    ASSERT_EQ(0, a->MusicLoad(kTitle, "title"));
    ASSERT_EQ(0, a->MusicRun());
    const plat::EffectId fx = a->CreateEffect(Tone(300), "tone");
    ASSERT_EQ(0, a->Play(fx));
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    a->Close();

    std::ifstream in(out, std::ios::binary);
    std::vector<char> raw((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::filesystem::remove(out);
    ASSERT_GT(raw.size(), 44100u * 4 / 2) << "at least half a second written";
    int peak = 0;
    long loud = 0;
    for (size_t i = 0; i + 1 < raw.size(); i += 2) {
        const int v = std::abs(static_cast<int16_t>(static_cast<uint8_t>(raw[i]) | (static_cast<uint8_t>(raw[i + 1]) << 8)));
        peak = std::max(peak, v);
        loud += v > 1600;
    }
    EXPECT_GT(peak, 32768 / 20);
    EXPECT_GT(loud, 44100) << "not a single click";
}

// Each damaged file of the table is refused when loaded, before the mixer
// could loop it without end; the good pieces load and play, and the mixer
// still answers after all of them.
TEST(SdlAudio, DamagedMidiFilesAreRefused)
{
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    auto a = plat::sdl::MakeSdlAudio();
    ASSERT_EQ(0, a->Open());
    ASSERT_EQ(0, a->InitMusic());
    int damaged = 0;
    for (const auto& entry : std::filesystem::directory_iterator(TEV_DAMAGED_MIDI_DIR)) {
        const std::string name = entry.path().stem().string();
        SCOPED_TRACE(name);
        if (name.starts_with("good"))
            continue;
        ++damaged;
        EXPECT_LT(a->MusicLoad(entry.path(), name), 0);
        EXPECT_LT(a->MusicRun(), 0);
        a->MusicRelease();
    }
    EXPECT_GT(damaged, 0) << "the table of damaged files was made";
    for (const char* good : {"good_many_notes_at_once.mid", "good.mid"}) {
        SCOPED_TRACE(good);
        ASSERT_EQ(0, a->MusicLoad(std::filesystem::path(TEV_DAMAGED_MIDI_DIR) / good, good));
        EXPECT_EQ(0, a->MusicRun());
    }
    EXPECT_NE(plat::kNoEffect, a->CreateEffect(Tone(50), "x"));
    a->Close();
}

// Every piece of the demo passes the check and plays.
TEST(SdlAudio, DemoMusicLoads)
{
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    auto a = plat::sdl::MakeSdlAudio();
    ASSERT_EQ(0, a->Open());
    ASSERT_EQ(0, a->InitMusic());
    for (const auto& entry : std::filesystem::directory_iterator(kTitle.parent_path())) {
        SCOPED_TRACE(entry.path().filename().string());
        EXPECT_EQ(0, a->MusicLoad(entry.path(), "x"));
        EXPECT_EQ(0, a->MusicRun());
    }
    a->Close();
}
