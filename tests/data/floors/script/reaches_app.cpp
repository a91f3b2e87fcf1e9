#include "script.h"
#include "world/map.h"
#include "core/alert.h"
#include "app/scene.h"
