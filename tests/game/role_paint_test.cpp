// The role's sprite, regeneration, level-up, death and status panel.
#include <gtest/gtest.h>

#include "app/globals.h"
#include "test_support.h"
#include "world_fixtures.h"

using namespace tevtest;

namespace {

struct RolePaint : ::testing::Test {
    std::filesystem::path log;

    void SetUp() override
    {
        plat::headless::Options o;
        o.root = TEV_DEMO_DIR;
        log = TempDir("log") / "log.txt";
        o.logFile = log;
        InstallHeadless(o);
        g_Graph.InitDisplay();
        g_Graph.LoadResourcePictures();
        Role& r = g_Role;
        r.hp = r.maxHp = 20;
        r.mp = r.maxMp = 10;
        r.viewX = 100, r.viewY = 80;
        r.direction = 1;
        r.animSpeed = 4;
        r.footstepWave = "footstep";
    }

    int Count(const std::string& event) const
    {
        const std::string text = ReadFile(log);
        int n = 0;
        for (size_t at = text.find(event); at != std::string::npos; at = text.find(event, at + 1))
            ++n;
        return n;
    }

    static void Clear() { plat::Fill(g_Graph.BUF, 0); }

    // Rows [0, rows) of the cell show its pixels at the role's place; the
    // rows below stay black.
    static void ExpectCellPainted(int32_t id, int32_t index, int rows, const char* what)
    {
        const PICRESOURCESTRUCT& pic = g_Graph.getpicre(id);
        ASSERT_NE(pic.surface, nullptr);
        const int left = (index % (pic.width / 32)) * 32, top = (index / (pic.width / 32)) * 48;
        const int x0 = static_cast<int>(g_Role.viewX) + 23, y0 = static_cast<int>(g_Role.viewY) + 23;
        int shown = 0;
        // Twelve rows past the cell show that nothing of the cell below
        // was painted.
        for (int j = 0; j < 60; ++j)
            for (int i = 0; i < 32; ++i) {
                const uint16_t got = g_Graph.BUF->Row(y0 + j)[x0 + i];
                const uint16_t want = j < 48 ? pic.surface->Row(top + j)[left + i] : 0;
                if (j >= rows) {
                    ASSERT_EQ(got, 0) << what << " below the division " << i << "," << j;
                } else if (want != 0x001F) {
                    ASSERT_EQ(got, want) << what << " pixel " << i << "," << j;
                    ++shown;
                }
            }
        EXPECT_GT(shown, 0) << what;
    }
};

} // namespace

TEST_F(RolePaint, StandingAndWalkingCellsByDirection)
{
    struct Case {
        int32_t dir, standing, firstWalking, slot;
    };
    for (const Case& c : {Case{3, 0, 32, 1}, Case{30, 4, 36, 5}, Case{0, 8, 40, 2}, Case{20, 12, 44, 4},
                          Case{2, 16, 48, 0}, Case{21, 20, 52, 6}, Case{1, 24, 56, 3}, Case{31, 28, 60, 7}}) {
        g_Role.direction = c.dir;
        Clear();
        g_Role.PaintRoleWalk(0, 1);
        ExpectCellPainted(PIC_ROLE, c.standing, 48, "standing");
        g_Role.walkCell[c.slot] = 2;
        Clear();
        g_Role.PaintRoleWalk(1, 1);
        ExpectCellPainted(PIC_ROLE, c.firstWalking + 2, 48, "walking");
    }
    // A smaller division paints only the upper part of the cell.
    g_Role.division = 20;
    g_Role.direction = 1;
    Clear();
    g_Role.PaintRoleWalk(0, 1);
    ExpectCellPainted(PIC_ROLE, 24, 20, "cut");
    // A larger one is held to the cell.
    g_Role.division = 60;
    Clear();
    g_Role.PaintRoleWalk(0, 1);
    ExpectCellPainted(PIC_ROLE, 24, 48, "whole");
    EXPECT_EQ(Headless().recordingDialogs().debugLines.size(), 0u);
}

