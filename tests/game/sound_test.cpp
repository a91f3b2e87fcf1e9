// Sound effects and music on the fake audio and the virtual clock, and
// every way a WAVE file can be wrong.
#include <gtest/gtest.h>

#include <cstring>

#include "app/globals.h"
#include "app/winmain.h"
#include "core/alert.h"
#include "platform/wave.h"
#include "test_support.h"

namespace {

using Bytes = std::string;

Bytes U32(uint32_t v) { return Bytes{char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; }
Bytes U16(uint16_t v) { return Bytes{char(v), char(v >> 8)}; }
Bytes Chunk(const char* id, const Bytes& body, uint32_t claimed = 0xFFFFFFFF)
{
    Bytes c = Bytes(id, 4) + U32(claimed == 0xFFFFFFFF ? static_cast<uint32_t>(body.size()) : claimed) + body;
    if (body.size() & 1)
        c += '\0';
    return c;
}
Bytes Fmt(uint16_t tag = 1, uint16_t channels = 1, uint32_t rate = 22050, uint16_t bits = 16, int size = 16,
          int blockAlign = -1)
{
    const uint16_t align = static_cast<uint16_t>(blockAlign >= 0 ? blockAlign : channels * bits / 8);
    Bytes f = U16(tag) + U16(channels) + U32(rate) + U32(rate * align) + U16(align) + U16(bits) + U16(0);
    f.resize(static_cast<size_t>(size), '\0');
    return Chunk("fmt ", f);
}
Bytes Riff(const Bytes& chunks) { return "RIFF" + U32(static_cast<uint32_t>(4 + chunks.size())) + "WAVE" + chunks; }
// `ms` of 16-bit mono silence-ish samples at 22050 Hz.
Bytes Samples(int ms) { return Bytes(static_cast<size_t>(22050 * 2 * ms / 1000), '\x10'); }
Bytes Wave(int ms) { return Riff(Fmt() + Chunk("data", Samples(ms))); }

class Sound : public ::testing::Test {
protected:
    void SetUp() override { Start({}); }
    void Start(plat::headless::Options o)
    {
        root = tevtest::TempDir("game");
        o.root = root;
        log = root / "log.txt";
        o.logFile = log;
        o.musicLength["title"] = 3000;
        tevtest::InstallHeadless(o);
        g_DebugLines.assign(20, "");
        std::filesystem::create_directories(root / "Resource" / "mid");
        tevtest::WriteFile(root / "Resource" / "mid" / "title.mid", tevtest::Midi());
        g_Sound.Init();
    }
    void AddWave(const std::string& name, const Bytes& bytes)
    {
        tevtest::WriteFile(root / "Resource" / "wav" / (name + ".wav"), bytes);
    }
    void Tick(uint32_t ms) { tevtest::Headless().fakeClock().Advance(ms); }
    // Logged events (without pass and tick) that start with one of `prefixes`.
    std::vector<std::string> Events(std::initializer_list<const char*> prefixes)
    {
        std::vector<std::string> out;
        for (const std::string& line : tevtest::ReadLines(log)) {
            const auto sp = line.find(' ', line.find(" T") + 1);
            const std::string e = line.substr(sp + 1);
            for (const char* p : prefixes)
                if (e.rfind(p, 0) == 0)
                    out.push_back(e);
        }
        return out;
    }
    std::vector<std::string> Boxes()
    {
        std::vector<std::string> out;
        for (const auto& b : tevtest::Headless().recordingDialogs().boxes)
            out.push_back(b.textUtf8);
        return out;
    }
    std::filesystem::path root, log;
};

} // namespace

TEST_F(Sound, FinishedEffectsLeaveOneAFrameEarliestFirst)
{
    g_Sound.PlayWave("NULL");
    EXPECT_TRUE(g_Sound.waves.empty());
    AddWave("a", Wave(100));
    AddWave("b", Wave(100));
    AddWave("c", Wave(300));
    g_Sound.PlayWave("a");
    g_Sound.PlayWave("b");
    g_Sound.PlayWave("c");
    Tick(50);
    g_Sound.CleanupWaves();
    EXPECT_EQ("3", g_DebugLines[0]);
    EXPECT_EQ(3u, g_Sound.waves.size()) << "all still playing";
    Tick(150);
    std::string counts;
    for (int frame = 0; frame < 4; ++frame) {
        g_Sound.CleanupWaves();
        counts += g_DebugLines[0];
        if (frame == 1)
            Tick(200);
    }
    EXPECT_EQ("3210", counts);
    // With no effect the count is not shown at all: no lone "0", and the
    // line stays empty as the count kept it before.
    g_DebugLines[0] = "PlayMidi";
    g_Sound.CleanupWaves();
    EXPECT_EQ("", g_DebugLines[0]);
    EXPECT_EQ((std::vector<std::string>{"sound release a", "sound release b", "sound release c"}),
              Events({"sound release"}));
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(Sound, StopWaveStopsTheFirstPlayingOne)
{
    AddWave("a", Wave(1000));
    g_Sound.PlayWave("a");
    g_Sound.PlayWaveOwned("a", 4);
    ASSERT_EQ(2u, g_Sound.waves.size());
    EXPECT_EQ(1, g_Sound.waves[1].index);
    EXPECT_EQ(4, g_Sound.waves[1].owner);
    g_Sound.StopWave("a");
    EXPECT_EQ(0, g_Sound.waves[0].active);
    EXPECT_EQ(1, g_Sound.waves[1].active);
    g_Sound.StopWave("a");
    EXPECT_EQ(0, g_Sound.waves[1].active);
    g_Sound.StopWave("a");
    g_Sound.StopWave("NULL");
    // Each buffer was released exactly once.
    EXPECT_EQ(2u, Events({"audio release"}).size());
    g_Sound.CleanupWaves();
    g_Sound.CleanupWaves();
    EXPECT_TRUE(g_Sound.waves.empty());
    EXPECT_EQ(2u, Events({"audio release"}).size());
}

TEST_F(Sound, VolumeIsKeptInItsRange)
{
    AddWave("a", Wave(100));
    for (int volume : {-20000, -500, 300}) {
        g_Sound.waveVolume = volume;
        g_Sound.PlayWave("a");
    }
    const auto& fx = tevtest::Headless().fakeAudio().Effects();
    ASSERT_EQ(3u, fx.Slots());
    EXPECT_EQ(-10000, fx.At(0).volume);
    EXPECT_EQ(-500, fx.At(1).volume);
    EXPECT_EQ(0, fx.At(2).volume);
}

// Effects played one after another over a long run, as walking and casting
// play them, each released by the clean-up: the audio's table reuses the
// released slots, so it holds no more entries than ever played at once.
TEST_F(Sound, ReleasedEffectSlotsAreReused)
{
    AddWave("step", Wave(30));
    AddWave("cast", Wave(200));
    for (int pass = 0; pass < 3000; ++pass) {
        if (pass % 2 == 0)
            g_Sound.PlayWave("step");
        if (pass % 50 == 0)
            g_Sound.PlayWaveOwned("cast", 0);
        Tick(16);
        g_Sound.CleanupWaves();
    }
    EXPECT_LE(g_Sound.waves.size(), 4u);
    EXPECT_LE(tevtest::Headless().fakeAudio().Effects().Slots(), 8u);
}

TEST_F(Sound, MusicLoopsOnCompletionOncePerEnd)
{
    g_Sound.PlayMidi("title");
    for (int t = 0; t < 3500; t += 10) {
        g_Sound.PollMidi();
        Tick(10);
    }
    EXPECT_EQ((std::vector<std::string>{"midi load title", "midi run title", "midi stop title", "midi load title",
                                        "midi run title"}),
              Events({"midi"}));
    // Paused music does not run out.
    g_Sound.PauseMidi();
    Tick(10000);
    g_Sound.PollMidi();
    g_Sound.ResumeMidi();
    EXPECT_EQ(5u + 2u, Events({"midi"}).size());
    Tick(2990);
    g_Sound.PollMidi();
    EXPECT_EQ(7u + 3u, Events({"midi"}).size()) << "the restart came when the music ran out";
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(Sound, NoMusicIsNoMusic)
{
    g_Sound.PauseMidi();
    g_Sound.ResumeMidi();
    g_Sound.PlayMidi("NULL");
    g_Sound.PlayMidi("");
    g_Sound.PollMidi();
    EXPECT_TRUE(Events({"midi"}).empty());
    EXPECT_EQ("NULL", g_Sound.midiName);
}

TEST_F(Sound, MissingMusicKeepsItsName)
{
    g_Sound.PlayMidi("nosuch");
    EXPECT_EQ("nosuch", g_Sound.midiName);
    g_Sound.PauseMidi();
    g_Sound.ResumeMidi();
    g_Sound.ResumeMidi();
    g_Sound.PollMidi();
    // Said once, with its file; nothing to run, pause or resume after.
    EXPECT_EQ((std::vector<std::string>{"DXSHOW 打开MIDI音乐文件失败！", "Resource\\mid\\nosuch.mid"}), Boxes());
    EXPECT_EQ(2u, tevtest::Headless().recordingDialogs().debugLines.size());
    FILE* f = std::tmpfile();
    g_Sound.Save(f);
    std::rewind(f);
    char line[64] = {};
    ASSERT_NE(nullptr, std::fgets(line, sizeof line, f));
    std::fclose(f);
    EXPECT_STREQ("nosuch\n", line);
}

TEST_F(Sound, SaveRecordRestartsItsMusic)
{
    AddWave("a", Wave(1000));
    g_Sound.PlayMidi("title");
    g_Sound.PlayWave("a");
    FILE* f = std::tmpfile();
    g_Sound.Save(f);
    std::rewind(f);
    EXPECT_TRUE(g_Sound.Load(f));
    std::fclose(f);
    EXPECT_TRUE(g_Sound.waves.empty());
    const auto e = Events({"midi load", "sound release-all"});
    ASSERT_EQ(3u, e.size());
    EXPECT_EQ("sound release-all", e[1]);
    EXPECT_EQ("midi load title", e[2]);

    // A save made before any music: an empty line that means silence.
    sound fresh;
    FILE* g = std::tmpfile();
    fresh.Save(g);
    std::rewind(g);
    EXPECT_TRUE(g_Sound.Load(g));
    std::fclose(g);
    EXPECT_EQ("NULL", g_Sound.midiName);
    // A record that can't be read changes nothing.
    g_Sound.PlayMidi("title");
    g_Sound.PlayWave("a");
    FILE* empty = tevtest::MemFile("");
    EXPECT_FALSE(g_Sound.Load(empty));
    std::fclose(empty);
    EXPECT_EQ("title", g_Sound.midiName);
    EXPECT_EQ(1u, g_Sound.waves.size());
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(Sound, LosingTheFocusPausesOnlyTheMusic)
{
    AddWave("a", Wave(1000));
    g_Control.InitInput();
    g_Sound.PlayMidi("title");
    g_Sound.PlayWave("a");
    WindowProc(plat::WinMsg{plat::MsgType::Activate, plat::WA_INACTIVE});
    Tick(500);
    EXPECT_TRUE(tevtest::Headless().fakeAudio().IsPlaying(g_Sound.waves[0].buffer));
    WindowProc(plat::WinMsg{plat::MsgType::Activate, plat::WA_ACTIVE});
    EXPECT_EQ((std::vector<std::string>{"midi pause title", "midi resume title"}), Events({"midi pause", "midi resume"}));
}

TEST(SoundNoDevice, OnlyTheSetUpSaysSo)
{
    plat::headless::Options o;
    o.root = TEV_DEMO_DIR;
    o.noAudioDevice = true;
    auto& p = tevtest::InstallHeadless(o);
    g_DebugLines.assign(20, "");
    g_Sound.Init();
    g_Sound.PlayWave("logo");
    g_Sound.PlayMidi("title");
    g_Sound.PauseMidi();
    g_Sound.ResumeMidi();
    EXPECT_EQ(1u, g_Sound.waves.size());
    EXPECT_EQ(0, g_Sound.waves[0].active);
    g_Sound.CleanupWaves();
    EXPECT_TRUE(g_Sound.waves.empty());
    ASSERT_EQ(1u, p.recordingDialogs().boxes.size());
    EXPECT_EQ("建立DXSOUND对象失败！", p.recordingDialogs().boxes[0].textUtf8);
}

// Every WAVE a reader can meet: each bad one gives exactly its own message,
// and leaves an inert entry that the next clean-up drops.
TEST_F(Sound, WaveFileTable)
{
    const Bytes good = Fmt() + Chunk("data", Samples(100));
    struct Case {
        const char* what;
        Bytes bytes;
        const char* message; // nullptr: plays
        uint32_t lengthMs;
    };
    const Case cases[] = {
        {"a plain file", Riff(good), nullptr, 100},
        {"empty file", "", "要加载的WAVE文件格式WAVE错误！RIFF区块", 0},
        {"no RIFF", "RIFX" + U32(4) + "WAVE" + good, "要加载的WAVE文件格式WAVE错误！RIFF区块", 0},
        {"RIFF of another form", "RIFF" + U32(4) + "AVI " + good, "要加载的WAVE文件格式WAVE错误！RIFF区块", 0},
        {"no fmt", Riff(Chunk("data", Samples(100))), "要加载的WAVE文件格式FMT错误！子区块", 0},
        {"no data", Riff(Fmt()), "要加载的WAVE文件格式DATA错误！子区块", 0},
        {"fmt of 14 bytes", Riff(Fmt(1, 1, 22050, 16, 14) + Chunk("data", Samples(100))), "读取WAVE格式失败！", 0},
        {"fmt cut by the file's end", "RIFF" + U32(100) + "WAVE" + Bytes("fmt ", 4) + U32(16) + U16(1) + U16(1),
         "读取WAVE格式失败！", 0},
        {"fmt claiming more than the file", "RIFF" + U32(100) + "WAVE" + Bytes("fmt ", 4) + U32(400) + Fmt().substr(8),
         "加载WAVE文件时，跳出子区块失败！", 0},
        {"ADPCM", Riff(Fmt(2, 1, 22050, 4, 20) + Chunk("data", Samples(100))), "建立声音次缓冲区失败！", 0},
        {"rate 0", Riff(Fmt(1, 1, 0) + Chunk("data", Samples(100))), "建立声音次缓冲区失败！", 0},
        {"no channels", Riff(Fmt(1, 0) + Chunk("data", Samples(100))), "建立声音次缓冲区失败！", 0},
        {"block size 0", Riff(Fmt(1, 1, 22050, 16, 16, 0) + Chunk("data", Samples(100))), "建立声音次缓冲区失败！", 0},
        {"three channels", Riff(Fmt(1, 3) + Chunk("data", Samples(100))), "建立声音次缓冲区失败！", 0},
        {"24-bit", Riff(Fmt(1, 1, 22050, 24) + Chunk("data", Samples(100))), "建立声音次缓冲区失败！", 0},
        {"no samples", Riff(Fmt() + Chunk("data", "")), "建立声音次缓冲区失败！", 0},
        {"one byte of a two-byte frame", Riff(Fmt() + Chunk("data", "x")), "建立声音次缓冲区失败！", 0},
        {"data claiming more than the file", Riff(Fmt() + Bytes("data", 4) + U32(1u << 30) + Samples(200)), nullptr,
         200},
        {"data claiming 4 GB", Riff(Fmt() + Bytes("data", 4) + U32(0xFFFFFFFFu) + Samples(60)), nullptr, 60},
        {"LIST before fmt", Riff(Chunk("LIST", "INFOISFT" + U32(3) + "ab") + good), nullptr, 100},
        {"odd chunk and its pad byte", Riff(Chunk("junk", "abc") + good), nullptr, 100},
        {"data before fmt", Riff(Chunk("data", Samples(100)) + Fmt()), nullptr, 100},
        {"18-byte fmt, stereo 8-bit", Riff(Fmt(1, 2, 11025, 8, 18) + Chunk("data", Bytes(2206, '\x80'))), nullptr, 100},
        {"RIFF size 0", "RIFF" + U32(0) + "WAVE" + good, nullptr, 100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ResetAlertHistory();
        tevtest::Headless().recordingDialogs().boxes.clear();
        AddWave("t", c.bytes);
        const size_t before = tevtest::Headless().fakeAudio().Effects().Slots();
        g_Sound.PlayWave("t");
        const WaveStruct& w = g_Sound.waves.back();
        if (c.message) {
            EXPECT_EQ(std::vector<std::string>{c.message}, Boxes());
            EXPECT_EQ(0, w.active);
            EXPECT_EQ(before, tevtest::Headless().fakeAudio().Effects().Slots());
        } else {
            EXPECT_TRUE(Boxes().empty());
            ASSERT_EQ(1, w.active);
            EXPECT_EQ(c.lengthMs, tevtest::Headless().fakeAudio().Effects().At(static_cast<size_t>(w.buffer)).lengthMs);
        }
    }
    // The inert entries go like finished ones.
    const size_t n = g_Sound.waves.size();
    Tick(1000);
    for (size_t i = 0; i < n; ++i)
        g_Sound.CleanupWaves();
    EXPECT_TRUE(g_Sound.waves.empty());
}

TEST_F(Sound, NamesLeavingTheGameFolderAreRefusedForEveryKindOfFile)
{
    g_Control.InitInput();
    // The same names exist outside the game folder: never looked at.
    tevtest::WriteFile(root.parent_path() / "x.wav", Wave(10));
    tevtest::WriteFile(root.parent_path() / "x.mid", "MThd");
    g_Sound.PlayWave("..\\..\\x");
    g_Sound.PlayMidi("..\\..\\x");
    g_Sound.PauseMidi();
    g_Sound.ResumeMidi();
    WindowProc(plat::WinMsg{plat::MsgType::Activate, plat::WA_INACTIVE});
    WindowProc(plat::WinMsg{plat::MsgType::Activate, plat::WA_ACTIVE});
    g_Ui.LoadFrame("..\\x");
    EXPECT_EQ(nullptr, g_Graph.CreatePicture("Resource\\bmp\\..\\..\\..\\x.bmp"));
    std::vector<std::string> lines;
    for (const auto& l : tevtest::Headless().recordingDialogs().debugLines)
        if (l.rfind("跳", 0) != 0) // the focus changes' own lines
            lines.push_back(l);
    // Each is refused as leaving the folder, once, and nothing else is said.
    EXPECT_EQ((std::vector<std::string>{"文件名指向游戏目录之外，已拒绝！", "Resource\\wav\\..\\..\\x.wav",
                                        "文件名指向游戏目录之外，已拒绝！", "Resource\\mid\\..\\..\\x.mid",
                                        "文件名指向游戏目录之外，已拒绝！", "ui\\..\\x.jui",
                                        "文件名指向游戏目录之外，已拒绝！",
                                        "Resource\\bmp\\..\\..\\..\\x.bmp"}),
              lines);
    EXPECT_EQ(0u, tevtest::Headless().fakeAudio().Effects().Slots());
}

TEST_F(Sound, MissingWaveFileGivesItsTwoBoxesEachTime)
{
    g_Sound.PlayWave("gone");
    g_Sound.PlayWave("gone");
    // Each play looks for the file again; its box shows once.
    EXPECT_EQ((std::vector<std::string>{"加载WAVE出错！文件不存在!", "Resource\\wav\\gone.wav"}), Boxes());
    EXPECT_EQ(4u, tevtest::Headless().recordingDialogs().debugLines.size());
    EXPECT_EQ(2u, g_Sound.waves.size());
}

TEST(WaveParse, ReadsWhatItFinds)
{
    const Bytes bytes = Riff(Fmt(1, 2, 44100, 16, 18) + Chunk("data", Bytes(4 * 10 + 3, '\x01')));
    plat::WaveData w;
    ASSERT_EQ(plat::WaveError::None, plat::ParseWave(std::vector<uint8_t>(bytes.begin(), bytes.end()), &w));
    EXPECT_EQ(2, w.fmt.channels);
    EXPECT_EQ(44100u, w.fmt.samplesPerSec);
    EXPECT_EQ(4, w.fmt.blockAlign);
    EXPECT_EQ(176400u, w.fmt.avgBytesPerSec);
    EXPECT_EQ(40u, w.data.size()) << "cut to whole frames";
}

// A box takes the focus and gives it back, which resumes the music, which
// fails again for a missing file: the repeat shows no second box, so the
// chain ends.
TEST_F(Sound, BoxesAboutMissingMusicDoNotFeedEachOther)
{
    g_Control.InitInput();
    g_Sound.PlayMidi("nosuch");
    WindowProc(plat::WinMsg{plat::MsgType::Activate, plat::WA_INACTIVE});
    WindowProc(plat::WinMsg{plat::MsgType::Activate, plat::WA_ACTIVE});
    EXPECT_EQ((std::vector<std::string>{"DXSHOW 打开MIDI音乐文件失败！", "Resource\\mid\\nosuch.mid"}), Boxes());
    EXPECT_EQ(0, g_Control.suspended);
}
