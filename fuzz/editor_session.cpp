#include "editor_session.h"

#include "demo_copy.h"

#include <QDir>
#include <QFile>

#include <cstdio>
#include <filesystem>

#include "platform/app.h"
#include "platform/dialogs.h"

namespace fuzzeditor {
namespace {

// Every box is answered: OK, Yes, and a cancelled input or file dialog.
class SilentDialogs : public fr::Dialogs {
public:
    int msgBox(const QString&, int style, const QString&) override
    {
        return (style & 7) == fr::vbYesNo ? fr::vbYes : fr::vbOK;
    }
    bool inputBox(const QString&, const QString&, const QString&, QString&) override { return false; }
    QString openFile(fr::CommonDialogState&) override { return {}; }
    QString saveFile(fr::CommonDialogState&) override { return {}; }
};

struct Session {
    SilentDialogs dialogs;
    tilesmith::Module1 data;
    tilesmith::Module2 procedures{data};
    QString gameDir;

    Session()
    {
        const std::filesystem::path folder = fuzzdemo::CopyDemoFolder();
        gameDir = QString::fromStdString(folder.string()) + QLatin1Char('/');
        fr::setDialogs(&dialogs);
        data.AppDir = gameDir + QStringLiteral("editor/");
        Command([&] {
            procedures.LoadRoleAttribList(QStringLiteral("RoleAttribList.txt"));
            procedures.LoadNpcAttribList(QStringLiteral("NpcAttribList.txt"));
            procedures.LoadMonsterAttribList(QStringLiteral("MonsterAttribList.txt"));
        });
    }
};

Session& TheSession()
{
    static auto* s = new Session; // lives to the end of the process
    return *s;
}

} // namespace

const QString& GameDir() { return TheSession().gameDir; }
QString EditorDir() { return TheSession().data.AppDir; }
tilesmith::Module1& Data() { return TheSession().data; }
tilesmith::Module2& Procedures() { return TheSession().procedures; }

void WriteGameFile(const QString& relative, const uint8_t* data, size_t size)
{
    QFile f(GameDir() + relative);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        std::fprintf(stderr, "fuzz: cannot write %s\n", qPrintable(f.fileName()));
        std::abort();
    }
    f.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
}

QByteArray Bytes(const uint8_t* data, size_t size)
{
    return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

void Command(const std::function<void()>& fn) { fr::guarded(fn); }

} // namespace fuzzeditor
