#pragma once
// "RecentMap.txt" in the editor's folder: the path of the map last opened
// through the open dialog, as one quoted field and CR LF.
#include <QString>

namespace tilesmith {

// The remembered path; "" when the file is missing, unreadable or empty.
QString ReadRecentMap(const QString& appDir);

// Rewrites the file. Refused (false, with the reason in `error`, the file
// untouched) for a path the file cannot hold: one with '"', CR, LF or a
// character that GBK has no code for.
bool WriteRecentMap(const QString& appDir, const QString& path, QString& error);

} // namespace tilesmith
