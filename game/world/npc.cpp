#include "npc.h"

#include "core/alert.h"
#include "core/globals.h"

int32_t g_TalkNpcIndex = -1;

Npc::Npc()
{
    width = 32;
    height = 48;
}

Npc::~Npc() { Alert("~Npc"); }

void Npc::PaintAnpc(int32_t, int32_t) {}

int32_t Npc::HitsNpc(int32_t dir) { return HitsActors(dir, g_Npcs, true); }

int32_t Npc::HitsMonster(int32_t dir) { return HitsActors(dir, g_Monsters, false); }
