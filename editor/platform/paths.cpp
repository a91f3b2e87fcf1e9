#include "paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

QString gameFile(const QString& gameFolder, const QString& name, QString& refusal)
{
    QString rel = name;
    rel.replace(QLatin1Char('\\'), sep);
    const bool leaves = rel.startsWith(sep) || (rel.size() >= 2 && rel[1] == QLatin1Char(':')) ||
                        rel.split(sep).contains(QStringLiteral(".."));
    if (leaves) {
        refusal = QStringLiteral("文件名指向游戏目录之外，已拒绝！\r\n%1").arg(name);
        return {};
    }
    return ci::resolve(gameFolder + rel);
}

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
        error = QStringLiteral("文件太大，不能读入！\r\n%1（%2字节，上限%3字节）").arg(real).arg(info.size()).arg(maxBytes);
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

namespace {

std::function<bool(const QString&)> g_writeHook;

QString systemReason(int err)
{
    switch (err) {
    case ENOENT: return QStringLiteral("文件夹不存在");
    case ENOTDIR: return QStringLiteral("路径中有一段不是文件夹");
    case EACCES:
    case EPERM: return QStringLiteral("没有写入权限");
    case EROFS: return QStringLiteral("文件系统是只读的");
    case ENOSPC: return QStringLiteral("磁盘已满");
    case EDQUOT: return QStringLiteral("超出磁盘配额");
    case EFBIG: return QStringLiteral("文件超出允许的大小");
    case EISDIR: return QStringLiteral("是一个文件夹");
    default: break;
    }
    return QString::fromLocal8Bit(std::strerror(err));
}

// The temporary file of a target: one fixed hidden name beside it, ending
// in ".tmp" (never in the target's extension, so no file list shows it).
// Fixed, so a save that was killed leaves at most this one file, and the
// next save of the target replaces it.
QByteArray tempName(const QByteArray& dir, const QByteArray& base)
{
    return dir + "/." + base + ".tmp";
}

} // namespace

void setAtomicWriteHookForTest(std::function<bool(const QString&)> hook)
{
    g_writeHook = std::move(hook);
}

