#include "statements.h"

#include "shell/module2.h"

#include "platform/convert.h"
#include "platform/gbk.h"
#include "platform/textfile.h"

#include <algorithm>
#include <vector>

namespace tilesmith {

long LeadingWholeNumber(const QByteArray& value)
{
    int i = 0;
    bool neg = false;
    if (i < value.size() && (value[i] == '+' || value[i] == '-'))
        neg = value[i++] == '-';
    long n = 0;
    bool any = false;
    for (; i < value.size() && value[i] >= '0' && value[i] <= '9'; ++i) {
        any = true;
        n = std::min(n * 10 + (value[i] - '0'), 2147483648L);
    }
    if (!any)
        return 0;
    return neg ? -n : std::min(n, 2147483647L);
}

namespace {

// Appends one statement line; false (with the error set) on a value that
// cannot be written.
bool appendLine(StatementText& out, const char* name, const std::vector<QByteArray>& values, const QString& where)
{
    QByteArray line = QByteArray(name) + ",";
    for (size_t a = 0; a < values.size(); ++a) {
        const QString problem = ValueTextProblem(values[a]);
        if (!problem.isEmpty()) {
            out.error = QStringLiteral("%1第%2个值“%3”%4，无法写入语句").arg(where).arg(a + 1).arg(
                fr::gbk::decode(values[a]), problem);
            return false;
        }
        line += values[a];
        line += ',';
    }
    line += ");\r\n";
    out.text += line;
    return true;
}

StatementText placements(const char* name, const QString& noun, const ValueTable& values, int count,
                         int attribCount, bool skipNegative)
{
    StatementText out;
    count = std::clamp(count, 0, InstanceSlots);
    attribCount = std::clamp(attribCount, 0, AttribSlots);
    for (int i = 0; i < count; ++i) {
        if (skipNegative && LeadingWholeNumber(values[i][0]) < 0) {
            ++out.skipped;
            continue;
        }
        std::vector<QByteArray> row(values[i].begin(), values[i].begin() + attribCount);
        if (!appendLine(out, name, row, QStringLiteral("第%1个%2的").arg(i + 1).arg(noun))) {
            out.text.clear();
            return out;
        }
    }
    out.text += "EOF";
    return out;
}

QByteArray num(int v) { return QByteArray::number(v); }

} // namespace

StatementText NpcStatements(const ValueTable& values, int count, int attribCount)
{
    return placements("AddNpc(", QStringLiteral("NPC"), values, count, attribCount, false);
}

StatementText MonsterStatements(const ValueTable& values, int count, int attribCount)
{
    return placements("AddMonster(", QStringLiteral("怪物"), values, count, attribCount, true);
}

StatementText RoleStatement(const AttribArray& attribs, int count)
{
    StatementText out;
    count = std::clamp(count, 0, AttribSlots);
    std::vector<QByteArray> row;
    for (int a = 0; a < count; ++a)
        row.push_back(attribs[a].data);
    if (!appendLine(out, "AddRole(", row, QStringLiteral("主角的")))
        out.text.clear();
    return out;
}

StatementText MagicListStatements(const MagicTable& recs, int count)
{
    StatementText out;
    count = std::clamp(count, 0, MagicSlots);
    for (int i = 0; i < count; ++i) {
        const MagicRec& r = recs[i];
        if (r.FileName.isEmpty())
            continue;
        const std::vector<QByteArray> row{
            r.FileName,        num(r.ID),         r.Name,          num(r.SmallWidth),   num(r.SmallHeight),
            num(r.RowCounts),  num(r.ColCounts),  num(r.Delay),    r.WaveName,          num(r.TimeInterval),
            num(r.InitSpeed),  num(r.Acceleration), num(r.AnimiType), num(r.OnceCounts), num(r.TimeLife),
            num(r.Attack),     num(r.AddAttack),  num(r.AddDefend), num(r.AddHp),       num(r.AddMp),
            num(r.Attribute),  num(r.ELeft),      num(r.ETop),     num(r.ERight),       num(r.EBottom),
            num(r.AutoAim),    num(r.CrossObstacle), num(r.CircleRadius), num(r.CircleCounts),
            num(r.OneCycle),   num(r.CostMp)};
        if (!appendLine(out, "AddToMagicList(", row, QStringLiteral("第%1个魔法的").arg(i + 1))) {
            out.text.clear();
            return out;
        }
    }
    out.text += "EOF";
    return out;
}

MagicRec InitStruct()
{
    MagicRec r;
    r.FileName = r.Name = r.WaveName = "NULL";
    r.Delay = 100;
    r.TimeInterval = 100;
    r.InitSpeed = 15;
    r.OnceCounts = 1;
    r.Attack = 10;
    r.CircleCounts = 1;
    r.CostMp = 1;
    r.ERight = r.SmallWidth;
    r.EBottom = r.SmallHeight;
    return r;
}

MagicListRead ReadMagicList(const QByteArray& data)
{
    MagicListRead out;
    out.recs.fill(InitStruct());
    fr::FieldReader in(data);
    fr::FieldReader::Field f;
    for (;;) {
        const int line = in.line();
        if (!in.read(f) || f.text == "EOF")
            break; // without "EOF" the end of the data ends the list
        if (out.count >= MagicSlots) {
            out.problems << QStringLiteral("第%1行：魔法超过%2个，后面的没有读入").arg(line).arg(MagicSlots);
            out.partial = true;
            break;
        }
        QByteArray items[32];
        bool whole = true;
        for (QByteArray& item : items) {
            if (!in.read(f)) {
                whole = false;
                break;
            }
            item = f.text;
        }
        if (!whole) {
            out.problems << QStringLiteral("第%1行：语句不完整（少于31个值），从这里起没有读入").arg(line);
            out.partial = true;
            break;
        }
        MagicRec& r = out.recs[out.count++];
        r.FileName = items[0];
        r.Name = items[2];
        r.WaveName = items[8];
        int16_t* fields[] = {nullptr,        &r.ID,           nullptr,          &r.SmallWidth,   &r.SmallHeight,
                             &r.RowCounts,   &r.ColCounts,    &r.Delay,         nullptr,         &r.TimeInterval,
                             &r.InitSpeed,   &r.Acceleration, &r.AnimiType,     &r.OnceCounts,   &r.TimeLife,
                             &r.Attack,      &r.AddAttack,    &r.AddDefend,     &r.AddHp,        &r.AddMp,
                             &r.Attribute,   &r.ELeft,        &r.ETop,          &r.ERight,       &r.EBottom,
                             &r.AutoAim,     &r.CrossObstacle, &r.CircleRadius, &r.CircleCounts, &r.OneCycle,
                             &r.CostMp};
        for (int i = 0; i < 31; ++i) {
            if (!fields[i])
                continue;
            if (!fr::cint16(QString::fromLatin1(items[i]), *fields[i])) {
                *fields[i] = 0;
                out.problems << QStringLiteral("第%1行：第%2个值“%3”不是-32768到32767之间的数字，按0读入")
                                    .arg(line)
                                    .arg(i + 1)
                                    .arg(fr::gbk::decode(items[i]));
                out.partial = true;
            }
        }
        // The whole picture's size; not in the list, and beyond 16 bits only
        // for a list that no picture fits.
        const int lw = r.RowCounts * r.SmallWidth;
        const int lh = r.ColCounts * r.SmallHeight;
        r.LargeWidth = static_cast<int16_t>(std::clamp(lw, -32768, 32767));
        r.LargeHeight = static_cast<int16_t>(std::clamp(lh, -32768, 32767));
        if (lw != r.LargeWidth || lh != r.LargeHeight)
            out.problems << QStringLiteral("第%1行：整张图片的尺寸%2×%3超出范围，按%4×%5计")
                                .arg(line)
                                .arg(lw)
                                .arg(lh)
                                .arg(r.LargeWidth)
                                .arg(r.LargeHeight);
    }
    return out;
}

QStringList MagicListProblems(const MagicTable& recs, int count)
{
    QStringList out;
    count = std::clamp(count, 0, MagicSlots);
    int place = 0;
    for (int i = 0; i < count; ++i) {
        const MagicRec& r = recs[i];
        const QString name = fr::gbk::decode(r.Name);
        if (r.FileName.isEmpty()) {
            out << QStringLiteral("第%1个魔法“%2”没有图片，不写入列表，后面的魔法各前移一位").arg(i + 1).arg(name);
            continue;
        }
        if (r.ID != place)
            out << QStringLiteral("第%1个魔法“%2”在游戏中是第%3号，但编号是%4").arg(i + 1).arg(name).arg(place).arg(r.ID);
        // The game numbers the picture by every digit of its name, in order.
        QByteArray digits;
        for (char c : r.FileName)
            if (c >= '0' && c <= '9')
                digits += c;
        bool ok = false;
        const long long n = digits.toLongLong(&ok);
        if (digits.isEmpty())
            out << QStringLiteral("第%1个魔法“%2”的图片名“%3”中没有数字，游戏找不到它的图片")
                       .arg(i + 1)
                       .arg(name, fr::gbk::decode(r.FileName));
        else if (!ok || n != place)
            out << QStringLiteral("第%1个魔法“%2”在游戏中是第%3号，但图片名“%4”中的数字是%5")
                       .arg(i + 1)
                       .arg(name)
                       .arg(place)
                       .arg(fr::gbk::decode(r.FileName), QString::fromLatin1(digits));
        ++place;
    }
    return out;
}

} // namespace tilesmith
