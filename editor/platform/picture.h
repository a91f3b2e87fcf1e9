#pragma once
// Pictures whose drawing persists: an off-screen image with a background
// colour and an assigned picture, as the editor's picture boxes hold them.
// Every image is Format_RGB32 with alpha 0xFF.
#include <QImage>
#include <QString>

#include <cstdint>

namespace fr {

// Pure blue, the transparent colour of every layer picture.
inline constexpr QRgb keyColour = 0xFF0000FFu;

// A blue-green-red colour value (0x00BBGGRR) as an opaque QRgb.
QRgb bgr(uint32_t colorref);

class PicImage {
public:
    explicit PicImage(QRgb back = keyColour);

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
    bool isBlank() const { return blank_; }
    // The current image, made real on first use.
    QImage& image();
    // Makes this image the same as another of the same size (sharing its
    // pixels until either is drawn on).
    void assign(const PicImage& other);
    // The pixels of an image that is not blank.
    const QImage& realImage() const { return img_; }
    QRgb pixel(int x, int y) const;
    // The current image as it would show (a blank one filled with back).
    QImage snapshot() const;

private:
    int w_ = 0;
    int h_ = 0;
    QRgb back_;
    QImage img_;
    QImage picture_;
    bool blank_ = true;
};

// Loads a picture file as RGB32. BMP files of 16, 24 and 32 bits are decoded
// here (16-bit channels widen by bit replication, so 0x001F is pure blue);
// other formats go through Qt's readers (with `bmpOnly`, only BMP files are
// taken). On failure `error` names the path.
bool loadPicture(const QString& path, QImage& out, QString& error, bool bmpOnly = false);

} // namespace fr
