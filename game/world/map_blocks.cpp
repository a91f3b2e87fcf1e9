#include "map_blocks.h"

#include <algorithm>
#include <bit>

#include "core/graph.h"

namespace {

constexpr int kSide = MapBlocks::kSide;
constexpr int kBlockPixels = kSide * kSide;

} // namespace

void MapBlocks::Clear()
{
    ready_ = false;
    width_ = height_ = columns_ = rows_ = 0;
    sheets_.clear();
    sheetOrigins_.clear();
    layers_.clear();
    pool_.clear();
    pool_.shrink_to_fit();
    free_.clear();
    hand_ = 0;
}

void MapBlocks::Reset(int32_t width, int32_t height, int layers, uint16_t key)
{
    Clear();
    width_ = std::max(width, 0);
    height_ = std::max(height, 0);
    columns_ = (width_ + kSide - 1) / kSide;
    rows_ = (height_ + kSide - 1) / kSide;
    key_ = key;
    layers_.resize(static_cast<size_t>(std::max(layers, 0)));
}

void MapBlocks::AddTile(int layer, const plat::Surface& sheet, const plat::Rect& from, int64_t x, int64_t y)
{
    const paint::Span s = paint::Cut(sheet.w, sheet.h, from, x, y, plat::Rect{0, 0, width_, height_});
    if (s.Empty())
        return;
    auto known = std::find(sheetOrigins_.begin(), sheetOrigins_.end(), &sheet);
    int32_t index = static_cast<int32_t>(known - sheetOrigins_.begin());
    if (known == sheetOrigins_.end()) {
        sheetOrigins_.push_back(&sheet);
        sheets_.push_back(sheet);
    }
    Tile t;
    t.sheet = index;
    t.left = static_cast<int32_t>(s.dx);
    t.top = static_cast<int32_t>(s.dy);
    t.right = static_cast<int32_t>(s.dx + s.w);
    t.bottom = static_cast<int32_t>(s.dy + s.h);
    t.sx = static_cast<int32_t>(s.sl - s.dx);
    t.sy = static_cast<int32_t>(s.st - s.dy);
    layers_[static_cast<size_t>(layer)].tiles.push_back(t);
}

void MapBlocks::Finish()
{
    const size_t blocks = static_cast<size_t>(columns_) * static_cast<size_t>(rows_);
    for (Layer& l : layers_) {
        // Counted first, then placed: each block's tiles in drawing order.
        l.first.assign(blocks + 1, 0);
        auto eachBlock = [&](const Tile& t, auto&& f) {
            for (int32_t by = t.top / kSide; by <= (t.bottom - 1) / kSide; ++by)
                for (int32_t bx = t.left / kSide; bx <= (t.right - 1) / kSide; ++bx)
                    f(static_cast<size_t>(by) * static_cast<size_t>(columns_) + static_cast<size_t>(bx));
        };
        for (const Tile& t : l.tiles)
            eachBlock(t, [&](size_t b) { ++l.first[b + 1]; });
        for (size_t b = 0; b < blocks; ++b)
            l.first[b + 1] += l.first[b];
        l.refs.resize(l.first[blocks]);
        std::vector<uint32_t> next(l.first.begin(), l.first.end() - 1);
        for (size_t i = 0; i < l.tiles.size(); ++i)
            eachBlock(l.tiles[i], [&](size_t b) { l.refs[next[b]++] = static_cast<uint32_t>(i); });
        l.kind.assign(blocks, kUnknown);
        for (size_t b = 0; b < blocks; ++b)
            if (l.first[b] == l.first[b + 1])
                l.kind[b] = kClear;
        l.slot.assign(blocks, -1);
    }
    ready_ = true;
}

