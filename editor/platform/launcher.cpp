#include "launcher.h"

#include <QProcess>
#include <QStandardPaths>

namespace fr {
namespace {

Launcher g_launcher;

} // namespace

bool startProgram(const QString& program, const QStringList& args)
{
    if (g_launcher)
        return g_launcher(program, args);
    QString exe = QStandardPaths::findExecutable(program);
    if (exe.isEmpty() && program == QLatin1String("notepad"))
        exe = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (exe.isEmpty())
        return false;
    return QProcess::startDetached(exe, args);
}

void setLauncherForTest(Launcher launcher)
{
    g_launcher = std::move(launcher);
}

} // namespace fr
