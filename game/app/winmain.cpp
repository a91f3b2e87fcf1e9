#include "winmain.h"

#include <cstdio>
#include <string>

#include "core/alert.h"
#include "core/upcalls.h"
#include "globals.h"
#include "platform/gbk.h"
#include "platform/platform.h"
#include "platform/rng.h"

using plat::GBK;

namespace {

int32_t g_lastTracedState = -1;

// Test logs follow the game's state changes.
void TraceStateChange()
{
    if (g_lastTracedState != g_GameState) {
        if (g_lastTracedState >= 0 || g_GameState != 0)
            plat::P().Trace("state " + std::to_string(g_lastTracedState < 0 ? 0 : g_lastTracedState) + "->" +
                            std::to_string(g_GameState));
        g_lastTracedState = g_GameState;
    }
}

// The world runs only while the frame stack is exactly "main_frame" and no
// dialog is open.
void DecideFocus()
{
    if (g_Ui.frames.size() == 1 && g_Ui.frames[0].name == "main_frame") {
        g_Ui.g_UiFocus = 0;
        g_Paused = g_DialogOpen != 0 ? 1 : 0;
    } else {
        g_Ui.g_UiFocus = 1;
        g_Paused = 1;
    }
}

} // namespace

void RunFrame(int32_t& logoSoundPlayed)
{
    plat::Platform& p = plat::P();
    const uint32_t tick = p.clock().Ticks();
    // Reseeded on every pass: passes within one second draw the same numbers.
    plat::GameSrand(static_cast<uint32_t>(p.clock().CalendarSeconds()));

    if (g_GameState != 0) {
        const GameKey key = g_Control.ReadKeyboard();
        g_Control.DispatchKey(key);
        const MouseInfo mouse = g_Control.ReadMouse();
        g_Control.DispatchMouse(mouse);
        g_Sound.CleanupWaves();
        g_Sound.PollMidi();
        DecideFocus();
    }

    switch (g_GameState) {
    case 0:
        if (logoSoundPlayed == 0) {
            g_Sound.PlayWave("logo");
            logoSoundPlayed = 1;
        }
        if (g_Graph.PaintLogo(150)) {
            g_Script.OpenScript("title");
            g_GameState = 1;
        }
        break;
    case 1:
        g_Graph.PaintTitle();
        break;
    case 3:
        g_Graph.PaintLayToBuffer();
        break;
    default:
        break;
    }

    for (size_t i = 0; i < g_DebugLines.size(); ++i) {
        if (!g_DebugLines[i].empty()) {
            g_Graph.PaintText(g_Graph.BUF, g_DebugLines[i], 80, static_cast<int32_t>(60 + 20 * i), 0);
            g_DebugLines[i].clear();
        }
    }

    g_Graph.PaintBlackScreen();
    g_Script.Step();

    if (g_GameState != 0) {
        g_Control.PaintCursor(99, 0);
        g_Graph.PaintFps();
    }
    g_Graph.Present();

    // The limiter's bound is 1/60 of a millisecond: it waits until the tick
    // count has moved on from the one noted above.
    if (g_FrameLimit != 0) {
        while (static_cast<double>(p.clock().Ticks() - tick) < 1.0 / 60.0)
            p.clock().Spin();
    }
}

namespace {

void WatchSuspendedCursor()
{
    plat::Display& d = plat::P().display();
    const plat::Point c = d.SystemCursor();
    if (g_Control.handedBack) {
        // The mouse went to the system by an edge push. The window lies at
        // the screen's top-left corner, so a pointer resting where it was
        // left may still lie over the window: only a move back inside or a
        // click inside brings the game back.
        const bool inside = c.x >= 0 && c.y >= 0 && c.x < 640 && c.y < 480;
        const bool moved = c.x != g_Control.handbackX || c.y != g_Control.handbackY;
        if (!(inside && moved) && !g_Control.clickedInside)
            return;
    }
    if (c.x <= 640 && c.y <= 480 && d.IsActive()) {
        WindowProc(plat::WinMsg{plat::MsgType::Activate, plat::WA_ACTIVE});
        g_Control.TakeCursorFromSystem(c.x, c.y);
    }
}

// The start state's preparation: the title's or the game's start-up script
// run to its end, or the start-up save loaded.
void RunStartState()
{
    if (g_GameState == 1)
        g_Script.RunToEnd("title");
    TraceStateChange();
    if (g_GameState == 3 && g_Quit == 0)
        g_Script.RunToEnd("gameinit");
    TraceStateChange();
    if (g_GameState == 2 && g_Quit == 0)
        g_Ui.LoadGame(g_Ui.g_LoadSlot);
    TraceStateChange();
}

void Shutdown()
{
    g_Magics.clear();
    g_MagicKinds.clear();
    g_Monsters.clear();
    g_Npcs.clear();
    g_Sound.ReleaseAllWaves();
    g_DebugLines.clear();
}

} // namespace

