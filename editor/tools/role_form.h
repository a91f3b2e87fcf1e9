#pragma once
// The role form: the role's values (the data fields of the role attribute
// list), its start direction picked on a picture of its four facings,
// placing it with the next map click, and appending its statement to the
// script editor's text.
#include "tool_forms.h"

#include "platform/picbox.h"

namespace tilesmith {

class Main;
class Module2;

class RoleForm : public AttribForm {
public:
    RoleForm(Module1& m, Module2& p, std::function<Main&()> main, std::function<ScriptEditor&()> script,
             std::function<void(QWidget*)> closed = {});
    void formLoad() override;
    void formUnload() override;

    void pictureMouseDown(int x, int y); // any button
    void placeOnMap();                   // Command1
    void insertStatement();              // Command5
    void returnToScript();               // Command7

    fr::PicBox* Picture1 = nullptr; // with Line1 (y 47) and Line2 (x 31) over it
    QPushButton *Command1 = nullptr, *Command5 = nullptr, *Command7 = nullptr;

private:
    Module1& m_;
    Module2& p_;
    std::function<Main&()> main_;
    std::function<ScriptEditor&()> script_;
    std::function<void(QWidget*)> closed_;
};

} // namespace tilesmith
