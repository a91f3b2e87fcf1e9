#pragma once
// The tile layers of the current map as the screen needs them. Each layer is
// cut into blocks of 32x32 map pixels; a block is drawn from its tiles the
// first time a frame shows it, kept in a pool of bounded size, and known as
// wholly transparent (skipped), wholly opaque (copied plainly) or mixed
// (copied keyed). What a frame gets is exactly what a keyed copy of the
// layer drawn whole onto a map-sized surface of the key colour would give.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/surface.h"

class MapBlocks {
public:
    static constexpr int kSide = 32;
    // At most this many drawn blocks are kept (2 KiB each).
    static constexpr size_t kPoolBlocks = 8192;

    // Forgets everything; then a map of width x height pixels, drawn on the
    // key colour `key`, with `layers` layers of no tiles.
    void Reset(int32_t width, int32_t height, int layers, uint16_t key);
    void Clear();
    // The next tile of a layer, in drawing order (later tiles cover earlier
    // ones, the key colour included): the part `from` of `sheet` put at map
    // pixel (x, y), opaque, cut to the map. The sheet is copied once for all
    // tiles that use it, so later changes to the picture do not reach the map.
    void AddTile(int layer, const plat::Surface& sheet, const plat::Rect& from, int64_t x, int64_t y);
    // After the last tile: finds the tiles of every block.
    void Finish();

    bool Ready() const { return ready_; }
    int32_t Width() const { return width_; }
    int32_t Height() const { return height_; }

    // The keyed copy of the map rectangle whose top-left corner is (left,
    // top) and size w x h (inside the map) onto dest at (dx, dy) (inside dest).
    void Paint(plat::Surface* dest, int layer, int64_t left, int64_t top, int64_t w, int64_t h, int64_t dx,
               int64_t dy);
    // True when every pixel of the map rectangle (inside the map) is opaque
    // on the layer.
    bool Opaque(int layer, const plat::Rect& r);

    // Bytes held: tiles, sheets, block tables and the pool.
    size_t Bytes() const;

private:
    enum Kind : uint8_t { kUnknown = 0, kClear, kSolid, kMixed };
    struct Tile {
        int32_t sheet;          // index into sheets_
        int32_t left, top;      // map pixels covered, cut to the map
        int32_t right, bottom;
        int32_t sx, sy;         // sheet pixel = map pixel + (sx, sy)
    };
    struct Layer {
        std::vector<Tile> tiles;
        std::vector<uint32_t> first; // per block: where its tiles start in `refs`; one more at the end
        std::vector<uint32_t> refs;  // tile numbers, in drawing order per block
        std::vector<uint8_t> kind;   // per block
        std::vector<int32_t> slot;   // per block: its pool slot, -1 none
    };

    // The pool grows block by block up to kPoolBlocks; then the clock hand
    // takes the first slot not used since it last passed.
    struct Slot {
        std::unique_ptr<uint16_t[]> px;
        int32_t layer = -1, block = -1;
        bool used = false;
        // Rows of the block (bit y) wholly transparent or wholly opaque
        // across the map's part of it.
        uint32_t clearRows = 0, solidRows = 0;
        // Rows where a run of rows of one kind starts (row 0 always).
        uint32_t runStarts = 1;
    };
    // The drawn block in its pool slot, drawing it first when needed;
    // nullptr for a wholly transparent one.
    const Slot* Block(int layer, int32_t block);
    Kind KindOf(int layer, int32_t block);
    int32_t TakeSlot();
    static void PaintRows(const Slot& slot, int32_t left, int32_t w, int32_t first, int32_t rows, uint16_t* to,
                          ptrdiff_t pitch, uint16_t key);
    // Draws a block into a slot and notes its transparent and opaque rows.
    void Draw(int layer, int32_t block, Slot* slot) const;

    bool ready_ = false;
    int32_t width_ = 0, height_ = 0;
    int32_t columns_ = 0, rows_ = 0; // blocks
    uint16_t key_ = 0;
    std::vector<plat::Surface> sheets_;
    std::vector<const plat::Surface*> sheetOrigins_;
    std::vector<Layer> layers_;
    std::vector<Slot> pool_;
    std::vector<int32_t> free_; // slots that hold no block
    size_t hand_ = 0;
};