int InitWindowClass(void*)
{
    // Nothing to register: the platform makes the one window itself.
    return 1;
}

int CreateMainWindow(void*, int)
{
    plat::Display& d = plat::P().display();
    if (!d.CreateWindow(kWindowTitle, 0, 0, 640, 480))
        return 0;
    g_hWnd = 1;
    d.Show();
    return 1;
}

long WindowProc(const plat::WinMsg& msg)
{
    if (msg.type == plat::MsgType::MouseDown) {
        if (g_Control.suspended && g_Control.handedBack && msg.x >= 0 && msg.y >= 0 && msg.x < 640 && msg.y < 480)
            g_Control.clickedInside = true;
        return 0;
    }
    if (msg.type != plat::MsgType::Activate)
        return 0;
    if (g_Quit != 0 || !InputInitialised())
        return 0;
    switch (msg.wParam & 0xFFFF) {
    case plat::WA_INACTIVE:
        g_Control.suspended = 1;
        g_Sound.PauseMidi();
        plat::P().dialogs().DebugOutput(GBK("跳到桌面 "));
        break;
    case plat::WA_ACTIVE:
        if (g_Control.suspended) {
            g_Control.suspended = 0;
            g_Sound.ResumeMidi();
            g_Control.ReinitInput();
            plat::P().dialogs().DebugOutput(GBK("跳入游戏 "));
        }
        break;
    default:
        break;
    }
    return 0;
}

int WinMain(void* instance, void*, const char*, int showCmd)
{
    RequireUpcalls();
    InitWindowClass(instance);
    if (!CreateMainWindow(instance, showCmd)) {
        // There is no window to hold a box; say it where it can be read.
        const char* text = "tevlegend: the game window could not be created";
        std::fprintf(stderr, "%s\n", text);
        plat::P().Trace(std::string("error ") + text);
        return 1;
    }

    for (int i = 0; i < 20; ++i)
        g_DebugLines.emplace_back();

    g_Graph.InitDisplay();
    g_Control.InitInput();
    g_Sound.Init();
    g_Map.Init();

    g_lastTracedState = -1;
    TraceStateChange();
    if (g_Quit == 0) {
        g_Graph.LoadResourcePictures();
        RunStartState();
        // A save that was there but refused leaves nothing to play: the game
        // goes on as it would from the title.
        if (g_GameState == 2 && g_Ui.loadRefused && g_Quit == 0) {
            g_GameState = 1;
            RunStartState();
        }
    }

    g_Control.suspended = 0;
    int32_t logoSoundPlayed = 0;
    plat::Platform& p = plat::P();
    p.LoopStarting();
    while (g_Quit == 0) {
        if (g_Control.suspended != 0)
            WatchSuspendedCursor();
        else
            RunFrame(logoSoundPlayed);
        TraceStateChange();
        p.PassEnded();

        plat::WinMsg msg;
        if (p.PeekMessage(msg)) {
            switch (msg.type) {
            case plat::MsgType::Quit:
                return msg.wParam;
            case plat::MsgType::Close:
                // Closing the window ends the game the orderly way.
                g_Quit = 1;
                break;
            case plat::MsgType::Activate:
            case plat::MsgType::MouseDown:
                WindowProc(msg);
                break;
            }
        }
    }

    Shutdown();
    return 0;
}
