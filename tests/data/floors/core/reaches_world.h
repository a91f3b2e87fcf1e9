#pragma once
#include "control.h"
#include "platform/input.h"
  #  include "world/map.h"
