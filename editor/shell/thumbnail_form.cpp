#include "thumbnail_form.h"

#include "main_form.h"

#include "platform/blit.h"
#include "platform/keys.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <cmath>

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

void WholeMapPic::Form_Resize()
{
    const Module1& M = main_.M;
    // Sizes compare and scale as numbers, whatever form they were typed in.
    const double w = main_.HasMap() ? M.MapWidth.number() : 0;
    const double h = main_.HasMap() ? M.MapHeight.number() : 0;
    const QSize zoom = ZoomSize(w, h, M.ScreenWidth, M.ScreenHeight);
    ZoomPicture->move(0, 0);
    ZoomPicture->resize(zoom);
    QImage img;
    if (!zoom.isEmpty()) {
        img = QImage(zoom, QImage::Format_RGB32);
        img.fill(Qt::black);
        const QImage composite = main_.Picture1->pic().snapshot();
        fr::stretch(img, QRectF(0, 0, zoom.width(), zoom.height()), composite,
                    QRect(0, 0, int(32 * w), int(32 * h)));
    }
    ZoomPicture->image = img;
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
