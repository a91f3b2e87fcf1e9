#pragma once
// The pictures that come with the editor, drawn here rather than stored:
// markers and cursors on a pure-blue (transparent) ground, the role's sprite
// cells and the splash picture.
#include <QImage>

namespace tilesmith::embedded {

QImage obstacleMarker();    // 32×32, a red mark
QImage eventMarker();       // 32×32, a green mark that leaves the red one visible
QImage eventEraserCursor(); // 32×32
QImage eraserCursor();      // 32×32
QImage blankSquare();       // 32×32 pure blue
QImage roleCells();         // 64×96, four 32×48 cells: right, up / left, down
QImage splash();            // 387×474
QImage helpPicture();       // 122×200

} // namespace tilesmith::embedded
