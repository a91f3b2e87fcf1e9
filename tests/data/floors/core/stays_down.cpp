#include "graph.h"
// world/map.h is named here only in a comment
#include "platform/gbk.h"
