#pragma once
#include <array>
#include <cstdint>

#include "filehelper.h"
#include "platform/input.h"

// Game key codes returned by ReadKeyboard (0 none ... 33 LCtrl+Down).
using GameKey = int32_t;

struct MouseInfo {
    int32_t x = 0;
    int32_t y = 0;
    char button = 'N'; // 'l', 'r', 'a' both, 'N' none ('n' with a key)
};

// Keyboard and mouse: reads the devices once per frame, moves the game's
// own cursor and routes keys and clicks.
class control : public FileHelper {
public:
    control();
    ~control();
    control(const control&) = delete;
    control& operator=(const control&) = delete;

    void InitInput();
    void ReinitInput();
    GameKey ReadKeyboard();
    MouseInfo ReadMouse();
    void DispatchKey(GameKey key);
    void DispatchMouse(MouseInfo info);
    void ScriptKey(GameKey key, MouseInfo info);
    void PaintCursor(int32_t alpha, int32_t stipple);
    void SetInputEnabled(int32_t on);
    // Places the game's cursor (its top-left corner) in screen pixels.
    void SetCursor(int32_t x, int32_t y);
    // Takes the mouse back from the system pointer at (x, y): the game's
    // cursor goes 32 pixels up and left of it, but never so far off the
    // left or top edge that the next frame would push it off again.
    void TakeCursorFromSystem(int32_t x, int32_t y);

    // The save record: 268 lines. With `unlocked` the switches that
    // SetInputEnabled turns are written as on, whatever they stand at.
    // Load reads the whole record first and changes nothing unless every
    // value could be read.
    void Save(FILE* file, bool unlocked = false);
    bool Load(FILE* file);

    bool keyboardDevice = false;
    bool mouseDevice = false;
    bool inputObject = false;
    uint8_t keyStates[256] = {};
    plat::MouseState mouseState;
    int32_t cursorX = 320, cursorY = 240;
    int32_t keyMoveOn = 0;
    int32_t mouseActionOn = 0;
    int32_t keyboardOn = 1;
    int32_t mouseOn = 1;
    int32_t keyHit = 1;
    int32_t buttonHeld = 0;
    int32_t buttonReleased = 1;
    int32_t leftOn = 1, rightOn = 1, bothOn = 1;
    int32_t cursorMoved = 0;
    int32_t suspended = 0;
    int32_t keyEnabled[256];
    int32_t initialised = 0;
    // Set while the mouse is with the system because the cursor was pushed
    // off an edge: where the system pointer was left then, and whether a
    // click inside the window has come since.
    bool handedBack = false;
    int32_t handbackX = 0, handbackY = 0;
    bool clickedInside = false;
    // Counts the presses of the mouse buttons (a press starts when a
    // button goes down while none was held). A screen notes the count as
    // it opens, so the release of a press made before it is no click on it.
    uint32_t pressCount = 0;

private:
    void ReleaseDevices();
    // The twelve saved switches, in their saved order.
    int32_t* SavedSwitch(int i);
    // The switches that locking the input (a talk, "LockKeyMouse") turns
    // off and unlocking it turns on again.
    std::array<int32_t*, 6> LockSwitches();

    char lastButton_ = 'N';        // the button of the last press
    bool motionFresh_ = false;     // the mouse state was read this frame
    int32_t watchCount_ = 60;      // the cursor's movement watch
    int32_t watchX_ = 0, watchY_ = -1;
    uint32_t lastUiKeyTime_ = 0;
};

// True once the input devices were set up (the window procedure ignores
// activation before that).
bool InputInitialised();

// The keyboard and mouse of the game.
extern control g_Control;

// Codes of GameKey.
namespace gamekey {
constexpr GameKey kNone = 0, kW = 1, kS = 2, kA = 3, kD = 4, kWA = 5, kSA = 6, kWD = 7, kSD = 8, kCtrlW = 9,
                  kCtrlS = 10, kCtrlA = 11, kCtrlD = 12, kCtrlWA = 13, kCtrlSA = 14, kCtrlWD = 15, kCtrlSD = 16,
                  kEsc = 17, kSpace = 18, kCtrl = 19, kDigit1 = 20, kDigit0 = 29, kLCtrlLeft = 30,
                  kLCtrlRight = 31, kLCtrlUp = 32, kLCtrlDown = 33;
} // namespace gamekey
