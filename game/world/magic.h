#pragma once
#include "core/control.h"
#include "object.h"

// A magic kind read from an "AddToMagicList(" line.
class MagicKind : public Object {
public:
};

// A magic effect in flight.
class Magic : public MagicKind {
public:
};

// Casts the caster's current magic kind when the key or the mouse asks for it.
inline void CastMagic(People*, GameKey, MouseInfo) {}
