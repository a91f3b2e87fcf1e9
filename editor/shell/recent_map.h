#pragma once
// "RecentMap.txt" in the editor's folder: the path of the map last opened
// through the open dialog, as one quoted field and CR LF. "RecentScript.txt"
// holds the name of the script last chosen in the script editor the same
// way.
#include <QString>

namespace tilesmith {

// The remembered path; "" when the file is missing, unreadable or empty. A
// relative path (either separator) is taken from the game folder. A file
// that is there but cannot be read (one far too large for a path) is no
// missing one: `problem`, when given, then says why.
QString ReadRecentMap(const QString& appDir, QString* problem = nullptr);

// Rewrites the file with `path`: a map inside the game folder (the parent
// of `appDir`) by its name relative to that folder, any other by its full
// path. Refused (false, with the reason in `error`, the file
// untouched) for a path the file cannot hold: one with '"', CR, LF or a
// character that GBK has no code for.
bool WriteRecentMap(const QString& appDir, const QString& path, QString& error);

// The same for any such file of the editor's folder (looked up without
// regard to letter case).
QString ReadRecentName(const QString& appDir, const QString& fileName, QString* problem = nullptr);
bool WriteRecentName(const QString& appDir, const QString& fileName, const QString& value, QString& error);

} // namespace tilesmith
