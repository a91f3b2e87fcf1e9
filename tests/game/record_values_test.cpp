// The four record lines of the scripts agree on numeric values that are
// empty or no number: such a value reads as 0 and the record loads, and
// each script file says so once.
#include <gtest/gtest.h>

#include <functional>

#include "script_fixture.h"

using namespace tevtest;

namespace {

class RecordValues : public ScriptFixture {};

struct RecordCase {
    const char* head;
    std::string good;                  // a whole record line
    std::string bad;                   // the same with an empty value and a word
    std::function<size_t()> count;     // records read so far
    std::function<float()> emptied;    // the value left empty
    std::function<float()> worded;     // the value given as a word
};

} // namespace

TEST_F(RecordValues, EmptyOrWordValuesReadAsZeroWithOneReportPerFile)
{
    const RecordCase cases[] = {
        {"AddNpc(", "AddNpc(,3,A,0,10,20,NULL,2,4,0,0,32,48,24,1,80,-1,);",
         "AddNpc(,3,A,0,,20,NULL,2,4,0,0,32,48,24,1,lots,-1,);", [] { return g_Npcs.size(); },
         [] { return g_Npcs.back().x; }, [] { return g_Npcs.back().maxHp; }},
        {"AddMonster(", "AddMonster(,2,B,7,10,20,fight,2,4,1,2,3,4,32,50,6,9,8,3,25,1,4,2,0,30,40,x,die,-1,700,);",
         "AddMonster(,2,B,7,10,20,fight,2,4,1,2,3,4,32,50,6,,8,3,25,1,4,2,0,30,many,x,die,-1,700,);",
         [] { return g_Monsters.size(); }, [] { return g_Monsters.back().attack; },
         [] { return g_Monsters.back().goldReward; }},
        {"AddToMagicList(",
         "AddToMagicList(,magic0,0,fire,32,32,4,2,150,fire,300,6,0,0,1,3000,25,0,0,0,0,0,2,3,30,31,0,0,40,3,1,5,);",
         "AddToMagicList(,magic0,0,fire,32,32,4,2,150,fire,,6,0,0,1,3000,25,0,0,0,0,0,2,3,30,31,0,0,40,3,1,cheap,);",
         [] { return g_MagicKinds.size(); }, [] { return static_cast<float>(g_MagicKinds.back().cooldown); },
         [] { return g_MagicKinds.back().mpCost; }},
        {"AddRole(", "AddRole(,1,hero,1,64,96,2,4,2,10,30,46,100,50,12,8,1,0,100,step,25,-1,);",
         "AddRole(,1,hero,1,64,96,2,4,2,10,30,46,,50,12,8,1,0,100,step,rich,-1,);",
         [] { return g_Role.name == "hero" ? size_t{1} : size_t{0}; }, [] { return g_Role.maxHp; },
         [] { return g_Role.gold; }},
    };
    for (const RecordCase& c : cases) {
        SCOPED_TRACE(c.head);
        Fresh();
        const size_t before = c.count();
        // Two damaged records in one file: both load, one report.
        // File names per record: each file is reported once in a run.
        const std::string tag = std::string(c.head).substr(3, 3);
        Script(tag + "one", {c.bad, c.good, c.bad, "EOF"});
        Run(tag + "one");
        EXPECT_GE(c.count(), before + (std::string(c.head) == "AddRole(" ? 1 : 3));
        EXPECT_EQ(c.emptied(), 0.0f);
        EXPECT_EQ(c.worded(), 0.0f);
        EXPECT_EQ(CountAlerts("不是数字，按0读取"), 1);
        EXPECT_EQ(CountAlerts("Script\\" + tag + "one.jsr：" + c.head + "的第"), 1);
        // Another file reports again; a whole record reports nothing.
        Script(tag + "two", {c.good, c.bad, "EOF"});
        Run(tag + "two");
        EXPECT_EQ(CountAlerts("不是数字，按0读取"), 2);
        Script(tag + "clean", {c.good, "EOF"});
        Run(tag + "clean");
        EXPECT_EQ(CountAlerts("不是数字，按0读取"), 2);
        // A line that ends before its values stays refused.
        const size_t whole = c.count();
        g_Role.name = "NULL";
        Script(tag + "short", {std::string(c.head) + ",1,2,3,);", "EOF"});
        Run(tag + "short");
        EXPECT_EQ(c.count(), std::string(c.head) == "AddRole(" ? size_t{0} : whole);
        EXPECT_EQ(CountAlerts("值少于"), 1);
    }
}
