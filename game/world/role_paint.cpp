// The role's sprite (walking or standing), regeneration while it stands,
// the level-up, the death sequence and the status panel.
#include <algorithm>

#include "core/alert.h"
#include "core/control.h"
#include "core/game_state.h"
#include "core/graph.h"
#include "core/sound.h"
#include "platform/gbk.h"
#include "magic.h"
#include "role.h"
#include "upcalls.h"

using plat::GBK;

namespace {

// The screen position of the viewport's top-left corner.
constexpr float kViewOrigin = 23;

// Cells of the role's picture by direction.
struct DirectionCells {
    int32_t direction;
    int32_t standing;
    int32_t firstWalking;
    int32_t slot; // walkCell entry and frame counter
    const char* walkFailure;
    const char* standFailure;
};

constexpr DirectionCells kCells[] = {
    {3, 0, 32, 1, "PaintRoleWalk right 失败!", "PaintRoleStatic right失败！"},
    {30, 4, 36, 5, "PaintRoleWalk up&right 失败!", "PaintRoleStatic up&right失败！"},
    {0, 8, 40, 2, "PaintRoleWalk up 失败!", "PaintRoleStatic up失败！"},
    {20, 12, 44, 4, "PaintRoleWalk up&left 失败!", "PaintRoleStatic up&left失败！"},
    {2, 16, 48, 0, "PaintRoleWalk left 失败!", "PaintRoleStatic left失败！"},
    {21, 20, 52, 6, "PaintRoleWalk down&left 失败!", "PaintRoleStatic down&left失败！"},
    {1, 24, 56, 3, "PaintRoleWalk down 失败!", "PaintRoleStatic down失败！"},
    {31, 28, 60, 7, "PaintRoleWalk down&right 失败!", "PaintRoleStatic down&right失败！"},
};

const DirectionCells* CellsOf(int32_t direction)
{
    for (const DirectionCells& c : kCells)
        if (c.direction == direction)
            return &c;
    return nullptr;
}

int32_t walkFrameCounter[8] = {};
int32_t regenTimerStart = 1; // the first regeneration waits a full interval
int32_t regenTimerArmed = 0;
int32_t levelUpTimerStart = 0;
int32_t levelUpTimerArmed = 0;
int32_t deathFirstFrame = 1;
int32_t deathLoopCount = 0;
int32_t deathFinalPhase = 0;
ANIMISTRUCT dyingAnimation;
ANIMISTRUCT deathAnimation;

constexpr uint32_t kRegenInterval = 1500;
constexpr uint32_t kLevelUpMarkTime = 3000;
constexpr uint32_t kWhite = 0x00FFFFFF;

constexpr int32_t kCellHeight = 48;

// Paints one cell of the role's picture at the role's place, showing only
// its upper `division` rows. A negative result is a failed paint.
int PaintRoleCell(const Role& r, int32_t index, int32_t stipple)
{
    Rect cell;
    if (!g_Graph.GetCell(PIC_ROLE, index, &cell)) {
        // A missing picture fails the paint; a cell beyond the sheet was
        // reported once by the lookup and is skipped.
        return g_Graph.getpicre(PIC_ROLE).surface ? 0 : -1;
    }
    // A division outside the cell would show a part of the cell below.
    cell.bottom = cell.top + std::clamp(r.division, 0, kCellHeight);
    g_Graph.getpicre(PIC_ROLE).rects[static_cast<size_t>(index)] = cell;
    return g_Graph.PaintPic(g_Graph.BUF, PIC_ROLE, cell, r.viewX + kViewOrigin, r.viewY + kViewOrigin, 1, r.alpha,
                            stipple);
}

} // namespace

// ---------------------------------------------------------------- sprite
void Role::PaintRoleWalk(int32_t walkingFlag, int32_t stipple)
{
    if (dead)
        return;
    if (levelUpShown == 1 && IntervalElapsed(&levelUpTimerStart, &levelUpTimerArmed, kLevelUpMarkTime)) {
        levelUpTimerStart = levelUpTimerArmed = 0;
        levelUpShown = 0;
    }
    if (walkingFlag == 0) {
        // A standing role turns toward a moving cursor.
        if (!Upcall<ScriptWatch>::Get().ScriptRunning() && g_Control.cursorMoved == 1)
            direction = FaceMouse();
        PaintRoleStatic(1);
        return;
    }
    g_Sound.PlayWave(footstepWave);
    const DirectionCells* c = CellsOf(direction);
    if (!c)
        return;
    int32_t& counter = walkFrameCounter[c->slot];
    int32_t& cell = walkCell[c->slot];
    ++counter;
    // While the world is paused the counter runs on but the cell stays.
    if (g_Paused == 0) {
        if (counter >= animSpeed) {
            ++cell;
            counter = 0;
        }
        if (cell > 3)
            cell = 0;
    }
    if (cell < 0 || cell > 3)
        cell = 0;
    if (PaintRoleCell(*this, c->firstWalking + cell, stipple) < 0)
        Alert(GBK(c->walkFailure));
}

void Role::PaintRoleStatic(int32_t stipple)
{
    mouseMoved = 0;
    keyMoved = 0;
    if (IntervalElapsed(&regenTimerStart, &regenTimerArmed, kRegenInterval)) {
        if (regen == 1) {
            if (maxHp > hp)
                hp += 1;
            if (maxMp > mp)
                mp += 1;
        }
        regenTimerArmed = 0;
    }
    const DirectionCells* c = CellsOf(direction);
    if (!c)
        return;
    if (PaintRoleCell(*this, c->standing, stipple) < 0)
        Alert(GBK(c->standFailure));
}

