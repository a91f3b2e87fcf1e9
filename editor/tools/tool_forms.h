#pragma once
// The editor's tool forms in their first form: the script editor window, and
// the NPC placement, monster placement and role forms with their attribute
// name and value lists.
#include "shell/module1.h"
#include "shell/services.h"

#include "platform/form.h"

#include <QWidget>

#include <functional>

class QListWidget;
class QPushButton;

namespace tilesmith {

class ScriptEditor : public fr::FormWindow<QWidget> {
public:
    explicit ScriptEditor(std::function<void()> showMain);
    void formUnload() override;
    // Leaves the editor: hides it and shows Main again.
    void leave();

    QPushButton* ReturnButton = nullptr;

private:
    std::function<void()> showMain_;
};

// A form with one row per attribute slot: ListCaption shows the names,
// ListData the values.
class AttribForm : public fr::FormWindow<QWidget>, public AttribRows {
public:
    AttribForm(const QString& title, const AttribArray& attribs, const int16_t& count);
    void formLoad() override;
    void setRow(int i, const QString& caption, const QString& data) override;

    QListWidget* ListCaption = nullptr;
    QListWidget* ListData = nullptr;

private:
    const AttribArray& attribs_;
    const int16_t& count_;
};

class ToolFormsImpl : public ToolForms {
public:
    ToolFormsImpl(Module1& m, std::function<void()> showMain);
    void showScriptEditor() override;
    AttribRows& rows(AttribKind kind) override;
    void showAttribForm(AttribKind kind) override;

    fr::FormRef<ScriptEditor> ScriptEditorForm;
    fr::FormRef<AttribForm> ActiveNpc;
    fr::FormRef<AttribForm> ActiveMonster;
    fr::FormRef<AttribForm> AddRole;
};

} // namespace tilesmith
