// Text through SDL_ttf, laid out the way the game's original text calls
// lay it out: top-left in its rectangle, lines broken only at CR and LF,
// cut at the rectangle, '&' underlining the character after it.
#include <SDL.h>
#include <SDL_ttf.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "fsys.h"
#include "gbk.h"
#include "text.h"

namespace plat {
namespace {

const char* const kFontFiles[] = {
    "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc",
    "/usr/share/fonts/truetype/wqy/wqy-zenhei.ttc",
    "/usr/share/fonts/opentype/noto/NotoSansCJK-Regular.ttc",
    "/usr/share/fonts/opentype/noto/NotoSerifCJK-Regular.ttc",
    "/usr/share/fonts/truetype/noto/NotoSansCJK-Regular.ttc",
    nullptr,
};

// The height of a text cell; GDI reads a negative height as the character
// height, and 0 as its default.
int CellHeight(int height)
{
    if (height < 0)
        height = -height;
    if (height == 0)
        height = 16;
    return std::min(height, 512);
}

// One line after '&' processing: the bytes to draw and where underlines go
// (byte ranges in those bytes).
struct Line {
    std::string text;
    std::vector<std::pair<size_t, size_t>> underlines;
};

// A GBK character is two bytes when its first byte is a lead byte.
size_t CharLength(std::string_view s, size_t i)
{
    const unsigned char c = static_cast<unsigned char>(s[i]);
    return (c >= 0x81 && c <= 0xFE && i + 1 < s.size()) ? 2 : 1;
}

std::vector<Line> SplitLines(std::string_view gbk, bool ampersands)
{
    std::vector<Line> lines(1);
    bool underlineNext = false;
    for (size_t i = 0; i < gbk.size();) {
        const char c = gbk[i];
        if (c == '\r' || c == '\n') {
            i += (c == '\r' && i + 1 < gbk.size() && gbk[i + 1] == '\n') ? 2 : 1;
            lines.emplace_back();
            underlineNext = false;
            continue;
        }
        // '&' is never the second byte of a GBK character, so it can be
        // looked for byte by byte.
        if (ampersands && c == '&') {
            if (i + 1 < gbk.size() && gbk[i + 1] == '&') {
                ++i; // "&&" draws one '&'
            } else {
                underlineNext = true;
                ++i;
                continue;
            }
        }
        const size_t n = CharLength(gbk, i);
        Line& line = lines.back();
        if (underlineNext)
            line.underlines.emplace_back(line.text.size(), line.text.size() + n);
        underlineNext = false;
        line.text.append(gbk.substr(i, n));
        i += n;
    }
    return lines;
}

} // namespace

const char* const* TtfFontSearchList() { return kFontFiles; }

struct TtfTextRenderer::Impl {
    std::string file;
    bool ttfUp = false;
    bool warned = false;
    // The font file's bytes, read once on the first text and kept for the
    // run: every size and style is opened on them, so drawing a glyph never
    // goes back to the file.
    std::string bytes;
    bool read = false;
    std::map<std::tuple<int, bool, bool>, TTF_Font*> fonts;

    bool ReadFile()
    {
        if (read)
            return !bytes.empty();
        read = true;
        FILE* fp = std::fopen(file.c_str(), "rb");
        if (!fp)
            return false;
        bytes = ReadWholeFile(fp);
        std::fclose(fp);
        return !bytes.empty();
    }

