#pragma once
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "surface.h"

namespace plat {

// Largest picture accepted, per side and in pixels.
constexpr int kMaxBmpSide = 16384;
constexpr int64_t kMaxBmpPixels = int64_t(1) << 26;

enum class BmpError { None, Missing, Unreadable, NotBmp, Truncated, BadSize, TooLarge, Unsupported, Decode };

struct BmpResult {
    SurfacePtr surface;
    BmpError error = BmpError::None;
    std::string detail; // English detail for logs
};

// Checks a BMP file's headers before any decoder sees it. Returns None when
// the headers are consistent with the bytes present.
BmpError CheckBmpHeader(const std::vector<uint8_t>& bytes, std::string* detail = nullptr);

// Reads a BMP file into an RGB565 surface. Channels are truncated
// (r>>3, g>>2, b>>3), the way a 16-bit display receives 24-bit pixels.
BmpResult LoadBmp565(const std::filesystem::path& path);
BmpResult DecodeBmp565(const std::vector<uint8_t>& bytes);

} // namespace plat
