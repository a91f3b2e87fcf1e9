#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "core/control.h"
#include "core/filehelper.h"

// One UI frame read from a ".jui" file.
struct FRAMESTRUCT {
    std::string name;
};

// The stack of UI frames.
class ui : public FileHelper {
public:
    ui() = default;
    ~ui();
    ui(const ui&) = delete;
    ui& operator=(const ui&) = delete;

    void LoadFrame(const std::string& name);
    int32_t LoadGame(int32_t slot);
    // Input while the frames have the focus.
    void OnMouseMove();
    void OnMouseClick(MouseInfo mouse);
    void OnKey(GameKey key);

    std::vector<FRAMESTRUCT> frames;
    int32_t g_UiFocus = 0;
    int32_t g_LoadSlot = 1;
};
