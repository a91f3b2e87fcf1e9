#include "monster.h"

#include "core/alert.h"
#include "core/globals.h"
#include "platform/platform.h"

Monster::Monster()
{
    width = 64;
    height = 64;
}

Monster::~Monster() { Alert("~Monster"); }

void Monster::PaintMonster(int32_t, int32_t) {}

void Monster::BeHit(int32_t power) { plat::P().Trace("monster hit " + name + " " + std::to_string(power)); }

int32_t Monster::HitsNpc(int32_t dir) { return HitsActors(dir, g_Npcs, false); }

int32_t Monster::HitsMonster(int32_t dir) { return HitsActors(dir, g_Monsters, true); }

void RemoveMonster(size_t index)
{
    if (index >= g_Monsters.size())
        return;
    g_Monsters.erase(g_Monsters.begin() + static_cast<std::ptrdiff_t>(index));
    const int32_t i = static_cast<int32_t>(index);
    if (g_hitMonsterIndex == i)
        g_hitMonsterIndex = -1;
    else if (g_hitMonsterIndex > i)
        --g_hitMonsterIndex;
}
