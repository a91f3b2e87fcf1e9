#include "picture.h"

#include "paths.h"

#include "blit.h"

#include <QCoreApplication>
#include <QFile>
#include <QImageReader>
#include <QPainter>
#include <QRegion>
#include <QTimer>

#include <bit>
#include <cstring>
#include <list>
#include <set>

namespace fr {

QRgb bgr(uint32_t colorref)
{
    return qRgb(colorref & 0xFF, (colorref >> 8) & 0xFF, (colorref >> 16) & 0xFF);
}

// ---- Tiles ---------------------------------------------------------------

namespace {

bool sameRgb(QRgb a, QRgb b)
{
    return (a & 0xFFFFFF) == (b & 0xFFFFFF);
}

bool samePixels(const QImage& a, const QImage& b)
{
    if (a.size() != b.size())
        return false;
    for (int y = 0; y < a.height(); ++y) {
        const auto* p = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const auto* q = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x)
            if (((p[x] ^ q[x]) & 0xFFFFFF) != 0)
                return false;
    }
    return true;
}

bool allColour(const QImage& a, QRgb c)
{
    for (int y = 0; y < a.height(); ++y) {
        const auto* p = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        for (int x = 0; x < a.width(); ++x)
            if (((p[x] ^ c) & 0xFFFFFF) != 0)
                return false;
    }
    return true;
}

// Made tiles kept for showing, at most this many (64 KiB each).
constexpr size_t ShownLimit = 768;
// Tiles drawn into that wait to give up their pixels, before they are
// looked at during the drawing itself.
constexpr int DirtyLimit = 256;

} // namespace

struct PicImage::Tiles {
    struct Tile {
        QImage pix;                 // held once drawn into
        std::vector<PicDraw> draws; // otherwise: the draws that make it
        bool composed = false;      // otherwise: laid from the parts
        bool dirty = false;         // drawn into since last looked at
        // A made tile kept for showing.
        QImage shown;
        std::list<std::pair<Tiles*, int>>::iterator lru;
    };
    using Lru = std::list<std::pair<Tiles*, int>>;

    explicit Tiles(PicImage* o) : owner(o) {}
    ~Tiles()
    {
        for (size_t t = 0; t < tiles.size(); ++t)
            forget(int(t));
        pending().erase(this);
    }

    static Lru& lru()
    {
        static Lru list;
        return list;
    }
    static std::set<Tiles*>& pending()
    {
        static std::set<Tiles*> set;
        return set;
    }

    void layout(int w, int h)
    {
        for (size_t t = 0; t < tiles.size(); ++t)
            forget(int(t));
        cols = (w + TileSide - 1) / TileSide;
        rows = (h + TileSide - 1) / TileSide;
        tiles.clear();
        tiles.resize(size_t(cols) * size_t(rows));
        dirty = 0;
    }
    QRect rect(int t) const
    {
        const int cx = t % cols, cy = t / cols;
        return QRect(cx * TileSide, cy * TileSide, TileSide, TileSide).intersected(QRect(0, 0, owner->w_, owner->h_));
    }
    // Calls f(tile) for every tile that `r` (inside the picture) touches.
    template <class F> void each(const QRect& r, F f) const
    {
        if (r.isEmpty())
            return;
        for (int cy = r.top() / TileSide; cy <= r.bottom() / TileSide; ++cy)
            for (int cx = r.left() / TileSide; cx <= r.right() / TileSide; ++cx)
                f(cy * cols + cx);
    }
    static bool made(const Tile& tl) { return tl.pix.isNull() && (tl.composed || !tl.draws.empty()); }
    static bool blank(const Tile& tl) { return tl.pix.isNull() && !tl.composed && tl.draws.empty(); }

    // Drops a kept made tile.
    void forget(int t)
    {
        Tile& tl = tiles[size_t(t)];
        if (!tl.shown.isNull()) {
            lru().erase(tl.lru);
            tl.shown = QImage();
        }
    }
    void keep(int t, const QImage& img) const
    {
        auto* self = const_cast<Tiles*>(this);
        self->forget(t);
        Tile& tl = self->tiles[size_t(t)];
        tl.shown = img;
        lru().emplace_front(self, t);
        tl.lru = lru().begin();
        while (lru().size() > ShownLimit) {
            auto [victim, index] = lru().back();
            victim->forget(index);
        }
    }
    // Clears a tile to the background.
    void clear(int t)
    {
        forget(t);
        Tile& tl = tiles[size_t(t)];
        if (tl.dirty)
            --dirty;
        tl = Tile{};
    }

