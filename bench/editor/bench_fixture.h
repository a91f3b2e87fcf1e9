#pragma once
// What the editor's benchmarks share: one Main on sheets made in memory, and
// map files of a given side written once into a temporary game folder.
#include "shell/main_form.h"
#include "shell/module1.h"

#include <QEvent>
#include <QPoint>
#include <QString>

class QWidget;

namespace benchfx {

tilesmith::Main& main();
tilesmith::Module1& data();
// The game folder (ends with '/').
QString root();
// A side×side map with a full ground layer, trees on layers 4 and 5,
// obstacles and events, or (filled) with all seven layers drawn in every
// cell; written on first use.
QString MapFile(int side, bool filled = false);
// The process's peak resident memory in MiB since the last ResetPeak().
double PeakMiB();
// The process's resident memory now, in MiB.
double ResidentMiB();
void ResetPeak();

// A copy of the demo's Map/huge.jmap (181×181, all seven layers drawn in
// every cell) in the benchmark's game folder; empty when the demo has none.
QString CapMap();
// Runs what is posted, as the event loop would between two inputs.
void Settle();
// A mouse event delivered to a widget at a point of it.
void Mouse(QWidget* w, QEvent::Type type, QPoint at, Qt::MouseButton button);
// Opens the thumbnail from the menu and closes it with a click on it, as a
// map maker does; how many times that opening scaled the map.
int OpenThumbnail();
// Takes a block of cols×rows cells of the edit layer from cell (col, row)
// as the brush, as the mouse does: a right press on the cursor box starts the
// region copy, a left press on the map ends it. False when the brush is not
// that block.
bool CopyBlock(int col, int row, int cols, int rows);

} // namespace benchfx
