#pragma once
// The editor's data as the fuzz targets use it: a private copy of the demo
// folder (with the editor's folder inside it), the shared data with the
// attribute lists loaded, and message boxes that answer OK silently.
#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <functional>

#include "shell/module1.h"
#include "shell/module2.h"

namespace fuzzeditor {

// The game folder (ends in '/'), made on first use and removed at exit.
const QString& GameDir();
// The editor's folder inside it (ends in '/'); the shared data's AppDir.
QString EditorDir();

tilesmith::Module1& Data();
tilesmith::Module2& Procedures();

// Writes a file under the game folder (a '/'-separated relative name).
void WriteGameFile(const QString& relative, const uint8_t* data, size_t size);

QByteArray Bytes(const uint8_t* data, size_t size);

// Runs one command as the editor runs an event handler: inside its error
// boundary, so the errors it reports to the user are no crash.
void Command(const std::function<void()>& fn);

} // namespace fuzzeditor
