// Scene composition: the order of the in-game frame, removals, the camera,
// the title and the UI frames.
#include <gtest/gtest.h>

#include <functional>

#include "app/globals.h"
#include "app/scene.h"
#include "test_support.h"
#include "world_fixtures.h"

using namespace tevtest;

namespace {

// Records every call as a line; hooks let a test act inside a call.
class Recorder : public scene::Parts {
public:
    std::vector<std::string> log;
    std::function<void(size_t, int32_t)> onNpc;     // index, pass
    std::function<int32_t(size_t)> hitOf;           // magic index -> monster index
    int layerResult = 0;

    int PaintLayer(int32_t layer, const plat::Rect& w, float x, float y) override
    {
        log.push_back("layer " + std::to_string(layer) + " " + std::to_string(w.left) + "," + std::to_string(w.top) +
                      "," + std::to_string(w.right) + "," + std::to_string(w.bottom) + " at " +
                      std::to_string(static_cast<int>(x)) + "," + std::to_string(static_cast<int>(y)));
        return layerResult;
    }
    void PaintNpc(size_t i, int32_t pass, int32_t stipple) override
    {
        log.push_back("npc " + g_Npcs[i].name + " " + std::to_string(pass) + " " + std::to_string(stipple));
        if (onNpc)
            onNpc(i, pass);
    }
    void PaintMonster(size_t i, int32_t pass, int32_t stipple) override
    {
        log.push_back("monster " + g_Monsters[i].name + " " + std::to_string(pass) + " " + std::to_string(stipple));
    }
    void PaintRoleWalk(int32_t walking, int32_t stipple) override
    {
        log.push_back("role " + std::to_string(walking) + " " + std::to_string(stipple));
    }
    void CheckDead(int32_t times, int32_t ms) override
    {
        log.push_back("checkdead " + std::to_string(times) + " " + std::to_string(ms));
    }
    void PaintMagic(size_t i, int32_t alpha, int32_t stipple) override
    {
        log.push_back("magic " + g_Magics[i].name + " " + std::to_string(alpha) + " " + std::to_string(stipple));
    }
    int32_t FindHitMonster(size_t i) override
    {
        const int32_t hit = hitOf ? hitOf(i) : -1;
        log.push_back("find " + g_Magics[i].name + " " + std::to_string(hit));
        return hit;
    }
    int32_t DamageMonster(size_t i, int32_t n) override
    {
        log.push_back("damage " + g_Magics[i].name + " " + std::to_string(n));
        return n >= 0 ? 1 : 0;
    }
    void PaintUiFrame(const std::string& name) override { log.push_back("ui " + name); }
    void PaintUiLayer(size_t f, int32_t layer) override
    {
        log.push_back("uilayer " + g_Ui.frames[f].name + " " + std::to_string(layer));
    }
    void PaintState() override { log.push_back("state"); }
    void SetLocalVar(const std::string& type, const std::string& name, int32_t value) override
    {
        log.push_back("local " + type + " " + name + " " + std::to_string(value));
    }
};

struct SceneFixture : ::testing::Test {
    Recorder rec;
    void SetUp() override
    {
        auto root = FreshGameFolder();
        WriteMap(root, "m", MapText(20, 15, "20,15,1,320,240"));
        ASSERT_EQ(g_Map.ChangeMap("m"), 1);
        g_Graph.BUF = g_Graph.CreatePlain(640, 480);
        scene::UseParts(&rec);
    }
    void TearDown() override { scene::UseParts(nullptr); }

    template <class T>
    static T Named(const std::string& name, int32_t id = 0)
    {
        T t;
        t.name = name;
        t.id = id;
        return t;
    }
    std::vector<std::string> Frame()
    {
        rec.log.clear();
        g_Graph.PaintLayToBuffer();
        return rec.log;
    }
};

} // namespace