TEST_F(RolePaint, WalkingCellAdvancesEveryAnimSpeedFramesPerDirection)
{
    g_Role.direction = 0; // slot 2
    for (int i = 0; i < 3; ++i)
        g_Role.PaintRoleWalk(1, 1);
    EXPECT_EQ(g_Role.walkCell[2], 0);
    g_Role.PaintRoleWalk(1, 1);
    EXPECT_EQ(g_Role.walkCell[2], 1);
    // Turning keeps each direction's own cell and counter.
    g_Role.direction = 3; // slot 1
    for (int i = 0; i < 4; ++i)
        g_Role.PaintRoleWalk(1, 1);
    EXPECT_EQ(g_Role.walkCell[1], 1);
    g_Role.direction = 0;
    for (int i = 0; i < 12; ++i)
        g_Role.PaintRoleWalk(1, 1);
    EXPECT_EQ(g_Role.walkCell[2], 0); // 1 -> 2 -> 3 -> wraps to 0
    // Paused: the counter runs on, the cell waits.
    g_Paused = 1;
    for (int i = 0; i < 6; ++i)
        g_Role.PaintRoleWalk(1, 1);
    EXPECT_EQ(g_Role.walkCell[2], 0);
    g_Paused = 0;
    g_Role.PaintRoleWalk(1, 1);
    EXPECT_EQ(g_Role.walkCell[2], 1);
    EXPECT_EQ(Count("sound play footstep"), 27);
}

TEST_F(RolePaint, StandingRegeneratesEvery1500MsAndTurnsToAMovingCursor)
{
    auto& clock = Headless().fakeClock();
    g_Role.hp = 10;
    g_Role.keyMoved = g_Role.mouseMoved = 1;
    g_Role.PaintRoleWalk(0, 1);
    EXPECT_EQ(g_Role.keyMoved, 0);
    EXPECT_EQ(g_Role.mouseMoved, 0);
    clock.Advance(1499);
    g_Role.PaintRoleWalk(0, 1);
    EXPECT_FLOAT_EQ(g_Role.hp, 10);
    clock.Advance(1);
    g_Role.PaintRoleWalk(0, 1);
    EXPECT_FLOAT_EQ(g_Role.hp, 11);
    EXPECT_FLOAT_EQ(g_Role.mp, 10); // full stays full
    g_Role.PaintRoleWalk(0, 1);
    EXPECT_FLOAT_EQ(g_Role.hp, 11);
    // Walking longer than the interval: the first standing frame regenerates.
    clock.Advance(100);
    g_Role.PaintRoleWalk(0, 1); // arms the timer again
    for (int i = 0; i < 20; ++i) {
        clock.Advance(100);
        g_Role.PaintRoleWalk(1, 1);
    }
    EXPECT_FLOAT_EQ(g_Role.hp, 11);
    g_Role.PaintRoleWalk(0, 1);
    EXPECT_FLOAT_EQ(g_Role.hp, 12);
    // Regeneration off.
    g_Role.regen = 0;
    clock.Advance(1500);
    g_Role.PaintRoleWalk(0, 1);
    EXPECT_FLOAT_EQ(g_Role.hp, 12);

    // A moving cursor turns a standing role, unless a script runs.
    g_Control.cursorMoved = 1;
    g_Control.cursorX = static_cast<int32_t>(g_Role.viewX) + 16 + 50;
    g_Control.cursorY = static_cast<int32_t>(g_Role.viewY) + 24;
    g_Script.running = 1;
    g_Role.PaintRoleWalk(0, 1);
    EXPECT_EQ(g_Role.direction, 1);
    g_Script.running = 0;
    g_Role.PaintRoleWalk(0, 1);
    EXPECT_EQ(g_Role.direction, 3);
}

TEST_F(RolePaint, LevelUpRaisesTheValuesAndShowsItsFrame)
{
    Role& r = g_Role;
    r.level = 1, r.nextExp = 100, r.maxHp = 100, r.hp = 40, r.maxMp = 50, r.mp = 3, r.attack = 10, r.defence = 5;
    r.exp = 150;
    r.LevelUp();
    EXPECT_EQ(r.level, 2);
    EXPECT_FLOAT_EQ(r.nextExp, 220);
    EXPECT_FLOAT_EQ(r.maxHp, 130);
    EXPECT_FLOAT_EQ(r.hp, 130);
    EXPECT_FLOAT_EQ(r.maxMp, 65);
    EXPECT_FLOAT_EQ(r.mp, 65);
    EXPECT_FLOAT_EQ(r.attack, 13);
    EXPECT_FLOAT_EQ(r.defence, 6.5f);
    EXPECT_FLOAT_EQ(r.exp, 150);
    EXPECT_EQ(r.levelUpShown, 1);
    EXPECT_EQ(Count("ui load levelup_frame"), 1);
    EXPECT_EQ(Count("sound play levelup"), 1);
    // The mark goes with the first paint of the living role.
    r.PaintRoleWalk(0, 1);
    EXPECT_EQ(r.levelUpShown, 0);
}

