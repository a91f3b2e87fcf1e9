#pragma once
#include "object.h"

class Monster : public People {
public:
};

// The monster last hit or attacked, -1 none.
inline int32_t g_hitMonsterIndex = -1;
