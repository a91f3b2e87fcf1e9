// The role: its "AddRole(" record and its save record.
#include <gtest/gtest.h>

#include "app/globals.h"
#include "test_support.h"
#include "world_fixtures.h"

using namespace tevtest;

namespace {

const char* kHeroLine = "AddRole(,1,hero,1,64,96,2,4,2,10,30,46,100,50,12,8,1,0,100,step,25,-1,);";

// Reads a record from a script text; returns the result and what the file
// holds from where the reader left it to the end of that line.
int32_t ReadRecord(Role& r, const std::string& script, std::string* rest = nullptr)
{
    FILE* f = MemFile(script);
    std::fseek(f, 8, SEEK_SET); // just after "AddRole("
    const int32_t result = r.ReadFromScript(f);
    std::string tail;
    for (int c; (c = std::getc(f)) != EOF && c != '\n';)
        tail += static_cast<char>(c);
    std::fclose(f);
    if (rest)
        *rest = tail;
    return result;
}

std::string SaveBytes(Role& r)
{
    FILE* f = std::tmpfile();
    r.Save(f);
    std::rewind(f);
    std::string s;
    for (int c; (c = std::getc(f)) != EOF;)
        s += static_cast<char>(c);
    std::fclose(f);
    return s;
}

std::vector<std::string> Lines(const std::string& s)
{
    std::vector<std::string> out;
    size_t b = 0;
    for (size_t e; (e = s.find('\n', b)) != std::string::npos; b = e + 1)
        out.push_back(s.substr(b, e - b));
    return out;
}

} // namespace

TEST(RoleRecord, AddRoleLineGivesEveryValue)
{
    auto root = FreshGameFolder();
    WriteMap(root, "big", MapText(40, 30, "40,30,0,0,0"));
    ASSERT_EQ(g_Map.ChangeMap("big"), 1);
    Role& r = g_Role;
    r.itemCount = 3;
    r.dead = 1;
    r.magicKind = 2;
    std::string rest;
    ASSERT_EQ(ReadRecord(r, std::string(kHeroLine) + "\r\nEOF\r\n", &rest), 1);
    EXPECT_EQ(rest, ");\r");
    EXPECT_EQ(r.id, 1);
    EXPECT_EQ(r.name, "hero");
    EXPECT_EQ(r.direction, 1);
    EXPECT_FLOAT_EQ(r.x, 64);
    EXPECT_FLOAT_EQ(r.startX, 64);
    EXPECT_FLOAT_EQ(r.y, 96);
    EXPECT_FLOAT_EQ(r.startY, 96);
    EXPECT_NEAR(r.viewX, 29.65, 1e-4);
    EXPECT_NEAR(r.viewY, 32.1, 1e-4);
    EXPECT_FLOAT_EQ(r.startViewX, r.viewX);
    EXPECT_FLOAT_EQ(r.startViewY, r.viewY);
    EXPECT_FLOAT_EQ(r.step, 2);
    EXPECT_FLOAT_EQ(r.speed, 2);
    EXPECT_EQ(r.animSpeed, 4);
    EXPECT_EQ(r.boxLeft, 2);
    EXPECT_EQ(r.boxTop, 10);
    EXPECT_EQ(r.boxRight, 30);
    EXPECT_EQ(r.boxBottom, 46);
    EXPECT_FLOAT_EQ(r.hp, 100);
    EXPECT_FLOAT_EQ(r.maxHp, 100);
    EXPECT_FLOAT_EQ(r.mp, 50);
    EXPECT_FLOAT_EQ(r.maxMp, 50);
    EXPECT_FLOAT_EQ(r.attack, 12);
    EXPECT_FLOAT_EQ(r.defence, 8);
    EXPECT_EQ(r.level, 1);
    EXPECT_FLOAT_EQ(r.exp, 0);
    EXPECT_FLOAT_EQ(r.nextExp, 100);
    EXPECT_EQ(r.footstepWave, "step");
    EXPECT_FLOAT_EQ(r.gold, 25);
    EXPECT_EQ(r.alpha, -1);
    // Fields the record does not name keep their values.
    EXPECT_EQ(r.itemCount, 3);
    EXPECT_EQ(r.dead, 1);
    EXPECT_EQ(r.magicKind, 2);
}

TEST(RoleRecord, WholeNumbersAndFractionsBeforeAnyMap)
{
    FreshGameFolder();
    Role r;
    ASSERT_EQ(ReadRecord(r, "AddRole(,1, hero ,1,12.7,2,1.5,4,2,10,30,46,12.7,5,1,1,1,0,9,NULL,99.9,-1"), 1);
    EXPECT_EQ(r.name, "hero");
    EXPECT_FLOAT_EQ(r.x, 12.7f);
    EXPECT_FLOAT_EQ(r.hp, 12);
    EXPECT_FLOAT_EQ(r.gold, 99);
    EXPECT_FLOAT_EQ(r.step, 1.5f);
    EXPECT_FLOAT_EQ(r.viewX, 12.7f * 593); // the map size is 1.0 before the first map
    EXPECT_EQ(r.alpha, -1);                // the last value may end at the line end
}

