#include "sdl_platform.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <SDL_ttf.h>
#include <fluidsynth.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <deque>
#include <string_view>
#include <thread>
#include <vector>

#include "../dik.h"
#include "../gbk.h"
#include "../midi.h"
#include "../stderr_reports.h"

namespace plat::sdl {
namespace {

class SdlPlatform;

// ---------------------------------------------------------------- clock
class SdlClock final : public Clock {
public:
    uint32_t Ticks() override { return static_cast<uint32_t>(SDL_GetTicks64() + kTickBase); }
    int64_t CalendarSeconds() override { return static_cast<int64_t>(std::time(nullptr)); }
    void Spin() override { std::this_thread::yield(); }
};

// ---------------------------------------------------------------- display
// True when the renderer's OpenGL is one of Mesa's rasterisers that run on
// the CPU (what a machine without a GPU, or Xvfb, offers).
bool EmulatedGpu(SDL_Renderer* renderer)
{
    SDL_RendererInfo info;
    if (SDL_GetRendererInfo(renderer, &info) != 0 || (info.flags & SDL_RENDERER_SOFTWARE))
        return false;
    const std::string_view name = info.name ? info.name : "";
    if (name.substr(0, 6) != "opengl")
        return false;
    // The renderer's context is current once it is made.
    using GetString = const unsigned char* (*)(unsigned);
    constexpr unsigned kGlRenderer = 0x1F01;
    const auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
    const unsigned char* text = getString ? getString(kGlRenderer) : nullptr;
    if (!text)
        return false;
    const std::string_view gl = reinterpret_cast<const char*>(text);
    for (std::string_view cpu : {"llvmpipe", "softpipe", "swrast", "Software Rasterizer"})
        if (gl.find(cpu) != std::string_view::npos)
            return true;
    return false;
}

class SdlDisplay final : public Display {
public:
    ~SdlDisplay() override { Destroy(); }

    void Destroy()
    {
        if (texture_)
            SDL_DestroyTexture(texture_);
        if (renderer_)
            SDL_DestroyRenderer(renderer_);
        if (window_)
            SDL_DestroyWindow(window_);
        texture_ = nullptr;
        renderer_ = nullptr;
        window_ = nullptr;
    }

    bool CreateWindow(std::string_view titleGbk, int x, int y, int w, int h) override
    {
        if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
            std::fprintf(stderr, "tevlegend: SDL video: %s\n", SDL_GetError());
            return false;
        }
        videoUp_ = true;
        // With no display to reach (none running, or one refusing
        // connections for a moment), SDL falls back to drivers that draw
        // nowhere: the game would run unseen and never end. Those only when
        // asked for by name.
        const std::string_view driver = SDL_GetCurrentVideoDriver() ? SDL_GetCurrentVideoDriver() : "";
        const char* asked = SDL_GetHint("SDL_VIDEODRIVER");
        if ((driver == "offscreen" || driver == "dummy") && !(asked && std::string_view(asked).find(driver) != std::string_view::npos)) {
            std::fprintf(stderr, "tevlegend: no display to show the window on (is DISPLAY set and its server running?)\n");
            SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
            videoUp_ = false;
            return false;
        }
        const std::string title = GbkToUtf8(titleGbk);
        window_ = SDL_CreateWindow(title.c_str(), x, y, w, h, SDL_WINDOW_HIDDEN | SDL_WINDOW_BORDERLESS);
        if (!window_) {
            std::fprintf(stderr, "tevlegend: window: %s\n", SDL_GetError());
            return false;
        }
        return true;
    }

    void Show() override
    {
        if (!window_)
            return;
        SDL_ShowWindow(window_);
        // Without a window manager (Xvfb) nobody would give the window focus.
        SDL_RaiseWindow(window_);
        SDL_SetWindowInputFocus(window_);
    }

    int DesktopDepth() override { return 16; }
    bool SetDesktopDepth(int) override { return true; }
    void ResetDisplaySettings() override {}

