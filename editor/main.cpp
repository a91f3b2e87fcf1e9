// tilesmith, the map editor.
#include "session.h"

#include "platform/paths.h"

#include <QApplication>

#include <csignal>

int main(int argc, char** argv)
{
    // A file-size limit makes a write fail (and the save report it) rather
    // than end the editor with unsaved work.
    std::signal(SIGXFSZ, SIG_IGN);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tilesmith"));
    // The program ends only through Main, which is often hidden while
    // another of its windows is shown.
    QApplication::setQuitOnLastWindowClosed(false);
    fr::setAppDir(fr::programDirFromArgv0(QString::fromLocal8Bit(argv[0])));
    tilesmith::Session session;
    session.start();
    return QApplication::exec();
}
