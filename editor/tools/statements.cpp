#include "statements.h"

#include "platform/gbk.h"
#include "platform/textfile.h"

#include <algorithm>
#include <vector>

namespace tilesmith {

QString StatementValueProblem(const QByteArray& value)
{
    if (value.contains(','))
        return QStringLiteral("含有逗号");
    if (value.contains('\r') || value.contains('\n'))
        return QStringLiteral("含有换行");
    if (value.startsWith('"'))
        return QStringLiteral("以双引号开头");
    return {};
}

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
        const QString problem = StatementValueProblem(values[a]);
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

bool ReadMagicList(const QByteArray& data, MagicTable& recs, QString& error)
{
    MagicTable out;
    out.fill(InitStruct());
    fr::FieldReader in(data);
    fr::FieldReader::Field f;
    for (int n = 0;; ++n) {
        const int line = in.line();
        if (!in.read(f))
            break; // no "EOF": the end of the file ends the list too
        if (f.text == "EOF")
            break;
        if (n >= MagicSlots) {
            error = QStringLiteral("魔法列表第%1行：魔法超过%2个").arg(line).arg(MagicSlots);
            return false;
        }
        QByteArray items[32];
        for (QByteArray& item : items) {
            if (!in.read(f)) {
                error = QStringLiteral("魔法列表第%1行：语句不完整").arg(line);
                return false;
            }
            item = f.text;
        }
        int16_t nums[31] = {};
        for (int i = 0; i < 31; ++i) {
            if (i == 0 || i == 2 || i == 8)
                continue;
            bool ok = false;
            const int v = items[i].trimmed().toInt(&ok);
            if (!ok || v < -32768 || v > 32767) {
                error = QStringLiteral("魔法列表第%1行：第%2个值“%3”不是有效的数字")
                            .arg(line)
                            .arg(i + 1)
                            .arg(fr::gbk::decode(items[i]));
                return false;
            }
            nums[i] = static_cast<int16_t>(v);
        }
        MagicRec& r = out[n];
        r.FileName = items[0];
        r.Name = items[2];
        r.WaveName = items[8];
        int16_t* fields[] = {nullptr,         &r.ID,          nullptr,       &r.SmallWidth,   &r.SmallHeight,
                             &r.RowCounts,    &r.ColCounts,   &r.Delay,      nullptr,         &r.TimeInterval,
                             &r.InitSpeed,    &r.Acceleration, &r.AnimiType, &r.OnceCounts,   &r.TimeLife,
                             &r.Attack,       &r.AddAttack,   &r.AddDefend,  &r.AddHp,        &r.AddMp,
                             &r.Attribute,    &r.ELeft,       &r.ETop,       &r.ERight,       &r.EBottom,
                             &r.AutoAim,      &r.CrossObstacle, &r.CircleRadius, &r.CircleCounts, &r.OneCycle,
                             &r.CostMp};
        for (int i = 0; i < 31; ++i)
            if (fields[i])
                *fields[i] = nums[i];
        // 16-bit products, as the list has always been read.
        r.LargeWidth = static_cast<int16_t>(r.RowCounts * r.SmallWidth);
        r.LargeHeight = static_cast<int16_t>(r.ColCounts * r.SmallHeight);
    }
    recs = out;
    return true;
}

} // namespace tilesmith
