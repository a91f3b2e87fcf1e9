// Hit testing and the mouse and keys while the UI frames have the focus.
#include "core/control.h"
#include "platform/platform.h"
#include "script.h"
#include "ui.h"

int32_t ui::InRect(int32_t px, int32_t py, int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    return left <= px && px <= right && top <= py && py <= bottom ? 1 : 0;
}

namespace {

// Edges computed in 64 bits so that far-off values from a file can't wrap.
int32_t Clamp(int64_t v)
{
    return static_cast<int32_t>(v < INT32_MIN ? INT32_MIN : v > INT32_MAX ? INT32_MAX : v);
}

} // namespace

LAYCHAINSTRUCT ui::HitTest(int32_t px, int32_t py)
{
    LAYCHAINSTRUCT result;
    if (frames.empty())
        return result;
    const int32_t top = static_cast<int32_t>(frames.size() - 1);
    int32_t best = 0;
    auto scan = [&](const UIBOX& e, const char* kind, size_t index) {
        const int64_t x0 = int64_t{e.x} + e.hitDX, y0 = int64_t{e.y} + e.hitDY;
        if (InRect(px, py, Clamp(x0), Clamp(y0), Clamp(x0 + e.hitWidth), Clamp(y0 + e.hitHeight)) &&
            e.layer >= best) {
            result = LAYCHAINSTRUCT{kind, top, static_cast<int32_t>(index)};
            best = e.layer;
        }
    };
    const FRAMESTRUCT& f = frames.back();
    for (size_t i = 0; i < f.images.size(); ++i)
        scan(f.images[i], "image", i);
    for (size_t i = 0; i < f.buttons.size(); ++i)
        scan(f.buttons[i], "button", i);
    for (size_t i = 0; i < f.strings.size(); ++i)
        scan(f.strings[i], "string", i);
    return result;
}

UIBOX* ui::ElementOf(const LAYCHAINSTRUCT& entry)
{
    if (entry.frame < 0 || static_cast<size_t>(entry.frame) >= frames.size())
        return nullptr;
    FRAMESTRUCT& f = frames[static_cast<size_t>(entry.frame)];
    const size_t i = static_cast<size_t>(entry.index);
    if (entry.kind == "image" && i < f.images.size())
        return &f.images[i];
    if (entry.kind == "button" && i < f.buttons.size())
        return &f.buttons[i];
    if (entry.kind == "string" && i < f.strings.size())
        return &f.strings[i];
    return nullptr;
}

bool ui::OwnsElement(const UIBOX* element) const
{
    for (const FRAMESTRUCT& f : frames) {
        for (const UIIMAGEBOX& e : f.images)
            if (&e == element)
                return true;
        for (const UIBUTTONBOX& e : f.buttons)
            if (&e == element)
                return true;
        for (const UISTRINGBOX& e : f.strings)
            if (&e == element)
                return true;
    }
    return false;
}

void ui::OnMouseMove()
{
    const LAYCHAINSTRUCT hit = HitTest(g_Control.cursorX, g_Control.cursorY);
    UIBOX* e = ElementOf(hit);
    if (!e)
        return;
    if (hit.kind == "button") {
        if (e->visible)
            static_cast<UIBUTTONBOX*>(e)->state = 1;
    } else if (hit.kind == "string") {
        if (e->visible && e->clickable && e->hoverAction != "NULL")
            DoAction(e->hoverAction);
    }
}

void ui::CloseTopFrame()
{
    UnloadFrameAt(static_cast<uint32_t>(frames.size() - 1));
    if (g_Script.running)
        g_Script.Control("eof");
}

void ui::OnMouseClick(MouseInfo mouse)
{
    if (g_Control.buttonReleased != 1)
        return;
    // The release of a press made before the top frame opened (a cast
    // held while a kill opened the level-up notice, a button held while
    // Esc opened the menu) belongs to what was there then: the frame sees
    // it as a pass with no button.
    if (mouse.button != 'N' && !frames.empty() && frames.back().pressesAtOpen == g_Control.pressCount) {
        plat::P().Trace(std::string("ui release ") + mouse.button + " of an earlier press");
        mouse.button = 'N';
    }
    if (mouse.button != 'N')
        plat::P().Trace(std::string("ui click ") + mouse.button);
    const LAYCHAINSTRUCT hit = HitTest(mouse.x, mouse.y);
    UIBOX* e = ElementOf(hit);
    bool acted = false;
    if (e) {
        UIBOX* clicked = nullptr;
        if (hit.kind == "image") {
            if (e->clickable)
                clicked = e;
        } else if (hit.kind == "button") {
            if (e->visible)
                static_cast<UIBUTTONBOX*>(e)->state = 2;
            if (e->clickable)
                clicked = e;
        } else if (e->visible && e->clickable) {
            clicked = e;
        }
        if (clicked) {
            clickedElement = clicked;
            // The action may unload this very frame: take a copy first.
            const std::string action =
                mouse.button == 'l' ? clicked->leftAction : mouse.button == 'r' ? clicked->rightAction : "NULL";
            if (action != "NULL") {
                DoAction(action);
                acted = true;
            }
        }
    }
    if (!acted && mouse.button == 'r' && frames.size() > 1)
        CloseTopFrame();
}

void ui::OnKey(GameKey key)
{
    plat::P().Trace("ui key " + std::to_string(key));
    if (key == gamekey::kEsc && frames.size() > 1)
        CloseTopFrame();
}