    bool CreateDevice() override
    {
        if (!window_)
            return false;
        // A GPU emulated on the CPU costs several times what the plain copy
        // of 640x480 pixels to the window does. The software renderer's
        // window surface goes to the display as it is, not once more through
        // a GPU renderer; and without a GPU (unless a driver was asked for by
        // name) the software renderer draws.
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
        renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_ACCELERATED);
        if (renderer_ && !SDL_GetHint(SDL_HINT_RENDER_DRIVER) && EmulatedGpu(renderer_)) {
            SDL_DestroyRenderer(renderer_);
            renderer_ = nullptr;
        }
        if (!renderer_)
            renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
        return renderer_ != nullptr;
    }

    bool SetCooperation(bool) override { return renderer_ != nullptr; }

    bool SetFullscreenMode() override
    {
        if (!window_ || !renderer_)
            return false;
        SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
        if (SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0)
            return false;
        fullscreen_ = true;
        return SDL_RenderSetLogicalSize(renderer_, 640, 480) == 0;
    }

    bool CreatePrimary(bool) override
    {
        if (!renderer_)
            return false;
        if (texture_)
            SDL_DestroyTexture(texture_);
        texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB565, SDL_TEXTUREACCESS_STREAMING, 640, 480);
        return texture_ != nullptr;
    }

    bool AttachBackBuffer() override { return texture_ != nullptr; }

    int Present(const Surface& frame) override
    {
        if (!renderer_ || !texture_)
            return kErrNoObject;
        if (lost_)
            return kErrSurfaceLost;
        if (frame.w != 640 || frame.h != 480)
            return kErrInvalidRect;
        SDL_UpdateTexture(texture_, nullptr, frame.px.data(), frame.w * 2);
        SDL_RenderClear(renderer_);
        SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
        SDL_RenderPresent(renderer_);
        Pace();
        return kOk;
    }

    bool Restore() override
    {
        lost_ = false;
        return CreatePrimary(fullscreen_);
    }

    void LeaveFullscreen() override
    {
        if (window_ && fullscreen_)
            SDL_SetWindowFullscreen(window_, 0);
        fullscreen_ = false;
    }

    bool IsActive() override { return window_ && (SDL_GetWindowFlags(window_) & SDL_WINDOW_INPUT_FOCUS) != 0; }

    Point SystemCursor() override
    {
        int gx = 0, gy = 0, wx = 0, wy = 0;
        SDL_GetGlobalMouseState(&gx, &gy);
        if (window_)
            SDL_GetWindowPosition(window_, &wx, &wy);
        int x = gx - wx, y = gy - wy;
        if (fullscreen_ && renderer_) {
            float lx = 0, ly = 0;
            SDL_RenderWindowToLogical(renderer_, x, y, &lx, &ly);
            x = static_cast<int>(std::floor(lx));
            y = static_cast<int>(std::floor(ly));
        }
        return Point{x, y};
    }

    void WarpSystemCursor(Point p) override
    {
        if (!window_)
            return;
        int x = p.x, y = p.y;
        if (fullscreen_ && renderer_)
            SDL_RenderLogicalToWindow(renderer_, static_cast<float>(p.x), static_cast<float>(p.y), &x, &y);
        SDL_WarpMouseInWindow(window_, x, y);
    }

    void MarkLost() { lost_ = true; }
    SDL_Window* Window() const { return window_; }
    bool VideoUp() const { return videoUp_; }

private:
    // Frames are shown at most 60 times a second, vsync or not: time each
    // present and sleep what remains of the 1/60 s.
    void Pace()
    {
        using clock = std::chrono::steady_clock;
        const auto frame = std::chrono::microseconds(16667);
        const auto now = clock::now();
        if (lastPresent_.time_since_epoch().count() != 0) {
            const auto due = lastPresent_ + frame;
            if (now < due) {
                std::this_thread::sleep_for(due - now);
                lastPresent_ = due;
                return;
            }
        }
        lastPresent_ = now;
    }

    SDL_Window* window_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    SDL_Texture* texture_ = nullptr;
    bool fullscreen_ = false;
    bool lost_ = false;
    bool videoUp_ = false;
    std::chrono::steady_clock::time_point lastPresent_{};
};

