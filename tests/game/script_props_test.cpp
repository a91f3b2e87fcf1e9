// Property commands through the interpreter.
#include <gtest/gtest.h>

#include "script_fixture.h"
#include "world/monster.h"
#include "world/npc.h"
#include "world/role.h"

using namespace tevtest;

namespace {

class PropCommands : public ScriptFixture {
protected:
    void RunLines(const std::vector<std::string>& lines)
    {
        std::vector<std::string> all = lines;
        all.push_back("EOF");
        Script("p", all);
        Run("p");
    }
};

} // namespace

TEST_F(PropCommands, RoleLimitsAndVariables)
{
    struct Case {
        const char* line;
        float hpBefore, hpAfter;
        int32_t deadAfter;
    } hp[] = {{"SetMeProp(hp,500)", 100, 300, 0},
              {"SetMeProp(hp,-5)", 100, 0, 0},
              {"SetMeProp(addhp,-50)", 30, 0, 1},
              {"SetMeProp(addhp,-50)", 50, 0, 0},
              {"SetMeProp(addhp,-loss)", 50, 43, 0},
              {"SetMeProp(addhp,+7)", 50, 50, 0}};
    for (const Case& c : hp) {
        g_Role.maxHp = 300, g_Role.hp = c.hpBefore, g_Role.dead = 0;
        RunLines({"int loss = 7", c.line});
        EXPECT_FLOAT_EQ(g_Role.hp, c.hpAfter) << c.line;
        EXPECT_EQ(g_Role.dead, c.deadAfter) << c.line;
    }
    g_Role.mp = 30, g_Role.maxMp = 100, g_Role.gold = 200;
    RunLines({"int bonus = 25", "SetMeProp(addmp,-50)", "SetMeProp(addgold,-500)", "SetMeProp(addgold,bonus)",
              "SetMeProp(speed,2.5)", "SetMeProp(step,3)", "SetMeProp(name,\"新名\")"});
    EXPECT_FLOAT_EQ(g_Role.mp, -20);
    EXPECT_FLOAT_EQ(g_Role.gold, 25);
    EXPECT_FLOAT_EQ(g_Role.step, 2.5f);
    EXPECT_FLOAT_EQ(g_Role.speed, 2.5f);
    EXPECT_EQ(g_Role.animSpeed, 3);
    EXPECT_EQ(g_Role.name, G("新名"));
    for (auto [value, want] : {std::pair{0, 48}, {60, 48}, {48, 48}, {1, 1}}) {
        RunLines({"SetMeProp(division," + std::to_string(value) + ")"});
        EXPECT_EQ(g_Role.division, want) << value;
    }
    g_Role.hp = 12.9f, g_Role.itemCount = 3;
    // Locals end with their script: statics keep what the script saw.
    RunLines({"GetMeProp(hp)", "GetMeProp(curitemcounts)", "static int h1 = role_hp;", "static int c1 = role_curitemcounts;",
              "GetMeProp(hp)", "SetMeProp(hp,5)", "GetMeProp(hp)", "static int h2 = role_hp;", "GetMeProp(luck)"});
    EXPECT_EQ(Statics()["h1"], 12);
    EXPECT_EQ(Statics()["c1"], 3);
    EXPECT_EQ(Statics()["h2"], 5);
    EXPECT_EQ(CountAlerts("GetMeProp()找不到参数1的属性!"), 1);
    EXPECT_EQ(CountAlerts("luck"), 1);
}

TEST_F(PropCommands, NpcsAndMonsters)
{
    Npc n;
    n.name = "A";
    n.hp = 10;
    g_Npcs = {n};
    Monster m;
    m.name = "A";
    m.hp = 10;
    g_Monsters = {m};
    RunLines({"SetNpcProp(\"A\",hp,-40)", "SetNpcProp(\"A\",addattack,3)", "SetNpcProp(\"A\",curpicindex,5)",
              "SetNpcProp(\"nobody\",luck,1)", "SetMonsterProp(\"A\",addhp,-40)", "SetMonsterProp(\"A\",curpicindex,5)",
              "SetMonsterProp(\"A\",name,\"B\")"});
    EXPECT_FLOAT_EQ(g_Npcs[0].hp, -40);
    EXPECT_FLOAT_EQ(g_Npcs[0].attack, 3);
    EXPECT_EQ(CountAlerts("SetNpcProp()找不到参数1的属性!"), 1);
    EXPECT_EQ(CountAlerts("curpicindex"), 1);
    EXPECT_EQ(CountAlerts("luck"), 0);
    EXPECT_FLOAT_EQ(g_Monsters[0].hp, 0);
    EXPECT_EQ(g_Monsters[0].frame, 5);
    EXPECT_EQ(g_Monsters[0].name, "B");
}
