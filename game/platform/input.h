#pragma once
#include <cstdint>

namespace plat {

struct MouseState {
    int32_t lX = 0, lY = 0, lZ = 0;
    uint8_t buttons[4] = {0, 0, 0, 0}; // 0x80 = held
};

enum class Device { Keyboard, Mouse };

// Presses a backend saw in its events between two state reads. The next
// read shows each of them down once, even when the key or button was let go
// before that read (a tap shorter than a frame); the read after shows the
// real state, so the release follows.
struct PressLatch {
    uint8_t keys[256] = {};
    uint8_t buttons[4] = {};

    void Key(int code) { keys[code & 0xFF] = 0x80; }
    void Button(int b) { buttons[b & 3] = 0x80; }
    void ApplyKeys(uint8_t dik[256])
    {
        for (int i = 0; i < 256; ++i) {
            dik[i] |= keys[i];
            keys[i] = 0;
        }
    }
    void ApplyButtons(uint8_t state[4])
    {
        for (int i = 0; i < 4; ++i) {
            state[i] |= buttons[i];
            buttons[i] = 0;
        }
    }
    void ClearKeys()
    {
        for (uint8_t& k : keys)
            k = 0;
    }
    void ClearButtons()
    {
        for (uint8_t& b : buttons)
            b = 0;
    }
};

// Exclusive foreground keyboard and mouse. Results: 0 success, negative
// failure (a device that is not acquired cannot deliver its state).
class Input {
public:
    virtual ~Input() = default;
    virtual int Create() = 0;
    virtual int CreateKeyboard() = 0;
    virtual int CreateMouse() = 0;
    // The data layout and the exclusive foreground access of a device. They
    // always succeed on a real machine; the headless backend can refuse them.
    virtual int SetDataFormat(Device) { return 0; }
    virtual int SetCooperativeLevel(Device) { return 0; }
    virtual int Acquire(Device d) = 0;
    virtual void Unacquire(Device d) = 0;
    virtual void Release() = 0;
    // 256 entries by key position (the codes of dik.h); bit 7 set = held.
    virtual int GetKeyboardState(uint8_t dik[256]) = 0;
    // Motion since the last read, and the buttons.
    virtual int GetMouseState(MouseState& state) = 0;
};

constexpr int kInputErrNotAcquired = -2147024866;
constexpr int kInputErrLost = -2147024868;

} // namespace plat
