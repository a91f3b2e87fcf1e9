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
};

} // namespace plat
