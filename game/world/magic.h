#pragma once
#include <cstdint>

#include "core/control.h"
#include "object.h"

// A magic kind read from an "AddToMagicList(" line.
class MagicKind : public Object {
public:
};

// A magic effect in flight. Only what the scene needs is here so far; the
// effect's flight, painting and hits come with the magic logic.
class Magic : public MagicKind {
public:
    // One frame of the effect. Stand-in: does nothing yet.
    void PaintMagic(int32_t alpha, int32_t stipple);
    // The position in the monster list of the first monster the effect
    // touches, or -1. Stand-in: touches none yet.
    int32_t FindHitMonster();
    // Hits monster n; 1 if n is a monster (n >= 0), else 0.
    int32_t DamageMonster(int32_t n);
};

// Casts the caster's current magic kind when the key or the mouse asks for it.
inline void CastMagic(People*, GameKey, MouseInfo) {}
