#include "script/script.h"
#include "world/role.h"
#include "core/graph.h"
#include "platform/platform.h"