// ---------------------------------------------------------------- input
int DikFromScancode(SDL_Scancode sc)
{
    switch (sc) {
    case SDL_SCANCODE_ESCAPE: return dik::ESCAPE;
    case SDL_SCANCODE_1: return dik::K1;
    case SDL_SCANCODE_2: return dik::K2;
    case SDL_SCANCODE_3: return dik::K3;
    case SDL_SCANCODE_4: return dik::K4;
    case SDL_SCANCODE_5: return dik::K5;
    case SDL_SCANCODE_6: return dik::K6;
    case SDL_SCANCODE_7: return dik::K7;
    case SDL_SCANCODE_8: return dik::K8;
    case SDL_SCANCODE_9: return dik::K9;
    case SDL_SCANCODE_0: return dik::K0;
    case SDL_SCANCODE_MINUS: return dik::MINUS;
    case SDL_SCANCODE_EQUALS: return dik::EQUALS;
    case SDL_SCANCODE_BACKSPACE: return dik::BACK;
    case SDL_SCANCODE_TAB: return dik::TAB;
    case SDL_SCANCODE_Q: return dik::Q;
    case SDL_SCANCODE_W: return dik::W;
    case SDL_SCANCODE_E: return dik::E;
    case SDL_SCANCODE_R: return dik::R;
    case SDL_SCANCODE_T: return dik::T;
    case SDL_SCANCODE_Y: return dik::Y;
    case SDL_SCANCODE_U: return dik::U;
    case SDL_SCANCODE_I: return dik::I;
    case SDL_SCANCODE_O: return dik::O;
    case SDL_SCANCODE_P: return dik::P;
    case SDL_SCANCODE_LEFTBRACKET: return dik::LBRACKET;
    case SDL_SCANCODE_RIGHTBRACKET: return dik::RBRACKET;
    case SDL_SCANCODE_RETURN: return dik::RETURN;
    case SDL_SCANCODE_LCTRL: return dik::LCONTROL;
    case SDL_SCANCODE_A: return dik::A;
    case SDL_SCANCODE_S: return dik::S;
    case SDL_SCANCODE_D: return dik::D;
    case SDL_SCANCODE_F: return dik::F;
    case SDL_SCANCODE_G: return dik::G;
    case SDL_SCANCODE_H: return dik::H;
    case SDL_SCANCODE_J: return dik::J;
    case SDL_SCANCODE_K: return dik::K;
    case SDL_SCANCODE_L: return dik::L;
    case SDL_SCANCODE_SEMICOLON: return dik::SEMICOLON;
    case SDL_SCANCODE_APOSTROPHE: return dik::APOSTROPHE;
    case SDL_SCANCODE_GRAVE: return dik::GRAVE;
    case SDL_SCANCODE_LSHIFT: return dik::LSHIFT;
    case SDL_SCANCODE_BACKSLASH: return dik::BACKSLASH;
    case SDL_SCANCODE_Z: return dik::Z;
    case SDL_SCANCODE_X: return dik::X;
    case SDL_SCANCODE_C: return dik::C;
    case SDL_SCANCODE_V: return dik::V;
    case SDL_SCANCODE_B: return dik::B;
    case SDL_SCANCODE_N: return dik::N;
    case SDL_SCANCODE_M: return dik::M;
    case SDL_SCANCODE_COMMA: return dik::COMMA;
    case SDL_SCANCODE_PERIOD: return dik::PERIOD;
    case SDL_SCANCODE_SLASH: return dik::SLASH;
    case SDL_SCANCODE_RSHIFT: return dik::RSHIFT;
    case SDL_SCANCODE_KP_MULTIPLY: return dik::MULTIPLY;
    case SDL_SCANCODE_LALT: return dik::LMENU;
    case SDL_SCANCODE_SPACE: return dik::SPACE;
    case SDL_SCANCODE_CAPSLOCK: return dik::CAPITAL;
    case SDL_SCANCODE_F1: return dik::F1;
    case SDL_SCANCODE_F2: return dik::F2;
    case SDL_SCANCODE_F3: return dik::F3;
    case SDL_SCANCODE_F4: return dik::F4;
    case SDL_SCANCODE_F5: return dik::F5;
    case SDL_SCANCODE_F6: return dik::F6;
    case SDL_SCANCODE_F7: return dik::F7;
    case SDL_SCANCODE_F8: return dik::F8;
    case SDL_SCANCODE_F9: return dik::F9;
    case SDL_SCANCODE_F10: return dik::F10;
    case SDL_SCANCODE_NUMLOCKCLEAR: return dik::NUMLOCK;
    case SDL_SCANCODE_SCROLLLOCK: return dik::SCROLL;
    case SDL_SCANCODE_KP_7: return dik::NUMPAD7;
    case SDL_SCANCODE_KP_8: return dik::NUMPAD8;
    case SDL_SCANCODE_KP_9: return dik::NUMPAD9;
    case SDL_SCANCODE_KP_MINUS: return dik::SUBTRACT;
    case SDL_SCANCODE_KP_4: return dik::NUMPAD4;
    case SDL_SCANCODE_KP_5: return dik::NUMPAD5;
    case SDL_SCANCODE_KP_6: return dik::NUMPAD6;
    case SDL_SCANCODE_KP_PLUS: return dik::ADD;
    case SDL_SCANCODE_KP_1: return dik::NUMPAD1;
    case SDL_SCANCODE_KP_2: return dik::NUMPAD2;
    case SDL_SCANCODE_KP_3: return dik::NUMPAD3;
    case SDL_SCANCODE_KP_0: return dik::NUMPAD0;
    case SDL_SCANCODE_KP_PERIOD: return dik::DECIMAL;
    case SDL_SCANCODE_F11: return dik::F11;
    case SDL_SCANCODE_F12: return dik::F12;
    case SDL_SCANCODE_KP_ENTER: return dik::NUMPADENTER;
    case SDL_SCANCODE_RCTRL: return dik::RCONTROL;
    case SDL_SCANCODE_KP_DIVIDE: return dik::DIVIDE;
    case SDL_SCANCODE_RALT: return dik::RMENU;
    case SDL_SCANCODE_HOME: return dik::HOME;
    case SDL_SCANCODE_UP: return dik::UP;
    case SDL_SCANCODE_PAGEUP: return dik::PRIOR;
    case SDL_SCANCODE_LEFT: return dik::LEFT;
    case SDL_SCANCODE_RIGHT: return dik::RIGHT;
    case SDL_SCANCODE_END: return dik::END;
    case SDL_SCANCODE_DOWN: return dik::DOWN;
    case SDL_SCANCODE_PAGEDOWN: return dik::NEXT;
    case SDL_SCANCODE_INSERT: return dik::INSERT;
    case SDL_SCANCODE_DELETE: return dik::DELETE_;
    default: return -1;
    }
}

