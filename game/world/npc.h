#pragma once
#include "object.h"

class Npc : public People {
public:
};
