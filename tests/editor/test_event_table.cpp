// The event catalogue: read, edited and written whole through a temporary
// file.
#include "support.h"

#include "tools/event_table.h"

#include "platform/paths.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace tstest;
using namespace tilesmith;

TEST(EventTableFile, ReadsPairsAndWritesThemBack)
{
    QString warning;
    const QByteArray data = G("门\r\n门() 参数:开\r\nchest\r\nx\r\n");
    EventTable t = EventTable::read(data, warning);
    EXPECT_EQ(t.EventCount, 2);
    EXPECT_EQ(t.find("chest"), 1);
    EXPECT_TRUE(warning.isEmpty());
    GameFolder game;
    const QString path = game.path("Script/eventtable.txt");
    QString error;
    ASSERT_TRUE(t.save(game.root(), path, -1, error));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), data);
    f.close();
    // Delete writes the file without the entry.
    ASSERT_TRUE(t.save(game.root(), path, 0, error));
    t.remove(0);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), "chest\r\nx\r\n");
    EXPECT_EQ(t.EventNames[0], "chest");
    f.close();
    // A failed write leaves the old file whole.
    fr::setAtomicWriteHookForTest([](const QString&) { return false; });
    EXPECT_FALSE(t.save(game.root(), path, -1, error));
    fr::setAtomicWriteHookForTest({});
    EXPECT_FALSE(error.isEmpty());
}

TEST(EventTableFile, OddLinesAndTheLimit)
{
    QString warning;
    EventTable t = EventTable::read("a\r\nca\r\nlast", warning);
    EXPECT_EQ(t.EventCount, 2);
    EXPECT_EQ(t.EventComments[1], "");
    QByteArray many;
    for (int i = 0; i < 203; ++i)
        many += "e" + QByteArray::number(i) + "\r\nc\r\n";
    t = EventTable::read(many, warning);
    EXPECT_EQ(t.EventCount, 201);
    EXPECT_TRUE(warning.contains(QStringLiteral("201")));
    EXPECT_FALSE(t.addNew());
    t.remove(200);
    ASSERT_TRUE(t.addNew());
    EXPECT_EQ(t.EventNames[200], G("新事件"));
    EXPECT_EQ(t.EventComments[200], G("新事件() 参数:"));
}