TEST_F(SceneFixture, SceneOrderOfOneFrame)
{
    g_Npcs = {Named<Npc>("n0"), Named<Npc>("n1")};
    g_Monsters = {Named<Monster>("m0")};
    g_Magics = {Named<Magic>("f0"), Named<Magic>("f1")};
    g_Role.walking = 1;
    const std::string w = "296,80,889,401 at 23,23"; // camera: role (320,240) minus view (23.5,160) truncated
    g_Role.x = 320, g_Role.viewX = 23.5f, g_Role.y = 240, g_Role.viewY = 160;
    const std::vector<std::string> expected = {
        "layer 0 " + w, "layer 1 " + w, "layer 2 " + w, "layer 3 " + w,
        "npc n0 0 1", "npc n1 0 1", "monster m0 0 1",
        "role 1 1", "checkdead 3 100",
        "npc n0 1 1", "npc n1 1 1", "monster m0 1 1",
        "magic f0 16 1", "find f0 -1", "damage f0 -1",
        "magic f1 16 1", "find f1 -1", "damage f1 -1",
        "layer 4 " + w, "layer 5 " + w, "layer 6 " + w,
        "ui main_frame", "state"};
    EXPECT_EQ(Frame(), expected);

    // A dead role is not painted, but its death check still runs.
    g_Role.dead = 1;
    const auto log = Frame();
    EXPECT_EQ(std::count(log.begin(), log.end(), "role 1 1"), 0);
    EXPECT_EQ(std::count(log.begin(), log.end(), "checkdead 3 100"), 1);
}

TEST_F(SceneFixture, SceneRemovalOneNpcAFrameAndItsLocal)
{
    g_Npcs = {Named<Npc>("a", -1), Named<Npc>("b"), Named<Npc>("c", -1)};
    auto frame1 = Frame();
    EXPECT_EQ(std::count(frame1.begin(), frame1.end(), "local int a_dead 1"), 1);
    EXPECT_EQ(std::count(frame1.begin(), frame1.end(), "npc b 1 1"), 0); // no upper body this frame
    EXPECT_EQ(std::count(frame1.begin(), frame1.end(), "npc b 0 1"), 1);
    ASSERT_EQ(g_Npcs.size(), 2u);
    auto frame2 = Frame();
    EXPECT_EQ(std::count(frame2.begin(), frame2.end(), "npc b 1 1"), 1);
    EXPECT_EQ(std::count(frame2.begin(), frame2.end(), "local int c_dead 1"), 1);
    ASSERT_EQ(g_Npcs.size(), 1u);
    EXPECT_EQ(g_Npcs[0].name, "b");

    // An NPC removed during its own second pass goes the same way.
    g_Npcs.push_back(Named<Npc>("d"));
    rec.onNpc = [](size_t i, int32_t pass) {
        if (pass == 1 && g_Npcs[i].name == "d")
            g_Npcs[i].id = -5;
    };
    auto frame3 = Frame();
    EXPECT_EQ(std::count(frame3.begin(), frame3.end(), "local int d_dead 1"), 1);
    EXPECT_EQ(g_Npcs.size(), 1u);
}

TEST_F(SceneFixture, SceneRemovalKeepsTalkAndHitIndexesOnTheirActors)
{
    struct Case {
        int dead, index, after;
    };
    for (const Case& c : {Case{0, 0, -1}, Case{0, 2, 1}, Case{1, 0, 0}, Case{1, -1, -1}}) {
        g_Npcs = {Named<Npc>("a"), Named<Npc>("b"), Named<Npc>("c")};
        g_Monsters = {Named<Monster>("x"), Named<Monster>("y"), Named<Monster>("z")};
        g_Npcs[static_cast<size_t>(c.dead)].id = -1;
        g_Monsters[static_cast<size_t>(c.dead)].id = -1;
        g_TalkNpcIndex = c.index;
        g_hitMonsterIndex = c.index;
        Frame();
        EXPECT_EQ(g_TalkNpcIndex, c.after) << c.dead << " " << c.index;
        EXPECT_EQ(g_hitMonsterIndex, c.after) << c.dead << " " << c.index;
    }
}

TEST_F(SceneFixture, SceneRemovalOfMonstersAndMagic)
{
    g_Monsters = {Named<Monster>("x", -1), Named<Monster>("y", -2)};
    auto f1 = Frame();
    EXPECT_EQ(std::count(f1.begin(), f1.end(), "local int x_dead 1"), 1);
    EXPECT_EQ(std::count(f1.begin(), f1.end(), "monster y 1 1"), 0);
    EXPECT_EQ(g_Monsters.size(), 1u);
    Frame();
    EXPECT_TRUE(g_Monsters.empty());

    // Effect 0 hits and goes this frame; effect 1 is still painted and tested;
    // an ended effect goes without a test.
    g_Magics = {Named<Magic>("f0"), Named<Magic>("f1"), Named<Magic>("f2")};
    g_Magics[2].dead = 1;
    rec.hitOf = [](size_t i) { return g_Magics[i].name == "f0" ? 0 : -1; };
    const std::vector<std::string> magicLog = [&] {
        std::vector<std::string> out;
        for (const auto& l : Frame())
            if (l.rfind("magic", 0) == 0 || l.rfind("find", 0) == 0 || l.rfind("damage", 0) == 0)
                out.push_back(l);
        return out;
    }();
    EXPECT_EQ(magicLog, (std::vector<std::string>{"magic f0 16 1", "find f0 0", "damage f0 0", "magic f1 16 1",
                                                  "find f1 -1", "damage f1 -1", "magic f2 16 1"}));
    ASSERT_EQ(g_Magics.size(), 1u);
    EXPECT_EQ(g_Magics[0].name, "f1");
}

