// Script variables: definitions, assignments with one operator, conditions,
// and the access from the game's code.
#include <climits>

#include "core/alert.h"
#include "platform/gbk.h"
#include "script.h"

using plat::GBK;

namespace {
bool IsNameChar(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == ' ';
}

// 32-bit arithmetic that wraps instead of overflowing.
int32_t Wrap(uint32_t v) { return static_cast<int32_t>(v); }
} // namespace

int32_t script::LookupVariable(const std::string& name, int32_t kind)
{
    const std::vector<std::string>& names = kind == 0 ? localNames : staticNames;
    for (size_t i = 0; i < names.size(); ++i)
        if (names[i] == name)
            return static_cast<int32_t>(i);
    return -1;
}

// The value of a text: a number when it starts with a digit, otherwise the
// variable of that name (the static or the local first, as asked).
int32_t script::ValueOf(const std::string& text, bool staticFirst, bool* found)
{
    *found = true;
    if (!text.empty() && IsDigit(text[0]))
        return StrToInt(text);
    const int32_t first = LookupVariable(text, staticFirst ? 1 : 0);
    if (first >= 0)
        return (staticFirst ? staticValues : localValues)[static_cast<size_t>(first)];
    const int32_t second = LookupVariable(text, staticFirst ? 0 : 1);
    if (second >= 0)
        return (staticFirst ? localValues : staticValues)[static_cast<size_t>(second)];
    *found = false;
    return 0;
}

// A definition: the name up to '=', the value up to ';'.
void script::Define(bool isStatic)
{
    std::string name = ReadToken(file, '0', '=');
    Trim(name);
    // A name is defined once across both kinds; a redefinition is ignored.
    if (LookupVariable(name, 0) >= 0 || LookupVariable(name, 1) >= 0)
        return;
    const std::string text = ReadToken(file, '0', ';');
    bool found = false;
    const int32_t v = ValueOf(text, false, &found);
    if (!found) {
        // Kept with the value 0, so the three lists stay in step.
        Alert(isStatic ? GBK("静态变量定义的para2不存在!") : GBK("局部变量定义的para2不存在!"));
        AlertStr(text);
    }
    if (isStatic) {
        staticTypes.push_back("sint");
        staticNames.push_back(name);
        staticValues.push_back(v);
    } else {
        localTypes.push_back("int");
        localNames.push_back(name);
        localValues.push_back(v);
    }
}

void script::DefineLocal() { Define(false); }

void script::DefineStatic() { Define(true); }

bool script::IsAssignment(const std::string& text)
{
    size_t i = 0;
    while (i < text.size() && IsNameChar(text[i]))
        ++i;
    return i < text.size() && text[i] == '=';
}

void script::Assign(const std::string& text)
{
    const size_t e = text.find('=');
    if (e == std::string::npos)
        return;
    std::string target = text.substr(0, e);
    Trim(target);
    const int32_t li = LookupVariable(target, 0);
    const int32_t si = LookupVariable(target, 1);
    if (li < 0 && si < 0)
        return;

    const size_t o = text.find_first_of("+-*/", e + 1);
    if (o == std::string::npos) {
        // The last character is taken to be the ';'.
        std::string operand = text.size() >= e + 2 ? text.substr(e + 1, text.size() - e - 2) : std::string();
        Trim(operand);
        bool found = false;
        const int32_t v = ValueOf(operand, true, &found);
        if (!found) {
            Alert(GBK("单赋值的para2不存在!"));
            return;
        }
        if (li >= 0)
            localValues[static_cast<size_t>(li)] = v;
        else
            staticValues[static_cast<size_t>(si)] = v;
        return;
    }

    std::string a = text.substr(e + 1, o - e - 1);
    Trim(a);
    const size_t semi = text.rfind(';');
    std::string b = semi != std::string::npos && semi > o ? text.substr(o + 1, semi - o - 1) : std::string();
    Trim(b);
    bool found = false;
    const int32_t va = ValueOf(a, false, &found);
    if (!found) {
        AlertStr(a);
        Alert(GBK("双赋值的para2不存在!"));
        return;
    }
    const int32_t vb = ValueOf(b, false, &found);
    if (!found) {
        Alert(GBK("双赋值的para3不存在!"));
        return;
    }
    int32_t result = 0;
    switch (text[o]) {
    case '+':
        result = Wrap(static_cast<uint32_t>(va) + static_cast<uint32_t>(vb));
        break;
    case '-':
        result = Wrap(static_cast<uint32_t>(va) - static_cast<uint32_t>(vb));
        break;
    case '*':
        result = Wrap(static_cast<uint32_t>(va) * static_cast<uint32_t>(vb));
        break;
    default:
        // Division by zero leaves the target as it was; the one quotient
        // that does not fit wraps to itself.
        if (vb == 0)
            return;
        result = va == INT32_MIN && vb == -1 ? INT32_MIN : va / vb;
        break;
    }
    if (li >= 0)
        localValues[static_cast<size_t>(li)] = result;
    if (si >= 0)
        staticValues[static_cast<size_t>(si)] = result;
}

int32_t script::CheckCondition(char endChar)
{
    // The first operator character from here, across lines if need be.
    const int32_t start = TellFile();
    int c1 = EOF;
    for (int c; (c = std::getc(file)) != EOF;) {
        if (c == '=' || c == '>' || c == '<' || c == '!') {
            c1 = c;
            break;
        }
    }
    SeekFile(start);
    if (c1 == EOF)
        return 0; // none up to the end of the file: false
    std::string left = ReadToken(file, '0', static_cast<char>(c1));
    const int32_t li = LookupVariable(left, 0);
    const int32_t si = LookupVariable(left, 1);
    if (li < 0 && si < 0)
        return 0;
    const int32_t lv = si >= 0 ? staticValues[static_cast<size_t>(si)] : localValues[static_cast<size_t>(li)];

    std::string op(1, static_cast<char>(c1));
    const int c2 = std::getc(file);
    if (c2 == '=')
        op += '=';
    else if (c2 != EOF)
        std::ungetc(c2, file);

    const std::string right = ReadToken(file, '0', endChar);
    bool found = false;
    const int32_t rv = ValueOf(right, false, &found);
    if (!found) {
        Alert(GBK("CheckCondition的para2不存在!"));
        return 0;
    }
    if (op == "==")
        return lv == rv ? 1 : 0;
    if (op == ">")
        return lv > rv ? 1 : 0;
    if (op == "<")
        return lv < rv ? 1 : 0;
    if (op == ">=")
        return lv >= rv ? 1 : 0;
    if (op == "<=")
        return lv <= rv ? 1 : 0;
    if (op == "!=")
        return lv != rv ? 1 : 0;
    return 0;
}

namespace {
void SetVar(std::vector<std::string>& types, std::vector<std::string>& names, std::vector<int32_t>& values,
            const std::string& type, const std::string& name, int32_t value)
{
    for (size_t i = 0; i < names.size(); ++i) {
        if (names[i] == name && types[i] == type) {
            values[i] = value;
            return;
        }
    }
    types.push_back(type);
    names.push_back(name);
    values.push_back(value);
}
} // namespace

void script::SetLocalVar(std::string type, std::string name, int32_t value)
{
    SetVar(localTypes, localNames, localValues, type, name, value);
}

void script::SetStaticVar(std::string type, std::string name, int32_t value)
{
    SetVar(staticTypes, staticNames, staticValues, type, name, value);
}
