#pragma once
// What the editor's benchmarks share: one Main on sheets made in memory, and
// map files of a given side written once into a temporary game folder.
#include "shell/main_form.h"
#include "shell/module1.h"

#include <QString>

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

} // namespace benchfx