TEST(RoleRecord, ShortLinesChangeNothingAndLeaveTheNextLineAlone)
{
    FreshGameFolder();
    for (const std::string line : {"AddRole(,1,hero,1,64,96,2,4,2,10,30,46,100,50,12,8,1,0,100,step,25,",
                                   "AddRole(,1,hero,1", "AddRole(", "AddRole(1 2 3"}) {
        Role r;
        std::string rest;
        EXPECT_EQ(ReadRecord(r, line + "\r\nAddRole(,2,villain,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,x,1,1,);\r\n", &rest),
                  0)
            << line;
        EXPECT_EQ(rest, line.substr(8) + "\r"); // the position is back where the reader started
        EXPECT_EQ(r.name, "NULL");
        EXPECT_EQ(r.id, 0);
        EXPECT_FLOAT_EQ(r.hp, 0);
    }
    EXPECT_EQ(CountReports("AddRole("), 4);
}

TEST(RoleSave, RecordLayoutGoldAndItems)
{
    FreshGameFolder();
    Role r;
    r.gold = 99.9f;
    r.itemCount = 2;
    r.items[0] = "potion";
    r.items[1] = "";
    r.items[2] = "left over";
    r.footstepWave = "step";
    r.levelUpShown = 1;
    r.magicCast = 1;
    r.autoSidestep = 0;
    const std::vector<std::string> lines = Lines(SaveBytes(r));
    ASSERT_GE(lines.size(), 8u);
    const std::vector<std::string> tail(lines.end() - 8, lines.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"step", "2", "99", "1", "1", "0", "potion", ""}));

    Role back;
    back.items[5] = "old";
    back.itemCount = 7;
    FILE* f = MemFile(SaveBytes(r));
    ASSERT_TRUE(back.Load(f));
    std::fclose(f);
    EXPECT_FLOAT_EQ(back.gold, 99.0f);
    EXPECT_EQ(back.itemCount, 2);
    EXPECT_EQ(back.items[0], "potion");
    for (int i = 1; i < Role::kItemSlots; ++i)
        EXPECT_EQ(back.items[i], "") << i;
    EXPECT_EQ(back.footstepWave, "step");
    EXPECT_EQ(back.autoSidestep, 0);
}

TEST(RoleSave, RoundTripWithEmptyTextsIsByteIdentical)
{
    FreshGameFolder();
    Role r;
    ASSERT_EQ(ReadRecord(r, kHeroLine), 1);
    r.name.clear();
    r.script.clear();
    r.footstepWave.clear();
    r.itemCount = 3;
    r.items[0] = "a";
    r.items[1] = "";
    r.items[2] = G("药");
    r.path = {1, 2};
    r.tint = 0xF800;
    r.aiMode = 3;
    const std::string first = SaveBytes(r);
    Role back;
    FILE* f = MemFile(first);
    ASSERT_TRUE(back.Load(f));
    std::fclose(f);
    EXPECT_EQ(back.name, "");
    EXPECT_EQ(back.script, "");
    EXPECT_EQ(back.footstepWave, "");
    EXPECT_EQ(back.items[2], G("药"));
    EXPECT_EQ(SaveBytes(back), first);
}

TEST(RoleSave, DamagedRecordsChangeNothing)
{
    FreshGameFolder();
    Role r;
    ASSERT_EQ(ReadRecord(r, kHeroLine), 1);
    r.itemCount = 1;
    r.items[0] = "key";
    const std::string good = SaveBytes(r);
    const std::vector<std::string> lines = Lines(good);
    const size_t countLine = lines.size() - 6; // then gold, 3 flags, one item
    auto with = [&](size_t n, const std::string& v) {
        std::string s;
        for (size_t i = 0; i < lines.size(); ++i)
            s += (i == n ? v : lines[i]) + "\n";
        return s;
    };
    const std::vector<std::string> bad = {with(countLine, "11"), with(countLine, "-1"), with(countLine, "2"),
                                          with(countLine + 1, "lots"), with(1, "x"), good.substr(0, 40),
                                          good.substr(0, good.size() - 4)};
    for (size_t i = 0; i < bad.size(); ++i) {
        Role target;
        target.name = "keep";
        target.items[3] = "kept";
        target.gold = 5;
        FILE* f = MemFile(bad[i]);
        EXPECT_FALSE(target.Load(f)) << i;
        std::fclose(f);
        EXPECT_EQ(target.name, "keep") << i;
        EXPECT_EQ(target.items[3], "kept") << i;
        EXPECT_FLOAT_EQ(target.gold, 5) << i;
    }
    // A count beyond the ten slots is never written.
    r.itemCount = 12;
    EXPECT_EQ(Lines(SaveBytes(r))[countLine], "10");
}
