#pragma once
// The editor's tool forms: the registry that creates and shows them, and the
// attribute name and value lists shared by the NPC placement, monster
// placement and role forms.
#include "script_editor.h"
#include "shell/module1.h"
#include "shell/services.h"

#include "platform/form.h"

#include <QWidget>

#include <functional>

class QAction;
class QLabel;
class QLineEdit;
class QMenuBar;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace tilesmith {

// A form with one row per attribute slot: ListCaption shows the names,
// ListData the values.
class AttribForm : public fr::FormWindow<QWidget>, public AttribRows {
public:
    AttribForm(const QString& title, const AttribArray& attribs, const int16_t& count);
    void formLoad() override;
    void setRow(int i, const QString& caption, const QString& data) override;
    // Removes row i of both lists (its definition was deleted); no row is
    // selected afterwards and the in-place box is hidden.
    void removeRow(int i);

    // What the value lists work on besides the records: the kind, its
    // instance table (none for the role), the saver and the definition
    // dialog. Unbound, the lists only show rows.
    struct Binding {
        AttribKind kind = AttribKind::Role;
        AttribArray* attribs = nullptr;
        int16_t* count = nullptr;
        ValueTable* values = nullptr;
        int16_t* instances = nullptr;
        int16_t* cur = nullptr;
        int16_t* sel = nullptr;
        std::function<bool()> save;
        std::function<void(int mode)> openDialog;
    };
    void bind(Binding b) { b_ = std::move(b); }

    void listCaptionClick(int row);
    void listDataClick(int row);
    // Enter in ListData, or a left press at (x, y) in it; other buttons
    // only hide the box.
    void openTextInput(int button = 1, int x = 0, int y = 0);
    void commitTextInput(); // Enter in TextInput
    // Keys 1 (up) and 2 (down) in ListCaption.
    void moveAttribute(int keyCode);
    void toggleOrderLock();
    void addNewAttrib();          // menu "添加属性"
    void listCaptionDblClick();   // modify the selected definition

    // The menu item of that object name (Menu_File's items).
    QAction* MenuItem(const QString& name) const;

    // Height of the menu bar; the form's controls lie below it.
    static constexpr int MenuH = 24;

    QMenuBar* MenuBar = nullptr;
    QAction* Menu_AttribOrderLock = nullptr;
    ListBox* ListCaption = nullptr;
    ListBox* ListData = nullptr;
    QLineEdit* TextInput = nullptr;
    QLabel* Frame1 = nullptr; // the lists' frame caption
    int16_t OrderLocked = -1;

protected:
    bool eventFilter(QObject* o, QEvent* e) override;
    // The menu "文件": add a definition (the item named addName), the order
    // lock (lockText, checked: the order starts locked) and exit (exitName,
    // which ends the program at once).
    void buildFileMenu(const char* addName, const QString& lockText, const char* exitName);

private:
    // One selected row for both lists, whatever chose it (a click, the
    // keys, the program): the other list follows and the kind's selected
    // row is set.
    void rowChosen(int row);
    bool syncing_ = false;
    const AttribArray& attribs_;
    const int16_t& count_;
    Binding b_;
};

class PlacementForm;
class RoleForm;
class AddNewAttribute;
class MagicEditor;
class MagicPictureForm;
class Main;
class Module2;

// Ends a placement: its flag goes back to 0 and, when it was armed, the
// placement's sprite leaves the cursor box for the brush, so that the next
// click on a layer paints what it records.
void EndPlacement(int16_t& placing, const std::function<Main&()>& main);

class ToolFormsImpl : public ToolForms {
    Module1& m_;

public:
    ToolFormsImpl(Module1& m, Module2& p, std::function<void()> showMain, std::function<Main&()> main);
    ~ToolFormsImpl() override;
    void showScriptEditor() override;
    AttribRows& rows(AttribKind kind) override;
    void showAttribForm(AttribKind kind) override;

    fr::FormRef<ScriptEditor> ScriptEditorForm;
    fr::FormRef<PlacementForm> ActiveNpc;
    fr::FormRef<PlacementForm> ActiveMonster;
    fr::FormRef<RoleForm> AddRole;
    fr::FormRef<AddNewAttribute> AddNewAttributeForm;
    fr::FormRef<MagicEditor> MagicEditorForm;
    // The magic editor's picture window.
    fr::FormRef<MagicPictureForm> MagicPicture;
    // The kind's form (created first if needed).
    AttribForm& attribForm(AttribKind kind);
    // Shows the definition dialog for the kind in the given mode (-1 add,
    // 0 modify); an open dialog only comes to the front.
    void showAddNewAttribute(AttribKind kind, int mode);

    // The editors the script editor opens (not modal), each created and
    // loaded first if needed.
    void showNpcEditor();
    void showMonsterEditor();
    void showRoleEditor();
    void showMagicEditor();

    // Called by a tool window that closes or unloads (from its unload or
    // close handler, while `closing` may still be on screen): when no other
    // window of the editor is visible, the program would go on running with
    // no window at all, so the script editor is shown. `placing`, the
    // closing editor's placement flag (NpcPlacing, MonsterPlacing,
    // RolePlacing), is disarmed either way: a click on the map must not
    // place an instance of an editor that is gone.
    void afterToolClosed(QWidget* closing, int16_t* placing = nullptr);
};

} // namespace tilesmith

// The placement forms, complete for whoever uses ToolFormsImpl.
#include "placement_form.h"
#include "role_form.h"
#include "attrib_dialog.h"
#include "magic_editor.h"
