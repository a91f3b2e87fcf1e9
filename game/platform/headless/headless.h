#pragma once
// The headless backend: a virtual clock, scripted input, recorded message
// boxes, debug lines and frames. It drives whole frames deterministically.
#include <cstdint>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "../platform.h"
#include "../stderr_reports.h"

namespace plat::headless {

struct Options {
    std::filesystem::path root = ".";
    int passes = 0;               // 0 = no limit
    uint32_t msPerPass = 16;
    uint32_t startTick = 100000;
    int64_t epoch = 1000000000;
    int desktopDepth = 16;
    bool depthSwitchFails = false;
    bool depthRestoreFails = false;
    bool windowFails = false;
    bool noAudioDevice = false;
    bool echoStderr = true;       // reports also go to stderr
    std::filesystem::path inputFile;
    std::filesystem::path logFile;
    std::set<std::string> trace;  // empty = every category
    std::filesystem::path dumpDir;
    int dumpEvery = 0;            // dump every K-th present (0 = off)
    std::set<int> dumpList;       // or these presents
    bool hash = false;
    std::map<std::string, uint32_t> musicLength; // ms by UTF-8 name
};

class HeadlessPlatform;

class FakeClock final : public Clock {
public:
    explicit FakeClock(uint32_t start, int64_t epoch) : now_(start), epoch_(epoch) {}
    uint32_t Ticks() override;
    int64_t CalendarSeconds() override;
    void Spin() override { Advance(1); }
    void Advance(uint32_t ms)
    {
        now_ += ms;
        reads_ = 0;
    }
    uint32_t Now() const { return now_; }

private:
    uint32_t now_;
    int64_t epoch_;
    uint64_t reads_ = 0;
};

class HeadlessDisplay final : public Display {
public:
    explicit HeadlessDisplay(HeadlessPlatform& p) : p_(p) {}
    bool CreateWindow(std::string_view titleGbk, int x, int y, int w, int h) override;
    void Show() override {}
    int DesktopDepth() override { return depth_; }
    bool SetDesktopDepth(int depth) override;
    void ResetDisplaySettings() override;
    bool CreateDevice() override { return true; }
    bool SetCooperation(bool) override { return true; }
    bool SetFullscreenMode() override { return true; }
    bool CreatePrimary(bool) override { return true; }
    bool AttachBackBuffer() override { return true; }
    int Present(const Surface& frame) override;
    bool Restore() override { return true; }
    void LeaveFullscreen() override {}
    bool IsActive() override { return active_; }
    Point SystemCursor() override { return cursor_; }
    void WarpSystemCursor(Point p) override;

    void SetActive(bool a) { active_ = a; }
    void SetSystemCursor(Point p) { cursor_ = p; }
    const Surface& LastFrame() const { return last_; }
    int PresentCount() const { return presents_; }

private:
    friend class HeadlessPlatform;
    HeadlessPlatform& p_;
    int depth_ = 16;
    bool switched_ = false;
    bool active_ = true;
    Point cursor_{320, 240};
    Surface last_;
    int presents_ = 0;
};

class HeadlessInput final : public Input {
public:
    explicit HeadlessInput(HeadlessPlatform& p) : p_(p) {}
    int Create() override;
    int CreateKeyboard() override;
    int CreateMouse() override;
    int SetDataFormat(Device) override { return failDataFormat ? -1 : 0; }
    int SetCooperativeLevel(Device) override { return failCooperative ? -1 : 0; }
    int Acquire(Device d) override;
    void Unacquire(Device d) override;
    void Release() override;
    int GetKeyboardState(uint8_t dik[256]) override;
    int GetMouseState(MouseState& state) override;

    // Test hooks: keys and buttons change as their events would, so a press
    // and release between two reads is still seen once.
    void SetKey(int code, bool down)
    {
        keys_[code & 0xFF] = down ? 0x80 : 0;
        if (down)
            latch_.Key(code);
    }
    void AddMotion(int dx, int dy)
    {
        dx_ += dx;
        dy_ += dy;
    }
    void SetButton(int b, bool down);
    bool MouseAcquired() const { return mouseAcq_; }
    bool failCreate = false, failKeyboard = false, failMouse = false, failAcquire = false;
    bool failDataFormat = false, failCooperative = false;
    bool kbStateFails = false, mouseStateFails = false;

private:
    HeadlessPlatform& p_;
    uint8_t keys_[256] = {};
    int dx_ = 0, dy_ = 0;
    uint8_t buttons_[4] = {};
    PressLatch latch_;
    bool created_ = false, kb_ = false, mouse_ = false, kbAcq_ = false, mouseAcq_ = false;
};

class FakeAudio final : public Audio {
public:
    explicit FakeAudio(HeadlessPlatform& p) : p_(p) {}
    int Open() override;
    int InitMusic() override;
    void Close() override;
    EffectId CreateEffect(const WaveData& wave, const std::string& nameGbk) override;
    int SetVolume(EffectId id, int centibels) override;
    int Play(EffectId id) override;
    bool IsPlaying(EffectId id) override;
    void Stop(EffectId id) override;
    void Release(EffectId id) override;
    int MusicLoad(const std::filesystem::path& path, const std::string& nameGbk) override;
    int MusicRun() override;
    int MusicPause() override;
    int MusicResume() override;
    int MusicStop() override;
    void MusicRelease() override;
    bool MusicTakeComplete() override;

