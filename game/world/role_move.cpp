// The role's movement under the keyboard and the mouse, the scrolling of the
// map, sidesteps along walls, and the contacts with NPCs, monsters and tile
// events on the way.
#include <cmath>

#include "core/alert.h"
#include "core/control.h"
#include "core/game_state.h"
#include "map.h"
#include "monster.h"
#include "npc.h"
#include "role.h"
#include "upcalls.h"

namespace {

// The walk direction (-1 none) and sidestep flag of each input device; they
// persist between frames.
int32_t keyWalkDirection = -1;
int32_t keySidestepping = 0;
int32_t mouseWalkDirection = -1;
int32_t mouseSidestepping = 0;

// One melee timer for all monsters: the role hits at most once per 200 ms.
int32_t meleeTimerStart = 0;
int32_t meleeTimerArmed = 0;
constexpr uint32_t kMeleeInterval = 200;

constexpr float kHalfViewWidth = 593.0f / 2;
constexpr float kHalfViewHeight = 321.0f / 2;
constexpr float kViewWidth = 593;
constexpr float kViewHeight = 321;

bool IsMovementKey(GameKey key) { return key >= gamekey::kW && key <= gamekey::kCtrlSD; }

int32_t KeyDirection(GameKey key)
{
    static constexpr int32_t kDirs[8] = {0, 1, 2, 3, 20, 21, 30, 31};
    return kDirs[(key - 1) % 8];
}

// The game key that walks a straight direction.
GameKey KeyOf(int32_t straight)
{
    switch (straight) {
    case 0:
        return gamekey::kW;
    case 1:
        return gamekey::kS;
    case 2:
        return gamekey::kA;
    default:
        return gamekey::kD;
    }
}

bool IsStraight(int32_t d) { return d >= 0 && d <= 3; }
bool IsDiagonal(int32_t d) { return d == 20 || d == 21 || d == 30 || d == 31; }

// The way a blocked straight step turns aside.
int32_t SideOf(int32_t straight)
{
    static constexpr int32_t kSide[4] = {2, 3, 0, 1};
    return kSide[straight];
}

// While sidestepping in a straight direction, the direction whose freedom
// ends the sidestep.
int32_t EndTestOf(int32_t straight)
{
    static constexpr int32_t kEnd[4] = {2, 3, 1, 0};
    return kEnd[straight];
}

} // namespace

// ---------------------------------------------------------------- devices
void Role::KeyMove(GameKey key)
{
    walking = 0;
    if (g_Paused || active == 0)
        return;
    if (key == gamekey::kNone) {
        keyWalkDirection = -1;
        keySidestepping = 0;
        return;
    }
    const bool movement = IsMovementKey(key);
    if (!movement)
        keySidestepping = 0;
    if (autoSidestep == 0)
        keySidestepping = 0;
    // A held key does not turn a sidestep under way.
    if (keySidestepping == 0 && movement)
        keyWalkDirection = KeyDirection(key);
    if (g_Control.keyMoveOn == 0 || !movement)
        return;
    keyMoved = 1;
    TakeStep(keyWalkDirection, Walker{&keyWalkDirection, &keySidestepping, true, {}});
}

void Role::MouseMove(MouseInfo info)
{
    if (g_Paused || active == 0)
        return;
    if (info.button == 'N') {
        mouseWalkDirection = -1;
        mouseSidestepping = 0;
        return;
    }
    walking = 0;
    if (autoSidestep == 0)
        mouseSidestepping = 0;
    if (mouseSidestepping == 0)
        mouseWalkDirection = FaceMouse();
    if (info.button == 'r' && g_Control.keyHit == 1)
        walking = 1;
    if ((info.button != 'l' && info.button != 'a') || g_Control.mouseActionOn == 0)
        return;
    mouseMoved = 1;
    TakeStep(mouseWalkDirection, Walker{&mouseWalkDirection, &mouseSidestepping, false, info});
}

void Role::CheatKey(GameKey key)
{
    using namespace gamekey;
    if (key == kLCtrlUp) {
        hp = maxHp;
        mp = maxMp;
    }
    if (key == kLCtrlDown)
        gold = 99999;
    if (key == kLCtrlLeft) {
        if (attack - 1 >= 1)
            attack -= 1;
        if (defence - 1 >= 1)
            defence -= 1;
    }
    if (key == kLCtrlRight) {
        if (attack < 200)
            attack += 1;
        if (defence < 200)
            defence += 1;
    }
}

