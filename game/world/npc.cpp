#include "npc.h"

#include "core/alert.h"
#include "core/globals.h"

Npc::Npc()
{
    width = 32;
    height = 48;
}

Npc::~Npc() { Alert("~Npc"); }

void Npc::PaintAnpc(int32_t, int32_t) {}

void Npc::FaceRole() {}

int32_t Npc::HitsNpc(int32_t dir) { return HitsActors(dir, g_Npcs, true); }

int32_t Npc::HitsMonster(int32_t dir) { return HitsActors(dir, g_Monsters, false); }

void RemoveNpc(size_t index)
{
    if (index >= g_Npcs.size())
        return;
    g_Npcs.erase(g_Npcs.begin() + static_cast<std::ptrdiff_t>(index));
    const int32_t i = static_cast<int32_t>(index);
    if (g_TalkNpcIndex == i)
        g_TalkNpcIndex = -1;
    else if (g_TalkNpcIndex > i)
        --g_TalkNpcIndex;
}
