#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "core/filehelper.h"
#include "map_blocks.h"
#include "platform/surface.h"

// One cell of one map layer.
struct TILESTRUCT {
    std::string event;     // layer 0 only: script started on stepping here; "N" none
    int32_t srcX = 0;      // top-left corner of the 32x32 tile in its sheet
    int32_t srcY = 0;
    int32_t x = 0;         // map pixel where the tile is drawn
    int32_t y = 0;
    int32_t obstacle = 0;  // layer 0 only: 1 blocks walking
    int32_t picture = -1;  // sheet picture id; -1 empty
};

// Limits of a map's size in tiles: the editor's 16-bit cell count and
// coordinates bound every map it can write.
constexpr int32_t kMapMaxSide = 1023;
constexpr int32_t kMapMaxCells = 32767;
constexpr int kMapLayers = 7;

// A map file parsed and checked, not yet made the current map.
struct MapData {
    int32_t tilesWide = 0;
    int32_t tilesHigh = 0;
    float pixelWidth = 0;
    float pixelHeight = 0;
    int32_t tileCount = 0;
    int32_t direction = 0; // the role's start
    int32_t startX = 0;
    int32_t startY = 0;
    std::vector<std::vector<TILESTRUCT>> layers; // kMapLayers arrays of tileCount cells
};

// Parses the text of a map file. On refusal returns false with the 1-based
// line at fault and a GBK reason; *out is then unspecified.
bool ParseMapText(const std::string& bytes, MapData* out, int* errorLine, std::string* errorReason);

// A work surface made ready for one sprite: it holds the part of the map
// rectangle `r` that lies on the map, in the key colour, with its top-left
// corner at map pixel (left, top). Painting at map positions shifted by
// (-left, -top) and copying the shifted `r` from it gives what a map-sized
// work surface gave.
struct SpriteStage {
    plat::Surface* surface = nullptr; // none while the map has no work surfaces
    int32_t left = 0, top = 0;
    float X(float x) const { return x - static_cast<float>(left); }
    float Y(float y) const { return y - static_cast<float>(top); }
    plat::Rect Local(const plat::Rect& r) const
    {
        return plat::Rect{r.left - left, r.top - top, r.right - left, r.bottom - top};
    }
};
SpriteStage StageSprite(plat::Surface* work, const plat::Rect& r);

// The current map: seven tile layers read from a map file, drawn block by
// block as frames show them.
class map : public FileHelper {
public:
    map() = default;
    ~map();
    map(const map&) = delete;
    map& operator=(const map&) = delete;

    void Init();
    // Reads and checks "Map\<name>.jmap" into *out; reports and returns false
    // when the file is missing or malformed. Changes nothing else.
    bool LoadMap(const std::string& name, MapData* out);
    // Makes the named map the current one. A map that can't be read is
    // reported and the previous map, role and lists stay as they were.
    // 1 when the map was changed.
    int32_t ChangeMap(const std::string& name);
    // Makes a map already read and checked by LoadMap the current one.
    int32_t UseMap(const std::string& name, MapData&& data);
    void FreeLayers();
    void ReleaseSurfaces();
    // Prepares the layers' drawing from the current cells, reporting bad tiles.
    void PaintLay();
    // The keyed copy of the map rectangle `window` of a layer onto dest at
    // (x, y), cut as the core painter cuts; negative when there is nothing
    // to paint from (no map, no such layer).
    int PaintLayer(plat::Surface* dest, int32_t layer, const plat::Rect& window, float x, float y);
    // True when the layer has no transparent pixel in `window`, which lies
    // wholly on the map.
    bool LayerCovers(int32_t layer, const plat::Rect& window);
    // True when a map point lies on the map: points on its right or bottom
    // edge lie outside it.
    static bool OnMap(int32_t x, int32_t y);
    // The cell under a map point; points outside the map give cell 0.
    int32_t GetTileIndex(int32_t x, int32_t y);
    // A ground cell by number: an empty, free cell without event when no map
    // is loaded or the number lies outside the grid.
    const TILESTRUCT& GroundTile(int32_t index) const;

    // The map's part of a save game: its name.
    void Save(FILE* f);
    // Reads the saved name (nothing else changes); false when it can't be read.
    // The save loader reads the named map before anything changes and makes
    // it current only once the whole save proved sound.
    bool LoadName(FILE* f, std::string& savedName);

    // Fields, in their declared order.
    FILE* file = nullptr;
    int32_t firstLoad = 1;
    std::vector<std::vector<TILESTRUCT>> layers; // empty while no map is loaded
    std::string name = "NULL";
    int32_t tileCount = 0;
    int32_t loaded = 0;
    MapBlocks blocks; // the layers' drawing
};

// The map's size in pixels; 1.0 until the first map is read.
extern float g_MapPixelWidth;
extern float g_MapPixelHeight;

// The current map.
extern map g_Map;
