#pragma once
// Window messages as the game's window procedure sees them.
namespace plat {

// MouseDown reports a button pressed while the system has the mouse (the
// game does not hold it), at (x, y) in the window's pixels.
enum class MsgType { Activate, Close, Quit, MouseDown };

struct WinMsg {
    MsgType type = MsgType::Activate;
    int wParam = 0;
    int x = 0, y = 0;
};

constexpr int WA_INACTIVE = 0;
constexpr int WA_ACTIVE = 1;
constexpr int WA_CLICKACTIVE = 2;

} // namespace plat
