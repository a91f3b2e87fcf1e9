#include "picbox.h"

#include "app.h"
#include "keys.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

namespace fr {

PicBox::PicBox(QWidget* parent, QRgb back) : QWidget(parent), pic_(back)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PicBox::setBoxSize(int w, int h)
{
    w = std::max(0, w);
    h = std::max(0, h);
    pic_.resize(w, h);
    resize(w, h);
    update();
}

void PicBox::paintEvent(QPaintEvent* e)
{
    QPainter p(this);
    const QRect r = e->rect();
    const QRect inside = r.intersected(QRect(0, 0, pic_.width(), pic_.height()));
    pic_.paint(p, inside);
    // Beyond the image (the widget larger than its picture) shows the back.
    const QRegion rest = QRegion(r).subtracted(QRegion(inside));
    for (const QRect& rr : rest)
        p.fillRect(rr, QColor::fromRgb(pic_.back()));
    if (onPaintOver)
        onPaintOver(p);
}

namespace {

int buttonBits(Qt::MouseButtons b)
{
    int bits = 0;
    if (b & Qt::LeftButton)
        bits |= 1;
    if (b & Qt::RightButton)
        bits |= 2;
    if (b & Qt::MiddleButton)
        bits |= 4;
    return bits;
}

} // namespace

void PicBox::dispatch(const MouseHandler& h, QMouseEvent* e, bool useButtons)
{
    if (!h)
        return;
    const int button = useButtons ? buttonBits(e->buttons()) : buttonBits(e->button());
    const QPoint pos = e->position().toPoint();
    const int shift = shiftState(e->modifiers());
    guarded([&] { h(button, shift, pos.x(), pos.y()); });
}

void PicBox::mousePressEvent(QMouseEvent* e)
{
    dispatch(onMouseDown, e, false);
}

void PicBox::mouseMoveEvent(QMouseEvent* e)
{
    dispatch(onMouseMove, e, true);
}

void PicBox::mouseReleaseEvent(QMouseEvent* e)
{
    dispatch(onMouseUp, e, false);
}

} // namespace fr
