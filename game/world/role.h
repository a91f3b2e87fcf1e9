#pragma once
#include <cstdint>
#include <cstdio>
#include <string>

#include "core/control.h"
#include "object.h"

// The player character.
class Role : public People {
public:
    Role();
    ~Role();
    Role(const Role&) = default;
    Role& operator=(const Role&) = default;

    // Reads the 21 values of an "AddRole(" line from the script file, which
    // stands just after "AddRole(". Reads within the line only and leaves the
    // position before its line end. With fewer than 21 values the statement
    // is reported and no field changes; 0 then, else 1.
    int32_t ReadFromScript(FILE* f);

    // The save record. Load reads the whole record or changes nothing and
    // returns false.
    void Save(FILE* f);
    bool Load(FILE* f);

    // One movement step for the frame's game key / mouse; both also meet
    // NPCs, monsters and tile events on the way.
    void KeyMove(GameKey key);
    void MouseMove(MouseInfo info);
    // The digit keys choose the magic kind.
    void SelectMagic(GameKey key);
    // The left Ctrl cheats: Up refills hit and magic points, Down gives
    // 99999 gold, Left and Right take from and add to attack and defence.
    void CheatKey(GameKey key);
    // 1 when the step ahead in direction d reaches an obstacle tile.
    int32_t Blocked(int32_t d);
    // The event name of the ground tile ahead, "N" none.
    std::string GetTileEvent(int32_t d);
    // 1 when an NPC / a living monster stands in the way; the contact starts
    // its script (and hits the monster).
    int32_t TalkToNpc(int32_t d);
    int32_t AttackMonster(int32_t d);
    // The direction from the role to the cursor; 0 while the world is paused.
    int32_t FaceMouse();

    // Painting (walking or standing, with regeneration while standing), the
    // death sequence, the level-up and the status panel.
    void PaintRoleWalk(int32_t walkingFlag, int32_t stipple);
    void PaintRoleStatic(int32_t stipple);
    void CheckDead(int32_t times, int32_t ms);
    void LevelUp();
    void PaintState();

    static constexpr int kItemSlots = 10;

    // Fields after those of People, in their declared order.
    int32_t scrolledUp = 0;
    int32_t scrolledDown = 0;
    int32_t scrolledLeft = 0;
    int32_t scrolledRight = 0;
    // Walking frame per direction slot: left, right, up, down, up-left,
    // up-right, down-left, down-right.
    int32_t walkCell[8] = {};
    int32_t margin = 5;
    int32_t regen = 1;
    int32_t mouseMoved = 0;
    int32_t keyMoved = 0;
    std::string items[kItemSlots];
    int32_t itemCount = 0;
    std::string footstepWave;
    float gold = 0;
    int32_t magicCast = 0;
    int32_t levelUpShown = 0;
    int32_t autoSidestep = 1;

private:
    // Walk direction and sidestep flag of one input device.
    struct Walker {
        int32_t* walkDirection;
        int32_t* sidestepping;
        bool keyboard;
        MouseInfo info;
    };
    void TakeStep(int32_t d, Walker w);
    void Sidestep(int32_t side, Walker w);
    // The test point(s) ahead in direction d: 1 or 2 points, 0 for other
    // directions.
    int ProbePoints(int32_t d, int32_t px[2], int32_t py[2]) const;
};

// The NPC being talked to, -1 none.
inline int32_t g_TalkNpcIndex = -1;

// The one role the player steers.
extern Role g_Role;
