#pragma once
// WholeMapPic: the whole map at once, scaled to fit the screen, with the
// extent of one game screen framed at its top-left corner. Any click or the
// S key closes it; every opening draws it anew from the current map.
#include "platform/form.h"

#include <QImage>
#include <QRectF>
#include <QWidget>

#include <functional>

namespace tilesmith {

class Main;

// The scaled map and the two frames over it.
class ZoomBox : public QWidget {
public:
    explicit ZoomBox(QWidget* parent);
    QImage image;
    QRectF Image1;
    QRectF Image2;
    std::function<void()> onClose; // a click, or S

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
};

class WholeMapPic : public fr::FormWindow<QWidget> {
public:
    explicit WholeMapPic(Main& main);

    void formResize() override;
    // Sizes the form and the thumbnail to the map; the map is scaled only
    // when the thumbnail has no picture of that size yet.
    void Form_Resize();
    // Scales the map anew, as it is now, and sizes the form to it: what an
    // opening does, once, before the window shows.
    void Redraw();
    // How many times this opening has drawn the thumbnail.
    int Builds() const { return builds_; }

    ZoomBox* ZoomPicture = nullptr;

    // The thumbnail's size for a map of w×h tiles on a screen: the map keeps
    // its proportions and fits the screen whole. Empty for an empty map.
    static QSize ZoomSize(double mapWidth, double mapHeight, double screenWidth, double screenHeight);

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void showEvent(QShowEvent* e) override;

private:
    void unloadForm();
    Main& main_;
    int builds_ = 0;
};

} // namespace tilesmith
