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

    // Movement and magic selection by the frame's key and mouse: stand-ins
    // until the role's movement is built.
    void KeyMove(GameKey) {}
    void MouseMove(MouseInfo) {}
    void SelectMagic(GameKey) {}

    // Painting, death check and status panel: stand-ins until the role's
    // painting and panel are built.
    void PaintRoleWalk(int32_t walkingFlag, int32_t stipple);
    void CheckDead(int32_t times, int32_t ms);
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
};

// The NPC being talked to, -1 none.
inline int32_t g_TalkNpcIndex = -1;
