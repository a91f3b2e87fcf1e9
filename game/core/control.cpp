#include "control.h"

#include <algorithm>
#include <string>

#include "alert.h"
#include "game_state.h"
#include "graph.h"
#include "platform/dik.h"
#include "platform/gbk.h"
#include "platform/platform.h"
#include "upcalls.h"

using plat::GBK;
namespace dik = plat::dik;

namespace {
// Mirrors `initialised` in a plain global, so code that runs during static
// destruction (a report from another destructor) can still ask safely.
bool g_inputReady = false;
} // namespace

bool InputInitialised() { return g_inputReady; }

control::control()
{
    for (auto& k : keyEnabled)
        k = 1;
}

control::~control()
{
    Alert("~control");
    ReleaseDevices();
    g_inputReady = false;
}

void control::ReleaseDevices()
{
    if (!plat::PlatformInstalled())
        return;
    auto& in = plat::P().input();
    if (keyboardDevice)
        in.Unacquire(plat::Device::Keyboard);
    if (mouseDevice)
        in.Unacquire(plat::Device::Mouse);
    if (keyboardDevice || mouseDevice || inputObject)
        in.Release();
    keyboardDevice = mouseDevice = inputObject = false;
}

void control::InitInput()
{
    auto& in = plat::P().input();
    if (in.Create() < 0)
        Alert(GBK("建立DINPUT对象失败！"));
    else
        inputObject = true;

    // Each device: create, data format, exclusive foreground access, and
    // acquire; a device that could not be made is left out.
    struct Steps {
        plat::Device device;
        bool* made;
        const char* create;
        const char* format;
        const char* cooperative;
    };
    const Steps devices[] = {
        {plat::Device::Keyboard, &keyboardDevice, "建立DINPUT键盘失败！", "设置DINPUT键盘数据格式失败！",
         "设置DINPUT键盘协调层失败！"},
        {plat::Device::Mouse, &mouseDevice, "建立DINPUT鼠标失败！", "设置DINPUT鼠标数据格式失败！",
         "设置DINPUT鼠标协调层失败！"},
    };
    for (const Steps& d : devices) {
        const int made = d.device == plat::Device::Keyboard ? in.CreateKeyboard() : in.CreateMouse();
        if (made < 0) {
            Alert(GBK(d.create));
            continue;
        }
        *d.made = true;
        if (in.SetDataFormat(d.device) < 0)
            Alert(GBK(d.format));
        if (in.SetCooperativeLevel(d.device) < 0)
            Alert(GBK(d.cooperative));
        if (in.Acquire(d.device) < 0)
            suspended = 1;
    }
    initialised = 1;
    g_inputReady = true;
}

void control::ReinitInput()
{
    plat::P().Trace("input reinit");
    ReleaseDevices();
    initialised = 0;
    g_inputReady = false;
    InitInput();
}

GameKey control::ReadKeyboard()
{
    using namespace gamekey;
    plat::P().Trace("input read");
    keyHit = 0;
    if (keyboardOn == 0)
        return kNone;
    // A failed read suspends the input; the table is still evaluated on
    // what the buffer held before.
    if (plat::P().input().GetKeyboardState(keyStates) < 0)
        suspended = 1;
    auto down = [&](int code) { return (keyStates[code] & 0x80) != 0; };
    const bool w = down(dik::W), s = down(dik::S), a = down(dik::A), d = down(dik::D);
    const bool lctrl = down(dik::LCONTROL);
    const bool ctrl = lctrl || down(dik::RCONTROL);
    auto hit = [&](GameKey k) {
        keyHit = 1;
        return k;
    };
    // A match counts as a hit even when its key is switched off, and then
    // hides every later row.
    auto gated = [&](GameKey k) {
        keyHit = 1;
        return keyEnabled[k] ? k : kNone;
    };

    if (lctrl && down(dik::LEFT))
        return hit(kLCtrlLeft);
    if (lctrl && down(dik::RIGHT))
        return hit(kLCtrlRight);
    if (lctrl && down(dik::UP))
        return hit(kLCtrlUp);
    if (lctrl && down(dik::DOWN))
        return hit(kLCtrlDown);
    if (w && a && ctrl)
        return hit(kCtrlWA);
    if (w && d && ctrl)
        return hit(kCtrlWD);
    if (s && a && ctrl)
        return hit(kCtrlSA);
    if (s && d && ctrl)
        return hit(kCtrlSD);
    if (w && ctrl)
        return hit(kCtrlW);
    if (s && ctrl)
        return hit(kCtrlS);
    if (a && ctrl)
        return hit(kCtrlA);
    if (d && ctrl)
        return hit(kCtrlD);
    if (w && a)
        return hit(kWA);
    if (w && d)
        return hit(kWD);
    if (s && a)
        return hit(kSA);
    if (s && d)
        return hit(kSD);
    if (w)
        return gated(kW);
    if (s)
        return gated(kS);
    if (a)
        return gated(kA);
    if (d)
        return gated(kD);
    if (down(dik::SPACE))
        return gated(kSpace);
    if (down(dik::ESCAPE))
        return gated(kEsc);
    for (int i = 0; i < 9; ++i)
        if (down(dik::K1 + i))
            return gated(kDigit1 + i);
    if (down(dik::K0))
        return gated(kDigit0);
    if (ctrl)
        return gated(kCtrl);
    return kNone;
}

