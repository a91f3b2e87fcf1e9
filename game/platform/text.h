#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "surface.h"

namespace plat {

struct FontSpec {
    std::string faceGbk; // empty = the default face
    int height = 16;
    int weight = 400;
    bool italic = false;
};

// Draws GBK text onto RGB565 surfaces with a transparent background.
// Colours are COLORREF values (0x00BBGGRR).
class TextRenderer {
public:
    virtual ~TextRenderer() = default;
    // Top-left aligned in the rectangle, lines broken only at CR/LF, clipped
    // to the rectangle; '&' underlines the next character, "&&" draws '&'.
    virtual int DrawTextRect(Surface& dst, std::string_view gbk, const Rect& r, const FontSpec& font,
                             uint32_t colorref) = 0;
    // One line at (x,y), the top of the text cell; clipped to the surface only.
    virtual int TextOut(Surface& dst, std::string_view gbk, int x, int y, const FontSpec& font, uint32_t colorref) = 0;
};

// Deterministic glyphs: every byte is an 8x16 cell with a hollow box, so
// frames do not depend on any font file.
class BoxTextRenderer final : public TextRenderer {
public:
    int DrawTextRect(Surface& dst, std::string_view gbk, const Rect& r, const FontSpec& font, uint32_t colorref) override;
    int TextOut(Surface& dst, std::string_view gbk, int x, int y, const FontSpec& font, uint32_t colorref) override;
};

// The font files tried, in order.
const char* const* TtfFontSearchList();

// Text through SDL_ttf with the first CJK font of a fixed search list; every
// face name maps onto it. Glyphs are drawn unsmoothed in the exact colour.
// Without any font file it draws nothing and says so once on stderr.
class TtfTextRenderer final : public TextRenderer {
public:
    // `fontFiles`: the files tried, in order, up to a null entry.
    explicit TtfTextRenderer(const char* const* fontFiles = TtfFontSearchList());
    ~TtfTextRenderer() override;
    TtfTextRenderer(const TtfTextRenderer&) = delete;
    TtfTextRenderer& operator=(const TtfTextRenderer&) = delete;

    int DrawTextRect(Surface& dst, std::string_view gbk, const Rect& r, const FontSpec& font, uint32_t colorref) override;
    int TextOut(Surface& dst, std::string_view gbk, int x, int y, const FontSpec& font, uint32_t colorref) override;
    // The font file in use; empty when none was found.
    const std::string& FontFile() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace plat
