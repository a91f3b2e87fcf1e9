// The recent-map file as Ctrl+D reads it: a file far too large for a path is
// reported as too large, not as naming no map.
#include "editor_fixture.h"

using namespace tstest;
using namespace tilesmith;

namespace {

class RecentMapFile : public EditorTest {};

} // namespace

TEST_F(RecentMapFile, CtrlDReportsAFileTooLargeToRead)
{
    start();
    const QString map = writeMap("demo.jmap", EmptyMap(4, 3));
    const QByteArray record = "\"Map\\demo.jmap\"\r\n";
    constexpr qsizetype cap = 1 << 20;
    struct Case {
        qsizetype size;
        bool opens;
    } cases[] = {{cap, true}, {cap + 1, false}, {64 * cap, false}};
    for (const Case& c : cases) {
        // The remembered map, then blank lines up to the size.
        game.write("editor/RecentMap.txt", record + QByteArray(c.size - record.size(), '\n'));
        M().MapPath.clear();
        dialogs.messages.clear();
        press(Qt::Key_D, Qt::ControlModifier);
        if (c.opens) {
            EXPECT_EQ(M().MapPath, map) << c.size;
            EXPECT_TRUE(dialogs.messages.isEmpty()) << dialogs.messages.join("|").toStdString();
            continue;
        }
        EXPECT_TRUE(M().MapPath.isEmpty()) << c.size;
        ASSERT_EQ(dialogs.messages.size(), 1) << c.size;
        const QString& said = dialogs.messages.front();
        EXPECT_TRUE(said.startsWith(QStringLiteral("文件太大，不能读入！"))) << said.toStdString();
        EXPECT_TRUE(said.contains(game.path("editor/RecentMap.txt"))) << said.toStdString();
        EXPECT_TRUE(said.contains(QStringLiteral("%1字节，上限%2字节").arg(c.size).arg(cap))) << said.toStdString();
    }
}
