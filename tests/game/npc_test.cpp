// NPC records, AI, movement and save records.
#include <gtest/gtest.h>

#include "script_fixture.h"
#include "world/map.h"
#include "world/npc.h"
#include "world/role.h"
#include "world_fixtures.h"

using namespace tevtest;

namespace {

class NpcRecords : public ScriptFixture {};

int32_t Local(const std::string& name)
{
    for (size_t i = 0; i < g_Script.localNames.size(); ++i)
        if (g_Script.localNames[i] == name)
            return g_Script.localValues[i];
    return -999;
}

} // namespace

TEST_F(NpcRecords, ReadsValuesAndDirectionFromTheFrame)
{
    Script("a", {"AddNpc(,3,阿福,9,100.5,64,talk1,2.5,4,2,10,30,46,24,1,80,-1,);",
                 "AddNpc(,4,B,20,0,0,NULL,1,4,0,0,32,48,24,0,10,16,);", "SetVar(after,1)", "EOF"});
    Run("a");
    ASSERT_EQ(g_Npcs.size(), 2u);
    const Npc& a = g_Npcs[0];
    EXPECT_EQ(a.id, 3);
    EXPECT_EQ(a.name, G("阿福"));
    EXPECT_EQ(a.frame, 9);
    EXPECT_EQ(a.direction, 2);
    EXPECT_FLOAT_EQ(a.x, 100.5f);
    EXPECT_FLOAT_EQ(a.startY, 64);
    EXPECT_EQ(a.script, "talk1");
    EXPECT_FLOAT_EQ(a.speed, 2.5f);
    EXPECT_EQ(a.animSpeed, 4);
    EXPECT_EQ(a.boxLeft, 2);
    EXPECT_EQ(a.boxBottom, 46);
    EXPECT_EQ(a.division, 24);
    EXPECT_EQ(a.initialActive, 1);
    EXPECT_FLOAT_EQ(a.maxHp, 80);
    EXPECT_EQ(a.randomWalk, 1);
    EXPECT_EQ(g_Npcs[1].direction, 0); // frame 20 gives no direction
    EXPECT_EQ(g_Npcs[1].alpha, 16);
    EXPECT_EQ(g_Npcs[1].active, 0);
}

TEST_F(NpcRecords, BadRecordsAreReportedAndTheScriptGoesOn)
{
    Script("a", {"AddNpc(,3,A,0,1,2,NULL,1,4,0,0,32,48,24,1,);", "AddNpc(,3,A,0,x,2,NULL,1,4,0,0,32,48,24,1,80,-1,);",
                 "SetVar(after,1)", "EOF"});
    Run("a");
    // A line that ends before its values is refused; a word where a number
    // belongs reads as 0.
    ASSERT_EQ(g_Npcs.size(), 1u);
    EXPECT_FLOAT_EQ(g_Npcs[0].x, 0);
    EXPECT_FLOAT_EQ(g_Npcs[0].y, 2);
    EXPECT_EQ(CountAlerts("Script\\a.jsr：AddNpc(的值少于16个"), 1);
    EXPECT_EQ(CountAlerts("AddNpc(的第4个值“x”不是数字，按0读取"), 1);
}

namespace {

Npc Walker(float x, float y, int32_t dir)
{
    Npc n;
    n.id = 0;
    n.name = G("福");
    n.x = x, n.y = y, n.step = 4, n.animSpeed = 1;
    n.boxLeft = 2, n.boxTop = 16, n.boxRight = 30, n.boxBottom = 48;
    n.direction = dir;
    n.randomWalk = 0;
    return n;
}

void OpenMap(int w, int h)
{
    auto root = FreshGameFolder();
    WriteMap(root, "m", MapText(w, h, std::to_string(w) + "," + std::to_string(h) + ",1,0,0"));
    ASSERT_EQ(g_Map.ChangeMap("m"), 1);
    g_Role.x = g_Role.y = 10000; // out of the way
}

} // namespace

