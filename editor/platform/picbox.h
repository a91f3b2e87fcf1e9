#pragma once
// A picture box on a form: shows a PicImage, repainting only what was
// exposed, and reports the mouse as the editor's handlers expect it (button
// 1 left, 2 right, 4 middle; shift state 1/2/4; x and y in pixels of the
// box). A pressed button keeps the mouse until it is released.
#include "picture.h"

#include <QWidget>

#include <functional>

class QPainter;

namespace fr {

class PicBox : public QWidget {
public:
    explicit PicBox(QWidget* parent = nullptr, QRgb back = keyColour);

    PicImage& pic() { return pic_; }
    const PicImage& pic() const { return pic_; }
    // Sizes the widget and its image together.
    void setBoxSize(int w, int h);
    // Call after drawing into pic() so the change shows.
    void refresh() { update(); }

    // Draws what lies over the picture (shapes and lines of the form), after
    // the picture, in the box's coordinates.
    std::function<void(QPainter&)> onPaintOver;

    using MouseHandler = std::function<void(int button, int shift, int x, int y)>;
    MouseHandler onMouseDown;
    MouseHandler onMouseMove;
    MouseHandler onMouseUp;

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    void dispatch(const MouseHandler& h, QMouseEvent* e, bool useButtons);
    PicImage pic_;
};

} // namespace fr
