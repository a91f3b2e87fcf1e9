#include "ui.h"

#include <algorithm>

#include "core/alert.h"
#include "platform/platform.h"

ui::~ui() { Alert("~ui"); }

void ui::LoadFrame(const std::string& name)
{
    plat::P().Trace("ui load " + name);
    frames.push_back(FRAMESTRUCT{name});
}

int32_t ui::LoadGame(int32_t slot)
{
    plat::P().Trace("save load " + std::to_string(slot));
    return 0;
}

void ui::OnMouseMove() {}

void ui::OnMouseClick(MouseInfo mouse)
{
    if (mouse.button != 'N')
        plat::P().Trace(std::string("ui click ") + mouse.button);
}

void ui::OnKey(GameKey key) { plat::P().Trace("ui key " + std::to_string(key)); }

namespace {
template <class Box>
Box* FindBox(std::vector<Box>& boxes, const std::string& name)
{
    auto it = std::find_if(boxes.begin(), boxes.end(), [&](const Box& b) { return b.name == name; });
    return it == boxes.end() ? nullptr : &*it;
}
} // namespace

void ui::SetText(const std::string& name, const std::string& text)
{
    if (frames.empty())
        return;
    if (UISTRINGBOX* s = FindBox(frames.back().strings, name))
        s->text = text;
}

void ui::SetImageSize(const std::string& name, int32_t width, int32_t height)
{
    if (frames.empty())
        return;
    if (UIIMAGEBOX* img = FindBox(frames.back().images, name)) {
        img->width = std::max(width, 1);
        img->height = std::max(height, 1);
    }
}

int32_t ui::GetImageBaseSize(const std::string& name, int32_t which)
{
    if (frames.empty())
        return 0;
    const UIIMAGEBOX* img = FindBox(frames.back().images, name);
    if (!img)
        return 0;
    return which == 0 ? img->baseWidth : which == 1 ? img->baseHeight : 0;
}
