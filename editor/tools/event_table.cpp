#include "event_table.h"

#include "platform/gbk.h"
#include "platform/paths.h"

#include <QList>

namespace tilesmith {

namespace {

QByteArray gbk(const QString& s)
{
    QByteArray out;
    fr::gbk::encode(s, out);
    return out;
}

} // namespace

EventTable EventTable::read(const QByteArray& data, QString& warning)
{
    EventTable t;
    QList<QByteArray> lines = data.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast(); // the line end of the last line
    for (QByteArray& l : lines)
        if (l.endsWith('\r'))
            l.chop(1);
    for (qsizetype i = 0; i < lines.size(); i += 2) {
        if (t.EventCount >= Slots) {
            warning = QStringLiteral("事件表超过%1条，后面的事件没有读入").arg(Slots);
            break;
        }
        t.EventNames[t.EventCount] = lines[i];
        t.EventComments[t.EventCount] = i + 1 < lines.size() ? lines[i + 1] : QByteArray();
        ++t.EventCount;
    }
    return t;
}

bool EventTable::save(const QString& gameFolder, const QString& path, int skip, QString& error) const
{
    QByteArray out;
    for (int i = 0; i < EventCount; ++i) {
        if (i == skip)
            continue;
        out += EventNames[i] + "\r\n" + EventComments[i] + "\r\n";
    }
    return fr::writeOwnFile(gameFolder, path, out, error);
}

bool EventTable::addNew()
{
    if (EventCount >= Slots)
        return false;
    const QByteArray name = gbk(QStringLiteral("新事件"));
    EventNames[EventCount] = name;
    EventComments[EventCount] = name + gbk(QStringLiteral("() 参数:"));
    ++EventCount;
    return true;
}

void EventTable::remove(int n)
{
    if (n < 0 || n >= EventCount)
        return;
    for (int m = n; m < EventCount - 1; ++m) {
        EventNames[m] = EventNames[m + 1];
        EventComments[m] = EventComments[m + 1];
    }
    EventNames[EventCount - 1].clear();
    EventComments[EventCount - 1].clear();
    --EventCount;
}

int EventTable::find(const QByteArray& name) const
{
    for (int n = 0; n < EventCount; ++n)
        if (EventNames[n] == name)
            return n;
    return -1;
}

} // namespace tilesmith
