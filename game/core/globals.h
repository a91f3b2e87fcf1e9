#pragma once
// The game's global objects and flags. All are defined in globals.cpp in
// their order of construction.
#include <cstdint>
#include <string>
#include <vector>

#include "control.h"
#include "graph.h"
#include "script/script.h"
#include "script/ui.h"
#include "sound.h"
#include "world/magic.h"
#include "world/map.h"
#include "world/monster.h"
#include "world/npc.h"
#include "world/role.h"

namespace plat {
class PlatformHolder;
}
extern plat::PlatformHolder g_PlatformHolder;

extern std::vector<std::string> g_DebugLines;
extern Graph g_Graph;
extern control g_Control;
extern sound g_Sound;
extern script g_Script;
extern map g_Map;
extern Role g_Role;
extern ui g_Ui;
extern std::vector<Npc> g_Npcs;
extern std::vector<Monster> g_Monsters;
extern std::vector<MagicKind> g_MagicKinds;
extern std::vector<Magic> g_Magics;

// 0 logo, 1 title, 2 start by loading a save, 3 in game.
extern int32_t g_GameState;
extern int32_t g_Quit;
extern int32_t g_Paused;
extern int32_t g_DialogOpen;
extern int32_t g_FullScreen;
extern int32_t g_FrameLimit;
extern int32_t g_SoftAlpha;
extern int32_t g_hWnd;
