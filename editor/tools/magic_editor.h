#pragma once
// The magic kind editor: the game's magic list as a table of kinds, which
// can be added to and pruned, and written back as the list's statements
// into the script editor's text.
#include "magic_rec.h"
#include "tool_forms.h"

class QLabel;

namespace tilesmith {

class MagicEditor : public fr::FormWindow<QWidget> {
public:
    MagicEditor(Module1& m, std::function<ScriptEditor&()> script);
    void formLoad() override;

    void Command4_Click(); // add a copy of the selected kind
    void Command5_Click(); // delete the selected kind, after asking
    void Command7_Click(); // insert the statements into the script text
    void Command8_Click(); // return

    QListWidget* List1 = nullptr;
    QLabel* Label16 = nullptr;
    QPushButton *Command4 = nullptr, *Command5 = nullptr, *Command7 = nullptr, *Command8 = nullptr;
    MagicTable MagicRecs;

private:
    Module1& m_;
    std::function<ScriptEditor&()> script_;
};

} // namespace tilesmith
