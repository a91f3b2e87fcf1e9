// Painting the UI frames and reaching the top frame's elements by name.
#include <algorithm>
#include <climits>
#include <cstdint>

#include "core/graph.h"
#include "ui.h"

void ui::Paint(const std::string& name)
{
    for (FRAMESTRUCT& f : frames)
        if (f.name == name)
            PaintLayer(g_Graph.BUF, f, -1);
}

void ui::PaintLayer(plat::Surface* dest, FRAMESTRUCT& frame, int32_t layer)
{
    for (int32_t l = 0; l < kUiLayers; ++l) {
        if (frame.layers[l].empty() || (layer != -1 && layer != l))
            continue;
        for (const LAYCHAINSTRUCT& e : frame.layers[l]) {
            const size_t i = static_cast<size_t>(e.index);
            if (e.kind == "image") {
                if (i >= frame.images.size())
                    continue;
                const UIIMAGEBOX& img = frame.images[i];
                // A picture whose file was missing has nothing to show.
                if (img.visible && img.picture)
                    g_Graph.Paint(dest, img.picture, Rect{0, 0, img.width, img.height}, static_cast<float>(img.x),
                                  static_cast<float>(img.y), 1, -1, 0);
            } else if (e.kind == "button") {
                if (i >= frame.buttons.size())
                    continue;
                UIBUTTONBOX& b = frame.buttons[i];
                if (!b.visible)
                    continue;
                // The hover and pressed cells show for one paint only.
                const int32_t s = b.state >= 0 && b.state < 4 ? b.state : 0;
                if (b.states[s])
                    g_Graph.Paint(dest, b.states[s], Rect{0, 0, b.width, b.height}, static_cast<float>(b.x),
                                  static_cast<float>(b.y), 1, -1, 0);
                b.state = 0;
            } else if (e.kind == "string") {
                if (i >= frame.strings.size())
                    continue;
                const UISTRINGBOX& t = frame.strings[i];
                // A frame file may place a box anywhere a 32-bit number
                // reaches: its far edges are held at that range.
                auto edge = [](int32_t at, int32_t size) {
                    return static_cast<int32_t>(std::clamp<int64_t>(int64_t{at} + size, INT32_MIN, INT32_MAX));
                };
                if (t.visible)
                    g_Graph.PaintText(dest, t.text.c_str(), Rect{t.x, t.y, edge(t.x, t.width), edge(t.y, t.height)},
                                      t.fontFace.c_str(), t.fontHeight, t.bold, t.italic, t.colour);
            }
        }
    }
}

std::string ui::GetText(const std::string& name)
{
    if (!frames.empty())
        for (const UISTRINGBOX& t : frames.back().strings)
            if (t.name == name)
                return t.text;
    return name;
}

FRAMESTRUCT* ui::FrameNamed(const std::string& name)
{
    for (auto f = frames.rbegin(); f != frames.rend(); ++f)
        if (f->name == name)
            return &*f;
    return nullptr;
}

void ui::SetText(const std::string& name, const std::string& text)
{
    if (!frames.empty())
        SetTextIn(frames.back(), name, text);
}

void ui::SetImageSize(const std::string& name, int32_t width, int32_t height)
{
    if (!frames.empty())
        SetImageSizeIn(frames.back(), name, width, height);
}

int32_t ui::GetImageBaseSize(const std::string& name, int32_t which)
{
    return frames.empty() ? 0 : GetImageBaseSizeIn(frames.back(), name, which);
}

void ui::SetTextIn(FRAMESTRUCT& frame, const std::string& name, const std::string& text)
{
    for (UISTRINGBOX& t : frame.strings)
        if (t.name == name) {
            t.text = text;
            return;
        }
}

void ui::SetImageSizeIn(FRAMESTRUCT& frame, const std::string& name, int32_t width, int32_t height)
{
    for (UIIMAGEBOX& img : frame.images)
        if (img.name == name) {
            img.width = width >= 1 ? width : 1;
            img.height = height >= 1 ? height : 1;
            return;
        }
}

int32_t ui::GetImageBaseSizeIn(const FRAMESTRUCT& frame, const std::string& name, int32_t which)
{
    for (const UIIMAGEBOX& img : frame.images)
        if (img.name == name)
            return which == 0 ? img.baseWidth : which == 1 ? img.baseHeight : 0;
    return 0;
}

UIBOX* ui::FindElement(const std::string& name)
{
    if (frames.empty())
        return nullptr;
    FRAMESTRUCT& top = frames.back();
    for (UIIMAGEBOX& e : top.images)
        if (e.name == name)
            return &e;
    for (UIBUTTONBOX& e : top.buttons)
        if (e.name == name)
            return &e;
    for (UISTRINGBOX& e : top.strings)
        if (e.name == name)
            return &e;
    return nullptr;
}