    // The pixels of the picture a draw paints (none when it lies outside the
    // picture or its source).
    QRect area(const PicDraw& d) const
    {
        Block s{d.x, d.y, d.sx, d.sy, d.w, d.h};
        bool empty = true;
        if (!clipBlock(s, owner->recipe_->source(d.src).size(), QSize(owner->w_, owner->h_), empty) || empty)
            return {};
        return {s.dx, s.dy, s.w, s.h};
    }
    // Drops the draws of tile t of which nothing shows once an opaque draw
    // has covered `top` (inside the tile): those that it and the opaque
    // draws laid after them hide whole. Filling a layer again and again with
    // a block that does not fall on the tiles keeps only the draws of the
    // last fill.
    void dropHidden(int t, const QRect& top)
    {
        std::vector<PicDraw>& draws = tiles[size_t(t)].draws;
        bool under = false;
        for (const PicDraw& e : draws)
            under = under || QRect(e.x, e.y, e.w, e.h).intersects(top);
        if (!under)
            return;
        const QRect tr = rect(t);
        QRegion covered(top);
        for (size_t i = draws.size(); i-- > 0;) {
            const QRect a = area(draws[i]).intersected(tr);
            if (QRegion(a).subtracted(covered).isEmpty())
                draws.erase(draws.begin() + std::ptrdiff_t(i));
            else if (!draws[i].transparent)
                covered += a;
        }
    }

    void renderDraws(const QRect& r, const std::vector<PicDraw>& draws, QImage& out) const
    {
        out = QImage(r.size(), QImage::Format_RGB32);
        out.fill(owner->back_);
        for (const PicDraw& d : draws) {
            const QImage& src = owner->recipe_->source(d.src);
            if (d.transparent)
                transparentBlt(out, d.x - r.x(), d.y - r.y(), d.w, d.h, src, d.sx, d.sy);
            else
                bitBlt(out, d.x - r.x(), d.y - r.y(), d.w, d.h, src, d.sx, d.sy);
        }
    }
    void renderComposed(const QRect& r, QImage& out) const
    {
        out = QImage(r.size(), QImage::Format_RGB32);
        out.fill(owner->back_);
        for (const PicImage* part : owner->parts_)
            part->copyTo(out, 0, 0, r.width(), r.height(), r.x(), r.y(), true);
    }
    void render(int t, QImage& out) const
    {
        const Tile& tl = tiles[size_t(t)];
        if (tl.composed)
            renderComposed(rect(t), out);
        else
            renderDraws(rect(t), tl.draws, out);
    }
    // The pixels of a tile, or null for a blank one. A made tile is drawn
    // into `scratch`, and kept for showing when `keepIt`.
    const QImage* view(int t, QImage& scratch, bool keepIt) const
    {
        const Tile& tl = tiles[size_t(t)];
        if (!tl.pix.isNull())
            return &tl.pix;
        if (blank(tl))
            return nullptr;
        if (!tl.shown.isNull()) {
            lru().splice(lru().begin(), lru(), tl.lru);
            return &tl.shown;
        }
        render(t, scratch);
        if (keepIt) {
            keep(t, scratch);
            return &tl.shown;
        }
        return &scratch;
    }
    // Whether every tile under `r` is blank.
    bool blankArea(const QRect& r) const
    {
        bool all = true;
        each(r, [&](int t) { all = all && blank(tiles[size_t(t)]); });
        return all;
    }

    PicImage* owner;
    int cols = 0;
    int rows = 0;
    std::vector<Tile> tiles;
    int dirty = 0;
};

namespace {

// Tiles drawn into are looked at once the event that drew into them is over.
void QueueSettle()
{
    static bool queued = false;
    if (queued || !QCoreApplication::instance())
        return;
    queued = true;
    QTimer::singleShot(0, [] {
        queued = false;
        PicImage::settleAll();
    });
}

} // namespace

void PicImage::settleAll()
{
    const std::set<Tiles*> waiting = std::move(Tiles::pending());
    Tiles::pending().clear();
    for (Tiles* t : waiting)
        t->owner->settle();
}

