// The statements that hand placements, the role and the magic list to the
// game, byte for byte.
#include "tools/statements.h"

#include <gtest/gtest.h>

using namespace tilesmith;

namespace {

ValueTable table(const std::vector<std::vector<QByteArray>>& rows)
{
    ValueTable t;
    for (size_t i = 0; i < rows.size(); ++i)
        for (size_t a = 0; a < rows[i].size(); ++a)
            t[i][a] = rows[i][a];
    return t;
}

} // namespace

TEST(Statements, NpcListIsOneLinePerInstanceThenEofWithoutLineEnd)
{
    // An empty value gives two commas in a row; a deleted NPC (-1) is kept.
    const ValueTable t = table({{"2", "老人", "12", "64", "96", ""}, {"-1", "x", "0", "-1", "-1", "s"}});
    const StatementText s = NpcStatements(t, 2, 6);
    EXPECT_TRUE(s.error.isEmpty());
    EXPECT_EQ(s.text, QByteArray("AddNpc(,2,老人,12,64,96,,);\r\nAddNpc(,-1,x,0,-1,-1,s,);\r\nEOF"));
    EXPECT_EQ(NpcStatements(t, 0, 6).text, QByteArray("EOF"));
}

TEST(Statements, MonsterWithNegativeKindIsLeftOut)
{
    const ValueTable t = table({{"1", "a"}, {"-1", "b"}, {" -3", "c"}, {"x", "d"}});
    const StatementText s = MonsterStatements(t, 4, 2);
    // " -3" does not start with a sign or digit, so the game reads 0.
    EXPECT_EQ(s.text, QByteArray("AddMonster(,1,a,);\r\nAddMonster(, -3,c,);\r\nAddMonster(,x,d,);\r\nEOF"));
    EXPECT_EQ(s.skipped, 1);
}

TEST(Statements, RoleLineIsAppendableWithItsLineEnd)
{
    AttribArray a;
    a[0].data = "0";
    a[1].data = "主角";
    a[2].data = "3";
    EXPECT_EQ(RoleStatement(a, 3).text, QByteArray("AddRole(,0,主角,3,);\r\n"));
}

TEST(Statements, MagicListWritesThirtyOneFieldsInOrderAndSkipsUnnamedPictures)
{
    MagicTable recs;
    recs[0].FileName = "magic0";
    recs[0].ID = 0;
    recs[0].Name = "火球";
    recs[0].SmallWidth = 64;
    recs[0].SmallHeight = 48;
    recs[0].LargeWidth = 999; // never written
    recs[0].RowCounts = 4;
    recs[0].ColCounts = 2;
    recs[0].Delay = 50;
    recs[0].WaveName = "fire";
    recs[0].CostMp = 7;
    recs[2].FileName = "magic1";
    recs[2].ID = 1;
    const StatementText s = MagicListStatements(recs, 3);
    const QList<QByteArray> lines = s.text.split('\n');
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0], QByteArray("AddToMagicList(,magic0,0,火球,64,48,4,2,50,fire,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,7,);\r"));
    EXPECT_EQ(lines[0].count(','), 32);
    EXPECT_TRUE(lines[1].startsWith("AddToMagicList(,magic1,1,"));
    EXPECT_EQ(lines[2], QByteArray("EOF"));
}

TEST(Statements, ValuesThatWouldShiftTheGameReadingAreRefused)
{
    for (const QByteArray& bad : {QByteArray("a,b"), QByteArray("a\r\nb"), QByteArray("\"q")}) {
        const ValueTable t = table({{"1", bad}});
        const StatementText s = NpcStatements(t, 1, 2);
        EXPECT_TRUE(s.text.isEmpty()) << bad.constData();
        EXPECT_TRUE(s.error.contains(QStringLiteral("第1个NPC的第2个值"))) << s.error.toStdString();
    }
    AttribArray a;
    a[0].data = "1,2";
    EXPECT_FALSE(RoleStatement(a, 1).error.isEmpty());
    EXPECT_EQ(LeadingWholeNumber("-12abc"), -12);
    EXPECT_EQ(LeadingWholeNumber("abc"), 0);
}

