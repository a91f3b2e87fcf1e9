#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "object.h"

// A monster. Only what the contact tests and the scene need is here so far;
// its reader, AI, combat and painter come with the monster logic.
class Monster : public People {
public:
    Monster();
    ~Monster();
    Monster(const Monster&) = default;
    Monster& operator=(const Monster&) = default;

    // The save record: the Object record, then the People record. Load reads
    // the whole record or changes nothing and returns false. Stand-in until
    // the monster's own record comes.
    void Save(FILE* f)
    {
        Object::Save(f);
        People::Save(f);
    }
    bool Load(FILE* f)
    {
        Monster r(*this);
        if (!r.Object::Load(f) || !r.People::Load(f))
            return false;
        *this = r;
        return true;
    }

    // One pass (0 lower body, 1 upper body) of death handling, AI, movement
    // and painting. Stand-in: does nothing yet.
    void PaintMonster(int32_t pass, int32_t stipple);
    // Contact of the box moved one step with an NPC's box or with another
    // monster's box (monsters with this one's id are skipped).
    int32_t HitsNpc(int32_t dir);
    int32_t HitsMonster(int32_t dir);
    // Takes a hit of the given power. Stand-in: only records the hit.
    void BeHit(int32_t power);

    // The AI mode taken up again once a path walk ends.
    int32_t modeAfterAstar = 0;
};

// The monster last hit or attacked, -1 none.
inline int32_t g_hitMonsterIndex = -1;

// Takes monster `index` out of the list. The index of the monster last hit
// keeps naming the same monster: -1 if it was this one, one less if it came
// later.
void RemoveMonster(size_t index);