void Role::SelectMagic(GameKey key)
{
    if (key >= gamekey::kDigit1 && key <= gamekey::kDigit0)
        magicKind = key - gamekey::kDigit1;
}

// ---------------------------------------------------------------- the step
void Role::Sidestep(int32_t side, Walker w)
{
    if (w.keyboard) {
        KeyMove(KeyOf(side));
        return;
    }
    // A straight sidestep keeps its direction through the device's flag, so
    // the mouse step can simply be taken again. A diagonal one does not set
    // the flag: asking the cursor again would give the same blocked diagonal
    // forever, so the side step is taken directly.
    if (*w.sidestepping == 1) {
        MouseMove(w.info);
        return;
    }
    walking = 0;
    mouseMoved = 1;
    TakeStep(side, w);
}

void Role::TakeStep(int32_t d, Walker w)
{
    if (!IsStraight(d) && !IsDiagonal(d))
        return;
    direction = d;
    // The walking animation and footsteps run even when the step is refused.
    walking = 1;

    const float camX = x - viewX;
    const float camY = y - viewY;
    const bool roomUp = viewY <= kHalfViewHeight && speed <= camY;
    const bool roomDown = viewY >= kHalfViewHeight && camY <= g_MapPixelHeight - kViewHeight - speed;
    const bool roomLeft = viewX <= kHalfViewWidth && speed <= camX;
    const bool roomRight = viewX >= kHalfViewWidth && camX <= g_MapPixelWidth - kViewWidth - speed;
    auto straight = [&](int32_t* flag, bool scrolls) {
        *flag = scrolls ? 1 : 0;
        step = scrolls ? 0 : speed;
    };
    auto diagonal = [&](int32_t* flagV, int32_t* flagH, bool scrolls) { *flagV = *flagH = scrolls ? 1 : 0; };
    switch (d) {
    case 0:
        straight(&scrolledUp, roomUp);
        break;
    case 1:
        straight(&scrolledDown, roomDown);
        break;
    case 2:
        straight(&scrolledLeft, roomLeft);
        break;
    case 3:
        straight(&scrolledRight, roomRight);
        break;
    case 20:
        diagonal(&scrolledUp, &scrolledLeft, roomUp || roomLeft);
        break;
    case 21:
        diagonal(&scrolledDown, &scrolledLeft, roomDown || roomLeft);
        break;
    case 30:
        diagonal(&scrolledUp, &scrolledRight, roomUp || roomRight);
        break;
    default:
        diagonal(&scrolledDown, &scrolledRight, roomRight || roomDown);
        break;
    }

    if (TalkToNpc(d) == 1 || AttackMonster(d) == 1)
        return;
    // The tile's event starts whether or not the step then succeeds.
    const std::string event = GetTileEvent(d);
    if (event != "N")
        Upcall<ScriptOpener>::Get().OpenScript(event);

    if (IsDiagonal(d)) {
        const bool noLeft = camX - speed < 0;
        const bool noRight = g_MapPixelWidth < camX + speed + kViewWidth;
        const bool noUp = camY - speed < 0;
        const bool noDown = g_MapPixelHeight < camY + speed + kViewHeight;
        if ((d == 20 || d == 21) && noLeft)
            scrolledLeft = 0;
        if ((d == 30 || d == 31) && noRight)
            scrolledRight = 0;
        if ((d == 20 || d == 30) && noUp)
            scrolledUp = 0;
        if ((d == 21 || d == 31) && noDown)
            scrolledDown = 0;
    }

    if (Blocked(d) == 0) {
        switch (d) {
        case 0:
            viewY -= step;
            y -= speed;
            break;
        case 1:
            viewY += step;
            y += speed;
            break;
        case 2:
            viewX -= step;
            x -= speed;
            break;
        case 3:
            viewX += step;
            x += speed;
            break;
        default: {
            const float dx = (d == 20 || d == 21) ? -speed : speed;
            const float dy = (d == 20 || d == 30) ? -speed : speed;
            x += dx;
            y += dy;
            // The view moves on each axis whose map does not scroll.
            if ((dx < 0 ? scrolledLeft : scrolledRight) == 0)
                viewX += dx;
            if ((dy < 0 ? scrolledUp : scrolledDown) == 0)
                viewY += dy;
            break;
        }
        }
        if (IsStraight(d)) {
            if (*w.sidestepping == 1) {
                if (Blocked(EndTestOf(d)) == 0) {
                    *w.walkDirection = -1;
                    *w.sidestepping = 0;
                }
            } else {
                *w.walkDirection = -1;
            }
        }
        return;
    }

    if (autoSidestep == 0)
        return;
    if (IsStraight(d)) {
        if (*w.sidestepping == 1) {
            // A sidestep that is blocked itself gives up.
            *w.walkDirection = -1;
            *w.sidestepping = 0;
            return;
        }
        if (GetTileEvent(d) != "N")
            return;
        *w.walkDirection = SideOf(d);
        *w.sidestepping = 1;
        Sidestep(SideOf(d), w);
        return;
    }
    const int32_t horizontal = (d == 20 || d == 21) ? 2 : 3;
    const int32_t vertical = (d == 20 || d == 30) ? 0 : 1;
    if (Blocked(horizontal) == 0 && GetTileEvent(d) == "N")
        Sidestep(horizontal, w);
    else if (Blocked(vertical) == 0 && GetTileEvent(d) == "N")
        Sidestep(vertical, w);
}