class SdlInput final : public Input {
public:
    explicit SdlInput(SdlDisplay& d) : display_(d) {}

    int Create() override
    {
        created_ = true;
        return 0;
    }
    int CreateKeyboard() override { return created_ ? 0 : -1; }
    int CreateMouse() override { return created_ ? 0 : -1; }

    int Acquire(Device d) override
    {
        if (!display_.IsActive())
            return kInputErrNotAcquired;
        if (d == Device::Mouse) {
            // The cursor is hidden and held in the window; motion comes relative.
            if (SDL_SetRelativeMouseMode(SDL_TRUE) != 0)
                return kInputErrNotAcquired;
            mouseAcq_ = true;
            dx_ = dy_ = 0;
            latch_.ClearButtons();
        } else {
            kbAcq_ = true;
            latch_.ClearKeys();
        }
        return 0;
    }

    void Unacquire(Device d) override
    {
        if (d == Device::Mouse) {
            if (mouseAcq_)
                SDL_SetRelativeMouseMode(SDL_FALSE);
            mouseAcq_ = false;
        } else {
            kbAcq_ = false;
        }
    }

    void Release() override
    {
        Unacquire(Device::Keyboard);
        Unacquire(Device::Mouse);
        created_ = false;
    }

    int GetKeyboardState(uint8_t dikState[256]) override
    {
        if (!kbAcq_ || !display_.IsActive()) {
            Unacquire(Device::Keyboard);
            return kInputErrNotAcquired;
        }
        SDL_PumpEvents();
        // Presses since the last read count even if already let go.
        SDL_Event ev[32];
        int got = 0;
        while ((got = SDL_PeepEvents(ev, 32, SDL_GETEVENT, SDL_KEYDOWN, SDL_KEYUP)) > 0)
            for (int i = 0; i < got; ++i)
                if (ev[i].type == SDL_KEYDOWN)
                    NoteKeyDown(ev[i].key);
        int n = 0;
        const Uint8* st = SDL_GetKeyboardState(&n);
        std::fill(dikState, dikState + 256, 0);
        for (int sc = 0; sc < n; ++sc) {
            if (!st[sc])
                continue;
            const int code = DikFromScancode(static_cast<SDL_Scancode>(sc));
            if (code >= 0)
                dikState[code] = 0x80;
        }
        latch_.ApplyKeys(dikState);
        return 0;
    }

