#include "picture.h"

#include "paths.h"

#include <QFile>
#include <QImageReader>
#include <QPainter>

#include <bit>
#include <cstring>

namespace fr {

QRgb bgr(uint32_t colorref)
{
    return qRgb(colorref & 0xFF, (colorref >> 8) & 0xFF, (colorref >> 16) & 0xFF);
}

PicImage::PicImage(QRgb back) : back_(back) {}

void PicImage::resize(int w, int h)
{
    w = std::max(0, w);
    h = std::max(0, h);
    if (w == w_ && h == h_)
        return;
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
    w_ = other.w_;
    h_ = other.h_;
    back_ = other.back_;
    blank_ = other.blank_;
    img_ = other.img_;
}

QImage& PicImage::image()
{
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
    if (blank_)
        return back_;
    return reinterpret_cast<const QRgb*>(img_.constScanLine(y))[x];
}

QImage PicImage::snapshot() const
{
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