PicImage::PicImage(QRgb back) : back_(back) {}

PicImage::~PicImage()
{
    unlinkParts();
    for (PicImage* w : std::vector<PicImage*>(watchers_)) {
        w->freeze(QRect(0, 0, w->w_, w->h_));
        std::erase(w->parts_, this);
    }
}

PicImage::PicImage(const PicImage& other) : back_(other.back_)
{
    *this = other;
}

PicImage& PicImage::operator=(const PicImage& other)
{
    if (this == &other)
        return *this;
    freezeWatchers(QRect(0, 0, w_, h_));
    unlinkParts();
    tiles_.reset();
    w_ = other.w_;
    h_ = other.h_;
    back_ = other.back_;
    picture_ = other.picture_;
    wantTiled_ = false;
    if (other.tiles_) {
        blank_ = other.isBlank();
        img_ = blank_ ? QImage() : other.snapshot();
    } else {
        blank_ = other.blank_;
        img_ = other.img_;
    }
    return *this;
}

void PicImage::unlinkParts()
{
    for (const PicImage* part : parts_)
        std::erase(const_cast<PicImage*>(part)->watchers_, this);
    parts_.clear();
}

void PicImage::freeze(const QRect& r)
{
    if (!tiles_)
        return;
    const QRect in = r.intersected(QRect(0, 0, w_, h_));
    tiles_->each(in, [&](int t) {
        if (Tiles::made(tiles_->tiles[size_t(t)]))
            writableTile(t);
    });
}

void PicImage::freezeWatchers(const QRect& r)
{
    for (PicImage* w : watchers_)
        w->freeze(r);
}

QImage& PicImage::writableTile(int t)
{
    const QRect r = tiles_->rect(t);
    freezeWatchers(r);
    if (tiles_->dirty >= DirtyLimit)
        settle();
    Tiles::Tile& tl = tiles_->tiles[size_t(t)];
    if (tl.pix.isNull()) {
        if (!tl.shown.isNull()) {
            tl.pix = tl.shown;
            tiles_->forget(t);
        } else if (Tiles::made(tl)) {
            tiles_->render(t, tl.pix);
        } else {
            tl.pix = QImage(r.size(), QImage::Format_RGB32);
            tl.pix.fill(back_);
        }
        tl.draws = std::vector<PicDraw>();
        tl.composed = false;
    }
    if (!tl.dirty) {
        tl.dirty = true;
        ++tiles_->dirty;
        Tiles::pending().insert(tiles_.get());
        QueueSettle();
    }
    return tl.pix;
}

void PicImage::settle()
{
    if (!tiles_ || tiles_->dirty == 0)
        return;
    Tiles& ts = *tiles_;
    QImage made;
    std::vector<PicDraw> draws;
    for (int t = 0; t < int(ts.tiles.size()); ++t) {
        Tiles::Tile& tl = ts.tiles[size_t(t)];
        if (!tl.dirty)
            continue;
        const QRect r = ts.rect(t);
        bool undone = false;
        if (tl.pix.isNull()) {
            // Cleared since it was drawn into.
        } else if (!parts_.empty()) {
            ts.renderComposed(r, made);
            if (samePixels(made, tl.pix)) {
                tl.pix = QImage();
                tl.composed = true;
                ts.keep(t, made);
                undone = true;
            }
        } else if (recipe_) {
            draws.clear();
            if (recipe_->rebuild(r, draws)) {
                ts.renderDraws(r, draws, made);
                if (samePixels(made, tl.pix)) {
                    tl.pix = QImage();
                    tl.draws = draws;
                    undone = true;
                }
            }
        }
        if (!undone && !tl.pix.isNull() && allColour(tl.pix, back_)) {
            tl.pix = QImage();
            undone = true;
        }
        // A tile that stays drawn is looked at again when drawn into again.
        tl.dirty = false;
        --ts.dirty;
    }
    if (ts.dirty == 0)
        Tiles::pending().erase(tiles_.get());
}

std::bitset<256> PicImage::sourcesDrawn() const
{
    std::bitset<256> used;
    if (tiles_)
        for (const Tiles::Tile& tl : tiles_->tiles)
            for (const PicDraw& d : tl.draws)
                used.set(d.src);
    return used;
}

