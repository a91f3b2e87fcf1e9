#pragma once
// The program's state flags, read and set on every floor (defined with the
// other globals).
#include <cstdint>

// 0 logo, 1 title, 2 start by loading a save, 3 in game.
extern int32_t g_GameState;
// Set once the game is to end; the main loop leaves at its next pass.
extern int32_t g_Quit;
// The world stands still (a frame or a talk holds it).
extern int32_t g_Paused;
// A talk's dialogue frame is up.
extern int32_t g_DialogOpen;
