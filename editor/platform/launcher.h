#pragma once
// Starting another program without waiting for it, as the editor starts the
// system's text editor on a map file. Tests put a recorder in its place.
#include <QString>
#include <QStringList>

#include <functional>

namespace fr {

// Starts `program` with `args` and goes on at once. "notepad" names the
// system's plain text editor: a program of that name on the PATH, otherwise
// the desktop's opener for the file (xdg-open). False when nothing could be
// started.
bool startProgram(const QString& program, const QStringList& args);

using Launcher = std::function<bool(const QString& program, const QStringList& args)>;
// Replaces the starter; an empty one goes back to the real one.
void setLauncherForTest(Launcher launcher);

} // namespace fr