std::vector<PicDraw> PicImage::tileDraws(int x, int y) const
{
    if (!tiles_ || x < 0 || y < 0 || x >= w_ || y >= h_)
        return {};
    const Tiles::Tile& tl = tiles_->tiles[size_t((y / TileSide) * tiles_->cols + x / TileSide)];
    return tl.pix.isNull() && !tl.composed ? tl.draws : std::vector<PicDraw>{};
}

namespace {
bool tilingAllowed = true;
}

void PicImage::setTilingAllowed(bool on)
{
    tilingAllowed = on;
}

void PicImage::setTiled(bool on)
{
    on = on && tilingAllowed;
    wantTiled_ = on;
    if (!on) {
        if (tiles_)
            flatten();
        return;
    }
    if (tiles_ || !picture_.isNull())
        return;
    const QImage keepImg = blank_ ? QImage() : img_;
    tiles_ = std::make_unique<Tiles>(this);
    tiles_->layout(w_, h_);
    img_ = QImage();
    blank_ = true;
    if (!keepImg.isNull())
        for (int t = 0; t < int(tiles_->tiles.size()); ++t) {
            const QRect r = tiles_->rect(t);
            if (!allColour(keepImg.copy(r), back_))
                tiles_->tiles[size_t(t)].pix = keepImg.copy(r);
        }
}

void PicImage::flatten()
{
    if (!tiles_)
        return;
    freezeWatchers(QRect(0, 0, w_, h_));
    const bool wasBlank = isBlank();
    QImage all = wasBlank ? QImage() : snapshot();
    unlinkParts();
    tiles_.reset();
    img_ = all;
    blank_ = wasBlank;
}

void PicImage::setRecipe(std::shared_ptr<const PicRecipe> recipe)
{
    recipe_ = std::move(recipe);
}

bool PicImage::drawLater(const PicDraw& d)
{
    if (!recipe_)
        return false;
    const QImage& src = recipe_->source(d.src);
    if (!tiles_)
        return d.transparent ? transparentBlt(image(), d.x, d.y, d.w, d.h, src, d.sx, d.sy)
                             : bitBlt(image(), d.x, d.y, d.w, d.h, src, d.sx, d.sy);
    Block s{d.x, d.y, d.sx, d.sy, d.w, d.h};
    bool empty = true;
    if (!clipBlock(s, src.size(), size(), empty))
        return false;
    if (empty)
        return true;
    const QRect dr(s.dx, s.dy, s.w, s.h);
    freezeWatchers(dr);
    tiles_->each(dr, [&](int t) {
        Tiles::Tile& tl = tiles_->tiles[size_t(t)];
        // Nothing of what the tile held shows through: it gives up its
        // pixels or its draws for this one.
        if (!d.transparent && dr.contains(tiles_->rect(t)))
            tiles_->clear(t);
        if (tl.pix.isNull() && !tl.composed) {
            tiles_->forget(t);
            if (!d.transparent)
                tiles_->dropHidden(t, dr.intersected(tiles_->rect(t)));
            tl.draws.push_back(d);
            return;
        }
        const QRect r = tiles_->rect(t);
        QImage& img = writableTile(t);
        if (d.transparent)
            transparentBlt(img, d.x - r.x(), d.y - r.y(), d.w, d.h, src, d.sx, d.sy);
        else
            bitBlt(img, d.x - r.x(), d.y - r.y(), d.w, d.h, src, d.sx, d.sy);
    });
    return true;
}

bool PicImage::drawLater(int x, int y, int w, int h, uint8_t src, int sx, int sy, bool transparent)
{
    if (w <= 0 || h <= 0)
        return false;
    bool reached = false;
    // Pieces cut at the tile lines of the picture, so that each lies in one
    // tile and a piece over a whole tile replaces it.
    auto next = [](int p) { return p - (((p % TileSide) + TileSide) % TileSide) + TileSide; };
    for (int py = y; py < y + h; py = next(py))
        for (int px = x; px < x + w; px = next(px)) {
            const int pw = std::min(next(px), x + w) - px;
            const int ph = std::min(next(py), y + h) - py;
            if (px < INT16_MIN || px > INT16_MAX || py < INT16_MIN || py > INT16_MAX)
                continue;
            const PicDraw d{int16_t(px), int16_t(py), sx + (px - x), sy + (py - y), uint8_t(pw), uint8_t(ph), src,
                            transparent};
            reached = drawLater(d) || reached;
        }
    return reached;
}

