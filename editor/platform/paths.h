#pragma once
// Files and folders as the editor sees them: '/' separates components, and
// every component of a name matches an existing entry without regard to
// letter case (an exact spelling wins). Replacing a file keeps its existing
// spelling and goes through a temporary file beside it and a rename.
#include <QByteArray>
#include <QString>

#include <functional>

namespace fr {

inline constexpr QChar sep = QLatin1Char('/');

namespace ci {
// The existing spelling of `path`, component by component; components that
// match nothing are kept as given (so the result names where a new file
// would go).
QString resolve(const QString& path);
} // namespace ci

// A file that the game's data names, as a path under `gameFolder` (which
// ends with '/'). `name` is the name as the game builds it, relative to its
// folder: '\\' and '/' both separate components. A name that is absolute,
// begins with a drive letter or has a ".." component would leave the game
// folder; the game refuses it, and so does this: the result is empty and
// `refusal` holds the game's message naming it. Only names the user picks in
// a dialog may lie anywhere, and they do not come through here.
QString gameFile(const QString& gameFolder, const QString& name, QString& refusal);

bool fileExists(const QString& path); // a regular file, any letter case
bool dirExists(const QString& path);  // a folder, any letter case

// Reads a whole file. Fails with a message in `error` (Chinese, naming the
// path) when it is missing, not a regular file, larger than maxBytes or
// cannot be read.
bool readWholeFile(const QString& path, QByteArray& out, QString& error, qint64 maxBytes = 256ll << 20);

// Writes bytes to a temporary file in the target's folder and renames it
// over the target (under the target's existing spelling; a link is followed
// to the file it names). The temporary file has one fixed name per target,
// ".<name>.tmp" beside it: hidden, never in the target's extension, so no
// file list shows it, and one a killed save left is replaced by the next. The
// target keeps its permission bits. A target without any write bit is
// refused (also for a user whom the system would let write it). On any
// failure the temporary file is removed, the target is untouched and `error`
// says why (Chinese, naming the path, with the system's reason).
bool writeFileAtomic(const QString& path, const QByteArray& bytes, QString& error);

// The same for a file the editor names itself (its backups, remembered
// names, attribute lists, event catalogue), which belongs in `gameFolder`:
// a link at its name is followed only to a file inside that folder; one that
// leads out of it (or nowhere) is replaced by the file itself, and a name
// whose folder leads out through a linked folder is refused.
bool writeOwnFile(const QString& gameFolder, const QString& path, const QByteArray& bytes, QString& error);

// Tests only: called with the temporary file's path once all bytes are in it
// and before it replaces the target; returning false fails the write there.
void setAtomicWriteHookForTest(std::function<bool(const QString& tempPath)> hook);

// Copies src over dst (replacing it). When both name the same file nothing is
// written and the copy counts as done.
bool copyFile(const QString& src, const QString& dst, QString& error);
// The same when dst is a file the editor names itself (as writeOwnFile).
bool copyToOwnFile(const QString& gameFolder, const QString& src, const QString& dst, QString& error);

// The editor's own folder followed by '/', fixed at start-up.
QString appDir();
void setAppDir(const QString& dirWithSep);
// The folder of the program file as it was started: argv[0] made absolute
// (looked up in PATH when it has no '/'), without following links.
QString programDirFromArgv0(const QString& argv0);
// The editor folder of a game folder (its "editor", matched without regard to
// letter case), made absolute, followed by '/': the editor's own folder when
// it is started for that game folder.
QString editorDirOfGame(const QString& gameDir);

} // namespace fr
