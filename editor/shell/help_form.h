#pragma once
// HelpForm: a small window with a help picture; it has no behaviour of its
// own.
#include "platform/form.h"

#include <QWidget>

class QLabel;

namespace tilesmith {

class HelpForm : public fr::FormWindow<QWidget> {
public:
    HelpForm();
    QLabel* Picture1 = nullptr;
};

} // namespace tilesmith
