// tilesmith, the map editor.
#include "session.h"

#include "platform/paths.h"

#include <QApplication>
#include <QFileInfo>

#include <csignal>
#include <cstdio>

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
    // Started for a game folder, the editor keeps its files in that folder's
    // "editor" folder; otherwise in the folder it was started from.
    const QStringList args = QCoreApplication::arguments();
    // A mistyped folder would otherwise give an editor whose every read and
    // save fails one by one.
    if (args.size() > 1 && !QFileInfo(fr::editorDirOfGame(args.at(1))).isDir()) {
        std::fprintf(stderr, "tilesmith: %s\n",
                     qUtf8Printable(QStringLiteral("游戏目录中没有editor文件夹：%1").arg(args.at(1))));
        return 2;
    }
    fr::setAppDir(args.size() > 1 ? fr::editorDirOfGame(args.at(1))
                                  : fr::programDirFromArgv0(QString::fromLocal8Bit(argv[0])));
    tilesmith::Session session;
    session.start();
    return QApplication::exec();
}
