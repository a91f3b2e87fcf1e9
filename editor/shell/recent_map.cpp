#include "recent_map.h"

#include "platform/gbk.h"
#include "platform/paths.h"
#include "platform/textfile.h"

#include <QDir>
#include <QFileInfo>

namespace tilesmith {
namespace {

QString fileOf(const QString& appDir, const QString& fileName)
{
    return fr::ci::resolve(appDir + fileName);
}

const QString RecentMapFile = QStringLiteral("RecentMap.txt");

// The game folder, the parent of the editor's folder, followed by '/'.
QString GameFolderOf(const QString& appDir)
{
    return QDir::cleanPath(appDir + QStringLiteral("/..")) + fr::sep;
}

// How the map at `path` is remembered: by its name relative to the game
// folder when it lies inside it (so a copy of the folder remembers its own
// map), with '\' between components as the game's own names have them;
// by its full path otherwise, and also when a component holds a '\' of its
// own, which the reader would take for a separator.
QString RememberedName(const QString& game, const QString& path)
{
    auto relativeIn = [](const QString& folder, const QString& file) -> QString {
        if (folder.isEmpty() || file.isEmpty() || !file.startsWith(folder + fr::sep))
            return {};
        return file.mid(folder.size() + 1);
    };
    const QString file = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    QString rel = relativeIn(QDir::cleanPath(game), file);
    if (rel.isEmpty()) {
        // The same folder reached by another way (a linked folder).
        const QFileInfo fileInfo(file);
        rel = relativeIn(QFileInfo(game).canonicalFilePath(),
                         QFileInfo(fileInfo.path()).canonicalFilePath() + fr::sep + fileInfo.fileName());
    }
    if (rel.isEmpty() || rel.contains(QLatin1Char('\\')))
        return path;
    return rel.replace(fr::sep, QLatin1Char('\\'));
}

} // namespace

QString ReadRecentMap(const QString& appDir, QString* problem)
{
    QString path = ReadRecentName(appDir, RecentMapFile, problem);
    // A relative name lies in the game folder, the parent of the editor's
    // folder: a game folder that remembers its map so can be copied.
    if (!path.isEmpty() && QDir::isRelativePath(path))
        path = QDir::cleanPath(appDir + QStringLiteral("../") + path.replace(QLatin1Char('\\'), fr::sep));
    return path;
}

bool WriteRecentMap(const QString& appDir, const QString& path, QString& error)
{
    return WriteRecentName(appDir, RecentMapFile, RememberedName(GameFolderOf(appDir), path), error);
}

QString ReadRecentName(const QString& appDir, const QString& fileName, QString* problem)
{
    // One name in one line: a megabyte is far more than any path.
    constexpr qint64 MaxBytes = 1 << 20;
    QByteArray bytes;
    QString error;
    const QString file = fileOf(appDir, fileName);
    if (!fr::fileExists(file))
        return {};
    if (!fr::readWholeFile(file, bytes, error, MaxBytes)) {
        if (problem)
            *problem = error;
        return {};
    }
    fr::FieldReader in(bytes);
    fr::FieldReader::Field f;
    if (!in.skipBlankLines() || !in.read(f))
        return {};
    return fr::gbk::decode(f.text);
}

bool WriteRecentName(const QString& appDir, const QString& fileName, const QString& path, QString& error)
{
    if (path.contains(QLatin1Char('"')) || path.contains(QLatin1Char('\r')) || path.contains(QLatin1Char('\n'))) {
        error = QStringLiteral("名字中含有双引号或换行，%1 无法记下它：%2").arg(fileName, path);
        return false;
    }
    QByteArray gbk;
    if (!fr::gbk::encode(path, gbk)) {
        error = QStringLiteral("名字中的字符“%1”不能用 GBK 表示，%2 无法记下它：%3")
                    .arg(fr::gbk::firstUnencodable(path), fileName, path);
        return false;
    }
    fr::FieldWriter out;
    out.string(gbk);
    out.endLine();
    return fr::writeOwnFile(GameFolderOf(appDir), fileOf(appDir, fileName), out.bytes(), error);
}

} // namespace tilesmith
