#pragma once
// Window messages as the game's window procedure sees them.
namespace plat {

enum class MsgType { Activate, Close, Quit };

struct WinMsg {
    MsgType type = MsgType::Activate;
    int wParam = 0;
};

constexpr int WA_INACTIVE = 0;
constexpr int WA_ACTIVE = 1;
constexpr int WA_CLICKACTIVE = 2;

} // namespace plat