MouseInfo control::ReadMouse()
{
    char button = 'N';
    motionFresh_ = false;
    if (mouseOn != 0) {
        if (plat::P().input().GetMouseState(mouseState) < 0)
            suspended = 1;
        else
            motionFresh_ = true;
        const bool left = (mouseState.buttons[0] & 0x80) != 0;
        const bool right = (mouseState.buttons[1] & 0x80) != 0;
        auto press = [&](char b) {
            if (!buttonHeld)
                ++pressCount;
            button = b;
            lastButton_ = b;
            buttonHeld = 1;
            buttonReleased = 0;
        };
        if (leftOn && left)
            press('l');
        if (rightOn && right)
            press('r');
        if (bothOn && left && right)
            press('a');
        // The frame after a release reports the released button once more,
        // now with buttonReleased set: that is a click.
        if (button == 'N' && buttonHeld) {
            button = lastButton_;
            buttonHeld = 0;
            buttonReleased = 1;
        }
    }
    return MouseInfo{cursorX, cursorY, button};
}

void control::DispatchKey(GameKey key)
{
    using namespace gamekey;
    if (g_GameState != 3)
        return;
    InputRoutes& routes = Upcall<InputRoutes>::Get();
    const uint32_t now = plat::P().clock().Ticks();
    if (routes.FramesHaveFocus()) {
        // The frames sample the keyboard at most twice a second, whatever
        // the key.
        if (now - lastUiKeyTime_ > 500) {
            routes.KeyToFrames(key);
            lastUiKeyTime_ = now;
        }
        return;
    }
    const bool openMenu = key == kEsc && now - lastUiKeyTime_ > 500;
    if (openMenu)
        lastUiKeyTime_ = now;
    routes.KeyToPlay(key, openMenu);
}

void control::DispatchMouse(MouseInfo info)
{
    InputRoutes& routes = Upcall<InputRoutes>::Get();
    if (routes.FramesHaveFocus()) {
        routes.MouseToFrames(info);
        return;
    }
    routes.MouseToPlay(info);
}

void control::ScriptKey(GameKey key, MouseInfo info)
{
    if ((key == gamekey::kSpace || info.button == 'l') && buttonReleased == 1)
        Upcall<InputRoutes>::Get().DismissTalk();
}

