#pragma once
#include "object.h"

// A magic kind read from an "AddToMagicList(" line.
class MagicKind : public Object {
public:
};

// A magic effect in flight.
class Magic : public MagicKind {
public:
};
