#pragma once
#include <cstdint>

namespace plat {

// Milliseconds that wrap at 2^32 and never start near 0 or 1 (those two
// values mean "fire now" and "wait a whole interval" to the game's timers).
class Clock {
public:
    virtual ~Clock() = default;
    virtual uint32_t Ticks() = 0;
    virtual int64_t CalendarSeconds() = 0;
    // Called by busy waits; lets a virtual clock move on.
    virtual void Spin() = 0;
};

constexpr uint32_t kTickBase = 0x10000;

} // namespace plat
