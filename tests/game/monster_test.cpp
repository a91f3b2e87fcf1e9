// Monster records, blows both ways, death and the fade, save record.
#include <gtest/gtest.h>

#include <set>

#include "script_fixture.h"
#include "world/map.h"
#include "world/monster.h"
#include "world/role.h"
#include "world_fixtures.h"

using namespace tevtest;

namespace {

class MonsterRecords : public ScriptFixture {};

Monster Foe(float attack = 10)
{
    Monster m;
    m.id = 0;
    m.name = "slime";
    m.attack = attack;
    m.hp = m.maxHp = 100;
    m.attackInterval = 500;
    return m;
}

int LogCount(const std::filesystem::path& root, const std::string& part)
{
    int n = 0;
    for (const auto& line : ReadLines(root / "log.txt"))
        if (line.find(part) != std::string::npos)
            ++n;
    return n;
}

} // namespace

TEST_F(MonsterRecords, ReadsTheRecordAndRefusesBadLines)
{
    Script("a", {"AddMonster(,2,史莱姆,7,10,20,fight,2,4,1,2,3,4,32,50,6,9,8,3,25,1,4,2,0,30,40,x,die,-1,700,);",
                 "AddMonster(,2,B,7,10,20,fight,2,4,1,2,3,4,32,50,6,9,8,3,25,1,4,2,0,30,40,x,die,-1,);",
                 "AddMonster(,2,B,7,10,20,fight,2,4,1,2,3,4,32,5a0,6,9,8,3,25,1,4,2,0,x,40,x,die,-1,700,);",
                 "EOF"});
    Run("a");
    // The short line is refused; the third reads its word for a number as 0.
    ASSERT_EQ(g_Monsters.size(), 2u);
    EXPECT_FLOAT_EQ(g_Monsters[1].expReward, 0);
    const Monster& m = g_Monsters[0];
    EXPECT_EQ(m.name, G("史莱姆"));
    EXPECT_EQ(m.direction, 1); // frame 7: down
    EXPECT_FLOAT_EQ(m.maxHp, 50);
    EXPECT_FLOAT_EQ(m.maxMp, 6);
    EXPECT_FLOAT_EQ(m.attack, 9);
    EXPECT_FLOAT_EQ(m.defence, 8);
    EXPECT_EQ(m.magicKind, 3);
    EXPECT_EQ(m.critChance, 25);
    EXPECT_EQ(m.level, 4);
    EXPECT_EQ(m.modeAfterAstar, 2);
    EXPECT_EQ(m.aiMode, 2); // chases from the start
    EXPECT_FLOAT_EQ(m.expReward, 30);
    EXPECT_FLOAT_EQ(m.goldReward, 40);
    EXPECT_EQ(m.deathWave, "die");
    EXPECT_EQ(m.attackInterval, 700);
    EXPECT_EQ(CountAlerts("Script\\a.jsr：AddMonster(的值少于29个"), 1);
    EXPECT_EQ(CountAlerts("AddMonster(的第24个值“x”不是数字，按0读取"), 1);
}

TEST(MonsterCombat, BlowsOnTheRole)
{
    InstallHeadless();
    struct Case {
        int monsters;
        float defence, roleHp;
        float hpAfter;
        int32_t dead;
    } cases[] = {{1, 4, 100, 93, 0}, {10, 4, 100, 84, 0}, {1, 30, 100, 99, 0}, {1, 4, 7, 0, 1}};
    for (const Case& c : cases) {
        g_Monsters.assign(static_cast<size_t>(c.monsters), Foe());
        g_Role.defence = c.defence;
        g_Role.hp = c.roleHp;
        g_Role.dead = 0;
        g_Monsters[0].critChance = 0;
        g_Monsters[0].AttackRole();
        EXPECT_FLOAT_EQ(g_Role.hp, c.hpAfter) << c.monsters << " " << c.defence;
        EXPECT_EQ(g_Role.dead, c.dead);
    }
    // At most one blow per attack interval.
    g_Role.hp = 100, g_Role.dead = 0;
    g_Monsters.assign(1, Foe());
    g_Monsters[0].AttackRole();
    g_Monsters[0].AttackRole();
    EXPECT_FLOAT_EQ(g_Role.hp, 93);
    Headless().fakeClock().Advance(500);
    g_Monsters[0].AttackRole();
    EXPECT_FLOAT_EQ(g_Role.hp, 86);
    g_Monsters.clear();
}