    TTF_Font* Font(const FontSpec& wanted)
    {
        if (file.empty()) {
            if (!warned) {
                std::fprintf(stderr, "tevlegend: no CJK font found (fonts-wqy-microhei); text is not drawn\n");
                warned = true;
            }
            return nullptr;
        }
        const int size = CellHeight(wanted.height);
        const bool bold = wanted.weight >= 700;
        const auto key = std::make_tuple(size, bold, wanted.italic);
        auto it = fonts.find(key);
        if (it != fonts.end())
            return it->second;
        SDL_RWops* rw = ReadFile() ? SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size())) : nullptr;
        TTF_Font* f = rw ? TTF_OpenFontIndexRW(rw, 1, size, 0) : nullptr;
        if (!f) {
            if (!warned) {
                std::fprintf(stderr, "tevlegend: font %s: %s\n", file.c_str(), TTF_GetError());
                warned = true;
            }
            return nullptr;
        }
        TTF_SetFontStyle(f, (bold ? TTF_STYLE_BOLD : 0) | (wanted.italic ? TTF_STYLE_ITALIC : 0));
        fonts.emplace(key, f);
        return f;
    }

    // Draws one line with its top-left corner at (x, y), cut to `clip`.
    void DrawLine(Surface& dst, TTF_Font* font, const Line& line, int x, int y, uint16_t colour, const Rect& clip)
    {
        if (line.text.empty() || x >= clip.right || y >= clip.bottom)
            return;
        // No glyph is narrower than a pixel: beyond this many bytes a line
        // lies past any surface, and is not rendered at all.
        constexpr size_t kMaxBytes = 4096;
        size_t keep = 0;
        while (keep < line.text.size() && keep < kMaxBytes)
            keep += CharLength(line.text, keep);
        const std::string utf8 = GbkToUtf8(std::string_view(line.text).substr(0, keep));
        SDL_Surface* g = TTF_RenderUTF8_Solid(font, utf8.c_str(), SDL_Color{255, 255, 255, 255});
        if (!g)
            return;
        const int x0 = static_cast<int>(std::max<int64_t>(clip.left, x));
        const int x1 = static_cast<int>(std::min<int64_t>(clip.right, int64_t(x) + g->w));
        const int y0 = static_cast<int>(std::max<int64_t>(clip.top, y));
        const int y1 = static_cast<int>(std::min<int64_t>(clip.bottom, int64_t(y) + g->h));
        SDL_LockSurface(g);
        for (int yy = y0; yy < y1; ++yy) {
            const uint8_t* src = static_cast<const uint8_t*>(g->pixels) + static_cast<size_t>(yy - y) * g->pitch;
            uint16_t* d = dst.Row(yy);
            for (int xx = x0; xx < x1; ++xx)
                if (src[xx - x])
                    d[xx] = colour;
        }
        SDL_UnlockSurface(g);
        SDL_FreeSurface(g);
        // Underlines: one row under the baseline, as wide as the character.
        const int64_t uy = int64_t(y) + TTF_FontAscent(font) + 1;
        if (uy < clip.top || uy >= clip.bottom)
            return;
        for (const auto& [from, to] : line.underlines) {
            int before = 0, upto = 0, h = 0;
            TTF_SizeUTF8(font, GbkToUtf8(line.text.substr(0, from)).c_str(), &before, &h);
            TTF_SizeUTF8(font, GbkToUtf8(line.text.substr(0, to)).c_str(), &upto, &h);
            uint16_t* d = dst.Row(static_cast<int>(uy));
            const int64_t from64 = std::max<int64_t>(clip.left, int64_t(x) + before);
            const int64_t to64 = std::min<int64_t>(clip.right, int64_t(x) + upto);
            for (int64_t xx = from64; xx < to64; ++xx)
                d[xx] = colour;
        }
    }
};

TtfTextRenderer::TtfTextRenderer(const char* const* fontFiles) : impl_(std::make_unique<Impl>())
{
    if (TTF_Init() != 0) {
        std::fprintf(stderr, "tevlegend: SDL_ttf: %s\n", TTF_GetError());
        return;
    }
    impl_->ttfUp = true;
    for (const char* const* f = fontFiles; *f; ++f) {
        if (FILE* fp = std::fopen(*f, "rb")) {
            std::fclose(fp);
            impl_->file = *f;
            break;
        }
    }
}

TtfTextRenderer::~TtfTextRenderer()
{
    for (auto& [key, f] : impl_->fonts)
        TTF_CloseFont(f);
    impl_->fonts.clear();
    if (impl_->ttfUp)
        TTF_Quit();
}

const std::string& TtfTextRenderer::FontFile() const { return impl_->file; }

int TtfTextRenderer::DrawTextRect(Surface& dst, std::string_view gbk, const Rect& r, const FontSpec& wanted,
                                  uint32_t colorref)
{
    if (gbk.empty() || !impl_->ttfUp)
        return 0;
    TTF_Font* font = impl_->Font(wanted);
    if (!font)
        return 0;
    const Rect clip{std::max(r.left, 0), std::max(r.top, 0), std::min(r.right, dst.w), std::min(r.bottom, dst.h)};
    if (clip.right <= clip.left || clip.bottom <= clip.top)
        return 0;
    const uint16_t colour = ColorRefTo565(colorref);
    const int lineHeight = CellHeight(wanted.height);
    int64_t y = r.top;
    for (const Line& line : SplitLines(gbk, true)) {
        if (y >= clip.bottom)
            break;
        if (y + lineHeight > clip.top)
            impl_->DrawLine(dst, font, line, r.left, static_cast<int>(y), colour, clip);
        y += lineHeight;
    }
    return 0;
}

int TtfTextRenderer::TextOut(Surface& dst, std::string_view gbk, int x, int y, const FontSpec& wanted,
                             uint32_t colorref)
{
    if (gbk.empty() || !impl_->ttfUp)
        return 0;
    TTF_Font* font = impl_->Font(wanted);
    if (!font)
        return 0;
    Line line;
    line.text = std::string(gbk);
    impl_->DrawLine(dst, font, line, x, y, ColorRefTo565(colorref), dst.Bounds());
    return 0;
}

} // namespace plat
