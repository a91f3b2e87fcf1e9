// The input and the world reach the interpreter and the UI frames only
// through the interfaces the program installs: with recording doubles in
// their place, the calls land in the doubles and nothing above changes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/globals.h"
#include "test_support.h"
#include "world/upcalls.h"
#include "world_fixtures.h"

using namespace tevtest;

namespace {

// Installs `impl` for the test's scope and puts the program's back.
template <class Need>
class Replace {
public:
    explicit Replace(Need* impl) : previous_(Upcall<Need>::Installed()) { Upcall<Need>::Install(impl); }
    ~Replace() { Upcall<Need>::Install(previous_); }
    Replace(const Replace&) = delete;
    Replace& operator=(const Replace&) = delete;

private:
    Need* previous_;
};

class Recorder final : public ActorNotices, public StatusFrames, public InputRoutes {
public:
    std::vector<std::string> calls;
    bool focus = false;

    void PathEnded(const std::string& actorName) override { calls.push_back("path ended " + actorName); }
    void MonsterDied(const std::string& monsterName) override { calls.push_back("died " + monsterName); }
    void RoleDied() override { calls.push_back("role died"); }

    void OpenFrame(const std::string& frameName) override { calls.push_back("open " + frameName); }
    std::string TopFrame() override { return "main_frame"; }
    void SetText(const std::string& name, const std::string& text) override
    {
        calls.push_back("text " + name + "=" + text);
    }
    int32_t ImageBaseSize(const std::string&, int32_t which) override { return which == 0 ? 100 : 8; }
    void SetImageSize(const std::string& name, int32_t width, int32_t height) override
    {
        calls.push_back("size " + name + " " + std::to_string(width) + "x" + std::to_string(height));
    }
    void ShowTopImage(const std::string& name) override { calls.push_back("show " + name); }
    void SetTextIn(const std::string& frame, const std::string& name, const std::string& text) override
    {
        calls.push_back("text " + name + "=" + text + (frame == TopFrame() ? "" : " in " + frame));
    }
    int32_t ImageBaseSizeIn(const std::string& frame, const std::string& name, int32_t which) override
    {
        return frame == TopFrame() ? ImageBaseSize(name, which) : 0;
    }
    void SetImageSizeIn(const std::string& frame, const std::string& name, int32_t width, int32_t height) override
    {
        calls.push_back("size " + name + " " + std::to_string(width) + "x" + std::to_string(height) +
                        (frame == TopFrame() ? "" : " in " + frame));
    }

    bool FramesHaveFocus() override { return focus; }
    void KeyToFrames(GameKey key) override { calls.push_back("frames key " + std::to_string(key)); }
    void MouseToFrames(MouseInfo info) override { calls.push_back(std::string("frames mouse ") + info.button); }
    void KeyToPlay(GameKey key, bool openMenu) override
    {
        calls.push_back("play key " + std::to_string(key) + (openMenu ? " menu" : ""));
    }
    void MouseToPlay(MouseInfo info) override { calls.push_back(std::string("play mouse ") + info.button); }
    void DismissTalk() override { calls.push_back("dismiss"); }
};

bool Has(const std::vector<std::string>& calls, const std::string& call)
{
    for (const std::string& c : calls)
        if (c == call)
            return true;
    return false;
}

} // namespace

TEST(Upcalls, AMonstersDeathAndTheLevelUpReachOnlyTheInstalledDoubles)
{
    auto root = FreshGameFolder();
    WriteMap(root, "m", MapText(20, 15, "20,15,1,0,0"));
    ASSERT_EQ(g_Map.ChangeMap("m"), 1);
    Recorder rec;
    Replace<ActorNotices> notices(&rec);
    Replace<StatusFrames> frames(&rec);
    g_Role.level = 12, g_Role.attack = 5, g_Role.nextExp = 10, g_Role.exp = 0;
    Monster m;
    m.name = "slime";
    m.hp = 10, m.maxHp = 40, m.defence = 0, m.expReward = 30;
    m.BeHit(10);

    EXPECT_TRUE(Has(rec.calls, "died slime"));
    EXPECT_TRUE(Has(rec.calls, "open levelup_frame"));
    EXPECT_TRUE(Has(rec.calls, "size monster_hp 0x8"));
    EXPECT_LT(g_Script.LookupVariable("slime_dead", 1), 0) << "the interpreter was reached directly";
    EXPECT_TRUE(g_Ui.frames.empty()) << "the frames were reached directly";

    rec.calls.clear();
    g_Role.hp = 30, g_Role.maxHp = 60, g_Role.gold = 7;
    g_Role.PaintState();
    EXPECT_TRUE(Has(rec.calls, "text role_hpnum=30"));
    EXPECT_TRUE(Has(rec.calls, "text role_goldnum=7"));
    EXPECT_TRUE(Has(rec.calls, "size role_hp 50x8"));
}

TEST(Upcalls, KeysAndClicksGoThroughTheInstalledRoutes)
{
    FreshGameFolder();
    Recorder rec;
    Replace<InputRoutes> routes(&rec);
    g_GameState = 3;
    g_Control.DispatchKey(gamekey::kEsc);
    g_Control.DispatchKey(gamekey::kEsc); // within half a second: no second menu
    g_Control.DispatchMouse(MouseInfo{5, 6, 'l'});
    rec.focus = true;
    Headless().fakeClock().Advance(600);
    g_Control.DispatchKey(gamekey::kW);
    g_Control.DispatchKey(gamekey::kW); // the frames sample twice a second
    g_Control.DispatchMouse(MouseInfo{5, 6, 'r'});
    g_Control.buttonReleased = 1;
    g_Control.ScriptKey(gamekey::kSpace, MouseInfo{});
    g_Control.ScriptKey(gamekey::kW, MouseInfo{});

    const std::vector<std::string> expected{"play key 17 menu", "play key 17", "play mouse l", "frames key 1",
                                            "frames mouse r", "dismiss"};
    EXPECT_EQ(rec.calls, expected);
    EXPECT_TRUE(g_Ui.frames.empty()) << "the menu was opened directly";
}

// A call through a need with nothing installed stops the program and names
// the need, and so does the start-up check for any need the floors call.
TEST(UpcallsDeathTest, ANeedWithNothingInstalledStopsTheProgramByName)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(
        {
            Upcall<ScriptOpener>::Install(nullptr);
            Upcall<ScriptOpener>::Get().OpenScript("start");
        },
        "nothing is installed for the upcall ScriptOpener");
    EXPECT_DEATH(
        {
            Upcall<StatusFrames>::Install(nullptr);
            RequireUpcalls();
        },
        "nothing is installed for the upcall StatusFrames");
    // The program's own set is complete.
    RequireUpcalls();
}