// ---------------------------------------------------------------- probes
int Role::ProbePoints(int32_t d, int32_t px[2], int32_t py[2]) const
{
    const float m = static_cast<float>(margin);
    const float left = x + static_cast<float>(boxLeft) - m - step;
    const float right = x + static_cast<float>(boxRight) + m + step;
    const float top = y + static_cast<float>(boxTop) - m - step;
    const float bottom = y + static_cast<float>(boxBottom) + m + step;
    const float boxL = x + static_cast<float>(boxLeft), boxR = x + static_cast<float>(boxRight);
    const float boxT = y + static_cast<float>(boxTop), boxB = y + static_cast<float>(boxBottom);
    auto set = [&](int i, float fx, float fy) {
        px[i] = TruncToInt(fx);
        py[i] = TruncToInt(fy);
    };
    switch (d) {
    case 0:
        set(0, boxL, top), set(1, boxR, top);
        return 2;
    case 1:
        set(0, boxL, bottom), set(1, boxR, bottom);
        return 2;
    case 2:
        set(0, left, boxT), set(1, left, boxB);
        return 2;
    case 3:
        set(0, right, boxT), set(1, right, boxB);
        return 2;
    case 20:
        set(0, left, top);
        return 1;
    case 21:
        set(0, left, bottom);
        return 1;
    case 30:
        set(0, right, top);
        return 1;
    case 31:
        set(0, right, bottom);
        return 1;
    default:
        return 0;
    }
}

int32_t Role::Blocked(int32_t d)
{
    int32_t px[2], py[2];
    const int n = ProbePoints(d, px, py);
    for (int i = 0; i < n; ++i) {
        // The map's edge stops the role as an obstacle would.
        if (!map::OnMap(px[i], py[i]))
            return 1;
        if (g_Map.GroundTile(g_Map.GetTileIndex(px[i], py[i])).obstacle == 1)
            return 1;
    }
    return 0;
}

std::string Role::GetTileEvent(int32_t d)
{
    int32_t px[2], py[2];
    const int n = ProbePoints(d, px, py);
    for (int i = 0; i < n; ++i) {
        // Beyond the map's edge there is no cell, and so no event.
        if (!map::OnMap(px[i], py[i]))
            continue;
        const std::string& e = g_Map.GroundTile(g_Map.GetTileIndex(px[i], py[i])).event;
        if (e != "N")
            return e;
    }
    return "N";
}