TEST(MonsterCombat, BeHitDamageDeathAndFade)
{
    auto root = FreshGameFolder();
    WriteMap(root, "m", MapText(20, 15, "20,15,1,0,0"));
    ASSERT_EQ(g_Map.ChangeMap("m"), 1);
    g_Role.level = 12, g_Role.attack = 5, g_Role.nextExp = 1000, g_Role.exp = 0, g_Role.gold = 0;
    Monster m = Foe();
    m.defence = 8;
    m.critChance = 0;
    m.expReward = 30, m.goldReward = 7;
    m.BeHit(10);
    EXPECT_FLOAT_EQ(m.hp, 83);
    EXPECT_EQ(m.tint, 0xF800);
    EXPECT_EQ(m.aiMode, 2);
    m.critChance = 100; // the stronger guard
    m.BeHit(10);
    EXPECT_FLOAT_EQ(m.hp, 68);
    m.critChance = 0;
    m.hp = 10;
    m.BeHit(10);
    EXPECT_FLOAT_EQ(m.hp, 0);
    EXPECT_FLOAT_EQ(g_Role.exp, 30);
    EXPECT_FLOAT_EQ(g_Role.gold, 7);
    EXPECT_EQ(g_Script.LookupVariable("slime_dead", 1) >= 0, true);
    // A second blow before the death is painted pays nothing more.
    m.BeHit(10);
    EXPECT_FLOAT_EQ(g_Role.exp, 30);
    EXPECT_FLOAT_EQ(g_Role.gold, 7);

    // Paused: the monster stays whole; running: death sound, then the fade.
    m.deathWave = "die";
    g_Monsters = {m};
    g_Paused = 1;
    g_Monsters[0].PaintMonster(0, 1);
    EXPECT_EQ(g_Monsters[0].dying, 0);
    g_Paused = 0;
    int firings = 0;
    for (int i = 0; i < 100 && g_Monsters[0].id >= 0; ++i) {
        const int before = g_DeathFadeAlpha;
        g_Monsters[0].PaintMonster(0, 1);
        if (g_DeathFadeAlpha != before || g_Monsters[0].id < 0)
            ++firings;
        Headless().fakeClock().Advance(30);
    }
    EXPECT_EQ(g_Monsters[0].dead, 1);
    EXPECT_EQ(g_Monsters[0].id, -1);
    EXPECT_EQ(firings, 32);
    EXPECT_EQ(g_DeathFadeAlpha, 32);
    EXPECT_EQ(LogCount(root, "die"), 1);
}

TEST(MonsterCombat, SaveRecordAndWalkingCells)
{
    auto root = FreshGameFolder();
    WriteMap(root, "m", MapText(20, 15, "20,15,1,0,0"));
    ASSERT_EQ(g_Map.ChangeMap("m"), 1);
    Monster a = Foe();
    a.attackInterval = 650;
    a.modeAfterAstar = 2;
    a.deathWave = "die";
    a.expReward = 1.5f;
    a.dying = 1;
    auto path = root / "rec";
    FILE* f = std::fopen(path.c_str(), "wb");
    a.Save(f);
    std::fclose(f);
    Monster b;
    f = std::fopen(path.c_str(), "rb");
    ASSERT_TRUE(b.Load(f));
    std::fclose(f);
    EXPECT_EQ(b.attackInterval, 650);
    EXPECT_EQ(b.modeAfterAstar, 0);
    EXPECT_EQ(b.deathWave, "die");
    EXPECT_FLOAT_EQ(b.expReward, 1.5f);
    EXPECT_EQ(b.dying, 1);

    // Cells shown while walking: three going right, two in the other directions.
    const std::pair<int32_t, std::set<int32_t>> table[] = {{3, {0, 1, 2}}, {1, {6, 7}}, {2, {12, 13}}, {0, {18, 19}}};
    g_Role.x = g_Role.y = 10000;
    for (const auto& [dir, cells] : table) {
        Monster m = Foe();
        m.x = m.y = 200;
        m.step = 0;
        m.animSpeed = 1;
        m.randomWalk = 0;
        m.direction = dir;
        std::set<int32_t> seen;
        for (int i = 0; i < 12; ++i) {
            m.PaintMonster(0, 1);
            seen.insert(m.frame);
            Headless().fakeClock().Advance(25);
        }
        EXPECT_EQ(seen, cells) << dir;
    }
}

// The chase: where the role stands decides the monster's direction, and the
// chase step (1.1 x step) moves it toward the role, or not at all while the
// role is too close on that side. A role its moved box touches (by the
// corner rule of every collision test) is attacked.
TEST(MonsterCombat, ChaseDirectionAndStepByTheRolesPlace)
{
    auto root = FreshGameFolder();
    WriteMap(root, "m", MapText(20, 15, "20,15,1,0,0"));
    ASSERT_EQ(g_Map.ChangeMap("m"), 1);
    struct Case {
        float roleX, roleY;
        int32_t direction;
        float dx, dy;
        bool attacked;
    } cases[] = {
        {200, 300, 1, -2.2f, 2.2f, false}, // far below: down, and across toward the role's side
        {260, 100, 0, 2.2f, -2.2f, false}, // far above: up and to the right
        {100, 200, 2, -2.2f, 0, false},    // level, to the left
        {180, 200, 2, 0, 0, true},         // level, left but too close to step
        {300, 210, 3, 2.2f, 0, false},     // level, to the right
        {200, 222, 1, -2.2f, 2.2f, true},  // just below the band that counts as level
        {200, 221, 3, 2.2f, 0, false},     // in the band, centres equal: right; no corner
                                           // of the moved box and the role lies in the other
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.roleX) + "," + std::to_string(c.roleY));
        Monster m = Foe();
        m.x = 200, m.y = 200, m.width = 32, m.height = 48;
        m.boxLeft = 0, m.boxTop = 16, m.boxRight = 32, m.boxBottom = 48;
        m.step = 2, m.aiMode = 2, m.active = 1, m.critChance = 0;
        g_Role.x = c.roleX, g_Role.y = c.roleY, g_Role.width = 32, g_Role.height = 48;
        g_Role.boxLeft = 0, g_Role.boxTop = 16, g_Role.boxRight = 32, g_Role.boxBottom = 48;
        g_Role.hp = 100, g_Role.dead = 0, g_Role.defence = 0;
        // The lower body's pass thinks and then moves.
        m.PaintMonster(0, 1);
        EXPECT_EQ(m.direction, c.direction);
        EXPECT_EQ(g_Role.hp < 100, c.attacked);
        EXPECT_FLOAT_EQ(m.x, 200 + c.dx);
        EXPECT_FLOAT_EQ(m.y, 200 + c.dy);
    }
}
