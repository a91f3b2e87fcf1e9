#pragma once
#include <cstdint>
#include "platform/surface.h"
#include <core/graph.h>
