#include "embedded.h"

#include "platform/picture.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>

namespace tilesmith::embedded {
namespace {

QImage blue(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(fr::keyColour);
    return img;
}

// Markers are drawn without smoothing so that no blended pixel appears
// around them: every pixel is either the mark or exactly the key colour.
void crisp(QPainter& p)
{
    p.setRenderHint(QPainter::Antialiasing, false);
}

} // namespace

QImage obstacleMarker()
{
    QImage img = blue(32, 32);
    QPainter p(&img);
    crisp(p);
    const QColor red(230, 20, 20);
    p.setPen(QPen(red, 1));
    p.drawRect(1, 1, 29, 29);
    p.setPen(QPen(red, 2));
    p.drawLine(8, 8, 23, 23);
    p.drawLine(23, 8, 8, 23);
    return img;
}

QImage eventMarker()
{
    QImage img = blue(32, 32);
    QPainter p(&img);
    crisp(p);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(20, 200, 40));
    const QPoint diamond[] = {{16, 9}, {23, 16}, {16, 23}, {9, 16}};
    p.drawPolygon(diamond, 4);
    p.setBrush(QColor(250, 250, 120));
    p.drawRect(15, 15, 2, 2);
    return img;
}

QImage eventEraserCursor()
{
    QImage img = eventMarker();
    QPainter p(&img);
    crisp(p);
    p.setPen(QPen(QColor(255, 255, 255), 2));
    p.drawLine(6, 26, 26, 6);
    return img;
}

QImage eraserCursor()
{
    QImage img = blue(32, 32);
    QPainter p(&img);
    crisp(p);
    p.setPen(QPen(QColor(255, 255, 255), 1));
    p.drawRect(0, 0, 31, 31);
    p.setPen(QPen(QColor(255, 160, 200), 1));
    p.drawRect(2, 2, 27, 27);
    return img;
}

QImage blankSquare()
{
    return blue(32, 32);
}

QImage roleCells()
{
    QImage img = blue(64, 96);
    QPainter p(&img);
    crisp(p);
    for (int cell = 0; cell < 4; ++cell) {
        const int x = (cell % 2) * 32;
        const int y = (cell / 2) * 48;
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(200, 60, 40));
        p.drawRect(x + 9, y + 18, 14, 18); // body
        p.setBrush(QColor(250, 210, 170));
        p.drawEllipse(x + 10, y + 4, 12, 12); // head
        p.setBrush(QColor(60, 40, 20));
        p.drawRect(x + 10, y + 36, 5, 10); // legs
        p.drawRect(x + 17, y + 36, 5, 10);
        // Eyes show which way the cell faces: top left right, top right up
        // (from behind, no eyes), bottom left left, bottom right down (from
        // the front, both eyes).
        p.setBrush(QColor(0, 0, 0));
        if (cell == 0) {
            p.drawRect(x + 19, y + 9, 2, 2);
        } else if (cell == 2) {
            p.drawRect(x + 12, y + 9, 2, 2);
        } else if (cell == 3) {
            p.drawRect(x + 13, y + 9, 2, 2);
            p.drawRect(x + 18, y + 9, 2, 2);
        }
    }
    return img;
}

QImage splash()
{
    QImage img(387, 474, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    QLinearGradient sky(0, 0, 0, 474);
    sky.setColorAt(0, QColor(40, 70, 140));
    sky.setColorAt(0.6, QColor(120, 170, 220));
    sky.setColorAt(1, QColor(70, 140, 60));
    p.fillRect(img.rect(), sky);
    // A small tile field at the bottom.
    for (int ty = 0; ty < 4; ++ty)
        for (int tx = 0; tx < 13; ++tx) {
            const QColor c = (tx + ty) % 2 ? QColor(86, 150, 70) : QColor(96, 165, 78);
            p.fillRect(tx * 30, 354 + ty * 30, 30, 30, c);
        }
    p.setPen(QColor(255, 255, 255));
    QFont title = p.font();
    title.setPixelSize(44);
    title.setBold(true);
    p.setFont(title);
    p.drawText(QRect(0, 90, 387, 60), Qt::AlignCenter, QStringLiteral("tilesmith"));
    QFont sub = p.font();
    sub.setPixelSize(22);
    sub.setBold(false);
    p.setFont(sub);
    p.drawText(QRect(0, 150, 387, 40), Qt::AlignCenter, QStringLiteral("地图编辑器"));
    return img;
}

QImage helpPicture()
{
    QImage img(122, 200, QImage::Format_RGB32);
    img.fill(QColor(255, 255, 192));
    QPainter p(&img);
    crisp(p);
    // Seven stacked layers, the role between the fourth and the fifth.
    for (int i = 0; i < 7; ++i) {
        const int y = 170 - i * 22;
        p.setPen(QColor(80, 80, 80));
        p.setBrush(QColor(120 + i * 18, 160, 220 - i * 20));
        p.drawRect(20, y, 82, 14);
        if (i == 3) {
            p.setBrush(QColor(200, 60, 40));
            p.drawEllipse(55, y - 10, 12, 12);
        }
    }
    return img;
}

} // namespace tilesmith::embedded
