#pragma once
// What the game's tests compare with files the editor's tests write.
#include <sstream>
#include <string>
#include <vector>

#include "world/map.h"

namespace tevtest {

inline std::string Hex(const std::string& bytes)
{
    static const char* digits = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

// One line per cell: layer index srcX srcY x y picture, on the ground layer
// also obstacle and the event's bytes in hex (the editor's MapCellList).
inline std::string CellList(const std::vector<std::vector<TILESTRUCT>>& layers)
{
    std::ostringstream cells;
    for (size_t layer = 0; layer < layers.size(); ++layer) {
        for (size_t i = 0; i < layers[layer].size(); ++i) {
            const TILESTRUCT& t = layers[layer][i];
            cells << layer << ' ' << i << ' ' << t.srcX << ' ' << t.srcY << ' ' << t.x << ' ' << t.y << ' '
                  << t.picture;
            if (layer == 0)
                cells << ' ' << t.obstacle << ' ' << Hex(t.event);
            cells << '\n';
        }
    }
    return cells.str();
}

} // namespace tevtest