    int GetMouseState(MouseState& state) override
    {
        if (!mouseAcq_ || !display_.IsActive()) {
            Unacquire(Device::Mouse);
            return kInputErrNotAcquired;
        }
        // Take the motion that arrived since the last pump, and only that:
        // focus and close events stay queued for the message pump.
        SDL_PumpEvents();
        SDL_Event ev[32];
        int n = 0;
        while ((n = SDL_PeepEvents(ev, 32, SDL_GETEVENT, SDL_MOUSEMOTION, SDL_MOUSEBUTTONUP)) > 0)
            for (int i = 0; i < n; ++i) {
                if (ev[i].type == SDL_MOUSEMOTION)
                    AddMotion(ev[i].motion.xrel, ev[i].motion.yrel);
                else if (ev[i].type == SDL_MOUSEBUTTONDOWN)
                    NoteButtonDown(ev[i].button);
            }
        const Uint32 b = SDL_GetMouseState(nullptr, nullptr);
        state.lX = dx_;
        state.lY = dy_;
        state.lZ = 0;
        dx_ = dy_ = 0;
        state.buttons[0] = (b & SDL_BUTTON_LMASK) ? 0x80 : 0;
        state.buttons[1] = (b & SDL_BUTTON_RMASK) ? 0x80 : 0;
        state.buttons[2] = (b & SDL_BUTTON_MMASK) ? 0x80 : 0;
        state.buttons[3] = 0;
        latch_.ApplyButtons(state.buttons);
        return 0;
    }

    void NoteKeyDown(const SDL_KeyboardEvent& e)
    {
        if (!kbAcq_ || e.repeat)
            return;
        const int code = DikFromScancode(e.keysym.scancode);
        if (code >= 0)
            latch_.Key(code);
    }

    void NoteButtonDown(const SDL_MouseButtonEvent& e)
    {
        if (!mouseAcq_)
            return;
        if (e.button == SDL_BUTTON_LEFT)
            latch_.Button(0);
        else if (e.button == SDL_BUTTON_RIGHT)
            latch_.Button(1);
        else if (e.button == SDL_BUTTON_MIDDLE)
            latch_.Button(2);
    }

    bool MouseAcquired() const { return mouseAcq_; }

    void AddMotion(int dx, int dy)
    {
        if (mouseAcq_) {
            dx_ += dx;
            dy_ += dy;
        }
    }

private:
    SdlDisplay& display_;
    bool created_ = false, kbAcq_ = false, mouseAcq_ = false;
    int dx_ = 0, dy_ = 0;
    PressLatch latch_;
};

// ---------------------------------------------------------------- audio
std::atomic<bool> g_musicFinished{false};
void OnMusicFinished() { g_musicFinished = true; }

// The synthesizer's own complaints, which it would write to stderr each time
// it is handed a piece, go through here: a few for each piece loaded, then
// one line saying that the rest are left out.
constexpr int kSynthLinesPerPiece = 4;
std::atomic<int> g_synthLines{0};
void OnSynthLog(int level, const char* message, void*)
{
    if (level > FLUID_WARN)
        return;
    const int n = g_synthLines.fetch_add(1);
    if (n < kSynthLinesPerPiece)
        std::fprintf(stderr, "tevlegend: synthesizer: %s\n", message);
    else if (n == kSynthLinesPerPiece)
        std::fprintf(stderr, "tevlegend: synthesizer: further messages on this piece left out\n");
}
void RouteSynthLog()
{
    for (int level : {FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG})
        fluid_set_log_function(level, OnSynthLog, nullptr);
}

