#include "module2.h"

#include "platform/dialogs.h"
#include "platform/gbk.h"
#include "platform/paths.h"
#include "platform/textfile.h"

#include <QFileInfo>

namespace tilesmith {

Module2::Module2(Module1& m, ToolForms* tools) : m_(m), tools_(tools) {}

namespace {

QString shown(const QByteArray& b)
{
    QString s = fr::gbk::decode(b);
    if (s.size() > 40)
        s = s.left(40) + QStringLiteral("…");
    return s;
}

// How the messages name the fields of a record.
QString FieldLabel(int field)
{
    static const char* const labels[] = {"编号", "名称", "控件", "限制", "数据", "变量名", "可编辑", "其他"};
    return QString::fromUtf8(labels[field]);
}

// Why a string field of a record cannot be stored in the list, or "". Every
// string is quoted in the file, so commas are read back as they stand; only
// `data` (field 4) is refused one, since it becomes the default value that
// the placement and role statements write without quotes.
QString StringFieldProblem(int field, const QByteArray& text)
{
    return field == 4 ? ValueTextProblem(text) : QuotedTextProblem(text);
}

} // namespace

void Module2::loadAttribList(const QString& fileName, AttribArray& list, int16_t& count)
{
    for (int i = 0; i < SearchedSlots; ++i)
        list[i].index = -1;
    count = 0;
    const QString path = fr::ci::resolve(m_.AppDir + fileName);
    m_.PartlyReadFiles.remove(path);
    if (!fr::fileExists(path)) {
        fr::msgBox(QStringLiteral("找不到属性列表文件：%1\r\n列表为空。").arg(path));
        return;
    }
    QByteArray bytes;
    QString error;
    if (!fr::readWholeFile(path, bytes, error)) {
        fr::msgBox(QStringLiteral("无法读取属性列表：%1\r\n列表为空。").arg(error));
        return;
    }
    if (fr::hasOnlyLfLineEnds(bytes))
        fr::msgBox(QStringLiteral("属性列表 %1 的行尾只有 LF（没有 CR），已按 CR LF 读入。").arg(path));
    fr::FieldReader in(bytes);
    auto stop = [&](int line, const QString& why) {
        m_.PartlyReadFiles.insert(path);
        fr::msgBox(QStringLiteral("属性列表 %1 第 %2 行：%3\r\n只读入了前 %4 条记录；在此文件修好之前不会改写它。")
                       .arg(path)
                       .arg(line)
                       .arg(why)
                       .arg(count));
    };
    while (in.skipBlankLines()) {
        const int line = in.line();
        if (count >= AttribSlots) {
            stop(line, QStringLiteral("记录超过 %1 条，其余的没有读入。").arg(AttribSlots));
            return;
        }
        fr::FieldReader::Field f[8];
        QString problem;
        for (int got = 0; got < 8 && problem.isEmpty(); ++got) {
            if (!in.read(f[got])) {
                problem = QStringLiteral("记录应有 8 个字段，只有 %1 个。").arg(got);
                break;
            }
            const bool last = got == 7;
            const bool isString = got != 0 && got != 6;
            const QString why = f[got].damaged ? QStringLiteral("含有双引号")
                                : isString     ? StringFieldProblem(got, f[got].text)
                                               : QString();
            if (!why.isEmpty()) {
                const bool named = got > 1 && !f[1].damaged;
                problem = QStringLiteral("%1的%2%3。").arg(
                    named ? QStringLiteral("属性“%1”").arg(shown(f[1].text)) : QStringLiteral("这条记录"),
                    FieldLabel(got), why);
            } else if (!last && f[got].end != fr::FieldReader::End::Comma)
                problem = QStringLiteral("记录应有 8 个字段，这一行只有 %1 个。").arg(got + 1);
            else if (last && f[got].end == fr::FieldReader::End::Comma)
                problem = QStringLiteral("记录应有 8 个字段，这一行的字段多于 8 个。");
        }
        if (!problem.isEmpty()) {
            stop(line, problem);
            return;
        }
        int16_t index = 0;
        if (f[0].quoted || !fr::parseWholeInt16(f[0].text, index)) {
            stop(line, QStringLiteral("编号“%1”不是整数。").arg(shown(f[0].text)));
            return;
        }
        int16_t editable = 0;
        if (!f[6].quoted && f[6].text == "#TRUE#")
            editable = fr::True;
        else if (!f[6].quoted && f[6].text == "#FALSE#")
            editable = fr::False;
        else {
            stop(line, QStringLiteral("第 7 个字段“%1”应为 #TRUE# 或 #FALSE#。").arg(shown(f[6].text)));
            return;
        }
        AttribRec& r = list[count];
        r.index = index;
        r.name = f[1].text;
        r.control = f[2].text;
        r.restrict = f[3].text;
        r.data = f[4].text;
        r.varname = f[5].text;
        r.editable = editable;
        r.other = f[7].text;
        ++count;
    }
}

void Module2::LoadRoleAttribList(const QString& fileName)
{
    loadAttribList(fileName, m_.RoleAttribs, m_.RoleAttribCount);
}

void Module2::LoadNpcAttribList(const QString& fileName)
{
    loadAttribList(fileName, m_.NpcAttribs, m_.NpcAttribCount);
}

void Module2::LoadMonsterAttribList(const QString& fileName)
{
    loadAttribList(fileName, m_.MonsterAttribs, m_.MonsterAttribCount);
}

bool Module2::saveAttribList(const QString& fileName, AttribArray& list, int16_t count)
{
    const QString path = fr::ci::resolve(m_.AppDir + fileName);
    if (m_.PartlyReadFiles.contains(path)) {
        fr::msgBox(QStringLiteral("属性列表 %1 上次只读入了一部分，保存会丢掉没有读入的记录，因此没有保存。").arg(path));
        return false;
    }
    const int n = std::clamp<int>(count, 0, AttribSlots);
    // Strings are written as they are, so a value that would end its field
    // early would cost this record and every later one at the next start.
    for (int i = 0; i < n; ++i) {
        const AttribRec& r = list[i];
        if (r.index < 0)
            continue;
        const QByteArray* strings[] = {nullptr, &r.name, &r.control, &r.restrict, &r.data, &r.varname, nullptr,
                                       &r.other};
        for (int k = 0; k < 8; ++k) {
            const QString why = strings[k] ? StringFieldProblem(k, *strings[k]) : QString();
            if (!why.isEmpty()) {
                fr::msgBox(QStringLiteral("属性列表 %1 中属性“%2”的%3“%4”%5，无法保存。")
                               .arg(path, shown(r.name), FieldLabel(k), shown(*strings[k]), why));
                return false;
            }
        }
    }
    fr::FieldWriter out;
    for (int i = 0; i < n; ++i) {
        AttribRec& r = list[i];
        if (r.index < 0)
            continue;
        r.index = static_cast<int16_t>(i);
        out.number(r.index);
        out.string(r.name);
        out.string(r.control);
        out.string(r.restrict);
        out.string(r.data);
        out.string(r.varname);
        out.boolean(r.editable != 0);
        out.string(r.other);
        out.endLine();
    }
    QString error;
    if (!fr::writeOwnFile(GetParentPath(m_.AppDir, 1), path, out.bytes(), error)) {
        fr::msgBox(QStringLiteral("保存属性列表失败：%1").arg(error));
        return false;
    }
    return true;
}

bool Module2::SaveRoleAttribList()
{
    return saveAttribList(QStringLiteral("RoleAttribList.txt"), m_.RoleAttribs, m_.RoleAttribCount);
}

bool Module2::SaveNpcAttribList()
{
    return saveAttribList(QStringLiteral("NpcAttribList.txt"), m_.NpcAttribs, m_.NpcAttribCount);
}

bool Module2::SaveMonsterAttribList()
{
    return saveAttribList(QStringLiteral("MonsterAttribList.txt"), m_.MonsterAttribs, m_.MonsterAttribCount);
}

bool Module2::kindOf(const QByteArray& kind, Kind& out)
{
    if (kind == "monster") {
        out = {AttribKind::Monster, &m_.MonsterAttribs, &m_.MonsterValues};
        return true;
    }
    if (kind == "npc") {
        out = {AttribKind::Npc, &m_.NpcAttribs, &m_.NpcValues};
        return true;
    }
    if (kind == "role") {
        out = {AttribKind::Role, &m_.RoleAttribs, nullptr};
        return true;
    }
    return false;
}

int Module2::FindAttribSlot(const AttribArray& list, const QByteArray& varname)
{
    for (int i = 0; i < SearchedSlots; ++i)
        if (list[i].varname == varname)
            return i;
    return -1;
}

QByteArray Module2::SetAttribValue(const QByteArray& kind, int instance, const QByteArray& varname,
                                   const QByteArray& value)
{
    Kind k;
    const int slot = kindOf(kind, k) ? FindAttribSlot(*k.attribs, varname) : -1;
    if (slot < 0) {
        fr::msgBox(QStringLiteral("SetAttribValue没找到变量") + fr::gbk::decode(varname));
        return "-1";
    }
    AttribRec& r = (*k.attribs)[slot];
    r.data = value;
    if (tools_)
        tools_->rows(k.kind).setRow(slot, fr::gbk::decode(r.name), fr::gbk::decode(r.data));
    if (k.values && instance >= 0) {
        if (instance < InstanceSlots)
            (*k.values)[instance][slot] = value;
        else
            fr::msgBox(QStringLiteral("SetAttribValue实例编号 %1 超出范围（0 到 50）").arg(instance));
    }
    return "1";
}

QByteArray Module2::GetAttribValue(const QByteArray& kind, int instance, const QByteArray& varname)
{
    Kind k;
    const int slot = kindOf(kind, k) ? FindAttribSlot(*k.attribs, varname) : -1;
    if (slot < 0) {
        fr::msgBox(QStringLiteral("GetAttribValue没找到变量") + fr::gbk::decode(varname));
        return "-1";
    }
    if (!k.values || instance < 0)
        return (*k.attribs)[slot].data;
    if (instance >= InstanceSlots) {
        fr::msgBox(QStringLiteral("GetAttribValue实例编号 %1 超出范围（0 到 50）").arg(instance));
        return "-1";
    }
    return (*k.values)[instance][slot];
}

} // namespace tilesmith
