#pragma once
// Program-wide services: the one error boundary around every event handler,
// ending the program, and the screen size.
#include <QSize>
#include <QString>

#include <functional>

namespace fr {

// Runs an event handler. A data or conversion error (RuntimeError), a
// failed allocation or any other exception is shown in a message box and the
// editor keeps running. One run is one command: plain messages repeated
// within it are shown once.
void guarded(const std::function<void()>& fn);

// Wraps a handler for a signal connection.
template <class F>
auto guard(F f)
{
    return [f](auto&&... args) { guarded([&] { f(args...); }); };
}

// True while a guarded handler runs; the message box de-duplication uses it.
bool inCommand();
// Records a plain message text for the running command; false if it was
// already shown in this command.
bool firstInCommand(const QString& text);

// Ends the program: leaves the event loop with `code` (closing events are not
// sent, so no close question can stop it). Tests can catch the request.
void endProgram(int code = 0);
bool endRequested();
void setEndProgramHook(std::function<void(int)> hook);

// Makes every text box of the program (line edits, the script text, input
// boxes) paste only when the clipboard holds text; otherwise a paste does
// nothing. Qt's multi-line boxes crash on a paste from a clipboard that no
// program owns, and a line edit would drop its selected text. Installed
// once for the running application.
void guardPastes();

// The display's size in pixels; tests can fix it.
QSize screenSize();
void setScreenSizeForTest(QSize size);

} // namespace fr