void PutLe16(std::vector<uint8_t>& v, uint16_t x)
{
    v.push_back(static_cast<uint8_t>(x));
    v.push_back(static_cast<uint8_t>(x >> 8));
}
void PutLe32(std::vector<uint8_t>& v, uint32_t x)
{
    PutLe16(v, static_cast<uint16_t>(x));
    PutLe16(v, static_cast<uint16_t>(x >> 16));
}

class SdlAudio final : public Audio {
public:
    ~SdlAudio() override { Close(); }

    int Open() override
    {
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
            std::fprintf(stderr, "tevlegend: SDL audio: %s\n", SDL_GetError());
            return -1;
        }
        audioUp_ = true;
        if (Mix_OpenAudio(44100, AUDIO_S16SYS, 2, 1024) != 0) {
            std::fprintf(stderr, "tevlegend: mixer: %s\n", Mix_GetError());
            return -1;
        }
        open_ = true;
        Mix_AllocateChannels(channels_);
        Mix_HookMusicFinished(OnMusicFinished);
        return 0;
    }

    int InitMusic() override
    {
        if (!open_)
            return -1;
        // MIDI needs a General-MIDI soundfont; these are where Debian's
        // packages put theirs.
        static const char* kFonts[] = {"/usr/share/sounds/sf2/default-GM.sf2", "/usr/share/sounds/sf2/TimGM6mb.sf2",
                                       "/usr/share/sounds/sf2/FluidR3_GM.sf2"};
        bool found = false;
        for (const char* f : kFonts) {
            if (FILE* fp = std::fopen(f, "rb")) {
                std::fclose(fp);
                Mix_SetSoundFonts(f);
                found = true;
                break;
            }
        }
        if (!found) {
            std::fprintf(stderr, "tevlegend: no General-MIDI soundfont found (timgm6mb-soundfont)\n");
            return -1;
        }
        if ((Mix_Init(MIX_INIT_MID) & MIX_INIT_MID) == 0) {
            std::fprintf(stderr, "tevlegend: MIDI support: %s\n", Mix_GetError());
            return -1;
        }
        RouteSynthLog();
        return 0;
    }

    void Close() override
    {
        if (!open_ && !audioUp_)
            return;
        effects_.ForEachHeld([](Effect& e) {
            if (e.chunk) {
                if (e.channel >= 0 && Mix_GetChunk(e.channel) == e.chunk)
                    Mix_HaltChannel(e.channel);
                Mix_FreeChunk(e.chunk);
                e.chunk = nullptr;
            }
        });
        MusicRelease();
        if (open_)
            Mix_CloseAudio();
        Mix_Quit();
        open_ = false;
        if (audioUp_)
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
        audioUp_ = false;
    }

    EffectId CreateEffect(const WaveData& w, const std::string&) override
    {
        if (!open_)
            return kNoEffect;
        // Re-wrap the parsed samples as a canonical WAVE for the mixer,
        // which converts the format.
        std::vector<uint8_t> b;
        const char riff[] = {'R', 'I', 'F', 'F'};
        b.insert(b.end(), riff, riff + 4);
        PutLe32(b, static_cast<uint32_t>(36 + w.data.size()));
        const char wavefmt[] = {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '};
        b.insert(b.end(), wavefmt, wavefmt + 8);
        PutLe32(b, 16);
        PutLe16(b, w.fmt.formatTag);
        PutLe16(b, w.fmt.channels);
        PutLe32(b, w.fmt.samplesPerSec);
        PutLe32(b, w.fmt.avgBytesPerSec);
        PutLe16(b, w.fmt.blockAlign);
        PutLe16(b, w.fmt.bitsPerSample);
        const char data[] = {'d', 'a', 't', 'a'};
        b.insert(b.end(), data, data + 4);
        PutLe32(b, static_cast<uint32_t>(w.data.size()));
        b.insert(b.end(), w.data.begin(), w.data.end());
        SDL_RWops* rw = SDL_RWFromConstMem(b.data(), static_cast<int>(b.size()));
        Mix_Chunk* chunk = rw ? Mix_LoadWAV_RW(rw, 1) : nullptr;
        if (!chunk)
            return kNoEffect;
        return effects_.Add(Effect{chunk, -1});
    }

    int SetVolume(EffectId id, int centibels) override
    {
        Effect* e = Get(id);
        if (!e)
            return -1;
        // Hundredths of a decibel to a linear gain; the chunk keeps it, so
        // it holds on whichever channel the effect plays.
        const double gain = std::pow(10.0, std::min(0, std::max(-10000, centibels)) / 2000.0);
        Mix_VolumeChunk(e->chunk, static_cast<int>(std::lround(MIX_MAX_VOLUME * gain)));
        return 0;
    }

    int Play(EffectId id) override
    {
        Effect* e = Get(id);
        if (!e)
            return -1;
        int ch = Mix_PlayChannel(-1, e->chunk, 0);
        while (ch < 0 && channels_ < 256) {
            // Effects never drop for want of a channel: the pool grows.
            channels_ = std::min(256, channels_ * 2);
            Mix_AllocateChannels(channels_);
            ch = Mix_PlayChannel(-1, e->chunk, 0);
        }
        if (ch < 0)
            return -1;
        Mix_Volume(ch, MIX_MAX_VOLUME);
        e->channel = ch;
        return 0;
    }

    bool IsPlaying(EffectId id) override
    {
        Effect* e = Get(id);
        return e && e->channel >= 0 && Mix_Playing(e->channel) && Mix_GetChunk(e->channel) == e->chunk;
    }

    void Stop(EffectId id) override
    {
        if (IsPlaying(id))
            Mix_HaltChannel(effects_.Find(id)->channel);
    }

    void Release(EffectId id) override
    {
        Effect* e = Get(id);
        if (!e)
            return;
        Stop(id);
        Mix_FreeChunk(e->chunk);
        e->chunk = nullptr;
        e->channel = -1;
        effects_.Free(id);
    }

    int MusicLoad(const std::filesystem::path& path, const std::string&) override
    {
        MusicRelease();
        if (!open_ || path.empty())
            return -1;
        // The mixer would take a damaged piece and, looping it, restart it
        // without end inside one audio callback while the game waits for the
        // audio lock. A piece is handed over only once it reads whole, and
        // as MIDI whatever its bytes look like.
        if (!ReadCheckedMidi(path, &musicBytes_))
            return -1;
        g_synthLines = 0;
        SDL_RWops* rw = SDL_RWFromConstMem(musicBytes_.data(), static_cast<int>(musicBytes_.size()));
        music_ = rw ? Mix_LoadMUSType_RW(rw, MUS_MID, 1) : nullptr;
        return music_ ? 0 : -1;
    }

    int MusicRun() override
    {
        if (!music_)
            return -1;
        g_musicFinished = false;
        // The mixer loops the music itself: the synthesizer reports the end
        // seconds after the last note, and a restart then would leave a gap.
        return Mix_PlayMusic(music_, -1) == 0 ? 0 : -1;
    }

    int MusicPause() override
    {
        if (music_)
            Mix_PauseMusic();
        return 0;
    }

    int MusicResume() override
    {
        if (!music_)
            return -1;
        Mix_ResumeMusic();
        return 0;
    }

    int MusicStop() override
    {
        if (open_)
            Mix_HaltMusic();
        // Halting runs the finished hook at once; that is no completion.
        g_musicFinished = false;
        return 0;
    }

    void MusicRelease() override
    {
        if (music_) {
            MusicStop();
            Mix_FreeMusic(music_);
            music_ = nullptr;
        }
        musicBytes_.clear();
    }

    bool MusicTakeComplete() override { return g_musicFinished.exchange(false); }

private:
    struct Effect {
        Mix_Chunk* chunk = nullptr;
        int channel = -1;
    };
    Effect* Get(EffectId id)
    {
        Effect* e = effects_.Find(id);
        return e && e->chunk ? e : nullptr;
    }

    bool open_ = false, audioUp_ = false;
    int channels_ = 16;
    EffectTable<Effect> effects_;
    Mix_Music* music_ = nullptr;
    // The bytes the music is read from while it plays.
    std::vector<uint8_t> musicBytes_;
};