TEST(Statements, MagicListReadsBackWhatIsWritten)
{
    MagicTable recs;
    recs.fill(InitStruct());
    for (int i = 0; i < 3; ++i) {
        recs[i].FileName = "magic" + QByteArray::number(i);
        recs[i].ID = int16_t(i);
        recs[i].Name = "m" + QByteArray::number(i);
        recs[i].SmallWidth = 64;
        recs[i].RowCounts = 5;
        recs[i].CostMp = int16_t(7 + i);
    }
    // A kind named "NULL" in the middle is a kind like any other.
    recs[1].Name = "NULL";
    const QByteArray text = MagicListStatements(recs, 3).text;
    const MagicListRead back = ReadMagicList(text);
    EXPECT_EQ(back.count, 3);
    EXPECT_FALSE(back.partial);
    EXPECT_TRUE(back.problems.isEmpty());
    EXPECT_EQ(back.recs[2].FileName, "magic2");
    EXPECT_EQ(back.recs[1].Name, "NULL");
    EXPECT_EQ(back.recs[2].CostMp, 9);
    EXPECT_EQ(back.recs[1].LargeWidth, 320);
    EXPECT_EQ(back.recs[3].Name, "NULL");
    EXPECT_EQ(back.recs[3].Delay, 100);
    EXPECT_EQ(MagicListStatements(back.recs, 3).text, text);
    // Without "EOF" the end of the file ends the list.
    EXPECT_EQ(ReadMagicList(QByteArray(text).replace("EOF", "")).count, 3);
}

TEST(Statements, DamagedMagicListsAreReadAsFarAsTheyGoAndSayWhere)
{
    MagicTable one;
    one.fill(InitStruct());
    one[0].FileName = "magic0";
    QByteArray good = MagicListStatements(one, 1).text;
    good.chop(3); // "EOF"
    MagicTable full;
    full.fill(InitStruct());
    for (auto& r : full)
        r.FileName = "p";
    QByteArray many = MagicListStatements(full, 51).text;
    many.replace("EOF", good + "EOF");
    QByteArray wide = good;
    wide.replace(",0,NULL,0,0,0,0,", ",0,NULL,300,0,200,0,"); // 200 frames of 300 pixels
    struct Case {
        const char* what;
        QByteArray data;
        int count;
        bool partial;
        const char* problem;
    } cases[] = {
        {"cut short", good + "AddToMagicList(,a,1,n,64\r\n", 1, true, "第2行：语句不完整"},
        {"no number", good + QByteArray(good).replace(",100,NULL,", ",abc,NULL,"), 2, true, "第2行：第8个值“abc”"},
        {"beyond 16 bits", QByteArray(good).replace(",100,NULL,", ",40000,NULL,"), 1, true, "第1行：第8个值“40000”"},
        {"52 kinds", many, 51, true, "超过51个"},
        {"sheet beyond 16 bits", wide, 1, false, "第1行：整张图片的尺寸60000×0"},
    };
    for (const Case& c : cases) {
        const MagicListRead r = ReadMagicList(c.data);
        EXPECT_EQ(r.count, c.count) << c.what;
        EXPECT_EQ(r.partial, c.partial) << c.what;
        ASSERT_EQ(r.problems.size(), 1) << c.what;
        EXPECT_TRUE(r.problems[0].contains(QString::fromUtf8(c.problem))) << c.what << ": "
                                                                          << r.problems[0].toStdString();
    }
    EXPECT_EQ(ReadMagicList(wide).recs[0].LargeWidth, 32767);
    // Half to even, as a typed box is read.
    EXPECT_EQ(ReadMagicList(QByteArray(good).replace(",100,NULL,", ",62.5,NULL,")).recs[0].Delay, 62);
}

TEST(Statements, MagicListProblemsNameEveryKindTheGameWouldMisplace)
{
    MagicTable recs;
    recs.fill(InitStruct());
    const char* files[] = {"magic0", "", "fire1", "ice", "m7"};
    const int ids[] = {0, 1, 2, 2, 3};
    for (int i = 0; i < 5; ++i) {
        recs[i].FileName = files[i];
        recs[i].ID = int16_t(ids[i]);
        recs[i].Name = "k" + QByteArray::number(i);
    }
    // Written places: magic0 0, fire1 1, ice 2, m7 3.
    const QStringList p = MagicListProblems(recs, 5);
    const QStringList want = {
        QStringLiteral("第2个魔法“k1”没有图片"),
        QStringLiteral("第3个魔法“k2”在游戏中是第1号，但编号是2"),
        QStringLiteral("第4个魔法“k3”的图片名“ice”中没有数字"),
        QStringLiteral("第5个魔法“k4”在游戏中是第3号，但图片名“m7”中的数字是7"),
    };
    ASSERT_EQ(p.size(), want.size()) << p.join("|").toStdString();
    for (int i = 0; i < want.size(); ++i)
        EXPECT_TRUE(p[i].startsWith(want[i])) << p[i].toStdString();
    EXPECT_TRUE(MagicListProblems(recs, 1).isEmpty());
}
