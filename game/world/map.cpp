#include "map.h"

#include "core/alert.h"

map::~map() { Alert("~map"); }

void map::Init() {}