// ---------------------------------------------------------------- dialogs
class SdlDialogs final : public Dialogs {
public:
    SdlDialogs(SdlDisplay& d, Clock& c) : display_(d), clock_(c) {}
    void MessageBox(std::string_view textGbk, std::string_view captionGbk) override
    {
        const std::string text = GbkToUtf8(textGbk);
        const std::string caption = GbkToUtf8(captionGbk);
        if (SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, caption.c_str(), text.c_str(), display_.Window()) !=
            0)
            stderr_.Write("[box] " + text, clock_.Ticks());
    }
    void DebugOutput(std::string_view textGbk) override
    {
        stderr_.Write(GbkToUtf8(textGbk), clock_.Ticks(), !boxFocusTraces_);
    }

private:
    SdlDisplay& display_;
    Clock& clock_;
    StderrReports stderr_;
};

// ---------------------------------------------------------------- platform
class SdlPlatform final : public Platform {
public:
    SdlPlatform() : input_(display_), dialogs_(display_, clock_) {}

    ~SdlPlatform() override
    {
        // Fonts are closed before SDL_ttf shuts down.
        text_.reset();
        audio_.Close();
        display_.Destroy();
        if (TTF_WasInit())
            TTF_Quit();
        SDL_Quit();
    }

    Clock& clock() override { return clock_; }
    Display& display() override { return display_; }
    Input& input() override { return input_; }
    Audio& audio() override { return audio_; }
    TextRenderer& text() override { return *text_; }
    Dialogs& dialogs() override { return dialogs_; }
    PathResolver& paths() override { return paths_; }