namespace {
// The strip or point just ahead of the box at distance step; `leftEdge` is
// where the probes toward the left start.
bool ContactProbe(const Role& r, int32_t d, float leftEdge, RectF* probe)
{
    const float s = r.step;
    const float top = r.y + static_cast<float>(r.boxTop), bottom = r.y + static_cast<float>(r.boxBottom);
    const float left = r.x + static_cast<float>(r.boxLeft), right = r.x + static_cast<float>(r.boxRight);
    switch (d) {
    case 0:
        *probe = {left, top - s, right, top - s};
        return true;
    case 1:
        *probe = {left, bottom + s, right, bottom + s};
        return true;
    case 2:
        *probe = {leftEdge - s, top, leftEdge - s, bottom};
        return true;
    case 3:
        *probe = {right + s, top, right + s, bottom};
        return true;
    case 20:
        *probe = {leftEdge - s, top - s, leftEdge - s, top - s};
        return true;
    case 21:
        *probe = {leftEdge - s, bottom + s, leftEdge - s, bottom + s};
        return true;
    case 30:
        *probe = {right + s, top - s, right + s, top - s};
        return true;
    case 31:
        *probe = {right + s, bottom + s, right + s, bottom + s};
        return true;
    default:
        return false;
    }
}

RectF BoxOf(const People& p)
{
    return RectF{p.x + static_cast<float>(p.boxLeft), p.y + static_cast<float>(p.boxTop),
                 p.x + static_cast<float>(p.boxRight), p.y + static_cast<float>(p.boxBottom)};
}
} // namespace

int32_t Role::TalkToNpc(int32_t d)
{
    RectF probe;
    if (!ContactProbe(*this, d, x, &probe))
        return 0;
    for (size_t i = 0; i < g_Npcs.size(); ++i) {
        Npc& n = g_Npcs[i];
        if (!RectOverlap(probe, BoxOf(n)))
            continue;
        if (n.script != "NULL") {
            n.People::FaceRole();
            n.active = 0;
            n.FaceRole();
            g_TalkNpcIndex = static_cast<int32_t>(i);
            const std::string name = n.script;
            Upcall<ScriptOpener>::Get().OpenScript(name);
        }
        // An NPC always blocks the way.
        return 1;
    }
    return 0;
}

int32_t Role::AttackMonster(int32_t d)
{
    RectF probe;
    if (!ContactProbe(*this, d, x + static_cast<float>(boxLeft), &probe))
        return 0;
    for (size_t i = 0; i < g_Monsters.size(); ++i) {
        Monster& m = g_Monsters[i];
        if (!RectOverlap(probe, BoxOf(m)))
            continue;
        // A dead or dying monster does not block, nor does anything behind it.
        if (m.dead)
            return 0;
        if (m.modeAfterAstar >= 1)
            m.aiMode = 2;
        if (IntervalElapsed(&meleeTimerStart, &meleeTimerArmed, kMeleeInterval)) {
            m.BeHit(mouseMoved == 1 && keyMoved == 1 ? TruncToInt(attack / 5) : 0);
            meleeTimerArmed = 0;
        }
        if (m.script != "NULL") {
            m.People::FaceRole();
            g_hitMonsterIndex = static_cast<int32_t>(i);
            const std::string name = m.script;
            Upcall<ScriptOpener>::Get().OpenScript(name);
        }
        return 1;
    }
    return 0;
}

// ---------------------------------------------------------------- facing
int32_t Role::FaceMouse()
{
    if (g_Paused)
        return 0;
    const int32_t cx = TruncToInt(viewX + 16);
    const int32_t cy = TruncToInt(viewY + 24);
    const int32_t mx = g_Control.cursorX;
    const int32_t my = g_Control.cursorY;
    if (cy == my)
        return mx < cx ? 2 : 3;
    const float g = static_cast<float>(std::atan(static_cast<double>(cx - mx) / static_cast<double>(cy - my))) *
                    57.296f;
    const bool diagUp = g > 22.5f && g < 67.5f;
    const bool diagDown = g > -67.5f && g < -22.5f;
    if (diagUp && my < cy)
        return 20;
    if (diagDown && mx < cx)
        return 21;
    if (diagDown && mx > cx)
        return 30;
    if (diagUp && my > cy)
        return 31;
    if (g >= -22.5f && g <= 22.5f)
        return my < cy ? 0 : 1;
    if ((g > -90 && g <= -67.5f) || (g >= 67.5f && g < 90)) {
        if (mx < cx)
            return 2;
        if (mx > cx)
            return 3;
    }
    return 0;
}
