// Magic kinds from their records, casting, flight, cells, laps and hits.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "script_fixture.h"
#include "world/magic.h"
#include "world/map.h"
#include "world/monster.h"
#include "world/role.h"
#include "world_fixtures.h"

using namespace tevtest;

namespace {

class MagicRecords : public ScriptFixture {};

MagicKind Kind(int32_t type, int32_t delay, int32_t life, int32_t perRow = 4, int32_t rows = 2)
{
    MagicKind k;
    k.id = 0;
    k.name = "fire";
    k.width = k.height = 32;
    k.framesPerRow = perRow;
    k.rows = rows;
    k.delay = delay;
    k.life = life;
    k.type = type;
    k.speed = 4;
    k.attack = 10;
    k.boxLeft = 0, k.boxTop = 0, k.boxRight = 32, k.boxBottom = 32;
    k.radius = 32;
    k.circles = 2;
    return k;
}

void OpenMap()
{
    auto root = FreshGameFolder();
    WriteMap(root, "m", MapText(20, 15, "20,15,1,0,0"));
    ASSERT_EQ(g_Map.ChangeMap("m"), 1);
    g_Role.x = 300, g_Role.y = 200, g_Role.width = 32, g_Role.height = 48;
    g_Role.viewX = 300, g_Role.viewY = 200;
    g_Role.direction = 3;
}

} // namespace

TEST_F(MagicRecords, ReadsKindsAndRefusesBadLines)
{
    Script("a", {"AddToMagicList(,magic0,0,火球,32,32,4,2,150,fire,300,6,0,0,1,3000,25,0,0,0,0,0,2,3,30,31,0,0,40,3,1,5,);",
                 "AddToMagicList(,magic1,1,冰,32,32,4,2,20,ice,300,6,0,1,1,0,25,0,0,0,0,0,2,3,30,31,0,0,40,3,1,);",
                 "AddToMagicList(,magic1,1,冰,32,32,4,2,abc,ice,300,6,0,1,1,0,25,0,0,0,0,0,2,3,30,31,0,0,40,3,1,5,);",
                 "EOF"});
    Run("a");
    // The short line is refused; the third reads its word for a number as 0.
    ASSERT_EQ(g_MagicKinds.size(), 2u);
    EXPECT_EQ(g_MagicKinds[1].delay, 0);
    const MagicKind& k = g_MagicKinds[0];
    EXPECT_EQ(k.picture, "magic0");
    EXPECT_EQ(k.name, G("火球"));
    EXPECT_EQ(k.delay, 5); // 150 / 30
    EXPECT_EQ(k.wave, "fire");
    EXPECT_EQ(k.cooldown, 300);
    EXPECT_FLOAT_EQ(k.speed, 6);
    EXPECT_EQ(k.life, 3000);
    EXPECT_FLOAT_EQ(k.attack, 25);
    EXPECT_EQ(k.boxLeft, 2);
    EXPECT_EQ(k.boxBottom, 31);
    EXPECT_EQ(k.radius, 40);
    EXPECT_EQ(k.circles, 3);
    EXPECT_EQ(k.oneCycle, 1);
    EXPECT_FLOAT_EQ(k.mpCost, 5);
    EXPECT_EQ(CountAlerts("Script\\a.jsr：AddToMagicList(的值少于31个"), 1);
    EXPECT_EQ(CountAlerts("AddToMagicList(的第8个值“abc”不是数字，按0读取"), 1);
}

TEST(MagicEffects, CastingCostsAndCooldown)
{
    OpenMap();
    MagicKind k = Kind(0, 10, 0);
    k.cooldown = 300;
    k.mpCost = 5;
    g_MagicKinds = {k};
    g_Role.magicKind = 0;
    g_Role.mp = 5;
    CastMagic(&g_Role, 0, MouseInfo{}); // no trigger
    EXPECT_TRUE(g_Magics.empty());
    CastMagic(&g_Role, 19, MouseInfo{});
    ASSERT_EQ(g_Magics.size(), 1u);
    EXPECT_FLOAT_EQ(g_Role.mp, 0);
    EXPECT_EQ(g_Role.magicCast, 1);
    g_Role.mp = 5;
    g_MagicKinds[0].mpCost = 0;
    CastMagic(&g_Role, 19, MouseInfo{}); // cooldown restarted at this trigger
    EXPECT_EQ(g_Magics.size(), 1u);
    Headless().fakeClock().Advance(300);
    CastMagic(&g_Role, 0, MouseInfo{0, 0, 'r'});
    EXPECT_EQ(g_Magics.size(), 2u);
    EXPECT_FLOAT_EQ(g_Role.mp, 4); // a free kind still costs 1
    g_Role.magicKind = 5;          // no such kind
    Headless().fakeClock().Advance(300);
    CastMagic(&g_Role, 19, MouseInfo{});
    EXPECT_EQ(g_Magics.size(), 2u);
}

