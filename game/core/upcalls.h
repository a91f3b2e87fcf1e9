#pragma once
// The game stands in floors: platform, core, world, script and, on top, the
// program itself. A floor includes only the floors below it; where it must
// reach up, it calls through one small interface per need, and the program
// installs the implementation when it makes its globals.
#include <cstdint>
#include <typeinfo>

#include "control.h"

namespace upcall_detail {
// Every need some floor of this binary calls through, known before main.
bool Register(const char* mangledName, bool (*installed)());
// Names the need that was called with nothing installed and ends the program.
[[noreturn]] void Missing(const char* mangledName);
} // namespace upcall_detail

// The slot through which a floor calls one need upward. Tests may install
// their own implementation and put the program's back afterwards.
// Implementations are plain objects without state to tear down: a report
// raised while the globals are destroyed may still call through them.
template <class Need>
class Upcall {
public:
    static void Install(Need* impl) { impl_ = impl; }
    static Need* Installed() { return impl_; }
    static Need& Get()
    {
        // Naming `known_` here makes every need a floor calls known to
        // RequireUpcalls, so a program that forgets one stops at start.
        static_cast<void>(known_);
        if (!impl_)
            upcall_detail::Missing(typeid(Need).name());
        return *impl_;
    }

private:
    static bool IsInstalled() { return impl_ != nullptr; }
    static inline Need* impl_ = nullptr;
    static inline const bool known_ = upcall_detail::Register(typeid(Need).name(), &IsInstalled);
};

// Ends the program, naming each one, when a need some floor calls through
// has nothing installed. The program calls it before its first frame.
void RequireUpcalls();

// A message box or a cursor pushed off the screen takes the focus from the
// window: the window procedure hears of it as of any other focus change.
class WindowActivation {
public:
    virtual void Activated(bool active) = 0;

protected:
    ~WindowActivation() = default;
};

// The talk that waits on the dialogue frame, told how the frame's opening
// goes while it is painted.
class DialogWatch {
public:
    // The frame is painted and still counts as opening. True on the talk's
    // first paint, which from then on counts as started.
    virtual bool FramePainted() = 0;
    // After this paint's step: whether the frame is still opening.
    virtual void FrameOpening(bool opening) = 0;

protected:
    ~DialogWatch() = default;
};

// The frame's composition: the title, the in-game scene and the open UI
// frames are made of the world and the frames.
class SceneComposer {
public:
    virtual void PaintTitle() = 0;
    virtual void PaintLayToBuffer() = 0;
    virtual void PaintUIFrames() = 0;

protected:
    ~SceneComposer() = default;
};

// Where the keys and clicks read in play go: the UI frames, the role, its
// magic and the talk.
class InputRoutes {
public:
    // Whether an open frame holds the keyboard and mouse.
    virtual bool FramesHaveFocus() = 0;
    virtual void KeyToFrames(GameKey key) = 0;
    virtual void MouseToFrames(MouseInfo info) = 0;
    // A key in play: the role's cheats, the main menu when `openMenu`, the
    // role's step, the talk, the choice and the cast of magic.
    virtual void KeyToPlay(GameKey key, bool openMenu) = 0;
    virtual void MouseToPlay(MouseInfo info) = 0;
    // A released Space or left click ends a talk shown long enough.
    virtual void DismissTalk() = 0;

protected:
    ~InputRoutes() = default;
};
