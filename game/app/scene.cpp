// Scene composition: the in-game frame, the title screen and the open UI
// frames, each painted onto BUF in its fixed order.
#include "scene.h"

#include <algorithm>
#include <cstdint>

#include "core/alert.h"
#include "globals.h"
#include "platform/gbk.h"

using plat::GBK;

namespace scene {
namespace {

Parts g_gameParts;
Parts* g_parts = &g_gameParts;

} // namespace

plat::Point Camera()
{
    return plat::Point{TruncToInt(g_Role.x - g_Role.viewX), TruncToInt(g_Role.y - g_Role.viewY)};
}

Parts& CurrentParts() { return *g_parts; }

void UseParts(Parts* parts) { g_parts = parts ? parts : &g_gameParts; }

int Parts::PaintLayer(int32_t layer, const plat::Rect& window, float x, float y)
{
    return g_Map.PaintLayer(g_Graph.BUF, layer, window, x, y);
}

void Parts::PaintNpc(size_t index, int32_t pass, int32_t stipple) { g_Npcs[index].PaintAnpc(pass, stipple); }

void Parts::PaintMonster(size_t index, int32_t pass, int32_t stipple)
{
    g_Monsters[index].PaintMonster(pass, stipple);
}

void Parts::PaintRoleWalk(int32_t walkingFlag, int32_t stipple) { g_Role.PaintRoleWalk(walkingFlag, stipple); }

void Parts::CheckDead(int32_t times, int32_t ms) { g_Role.CheckDead(times, ms); }

void Parts::PaintMagic(size_t index, int32_t alpha, int32_t stipple) { g_Magics[index].PaintMagic(alpha, stipple); }

int32_t Parts::FindHitMonster(size_t magicIndex) { return g_Magics[magicIndex].FindHitMonster(); }

int32_t Parts::DamageMonster(size_t magicIndex, int32_t monsterIndex)
{
    return g_Magics[magicIndex].DamageMonster(monsterIndex);
}

void Parts::PaintUiFrame(const std::string& frameName) { g_Ui.Paint(frameName); }

void Parts::PaintUiLayer(size_t frameIndex, int32_t layer) { g_Ui.PaintLayer(g_Graph.BUF, g_Ui.frames[frameIndex], layer); }

void Parts::PaintState() { g_Role.PaintState(); }

void Parts::SetLocalVar(const std::string& type, const std::string& name, int32_t value)
{
    g_Script.SetLocalVar(type, name, value);
}

void PaintLayToBuffer()
{
    Parts& parts = CurrentParts();
    const plat::Point cam = Camera();
    // A camera far off the map (a role placed at an absurd position) must not
    // overflow the window's far edges.
    auto farEdge = [](int32_t from, int32_t size) {
        return static_cast<int32_t>(std::min<int64_t>(int64_t(from) + size, INT32_MAX));
    };
    const plat::Rect window{cam.x, cam.y, farEdge(cam.x, scene::kViewWidth), farEdge(cam.y, scene::kViewHeight)};
    const float vx = static_cast<float>(scene::kViewLeft), vy = static_cast<float>(scene::kViewTop);

    // What the map does not cover shows black, never what an earlier frame
    // or map left there; where the ground covers the whole view there is
    // nothing to blacken.
    const bool groundCovers = &parts == &g_gameParts && g_Map.LayerCovers(0, window);
    if (!groundCovers)
        plat::FillRect(g_Graph.BUF,
                       plat::Rect{scene::kViewLeft, scene::kViewTop, scene::kViewLeft + scene::kViewWidth,
                                  scene::kViewTop + scene::kViewHeight},
                       0);

    if (g_Map.loaded)
        for (int32_t layer = 0; layer < 4; ++layer)
            if (parts.PaintLayer(layer, window, vx, vy) < 0)
                Alert(GBK("PaintLayToBuffer 前4层Lay 失败！"));

    for (size_t i = 0; i < g_Npcs.size(); ++i)
        parts.PaintNpc(i, 0, 1);
    for (size_t i = 0; i < g_Monsters.size(); ++i)
        parts.PaintMonster(i, 0, 1);
    if (g_Role.dead == 0)
        parts.PaintRoleWalk(g_Role.walking, 1);
    parts.CheckDead(3, 100);

    // The second passes remove at most one dead actor each per frame; the
    // actors after it get their upper body again the next frame.
    for (size_t i = 0; i < g_Npcs.size(); ++i) {
        parts.PaintNpc(i, 1, 1);
        if (i < g_Npcs.size() && g_Npcs[i].id < 0) {
            parts.SetLocalVar("int", g_Npcs[i].name + "_dead", 1);
            RemoveNpc(i);
            break;
        }
    }
    for (size_t i = 0; i < g_Monsters.size(); ++i) {
        parts.PaintMonster(i, 1, 1);
        if (i < g_Monsters.size() && g_Monsters[i].id < 0) {
            parts.SetLocalVar("int", g_Monsters[i].name + "_dead", 1);
            RemoveMonster(i);
            break;
        }
    }

    // Every effect is visited once: after a removal the next one has moved
    // into the same place.
    for (size_t i = 0; i < g_Magics.size();) {
        parts.PaintMagic(i, 16, 1);
        if (i >= g_Magics.size())
            break;
        if (g_Magics[i].dead != 0) {
            g_Magics.erase(g_Magics.begin() + static_cast<std::ptrdiff_t>(i));
            continue;
        }
        const int32_t hit = parts.FindHitMonster(i);
        if (parts.DamageMonster(i, hit) != 0 && i < g_Magics.size()) {
            g_Magics.erase(g_Magics.begin() + static_cast<std::ptrdiff_t>(i));
            continue;
        }
        ++i;
    }

    if (g_Map.loaded)
        for (int32_t layer = 4; layer < 7; ++layer)
            if (parts.PaintLayer(layer, window, vx, vy) < 0)
                Alert(GBK("PaintLayToBuffer 后3层Lay 失败！"));

    parts.PaintUiFrame("main_frame");
    parts.PaintState();
}

void PaintTitle() { CurrentParts().PaintUiFrame("title_frame"); }

void PaintUIFrames()
{
    Parts& parts = CurrentParts();
    for (int32_t layer = 1; layer <= 9; ++layer)
        for (size_t f = 0; f < g_Ui.frames.size(); ++f)
            parts.PaintUiLayer(f, layer);
}

} // namespace scene
