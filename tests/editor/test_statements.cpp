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
    const QByteArray text = MagicListStatements(recs, 3).text;
    MagicTable back;
    QString error;
    ASSERT_TRUE(ReadMagicList(text, back, error)) << error.toStdString();
    EXPECT_EQ(back[2].FileName, "magic2");
    EXPECT_EQ(back[2].CostMp, 9);
    EXPECT_EQ(back[1].LargeWidth, 320);
    EXPECT_EQ(back[3].Name, "NULL");
    EXPECT_EQ(back[3].Delay, 100);
    EXPECT_EQ(MagicListStatements(back, 3).text, text);

    // Damaged lists are refused whole and say where.
    MagicTable kept = back;
    for (const QByteArray& bad :
         {QByteArray("AddToMagicList(,a,1,n,64\r\n"), QByteArray("AddToMagicList(,a,x") + QByteArray(29 * 2, ',')}) {
        EXPECT_FALSE(ReadMagicList(bad, kept, error)) << bad.constData();
        EXPECT_TRUE(error.contains(QStringLiteral("魔法列表第1行"))) << error.toStdString();
        EXPECT_EQ(kept[2].FileName, "magic2");
    }
    // 52 statements: one more than the table holds.
    MagicTable full;
    full.fill(InitStruct());
    for (auto& r : full)
        r.FileName = "p";
    QByteArray many = MagicListStatements(full, 51).text;
    many.replace("EOF", MagicListStatements(full, 1).text);
    EXPECT_FALSE(ReadMagicList(many, kept, error));
    EXPECT_TRUE(error.contains(QStringLiteral("超过51个")));
}
