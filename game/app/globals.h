#pragma once
// Everything the program holds: each floor's globals, declared beside their
// types, gathered for the code that drives the whole game (the main loop,
// the harness, tests and benchmarks).
#include "core/alert.h"
#include "core/control.h"
#include "core/game_state.h"
#include "core/graph.h"
#include "core/sound.h"
#include "script/script.h"
#include "script/ui.h"
#include "world/magic.h"
#include "world/map.h"
#include "world/monster.h"
#include "world/npc.h"
#include "world/role.h"
