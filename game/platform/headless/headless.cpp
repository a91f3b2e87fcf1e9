#include "headless.h"

#include <algorithm>
#include <cinttypes>
#include <cstring>
#include <fstream>
#include <sstream>

#include "../dik.h"
#include "../gbk.h"
#include "../midi.h"

namespace plat::headless {

// ---------------------------------------------------------------- clock
uint32_t FakeClock::Ticks()
{
    // A busy wait that never advances the clock would spin forever; after
    // enough reads without an advance, time moves on by itself.
    if (++reads_ >= 100000) {
        reads_ = 0;
        ++now_;
    }
    return now_;
}

int64_t FakeClock::CalendarSeconds() { return epoch_ + now_ / 1000; }

// ---------------------------------------------------------------- display
bool HeadlessDisplay::CreateWindow(std::string_view, int, int, int, int)
{
    if (p_.opts_.windowFails)
        return false;
    p_.Log("window create 640x480");
    return true;
}

bool HeadlessDisplay::SetDesktopDepth(int depth)
{
    if (p_.opts_.depthSwitchFails) {
        p_.Log("display depth switch " + std::to_string(depth) + " failed");
        return false;
    }
    if (depth_ != depth && !switched_) {
        switched_ = true;
    }
    // Switching back is the restore; it may be made to fail for tests.
    if (switched_ && depth == p_.opts_.desktopDepth) {
        if (p_.opts_.depthRestoreFails) {
            p_.Log("display depth restore " + std::to_string(depth) + " failed");
            return false;
        }
        p_.Log("display depth restore " + std::to_string(depth));
    } else {
        p_.Log("display depth switch " + std::to_string(depth));
    }
    depth_ = depth;
    return true;
}

void HeadlessDisplay::ResetDisplaySettings()
{
    depth_ = p_.opts_.desktopDepth;
    p_.Log("display reset");
}

int HeadlessDisplay::Present(const Surface& frame)
{
    last_ = frame;
    ++presents_;
    p_.Log("present " + std::to_string(presents_));
    p_.DumpFrame(last_, presents_);
    return kOk;
}

void HeadlessDisplay::WarpSystemCursor(Point p)
{
    // The window sits at the screen's top-left corner: the system pointer
    // stops at the screen's left and top edges.
    cursor_ = Point{std::max(p.x, 0), std::max(p.y, 0)};
    p_.Log("syscursor warp " + std::to_string(p.x) + " " + std::to_string(p.y));
}

// ---------------------------------------------------------------- input
int HeadlessInput::Create()
{
    if (failCreate)
        return -1;
    created_ = true;
    return 0;
}
int HeadlessInput::CreateKeyboard()
{
    if (!created_ || failKeyboard)
        return -1;
    kb_ = true;
    return 0;
}
int HeadlessInput::CreateMouse()
{
    if (!created_ || failMouse)
        return -1;
    mouse_ = true;
    return 0;
}
void HeadlessInput::SetButton(int b, bool down)
{
    buttons_[b & 3] = down ? 0x80 : 0;
    if (!down)
        return;
    latch_.Button(b);
    // While the system has the mouse, the press is a window message.
    if (!mouseAcq_) {
        const Point c = p_.display().SystemCursor();
        p_.PostMessage(WinMsg{MsgType::MouseDown, b & 3, c.x, c.y});
    }
}

int HeadlessInput::Acquire(Device d)
{
    const bool exists = d == Device::Keyboard ? kb_ : mouse_;
    if (!exists || failAcquire || !p_.display().IsActive())
        return kInputErrNotAcquired;
    // What was pressed while the game did not hold the device is not its.
    if (d == Device::Keyboard)
        latch_.ClearKeys();
    else
        latch_.ClearButtons();
    (d == Device::Keyboard ? kbAcq_ : mouseAcq_) = true;
    return 0;
}
void HeadlessInput::Unacquire(Device d) { (d == Device::Keyboard ? kbAcq_ : mouseAcq_) = false; }
void HeadlessInput::Release()
{
    created_ = kb_ = mouse_ = kbAcq_ = mouseAcq_ = false;
}
int HeadlessInput::GetKeyboardState(uint8_t dik[256])
{
    if (!kbAcq_ || kbStateFails || !p_.display().IsActive()) {
        kbAcq_ = false;
        return kInputErrNotAcquired;
    }
    std::memcpy(dik, keys_, 256);
    latch_.ApplyKeys(dik);
    return 0;
}
int HeadlessInput::GetMouseState(MouseState& state)
{
    if (!mouseAcq_ || mouseStateFails || !p_.display().IsActive()) {
        mouseAcq_ = false;
        return kInputErrNotAcquired;
    }
    state.lX = dx_;
    state.lY = dy_;
    state.lZ = 0;
    std::memcpy(state.buttons, buttons_, 4);
    latch_.ApplyButtons(state.buttons);
    dx_ = dy_ = 0;
    return 0;
}

// ---------------------------------------------------------------- audio
int FakeAudio::Open()
{
    if (p_.options().noAudioDevice) {
        p_.Log("audio open failed");
        return -1;
    }
    open_ = true;
    return 0;
}
int FakeAudio::InitMusic() { return open_ ? 0 : -1; }
void FakeAudio::Close()
{
    if (open_)
        p_.Log("audio close");
    open_ = false;
}

EffectId FakeAudio::CreateEffect(const WaveData& wave, const std::string& nameGbk)
{
    if (!open_)
        return kNoEffect;
    Effect e;
    e.name = GbkToUtf8(nameGbk);
    // The length from rate and block size; a field that is 0 (never in a
    // parsed file) gives an effect that is over at once.
    const uint64_t bytesPerSec = static_cast<uint64_t>(wave.fmt.samplesPerSec) * wave.fmt.blockAlign;
    e.lengthMs = bytesPerSec ? static_cast<uint32_t>(static_cast<uint64_t>(wave.data.size()) * 1000 / bytesPerSec) : 0;
    p_.Log("audio create " + e.name + " " + std::to_string(e.lengthMs) + "ms");
    return effects_.Add(std::move(e));
}
int FakeAudio::SetVolume(EffectId id, int centibels)
{
    Effect* e = effects_.Find(id);
    if (!e)
        return -1;
    e->volume = centibels;
    return 0;
}
int FakeAudio::Play(EffectId id)
{
    Effect* e = effects_.Find(id);
    if (!e)
        return -1;
    e->playing = true;
    e->startedAt = p_.fakeClock().Now();
    played_.insert(e->name);
    p_.Log("audio play " + e->name);
    return 0;
}
bool FakeAudio::IsPlaying(EffectId id)
{
    Effect* e = effects_.Find(id);
    if (!e)
        return false;
    if (e->playing && p_.fakeClock().Now() - e->startedAt >= e->lengthMs)
        e->playing = false;
    return e->playing;
}
void FakeAudio::Stop(EffectId id)
{
    if (Effect* e = effects_.Find(id))
        e->playing = false;
}
void FakeAudio::Release(EffectId id)
{
    if (Effect* e = effects_.Find(id)) {
        e->playing = false;
        p_.Log("audio release " + e->name);
        effects_.Free(id);
    }
}

void FakeAudio::UpdateMusic()
{
    const uint32_t now = p_.fakeClock().Now();
    if (musicRunning_ && !musicPaused_) {
        musicPlayed_ += now - musicMark_;
        uint32_t length = 5000;
        auto it = p_.options().musicLength.find(music_);
        if (it != p_.options().musicLength.end())
            length = it->second;
        if (musicPlayed_ >= length) {
            musicRunning_ = false;
            musicDone_ = true;
        }
    }
    musicMark_ = now;
}
int FakeAudio::MusicLoad(const std::filesystem::path& path, const std::string& nameGbk)
{
    music_ = GbkToUtf8(nameGbk);
    // Taken as the real mixer takes a piece: whole, and only if it reads as
    // music the synthesizer can play.
    std::vector<uint8_t> bytes;
    musicLoaded_ = ReadCheckedMidi(path, &bytes);
    musicRunning_ = musicPaused_ = musicDone_ = false;
    p_.Log("audio music-load " + music_ + (musicLoaded_ ? "" : " failed"));
    return musicLoaded_ ? 0 : -1;
}
int FakeAudio::MusicRun()
{
    if (!musicLoaded_)
        return -1;
    musicRunning_ = true;
    musicPaused_ = false;
    musicPlayed_ = 0;
    musicMark_ = p_.fakeClock().Now();
    return 0;
}
int FakeAudio::MusicPause()
{
    if (!musicLoaded_)
        return 0;
    UpdateMusic();
    musicPaused_ = true;
    return 0;
}
int FakeAudio::MusicResume()
{
    // Resuming runs the music again, which fails without a loaded file.
    if (!musicLoaded_)
        return -1;
    UpdateMusic();
    musicPaused_ = false;
    return 0;
}
int FakeAudio::MusicStop()
{
    musicRunning_ = musicPaused_ = musicDone_ = false;
    return 0;
}
void FakeAudio::MusicRelease()
{
    musicLoaded_ = musicRunning_ = musicPaused_ = musicDone_ = false;
}
bool FakeAudio::MusicTakeComplete()
{
    UpdateMusic();
    const bool d = musicDone_;
    musicDone_ = false;
    return d;
}

// ---------------------------------------------------------------- dialogs
void RecordingDialogs::MessageBox(std::string_view textGbk, std::string_view captionGbk)
{
    Box b{GbkToUtf8(textGbk), GbkToUtf8(captionGbk)};
    boxes.push_back(b);
    p_.Log("msgbox caption=\"" + b.captionUtf8 + "\" text=\"" + b.textUtf8 + "\"");
    if (p_.options().echoStderr)
        stderr_.Write("[box] " + b.textUtf8, p_.fakeClock().Now());
}

void RecordingDialogs::DebugOutput(std::string_view textGbk)
{
    std::string t = GbkToUtf8(textGbk);
    debugLines.push_back(t);
    p_.Log("debug " + t);
    if (p_.options().echoStderr)
        stderr_.Write(t, p_.fakeClock().Now(), !boxFocusTraces_);
}

// ---------------------------------------------------------------- platform
HeadlessPlatform::HeadlessPlatform(Options opts)
    : opts_(std::move(opts)), clock_(opts_.startTick, opts_.epoch), display_(*this), input_(*this), audio_(*this),
      dialogs_(*this), text_(std::make_unique<BoxTextRenderer>()), paths_(opts_.root)
{
    display_.depth_ = opts_.desktopDepth;
    if (!opts_.logFile.empty())
        log_ = std::fopen(opts_.logFile.c_str(), "wb");
    if (!opts_.dumpDir.empty()) {
        std::error_code ec;
        std::filesystem::create_directories(opts_.dumpDir, ec);
        if (opts_.hash)
            hashes_ = std::fopen((opts_.dumpDir / "hashes.txt").c_str(), "wb");
    }
}

HeadlessPlatform::~HeadlessPlatform()
{
    if (log_)
        std::fclose(log_);
    if (hashes_)
        std::fclose(hashes_);
}

bool HeadlessPlatform::TraceOn(std::string_view category) const
{
    if (opts_.trace.empty())
        return true;
    return opts_.trace.count(std::string(category)) > 0;
}

void HeadlessPlatform::Log(std::string_view utf8Event)
{
    if (!log_)
        return;
    std::fprintf(log_, "P%d T%" PRIu32 " %.*s\n", pass_, clock_.Now(), static_cast<int>(utf8Event.size()),
                 utf8Event.data());
    std::fflush(log_);
}

void HeadlessPlatform::Trace(std::string_view eventGbk)
{
    const std::string e = GbkToUtf8(eventGbk);
    const auto sp = e.find(' ');
    if (!TraceOn(e.substr(0, sp)))
        return;
    Log(e);
}

bool HeadlessPlatform::LoadInputFile(std::string* error)
{
    if (opts_.inputFile.empty())
        return true;
    std::ifstream in(opts_.inputFile);
    if (!in) {
        *error = "cannot open input file " + opts_.inputFile.string();
        return false;
    }
    std::string line;
    int lineNo = 0;
    while (std::getline(in, line)) {
        ++lineNo;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        std::istringstream ss(line);
        std::vector<std::string> words;
        for (std::string w; ss >> w;)
            words.push_back(w);
        if (words.empty() || words[0][0] == '#')
            continue;
        auto bad = [&](const std::string& why) {
            *error = opts_.inputFile.string() + ":" + std::to_string(lineNo) + ": " + why + ": " + line;
            return false;
        };
        char* end = nullptr;
        const long pass = std::strtol(words[0].c_str(), &end, 10);
        if (*end || pass < 0)
            return bad("the line must start with a pass number");
        InputEvent ev{static_cast<int>(pass), std::vector<std::string>(words.begin() + 1, words.end()), lineNo};
        if (ev.words.empty())
            return bad("no event");
        const std::string& cmd = ev.words[0];
        const size_t n = ev.words.size();
        bool ok = false;
        if (cmd == "key")
            ok = n == 3 && dik::FromName(ev.words[1].c_str()) >= 0 && (ev.words[2] == "down" || ev.words[2] == "up");
        else if (cmd == "mouse" || cmd == "syscursor")
            ok = n == 3;
        else if (cmd == "button")
            ok = n == 3 && (ev.words[1] == "l" || ev.words[1] == "r") && (ev.words[2] == "down" || ev.words[2] == "up");
        else if (cmd == "focus")
            ok = n == 2 && (ev.words[1] == "lost" || ev.words[1] == "gained");
        else if (cmd == "close")
            ok = n == 1;
        else if (cmd == "devfail")
            ok = n == 3 && (ev.words[1] == "kb" || ev.words[1] == "mouse") && (ev.words[2] == "on" || ev.words[2] == "off");
        else if (cmd == "clock")
            ok = n == 2 && ev.words[1].size() > 1 && ev.words[1][0] == '+';
        if (!ok)
            return bad("unknown or malformed event");
        events_.push_back(ev);
    }
    std::stable_sort(events_.begin(), events_.end(),
                     [](const InputEvent& a, const InputEvent& b) { return a.pass < b.pass; });
    return true;
}

void HeadlessPlatform::ApplyEvents(int pass)
{
    while (nextEvent_ < events_.size() && events_[nextEvent_].pass <= pass) {
        const InputEvent& ev = events_[nextEvent_++];
        const auto& w = ev.words;
        if (w[0] == "key") {
            input_.SetKey(dik::FromName(w[1].c_str()), w[2] == "down");
        } else if (w[0] == "mouse") {
            input_.AddMotion(std::atoi(w[1].c_str()), std::atoi(w[2].c_str()));
        } else if (w[0] == "button") {
            input_.SetButton(w[1] == "l" ? 0 : 1, w[2] == "down");
        } else if (w[0] == "focus") {
            const bool gained = w[1] == "gained";
            display_.SetActive(gained);
            queue_.push_back(WinMsg{MsgType::Activate, gained ? WA_CLICKACTIVE : WA_INACTIVE});
        } else if (w[0] == "syscursor") {
            display_.SetSystemCursor(Point{std::atoi(w[1].c_str()), std::atoi(w[2].c_str())});
        } else if (w[0] == "close") {
            queue_.push_back(WinMsg{MsgType::Close, 0});
        } else if (w[0] == "devfail") {
            (w[1] == "kb" ? input_.kbStateFails : input_.mouseStateFails) = w[2] == "on";
        } else if (w[0] == "clock") {
            clock_.Advance(static_cast<uint32_t>(std::strtoul(w[1].c_str() + 1, nullptr, 10)));
        }
    }
}

bool HeadlessPlatform::CloseRequested()
{
    // Events are applied at the start of their pass (those of pass 1 before
    // start-up): only a close already applied has arrived.
    return std::any_of(queue_.begin(), queue_.end(), [](const WinMsg& m) { return m.type == MsgType::Close; });
}

bool HeadlessPlatform::PeekMessage(WinMsg& msg)
{
    // The pump ends every pass: time moves on and the next pass's events
    // arrive. After the last pass the window is closed.
    clock_.Advance(opts_.msPerPass);
    if (opts_.passes > 0 && pass_ >= opts_.passes && !closeQueued_) {
        closeQueued_ = true;
        queue_.push_back(WinMsg{MsgType::Close, 0});
    }
    ++pass_;
    ApplyEvents(pass_);
    if (queue_.empty())
        return false;
    msg = queue_.front();
    queue_.pop_front();
    return true;
}

void HeadlessPlatform::DumpFrame(const Surface& frame, int n)
{
    const bool listed = opts_.dumpList.count(n) > 0;
    const bool every = opts_.dumpEvery > 0 && n % opts_.dumpEvery == 0;
    if (opts_.hash) {
        const uint64_t h = FrameHash(frame);
        char buf[64];
        std::snprintf(buf, sizeof buf, "%016" PRIx64, h);
        Log("hash " + std::to_string(n) + " " + buf);
        if (hashes_ && (listed || every || (opts_.dumpList.empty() && opts_.dumpEvery == 0)))
            std::fprintf(hashes_, "%d %d %s\n", n, pass_, buf), std::fflush(hashes_);
    }
    if (opts_.dumpDir.empty() || !(listed || every))
        return;
    WritePpm(frame, opts_.dumpDir / ("frame-" + std::to_string(n) + ".ppm"));
}

uint64_t FrameHash(const Surface& s)
{
    uint64_t h = 1469598103934665603ull;
    for (uint16_t p : s.px) {
        h = (h ^ (p & 0xFF)) * 1099511628211ull;
        h = (h ^ (p >> 8)) * 1099511628211ull;
    }
    return h;
}

bool WritePpm(const Surface& s, const std::filesystem::path& path)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    std::fprintf(f, "P6\n%d %d\n255\n", s.w, s.h);
    std::vector<uint8_t> row(static_cast<size_t>(s.w) * 3);
    for (int y = 0; y < s.h; ++y) {
        const uint16_t* r = s.Row(y);
        for (int x = 0; x < s.w; ++x)
            Expand565(r[x], row[x * 3], row[x * 3 + 1], row[x * 3 + 2]);
        std::fwrite(row.data(), 1, row.size(), f);
    }
    return std::fclose(f) == 0;
}

} // namespace plat::headless
