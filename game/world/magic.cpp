#include "magic.h"

void Magic::PaintMagic(int32_t, int32_t) {}

int32_t Magic::FindHitMonster() { return -1; }

int32_t Magic::DamageMonster(int32_t n) { return n >= 0 ? 1 : 0; }
