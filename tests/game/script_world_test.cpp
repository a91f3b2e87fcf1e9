// World commands through the interpreter.
#include <gtest/gtest.h>

#include "script_fixture.h"
#include "world/map.h"
#include "world/monster.h"
#include "world/npc.h"
#include "world/role.h"
#include "world_fixtures.h"

using namespace tevtest;

namespace {

class WorldCommands : public ScriptFixture {
protected:
    void SetUp() override
    {
        ScriptFixture::SetUp();
        std::filesystem::create_directories(root_ / "Map");
        WriteMap(root_, "m", MapText(20, 15, "20,15,1,0,0"));
        ASSERT_EQ(g_Map.ChangeMap("m"), 1);
    }
    int32_t Local(const std::string& name)
    {
        const int32_t i = g_Script.LookupVariable(name, 0);
        return i < 0 ? -999 : g_Script.localValues[static_cast<size_t>(i)];
    }
};

const char* kNpc = "AddNpc(,0,A,0,10,10,NULL,2,4,0,10,32,40,24,1,10,-1,);";
const char* kMonster = "AddMonster(,0,A,0,10,10,NULL,2,4,0,10,32,40,24,50,0,5,5,-1,0,1,1,0,0,1,1,x,NULL,-1,500,);";

} // namespace

TEST_F(WorldCommands, PlacingTheRoleAndActors)
{
    g_Role.width = 32, g_Role.boxTop = 10, g_Role.boxBottom = 40;
    struct Case {
        const char* line;
        float x, y, vx, vy;
    } cases[] = {{"SetMePos(100,100)", 84, 75, 84, 75},
                 {"SetMePos(1000,200)", 984, 175, 296.5f, 160.5f},
                 {"SetMePos(1000,150)", 984, 125, 296.5f, 125}};
    for (const Case& c : cases) {
        Script("a", {c.line, "EOF"});
        Run("a");
        EXPECT_FLOAT_EQ(g_Role.x, c.x) << c.line;
        EXPECT_FLOAT_EQ(g_Role.y, c.y) << c.line;
        EXPECT_FLOAT_EQ(g_Role.viewX, c.vx) << c.line;
        EXPECT_FLOAT_EQ(g_Role.viewY, c.vy) << c.line;
    }
    // A monster and an NPC of the same size land 16 pixels apart; only the
    // first of two NPCs of one name is reached.
    Script("b", {kNpc, kNpc, kMonster, "SetNpcPos(\"A\",100,100)", "SetMonsterPos(\"A\",100,100)",
                 "SetNpcPos(\"nobody\",1,1)", "EOF"});
    Run("b");
    ASSERT_EQ(g_Npcs.size(), 2u);
    EXPECT_FLOAT_EQ(g_Npcs[0].x, 84);
    EXPECT_FLOAT_EQ(g_Npcs[0].y, 75);
    EXPECT_FLOAT_EQ(g_Npcs[1].x, 10);
    EXPECT_FLOAT_EQ(g_Monsters[0].x, 84); // (100 + 16) - 64 / 2
    EXPECT_FLOAT_EQ(g_Monsters[0].y, 91);
}

TEST_F(WorldCommands, WalksModesRemovalsAndItems)
{
    Script("a", {kNpc, kNpc, kMonster, "MoveNpcTo(\"A\",100,70)", "MoveMonsterTo(\"A\",5000,70)",
                 "SetWalkMode(npc,\"A\",nonsense)", "SetWalkMode(monster,\"A\",stop)", "SetWalkMode(role,\"A\",chase)",
                 "KillNpc(\"A\")", "KillMonster(\"A\")", "EOF"});
    g_Npcs.clear();
    g_Monsters.clear();
    Run("a");
    ASSERT_EQ(g_Npcs.size(), 2u);
    EXPECT_EQ(g_Npcs[0].goalTile, 2 * 20 + 3);
    EXPECT_EQ(g_Npcs[0].aiMode, 1); // an unknown mode word keeps the mode
    EXPECT_EQ(g_Npcs[0].active, 1);
    EXPECT_EQ(g_Npcs[1].aiMode, 0);
    EXPECT_EQ(g_Monsters[0].goalTile, 0); // off the map: no walk
    EXPECT_EQ(g_Monsters[0].aiMode, 3);
    EXPECT_EQ(g_Npcs[0].id, -1);
    EXPECT_EQ(g_Npcs[1].id, 0);
    EXPECT_EQ(g_Monsters[0].id, -1);

    g_Role.itemCount = 0;
    std::vector<std::string> lines;
    for (int i = 0; i < 11; ++i)
        lines.push_back("AddItem(\"item" + std::to_string(i) + "\")");
    lines.push_back("EOF");
    Script("b", lines);
    Run("b");
    EXPECT_EQ(g_Role.itemCount, 10);
    EXPECT_EQ(g_Role.items[9], "item9");
}

TEST_F(WorldCommands, ChangeMapAndRecords)
{
    WriteMap(root_, "other", MapText(10, 10, "10,10,1,64,96"));
    Script("a", {kNpc, "AddRole(,0,Hero,1,50,60,3,4,2,10,30,40,100,50,20,5,1,0,100,step,30,-1,);",
                 "ChangeMap(\"other\")", "EOF"});
    Run("a");
    EXPECT_EQ(g_Map.name, "other");
    EXPECT_TRUE(g_Npcs.empty());
    EXPECT_EQ(g_Role.name, "Hero");
    EXPECT_FLOAT_EQ(g_Role.gold, 30);
}
