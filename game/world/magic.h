#pragma once
#include <cstdint>
#include <string>

#include "core/control.h"
#include "object.h"

// A magic kind read from an "AddToMagicList(" line; its position in
// g_MagicKinds is its kind number and its sheet is picture 100 + the digits
// of its picture's name.
class MagicKind : public Object {
public:
    MagicKind() = default;
    ~MagicKind();
    MagicKind(const MagicKind&) = default;
    MagicKind& operator=(const MagicKind&) = default;

    // Reads the record from just after its head, loads the sheet and appends
    // the kind. A record with fewer than 31 values on its line, or with a
    // number that can't be read, is reported and adds nothing. 1 when added.
    static int32_t ReadFromScript(FILE* f);

    // Fields, in their declared order.
    std::string picture = "NULL";
    int32_t framesPerRow = 0;
    int32_t rows = 0;
    int32_t delay = 0; // ms between two steps of an effect
    std::string wave = "NULL";
    int32_t cooldown = 0;
    float speed = 0;
    int32_t accel = 0;
    int32_t type = 0; // 0 shoot, 1 circle, 2 fall
    int32_t attribute = 0;
    int32_t once = 0;
    int32_t life = 0;
    float attack = 0;
    float addAttack = 0;
    float addDefend = 0;
    float addHp = 0;
    float addMp = 0;
    int32_t boxLeft = 0;
    int32_t boxTop = 0;
    int32_t boxRight = 0;
    int32_t boxBottom = 0;
    int32_t autoAim = 0;
    int32_t crossObstacle = 0;
    int32_t oneCycle = 0;
    int32_t radius = 0;
    int32_t circles = 0;
    float mpCost = 0;
};

// A magic effect in flight.
class Magic : public MagicKind {
public:
    enum MoveMode { kHoming, kStraight };

    Magic() = default;
    // Builds an effect of kind `kind` (which must be a kind number) and
    // marks the role as casting it.
    explicit Magic(int32_t kind);
    ~Magic();
    Magic(const Magic&) = default;
    Magic& operator=(const Magic&) = default;

    // One frame of the effect: animation, flight and painting.
    void PaintMagic(int32_t alpha, int32_t stipple);
    // One step of the flight toward the cursor.
    void AimAtMouse(int32_t speed);
    // The position in the monster list of the first monster the effect
    // touches, or -1.
    int32_t FindHitMonster();
    // Hits monster n; 1 if n is a monster (n >= 0), else 0.
    int32_t DamageMonster(int32_t n);

    // Fields, in their declared order.
    int32_t started = 0;
    int32_t frameTimerStart = 0;
    int32_t frameTimerArmed = 0;
    int32_t column = 0;
    int32_t row = 0;
    int32_t ticks = 0;
    float vx = 0;
    float vy = 0;
    int32_t aimPending = 1;
    int32_t orbits = 0;
    float orbitLength = 0;
    int32_t orbitDistance = 0;
    MoveMode moveMode = kHoming;
    int32_t moveModeSet = 0;
    People* caster = nullptr;
    int32_t kindIndex = 0;
    int32_t direction = 0;
};

// The cooldown timer shared by every kind.
struct MagicCooldown {
    int32_t start = 0;
    int32_t armed = 0;
};
extern MagicCooldown g_MagicCooldown;

// The magic kinds the scripts listed, and the magic flying now.
extern std::vector<MagicKind> g_MagicKinds;
extern std::vector<Magic> g_Magics;

// The kinds listed so far belong to a game that has ended (the title came
// back, or a save starts play): a kind read before play begins starts the
// list afresh, so a new game has the kinds its start loads and nothing kept
// from the last. A start that lists none keeps them, and a kind read in
// play is appended.
void MagicKindsOfEndedGame();
// Empties the list of kinds and releases the sheets they brought.
void DropMagicKinds();
// The kind listed at that place, or none for a place the list lacks (-1
// included: no magic chosen).
const MagicKind* MagicKindAt(int32_t kind);

// Casts the caster's current magic kind when the key or the mouse asks for it.
void CastMagic(People* caster, GameKey key, MouseInfo mouse);
