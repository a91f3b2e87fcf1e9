#include "role.h"

#include <algorithm>
#include <vector>

#include "core/alert.h"
#include "map.h"
#include "platform/gbk.h"

using plat::GBK;

Role::Role()
{
    width = 32;
    height = 48;
    division = 48;
}

Role::~Role() { Alert("~Role"); }

// ---------------------------------------------------------------- "AddRole("
int32_t Role::ReadFromScript(FILE* f)
{
    constexpr size_t kValues = 21;
    const long start = std::ftell(f);
    // The record ends with its line: values are never taken from the lines
    // after it.
    std::string line;
    for (int c; (c = std::getc(f)) != EOF && c != '\r' && c != '\n';)
        line += static_cast<char>(c);

    // Everything up to the first ',' is skipped; then each value runs to the
    // next ',' (or the line end), without its leading blanks, comment and
    // trailing blanks.
    std::vector<std::string> v;
    size_t i = line.find(',');
    if (i != std::string::npos) {
        ++i;
        while (v.size() < kValues) {
            while (i < line.size() && line[i] == ' ')
                ++i;
            if (i >= line.size())
                break;
            size_t end = line.find(',', i);
            if (end == std::string::npos)
                end = line.size();
            std::string token = line.substr(i, end - i);
            StripComment(token);
            Trim(token);
            v.push_back(std::move(token));
            i = std::min(line.size(), end + 1);
        }
    }
    if (v.size() < kValues) {
        std::fseek(f, start, SEEK_SET);
        ReportShortRecord("AddRole(", 21, line);
        return 0;
    }
    std::fseek(f, start + static_cast<long>(i), SEEK_SET);
    CheckRecordNumbers("AddRole(", v, {1, 18}, line);

    auto num = [&](size_t k) { return StrToInt(v[k]); };
    auto real = [&](size_t k) { return StrToFloat(v[k]); };
    id = num(0);
    name = v[1];
    direction = num(2);
    x = startX = real(3);
    y = startY = real(4);
    viewX = startViewX = x * 593.0f / g_MapPixelWidth;
    viewY = startViewY = y * 321.0f / g_MapPixelHeight;
    step = speed = real(5);
    animSpeed = num(6);
    boxLeft = num(7);
    boxTop = num(8);
    boxRight = num(9);
    boxBottom = num(10);
    hp = maxHp = static_cast<float>(num(11));
    mp = maxMp = static_cast<float>(num(12));
    attack = static_cast<float>(num(13));
    defence = static_cast<float>(num(14));
    level = num(15);
    exp = static_cast<float>(num(16));
    nextExp = static_cast<float>(num(17));
    footstepWave = v[18];
    gold = static_cast<float>(num(19));
    alpha = num(20);
    return 1;
}

// ---------------------------------------------------------------- save record
void Role::Save(FILE* f)
{
    Object::Save(f);
    People::Save(f);
    WriteString(f, footstepWave);
    // Only ten slots exist; a count beyond them is never written.
    const int32_t count = std::clamp(itemCount, 0, kItemSlots);
    WriteInt(f, count);
    WriteInt(f, TruncToInt(gold));
    WriteInt(f, levelUpShown);
    WriteInt(f, magicCast);
    WriteInt(f, autoSidestep);
    for (int32_t k = 0; k < count; ++k)
        WriteString(f, items[k]);
}

bool Role::Load(FILE* f)
{
    Role r(*this);
    if (!r.Object::Load(f) || !r.People::Load(f))
        return false;
    if (!ReadString(f, r.footstepWave) || !ReadInt(f, &r.itemCount) || r.itemCount < 0 ||
        r.itemCount > kItemSlots || !ReadFloat(f, &r.gold) || !ReadInt(f, &r.levelUpShown) ||
        !ReadInt(f, &r.magicCast) || !ReadInt(f, &r.autoSidestep))
        return false;
    for (std::string& item : r.items)
        item.clear();
    for (int32_t k = 0; k < r.itemCount; ++k)
        if (!ReadString(f, r.items[k]))
            return false;
    *this = r;
    return true;
}
