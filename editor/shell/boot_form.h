#pragma once
// BootBlog: the start-up form. It shows the splash picture while one timer
// event loads the sheets and the attribute lists, then shows Main and hides
// itself. Later it only shows the splash again when asked.
#include "main_form.h"
#include "module1.h"
#include "module2.h"

#include "platform/form.h"
#include "platform/timer.h"

#include <QWidget>

#include <functional>

class QLabel;

namespace tilesmith {

class BootBlog : public fr::FormWindow<QWidget> {
public:
    BootBlog();

    void formLostFocus() override;
    void formQueryUnload(bool& cancel) override;

    QLabel* Picture = nullptr;
    QLabel* Label1 = nullptr;
    fr::Timer Timer1;
    // The loader, run by the first tick of Timer1.
    std::function<void()> onLoad;
};

namespace StartUp {

// The loader: the editor's folder, Main (created here, hidden), the five
// sheets, the sheet heights, the three attribute lists; then Main is shown
// and BootBlog hidden. A sheet that cannot be loaded ends the program.
void run(BootBlog& boot, Module1& m, Module2& procs, fr::FormRef<Main>& main);

} // namespace StartUp

} // namespace tilesmith