namespace {

// Whether `path` (canonical) is `root` (canonical) or lies under it.
bool within(const QString& path, const QString& root)
{
    if (path == root)
        return true;
    return path.startsWith(root.endsWith(sep) ? root : root + sep);
}

// Writes `bytes` over `path`. With `confineTo` empty a link at the name is
// followed wherever it leads. Otherwise `confineTo` is the folder the file
// belongs in: a link at the name is followed only to a file inside it, one
// that leads anywhere else (or nowhere) is itself replaced by the new file,
// and a name whose folder lies outside it (through a linked folder) is
// refused.
bool writeAtomic(const QString& path, const QByteArray& bytes, QString& error, const QString& confineTo)
{
    QString target = ci::resolve(path);
    const QFileInfo link(target);
    const QString root = confineTo.isEmpty() ? QString() : QFileInfo(confineTo).canonicalFilePath();
    if (!confineTo.isEmpty()) {
        const QString folder = QFileInfo(link.path()).canonicalFilePath();
        if (!folder.isEmpty() && (root.isEmpty() || !within(folder, root))) {
            error = QStringLiteral("没有写入文件：%1（它所在的文件夹经链接通到游戏文件夹之外）").arg(target);
            return false;
        }
    }
    bool replacingLink = false;
    if (link.isSymLink()) {
        // Replace the file the link names, not the link (unless it would
        // take an own file out of its folder).
        const QString real = link.canonicalFilePath();
        if (!real.isEmpty() && (confineTo.isEmpty() || within(real, root)))
            target = real;
        else
            replacingLink = true;
    }
    const QByteArray nativeTarget = QFile::encodeName(target);
    const QFileInfo info(target);
    const QByteArray nativeDir = QFile::encodeName(info.path());
    const QByteArray base = QFile::encodeName(info.fileName());

    auto fail = [&](const QString& what, int err) {
        error = QStringLiteral("%1：%2（%3）").arg(what, target, systemReason(err));
        return false;
    };

    // A link about to be replaced is no file to take a mode or owner from.
    struct stat st {};
    const bool exists = !replacingLink && ::stat(nativeTarget.constData(), &st) == 0;
    if (exists) {
        if (S_ISDIR(st.st_mode))
            return fail(QStringLiteral("无法写入文件"), EISDIR);
        if (!S_ISREG(st.st_mode)) {
            error = QStringLiteral("无法写入文件：%1（不是普通文件）").arg(target);
            return false;
        }
        if ((st.st_mode & 0222) == 0) {
            error = QStringLiteral("文件是只读的，没有改写：%1").arg(target);
            return false;
        }
    } else if (!replacingLink && errno != ENOENT) {
        return fail(QStringLiteral("无法写入文件"), errno);
    }

    // A file under the temporary name is what an interrupted save left
    // behind: it goes, and the new one is made afresh (never written through
    // whatever stood there).
    const QByteArray temp = tempName(nativeDir, base);
    int fd = -1;
    for (int attempt = 0; attempt < 3 && fd < 0; ++attempt) {
        if (::unlink(temp.constData()) != 0 && errno != ENOENT) {
            const int err = errno;
            struct stat tst {};
            if (::lstat(temp.constData(), &tst) == 0 && S_ISDIR(tst.st_mode)) {
                // The fault is the folder at the temporary name, not the
                // target: name the one that is in the way.
                error = QStringLiteral("无法写入文件：%1（临时文件的名字 %2 已被一个文件夹占用，请移走它）")
                            .arg(target, QFile::decodeName(temp));
                return false;
            }
            return fail(QStringLiteral("无法写入文件"), err);
        }
        fd = ::open(temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, exists ? 0600 : 0666);
        if (fd < 0 && errno != EEXIST)
            return fail(QStringLiteral("无法写入文件"), errno);
    }
    if (fd < 0)
        return fail(QStringLiteral("无法写入文件"), EEXIST);

    auto abandon = [&](const QString& what, int err) {
        ::close(fd);
        ::unlink(temp.constData());
        return fail(what, err);
    };

    if (exists) {
        // The new file takes the old one's permissions and, where allowed,
        // its owner.
        if (::fchmod(fd, st.st_mode & 07777) != 0)
            return abandon(QStringLiteral("无法写入文件"), errno);
        if (st.st_uid != ::geteuid() || st.st_gid != ::getegid()) {
            const int ignored = ::fchown(fd, st.st_uid, st.st_gid);
            (void)ignored;
        }
    }

    const char* p = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, static_cast<size_t>(std::min<qsizetype>(left, 1 << 20)));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return abandon(QStringLiteral("写入文件出错"), errno);
        }
        p += n;
        left -= n;
    }
    if (g_writeHook && !g_writeHook(QFile::decodeName(temp)))
        return abandon(QStringLiteral("写入文件出错"), EIO);
    if (::fsync(fd) != 0)
        return abandon(QStringLiteral("写入文件出错"), errno);
    if (::close(fd) != 0) {
        const int err = errno;
        ::unlink(temp.constData());
        return fail(QStringLiteral("写入文件出错"), err);
    }
    if (::rename(temp.constData(), nativeTarget.constData()) != 0) {
        const int err = errno;
        ::unlink(temp.constData());
        return fail(QStringLiteral("无法替换文件"), err);
    }
    // Make the rename itself last; a failure here changes nothing written.
    const int dirFd = ::open(nativeDir.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return true;
}

bool copyInto(const QString& src, const QString& dst, QString& error, const QString& confineTo)
{
    const QString realSrc = ci::resolve(src);
    const QString realDst = ci::resolve(dst);
    const QString a = QFileInfo(realSrc).canonicalFilePath();
    const QString b = QFileInfo(realDst).canonicalFilePath();
    // (An own file that is a link leading out to the source still becomes
    // a copy of its own.)
    if (!a.isEmpty() && a == b && (confineTo.isEmpty() || within(b, QFileInfo(confineTo).canonicalFilePath())))
        return true;
    QByteArray bytes;
    if (!readWholeFile(realSrc, bytes, error))
        return false;
    return writeAtomic(realDst, bytes, error, confineTo);
}

} // namespace

bool writeFileAtomic(const QString& path, const QByteArray& bytes, QString& error)
{
    return writeAtomic(path, bytes, error, {});
}

bool writeOwnFile(const QString& gameFolder, const QString& path, const QByteArray& bytes, QString& error)
{
    return writeAtomic(path, bytes, error, gameFolder);
}

bool copyFile(const QString& src, const QString& dst, QString& error)
{
    return copyInto(src, dst, error, {});
}

bool copyToOwnFile(const QString& gameFolder, const QString& src, const QString& dst, QString& error)
{
    return copyInto(src, dst, error, gameFolder);
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

QString editorDirOfGame(const QString& gameDir)
{
    const QString game = QDir::cleanPath(QDir::current().absoluteFilePath(gameDir));
    QString dir = ci::resolve(game + QStringLiteral("/editor"));
    if (!dir.endsWith(sep))
        dir += sep;
    return dir;
}

} // namespace fr
