// The role's movement: keys and mouse, scrolling, sidesteps, and the NPCs,
// monsters and tile events it meets.
#include <gtest/gtest.h>

#include "app/globals.h"
#include "test_support.h"
#include "world_fixtures.h"

using namespace tevtest;

namespace {

// A 40 x 30 map (1280 x 960 pixels): a wall on row 5 (y 160..191) over
// columns 10..14 (x 320..479), a blocking door with the event "door" at
// (20,5) and a free tile with the event "bell" at (25,10).
struct RoleMove : ::testing::Test {
    std::filesystem::path root;

    void SetUp() override
    {
        root = FreshGameFolder();
        WriteMap(root, "m", MapText(40, 30, "40,30,1,0,0", [](int i) {
                     const int c = i % 40, r = i / 40;
                     if (r == 5 && c >= 10 && c <= 14)
                         return std::string("0,0,0,0,1,-1,N");
                     if (r == 5 && c == 20)
                         return std::string("0,0,0,0,1,-1,door");
                     if (r == 10 && c == 25)
                         return std::string("0,0,0,0,0,-1,bell");
                     return std::string();
                 }));
        ASSERT_EQ(g_Map.ChangeMap("m"), 1);
        for (const char* s : {"door", "bell", "talk", "fight"})
            WriteFile(root / "Script" / (std::string(s) + ".jsr"), "EOF\r\n");
        Role& r = g_Role;
        r.step = r.speed = 4;
        r.boxLeft = 4, r.boxRight = 28, r.boxTop = 30, r.boxBottom = 46;
        r.active = 1;
        r.autoSidestep = 1;
        r.attack = 23;
        g_Control.keyMoveOn = 1;
        g_Control.mouseActionOn = 1;
    }

    // The role at map point (x, y) with the camera at (camX, camY).
    static void Place(float x, float y, float camX = 0, float camY = 0)
    {
        g_Role.x = x, g_Role.y = y;
        g_Role.viewX = x - camX, g_Role.viewY = y - camY;
    }

    int Count(const std::string& event) const
    {
        const std::string log = ReadFile(root / "log.txt");
        int n = 0;
        for (size_t at = log.find(event); at != std::string::npos; at = log.find(event, at + 1))
            ++n;
        return n;
    }

    // Holds a key for n frames.
    static void Hold(GameKey key, int n)
    {
        for (int i = 0; i < n; ++i)
            g_Role.KeyMove(key);
    }

    // A cursor on the screen at (dx, dy) from the role's reference point.
    static MouseInfo Cursor(int dx, int dy, char button = 'l')
    {
        g_Control.cursorX = static_cast<int32_t>(g_Role.viewX) + 16 + dx;
        g_Control.cursorY = static_cast<int32_t>(g_Role.viewY) + 24 + dy;
        return MouseInfo{g_Control.cursorX, g_Control.cursorY, button};
    }
};

} // namespace

