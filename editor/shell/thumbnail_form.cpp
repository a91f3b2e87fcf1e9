#include "thumbnail_form.h"

#include "main_form.h"

#include "platform/blit.h"
#include "platform/picture.h"
#include "platform/keys.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <vector>

namespace tilesmith {

ZoomBox::ZoomBox(QWidget* parent) : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ZoomBox::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (image.isNull())
        p.fillRect(rect(), Qt::black);
    else
        p.drawImage(0, 0, image);
    // The game screen at the map's top-left corner: a light frame with a
    // dark one inside it, so it shows on any ground.
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 0), 2));
    p.drawRect(Image1.adjusted(1, 1, -1, -1));
    p.setPen(QPen(QColor(0, 0, 0), 1));
    p.drawRect(Image2.adjusted(2.5, 2.5, -2.5, -2.5));
}

void ZoomBox::mousePressEvent(QMouseEvent*)
{
    if (onClose)
        fr::guarded(onClose);
}

void ZoomBox::keyPressEvent(QKeyEvent* e)
{
    if (fr::keyCode(e) == 'S' && onClose)
        fr::guarded(onClose);
}

namespace {

// Which source pixel each of `to` pixels shows when `from` pixels are
// stretched over them, as the stretch blit picks them: worked out by
// stretching a line whose pixels hold their own positions.
std::vector<int> Picks(int from, int to, bool across)
{
    QImage line(across ? QSize(from, 2) : QSize(2, from), QImage::Format_RGB32);
    for (int i = 0; i < from; ++i)
        for (int k = 0; k < 2; ++k)
            line.setPixel(across ? QPoint(i, k) : QPoint(k, i), 0xFF000000u | uint32_t(i));
    QImage out(across ? QSize(to, 2) : QSize(2, to), QImage::Format_RGB32);
    out.fill(0xFF000000u);
    fr::stretch(out, QRectF(QPointF(0, 0), QSizeF(out.size())), line, line.rect());
    std::vector<int> picks(static_cast<size_t>(to));
    for (int i = 0; i < to; ++i)
        picks[size_t(i)] = std::clamp(int(out.pixel(across ? QPoint(i, 0) : QPoint(0, i)) & 0xFFFFFFu), 0, from - 1);
    return picks;
}

// The map picture stretched over `to` pixels, as the stretch blit of its
// whole image would show it, read one band of tile rows at a time: at the
// size cap the whole image would be 134 MiB, and only a band is held here.
QImage Scaled(const fr::PicImage& pic, QSize from, QSize to)
{
    QImage out(to, QImage::Format_RGB32);
    out.fill(Qt::black);
    if (from.isEmpty() || to.isEmpty())
        return out;
    const std::vector<int> cols = Picks(from.width(), to.width(), true);
    const std::vector<int> rows = Picks(from.height(), to.height(), false);
    QImage band;
    int bandTop = -1;
    for (int y = 0; y < to.height(); ++y) {
        const int sy = rows[size_t(y)];
        if (bandTop < 0 || sy < bandTop || sy >= bandTop + band.height()) {
            bandTop = sy - sy % fr::TileSide;
            band = QImage(from.width(), std::min(fr::TileSide, from.height() - bandTop), QImage::Format_RGB32);
            band.fill(Qt::black);
            pic.copyTo(band, 0, 0, band.width(), band.height(), 0, bandTop);
        }
        const auto* src = reinterpret_cast<const QRgb*>(band.constScanLine(sy - bandTop));
        auto* dst = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < to.width(); ++x)
            dst[x] = src[cols[size_t(x)]];
    }
    return out;
}

} // namespace

WholeMapPic::WholeMapPic(Main& main) : main_(main)
{
    setWindowTitle(QStringLiteral("Form1"));
    setAttribute(Qt::WA_DeleteOnClose);
    ZoomPicture = new ZoomBox(this);
    ZoomPicture->onClose = [this] { unloadForm(); };
}

void WholeMapPic::unloadForm()
{
    main_.WholeMapPicForm.unload();
}

void WholeMapPic::mousePressEvent(QMouseEvent*)
{
    fr::guarded([this] { unloadForm(); });
}

void WholeMapPic::showEvent(QShowEvent* e)
{
    fr::FormWindow<QWidget>::showEvent(e);
    ZoomPicture->setFocus();
}

QSize WholeMapPic::ZoomSize(double mapWidth, double mapHeight, double screenWidth, double screenHeight)
{
    if (!(mapWidth > 0) || !(mapHeight > 0) || !(screenWidth > 0) || !(screenHeight > 0))
        return {};
    // The smaller of the two scales: the longer side (relative to the
    // screen) fills the screen and the whole map shows.
    const double scale = std::min(screenWidth / (32 * mapWidth), screenHeight / (32 * mapHeight));
    return {int(std::lround(32 * mapWidth * scale)), int(std::lround(32 * mapHeight * scale))};
}

void WholeMapPic::formResize()
{
    Form_Resize();
}

void WholeMapPic::Redraw()
{
    ZoomPicture->image = QImage();
    Form_Resize();
}

void WholeMapPic::Form_Resize()
{
    const Module1& M = main_.M;
    // Sizes compare and scale as numbers, whatever form they were typed in.
    const double w = main_.HasMap() ? M.MapWidth.number() : 0;
    const double h = main_.HasMap() ? M.MapHeight.number() : 0;
    const QSize zoom = ZoomSize(w, h, M.ScreenWidth, M.ScreenHeight);
    ZoomPicture->move(0, 0);
    ZoomPicture->resize(zoom);
    // The window resizes itself to the thumbnail after it shows, and every
    // resize comes back here: scaling the map at the size cap takes most of
    // a second, so a picture of the right size is kept.
    if (zoom.isEmpty()) {
        ZoomPicture->image = QImage();
    } else if (ZoomPicture->image.size() != zoom) {
        ++builds_;
        ZoomPicture->image = Scaled(main_.Picture1->pic(), QSize(int(32 * w), int(32 * h)), zoom);
    }
    if (zoom.isEmpty()) {
        ZoomPicture->Image1 = ZoomPicture->Image2 = QRectF();
    } else {
        const double frameH = double(M.GameHeight) * zoom.height() / (32 * h);
        const double frameW = frameH * M.GameWidth.number() / M.GameHeight;
        ZoomPicture->Image1 = QRectF(0, 0, frameW, frameH);
        ZoomPicture->Image2 = ZoomPicture->Image1;
    }
    ZoomPicture->update();
    // The form sits at the screen's top left, sized to the thumbnail.
    if (!zoom.isEmpty() && size() != zoom) {
        move(0, 0);
        resize(zoom);
    }
}

} // namespace tilesmith
