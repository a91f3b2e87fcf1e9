#include "script.h"

#include "core/alert.h"
#include "platform/platform.h"

script::~script() { Alert("~script"); }

int32_t script::OpenScript(std::string name)
{
    plat::P().Trace("script open " + name);
    scriptName = name;
    running = 0;
    return FileExists(MakePath("Script\\", name.c_str(), "jsr")) ? 1 : 0;
}

void script::Step() {}

void script::Control(std::string) {}

void script::RunToEnd(const std::string& name)
{
    OpenScript(name);
    // Statements run back to back; a virtual clock must still move.
    constexpr long kCap = 1000000;
    long executed = 0;
    while (running && executed < kCap) {
        Step();
        ++executed;
        plat::P().clock().Spin();
    }
}