TEST_F(RolePaint, DeathRunsItsSequenceOnceAndAgainAfterARevival)
{
    auto& clock = Headless().fakeClock();
    g_Control.SetInputEnabled(1);
    g_Role.CheckDead(3, 100);
    EXPECT_EQ(g_Control.keyMoveOn, 1); // alive: nothing happens
    g_Role.hp = -3;
    g_Role.mp = 7;
    // The frame stack takes only frames whose files exist; its trace shows
    // every frame the role asks for.
    auto deadFrames = [&] { return Count("ui load dead_frame"); };
    int frames = 0;
    for (; frames < 100 && deadFrames() == 0; ++frames) {
        g_Role.CheckDead(3, 100);
        clock.Advance(100);
    }
    ASSERT_EQ(deadFrames(), 1);
    // Cells 0-3 take 4 frames, the end is reported on 3 frames, the final
    // animation runs to the last cell (4) of the 5-cell picture.
    EXPECT_GE(frames, 8);
    EXPECT_FLOAT_EQ(g_Role.hp, 0);
    EXPECT_FLOAT_EQ(g_Role.mp, 0);
    EXPECT_EQ(g_Control.keyMoveOn, 0);
    EXPECT_EQ(g_Control.mouseActionOn, 0);
    EXPECT_EQ(g_Graph.blackMode, 1);
    EXPECT_EQ(g_Graph.blackAlpha, 16);
    EXPECT_EQ(Count("sound play roledie"), 1);
    EXPECT_EQ(g_Sound.midiName, "roledie");
    for (int i = 0; i < 20; ++i) {
        g_Role.CheckDead(3, 100);
        clock.Advance(100);
    }
    EXPECT_EQ(deadFrames(), 1);

    // Revived, then dead again by the flag: the one-time steps run again.
    g_Role.hp = 50;
    g_Role.CheckDead(3, 100);
    g_Role.dead = 1;
    g_Role.CheckDead(3, 100);
    EXPECT_FLOAT_EQ(g_Role.hp, 0);
    EXPECT_EQ(Count("sound play roledie"), 2);
}

TEST(RolePaintFailures, MissingPictureIsReportedByDirection)
{
    FreshGameFolder();
    g_Role.footstepWave = "NULL";
    g_Role.direction = 0;
    g_Role.PaintRoleWalk(1, 1);
    g_Role.direction = 21;
    g_Role.PaintRoleWalk(0, 1);
    g_Role.direction = 7; // not a direction: nothing is painted or reported
    g_Role.PaintRoleWalk(0, 1);
    g_Role.PaintRoleWalk(1, 1);
    EXPECT_EQ(CountReports("PaintRoleWalk up 失败!"), 1);
    EXPECT_EQ(CountReports("PaintRoleStatic down&left失败！"), 1);
    EXPECT_EQ(CountReports("PaintRole"), 2);
}

// ---------------------------------------------------------------- the panel
namespace {

UIIMAGEBOX Image(const std::string& name, int w, int h, int visible = 1)
{
    UIIMAGEBOX b;
    b.name = name;
    b.width = b.baseWidth = w;
    b.height = b.baseHeight = h;
    b.visible = visible;
    return b;
}

UISTRINGBOX Text(const std::string& name)
{
    UISTRINGBOX b;
    b.name = name;
    return b;
}

std::string TextOf(const std::string& name)
{
    for (const UISTRINGBOX& s : g_Ui.frames.back().strings)
        if (s.name == name)
            return s.text;
    return "?";
}

const UIIMAGEBOX& ImageOf(const std::string& name)
{
    for (const UIIMAGEBOX& s : g_Ui.frames.back().images)
        if (s.name == name)
            return s;
    static UIIMAGEBOX none;
    return none;
}

// White pixels where the level, strength and defence texts go.
int WhiteInTextArea()
{
    int n = 0;
    for (int y = 33; y < 95; ++y)
        for (int x = 33; x < 160; ++x)
            n += g_Graph.BUF->Row(y)[x] == 0xFFFF;
    return n;
}

} // namespace

