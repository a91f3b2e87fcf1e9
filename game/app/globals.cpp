// The global objects, in the one order in which they must be constructed
// (and, reversed, destroyed). The platform holder comes first so that it is
// destroyed last: the destructors below still release platform objects.
#include "globals.h"

#include "platform/platform.h"
#include "upcalls.h"
#include "winmain.h"

plat::PlatformHolder g_PlatformHolder;

std::vector<std::string> g_DebugLines;
Graph g_Graph;
control g_Control;
sound g_Sound;
script g_Script;
map g_Map;
Role g_Role;
ui g_Ui;
std::vector<Npc> g_Npcs;
std::vector<Monster> g_Monsters;
std::vector<MagicKind> g_MagicKinds;
std::vector<Magic> g_Magics;

int32_t g_GameState = 0;
int32_t g_Quit = 0;
int32_t g_Paused = 0;
int32_t g_DialogOpen = 0;
int32_t g_FullScreen = 0;
int32_t g_FrameLimit = 0;
int32_t g_SoftAlpha = 1;
int32_t g_hWnd = 0;
int32_t g_LastResult = 0;
uint32_t g_KeyColour = 0x001F;

// The lower floors call upward from the first frame on; the objects they
// reach are all made above.
[[maybe_unused]] static const bool g_upcallsInstalled = (InstallUpcalls(), true);