TEST(MagicEffects, CellsLifeAndStraightFlight)
{
    OpenMap();
    g_MagicKinds = {Kind(0, 0, 0)};
    Magic m(0);
    m.caster = &g_Role;
    std::vector<std::pair<int32_t, int32_t>> cells;
    for (int i = 0; i < 9; ++i) {
        m.PaintMagic(16, 1);
        cells.emplace_back(m.column, m.row);
    }
    const std::vector<std::pair<int32_t, int32_t>> want = {{1, 0}, {2, 0}, {3, 0}, {0, 1}, {1, 1},
                                                           {2, 1}, {3, 1}, {0, 0}, {1, 0}};
    EXPECT_EQ(cells, want);
    EXPECT_FLOAT_EQ(m.x, 300 + 9 * 4); // straight to the right
    // The single cycle ends after (3,1).
    g_MagicKinds[0].oneCycle = 1;
    Magic once(0);
    once.caster = &g_Role;
    int steps = 0;
    while (!once.dead && steps < 20)
        once.PaintMagic(16, 1), ++steps;
    EXPECT_EQ(steps, 8);
    // Life 1000 with delay 100 ends at the tenth step.
    g_MagicKinds = {Kind(0, 100, 1000)};
    Magic aged(0);
    aged.caster = &g_Role;
    for (steps = 0; !aged.dead && steps < 20; ++steps) {
        aged.PaintMagic(16, 1);
        Headless().fakeClock().Advance(100);
    }
    EXPECT_EQ(aged.ticks, 10);
    // Leaving the map ends a flight.
    g_MagicKinds = {Kind(0, 0, 0)};
    Magic far(0);
    far.caster = &g_Role;
    for (steps = 0; !far.dead && steps < 200; ++steps)
        far.PaintMagic(16, 1);
    EXPECT_EQ(far.dead, 1);
    EXPECT_GT(far.x, g_MapPixelWidth);
}

TEST(MagicEffects, CircleLapsAndHits)
{
    OpenMap();
    g_MagicKinds = {Kind(1, 0, 0)};
    Magic c(0);
    c.caster = &g_Role;
    int steps = 0;
    while (!c.dead && steps < 500)
        c.PaintMagic(16, 1), ++steps;
    EXPECT_FLOAT_EQ(c.orbitLength, 200.96f);
    EXPECT_EQ(steps, 2 * 51); // a lap takes 51 steps; the second lap ends the effect

    // Hits count only the middle third of a monster's frame.
    Monster mon;
    mon.x = 100, mon.y = 100;
    mon.hp = mon.maxHp = 100;
    g_Monsters = {mon};
    Magic h(0);
    h.boxLeft = 0, h.boxTop = 0, h.boxRight = 10, h.boxBottom = 10;
    h.x = 100, h.y = 100; // only the outer third
    EXPECT_EQ(h.FindHitMonster(), -1);
    h.x = 115, h.y = 115;
    EXPECT_EQ(h.FindHitMonster(), 0);
    EXPECT_EQ(g_hitMonsterIndex, 0);
    g_Role.level = 0, g_Role.attack = 0;
    EXPECT_EQ(h.DamageMonster(0), 1);
    EXPECT_FLOAT_EQ(g_Monsters[0].hp, 90);
    EXPECT_EQ(h.DamageMonster(-1), 0);
}

// The homing flight: the first step aims at the cursor once (the larger of
// the two distances gets the full speed, the other its share), every step
// moves by that aim and sets the direction of it; a cursor on the start
// point gives no aim and the effect flies on straight.
TEST(MagicEffects, HomingFlightAimsOnceAtTheCursor)
{
    InstallHeadless();
    struct Case {
        int32_t cursorX, cursorY;
        float vx, vy;
        int32_t direction;
    } cases[] = {
        {200, 100, 10, 0, 3},   {20, 100, -10, 0, 2},   {100, 50, 0, -10, 0},  {100, 180, 0, 10, 1},
        {50, 75, -10, -5, 20},  {75, 200, -2.5f, 10, 21}, {140, 20, 5, -10, 30}, {130, 130, 10, 10, 31},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.cursorX) + "," + std::to_string(c.cursorY));
        Magic m;
        m.x = 500, m.y = 400, m.viewX = 100, m.viewY = 100, m.direction = 3;
        g_Control.cursorX = c.cursorX, g_Control.cursorY = c.cursorY;
        m.AimAtMouse(10);
        // Moving the cursor later changes nothing: the aim was taken.
        g_Control.cursorX = 0, g_Control.cursorY = 0;
        m.AimAtMouse(10);
        EXPECT_FLOAT_EQ(m.x, 500 + 2 * c.vx);
        EXPECT_FLOAT_EQ(m.y, 400 + 2 * c.vy);
        EXPECT_EQ(m.direction, c.direction);
        EXPECT_EQ(m.moveMode, Magic::kHoming);
    }
    Magic still;
    still.x = 500, still.y = 400, still.viewX = 100, still.viewY = 100;
    g_Control.cursorX = 100, g_Control.cursorY = 100;
    still.AimAtMouse(10);
    EXPECT_EQ(still.moveMode, Magic::kStraight);
    EXPECT_FLOAT_EQ(still.x, 500);
    EXPECT_FLOAT_EQ(still.y, 400);
}