void MapBlocks::Draw(int layer, int32_t block, Slot* slot) const
{
    const Layer& l = layers_[static_cast<size_t>(layer)];
    const int32_t bx = (block % columns_) * kSide, by = (block / columns_) * kSide;
    uint16_t* px = slot->px.get();
    std::fill(px, px + kBlockPixels, key_);
    for (uint32_t i = l.first[static_cast<size_t>(block)]; i < l.first[static_cast<size_t>(block) + 1]; ++i) {
        const Tile& t = l.tiles[l.refs[i]];
        const int32_t x0 = std::max(t.left, bx), x1 = std::min(t.right, bx + kSide);
        const int32_t y0 = std::max(t.top, by), y1 = std::min(t.bottom, by + kSide);
        if (x0 >= x1 || y0 >= y1)
            continue;
        const plat::Surface& sheet = sheets_[static_cast<size_t>(t.sheet)];
        plat::PlainCopy(px + (y0 - by) * kSide + (x0 - bx), kSide, sheet.Row(y0 + t.sy) + x0 + t.sx, sheet.w,
                        x1 - x0, y1 - y0);
    }
    // Only the part of the block on the map counts.
    const int32_t w = std::min(kSide, width_ - bx), h = std::min(kSide, height_ - by);
    slot->clearRows = slot->solidRows = 0;
    for (int32_t y = 0; y < h; ++y) {
        const uint16_t* row = px + y * kSide;
        int32_t keyed = 0;
        for (int32_t x = 0; x < w; ++x)
            keyed += row[x] == key_;
        if (keyed == w)
            slot->clearRows |= 1u << y;
        else if (keyed == 0)
            slot->solidRows |= 1u << y;
    }
    const uint32_t changed = ((slot->clearRows ^ (slot->clearRows << 1)) | (slot->solidRows ^ (slot->solidRows << 1)));
    slot->runStarts = changed | 1u;
}

int32_t MapBlocks::TakeSlot()
{
    if (!free_.empty()) {
        const int32_t slot = free_.back();
        free_.pop_back();
        return slot;
    }
    if (pool_.size() < kPoolBlocks) {
        Slot s;
        s.px = std::make_unique<uint16_t[]>(kBlockPixels);
        pool_.push_back(std::move(s));
        return static_cast<int32_t>(pool_.size() - 1);
    }
    for (;;) {
        Slot& s = pool_[hand_];
        const size_t taken = hand_;
        hand_ = (hand_ + 1) % pool_.size();
        if (s.used) {
            s.used = false;
            continue;
        }
        if (s.layer >= 0)
            layers_[static_cast<size_t>(s.layer)].slot[static_cast<size_t>(s.block)] = -1;
        s.layer = s.block = -1;
        return static_cast<int32_t>(taken);
    }
}

MapBlocks::Kind MapBlocks::KindOf(int layer, int32_t block)
{
    Layer& l = layers_[static_cast<size_t>(layer)];
    const size_t b = static_cast<size_t>(block);
    if (l.kind[b] != kUnknown)
        return static_cast<Kind>(l.kind[b]);
    const int32_t slot = TakeSlot();
    Slot& s = pool_[static_cast<size_t>(slot)];
    Draw(layer, block, &s);
    const int32_t by = (block / columns_) * kSide;
    const uint32_t rows = std::min(kSide, height_ - by);
    const uint32_t all = rows == 32 ? ~0u : (1u << rows) - 1;
    l.kind[b] = s.clearRows == all ? kClear : s.solidRows == all ? kSolid : kMixed;
    if (l.kind[b] == kClear) {
        free_.push_back(slot);
    } else {
        s.layer = layer;
        s.block = block;
        s.used = true;
        l.slot[b] = slot;
    }
    return static_cast<Kind>(l.kind[b]);
}

const MapBlocks::Slot* MapBlocks::Block(int layer, int32_t block)
{
    if (KindOf(layer, block) == kClear)
        return nullptr;
    Layer& l = layers_[static_cast<size_t>(layer)];
    const size_t b = static_cast<size_t>(block);
    if (l.slot[b] < 0) {
        const int32_t slot = TakeSlot();
        Slot& s = pool_[static_cast<size_t>(slot)];
        Draw(layer, block, &s);
        s.layer = layer;
        s.block = block;
        l.slot[b] = slot;
    }
    Slot& s = pool_[static_cast<size_t>(l.slot[b])];
    s.used = true;
    return &s;
}