void PicImage::composeOf(const std::vector<const PicImage*>& parts)
{
    cls();
    if (!tiles_) {
        for (const PicImage* part : parts)
            part->copyTo(*this, 0, 0, w_, h_, 0, 0, true);
        return;
    }
    parts_ = parts;
    for (const PicImage* part : parts)
        const_cast<PicImage*>(part)->watchers_.push_back(this);
    bool any = false;
    for (const PicImage* part : parts)
        any = any || !part->isBlank();
    if (any)
        for (Tiles::Tile& tl : tiles_->tiles)
            tl.composed = true;
}

void PicImage::swapDrawing(PicImage& other)
{
    freezeWatchers(QRect(0, 0, w_, h_));
    other.freezeWatchers(QRect(0, 0, other.w_, other.h_));
    unlinkParts();
    other.unlinkParts();
    std::swap(w_, other.w_);
    std::swap(h_, other.h_);
    std::swap(back_, other.back_);
    std::swap(img_, other.img_);
    std::swap(picture_, other.picture_);
    std::swap(blank_, other.blank_);
    std::swap(wantTiled_, other.wantTiled_);
    std::swap(tiles_, other.tiles_);
    std::swap(recipe_, other.recipe_);
    if (tiles_)
        tiles_->owner = this;
    if (other.tiles_)
        other.tiles_->owner = &other;
}

bool PicImage::copyTo(QImage& dst, int dx, int dy, int w, int h, int sx, int sy, bool transparent, QRgb key) const
{
    Block s{dx, dy, sx, sy, w, h};
    bool empty = true;
    if (!clipBlock(s, size(), dst.size(), empty))
        return false;
    if (empty)
        return true;
    const bool backShows = !(transparent && sameRgb(back_, key));
    if (!tiles_) {
        if (!blank_)
            return transparent ? transparentBlt(dst, s.dx, s.dy, s.w, s.h, img_, s.sx, s.sy, key)
                               : bitBlt(dst, s.dx, s.dy, s.w, s.h, img_, s.sx, s.sy);
        if (backShows)
            fillBlock(dst, QRect(s.dx, s.dy, s.w, s.h), back_);
        return true;
    }
    QImage scratch;
    const QRect from(s.sx, s.sy, s.w, s.h);
    tiles_->each(from, [&](int t) {
        const QRect r = tiles_->rect(t);
        const QRect part = r.intersected(from);
        const int tx = s.dx + part.x() - s.sx, ty = s.dy + part.y() - s.sy;
        const QImage* v = tiles_->view(t, scratch, false);
        if (!v) {
            if (backShows)
                fillBlock(dst, QRect(tx, ty, part.width(), part.height()), back_);
        } else if (transparent) {
            transparentBlt(dst, tx, ty, part.width(), part.height(), *v, part.x() - r.x(), part.y() - r.y(), key);
        } else {
            bitBlt(dst, tx, ty, part.width(), part.height(), *v, part.x() - r.x(), part.y() - r.y());
        }
    });
    return true;
}

bool PicImage::copyTo(PicImage& dst, int dx, int dy, int w, int h, int sx, int sy, bool transparent, QRgb key) const
{
    Block s{dx, dy, sx, sy, w, h};
    bool empty = true;
    if (!clipBlock(s, size(), dst.size(), empty))
        return false;
    if (empty)
        return true;
    const QRect from(s.sx, s.sy, s.w, s.h);
    const bool srcBlank = tiles_ ? tiles_->blankArea(from) : blank_;
    // A blank source paints its background, or nothing when that is the
    // transparent colour.
    if (srcBlank && transparent && sameRgb(back_, key))
        return true;
    if (!dst.tiles_) {
        if (srcBlank && dst.isBlank() && sameRgb(dst.back_, back_))
            return true;
        return copyTo(dst.image(), s.dx, s.dy, s.w, s.h, s.sx, s.sy, transparent, key);
    }
    const QRect to(s.dx, s.dy, s.w, s.h);
    dst.tiles_->each(to, [&](int t) {
        const QRect r = dst.tiles_->rect(t);
        const QRect part = r.intersected(to);
        if (srcBlank && Tiles::blank(dst.tiles_->tiles[size_t(t)]) && sameRgb(dst.back_, back_))
            return;
        QImage& img = dst.writableTile(t);
        copyTo(img, part.x() - r.x(), part.y() - r.y(), part.width(), part.height(), s.sx + part.x() - s.dx,
               s.sy + part.y() - s.dy, transparent, key);
    });
    return true;
}

