#pragma once
// Keys as the editor's handlers see them: Windows virtual-key codes and a
// shift state of 1 (Shift), 2 (Ctrl) and 4 (Alt) added together.
#include <QObject>

class QKeyEvent;
class QWidget;

namespace fr {

class Form;

// Letters give 65..90 whatever the shift state, the digit row 48..57 (also
// when Shift turned them into symbols), keypad digits 96..105, F1..F12
// 112..123, Esc 27, Space 32, Delete 46; keys without a code give 0.
int keyCode(const QKeyEvent* e);
int shiftState(Qt::KeyboardModifiers mods);

// Lets a form see every key pressed in it before its controls do. Keys the
// form handles (formKeyDown returns true) go no further. Nothing is
// previewed while a modal window is up.
class KeyPreview : public QObject {
public:
    KeyPreview(QWidget* window, Form* form);
    ~KeyPreview() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* window_;
    Form* form_;
};

} // namespace fr
