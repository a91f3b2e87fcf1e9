#include "statements.h"

#include "platform/gbk.h"

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

} // namespace tilesmith
