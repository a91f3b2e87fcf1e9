#include "recent_map.h"

#include "platform/gbk.h"
#include "platform/paths.h"
#include "platform/textfile.h"

namespace tilesmith {
namespace {

QString fileOf(const QString& appDir)
{
    return fr::ci::resolve(appDir + QStringLiteral("RecentMap.txt"));
}

} // namespace

QString ReadRecentMap(const QString& appDir)
{
    QByteArray bytes;
    QString error;
    if (!fr::fileExists(fileOf(appDir)) || !fr::readWholeFile(fileOf(appDir), bytes, error, 1 << 20))
        return {};
    fr::FieldReader in(bytes);
    fr::FieldReader::Field f;
    if (!in.skipBlankLines() || !in.read(f))
        return {};
    return fr::gbk::decode(f.text);
}

bool WriteRecentMap(const QString& appDir, const QString& path, QString& error)
{
    if (path.contains(QLatin1Char('"')) || path.contains(QLatin1Char('\r')) || path.contains(QLatin1Char('\n'))) {
        error = QStringLiteral("路径中含有双引号或换行，RecentMap.txt 无法记下它：%1").arg(path);
        return false;
    }
    QByteArray gbk;
    if (!fr::gbk::encode(path, gbk)) {
        error = QStringLiteral("路径中的字符“%1”不能用 GBK 表示，RecentMap.txt 无法记下它：%2")
                    .arg(fr::gbk::firstUnencodable(path), path);
        return false;
    }
    fr::FieldWriter out;
    out.string(gbk);
    out.endLine();
    return fr::writeFileAtomic(fileOf(appDir), out.bytes(), error);
}

} // namespace tilesmith
