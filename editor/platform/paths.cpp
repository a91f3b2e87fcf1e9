#include "paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace fr {

namespace ci {

QString resolve(const QString& path)
{
    if (path.isEmpty())
        return path;
    const bool absolute = path.startsWith(sep);
    const bool trailing = path.size() > 1 && path.endsWith(sep);
    const QStringList parts = path.split(sep, Qt::SkipEmptyParts);
    QString out = absolute ? QStringLiteral("/") : QString();
    bool resolving = true;
    for (const QString& part : parts) {
        QString name = part;
        if (resolving && part != QLatin1String(".") && part != QLatin1String("..")) {
            const QDir dir(out.isEmpty() ? QStringLiteral(".") : out);
            if (!QFileInfo::exists(dir.filePath(part))) {
                const QStringList entries =
                    dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
                QString found;
                for (const QString& e : entries)
                    if (e.compare(part, Qt::CaseInsensitive) == 0) {
                        found = e;
                        break;
                    }
                // Past the first component that matches nothing, the rest of
                // the path cannot exist either.
                if (found.isEmpty())
                    resolving = false;
                else
                    name = found;
            }
        }
        if (!out.isEmpty() && !out.endsWith(sep))
            out += sep;
        out += name;
    }
    if (trailing && !out.endsWith(sep))
        out += sep;
    return out;
}

} // namespace ci

bool fileExists(const QString& path)
{
    if (path.isEmpty())
        return false;
    return QFileInfo(ci::resolve(path)).isFile();
}

bool dirExists(const QString& path)
{
    if (path.isEmpty())
        return false;
    return QFileInfo(ci::resolve(path)).isDir();
}

bool readWholeFile(const QString& path, QByteArray& out, QString& error, qint64 maxBytes)
{
    const QString real = ci::resolve(path);
    QFileInfo info(real);
    if (!info.exists()) {
        error = QStringLiteral("找不到文件：%1").arg(path);
        return false;
    }
    if (!info.isFile()) {
        error = QStringLiteral("不是文件：%1").arg(real);
        return false;
    }
    if (info.size() > maxBytes) {
        error = QStringLiteral("文件过大（%1 字节）：%2").arg(info.size()).arg(real);
        return false;
    }
    QFile f(real);
    if (!f.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("无法读取文件：%1（%2）").arg(real, f.errorString());
        return false;
    }
    QByteArray data = f.readAll();
    if (f.error() != QFileDevice::NoError) {
        error = QStringLiteral("读取文件出错：%1（%2）").arg(real, f.errorString());
        return false;
    }
    out = std::move(data);
    return true;
}

bool writeFileAtomic(const QString& path, const QByteArray& bytes, QString& error)
{
    const QString real = ci::resolve(path);
    QFileInfo target(real);
    if (!QFileInfo(target.path()).isDir()) {
        error = QStringLiteral("文件夹不存在：%1").arg(target.path());
        return false;
    }
    QSaveFile f(real);
    f.setDirectWriteFallback(false);
    if (!f.open(QIODevice::WriteOnly)) {
        error = QStringLiteral("无法写入文件：%1（%2）").arg(real, f.errorString());
        return false;
    }
    if (f.write(bytes) != bytes.size()) {
        error = QStringLiteral("写入文件出错：%1（%2）").arg(real, f.errorString());
        f.cancelWriting();
        return false;
    }
    if (!f.commit()) {
        error = QStringLiteral("写入文件出错：%1（%2）").arg(real, f.errorString());
        return false;
    }
    return true;
}

bool copyFile(const QString& src, const QString& dst, QString& error)
{
    const QString realSrc = ci::resolve(src);
    const QString realDst = ci::resolve(dst);
    const QString a = QFileInfo(realSrc).canonicalFilePath();
    const QString b = QFileInfo(realDst).canonicalFilePath();
    if (!a.isEmpty() && a == b)
        return true;
    QByteArray bytes;
    if (!readWholeFile(realSrc, bytes, error))
        return false;
    return writeFileAtomic(realDst, bytes, error);
}

namespace {
QString g_appDir;
}

QString appDir()
{
    return g_appDir;
}

void setAppDir(const QString& dirWithSep)
{
    g_appDir = dirWithSep;
    if (!g_appDir.isEmpty() && !g_appDir.endsWith(sep))
        g_appDir += sep;
}

QString programDirFromArgv0(const QString& argv0)
{
    QString program = argv0;
    if (!program.contains(sep)) {
        const QStringList dirs = QString::fromLocal8Bit(qgetenv("PATH")).split(QLatin1Char(':'), Qt::SkipEmptyParts);
        for (const QString& d : dirs) {
            QFileInfo candidate(QDir(d).filePath(program));
            if (candidate.isFile() && candidate.isExecutable()) {
                program = candidate.filePath();
                break;
            }
        }
    }
    const QString absolute = QDir::cleanPath(QDir::current().absoluteFilePath(program));
    QString dir = QFileInfo(absolute).path();
    if (!dir.endsWith(sep))
        dir += sep;
    return dir;
}

} // namespace fr
