// Property commands: single values of the role, an NPC or a monster by
// property name, and the role's values read into local variables.
#include <algorithm>

#include "core/alert.h"
#include "platform/gbk.h"
#include "script.h"
#include "world/monster.h"
#include "world/npc.h"
#include "world/role.h"

namespace {

void ReportUnknown(const char* command, const std::string& property)
{
    Alert(plat::GBK((std::string(command) + "()找不到参数1的属性!").c_str()));
    AlertStr(property);
}

template <class List>
auto* FirstNamed(List& list, const std::string& name)
{
    for (auto& a : list)
        if (a.name == name)
            return &a;
    return static_cast<typename List::value_type*>(nullptr);
}

bool IsDigitChar(char c) { return c >= '0' && c <= '9'; }

// The properties an NPC and a monster share; false when not one of them.
bool SetActorProp(script& s, People& a, const std::string& property, const std::string& value, bool monster)
{
    if (property == "name")
        a.name = value;
    else if (property == "direction")
        a.direction = s.StrToInt(value);
    else if (property == "speed")
        a.step = a.speed = s.StrToFloat(value);
    else if (property == "hp")
        a.hp = static_cast<float>(s.StrToInt(value));
    else if (property == "addhp")
        a.hp = std::max(a.hp + static_cast<float>(s.StrToInt(value)), 0.0f);
    else if (property == "addattack")
        a.attack += static_cast<float>(s.StrToInt(value));
    else if (property == "adddefend")
        a.defence += static_cast<float>(s.StrToInt(value));
    else if (property == "active")
        a.active = a.initialActive = s.StrToInt(value);
    else if (monster && property == "maxhp")
        a.maxHp = static_cast<float>(s.StrToInt(value));
    else if (monster && property == "curpicindex")
        a.frame = s.StrToInt(value);
    else
        return false;
    return true;
}

// A value that may name a local variable ("-name" for its negation); a
// negative number stays a number, and a name that no local variable has
// counts as 0.
int32_t ResolvedAddValue(script& s, const std::string& text)
{
    auto local = [&](const std::string& name) {
        const int32_t i = s.LookupVariable(name, 0);
        return i < 0 ? 0 : s.localValues[static_cast<size_t>(i)];
    };
    std::string resolved = text;
    if (text.empty())
        resolved = "0";
    else if (text[0] == '-' && (text.size() < 2 || !IsDigitChar(text[1])))
        resolved = "-" + std::to_string(local(text.substr(1)));
    else if (text[0] != '-' && !IsDigitChar(text[0]))
        resolved = std::to_string(local(text));
    return s.StrToInt(resolved);
}

} // namespace

void script::SetMonsterProp()
{
    const std::string name = ArgQuoted();
    const std::string property = ArgAfterQuoted(',');
    const std::string value = property == "name" ? ArgQuoted() : ArgUpTo(')');
    if (Monster* m = FirstNamed(g_Monsters, name))
        if (!SetActorProp(*this, *m, property, value, true))
            ReportUnknown("SetMonsterProp", property);
    SkipLine(file);
}

void script::SetNpcProp()
{
    const std::string name = ArgQuoted();
    const std::string property = ArgAfterQuoted(',');
    const std::string value = property == "name" ? ArgQuoted() : ArgUpTo(')');
    if (Npc* n = FirstNamed(g_Npcs, name))
        if (!SetActorProp(*this, *n, property, value, false))
            ReportUnknown("SetNpcProp", property);
    SkipLine(file);
}

void script::GetMeProp()
{
    const std::string property = ArgUpTo(')');
    if (property == "hp")
        SetLocalVar("int", "role_hp", TruncToInt(g_Role.hp));
    else if (property == "gold")
        SetLocalVar("int", "role_gold", TruncToInt(g_Role.gold));
    else if (property == "magickind")
        SetLocalVar("int", "role_magickind", g_Role.magicKind);
    else if (property == "curitemcounts")
        SetLocalVar("int", "role_curitemcounts", g_Role.itemCount);
    else
        ReportUnknown("GetMeProp", property);
    SkipLine(file);
}

void script::SetMeProp()
{
    const std::string property = ArgUpTo(',');
    const std::string value = property == "name" ? ArgQuoted() : ArgUpTo(')');
    Role& r = g_Role;
    const float n = static_cast<float>(StrToInt(value));
    if (property == "name")
        r.name = value;
    else if (property == "direction")
        r.direction = StrToInt(value);
    else if (property == "speed")
        r.step = r.speed = StrToFloat(value);
    else if (property == "step")
        r.animSpeed = StrToInt(value);
    else if (property == "maxhp")
        r.maxHp = n;
    else if (property == "maxmp")
        r.maxMp = n;
    else if (property == "hp")
        r.hp = std::max(std::min(n, r.maxHp), 0.0f);
    else if (property == "mp")
        r.mp = std::max(std::min(n, r.maxMp), 0.0f);
    else if (property == "addhp") {
        r.hp = std::min(r.hp + static_cast<float>(ResolvedAddValue(*this, value)), r.maxHp);
        if (r.hp < 0) {
            r.hp = 0;
            r.dead = 1;
        }
    } else if (property == "addmp")
        r.mp = std::min(r.mp + static_cast<float>(ResolvedAddValue(*this, value)), r.maxMp);
    else if (property == "addgold")
        r.gold = std::max(r.gold + static_cast<float>(ResolvedAddValue(*this, value)), 0.0f);
    else if (property == "addexp")
        r.exp += n;
    else if (property == "addattack")
        r.attack += n;
    else if (property == "adddefend")
        r.defence += n;
    else if (property == "magickind")
        r.magicKind = StrToInt(value);
    else if (property == "division") {
        const int32_t d = StrToInt(value);
        r.division = d > 48 || d < 1 ? 48 : d;
    } else if (property == "active")
        r.active = r.initialActive = StrToInt(value);
    else
        ReportUnknown("SetMeProp", property);
    SkipLine(file);
}
