#include "keys.h"

#include "app.h"
#include "form.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace fr {

int keyCode(const QKeyEvent* e)
{
    const int k = e->key();
    const bool keypad = e->modifiers() & Qt::KeypadModifier;
    if (k >= Qt::Key_0 && k <= Qt::Key_9)
        return keypad ? 96 + (k - Qt::Key_0) : k;
    if (k >= Qt::Key_A && k <= Qt::Key_Z)
        return k;
    if (k >= Qt::Key_F1 && k <= Qt::Key_F12)
        return 112 + (k - Qt::Key_F1);
    if (!keypad) {
        // Shift turns the digit row into symbols; the key is still the digit.
        switch (k) {
        case Qt::Key_Exclam: return '1';
        case Qt::Key_At: return '2';
        case Qt::Key_NumberSign: return '3';
        case Qt::Key_Dollar: return '4';
        case Qt::Key_Percent: return '5';
        case Qt::Key_AsciiCircum: return '6';
        case Qt::Key_Ampersand: return '7';
        case Qt::Key_Asterisk: return '8';
        case Qt::Key_ParenLeft: return '9';
        case Qt::Key_ParenRight: return '0';
        default: break;
        }
    }
    switch (k) {
    case Qt::Key_Escape: return 27;
    case Qt::Key_Space: return 32;
    case Qt::Key_Delete: return 46;
    case Qt::Key_Insert: return 45;
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    case Qt::Key_Tab: return 9;
    case Qt::Key_Backspace: return 8;
    case Qt::Key_PageUp: return 33;
    case Qt::Key_PageDown: return 34;
    case Qt::Key_End: return 35;
    case Qt::Key_Home: return 36;
    case Qt::Key_Left: return 37;
    case Qt::Key_Up: return 38;
    case Qt::Key_Right: return 39;
    case Qt::Key_Down: return 40;
    case Qt::Key_Shift: return 16;
    case Qt::Key_Control: return 17;
    case Qt::Key_Alt: return 18;
    default: break;
    }
    // Some layouts report a shifted digit under another symbol; the X key
    // codes 10..19 are the digit row 1..9, 0.
    const quint32 scan = e->nativeScanCode();
    if (!keypad && scan >= 10 && scan <= 19)
        return scan == 19 ? '0' : int('1' + (scan - 10));
    return 0;
}

int shiftState(Qt::KeyboardModifiers mods)
{
    int s = 0;
    if (mods & Qt::ShiftModifier)
        s |= 1;
    if (mods & Qt::ControlModifier)
        s |= 2;
    if (mods & Qt::AltModifier)
        s |= 4;
    return s;
}

KeyPreview::KeyPreview(QWidget* window, Form* form) : window_(window), form_(form)
{
    qApp->installEventFilter(this);
}

KeyPreview::~KeyPreview()
{
    qApp->removeEventFilter(this);
}

bool KeyPreview::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    auto* w = qobject_cast<QWidget*>(watched);
    if (!w || w->window() != window_ || QApplication::activeModalWidget())
        return false;
    // A key event travels from the focus widget up to its parents; act on
    // its first delivery only.
    QWidget* first = QApplication::focusWidget();
    if (!first || first->window() != window_)
        first = window_;
    if (w != first)
        return false;
    auto* ke = static_cast<QKeyEvent*>(event);
    bool handled = false;
    guarded([&] { handled = form_->formKeyDown(keyCode(ke), shiftState(ke->modifiers())); });
    return handled;
}

} // namespace fr
