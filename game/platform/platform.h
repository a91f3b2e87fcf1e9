#pragma once
#include <memory>
#include <string_view>

#include "audio.h"
#include "clock.h"
#include "dialogs.h"
#include "display.h"
#include "fsys.h"
#include "input.h"
#include "text.h"
#include "winmsg.h"

namespace plat {

// Everything the game asks of the machine. One instance is installed before
// the game starts; game code reaches it through P() and never sees SDL.
class Platform {
public:
    virtual ~Platform() = default;

    virtual Clock& clock() = 0;
    virtual Display& display() = 0;
    virtual Input& input() = 0;
    virtual Audio& audio() = 0;
    virtual TextRenderer& text() = 0;
    virtual Dialogs& dialogs() = 0;
    virtual PathResolver& paths() = 0;

    // Takes one waiting window message; false when none waits.
    virtual bool PeekMessage(WinMsg& msg) = 0;
    virtual void PostMessage(const WinMsg& msg) = 0;
    // Drops the focus messages a message box caused (the game emulates them).
    virtual void FlushFocusMessages() = 0;
    // True when the window was asked to close; the close message stays
    // queued for the main loop. Lets long runs outside the loop (start-up
    // scripts) end at once.
    virtual bool CloseRequested() = 0;

    // A semantic event for test logs ("state 0->1", "sound play logo");
    // GBK text. Does nothing on a real run.
    virtual void Trace(std::string_view eventGbk) = 0;
    virtual bool Headless() const = 0;

    // Called once when the main loop is about to start, and after each of
    // its passes before the message pump. Test harnesses hang work on them.
    virtual void LoopStarting() {}
    virtual void PassEnded() {}
};

// The installed platform. Aborts with a message when none is installed.
Platform& P();
bool PlatformInstalled();

// Owns the installed platform. Its one instance is defined before every other
// global of the game, so it is destroyed after them: their destructors may
// still release platform objects.
class PlatformHolder {
public:
    PlatformHolder() = default;
    PlatformHolder(const PlatformHolder&) = delete;
    PlatformHolder& operator=(const PlatformHolder&) = delete;
    ~PlatformHolder();
    void Install(std::unique_ptr<Platform> platform);
    void Reset();

private:
    std::unique_ptr<Platform> platform_;
};

} // namespace plat

// The game's one holder, made before the other globals so that it outlives
// them: their destructors still release platform objects.
extern plat::PlatformHolder g_PlatformHolder;
