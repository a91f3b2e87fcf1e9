#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "object.h"

// A non-player character. Only what the contact tests and the scene need is
// here so far; its reader, AI and painter come with the NPC logic.
class Npc : public People {
public:
    Npc();
    ~Npc();
    Npc(const Npc&) = default;
    Npc& operator=(const Npc&) = default;

    // The save record: the Object record, then the People record. Load reads
    // the whole record or changes nothing and returns false. Stand-in until
    // the NPC's own record comes.
    void Save(FILE* f)
    {
        Object::Save(f);
        People::Save(f);
    }
    bool Load(FILE* f)
    {
        Npc r(*this);
        if (!r.Object::Load(f) || !r.People::Load(f))
            return false;
        *this = r;
        return true;
    }

    // One pass (0 lower body, 1 upper body) of AI, movement and painting.
    // Stand-in: does nothing yet.
    void PaintAnpc(int32_t pass, int32_t stipple);
    // Contact of the box moved one step with another NPC's box (NPCs with
    // this one's id are skipped) or with a monster's box.
    int32_t HitsNpc(int32_t dir);
    int32_t HitsMonster(int32_t dir);
    // Shows the standing cell facing the role. Stand-in: does nothing yet.
    void FaceRole();
};

// Takes NPC `index` out of the list. The index of the NPC being talked to
// keeps naming the same NPC: -1 if it was this one, one less if it came later.
void RemoveNpc(size_t index);
