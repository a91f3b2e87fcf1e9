#pragma once
#include "core/control.h"
#include "object.h"

// The player character.
class Role : public People {
public:
    float gold = 0;

    // Movement and magic selection by the frame's key and mouse.
    void KeyMove(GameKey) {}
    void MouseMove(MouseInfo) {}
    void SelectMagic(GameKey) {}
};

// The NPC being talked to, -1 none.
inline int32_t g_TalkNpcIndex = -1;
