#pragma once
#include "object.h"

class Monster : public People {
public:
};
