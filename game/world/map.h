#pragma once
#include <cstdint>
#include <string>

#include "core/filehelper.h"

// The current map: seven tile layers read from a map file.
class map : public FileHelper {
public:
    map() = default;
    ~map();
    map(const map&) = delete;
    map& operator=(const map&) = delete;

    void Init();

    int32_t loaded = 0;
    std::string name;
};
