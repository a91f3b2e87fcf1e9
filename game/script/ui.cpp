#include "ui.h"

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
