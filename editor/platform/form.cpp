#include "form.h"

namespace fr {
namespace {

Form* g_lastActive = nullptr;
Form* g_justShown = nullptr;

} // namespace

void Form::hideAndShow()
{
    QWidget* w = formWidget();
    w->show();
    w->raise();
    w->activateWindow();
    w->update();
}

namespace detail {

void formShown(Form* f)
{
    g_justShown = f;
    if (f->formWidget()->isActiveWindow())
        formFocusIn(f);
}

void formFocusIn(Form* f)
{
    if (f == g_lastActive && f != g_justShown)
        return;
    g_lastActive = f;
    if (g_justShown == f)
        g_justShown = nullptr;
    guarded([f] { f->formActivate(); });
}

void formGone(Form* f)
{
    if (g_lastActive == f)
        g_lastActive = nullptr;
    if (g_justShown == f)
        g_justShown = nullptr;
}

} // namespace detail
} // namespace fr
