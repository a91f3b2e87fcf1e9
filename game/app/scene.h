#pragma once
// Scene composition: the in-game frame, the title and the open UI frames,
// painted onto BUF in a fixed order. The world thinks inside these painters.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/surface.h"

namespace scene {

// The viewport: the part of the screen that shows the map.
constexpr int32_t kViewLeft = 23;
constexpr int32_t kViewTop = 23;
constexpr int32_t kViewWidth = 593;
constexpr int32_t kViewHeight = 321;

// The map point at the viewport's top-left corner: the role's map position
// minus its place in the viewport, each truncated toward zero.
plat::Point Camera();

// Everything the composition asks of the map's surfaces, the actors, the
// interpreter and the UI. The game uses these as they are; tests put
// recording doubles in their place.
class Parts {
public:
    virtual ~Parts() = default;
    // Paints the window of map layer `layer` onto BUF at (x, y), keyed.
    virtual int PaintLayer(int32_t layer, const plat::Rect& window, float x, float y);
    virtual void PaintNpc(size_t index, int32_t pass, int32_t stipple);
    virtual void PaintMonster(size_t index, int32_t pass, int32_t stipple);
    virtual void PaintRoleWalk(int32_t walkingFlag, int32_t stipple);
    virtual void CheckDead(int32_t times, int32_t ms);
    virtual void PaintMagic(size_t index, int32_t alpha, int32_t stipple);
    virtual int32_t FindHitMonster(size_t magicIndex);
    virtual int32_t DamageMonster(size_t magicIndex, int32_t monsterIndex);
    virtual void PaintUiFrame(const std::string& frameName);
    virtual void PaintUiLayer(size_t frameIndex, int32_t layer);
    virtual void PaintState();
    virtual void SetLocalVar(const std::string& type, const std::string& name, int32_t value);
};

// The in-game frame (game state 3): the map's layers, the actors and the
// magic in their fixed order, the world thinking as it is painted.
void PaintLayToBuffer();
// The title screen (game state 1).
void PaintTitle();
// Every open UI frame's layers 1 to 9.
void PaintUIFrames();

// The parts in use; `parts` nullptr goes back to the game's own.
Parts& CurrentParts();
void UseParts(Parts* parts);

} // namespace scene
