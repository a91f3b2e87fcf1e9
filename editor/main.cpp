// tilesmith, the map editor.
#include "session.h"

#include "platform/dialogs.h"
#include "platform/paths.h"

#include <QApplication>
#include <QFileInfo>
#include <QStringList>

#include <csignal>
#include <cstdio>
#include <algorithm>
#include <cstdlib>

namespace {

// What Qt says while the application object is made, held back: when no
// window system can be reached Qt ends the program there (with an abort and
// advice to reinstall it), and then one line of our own says what is wrong.
QStringList g_held;

void holdWhileStarting(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (type != QtFatalMsg) {
        g_held << qFormatLogMessage(type, context, text);
        return;
    }
    const bool noDisplay = std::any_of(g_held.cbegin(), g_held.cend(), [](const QString& m) {
        return m.contains(QLatin1String("connect to display")) || m.contains(QLatin1String("wl_display"));
    });
    if (noDisplay || g_held.isEmpty())
        std::fputs("tilesmith: no display to show the window on (is DISPLAY set and its server running?)\n", stderr);
    else
        std::fprintf(stderr, "tilesmith: no window system to show the window on (%s)\n",
                     qUtf8Printable(g_held.front().simplified()));
    std::fflush(stderr);
    std::_Exit(1);
}

// On Qt's own screens that draw nowhere a box would wait for a click that
// cannot come.
bool boxesCanShow()
{
    const QString platform = QGuiApplication::platformName();
    return !platform.startsWith(QLatin1String("offscreen")) && !platform.startsWith(QLatin1String("minimal"));
}

} // namespace

int main(int argc, char** argv)
{
    // A file-size limit makes a write fail (and the save report it) rather
    // than end the editor with unsaved work.
    std::signal(SIGXFSZ, SIG_IGN);
    const QtMessageHandler before = qInstallMessageHandler(holdWhileStarting);
    QApplication app(argc, argv);
    qInstallMessageHandler(before);
    for (const QString& line : std::as_const(g_held))
        std::fprintf(stderr, "%s\n", qUtf8Printable(line));
    g_held.clear();
    QApplication::setApplicationName(QStringLiteral("tilesmith"));
    // The program ends only through Main, which is often hidden while
    // another of its windows is shown.
    QApplication::setQuitOnLastWindowClosed(false);
    // Started for a game folder, the editor keeps its files in that folder's
    // "editor" folder; otherwise in the folder it was started from.
    const QStringList args = QCoreApplication::arguments();
    // A mistyped folder would otherwise give an editor whose every read and
    // save fails one by one.
    if (args.size() > 1 && !QFileInfo(fr::editorDirOfGame(args.at(1))).isDir()) {
        const QString refusal = QStringLiteral("游戏目录中没有editor文件夹：%1").arg(args.at(1));
        std::fprintf(stderr, "tilesmith: %s\n", qUtf8Printable(refusal));
        // Started from a desktop, nobody reads stderr.
        if (boxesCanShow())
            fr::msgBox(refusal, fr::vbCritical);
        return 2;
    }
    fr::setAppDir(args.size() > 1 ? fr::editorDirOfGame(args.at(1))
                                  : fr::programDirFromArgv0(QString::fromLocal8Bit(argv[0])));
    tilesmith::Session session;
    session.start();
    return QApplication::exec();
}
