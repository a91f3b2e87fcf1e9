#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "object.h"

// A monster: walks at random, walks a path, chases and strikes the role, is
// hurt by blows and magic and breaks apart when it dies.
class Monster : public People {
public:
    Monster();
    ~Monster();
    Monster(const Monster&) = default;
    Monster& operator=(const Monster&) = default;

    // Reads an "AddMonster(" record from just after its head and appends the
    // monster to g_Monsters. A record with fewer than 29 values on its line,
    // or with a number that can't be read, is reported and adds nothing.
    static int32_t ReadFromScript(FILE* f);
    // One pass (0 lower body, 1 upper body) of death handling, AI, movement
    // and painting.
    void PaintMonster(int32_t pass, int32_t stipple);
    // Contact of the box moved one step with an NPC's box or with another
    // monster's box (monsters with this one's id are skipped).
    int32_t HitsNpc(int32_t dir);
    int32_t HitsMonster(int32_t dir);
    // One attempt at a blow on the role, at most one per attackInterval.
    void AttackRole();
    // Takes a blow of the given power.
    void BeHit(int32_t power);
    // The rewards of a kill.
    void Die();

    // The save record. Load reads the whole record or changes nothing and
    // returns false.
    void Save(FILE* f);
    bool Load(FILE* f);

    // Fields, in their declared order.
    int32_t walkTimerStart = 0;
    int32_t walkTimerArmed = 0;
    int32_t attackArmed = 0;
    int32_t attackStart = 0;
    int32_t animArmed[4] = {0, 0, 0, 0}; // right, up, left, down
    int32_t critChance = 0;
    int32_t randomWalk = 1;
    float expReward = 0;
    float goldReward = 0;
    std::string reservedText;
    std::string deathWave;
    // The AI mode taken up again once a path walk ends.
    int32_t modeAfterAstar = 0;
    int32_t reservedInt = 0;
    int32_t attackInterval = 500;
    int32_t dying = 0;

private:
    void Think();
    void Move();
    void PaintBody(int32_t pass, int32_t stipple);
    void PaintFade(int32_t pass);
};

// The monster last hit or attacked, -1 none.
inline int32_t g_hitMonsterIndex = -1;

// The shared death fade of the monsters.
struct DeathFade {
    int32_t start = 0;
    int32_t armed = 0;
    int32_t offsetA = 0;
    int32_t offsetB = 0;
};
extern DeathFade g_DeathFade;
extern int32_t g_DeathFadeAlpha;

// The monsters of the current map.
extern std::vector<Monster> g_Monsters;

// Takes monster `index` out of the list. The index of the monster last hit
// keeps naming the same monster: -1 if it was this one, one less if it came
// later.
void RemoveMonster(size_t index);
