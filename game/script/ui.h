#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "core/control.h"
#include "core/filehelper.h"

// The common head of a frame element (only the fields used so far).
struct UIBOX {
    std::string name;
    int32_t width = 0;
    int32_t height = 0;
    int32_t baseWidth = 0;  // the size as loaded; never changed afterwards
    int32_t baseHeight = 0;
    int32_t visible = 1;
};

struct UIIMAGEBOX : UIBOX {};

struct UISTRINGBOX : UIBOX {
    std::string text;
};

// One UI frame read from a ".jui" file.
struct FRAMESTRUCT {
    FRAMESTRUCT(std::string frameName = {}) : name(std::move(frameName)) {}

    std::string name;
    std::vector<UIIMAGEBOX> images;
    std::vector<UISTRINGBOX> strings;
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

    // Element access on the top frame, first element of the name; nothing
    // (or 0) when the stack is empty or the frame lacks the name.
    void SetText(const std::string& name, const std::string& text);
    // Sizes below 1 become 1.
    void SetImageSize(const std::string& name, int32_t width, int32_t height);
    // which 0: the loaded width, 1: the loaded height; 0 for any other.
    int32_t GetImageBaseSize(const std::string& name, int32_t which);

    std::vector<FRAMESTRUCT> frames;
    int32_t g_UiFocus = 0;
    int32_t g_LoadSlot = 1;
};
