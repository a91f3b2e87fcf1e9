// Script variables, assignments and conditions, run through the interpreter.
#include <climits>

#include "script_fixture.h"

using tevtest::ScriptFixture;

namespace {

struct VarCase {
    const char* what;
    std::vector<std::string> lines;
    std::map<std::string, int32_t> expected;
    std::vector<std::string> alerts; // in order, exactly
};

class ScriptVars : public ScriptFixture {};

TEST_F(ScriptVars, DefinitionsAndAssignments)
{
    const std::vector<VarCase> cases = {
        {"literals and names as values",
         {"static int a = 15;", "static int t = 12abc;", "static int big = 99999999999;", "static int c = a;",
          "static int z = 0;"},
         {{"a", 15}, {"t", 12}, {"big", INT_MAX}, {"c", 15}, {"z", 0}},
         {}},
        {"a value naming nothing is kept as 0 and the lists stay in step",
         {"static int d = nosuch;", "static int after = 7;", "static int copy = after;"},
         {{"d", 0}, {"after", 7}, {"copy", 7}},
         {"静态变量定义的para2不存在!", "nosuch"}},
        {"the same for a local",
         {"int l = nosuch;", "static int s = l;"},
         {{"s", 0}},
         {"局部变量定义的para2不存在!", "nosuch"}},
        {"a redefinition is ignored, also across kinds",
         {"static int a = 1;", "a = 7;", "static int a = 1;", "int a = 3;"},
         {{"a", 7}},
         {}},
        {"the four operators, wrapping and dividing without a trap",
         {"static int a = 15;", "static int zero = 0;", "static int c = 0;", "c = a * 3;", "c = c / zero;",
          "static int m = 2147483647;", "m = m + 1;", "static int neg = 0;", "neg = zero - 1;",
          "static int q = 0;", "q = m / neg;", "static int w = 65536;", "w = w * w;", "static int h = 7;",
          "h = h / 2;", "static int g = 0;", "g = neg / 2;"},
         {{"a", 15},
          {"zero", 0},
          {"c", 45},
          {"m", INT_MIN},
          {"neg", -1},
          {"q", INT_MIN},
          {"w", 0},
          {"h", 3},
          {"g", 0}},
         {}},
        {"a missing ';' drops the last character, or the second operand",
         {"static int b = 0;", "b = 15", "static int e = 0;", "e = 4 + 15"},
         {{"b", 1}, {"e", 0}},
         {"双赋值的para3不存在!"}},
        {"no negative literal: the '-' is the operator (the blank operand is reported first)",
         {"static int e = 3;", "e = -5;"},
         {{"e", 3}},
         {" ", "双赋值的para2不存在!"}},
        {"one operator: the rest is one operand",
         {"static int a = 1;", "static int b = 1;", "a = a + b + b;", "static int c = 1;", "c = c + 1 + 5;"},
         {{"a", 1}, {"b", 1}, {"c", 2}},
         {"双赋值的para3不存在!"}},
        {"an empty operand",
         {"static int x = 4;", "x=", "x=;", "x = ;"},
         {{"x", 4}},
         {"单赋值的para2不存在!", "单赋值的para2不存在!", "单赋值的para2不存在!"}},
        {"an undefined target does nothing, silently",
         {"nosuch = 5;", "nosuch = nosuch + 1;"},
         {},
         {}},
        {"numbers out of range saturate",
         {"static int hi = 0;", "hi = 99999999999 + 0;", "static int lo = 0;", "lo = 0 - 99999999999;"},
         {{"hi", INT_MAX}, {"lo", -INT_MAX}},
         {}},
    };
    for (const VarCase& c : cases) {
        SCOPED_TRACE(c.what);
        Fresh();
        std::vector<std::string> lines = c.lines;
        lines.push_back("EOF");
        Script("v", lines);
        Run("v");
        EXPECT_EQ(g_Script.running, 0);
        EXPECT_EQ(Statics(), c.expected);
        EXPECT_EQ(Alerts(), c.alerts);
        EXPECT_EQ(g_Script.staticNames.size(), g_Script.staticValues.size());
        EXPECT_EQ(g_Script.staticTypes.size(), g_Script.staticValues.size());
    }
}

// Where a name is both a local and a static, the place decides which wins.
TEST_F(ScriptVars, LocalOrStaticByPlace)
{
    g_Script.SetLocalVar("int", "v", 2);
    g_Script.SetStaticVar("sint", "v", 1);
    Script("p", {"static int def = v;",     // definition: the local
                 "static int single = 0;", "single = v;", // plain value: the static
                 "static int sum = 0;", "sum = v + 0;",   // operands: the local
                 "static int left = 0;", "if(v==1)", "left = 1;", "end if", // left side: the static
                 "static int right = 0;", "if(right!=v)", "right = v + 0;", "end if", "EOF"});
    Run("p");
    const auto s = Statics();
    EXPECT_EQ(s.at("def"), 2);
    EXPECT_EQ(s.at("single"), 1);
    EXPECT_EQ(s.at("sum"), 2);
    EXPECT_EQ(s.at("left"), 1);
    EXPECT_EQ(s.at("right"), 2);
}

TEST_F(ScriptVars, AssignmentWithOperatorStoresIntoBothKinds)
{
    g_Script.SetLocalVar("int", "v", 2);
    g_Script.SetStaticVar("sint", "v", 1);
    Script("p", {"v = 10 + 1;", "static int l = v;", "EOF"});
    ASSERT_EQ(g_Script.OpenScript("p"), 1);
    ASSERT_TRUE(StepUntilStatic("l"));
    EXPECT_EQ(g_Script.localValues[static_cast<size_t>(g_Script.LookupVariable("v", 0))], 11);
    EXPECT_EQ(g_Script.staticValues[static_cast<size_t>(g_Script.LookupVariable("v", 1))], 11);
}

TEST_F(ScriptVars, Conditions)
{
    struct Case {
        const char* cond;
        int hit;
        bool para2Report;
    };
    const std::vector<Case> cases = {
        {"a==15", 1, false},     {"a=15", 0, false},      {"nosuch==1", 0, false}, {"a==nosuch", 0, true},
        {"a>=15", 1, false},     {"a!=14", 1, false},     {"a<=14", 0, false},     {"a>14", 1, false},
        {"a<15", 0, false},      {"a!15", 0, false},      {" a == 15 ", 1, false}, {"a==15abc", 1, false},
        {"a<big", 1, false},     {"zero>-1", 0, true},    {"a", 0, false},         {"big>=2147483647", 1, false},
        {"zero>a", 0, false},    {"a==a", 1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cond);
        Fresh();
        Script("c", {"static int a = 15;", "static int zero = 0;", "static int big = 2147483647;",
                     "static int hit = 0;", std::string("if(") + c.cond + ")", "hit = 1;", "end if",
                     "static int after = 1;", "EOF"});
        Run("c");
        const auto s = Statics();
        EXPECT_EQ(s.at("hit"), c.hit);
        EXPECT_EQ(s.at("after"), 1);
        EXPECT_EQ(CountAlerts("CheckCondition的para2不存在!"), c.para2Report ? 1 : 0);
    }
}

TEST_F(ScriptVars, CodeAccessMatchesNameAndType)
{
    g_Script.SetLocalVar("int", "foo", 3);
    g_Script.SetLocalVar("int", "foo", 4);
    ASSERT_EQ(g_Script.localNames.size(), 1u);
    EXPECT_EQ(g_Script.localValues[0], 4);

    Script("s", {"static int s = 0;", "EOF"});
    Run("s");
    // A static set by code with another type word is a second entry that
    // scripts do not see.
    g_Script.SetStaticVar("int", "s", 1);
    ASSERT_EQ(g_Script.staticNames.size(), 2u);
    EXPECT_EQ(g_Script.staticTypes[0], "sint");
    EXPECT_EQ(g_Script.staticValues[0], 0);
    EXPECT_EQ(g_Script.staticTypes[1], "int");
    EXPECT_EQ(g_Script.staticValues[1], 1);
    Script("t", {"static int t = s;", "EOF"});
    Run("t");
    EXPECT_EQ(Statics().at("t"), 0);
    // Locals end with the run; statics stay.
    EXPECT_TRUE(g_Script.localNames.empty());
}

} // namespace