    bool PeekMessage(WinMsg& msg) override
    {
        Drain();
        if (queue_.empty())
            return false;
        msg = queue_.front();
        queue_.pop_front();
        return true;
    }

    void PostMessage(const WinMsg& msg) override { queue_.push_back(msg); }

    bool CloseRequested() override
    {
        Drain();
        return std::any_of(queue_.begin(), queue_.end(),
                           [](const WinMsg& m) { return m.type == MsgType::Close || m.type == MsgType::Quit; });
    }

    void FlushFocusMessages() override
    {
        Drain();
        std::deque<WinMsg> kept;
        for (const auto& m : queue_)
            if (m.type != MsgType::Activate)
                kept.push_back(m);
        queue_.swap(kept);
    }

    void Trace(std::string_view) override {}
    bool Headless() const override { return false; }

private:
    void Drain()
    {
        if (!display_.VideoUp())
            return;
        SDL_Event e;
        while (SDL_PollEvent(&e)) {
            switch (e.type) {
            case SDL_QUIT:
                queue_.push_back(WinMsg{MsgType::Close, 0});
                break;
            case SDL_WINDOWEVENT:
                if (e.window.event == SDL_WINDOWEVENT_FOCUS_LOST)
                    queue_.push_back(WinMsg{MsgType::Activate, WA_INACTIVE});
                else if (e.window.event == SDL_WINDOWEVENT_FOCUS_GAINED)
                    queue_.push_back(WinMsg{MsgType::Activate, WA_CLICKACTIVE});
                else if (e.window.event == SDL_WINDOWEVENT_CLOSE)
                    queue_.push_back(WinMsg{MsgType::Close, 0});
                break;
            case SDL_MOUSEMOTION:
                input_.AddMotion(e.motion.xrel, e.motion.yrel);
                break;
            case SDL_KEYDOWN:
                input_.NoteKeyDown(e.key);
                break;
            case SDL_MOUSEBUTTONDOWN:
                // Held by the game, a press is latched for its next read;
                // handed to the system, it is a message to the window.
                if (input_.MouseAcquired())
                    input_.NoteButtonDown(e.button);
                else
                    queue_.push_back(WinMsg{MsgType::MouseDown, e.button.button, e.button.x, e.button.y});
                break;
            case SDL_RENDER_DEVICE_RESET:
            case SDL_RENDER_TARGETS_RESET:
                display_.MarkLost();
                break;
            default:
                break;
            }
        }
    }

    SdlClock clock_;
    SdlDisplay display_;
    SdlInput input_;
    SdlAudio audio_;
    std::unique_ptr<TextRenderer> text_ = std::make_unique<TtfTextRenderer>();
    SdlDialogs dialogs_;
    PathResolver paths_;
    std::deque<WinMsg> queue_;
};

} // namespace

std::unique_ptr<Platform> MakeSdlPlatform() { return std::make_unique<SdlPlatform>(); }

std::unique_ptr<Audio> MakeSdlAudio() { return std::make_unique<SdlAudio>(); }

} // namespace plat::sdl