// The rows first to first + rows - 1 of a drawn block, columns left to
// left + w - 1, onto `to` (whose rows are `pitch` apart), in runs of rows of
// one kind: transparent ones skipped, opaque ones copied, the others keyed.
// Built for AVX2 and the baseline; the row loops are inlined.
TEV_PIXEL_LOOP
void MapBlocks::PaintRows(const Slot& slot, int32_t left, int32_t w, int32_t first, int32_t rows, uint16_t* to,
                          ptrdiff_t pitch, uint16_t key)
{
    const uint16_t* from = slot.px.get() + left;
    const int32_t last = first + rows;
    for (int32_t r = first; r < last;) {
        const uint32_t bit = 1u << r;
        const uint32_t later = r == kSide - 1 ? 0 : slot.runStarts >> (r + 1);
        const int32_t end = std::min(last, later ? r + 1 + std::countr_zero(later) : kSide);
        uint16_t* d = to + static_cast<ptrdiff_t>(r - first) * pitch;
        const uint16_t* s = from + r * kSide;
        if (slot.solidRows & bit) {
            if (w == kSide)
                plat::PlainRows(d, pitch, s, kSide, kSide, end - r);
            else
                plat::PlainRows(d, pitch, s, kSide, w, end - r);
        } else if (!(slot.clearRows & bit)) {
            if (w == kSide)
                plat::KeyedRows(d, pitch, s, kSide, kSide, end - r, key);
            else
                plat::KeyedRows(d, pitch, s, kSide, w, end - r, key);
        }
        r = end;
    }
}

void MapBlocks::Paint(plat::Surface* dest, int layer, int64_t left, int64_t top, int64_t w, int64_t h, int64_t dx,
                      int64_t dy)
{
    if (!ready_ || layer < 0 || static_cast<size_t>(layer) >= layers_.size() || w <= 0 || h <= 0)
        return;
    const int32_t x0 = static_cast<int32_t>(left), y0 = static_cast<int32_t>(top);
    const int32_t x1 = static_cast<int32_t>(left + w), y1 = static_cast<int32_t>(top + h);
    for (int32_t by = y0 / kSide; by <= (y1 - 1) / kSide; ++by) {
        const int32_t ty0 = std::max(y0, by * kSide), ty1 = std::min(y1, by * kSide + kSide);
        for (int32_t bx = x0 / kSide; bx <= (x1 - 1) / kSide; ++bx) {
            const int32_t block = by * columns_ + bx;
            const Slot* slot = Block(layer, block);
            if (!slot)
                continue;
            const int32_t tx0 = std::max(x0, bx * kSide), tx1 = std::min(x1, bx * kSide + kSide);
            PaintRows(*slot, tx0 - bx * kSide, tx1 - tx0, ty0 - by * kSide, ty1 - ty0,
                      dest->Row(static_cast<int>(dy + (ty0 - y0))) + (dx + (tx0 - x0)), dest->w, key_);
        }
    }
}

bool MapBlocks::Opaque(int layer, const plat::Rect& r)
{
    if (!ready_ || layer < 0 || static_cast<size_t>(layer) >= layers_.size() || r.left < 0 || r.top < 0 ||
        r.right > width_ || r.bottom > height_ || r.left >= r.right || r.top >= r.bottom)
        return false;
    for (int32_t by = r.top / kSide; by <= (r.bottom - 1) / kSide; ++by)
        for (int32_t bx = r.left / kSide; bx <= (r.right - 1) / kSide; ++bx) {
            const int32_t block = by * columns_ + bx;
            const Kind k = KindOf(layer, block);
            if (k == kSolid)
                continue;
            if (k == kClear)
                return false;
            // Mixed: the part inside the rectangle may still be opaque.
            const uint16_t* px = Block(layer, block)->px.get();
            const int32_t x0 = std::max(r.left, bx * kSide), x1 = std::min(r.right, bx * kSide + kSide);
            const int32_t y0 = std::max(r.top, by * kSide), y1 = std::min(r.bottom, by * kSide + kSide);
            for (int32_t y = y0; y < y1; ++y)
                for (int32_t x = x0; x < x1; ++x)
                    if (px[(y - by * kSide) * kSide + (x - bx * kSide)] == key_)
                        return false;
        }
    return true;
}

size_t MapBlocks::Bytes() const
{
    size_t n = pool_.size() * (sizeof(Slot) + kBlockPixels * sizeof(uint16_t));
    for (const plat::Surface& s : sheets_)
        n += s.px.size() * sizeof(uint16_t);
    for (const Layer& l : layers_)
        n += l.tiles.capacity() * sizeof(Tile) + (l.first.capacity() + l.refs.capacity()) * sizeof(uint32_t) +
             l.kind.capacity() + l.slot.capacity() * sizeof(int32_t);
    return n;
}
