#pragma once
// The attribute definition dialog: adds, changes or deletes one record of
// the role, NPC or monster attribute list, keeping the list file and the
// kind's form rows in step.
#include "tool_forms.h"

class QComboBox;
class QLineEdit;

namespace tilesmith {

class Module2;

class AddNewAttribute : public fr::FormWindow<QWidget> {
public:
    AddNewAttribute(Module1& m, Module2& p, ToolFormsImpl& tools);
    void formLoad() override;

    void command1(); // add or confirm, by the button's caption
    void command3(); // delete
    void command2(); // cancel

    // Whether the open dialog serves this request: the same kind and mode
    // and, to modify, the same record.
    bool serves(const QByteArray& kindName, int mode, int sel) const;

    QLineEdit* AttribNameBox = nullptr;
    QComboBox* ControlTypeBox = nullptr;
    QComboBox* RestrictBox = nullptr;
    QLineEdit* AttribDataBox = nullptr;
    QLineEdit* AttribVarNameBox = nullptr;
    QComboBox* EnableBox = nullptr;
    QLineEdit* OtherBox = nullptr;
    QPushButton *Command1 = nullptr, *Command2 = nullptr, *Command3 = nullptr;

protected:
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    struct Kind {
        AttribKind kind;
        AttribArray* recs;
        int16_t* count;
        int16_t* sel;
        int16_t* mode;
        ValueTable* values; // nullptr for the role
        int16_t* instances;
        const char* countText;
    };
    bool kind(Kind& out);
    bool fromBoxes(AttribRec& r, int index);
    bool save(const Kind& k);
    void closeDialog();

    // What the dialog was loaded for. Its commands act on that, not on
    // whatever kind or row was chosen since: the boxes show that record.
    QByteArray loadedKind_;
    int loadedMode_ = -1;
    int loadedSel_ = -1;

    Module1& m_;
    Module2& p_;
    ToolFormsImpl& tools_;
};

} // namespace tilesmith
