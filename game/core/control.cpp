#include "control.h"

#include <string>

#include "alert.h"
#include "platform/gbk.h"
#include "platform/platform.h"
#include "winmain.h"

using plat::GBK;

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
    if (in.CreateKeyboard() < 0) {
        Alert(GBK("建立DINPUT键盘失败！"));
    } else {
        keyboardDevice = true;
        if (in.Acquire(plat::Device::Keyboard) < 0)
            suspended = 1;
    }
    if (in.CreateMouse() < 0) {
        Alert(GBK("建立DINPUT鼠标失败！"));
    } else {
        mouseDevice = true;
        if (in.Acquire(plat::Device::Mouse) < 0)
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
    plat::P().Trace("input read");
    return 0;
}

MouseInfo control::ReadMouse() { return MouseInfo{cursorX, cursorY, 'N'}; }

void control::DispatchKey(GameKey) {}

void control::DispatchMouse(MouseInfo) {}

void control::ScriptKey(GameKey, MouseInfo) {}

void control::PaintCursor(int32_t, int32_t) {}

void control::SetInputEnabled(int32_t on)
{
    keyMoveOn = on;
    mouseActionOn = on;
}

void control::SetCursor(int32_t x, int32_t y)
{
    cursorX = x;
    cursorY = y;
    plat::P().Trace("cursor " + std::to_string(x) + " " + std::to_string(y));
}
