#pragma once
#include <string_view>

namespace plat {

// Message boxes and the debugger output. Texts are GBK.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    // Blocks until dismissed on a real display; returns at once headless.
    virtual void MessageBox(std::string_view textGbk, std::string_view captionGbk) = 0;
    virtual void DebugOutput(std::string_view textGbk) = 0;

    // Set while the window's focus change around a message box is being
    // emulated: its traces are no repeats of anything and are not counted.
    void SetBoxFocusTraces(bool on) { boxFocusTraces_ = on; }

protected:
    bool boxFocusTraces_ = false;
};

} // namespace plat