TEST_F(RoleMove, OneStepByEveryKeyMovesAndScrollsByTheViewportMiddle)
{
    struct Case {
        const char* what;
        GameKey key;
        float x, y, camX, camY;
        int dir;
        float dx, dy, dvx, dvy;
    };
    // With the role at view (100, 100) and room on every side: up and left
    // scroll, right and down move inside the view; a diagonal scrolls both
    // axes as soon as one of them may.
    const Case cases[] = {
        {"up", gamekey::kW, 600, 600, 500, 500, 0, 0, -4, 0, 0},
        {"down", gamekey::kS, 600, 600, 500, 500, 1, 0, 4, 0, 4},
        {"left", gamekey::kA, 600, 600, 500, 500, 2, -4, 0, 0, 0},
        {"right", gamekey::kD, 600, 600, 500, 500, 3, 4, 0, 4, 0},
        {"up-left", gamekey::kWA, 600, 600, 500, 500, 20, -4, -4, 0, 0},
        {"down-left", gamekey::kSA, 600, 600, 500, 500, 21, -4, 4, 0, 0},
        {"up-right", gamekey::kWD, 600, 600, 500, 500, 30, 4, -4, 0, 0},
        {"down-right", gamekey::kSD, 600, 600, 500, 500, 31, 4, 4, 4, 4},
        {"ctrl up", gamekey::kCtrlW, 600, 600, 500, 500, 0, 0, -4, 0, 0},
        {"ctrl down-right", gamekey::kCtrlSD, 600, 600, 500, 500, 31, 4, 4, 4, 4},
        // Exactly on the middle line both ways scroll.
        {"middle left", gamekey::kA, 696.5f, 600, 400, 500, 2, -4, 0, 0, 0},
        {"middle right", gamekey::kD, 696.5f, 600, 400, 500, 3, 4, 0, 0, 0},
        // The last scroll before the map's bottom and right edges, and the
        // first step past it.
        {"bottom room", gamekey::kS, 600, 835, 400, 635, 1, 0, 4, 0, 0},
        {"bottom edge", gamekey::kS, 600, 836, 400, 636, 1, 0, 4, 0, 4},
        {"right room", gamekey::kD, 983, 600, 683, 500, 3, 4, 0, 0, 0},
        {"right edge", gamekey::kD, 984, 600, 684, 500, 3, 4, 0, 4, 0},
        // Top-left corner: nothing to scroll.
        {"corner up", gamekey::kW, 100, 100, 0, 0, 0, 0, -4, 0, -4},
        {"corner up-left", gamekey::kWA, 100, 100, 0, 0, 20, -4, -4, -4, -4},
        // One axis may scroll: the other is cleared for want of room.
        {"up-left, no room left", gamekey::kWA, 100, 300, 0, 200, 20, -4, -4, -4, 0},
        // Past the middle on one axis only: both scroll.
        {"down-right past the middle", gamekey::kSD, 400, 200, 100, 100, 31, 4, 4, 0, 0},
    };
    for (const Case& c : cases) {
        Place(c.x, c.y, c.camX, c.camY);
        g_Role.direction = 99;
        g_Role.KeyMove(c.key);
        EXPECT_EQ(g_Role.direction, c.dir) << c.what;
        EXPECT_EQ(g_Role.walking, 1) << c.what;
        EXPECT_EQ(g_Role.keyMoved, 1) << c.what;
        EXPECT_FLOAT_EQ(g_Role.x, c.x + c.dx) << c.what;
        EXPECT_FLOAT_EQ(g_Role.y, c.y + c.dy) << c.what;
        EXPECT_FLOAT_EQ(g_Role.viewX, c.x - c.camX + c.dvx) << c.what;
        EXPECT_FLOAT_EQ(g_Role.viewY, c.y - c.camY + c.dvy) << c.what;
        g_Role.KeyMove(gamekey::kNone);
        EXPECT_EQ(g_Role.walking, 0) << c.what;
    }
}

TEST_F(RoleMove, KeysThatDoNotWalk)
{
    Place(600, 600, 500, 500);
    g_Role.direction = 3;
    g_Role.KeyMove(gamekey::kSpace);
    g_Role.KeyMove(gamekey::kDigit1);
    EXPECT_EQ(g_Role.walking, 0);
    g_Paused = 1;
    g_Role.KeyMove(gamekey::kW);
    g_Paused = 0;
    g_Role.active = 0;
    g_Role.KeyMove(gamekey::kW);
    g_Role.active = 1;
    g_Control.keyMoveOn = 0;
    g_Role.KeyMove(gamekey::kW);
    EXPECT_EQ(g_Role.direction, 3);
    EXPECT_EQ(g_Role.walking, 0);
    EXPECT_FLOAT_EQ(g_Role.x, 600);
    EXPECT_FLOAT_EQ(g_Role.y, 600);
    EXPECT_EQ(g_Role.keyMoved, 0);
}

TEST_F(RoleMove, HoldingUpScrollsFromTheMiddleUntilTheMapEnds)
{
    Place(600, 600, 400, 400); // view y 200
    Hold(gamekey::kW, 10);
    EXPECT_FLOAT_EQ(g_Role.viewY, 160);
    EXPECT_FLOAT_EQ(g_Role.y, 560);
    Hold(gamekey::kW, 100); // the camera comes down to 0
    EXPECT_FLOAT_EQ(g_Role.viewY, 160);
    EXPECT_FLOAT_EQ(g_Role.y, 160);
    Hold(gamekey::kW, 1);
    EXPECT_FLOAT_EQ(g_Role.viewY, 156);
    EXPECT_FLOAT_EQ(g_Role.y, 156);
}

TEST_F(RoleMove, TheMapsEdgeStopsTheRoleThoughItsFirstCellIsFree)
{
    struct Case {
        const char* what;
        GameKey key;
        float x, y, camX, camY;
    } cases[] = {
        {"left", gamekey::kA, 40, 400, 0, 0},
        {"up", gamekey::kW, 400, 40, 0, 0},
        {"right", gamekey::kD, 1200, 400, 687, 0},
        {"down", gamekey::kS, 400, 880, 0, 639},
        {"up-left", gamekey::kWA, 40, 40, 0, 0},
        {"down-right", gamekey::kSD, 1200, 880, 687, 639},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Place(c.x, c.y, c.camX, c.camY);
        Hold(c.key, 100);
        const Role& r = g_Role;
        EXPECT_GE(r.x + r.boxLeft, 0);
        EXPECT_GE(r.y + r.boxTop, 0);
        EXPECT_LT(r.x + r.boxRight, 1280);
        EXPECT_LT(r.y + r.boxBottom, 960);
        // It walked up to the edge.
        EXPECT_NE(r.x + r.y, c.x + c.y);
    }
}

