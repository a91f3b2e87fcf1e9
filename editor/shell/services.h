#pragma once
// What the shell uses of its neighbours: the map canvas (its tool commands
// and its mouse handlers on Main's pictures), the script editor, and the
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

// The map canvas. Main routes to it the keys Q, X, Z, E and F8, the menu
// items "填充(X)", "障碍(E)", "微调(Z)" and the "橡皮(Q)" items, and the mouse
// on the cursor box MainPic and on the composite Picture1 (button 1 left,
// 2 right, 4 middle; x and y in pixels of the box). The canvas works on the
// shared data and Main's controls and tells Main of every edit through
// Main::markEdited().
class CanvasServices {
public:
    virtual ~CanvasServices() = default;
    virtual void SwitchEraser() = 0;
    virtual void Menu_FillAll_Click() = 0;
    virtual void Menu_Spinner_Click() = 0;
    virtual void Menu_SetObstacle_Click() = 0;
    virtual void Menu_SelectSmallEraser_Click() = 0;
    virtual void Menu_SelectMiddleEraser_Click() = 0;
    virtual void Menu_SelectLargeEraser_Click() = 0;
    virtual void Menu_IncidentEra_Click() = 0;
    virtual void MainPic_MouseDown(int button, int shift, int x, int y) = 0;
    virtual void MainPic_MouseMove(int button, int shift, int x, int y) = 0;
    virtual void MainPic_MouseUp(int button, int shift, int x, int y) = 0;
    virtual void Picture1_MouseDown(int button, int shift, int x, int y) = 0;
    virtual void Picture1_MouseMove(int button, int shift, int x, int y) = 0;
    // Cancels a region copy, or drops the block it took out of the map: the
    // cursor and the brush from before it come back. Nothing without one.
    virtual void DropRegionCopy() {}
};

class ToolForms {
public:
    virtual ~ToolForms() = default;
    // Shows the script editor (not modal); it shows Main again when left.
    virtual void showScriptEditor() = 0;
    // The rows of the kind's form, which is created (and loaded) first if it
    // does not exist yet.
    virtual AttribRows& rows(AttribKind kind) = 0;
    // Shows the kind's form (not modal), creating it first if needed.
    virtual void showAttribForm(AttribKind kind) = 0;
};

} // namespace tilesmith
