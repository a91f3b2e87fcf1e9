#pragma once
#include <cstdint>

#include "core/filehelper.h"

// Base of every actor and magic class: a position and a box on the map.
class Object : public FileHelper {
public:
};

// An actor that walks: the base of the role, NPCs and monsters.
class People : public Object {
public:
    int32_t active = 1;        // 1: thinks and moves; 0: stands still
    int32_t initialActive = 0; // the active value from the actor's record
    float hp = 0, mp = 0, maxHp = 0, maxMp = 0;
    float attack = 0, defence = 0;
};
