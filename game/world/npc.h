#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "object.h"

// A non-player character: walks at random, follows a path or stands, and
// talks when the role speaks to it.
class Npc : public People {
public:
    Npc();
    ~Npc();
    Npc(const Npc&) = default;
    Npc& operator=(const Npc&) = default;

    // Reads an "AddNpc(" record from just after its head and appends the NPC
    // to g_Npcs. A record with fewer than 16 values on its line, or with a
    // number that can't be read, is reported and adds nothing. 1 when added.
    static int32_t ReadFromScript(FILE* f);
    // One pass (0 lower body, 1 upper body) of AI, movement and painting.
    void PaintAnpc(int32_t pass, int32_t stipple);
    // Contact of the box moved one step with another NPC's box (NPCs with
    // this one's id are skipped) or with a monster's box.
    int32_t HitsNpc(int32_t dir);
    int32_t HitsMonster(int32_t dir);
    // Shows the standing cell facing the role.
    void FaceRole();

    // The save record: Object, People, then randomWalk. Load reads the whole
    // record or changes nothing and returns false.
    void Save(FILE* f);
    bool Load(FILE* f);

    // Fields, in their declared order.
    int32_t walkTimerStart = 0;
    int32_t walkTimerArmed = 0;
    int32_t animArmed[4] = {0, 0, 0, 0}; // right, up, left, down
    int32_t randomWalk = 1;
};

// Takes NPC `index` out of the list. The index of the NPC being talked to
// keeps naming the same NPC: -1 if it was this one, one less if it came later.
void RemoveNpc(size_t index);

// Shared painter state of the actors: the animation start time and the tint
// counters of the lower and upper bodies (-1 until first used).
struct ActorPaintShared {
    int32_t animStart = 0;
    int32_t tintCounter[2] = {-1, -1};
};
extern ActorPaintShared g_NpcPaint;

// The NPCs of the current map.
extern std::vector<Npc> g_Npcs;

// The body tint of one painter pass: a checkerboard of the actor's tint
// colour over its place r on the work surface, for tintFrames frames.
void ApplyActorTint(People* a, Surface* work, const Rect& r, int32_t* counter);
