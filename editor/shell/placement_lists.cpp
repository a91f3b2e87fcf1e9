#include "module2.h"

#include "platform/dialogs.h"
#include "platform/paths.h"
#include "platform/textfile.h"

#include <QCryptographicHash>
#include <QFile>

namespace tilesmith {

QString PlacementListPath(const QString& mapPath, const char* suffix)
{
    const QString game = GetParentPath(mapPath, 2);
    // Without a game folder above the map there is no list to look for (a
    // relative name would land in whatever the working folder is).
    if (game.isEmpty())
        return {};
    return fr::ci::resolve(game + QStringLiteral("script/") + StripExtension(GetFileName(mapPath)) +
                           QLatin1String(suffix) + QStringLiteral(".jsr"));
}

Module1::ListStamp PlacementListStamp(const QString& mapPath, const char* suffix)
{
    Module1::ListStamp st;
    st.taken = true;
    st.mapPath = mapPath;
    const QString path = PlacementListPath(mapPath, suffix);
    QFile f(path);
    if (!path.isEmpty() && f.open(QIODevice::ReadOnly)) {
        const QByteArray bytes = f.readAll();
        st.size = bytes.size();
        st.digest = QCryptographicHash::hash(bytes, QCryptographicHash::Sha1);
    }
    return st;
}

ListRead ReadPlacementList(const QString& path, int attribCount, const char* kindWord, PlacementList& list,
                           bool& partial)
{
    partial = false;
    if (path.isEmpty() || !fr::fileExists(path))
        return ListRead::Missing;
    QByteArray bytes;
    QString error;
    if (!fr::readWholeFile(path, bytes, error)) {
        fr::msgBox(QStringLiteral("无法读取放置列表：%1").arg(error));
        return ListRead::Failed;
    }
    if (fr::hasOnlyLfLineEnds(bytes))
        fr::msgBox(QStringLiteral("放置列表 %1 的行尾只有 LF（没有 CR），已按 CR LF 读入。").arg(path));
    attribCount = std::clamp(attribCount, 0, int(AttribSlots));
    list.count = 0;
    fr::FieldReader in(bytes);
    bool warnedClose = false;
    fr::FieldReader::Field f;
    while (in.skipBlankLines()) {
        const int line = in.line();
        if (!in.read(f) || f.text == "EOF")
            break;
        const int entry = list.count;
        bool whole = true;
        for (int a = 0; a < attribCount && whole; ++a) {
            if (!in.read(f))
                whole = false;
            else
                list.values[entry][a] = f.text;
        }
        if (whole && !in.read(f))
            whole = false;
        if (!whole) {
            // Written under another attribute count, or cut short: the rest
            // cannot be read in step.
            for (int a = 0; a < attribCount; ++a)
                list.values[entry][a].clear();
            partial = true;
            fr::msgBox(QStringLiteral("放置列表 %1 的第 %2 条记录（第 %3 行起）不完整，没有读入；"
                                      "在此文件修好之前不会改写它。")
                           .arg(path)
                           .arg(entry + 1)
                           .arg(line));
            break;
        }
        if (f.text != ");" && !warnedClose) {
            warnedClose = true;
            fr::msgBox(QStringLiteral("放置列表 %1 的第 %2 条记录没有以“);”结束，"
                                      "它的值的个数可能与属性列表（%3 项）不一致。")
                           .arg(path)
                           .arg(entry + 1)
                           .arg(attribCount));
        }
        ++list.count;
        if (list.count >= PlacementLimit) {
            fr::msgBox(QLatin1String(kindWord) + QStringLiteral("数目超过额定!"));
            fr::FieldReader::Field next;
            if (in.skipBlankLines() && in.read(next) && next.text != "EOF")
                partial = true;
            break;
        }
    }
    return ListRead::Read;
}

void Module2::loadMapList(const QString& mapPath, bool npc)
{
    const QString path = PlacementListPath(mapPath, npc ? "_npc" : "_monster");
    const int attribCount = npc ? m_.NpcAttribCount : m_.MonsterAttribCount;
    auto list = std::make_unique<PlacementList>();
    ValueTable& target = npc ? m_.NpcValues : m_.MonsterValues;
    list->values = target;
    bool partial = false;
    (npc ? m_.NpcListStamp : m_.MonsterListStamp) = PlacementListStamp(mapPath, npc ? "_npc" : "_monster");
    if (ReadPlacementList(path, attribCount, npc ? "npc" : "monster", *list, partial) != ListRead::Read)
        return;
    target = list->values;
    (npc ? m_.NpcCount : m_.MonsterCount) = list->count;
    (npc ? m_.NpcListPath : m_.MonsterListPath) = path;
    if (partial)
        m_.PartlyReadFiles.insert(path);
    else
        m_.PartlyReadFiles.remove(path);
}

void Module2::LoadMapNpcList(const QString& mapPath)
{
    loadMapList(mapPath, true);
}

void Module2::LoadMapMonsterList(const QString& mapPath)
{
    loadMapList(mapPath, false);
}

bool Module2::MapNpcListChanged() const
{
    return !(m_.NpcListStamp == PlacementListStamp(m_.MapPath, "_npc"));
}

bool Module2::MapMonsterListChanged() const
{
    return !(m_.MonsterListStamp == PlacementListStamp(m_.MapPath, "_monster"));
}

namespace {

// The first value of the statement whose '(' lies just before position p
// (1-based): the text between "(," and the next ',' as a whole number.
bool firstValueIs(const QByteArray& text, int p, int id)
{
    qsizetype i = p - 1; // 0-based index just after '('
    const qsizetype n = text.size();
    while (i < n && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    if (i >= n || text[i] != ',')
        return false;
    ++i;
    qsizetype e = i;
    while (e < n && text[e] != ',' && text[e] != ';' && text[e] != '\r' && text[e] != '\n')
        ++e;
    const QByteArray value = text.mid(i, e - i).trimmed();
    if (value.isEmpty() || value.size() > 9)
        return false;
    bool ok = false;
    const int v = value.toInt(&ok, 10);
    return ok && v == id;
}

} // namespace

void Module2::RemoveScriptEntry(const QString& listName, int16_t id)
{
    const QString path =
        fr::ci::resolve(GetParentPath(m_.AppDir, 1) + QStringLiteral("script/") + listName + QStringLiteral(".jsr"));
    if (!fr::fileExists(path)) {
        fr::msgBox(QStringLiteral("找不到放置列表 %1，没有删除任何语句。").arg(path));
        return;
    }
    if (m_.PartlyReadFiles.contains(path)) {
        fr::msgBox(QStringLiteral("放置列表 %1 上次只读入了一部分，改写它会丢掉没有读入的记录，因此没有删除。").arg(path));
        return;
    }
    QByteArray text;
    QString error;
    if (!fr::readWholeFile(path, text, error)) {
        fr::msgBox(QStringLiteral("无法读取放置列表：%1").arg(error));
        return;
    }
    // One pass over the statements, from the start of the file.
    int p = 1;
    for (;;) {
        const int next = FindNthString(text, "(", 1, p);
        if (next == 1) {
            fr::msgBox(QStringLiteral("放置列表 %1 中没有编号为 %2 的语句，文件没有改动。").arg(path).arg(id));
            return;
        }
        p = next;
        if (firstValueIs(text, p, id))
            break;
    }
    const QByteArray result = CutStatement(text, p) + "\r\n";
    if (!fr::writeFileAtomic(path, result, error))
        fr::msgBox(QStringLiteral("改写放置列表失败：%1").arg(error));
}

} // namespace tilesmith
