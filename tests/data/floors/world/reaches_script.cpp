#include "map.h"
#include "core/graph.h"
#include "../script/ui.h"
