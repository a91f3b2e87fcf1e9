#pragma once
#include "object.h"

// The player character.
class Role : public People {
public:
};
