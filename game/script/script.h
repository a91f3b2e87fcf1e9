#pragma once
#include <cstdint>
#include <cstdio>
#include <string>

#include "core/filehelper.h"

// The script interpreter: one statement per frame.
class script : public FileHelper {
public:
    script() = default;
    ~script();
    script(const script&) = delete;
    script& operator=(const script&) = delete;

    int32_t OpenScript(std::string name);
    void Step();
    void Control(std::string word);
    // Runs a script to its end without painting, as start-up does; stops at
    // a cap on executed statements with a report naming the script.
    void RunToEnd(const std::string& name);

    int32_t running = 0;
    std::string scriptName;
};