void PicImage::fill(const QRect& r, QRgb c)
{
    const QRect in = r.intersected(QRect(0, 0, w_, h_));
    if (in.isEmpty())
        return;
    if (!tiles_) {
        if (blank_ && sameRgb(back_, c))
            return;
        fillBlock(image(), in, c);
        return;
    }
    tiles_->each(in, [&](int t) {
        const QRect tr = tiles_->rect(t);
        Tiles::Tile& tl = tiles_->tiles[size_t(t)];
        if (sameRgb(back_, c) && (Tiles::blank(tl) || in.contains(tr))) {
            if (!Tiles::blank(tl)) {
                freezeWatchers(tr);
                tiles_->clear(t);
            }
            return;
        }
        fillBlock(writableTile(t), in.intersected(tr).translated(-tr.topLeft()), c);
    });
}

void PicImage::paint(QPainter& p, const QRect& r) const
{
    const QRect in = r.intersected(QRect(0, 0, w_, h_));
    if (in.isEmpty())
        return;
    if (!tiles_) {
        if (blank_)
            p.fillRect(in, QColor::fromRgb(back_));
        else
            p.drawImage(in.topLeft(), img_, in);
        return;
    }
    QImage scratch;
    tiles_->each(in, [&](int t) {
        const QRect tr = tiles_->rect(t);
        const QRect part = tr.intersected(in);
        if (const QImage* v = tiles_->view(t, scratch, true))
            p.drawImage(part.topLeft(), *v, part.translated(-tr.topLeft()));
        else
            p.fillRect(part, QColor::fromRgb(back_));
    });
}

void PicImage::resize(int w, int h)
{
    w = std::max(0, w);
    h = std::max(0, h);
    if (w == w_ && h == h_)
        return;
    if (tiles_) {
        freezeWatchers(QRect(0, 0, w_, h_));
        std::unique_ptr<Tiles> old = std::move(tiles_);
        const bool wasBlank = old->blankArea(QRect(0, 0, w_, h_));
        const int oldW = w_, oldH = h_;
        tiles_ = std::make_unique<Tiles>(this);
        w_ = w;
        h_ = h;
        tiles_->layout(w, h);
        if (!wasBlank) {
            // Keeps the drawing where the old and new sizes overlap.
            old->owner = nullptr;
            PicImage before(back_);
            before.w_ = oldW;
            before.h_ = oldH;
            before.tiles_ = std::move(old);
            before.tiles_->owner = &before;
            before.parts_ = parts_;
            before.recipe_ = recipe_;
            const QRect keepArea = QRect(0, 0, oldW, oldH).intersected(QRect(0, 0, w, h));
            tiles_->each(keepArea, [&](int t) {
                const QRect r = tiles_->rect(t);
                const QRect part = r.intersected(keepArea);
                if (!before.tiles_->blankArea(part))
                    before.copyTo(writableTile(t), part.x() - r.x(), part.y() - r.y(), part.width(), part.height(),
                                  part.x(), part.y());
            });
            before.parts_.clear();
        }
        return;
    }
    if (!blank_) {
        QImage next(w, h, QImage::Format_RGB32);
        next.fill(back_);
        const int cw = std::min(w, w_);
        const int ch = std::min(h, h_);
        for (int y = 0; y < ch; ++y)
            std::memcpy(next.scanLine(y), img_.constScanLine(y), static_cast<size_t>(cw) * 4);
        img_ = next;
    }
    w_ = w;
    h_ = h;
}