// ---------------------------------------------------------------- level-up
void Role::LevelUp()
{
    level += 1;
    nextExp *= 2.2f;
    maxHp *= 1.3f;
    hp = maxHp;
    maxMp *= 1.3f;
    mp = maxMp;
    attack *= 1.3f;
    defence *= 1.3f;
    g_Sound.PlayWave("levelup");
    Upcall<StatusFrames>::Get().OpenFrame("levelup_frame");
    levelUpShown = 1;
}

// ---------------------------------------------------------------- death
void Role::CheckDead(int32_t times, int32_t ms)
{
    if (hp > 0 && dead == 0) {
        deathFirstFrame = 1;
        return;
    }
    g_Control.SetInputEnabled(0);
    if (deathFirstFrame == 1) {
        dyingAnimation.Reset();
        deathAnimation.Reset();
        deathLoopCount = 0;
        deathFinalPhase = 0;
        mp = 0;
        hp = 0;
        Upcall<ActorNotices>::Get().RoleDied();
        g_Sound.PlayWave("roledie");
        g_Sound.PlayMidi("roledie");
        deathFirstFrame = 0;
    }
    const float px = viewX + kViewOrigin, py = viewY + kViewOrigin;
    if (deathFinalPhase == 0) {
        if (g_Graph.PaintAnimiEx(g_Graph.BUF, PIC_DEADROLE, px, py, 1, alpha, 0, dyingAnimation, 0, 3, ms) == 1) {
            ++deathLoopCount;
            // At least one run is played whatever the count asked for.
            if (deathLoopCount >= times) {
                dyingAnimation.finished = 1;
                deathFinalPhase = 1;
            }
        }
        return;
    }
    if (g_Graph.PaintAnimiEx(g_Graph.BUF, PIC_DEADROLE, px, py, 1, alpha, 0, deathAnimation, 4, -1, ms) == 1) {
        Upcall<StatusFrames>::Get().OpenFrame("dead_frame");
        deathAnimation.stopped = 1;
        g_Graph.blackMode = 1;
        g_Graph.blackAlpha = 16;
    }
}

// ---------------------------------------------------------------- status panel
void Role::PaintState()
{
    const std::string levelText = "Lv:" + IntToStr(level);
    const std::string attackText = "Str:" + IntToStr(TruncToInt(attack));
    const std::string defenceText = "Def:" + IntToStr(TruncToInt(defence));
    StatusFrames& frames = Upcall<StatusFrames>::Get();
    const std::string top = frames.TopFrame();
    if (top.empty())
        return;
    // The chosen magic by its name, so the player sees what Ctrl will cast;
    // empty while none is chosen or the list lacks the kind.
    const MagicKind* chosen = MagicKindAt(magicKind);
    const std::string chosenName = chosen ? chosen->name : std::string();
    // The panel under the map follows the role also while other frames lie
    // over it (a LOAD or a book chosen with the menu still open); the
    // corner texts show only while play itself is on top.
    const std::string panel = "main_frame";
    auto setText = [&](const char* element, const std::string& text) { frames.SetTextIn(panel, element, text); };
    setText("role_hpnum", IntToStr(TruncToInt(hp)));
    setText("role_mpnum", IntToStr(TruncToInt(mp)));
    // The bars are scaled from their loaded width; 1 pixel when empty.
    // A maximum of 0 or less (a script may set one) shows the full bar
    // instead of an endless one.
    auto bar = [&](const char* element, float value, float maxValue) {
        const float base = static_cast<float>(frames.ImageBaseSizeIn(panel, element, 0));
        const float w = value <= 0 ? 1 : maxValue > 0 ? base * (value / maxValue) : base;
        frames.SetImageSizeIn(panel, element, TruncToInt(w), frames.ImageBaseSizeIn(panel, element, 1));
    };
    bar("role_hp", hp, maxHp);
    bar("role_mp", mp, maxMp);
    setText("role_expnum", IntToStr(TruncToInt(exp)));
    setText("role_goldnum", IntToStr(TruncToInt(gold)));
    setText("role_magicname", chosenName);
    if (top == panel) {
        g_Graph.PaintText(g_Graph.BUF, levelText, 33, 33, kWhite);
        g_Graph.PaintText(g_Graph.BUF, attackText, 33, 53, kWhite);
        g_Graph.PaintText(g_Graph.BUF, defenceText, 33, 73, kWhite);
    }
    if (top == "state_frame") {
        frames.SetText("state_name", name);
        frames.SetText("state_level", IntToStr(level));
        frames.SetText("state_hp", IntToStr(TruncToInt(hp)));
        frames.SetText("state_mp", IntToStr(TruncToInt(mp)));
        frames.SetText("state_str", IntToStr(TruncToInt(attack)));
        frames.SetText("state_def", IntToStr(TruncToInt(defence)));
        frames.SetText("state_exp", IntToStr(TruncToInt(exp)));
        frames.SetText("state_nextexp", IntToStr(TruncToInt(nextExp)));
        frames.SetText("state_magic", IntToStr(magicKind));
        frames.SetText("state_gold", IntToStr(TruncToInt(gold)));
        frames.SetText("state_magicname", chosenName);
        // Carried items show their pictures; none is hidden here.
        for (const std::string& item : items) {
            if (item.empty())
                continue;
            frames.ShowTopImage(item);
        }
    }
}