TEST_F(SceneFixture, CameraWindowFollowsTheRole)
{
    struct Case {
        float x, y, vx, vy;
        std::string window;
    };
    for (const Case& c : {Case{400, 200, 300, 160, "100,40,693,361"}, Case{100.9f, 40.9f, 0, 0, "100,40,693,361"},
                          // A map narrower than the view: the camera lies left of the map.
                          Case{240, 240, 316.2f, 160, "-76,80,517,401"},
                          // A role at an absurd place: the window saturates.
                          Case{3e9f, -3e9f, 0, 0, "2147483647,-2147483648,2147483647,-2147483327"}}) {
        g_Role.x = c.x, g_Role.y = c.y, g_Role.viewX = c.vx, g_Role.viewY = c.vy;
        EXPECT_EQ(Frame().front(), "layer 0 " + c.window + " at 23,23");
    }
}

TEST_F(SceneFixture, LayerFailuresAreReportedAndTheFrameGoesOn)
{
    rec.layerResult = -1;
    auto log = Frame();
    EXPECT_EQ(log.back(), "state");
    EXPECT_EQ(CountReports("PaintLayToBuffer 前4层Lay 失败！"), 4);
    EXPECT_EQ(CountReports("PaintLayToBuffer 后3层Lay 失败！"), 3);

    // Without a map no layer is painted, and the viewport is black.
    g_Map.FreeLayers();
    g_Map.ReleaseSurfaces();
    g_Map.loaded = 0;
    plat::Fill(g_Graph.BUF, 0xFFFF);
    log = Frame();
    EXPECT_EQ(log.front().rfind("layer", 0), std::string::npos);
    EXPECT_EQ(g_Graph.BUF->Row(23)[23], 0);
    EXPECT_EQ(g_Graph.BUF->Row(343)[615], 0);
    EXPECT_EQ(g_Graph.BUF->Row(22)[23], 0xFFFF);
    EXPECT_EQ(g_Graph.BUF->Row(23)[616], 0xFFFF);
}

TEST_F(SceneFixture, TitleAndUiFramesPaintInLayerOrder)
{
    g_Ui.frames = {FRAMESTRUCT{"main_frame"}, FRAMESTRUCT{"menu"}};
    rec.log.clear();
    g_Graph.PaintTitle();
    EXPECT_EQ(rec.log, std::vector<std::string>{"ui title_frame"});
    rec.log.clear();
    g_Graph.PaintUIFrames();
    ASSERT_EQ(rec.log.size(), 18u);
    EXPECT_EQ(rec.log[0], "uilayer main_frame 1");
    EXPECT_EQ(rec.log[1], "uilayer menu 1");
    EXPECT_EQ(rec.log[2], "uilayer main_frame 2");
    EXPECT_EQ(rec.log[17], "uilayer menu 9");
}

TEST(SceneWithGameParts, RemovedNpcSetsTheInterpretersLocal)
{
    auto root = FreshGameFolder();
    WriteMap(root, "m", MapText(20, 15, "20,15,1,320,240"));
    ASSERT_EQ(g_Map.ChangeMap("m"), 1);
    g_Graph.BUF = g_Graph.CreatePlain(640, 480);
    Npc n;
    n.name = G("老人");
    n.id = -1;
    g_Npcs = {n};
    g_Graph.PaintLayToBuffer();
    EXPECT_TRUE(g_Npcs.empty());
    const auto& names = g_Script.localNames;
    const auto it = std::find(names.begin(), names.end(), G("老人") + "_dead");
    ASSERT_NE(it, names.end());
    const size_t k = static_cast<size_t>(it - names.begin());
    EXPECT_EQ(g_Script.localTypes[k], "int");
    EXPECT_EQ(g_Script.localValues[k], 1);
}
