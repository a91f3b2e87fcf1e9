#pragma once
#include "object.h"

// The player character.
class Role : public People {
public:
};

// The NPC being talked to, -1 none.
inline int32_t g_TalkNpcIndex = -1;
