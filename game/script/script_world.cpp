// World commands: the record lines, the change of map, placing actors,
// walks, walking modes, removals and items.
#include <cstring>

#include "core/sound.h"
#include "script.h"
#include "world/magic.h"
#include "world/map.h"
#include "world/monster.h"
#include "world/npc.h"
#include "world/role.h"

namespace {

// The first actor of the list with exactly that name, or nullptr.
template <class List>
auto* FirstNamed(List& list, const std::string& name)
{
    for (auto& a : list)
        if (a.name == name)
            return &a;
    return static_cast<typename List::value_type*>(nullptr);
}

// Puts the middle of the actor's width and of its box's height at (px, py).
void PlaceActor(People& a, float px, float py)
{
    a.x = px - static_cast<float>(a.width / 2);
    a.y = py - static_cast<float>((a.boxBottom - a.boxTop) / 2) - static_cast<float>(a.boxTop);
}

// Sends the actor on a path walk to the cell under (px, py). A point off
// the map leaves the actor as it was.
void WalkTo(People& a, int32_t px, int32_t py)
{
    const int32_t goal = a.GetTileIndex(px, py);
    if (goal < 0)
        return;
    a.goalTile = goal;
    a.aiMode = 1;
    a.active = 1;
}

void SetMode(People& a, const std::string& mode)
{
    if (mode == "random")
        a.aiMode = 0;
    else if (mode == "astar")
        a.aiMode = 1;
    else if (mode == "chase")
        a.aiMode = 2;
    else if (mode == "stop")
        a.aiMode = 3;
    a.active = 1;
}

} // namespace

void script::SetNpcPos()
{
    const std::string name = ArgQuoted();
    const float px = StrToFloat(ArgAfterQuoted(','));
    const float py = StrToFloat(ArgUpTo(')'));
    if (Npc* n = FirstNamed(g_Npcs, name))
        PlaceActor(*n, px, py);
    SkipLine(file);
}

void script::SetMonsterPos()
{
    const std::string name = ArgQuoted();
    const float px = StrToFloat(ArgAfterQuoted(','));
    const float py = StrToFloat(ArgUpTo(')'));
    if (Monster* m = FirstNamed(g_Monsters, name))
        PlaceActor(*m, px + 16, py + 16);
    SkipLine(file);
}

void script::AddItem()
{
    if (g_Role.itemCount >= 0 && g_Role.itemCount < Role::kItemSlots) {
        g_Sound.PlayWave("getitem");
        g_Role.items[g_Role.itemCount] = ArgQuoted();
        ++g_Role.itemCount;
    }
    SkipLine(file);
}

void script::KillNpc()
{
    if (Npc* n = FirstNamed(g_Npcs, ArgQuoted()))
        n->id = -1;
    SkipLine(file);
}

void script::KillMonster()
{
    if (Monster* m = FirstNamed(g_Monsters, ArgQuoted()))
        m->id = -1;
    SkipLine(file);
}

void script::SetWalkMode()
{
    const std::string kind = ArgUpTo(',');
    const std::string name = ArgQuoted();
    const std::string mode = ArgAfterQuoted(')');
    if (kind == "npc")
        if (Npc* n = FirstNamed(g_Npcs, name))
            SetMode(*n, mode);
    if (kind == "monster")
        if (Monster* m = FirstNamed(g_Monsters, name))
            SetMode(*m, mode);
    SkipLine(file);
}

void script::MoveNpcTo()
{
    const std::string name = ArgQuoted();
    const int32_t px = StrToInt(ArgAfterQuoted(','));
    const int32_t py = StrToInt(ArgUpTo(')'));
    if (Npc* n = FirstNamed(g_Npcs, name))
        WalkTo(*n, px, py);
    SkipLine(file);
}

void script::MoveMonsterTo()
{
    const std::string name = ArgQuoted();
    const int32_t px = StrToInt(ArgAfterQuoted(','));
    const int32_t py = StrToInt(ArgUpTo(')'));
    if (Monster* m = FirstNamed(g_Monsters, name))
        WalkTo(*m, px, py);
    SkipLine(file);
}

void script::ChangeMap()
{
    const std::string name = ArgQuoted();
    g_Map.ChangeMap(name);
    SkipLine(file);
}

void script::SetMePos()
{
    const float px = StrToFloat(ArgUpTo(','));
    const float py = StrToFloat(ArgUpTo(')'));
    PlaceActor(g_Role, px, py);
    g_Role.viewX = g_Role.x <= 296.5f ? g_Role.x : 296.5f;
    g_Role.viewY = g_Role.y <= 160.5f ? g_Role.y : 160.5f;
    SkipLine(file);
}

void script::AddToMagicList()
{
    MagicKind::ReadFromScript(file);
    SkipLine(file);
}

void script::AddRole()
{
    g_Role.ReadFromScript(file);
    SkipLine(file);
}

void script::AddNpc()
{
    Npc::ReadFromScript(file);
    SkipLine(file);
}

void script::AddMonster()
{
    Monster::ReadFromScript(file);
    SkipLine(file);
}