TEST_F(RoleMove, BlockedUpSlidesLeftAlongTheWallUntilUpIsFree)
{
    Place(400, 170); // the up probe y 191 lies in the wall
    g_Role.KeyMove(gamekey::kW);
    EXPECT_FLOAT_EQ(g_Role.x, 396); // the sidestep in the same frame
    EXPECT_FLOAT_EQ(g_Role.y, 170);
    EXPECT_EQ(g_Role.direction, 2);
    Hold(gamekey::kW, 27); // up is free once the box's right edge 28 leaves column 10
    EXPECT_FLOAT_EQ(g_Role.x, 288);
    EXPECT_FLOAT_EQ(g_Role.y, 170);
    g_Role.KeyMove(gamekey::kW);
    EXPECT_FLOAT_EQ(g_Role.x, 288);
    EXPECT_FLOAT_EQ(g_Role.y, 166);
    EXPECT_EQ(g_Role.direction, 0);

    // Without auto-sidestep the role stands, walking on the spot.
    Place(400, 170);
    g_Role.autoSidestep = 0;
    g_Role.KeyMove(gamekey::kW);
    EXPECT_FLOAT_EQ(g_Role.x, 400);
    EXPECT_FLOAT_EQ(g_Role.y, 170);
    EXPECT_EQ(g_Role.walking, 1);
    EXPECT_EQ(g_Role.direction, 0);

    // A blocked diagonal turns to its free horizontal part.
    g_Role.autoSidestep = 1;
    g_Role.KeyMove(gamekey::kNone);
    g_Role.KeyMove(gamekey::kWA);
    EXPECT_FLOAT_EQ(g_Role.x, 396);
    EXPECT_FLOAT_EQ(g_Role.y, 170);
}

TEST_F(RoleMove, MouseWalksTowardTheCursorAndSidestepsLikeTheKeys)
{
    Place(600, 600, 500, 500);
    g_Role.MouseMove(Cursor(0, -100));
    EXPECT_FLOAT_EQ(g_Role.y, 596);
    EXPECT_EQ(g_Role.mouseMoved, 1);
    g_Role.MouseMove(Cursor(0, -100, 'r')); // the right button only turns
    EXPECT_FLOAT_EQ(g_Role.y, 596);
    g_Role.MouseMove(Cursor(0, -100, 'N'));

    // Straight into the wall: the sidestep in the same frame.
    Place(400, 170);
    g_Role.MouseMove(Cursor(0, -100));
    EXPECT_FLOAT_EQ(g_Role.x, 396);
    g_Role.MouseMove(Cursor(0, -100, 'N'));
    // A blocked diagonal takes its free side step once and returns (asking
    // the cursor again would give the same blocked diagonal).
    Place(400, 170);
    g_Role.MouseMove(Cursor(-100, -100));
    EXPECT_FLOAT_EQ(g_Role.x, 396);
    EXPECT_FLOAT_EQ(g_Role.y, 170);
    EXPECT_EQ(g_Role.direction, 2);
}

TEST_F(RoleMove, TileEventsOpenTheirScriptAheadOfTheStep)
{
    // A blocking door: no sidestep, its script is asked for on every frame.
    Place(640, 170, 400, 0);
    g_Role.KeyMove(gamekey::kW);
    EXPECT_FLOAT_EQ(g_Role.x, 640);
    EXPECT_FLOAT_EQ(g_Role.y, 170);
    EXPECT_EQ(g_Script.scriptName, "door");
    g_Script.running = 0;
    g_Role.KeyMove(gamekey::kW);
    EXPECT_EQ(Count("script open door"), 2);
    EXPECT_EQ(g_Role.GetTileEvent(0), "door");
    EXPECT_EQ(g_Role.Blocked(0), 1);

    // A free tile with an event: the script opens and the step is taken.
    g_Script.running = 0;
    Place(800, 330, 400, 0);
    g_Role.KeyMove(gamekey::kW);
    EXPECT_EQ(g_Script.scriptName, "bell");
    EXPECT_FLOAT_EQ(g_Role.y, 326);
    EXPECT_EQ(g_Role.GetTileEvent(7), "N");
    EXPECT_EQ(g_Role.Blocked(7), 0);
}

