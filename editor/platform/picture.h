#pragma once
// Pictures whose drawing persists: an off-screen image with a background
// colour and an assigned picture, as the editor's picture boxes hold them.
// Every image is Format_RGB32 with alpha 0xFF.
#include <QImage>
#include <QRect>
#include <QString>

#include <bitset>
#include <cstdint>
#include <memory>
#include <vector>

class QPainter;

namespace fr {

// Pure blue, the transparent colour of every layer picture.
inline constexpr QRgb keyColour = 0xFF0000FFu;

// A blue-green-red colour value (0x00BBGGRR) as an opaque QRgb.
QRgb bgr(uint32_t colorref);

// Side in pixels of the square pieces a tiled picture keeps.
inline constexpr int TileSide = 128;

// One copy into a tiled picture that is made only when its pixels are
// needed: a block of a recipe source at (sx, sy) to (x, y), plain or laid
// with the transparent colour.
struct PicDraw {
    int16_t x = 0, y = 0;
    int32_t sx = 0, sy = 0;
    uint8_t w = 0, h = 0;
    uint8_t src = 0;
    bool transparent = false;
    bool operator==(const PicDraw&) const = default;
};

// The pictures the draws of a tiled picture copy from, kept as they were
// when the draws were made. `rebuild` gives the draws that make one area
// from what the picture shows now (its document), when it can.
class PicRecipe {
public:
    explicit PicRecipe(std::vector<QImage> sources) : sources_(std::move(sources)) {}
    virtual ~PicRecipe() = default;
    const QImage& source(int i) const { return sources_[static_cast<size_t>(i)]; }
    int sourceCount() const { return static_cast<int>(sources_.size()); }
    virtual bool rebuild(const QRect& area, std::vector<PicDraw>& out) const { return false; }

private:
    std::vector<QImage> sources_;
};

class PicImage {
public:
    explicit PicImage(QRgb back = keyColour);
    ~PicImage();
    // A copy of a tiled picture holds its pixels whole.
    PicImage(const PicImage& other);
    PicImage& operator=(const PicImage& other);

    int width() const { return w_; }
    int height() const { return h_; }
    QSize size() const { return {w_, h_}; }

    // Keeps the drawing where old and new sizes overlap; the rest is the
    // background colour.
    void resize(int w, int h);
    // Background colour, then the assigned picture at (0, 0).
    void cls();
    // Assigns a picture and shows it (background first where it does not
    // reach). A null image removes the picture.
    void setPicture(const QImage& picture);
    const QImage& picture() const { return picture_; }
    // Sizes the image to its picture.
    void autoSize();

    QRgb back() const { return back_; }
    void setBack(QRgb c) { back_ = c; }

    // Cleared and never drawn: no pixels are held. Blits from a blank image
    // paint its background colour, and nothing at all when that colour is
    // the transparent one.
    bool isBlank() const;
    // The current image, made real on first use.
    QImage& image();
    // Makes this image the same as another of the same size (sharing its
    // pixels until either is drawn on).
    void assign(const PicImage& other);
    // The pixels of an image that is neither blank nor tiled.
    const QImage& realImage() const { return img_; }
    QRgb pixel(int x, int y) const;
    // The current image as it would show (a blank one filled with back).
    QImage snapshot() const;

    // ---- Tiled pictures ----------------------------------------------------
    // A tiled picture (the map-sized ones) keeps its pixels in square tiles,
    // each held only once something has been drawn into it; until then a
    // tile is blank, or made when needed from the draws of its recipe or by
    // laying other pictures over one another. It shows, copies and reads
    // exactly the pixels a whole image drawn the same way would.
    void setTiled(bool on);
    bool isTiled() const { return tiles_ != nullptr; }
    // Whether setTiled(true) tiles at all (it always does unless switched
    // off, as the tests do to compare with whole pictures).
    static void setTilingAllowed(bool on);
    // The sources of later draws and of rebuilt tiles.
    void setRecipe(std::shared_ptr<const PicRecipe> recipe);
    const std::shared_ptr<const PicRecipe>& recipe() const { return recipe_; }
    // Draws as bitBlt or transparentBlt from the recipe's source would
    // (returning what they return), but only when the pixels are needed. An
    // opaque draw over a whole tile replaces what the tile held.
    bool drawLater(const PicDraw& d);
    // The same for a block of any size, laid as draws of at most one tile.
    bool drawLater(int x, int y, int w, int h, uint8_t src, int sx, int sy, bool transparent = false);
    // Clears, then lays `parts` over one another with the transparent
    // colour, bottom first. A part drawn into later changes nothing here,
    // as with a copy.
    void composeOf(const std::vector<const PicImage*>& parts);
    // Tiles drawn into that are again what their recipe or their parts
    // make give up their pixels. Runs by itself once the event that drew
    // is over; settleAll() does it now for every picture.
    void settle();
    static void settleAll();
    // The recipe sources that draws waiting in the tiles copy from.
    std::bitset<256> sourcesDrawn() const;
    // The draws the tile holding point (x, y) is made from: none for a tile
    // that is blank, holds pixels or is laid from other pictures.
    std::vector<PicDraw> tileDraws(int x, int y) const;
    // Exchanges the drawing (size, pixels, tiles, recipe) with another
    // picture; what each is laid from or onto stays.
    void swapDrawing(PicImage& other);

    // Copies a block of this picture into `dst` as bitBlt (or, with
    // `transparent`, transparentBlt) from it would.
    bool copyTo(QImage& dst, int dx, int dy, int w, int h, int sx, int sy, bool transparent = false,
                QRgb key = keyColour) const;
    // The same into another picture.
    bool copyTo(PicImage& dst, int dx, int dy, int w, int h, int sx, int sy, bool transparent = false,
                QRgb key = keyColour) const;
    // Fills a rectangle (clipped) with a colour.
    void fill(const QRect& r, QRgb c);
    // Paints the part `r` of the picture at `r`'s place.
    void paint(QPainter& p, const QRect& r) const;

private:
    struct Tiles;
    friend struct Tiles;
    void flatten();
    // Tiles of this picture under `r` that are made from others get pixels
    // of their own (before those others change).
    void freeze(const QRect& r);
    void freezeWatchers(const QRect& r);
    void unlinkParts();
    QImage& writableTile(int t);

    int w_ = 0;
    int h_ = 0;
    QRgb back_;
    QImage img_;
    QImage picture_;
    bool blank_ = true;
    bool wantTiled_ = false;
    std::unique_ptr<Tiles> tiles_;
    std::shared_ptr<const PicRecipe> recipe_;
    // Pictures this one is laid from, and pictures laid from this one.
    std::vector<const PicImage*> parts_;
    std::vector<PicImage*> watchers_;
};

// Loads a picture file as RGB32. BMP files of 16, 24 and 32 bits are decoded
// here (16-bit channels widen by bit replication, so 0x001F is pure blue);
// other formats go through Qt's readers (with `bmpOnly`, only BMP files are
// taken). On failure `error` names the path.
bool loadPicture(const QString& path, QImage& out, QString& error, bool bmpOnly = false);

} // namespace fr
