// The action texts of UI elements: built-in actions ("d_...") and scripts
// ("s_...").
#include "core/alert.h"
#include "core/control.h"
#include "core/game_state.h"
#include "platform/gbk.h"
#include "script.h"
#include "ui.h"
#include "world/magic.h"
#include "world/role.h"

using plat::GBK;

std::string ui::ActionHead(std::string text)
{
    const size_t p = text.find('_');
    return p == std::string::npos ? text : text.substr(0, p);
}

std::string ui::ActionTail(std::string text)
{
    const size_t p = text.find('_');
    return p == std::string::npos ? text : text.substr(p + 1);
}

void ui::DoAction(std::string action)
{
    if (action.empty())
        return;
    // The second character is a separator and is not looked at.
    const std::string rest = action.size() > 2 ? action.substr(2) : std::string();
    if (action[0] == 'd')
        DoBuiltinAction(rest);
    else if (action[0] == 's')
        RunScriptAction(rest);
}

void ui::RunScriptAction(std::string text) { g_Script.OpenScript(ActionTail(text)); }

namespace {

struct ToolMagic {
    const char* item;
    const char* label;   // UTF-8; shown as GBK
};

// The tools of the status screen that select a magic kind; the kind is the
// position in this table.
constexpr ToolMagic kToolMagics[] = {
    {"book1", "<魔法书第一卷> "}, {"book2", "<魔法书第二卷> "}, {"book3", "<魔法书第三卷> "},
    {"book4", "<魔法书第四卷> "}, {"book5", "<魔法书第五卷> "}, {"book6", "<魔法书第六卷> "},
    {"crystal", "<奇怪的水晶> "},  {"redstone", "<红宝石> "},     {"staff", "<神圣的法杖> "},
    {"statue", "<雕像> "},
};

} // namespace

void ui::DoBuiltinAction(std::string text)
{
    const std::string head = ActionHead(text);
    const std::string tail = ActionTail(text);
    if (head == "msg") {
        AlertStr(tail);
    } else if (head == "sys") {
        const std::string h = ActionHead(tail), t = ActionTail(tail);
        if (tail == "exitgame")
            g_Quit = 1;
        if (h == "closesave") {
            UnloadFrame("saved_frame");
            UnloadFrame("selectsave_frame");
        }
        if (h == "savegame")
            SaveGame(StrToInt(t));
        if (h == "loadgame") {
            g_LoadSlot = StrToInt(t);
            if (LoadGame(g_LoadSlot) != 0) {
                UnloadFrame("dead_frame");
                UnloadFrame("selectload_frame");
            }
        }
        if (h == "exitgame")
            g_Quit = 1;
    } else if (head == "symbol") {
        const std::string box = "numberbox";
        if (tail.size() == 7 && tail.compare(0, 6, "number") == 0 && tail[6] >= '0' && tail[6] <= '9') {
            SetText(box, GetText(box) + tail[6]);
        } else if (tail == "delete") {
            std::string t = GetText(box);
            if (!t.empty())
                t.pop_back();
            SetText(box, t);
        } else if (tail == "clear") {
            SetText(box, "");
        } else if (tail == "confirmnumber") {
            // Without a number box GetText gives back the name, which reads as 0.
            g_Script.SetLocalVar("int", "findvar_number", StrToInt(GetText(box)));
            UnloadFrame("number_frame");
        }
    } else if (head == "option") {
        if (tail == "autowalk") {
            if (g_Role.autoSidestep == 0) {
                g_Role.autoSidestep = 1;
                SetText("autowalk_switch", GBK("√"));
            } else {
                g_Role.autoSidestep = 0;
                SetText("autowalk_switch", GBK("×"));
            }
        }
    } else if (head == "newui") {
        LoadFrame(tail);
    } else if (head == "delui") {
        UnloadFrame(tail);
        if (g_Script.running)
            g_Script.Control("eof");
    } else if (head == "choice") {
        g_Script.SetLocalVar("int", "findvar_choice", StrToInt(tail));
        UnloadFrame("choice_frame");
    } else if (head == "seltool") {
        // Only meaningful right after a click on a tool of the top frame.
        if (!clickedElement || !OwnsElement(clickedElement))
            return;
        const UIBOX clicked = *clickedElement;
        if (UIBOX* border = FindElement("selectborder")) {
            border->visible = 1;
            border->x = clicked.x - 1;
            border->y = clicked.y - 1;
        }
        for (const std::string& item : g_Role.items) {
            if (item != clicked.name)
                continue;
            for (int32_t n = 0; n < 10; ++n) {
                if (clicked.name != kToolMagics[n].item)
                    continue;
                g_Role.magicKind = n;
                g_Control.keyEnabled[gamekey::kDigit1 + n] = 1;
                if (const MagicKind* kind = MagicKindAt(n))
                    SetText("state_iteminfo", GBK(kToolMagics[n].label) + kind->name);
                break;
            }
            break;
        }
    }
}