TEST_F(RolePaint, MainFrameGetsNumbersBarsAndTexts)
{
    FRAMESTRUCT main{"main_frame"};
    main.images = {Image("role_hp", 120, 8), Image("role_mp", 60, 6)};
    for (const char* s : {"role_hpnum", "role_mpnum", "role_expnum", "role_goldnum"})
        main.strings.push_back(Text(s));
    g_Ui.frames = {main};
    Role& r = g_Role;
    r.maxHp = 100, r.maxMp = 40, r.mp = 10.9f, r.exp = 77.5f, r.gold = 1234;
    r.level = 3, r.attack = 12.7f, r.defence = -2.5f;

    struct Case {
        float hp, maxHp;
        int width;
    };
    // Scaled from the loaded width, 1 pixel when empty, no upper limit; a
    // maximum of 0 shows the full bar.
    for (const Case& c : {Case{50, 100, 60}, Case{0, 100, 1}, Case{-5, 100, 1}, Case{150, 100, 180}, Case{33, 100, 39},
                          Case{10, 0, 120}}) {
        r.hp = c.hp, r.maxHp = c.maxHp;
        r.PaintState();
        EXPECT_EQ(ImageOf("role_hp").width, c.width) << c.hp << "/" << c.maxHp;
        EXPECT_EQ(ImageOf("role_hp").height, 8);
    }
    EXPECT_EQ(ImageOf("role_mp").width, 16); // 60 x 10.9 / 40
    EXPECT_EQ(ImageOf("role_mp").height, 6);
    EXPECT_EQ(TextOf("role_hpnum"), "10");
    EXPECT_EQ(TextOf("role_mpnum"), "10");
    EXPECT_EQ(TextOf("role_expnum"), "77");
    EXPECT_EQ(TextOf("role_goldnum"), "1234");

    Clear();
    r.PaintState();
    EXPECT_GT(WhiteInTextArea(), 0);
    // Any other frame on top: no texts, nothing filled.
    FRAMESTRUCT other{"levelup_frame"};
    other.strings.push_back(Text("role_hpnum"));
    g_Ui.frames.push_back(other);
    Clear();
    r.PaintState();
    EXPECT_EQ(WhiteInTextArea(), 0);
    EXPECT_EQ(TextOf("role_hpnum"), "");
    g_Ui.frames.clear();
    r.PaintState(); // an empty stack is left alone
}

TEST_F(RolePaint, StateFrameListsTheValuesAndShowsCarriedItems)
{
    FRAMESTRUCT state{"state_frame"};
    state.images = {Image("sword", 32, 32, 0), Image("shield", 32, 32, 0), Image("sword", 32, 32, 0)};
    for (const char* s : {"state_name", "state_level", "state_hp", "state_mp", "state_str", "state_def", "state_exp",
                          "state_nextexp", "state_magic", "state_gold", "role_hpnum"})
        state.strings.push_back(Text(s));
    g_Ui.frames = {state};
    Role& r = g_Role;
    r.name = "hero";
    r.level = 4, r.hp = 19.9f, r.mp = 3, r.attack = 13.5f, r.defence = 6.5f, r.exp = 220, r.nextExp = 484.4f;
    r.magicKind = -1, r.gold = 7;
    r.items[0] = "sword", r.itemCount = 1;
    Clear();
    r.PaintState();
    const std::pair<const char*, const char*> want[] = {
        {"state_name", "hero"}, {"state_level", "4"},    {"state_hp", "19"},      {"state_mp", "3"},
        {"state_str", "13"},    {"state_def", "6"},      {"state_exp", "220"},    {"state_nextexp", "484"},
        {"state_magic", "-1"},  {"state_gold", "7"},     {"role_hpnum", ""},
    };
    for (const auto& [name, text] : want)
        EXPECT_EQ(TextOf(name), text) << name;
    EXPECT_EQ(g_Ui.frames.back().images[0].visible, 1);
    EXPECT_EQ(g_Ui.frames.back().images[1].visible, 0);
    EXPECT_EQ(g_Ui.frames.back().images[2].visible, 0); // the first of the name only
    EXPECT_EQ(WhiteInTextArea(), 0);
    // An item no longer carried stays shown until the frame is loaded again.
    r.items[0].clear(), r.itemCount = 0;
    r.PaintState();
    EXPECT_EQ(g_Ui.frames.back().images[0].visible, 1);
}
