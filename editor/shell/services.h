#pragma once
// What the shell uses of the editor's tool forms: the script editor, and the
// attribute rows of the NPC placement, monster placement and role forms.
#include <QString>

namespace tilesmith {

enum class AttribKind { Role, Npc, Monster };

// Row i of a form's name list and value list.
class AttribRows {
public:
    virtual ~AttribRows() = default;
    // Sets both rows i, adding empty rows first when the lists are shorter.
    virtual void setRow(int i, const QString& caption, const QString& data) = 0;
};

class ToolForms {
public:
    virtual ~ToolForms() = default;
    // Shows the script editor (not modal); it shows Main again when left.
    virtual void showScriptEditor() = 0;
    // The rows of the kind's form, which is created (and loaded) first if it
    // does not exist yet.
    virtual AttribRows& rows(AttribKind kind) = 0;
};

} // namespace tilesmith