void PicImage::cls()
{
    if (wantTiled_ && picture_.isNull()) {
        freezeWatchers(QRect(0, 0, w_, h_));
        unlinkParts();
        if (!tiles_) {
            img_ = QImage();
            blank_ = true;
            setTiled(true);
        } else {
            tiles_->layout(w_, h_);
        }
        return;
    }
    if (tiles_)
        flatten();
    if (picture_.isNull()) {
        img_ = QImage();
        blank_ = true;
        return;
    }
    if (picture_.width() == w_ && picture_.height() == h_) {
        img_ = picture_; // shared until drawn on
    } else {
        img_ = QImage(w_, h_, QImage::Format_RGB32);
        img_.fill(back_);
        const int cw = std::min(w_, picture_.width());
        const int ch = std::min(h_, picture_.height());
        for (int y = 0; y < ch; ++y)
            std::memcpy(img_.scanLine(y), picture_.constScanLine(y), static_cast<size_t>(cw) * 4);
    }
    blank_ = false;
}

void PicImage::setPicture(const QImage& picture)
{
    picture_ = picture.isNull() ? QImage() : picture.convertToFormat(QImage::Format_RGB32);
    cls();
}

void PicImage::autoSize()
{
    if (picture_.isNull())
        return;
    w_ = picture_.width();
    h_ = picture_.height();
    cls();
}

void PicImage::assign(const PicImage& other)
{
    const QImage picture = picture_;
    *this = other;
    picture_ = picture;
}

bool PicImage::isBlank() const
{
    if (!tiles_)
        return blank_;
    return tiles_->blankArea(QRect(0, 0, w_, h_));
}

QImage& PicImage::image()
{
    if (tiles_)
        flatten();
    if (blank_) {
        img_ = QImage(w_, h_, QImage::Format_RGB32);
        img_.fill(back_);
        blank_ = false;
    }
    return img_;
}

QRgb PicImage::pixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= w_ || y >= h_)
        return 0;
    if (tiles_) {
        const int t = (y / TileSide) * tiles_->cols + x / TileSide;
        QImage scratch;
        const QImage* v = tiles_->view(t, scratch, false);
        if (!v)
            return back_;
        const QRect r = tiles_->rect(t);
        return reinterpret_cast<const QRgb*>(v->constScanLine(y - r.y()))[x - r.x()];
    }
    if (blank_)
        return back_;
    return reinterpret_cast<const QRgb*>(img_.constScanLine(y))[x];
}

QImage PicImage::snapshot() const
{
    if (tiles_) {
        QImage img(w_, h_, QImage::Format_RGB32);
        img.fill(back_);
        if (w_ > 0 && h_ > 0)
            copyTo(img, 0, 0, w_, h_, 0, 0);
        return img;
    }
    if (!blank_)
        return img_;
    QImage img(w_, h_, QImage::Format_RGB32);
    img.fill(back_);
    return img;
}

