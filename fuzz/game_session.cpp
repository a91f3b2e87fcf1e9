#include "game_session.h"

#include "demo_copy.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "app/globals.h"
#include "app/winmain.h"
#include "core/alert.h"
#include "harness.h"
#include "platform/headless/headless.h"

namespace fuzzgame {
namespace {

std::filesystem::path g_folder;
bool g_started = false;
Role g_startRole;
std::vector<std::string> g_startClocks;
int32_t g_startClockEnabled = 0;

plat::headless::HeadlessPlatform& Headless() { return static_cast<plat::headless::HeadlessPlatform&>(plat::P()); }

} // namespace

const std::filesystem::path& Folder()
{
    if (g_folder.empty())
        g_folder = fuzzdemo::CopyDemoFolder();
    return g_folder;
}

void Start()
{
    if (g_started)
        return;
    g_started = true;
    harness::Config cfg;
    cfg.platform.root = Folder();
    cfg.platform.passes = 1;
    cfg.platform.echoStderr = false;
    // TEV_FUZZ_LOG names a file for the game's log (reports, scripts, frames)
    // when an input is to be looked at closely.
    if (const char* log = std::getenv("TEV_FUZZ_LOG"); log && *log)
        cfg.platform.logFile = log;
    cfg.map = "demo";
    if (harness::Run(cfg) != 0) {
        std::fprintf(stderr, "fuzz: the game did not start in %s\n", Folder().c_str());
        std::abort();
    }
    // The run above ended its loop the orderly way; the game goes on from
    // here as if that had not happened.
    g_Quit = 0;
    g_DebugLines.assign(20, std::string());
    g_startRole = g_Role;
    g_startClocks = g_Script.clockScripts;
    g_startClockEnabled = g_Script.clockEnabled;
    Baseline();
}

void WriteGameFile(const std::string& relative, const uint8_t* data, size_t size)
{
    std::string name = relative;
    std::replace(name.begin(), name.end(), '\\', '/');
    std::ofstream out(Folder() / name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    out.close();
    plat::P().paths().Invalidate();
}

void Baseline()
{
    for (int i = 0; i < 1000 && g_Script.running == 1; ++i)
        g_Script.Control("eof");
    g_Script.Reset();
    // The clock scripts start-up opened, and none an input added.
    g_Script.clockScripts = g_startClocks;
    g_Script.clockEnabled = g_startClockEnabled;
    g_Script.runToEndCap = script::kRunToEndCap;
    // Frames above "main_frame" go; the frame itself stays loaded, since
    // loading its pictures costs more than most inputs.
    const bool mainAtBottom = !g_Ui.frames.empty() && g_Ui.frames[0].name == "main_frame";
    if (!mainAtBottom)
        g_Ui.UnloadAll();
    while (g_Ui.frames.size() > 1)
        g_Ui.UnloadFrameAt(static_cast<uint32_t>(g_Ui.frames.size() - 1));
    if (g_Map.name != "demo")
        g_Map.ChangeMap("demo");
    g_GameState = 3;
    g_Quit = 0;
    g_Paused = 0;
    g_DialogOpen = 0;
    g_Role = g_startRole;
    g_Npcs.clear();
    g_Monsters.clear();
    g_Magics.clear();
    DropMagicKinds();
    g_Sound.ReleaseAllWaves();
    if (g_Ui.frames.empty())
        g_Ui.LoadFrame("main_frame");
    g_Control.suspended = 0;
    ResetAlertHistory();
    auto& dialogs = Headless().recordingDialogs();
    dialogs.boxes.clear();
    dialogs.debugLines.clear();
}

void Passes(int count)
{
    int32_t logoSoundPlayed = 1;
    for (int i = 0; i < count && g_Quit == 0; ++i) {
        if (g_Control.suspended == 0)
            RunFrame(logoSoundPlayed);
        plat::WinMsg msg;
        while (plat::P().PeekMessage(msg)) {
            if (msg.type == plat::MsgType::Activate)
                WindowProc(msg);
        }
    }
}

} // namespace fuzzgame