TEST_F(RoleMove, AnNpcInTheWayStopsTheStepAndTalksIfItHasAScript)
{
    Place(600, 600, 500, 500);
    Npc quiet, talker;
    for (Npc* n : {&quiet, &talker}) {
        n->boxLeft = 0, n->boxRight = 20, n->boxTop = 0, n->boxBottom = 20;
        n->active = 1;
        n->direction = 3;
    }
    quiet.x = 700, quiet.y = 700;   // elsewhere
    talker.x = 610, talker.y = 640; // just below the role's box
    talker.script = "talk";
    g_Npcs = {quiet, talker};
    g_Role.KeyMove(gamekey::kS);
    EXPECT_FLOAT_EQ(g_Role.y, 600);
    EXPECT_EQ(g_Role.walking, 1);
    EXPECT_EQ(g_TalkNpcIndex, 1);
    EXPECT_EQ(g_Npcs[1].active, 0);
    EXPECT_EQ(g_Npcs[1].direction, 0); // faces the role, which faces down
    EXPECT_EQ(g_Script.scriptName, "talk");

    // Without a script the NPC still blocks, and nothing else happens.
    g_Script.running = 0;
    g_TalkNpcIndex = -1;
    g_Npcs[1].script = "NULL";
    g_Npcs[1].active = 1;
    g_Role.KeyMove(gamekey::kS);
    EXPECT_FLOAT_EQ(g_Role.y, 600);
    EXPECT_EQ(g_TalkNpcIndex, -1);
    EXPECT_EQ(g_Npcs[1].active, 1);
    EXPECT_EQ(Count("script open"), 1);
}

TEST_F(RoleMove, AMonsterInTheWayIsHitAtMostEvery200Ms)
{
    Place(600, 600, 500, 500);
    Monster m;
    m.name = "slime";
    m.x = 630, m.y = 600; // its box meets the probe right of the role
    m.boxLeft = 0, m.boxRight = 20, m.boxTop = 30, m.boxBottom = 40;
    m.script = "fight";
    m.aiMode = 1;
    m.hp = m.maxHp = 1000; // survives the blows: a kill would level the role up
    g_Monsters = {m};
    auto& clock = Headless().fakeClock();

    g_Role.KeyMove(gamekey::kD);
    EXPECT_FLOAT_EQ(g_Role.x, 600);
    EXPECT_EQ(Count("monster hit slime 0"), 1); // hit at once; power 0 unless mouse and keys both walked
    EXPECT_EQ(g_hitMonsterIndex, 0);
    EXPECT_EQ(g_Script.scriptName, "fight");
    EXPECT_EQ(g_Monsters[0].aiMode, 2); // a monster that is hit chases
    // The next contact starts the 200 ms.
    g_Role.KeyMove(gamekey::kD);
    clock.Advance(199);
    g_Role.KeyMove(gamekey::kD);
    EXPECT_EQ(Count("monster hit"), 1);
    clock.Advance(1);
    g_Role.mouseMoved = 1;
    g_Monsters[0].modeAfterAstar = 1;
    g_Role.KeyMove(gamekey::kD);
    EXPECT_EQ(Count("monster hit slime 4"), 1); // attack 23 / 5
    EXPECT_EQ(g_Monsters[0].aiMode, 2);

    // A dead monster does not block, nor does the living one behind it.
    Monster behind = m;
    behind.name = "bat";
    g_Monsters[0].dead = 1;
    g_Monsters.push_back(behind);
    clock.Advance(500);
    g_Role.KeyMove(gamekey::kD);
    EXPECT_FLOAT_EQ(g_Role.x, 604);
    EXPECT_EQ(Count("monster hit"), 2);
}

TEST_F(RoleMove, FaceMouseBySector)
{
    Place(600, 600, 500, 500);
    struct Case {
        int dx, dy, dir;
    };
    const Case cases[] = {
        {50, 0, 3},    {-50, 0, 2},    {0, -50, 0},  {0, 50, 1},   {-50, -50, 20}, {-50, 50, 21},
        {50, -50, 30}, {50, 50, 31},   {-10, -50, 0}, {10, 50, 1}, {-50, -10, 2},  {50, 10, 3},
        {-30, -50, 20}, {50, -40, 30},
    };
    for (const Case& c : cases) {
        Cursor(c.dx, c.dy);
        EXPECT_EQ(g_Role.FaceMouse(), c.dir) << c.dx << "," << c.dy;
    }
    g_Paused = 1;
    Cursor(50, 0);
    EXPECT_EQ(g_Role.FaceMouse(), 0);
}

TEST(RoleMagic, DigitKeysChooseTheMagicKind)
{
    Role r;
    r.SelectMagic(gamekey::kDigit1);
    EXPECT_EQ(r.magicKind, 0);
    r.SelectMagic(gamekey::kDigit0);
    EXPECT_EQ(r.magicKind, 9);
    r.SelectMagic(gamekey::kCtrl);
    r.SelectMagic(gamekey::kLCtrlLeft);
    EXPECT_EQ(r.magicKind, 9);
}