TEST(NpcWorld, MovementEdgesModesAndPause)
{
    OpenMap(20, 15);
    // At the right edge the NPC does not move but keeps its frame in range.
    Npc n = Walker(605, 100, 3);
    n.PaintAnpc(0, 1);
    EXPECT_FLOAT_EQ(n.x, 605);
    EXPECT_LE(n.frame, 3);
    // Going right with room: moves one step.
    Npc m = Walker(100, 100, 3);
    m.PaintAnpc(0, 1);
    EXPECT_FLOAT_EQ(m.x, 104);
    // AI mode 2 never moves nor turns and keeps its frame, in either pass;
    // mode 3 stops the NPC.
    for (int pass : {0, 1}) {
        SCOPED_TRACE(pass);
        Npc two = Walker(100, 100, 2);
        two.aiMode = 2;
        two.randomWalk = 1;
        two.frame = 5;
        for (int frame = 0; frame < 10; ++frame) {
            two.PaintAnpc(pass, 1);
            Headless().fakeClock().Advance(100);
        }
        EXPECT_EQ(two.direction, 2);
        EXPECT_EQ(two.active, 1);
        EXPECT_FLOAT_EQ(two.x, 100);
        EXPECT_FLOAT_EQ(two.y, 100);
        EXPECT_EQ(two.frame, 5);
    }
    Npc three = Walker(100, 100, 2);
    three.aiMode = 3;
    three.PaintAnpc(1, 1);
    EXPECT_EQ(three.active, 0);
    EXPECT_EQ(three.frame, 8); // standing cell facing left
    // Paused: nothing changes.
    g_Paused = 1;
    Npc p = Walker(100, 100, 3);
    p.frame = 2;
    p.PaintAnpc(0, 1);
    EXPECT_FLOAT_EQ(p.x, 100);
    EXPECT_EQ(p.frame, 2);
    g_Paused = 0;
    // A walker blocked at the top turns down; one blocked while going down turns up.
    Npc up = Walker(100, 100, 0);
    g_Role.width = 32, g_Role.height = 48;
    g_Role.x = 100, g_Role.y = 70;
    up.PaintAnpc(1, 1);
    EXPECT_EQ(up.direction, 1);
    Npc down = Walker(100, 100, 1);
    g_Role.x = 100, g_Role.y = 140;
    down.PaintAnpc(1, 1);
    EXPECT_EQ(down.direction, 0);
}

TEST(NpcWorld, PathWalkArrivesAndSetsItsVariable)
{
    OpenMap(6, 4);
    g_Npcs.push_back(Walker(0, 0, 1));
    Npc& n = g_Npcs.back();
    n.aiMode = 1;
    n.goalTile = 6 * 2 + 3; // column 3, row 2
    for (int i = 0; i < 200 && n.active; ++i) {
        n.PaintAnpc(0, 1);
        n.PaintAnpc(1, 1);
    }
    EXPECT_EQ(n.active, 0);
    EXPECT_EQ(n.aiMode, 1);
    EXPECT_EQ(Local(G("福") + "_astar"), 1);
    EXPECT_EQ(n.GetTileIndex(TruncToInt(n.x + 16), TruncToInt(n.y + 32)), n.goalTile);
}

TEST(NpcWorld, FacesTheRoleAndSavesItsRecord)
{
    const std::pair<int32_t, int32_t> table[] = {{0, 12}, {1, 4}, {2, 0}, {3, 8}, {20, 0}, {21, 0}, {30, 8}, {31, 8}, {7, 5}};
    for (auto [roleDir, frame] : table) {
        Npc n;
        n.frame = 5;
        g_Role.direction = roleDir;
        n.FaceRole();
        EXPECT_EQ(n.frame, frame) << roleDir;
    }
    InstallHeadless();
    auto path = TempDir("npc") / "rec";
    Npc a = Walker(12, 34, 2);
    a.randomWalk = 0;
    a.path = {1, 2};
    FILE* f = std::fopen(path.c_str(), "wb");
    a.Save(f);
    std::fclose(f);
    Npc b;
    f = std::fopen(path.c_str(), "rb");
    ASSERT_TRUE(b.Load(f));
    std::fclose(f);
    EXPECT_EQ(b.randomWalk, 0);
    EXPECT_FLOAT_EQ(b.x, 12);
    EXPECT_EQ(b.path, a.path);
    // A cut record changes nothing.
    WriteFile(path, "5\n");
    Npc c;
    f = std::fopen(path.c_str(), "rb");
    EXPECT_FALSE(c.Load(f));
    std::fclose(f);
    EXPECT_EQ(c.id, 0);
}