namespace {

uint32_t le32(const uchar* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

uint16_t le16(const uchar* p)
{
    return uint16_t(p[0] | p[1] << 8);
}

// One channel of a masked pixel widened to 8 bits by repeating its bits.
int channel(uint32_t pixel, uint32_t mask)
{
    if (mask == 0)
        return 0;
    const int shift = std::countr_zero(mask);
    const int bits = std::popcount(mask);
    uint32_t v = (pixel & mask) >> shift;
    if (bits >= 8)
        return int(v >> (bits - 8));
    uint32_t out = 0;
    int filled = 0;
    while (filled < 8) {
        out = (out << bits) | v;
        filled += bits;
    }
    return int(out >> (filled - 8));
}

enum class BmpResult { Done, NotMine, Bad };

// What a picture may hold: its pixel count bounds the memory it takes; a
// side may be long (a tall sheet of many kinds is normal), sizes being
// counted in 32 bits.
constexpr qint64 MaxPicturePixels = qint64(1) << 26;
constexpr int MaxPictureSide = 1 << 20;

bool tooLarge(qint64 w, qint64 h)
{
    return w > MaxPictureSide || h > MaxPictureSide || w * h > MaxPicturePixels;
}

BmpResult decodeBmp(const QByteArray& file, QImage& out, QString& why)
{
    const auto* d = reinterpret_cast<const uchar*>(file.constData());
    const qsizetype n = file.size();
    if (n < 14 + 16 || d[0] != 'B' || d[1] != 'M')
        return BmpResult::NotMine;
    const uint32_t offset = le32(d + 10);
    const uint32_t hsize = le32(d + 14);
    if (hsize < 40 || 14 + qsizetype(hsize) > n)
        return BmpResult::NotMine;
    const int32_t w = int32_t(le32(d + 18));
    const int32_t hRaw = int32_t(le32(d + 22));
    const int bpp = le16(d + 28);
    const uint32_t compression = le32(d + 30);
    if (bpp != 16 && bpp != 24 && bpp != 32)
        return BmpResult::NotMine;
    if (compression != 0 && compression != 3 && compression != 6)
        return BmpResult::NotMine;
    if (w <= 0 || hRaw == 0 || hRaw == INT32_MIN) {
        why = QStringLiteral("尺寸无效");
        return BmpResult::Bad;
    }
    const bool topDown = hRaw < 0;
    const int32_t h = topDown ? -hRaw : hRaw;
    if (tooLarge(w, h)) {
        why = QStringLiteral("图片过大（%1×%2）").arg(w).arg(h);
        return BmpResult::Bad;
    }
    uint32_t rmask = 0, gmask = 0, bmask = 0;
    if (bpp == 16) {
        rmask = 0x7C00;
        gmask = 0x03E0;
        bmask = 0x001F;
    } else if (bpp == 32) {
        rmask = 0x00FF0000;
        gmask = 0x0000FF00;
        bmask = 0x000000FF;
    }
    if (compression == 3 || compression == 6) {
        if (bpp == 24) {
            why = QStringLiteral("不支持的压缩方式");
            return BmpResult::Bad;
        }
        const qsizetype at = 14 + 40;
        if (at + 12 > n) {
            why = QStringLiteral("文件不完整");
            return BmpResult::Bad;
        }
        rmask = le32(d + at);
        gmask = le32(d + at + 4);
        bmask = le32(d + at + 8);
    }
    const qint64 stride = ((qint64(w) * bpp + 31) / 32) * 4;
    if (qint64(offset) + stride * h > n) {
        why = QStringLiteral("文件不完整");
        return BmpResult::Bad;
    }
    QImage img(w, h, QImage::Format_RGB32);
    for (int32_t row = 0; row < h; ++row) {
        const uchar* src = d + offset + stride * (topDown ? row : h - 1 - row);
        auto* dst = reinterpret_cast<QRgb*>(img.scanLine(row));
        if (bpp == 24) {
            for (int32_t x = 0; x < w; ++x)
                dst[x] = qRgb(src[3 * x + 2], src[3 * x + 1], src[3 * x]);
        } else if (bpp == 16) {
            for (int32_t x = 0; x < w; ++x) {
                const uint32_t p = le16(src + 2 * x);
                dst[x] = qRgb(channel(p, rmask), channel(p, gmask), channel(p, bmask));
            }
        } else {
            for (int32_t x = 0; x < w; ++x) {
                const uint32_t p = le32(src + 4 * x);
                dst[x] = qRgb(channel(p, rmask), channel(p, gmask), channel(p, bmask));
            }
        }
    }
    out = img;
    return BmpResult::Done;
}

} // namespace

bool loadPicture(const QString& path, QImage& out, QString& error, bool bmpOnly)
{
    const QString real = ci::resolve(path);
    QByteArray bytes;
    QString readError;
    if (!readWholeFile(real, bytes, readError, 512ll << 20)) {
        error = QStringLiteral("无法读取图片：%1").arg(readError);
        return false;
    }
    if (bmpOnly && !bytes.startsWith("BM")) {
        error = QStringLiteral("无法读取图片：%1（不是BMP图片）").arg(real);
        return false;
    }
    QString why;
    switch (decodeBmp(bytes, out, why)) {
    case BmpResult::Done:
        return true;
    case BmpResult::Bad:
        error = QStringLiteral("无法读取图片：%1（%2）").arg(real, why);
        return false;
    case BmpResult::NotMine:
        break;
    }
    QImage img;
    if (!img.loadFromData(bytes) || img.isNull()) {
        error = QStringLiteral("无法读取图片：%1（不是可识别的图片文件）").arg(real);
        return false;
    }
    if (tooLarge(img.width(), img.height())) {
        error = QStringLiteral("无法读取图片：%1（图片过大）").arg(real);
        return false;
    }
    out = img.convertToFormat(QImage::Format_RGB32);
    return true;
}

} // namespace fr