    struct Effect {
        std::string name;
        uint32_t lengthMs = 0;
        bool playing = false;
        uint32_t startedAt = 0;
        int volume = 0;
    };
    // Every slot by id, held or released; a released one is reused.
    const EffectTable<Effect>& Effects() const { return effects_; }
    // Whether an effect of that name was ever started.
    bool Played(const std::string& nameUtf8) const { return played_.count(nameUtf8) != 0; }

private:
    HeadlessPlatform& p_;
    bool open_ = false;
    EffectTable<Effect> effects_;
    std::set<std::string> played_;
    std::string music_;
    bool musicLoaded_ = false, musicRunning_ = false, musicPaused_ = false, musicDone_ = false;
    uint32_t musicPlayed_ = 0, musicMark_ = 0;
    void UpdateMusic();
};

class RecordingDialogs final : public Dialogs {
public:
    explicit RecordingDialogs(HeadlessPlatform& p) : p_(p) {}
    void MessageBox(std::string_view textGbk, std::string_view captionGbk) override;
    void DebugOutput(std::string_view textGbk) override;

    struct Box {
        std::string textUtf8, captionUtf8;
    };
    std::vector<Box> boxes;
    std::vector<std::string> debugLines; // UTF-8

private:
    HeadlessPlatform& p_;
    StderrReports stderr_;
};

struct InputEvent {
    int pass = 0;
    std::vector<std::string> words;
    int line = 0;
};

class HeadlessPlatform final : public Platform {
public:
    explicit HeadlessPlatform(Options opts);
    ~HeadlessPlatform() override;

    Clock& clock() override { return clock_; }
    Display& display() override { return display_; }
    Input& input() override { return input_; }
    Audio& audio() override { return audio_; }
    TextRenderer& text() override { return *text_; }
    Dialogs& dialogs() override { return dialogs_; }
    PathResolver& paths() override { return paths_; }
    bool PeekMessage(WinMsg& msg) override;
    void PostMessage(const WinMsg& msg) override { queue_.push_back(msg); }
    bool CloseRequested() override;
    void FlushFocusMessages() override {}
    void Trace(std::string_view eventGbk) override;
    bool Headless() const override { return true; }
    void LoopStarting() override
    {
        if (onLoopStart)
            onLoopStart();
    }
    void PassEnded() override
    {
        if (onPassEnd)
            onPassEnd();
    }
    std::function<void()> onLoopStart;
    std::function<void()> onPassEnd;

    // Reads the input file; false (with a message on stderr) when it is bad.
    bool LoadInputFile(std::string* error);
    void SetTextRenderer(std::unique_ptr<TextRenderer> r) { text_ = std::move(r); }

    // Writes one log line "P<pass> T<tick> <event>" (UTF-8).
    void Log(std::string_view utf8Event);
    bool TraceOn(std::string_view category) const;

    int Pass() const { return pass_; }
    FakeClock& fakeClock() { return clock_; }
    HeadlessDisplay& headlessDisplay() { return display_; }
    HeadlessInput& headlessInput() { return input_; }
    FakeAudio& fakeAudio() { return audio_; }
    RecordingDialogs& recordingDialogs() { return dialogs_; }
    const Options& options() const { return opts_; }

    void ApplyEvents(int pass);

private:
    friend class HeadlessDisplay;
    void DumpFrame(const Surface& frame, int n);

    Options opts_;
    FakeClock clock_;
    HeadlessDisplay display_;
    HeadlessInput input_;
    FakeAudio audio_;
    RecordingDialogs dialogs_;
    std::unique_ptr<TextRenderer> text_;
    PathResolver paths_;
    std::deque<WinMsg> queue_;
    std::vector<InputEvent> events_;
    size_t nextEvent_ = 0;
    int pass_ = 1;
    bool closeQueued_ = false;
    FILE* log_ = nullptr;
    FILE* hashes_ = nullptr;
};

// 64-bit FNV-1a of the raw RGB565 pixels (little-endian bytes).
uint64_t FrameHash(const Surface& s);
// Writes the surface as a binary PPM (RGB565 expanded to 8 bits).
bool WritePpm(const Surface& s, const std::filesystem::path& path);

} // namespace plat::headless