void control::PaintCursor(int32_t alpha, int32_t stipple)
{
    // Movement watch: cursorMoved tells whether the cursor stood still for
    // the last 60 frames, judged before this frame's motion.
    if (watchCount_ < 60) {
        if (cursorX == watchX_ && cursorY == watchY_) {
            cursorMoved = 0;
            ++watchCount_;
        } else {
            cursorMoved = 1;
            watchCount_ = 60;
        }
    } else {
        watchX_ = cursorX;
        watchY_ = cursorY;
        watchCount_ = 0;
    }

    // Motion only from a state read this frame: a stale one would move the
    // cursor again on every frame.
    const int64_t dx = motionFresh_ ? mouseState.lX : 0;
    const int64_t dy = motionFresh_ ? mouseState.lY : 0;
    motionFresh_ = false;
    const PICRESOURCESTRUCT& pic = g_Graph.getpicre(PIC_CURSOR);
    const plat::Rect c0 = pic.rects.empty() ? plat::Rect{} : pic.rects[0];
    const int64_t x = cursorX, y = cursorY;
    if (x + c0.Width() + dx > 0 && y + c0.Height() + dy > 0 && x + dx < 640 && y + dy < 480) {
        if (dx != 0 || dy != 0) {
            cursorX = static_cast<int32_t>(x + dx);
            cursorY = static_cast<int32_t>(y + dy);
            plat::P().Trace("cursor " + std::to_string(cursorX) + " " + std::to_string(cursorY));
        }
    } else {
        // Pushed off the screen: the game steps back and hands the mouse to
        // the system where the game's cursor would have gone.
        Upcall<WindowActivation>::Get().Activated(false);
        auto& in = plat::P().input();
        if (keyboardDevice)
            in.Unacquire(plat::Device::Keyboard);
        if (mouseDevice)
            in.Unacquire(plat::Device::Mouse);
        auto clamp = [](int64_t v) { return static_cast<int32_t>(std::max<int64_t>(-100000, std::min<int64_t>(v, 100000))); };
        plat::Display& display = plat::P().display();
        display.WarpSystemCursor(plat::Point{clamp(x + dx), clamp(y + dy)});
        // The system stops its pointer at the screen's edges; where it
        // really stands now is where the mouse was handed back.
        const plat::Point at = display.SystemCursor();
        handedBack = true;
        handbackX = at.x;
        handbackY = at.y;
        clickedInside = false;
    }

    plat::Rect cell;
    if (g_Graph.GetCell(PIC_CURSOR, 0, &cell) &&
        g_Graph.PaintPic(g_Graph.BUF, PIC_CURSOR, cell, static_cast<float>(cursorX), static_cast<float>(cursorY), 1,
                         alpha, stipple) < 0)
        Alert(GBK("PaintCursor 失败！"));
}

std::array<int32_t*, 6> control::LockSwitches()
{
    return {&keyMoveOn, &mouseActionOn, &keyEnabled[gamekey::kCtrl], &keyEnabled[gamekey::kEsc], &rightOn, &bothOn};
}

void control::SetInputEnabled(int32_t on)
{
    for (int32_t* s : LockSwitches())
        *s = on ? 1 : 0;
}

void control::SetCursor(int32_t x, int32_t y)
{
    cursorX = x;
    cursorY = y;
    plat::P().Trace("cursor " + std::to_string(x) + " " + std::to_string(y));
}

void control::TakeCursorFromSystem(int32_t x, int32_t y)
{
    const PICRESOURCESTRUCT& pic = g_Graph.getpicre(PIC_CURSOR);
    const plat::Rect c0 = pic.rects.empty() ? plat::Rect{} : pic.rects[0];
    const int64_t minX = 1 - static_cast<int64_t>(std::max(c0.Width(), 1));
    const int64_t minY = 1 - static_cast<int64_t>(std::max(c0.Height(), 1));
    SetCursor(static_cast<int32_t>(std::max<int64_t>(int64_t{x} - 32, minX)),
              static_cast<int32_t>(std::max<int64_t>(int64_t{y} - 32, minY)));
    handedBack = false;
    clickedInside = false;
}

int32_t* control::SavedSwitch(int i)
{
    int32_t* const fields[12] = {&keyMoveOn,  &mouseActionOn, &keyboardOn, &mouseOn, &keyHit,      &buttonHeld,
                                 &buttonReleased, &leftOn,    &rightOn,    &bothOn,  &cursorMoved, &suspended};
    return fields[i];
}

void control::Save(FILE* file, bool unlocked)
{
    const std::array<int32_t*, 6> locks = LockSwitches();
    auto value = [&](int32_t* s) {
        return unlocked && std::find(locks.begin(), locks.end(), s) != locks.end() ? 1 : *s;
    };
    for (int32_t& k : keyEnabled)
        WriteInt(file, value(&k));
    for (int i = 0; i < 12; ++i)
        WriteInt(file, value(SavedSwitch(i)));
}

bool control::Load(FILE* file)
{
    int32_t values[256 + 12];
    for (int32_t& v : values)
        if (!ReadInt(file, &v))
            return false;
    for (int i = 0; i < 256; ++i)
        keyEnabled[i] = values[i];
    for (int i = 0; i < 12; ++i)
        *SavedSwitch(i) = values[256 + i];
    return true;
}
