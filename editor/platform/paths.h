#pragma once
// Files and folders as the editor sees them: '/' separates components, and
// every component of a name matches an existing entry without regard to
// letter case (an exact spelling wins). Replacing a file keeps its existing
// spelling and goes through a temporary file beside it and a rename.
#include <QByteArray>
#include <QString>

namespace fr {

inline constexpr QChar sep = QLatin1Char('/');

namespace ci {
// The existing spelling of `path`, component by component; components that
// match nothing are kept as given (so the result names where a new file
// would go).
QString resolve(const QString& path);
} // namespace ci

bool fileExists(const QString& path); // a regular file, any letter case
bool dirExists(const QString& path);  // a folder, any letter case

// Reads a whole file. Fails with a message in `error` (Chinese, naming the
// path) when it is missing, not a regular file, larger than maxBytes or
// cannot be read.
bool readWholeFile(const QString& path, QByteArray& out, QString& error, qint64 maxBytes = 256ll << 20);

// Writes bytes to a temporary file in the target's folder and renames it
// over the target (under the target's existing spelling).
bool writeFileAtomic(const QString& path, const QByteArray& bytes, QString& error);

// Copies src over dst (replacing it). When both name the same file nothing is
// written and the copy counts as done.
bool copyFile(const QString& src, const QString& dst, QString& error);

// The editor's own folder followed by '/', fixed at start-up.
QString appDir();
void setAppDir(const QString& dirWithSep);
// The folder of the program file as it was started: argv[0] made absolute
// (looked up in PATH when it has no '/'), without following links.
QString programDirFromArgv0(const QString& argv0);

} // namespace fr
