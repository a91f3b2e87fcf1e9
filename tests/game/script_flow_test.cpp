// Blocks: if/else/end if, while/break/loop, for/next.
#include "script_fixture.h"

using tevtest::ScriptFixture;

namespace {

struct FlowCase {
    const char* what;
    std::vector<std::string> lines;
    std::map<std::string, int32_t> expected; // a subset of the statics
};

class ScriptFlow : public ScriptFixture {};

TEST_F(ScriptFlow, Blocks)
{
    const std::vector<std::string> head = {"static int one = 1;", "static int r = 0;"};
    const std::vector<FlowCase> cases = {
        {"nested if and else",
         {"if(one==1)", "  if(one==2)", "    r = 100;", "  else", "    r = 5;", "  end if", "else", "  r = 200;",
          "end if"},
         {{"r", 5}}},
        {"if true with else runs the first branch only",
         {"if(one==1)", "  r = r + 1;", "else", "  r = r + 10;", "end if", "static int after = 1;"},
         {{"r", 1}, {"after", 1}}},
        {"an else inside a skipped nested if is passed over",
         {"if(one==2)", "  if(one==1)", "    r = 1;", "  else", "    r = 2;", "  end if", "  r = 3;", "else",
          "  r = 4;", "end if"},
         {{"r", 4}}},
        {"taken outer if, skipped inner if without else, outer else: one branch only",
         {"if(one==1)", "  if(one==2)", "    r = 1;", "  end if", "else", "  r = 100;", "end if"},
         {{"r", 0}}},
        {"while with a condition and two counters",
         {"static int i = 0;", "static int n = 0;", "while(i<5)", "  i = i + 1;", "  n = n + 2;", "loop"},
         {{"i", 5}, {"n", 10}}},
        {"while() runs until its break",
         {"static int brk = 0;", "while()", "  brk = brk + 1;", "  if(brk==3)", "    break", "  end if", "loop",
          "r = brk + 0;"},
         {{"brk", 3}, {"r", 3}}},
        {"a while false at once skips to after its loop",
         {"while(one==2)", "  r = 9;", "loop", "static int after = 1;"},
         {{"r", 0}, {"after", 1}}},
        {"nested whiles return to their own heads",
         {"static int a = 0;", "static int b = 0;", "static int t = 0;", "while(a<3)", "  a = a + 1;", "  b = 0;",
          "  while(b<2)", "    b = b + 1;", "    t = t + 1;", "  loop", "loop"},
         {{"t", 6}, {"a", 3}}},
        {"for sums, and a second identical for does not run",
         {"static int s = 0;", "for(k=0;k<4;k=k+1)", "  s = s + k;", "next", "static int k1 = k;",
          "for(k=0;k<4;k=k+1)", "  s = s + 100;", "next"},
         {{"s", 6}, {"k1", 4}}},
        {"a for false at once leaves the outer loop's step in place",
         {"static int s = 0;", "for(i=0;i<3;i=i+1)", "  for(j=5;j<3;j=j+1)", "    s = s + 100;", "  next",
          "  s = s + 1;", "next", "static int i1 = i;"},
         {{"s", 3}, {"i1", 3}}},
        {"break in a for after a finished while leaves the for",
         {"static int hit = 0;", "static int w = 0;", "for(j=0;j<3;j=j+1)", "  while(w<1)", "    w = w + 1;",
          "  loop", "  break", "next", "hit = 1;", "static int j1 = j;"},
         {{"hit", 1}, {"j1", 0}, {"w", 1}}},
        {"break in a while inside a for leaves only the while",
         {"static int s = 0;", "for(i=0;i<3;i=i+1)", "  while()", "    s = s + 1;", "    break", "  loop",
          "  s = s + 10;", "next"},
         {{"s", 33}}},
        {"blank indentation, comments and blank lines inside blocks",
         {"if(one==1)   // a comment", "", "      r = 7;", "   // nothing", "", "", "", "   else", "r = 8;",
          "        end if"},
         {{"r", 7}}},
    };
    for (const FlowCase& c : cases) {
        SCOPED_TRACE(c.what);
        Fresh();
        std::vector<std::string> lines = head;
        lines.insert(lines.end(), c.lines.begin(), c.lines.end());
        lines.push_back("static int done = 1;");
        lines.push_back("EOF");
        Script("f", lines);
        Run("f");
        EXPECT_EQ(g_Script.running, 0);
        const auto s = Statics();
        EXPECT_EQ(s.count("done"), 1u) << "the run did not reach its end";
        for (const auto& [name, value] : c.expected) {
            ASSERT_EQ(s.count(name), 1u) << name;
            EXPECT_EQ(s.at(name), value) << name;
        }
        EXPECT_TRUE(Alerts().empty()) << Alerts().front();
    }
}

// Executed blocks leave nothing behind on the stacks, also when a break
// leaves a loop from inside an if.
TEST_F(ScriptFlow, StacksBalanceAfterBlocks)
{
    Script("b", {"static int one = 1;", "static int n = 0;", "if(one==1)", "else", "end if", "if(one==2)", "else",
                 "end if", "if(one==2)", "end if", "while()", "  n = n + 1;", "  if(n==3)", "    if(one==1)",
                 "      break", "    end if", "  end if", "loop", "for(i=0;i<2;i=i+1)", "  if(one==1)", "    break",
                 "  end if", "next", "for(j=5;j<2;j=j+1)", "next", "static int mark = 1;", "while()", "loop",
                 "EOF"});
    ASSERT_EQ(g_Script.OpenScript("b"), 1);
    ASSERT_TRUE(StepUntilStatic("mark"));
    EXPECT_EQ(Statics().at("n"), 3);
    EXPECT_TRUE(g_Script.ifStack.empty());
    EXPECT_TRUE(g_Script.whileStarts.empty());
    EXPECT_TRUE(g_Script.forStarts.empty());
    EXPECT_TRUE(g_Script.forSteps.empty());
    EXPECT_EQ(g_Script.whileFirstEntry, 1);
    EXPECT_EQ(g_Script.forFirstEntry, 1);
}

// One step per statement; a loop pass costs one step for its head.
TEST_F(ScriptFlow, EachPassCostsAStepForItsHead)
{
    Script("w", {"static int i = 0;", "while(i<3)", "i = i + 1;", "loop", "EOF"});
    Run("w");
    std::vector<std::string> expected = {"w static int"};
    for (int i = 0; i < 3; ++i) {
        expected.push_back("w while");
        expected.push_back("w i = i + 1;");
        expected.push_back("w loop");
    }
    expected.push_back("w while");
    expected.push_back("w EOF");
    EXPECT_EQ(Statements(), expected);
}

} // namespace
