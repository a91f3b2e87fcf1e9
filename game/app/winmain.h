#pragma once
#include <cstdint>

#include "platform/winmsg.h"

// The program entry: start-up, the main loop and the shutdown. Returns 0
// after an orderly end, the quit message's parameter when it arrives, and
// 1 when no window could be made.
int WinMain(void* instance, void* prevInstance, const char* cmdLine, int showCmd);
// One pass of the main loop while input runs: input, painting by game
// state, one script statement and the present. `logoSoundPlayed` is the
// loop's note that the logo's sound has started.
void RunFrame(int32_t& logoSoundPlayed);
int InitWindowClass(void* instance);
int CreateMainWindow(void* instance, int showCmd);
long WindowProc(const plat::WinMsg& msg);

// The window's handle: 0 until the window is made.
extern int32_t g_hWnd;

// The window's title and class name.
constexpr const char* kWindowTitle = "Tev Legend by Jex";
