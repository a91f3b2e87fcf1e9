// The actor bases: save records, contact tests, cell index, random walk.
#include <gtest/gtest.h>

#include "app/globals.h"
#include "platform/rng.h"
#include "test_support.h"
#include "world_fixtures.h"

using namespace tevtest;

namespace {

People SamplePeople()
{
    People p;
    p.name = "Bob";
    p.id = 4;
    p.width = 32;
    p.height = 48;
    p.viewX = 1.5f;
    p.viewY = 2.25f;
    p.x = 100;
    p.y = 200;
    p.startViewX = 3;
    p.startViewY = 4;
    p.startX = 5;
    p.startY = 6;
    p.step = 2.5f;
    p.speed = 3;
    p.script = "talk1";
    p.reserved1 = 7;
    p.reserved2 = 8;
    p.frame = 9;
    p.direction = 21;
    p.animSpeed = 4;
    p.hp = 10, p.mp = 11, p.maxHp = 12, p.maxMp = 13, p.attack = 14, p.defence = 15, p.exp = 16;
    p.level = 2;
    p.nextExp = 100;
    p.boxLeft = 2, p.boxRight = 30, p.boxTop = 10, p.boxBottom = 46;
    p.goalTile = 55;
    p.pathStep = 1;
    p.lastTile = 54;
    p.division = 30;
    p.initialActive = 1;
    p.aiMode = 1;
    p.path = {53, 54, 55};
    return p;
}

// The record as the save file holds it.
const std::string kSampleRecord = std::string("Bob\n4\n32\n48\n1.500000\n2.250000\n100.000000\n200.000000\n"
                                              "3.000000\n4.000000\n5.000000\n6.000000\n2.500000\n3.000000\n0\n"
                                              "talk1\n7\n8\n9\n21\n4\n10.000000\n11.000000\n12.000000\n"
                                              "13.000000\n14.000000\n15.000000\n16.000000\n2\n100.000000\n"
                                              "2\n10\n30\n46\n20\n55\n-1\n1\n54\n30\n-1\n1\n1\n0\n"
                                              "4294967295ld\n") +
                                  std::string("\x01\x00\x00\x00\n", 5) + "3\n53\n54\n55\n1\n54\n";

std::string Written(People& p)
{
    FILE* f = std::tmpfile();
    p.Object::Save(f);
    p.People::Save(f);
    std::rewind(f);
    std::string s;
    for (int c; (c = std::getc(f)) != EOF;)
        s += static_cast<char>(c);
    std::fclose(f);
    return s;
}

bool ReadBack(const std::string& bytes, People& p)
{
    FILE* f = MemFile(bytes);
    const bool ok = p.Object::Load(f) && p.People::Load(f);
    std::fclose(f);
    return ok;
}

} // namespace

TEST(ActorRecord, WritesEveryFieldInOrderAndReadsItBack)
{
    FreshGameFolder();
    People p = SamplePeople();
    EXPECT_EQ(Written(p), kSampleRecord);
    People q;
    ASSERT_TRUE(ReadBack(kSampleRecord, q));
    EXPECT_EQ(Written(q), kSampleRecord);
    EXPECT_EQ(q.tint, -1);
    EXPECT_EQ(q.aiMode, 1);
    EXPECT_EQ(q.path, (std::vector<int32_t>{53, 54, 55}));
    EXPECT_EQ(q.boxRight, 30);
    EXPECT_EQ(q.boxTop, 10);
}

TEST(ActorRecord, EmptyTextsAndOddValuesSurviveTheRoundTrip)
{
    FreshGameFolder();
    People p = SamplePeople();
    p.name.clear();
    p.script.clear();
    p.tint = 0xF800;
    p.aiMode = 0x0A200D09; // raw bytes that look like blanks and line ends
    p.path.clear();
    p.pathStep = 0;
    const std::string bytes = Written(p);
    EXPECT_NE(bytes.find("\n63488ld\n"), std::string::npos);
    People q = SamplePeople();
    ASSERT_TRUE(ReadBack(bytes, q));
    EXPECT_EQ(q.name, "");
    EXPECT_EQ(q.script, "");
    EXPECT_EQ(q.reserved1, 7);
    EXPECT_EQ(q.tint, 0xF800);
    EXPECT_EQ(q.aiMode, 0x0A200D09);
    EXPECT_TRUE(q.path.empty());
    EXPECT_EQ(Written(q), bytes);
}

TEST(ActorRecord, AStepIndexAtOrPastThePathsEndReadsAsArrived)
{
    FreshGameFolder();
    // Replaces the path section (count, cells, step, last cell) of the sample.
    auto withPath = [](const std::string& section) {
        const size_t at = kSampleRecord.size() - std::string("3\n53\n54\n55\n1\n54\n").size();
        return kSampleRecord.substr(0, at) + section;
    };
    struct Case {
        const char* what;
        std::string section;
        size_t cells;
        int32_t step;
    } cases[] = {
        {"empty path, old index kept by a finished walk", "0\n3\n55\n", 0, 0},
        {"index at the end", "3\n53\n54\n55\n3\n55\n", 3, 3},
        {"index past the end", "3\n53\n54\n55\n9\n55\n", 3, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        People q;
        ASSERT_TRUE(ReadBack(withPath(c.section), q));
        EXPECT_EQ(q.path.size(), c.cells);
        EXPECT_EQ(q.pathStep, c.step);
        EXPECT_EQ(q.lastTile, 55);
    }
}

TEST(ActorRecord, DamagedRecordsAreRefusedAndChangeNothing)
{
    FreshGameFolder();
    // Replaces the n-th line (0-based) of the sample record.
    auto withLine = [](int n, const std::string& text) {
        std::string s = kSampleRecord;
        size_t b = 0;
        for (int i = 0; i < n; ++i)
            b = s.find('\n', b) + 1;
        return s.substr(0, b) + text + s.substr(s.find('\n', b));
    };
    const int tintLine = 44, pathCountLine = 46;
    std::vector<std::string> bad = {
        withLine(1, "abc"),                             // id not a number
        withLine(4, "x1.5"),                            // a float that is not a number
        withLine(tintLine, ""),                         // tint missing
        withLine(pathCountLine, "-1"),                  // negative path count
        withLine(pathCountLine, "40000"),               // more cells than any map
        withLine(pathCountLine, "99999999999999"),      // huge count
        withLine(pathCountLine + 1, "-5"),              // a cell outside every map
        withLine(pathCountLine + 4, "-1"),              // negative pathStep
        withLine(tintLine + 1, std::string("\x01\x00\x00\x00", 4) + "x"), // no LF after the mode bytes
    };
    // Every cut of the record, and the record without its last line end.
    for (size_t cut = 0; cut < kSampleRecord.size(); ++cut)
        if (cut == 0 || kSampleRecord[cut - 1] == '\n')
            bad.push_back(kSampleRecord.substr(0, cut));
    bad.push_back(kSampleRecord.substr(0, kSampleRecord.size() - 4)); // cut inside the last value
    for (size_t i = 0; i < bad.size(); ++i) {
        People q = SamplePeople();
        q.name = "before";
        q.path = {1};
        q.aiMode = 3;
        FILE* f = MemFile(bad[i]);
        const bool ok = q.Object::Load(f) && q.People::Load(f);
        std::fclose(f);
        EXPECT_FALSE(ok) << "case " << i;
        // A refused part changes nothing; the Object part may already be read.
        EXPECT_EQ(q.path, std::vector<int32_t>{1}) << "case " << i;
        EXPECT_EQ(q.aiMode, 3) << "case " << i;
    }
    // The Object part alone: refused as a whole.
    People q;
    FILE* f = MemFile("Ann\n1\nx\n");
    EXPECT_FALSE(q.Object::Load(f));
    std::fclose(f);
    EXPECT_EQ(q.name, "NULL");
    EXPECT_EQ(q.id, 0);
}

TEST(ActorRecord, PathIsCheckedAgainstTheMapItIsLoadedOn)
{
    People p = SamplePeople();
    EXPECT_TRUE(p.PathFitsMap(56));
    EXPECT_FALSE(p.PathFitsMap(55));
    p.path.clear();
    EXPECT_TRUE(p.PathFitsMap(0));
}

TEST(ActorDefaults, ConstructorValues)
{
    People p;
    EXPECT_EQ(p.name, "NULL");
    EXPECT_EQ(p.script, "NULL");
    EXPECT_EQ(p.active, 1);
    EXPECT_EQ(p.tint, -1);
    EXPECT_EQ(p.tintFrames, 20);
    EXPECT_EQ(p.alpha, -1);
    EXPECT_EQ(p.magicKind, -1);
    EXPECT_EQ(g_WalkInterval, 1000);
    Role r;
    EXPECT_EQ(r.width, 32);
    EXPECT_EQ(r.height, 48);
    EXPECT_EQ(r.division, 48);
    EXPECT_EQ(r.margin, 5);
    EXPECT_EQ(r.regen, 1);
    EXPECT_EQ(r.autoSidestep, 1);
    EXPECT_EQ(r.levelUpShown, 0);
    EXPECT_EQ(r.footstepWave, "");
    EXPECT_EQ(Npc().height, 48);
    EXPECT_EQ(Monster().width, 64);
}

// ---------------------------------------------------------------- contact tests
namespace {

// A 20x15 map with obstacle 1 at column 3 row 3 and obstacle 2 at column 5 row 3.
void ObstacleMap()
{
    auto root = FreshGameFolder();
    WriteMap(root, "m", MapText(20, 15, "20,15,1,0,0", [](int i) {
        if (i == 3 * 20 + 3)
            return std::string("0,0,0,0,1,-1,N");
        if (i == 3 * 20 + 5)
            return std::string("0,0,0,0,2,-1,N");
        return std::string();
    }));
    ASSERT_EQ(g_Map.ChangeMap("m"), 1);
}

People Walker(float x, float y, float step)
{
    People p;
    p.x = x;
    p.y = y;
    p.step = step;
    p.boxLeft = 2, p.boxTop = 10, p.boxRight = 28, p.boxBottom = 40;
    return p;
}

} // namespace

TEST(ContactTests, ObstacleProbesTheLeadingEdgeFiveInside)
{
    ObstacleMap();
    // Cell (3,3) covers x 96..127 and y 96..127; the box is 2..28 x 10..40.
    People a = Walker(100, 90, 4);
    EXPECT_EQ(a.HitsObstacle(3), 1); // (127, 100) is in cell (3,3)
    People b = Walker(101, 90, 4);
    EXPECT_EQ(b.HitsObstacle(3), 0); // (128, ...) is column 4
    People c = Walker(120, 90, 4);
    EXPECT_EQ(c.HitsObstacle(2), 1); // left probe x 120+2+5-4 = 123
    People d = Walker(130, 90, 4);
    EXPECT_EQ(d.HitsObstacle(2), 0); // left probe x 133
    People e = Walker(100, 52, 4);
    EXPECT_EQ(e.HitsObstacle(1), 0); // down probe y 52+40-5+4 = 91: row 2
    People f = Walker(100, 57, 4);
    EXPECT_EQ(f.HitsObstacle(1), 1); // down probe y 96: row 3
    People g = Walker(100, 116, 4);
    EXPECT_EQ(g.HitsObstacle(0), 1); // up probe y 116+10+5-4 = 127: row 3
    People g2 = Walker(100, 117, 4);
    EXPECT_EQ(g2.HitsObstacle(0), 0); // up probe y 128: row 4
    People h = Walker(160, 90, 4);   // box over column 5 (obstacle 2)
    EXPECT_EQ(h.HitsObstacle(3), 0);
    EXPECT_EQ(a.HitsObstacle(20), 0);
    EXPECT_EQ(a.HitsObstacle(31), 0);
}

TEST(ContactTests, RoleIsTestedWithItsFrameAndActorsWithTheirBoxes)
{
    FreshGameFolder();
    g_Role.x = 200;
    g_Role.y = 100;
    People p = Walker(160, 60, 4); // box 162..188 x 70..100
    EXPECT_EQ(p.HitsRole(3), 0);   // right edge 192 < 200
    p.x = 168;                     // moved box 174..200 x 70..100: its corner touches the frame's corner
    EXPECT_EQ(p.HitsRole(3), 1);
    EXPECT_EQ(p.HitsRole(21), 0);
    // A cross without a corner inside is no contact.
    People tall;
    tall.x = 210, tall.y = 80, tall.step = 0;
    tall.boxLeft = 0, tall.boxRight = 4, tall.boxTop = 0, tall.boxBottom = 100;
    g_Role.width = 32, g_Role.height = 10;
    EXPECT_EQ(tall.HitsRole(0), 0);

    Npc a, b, c;
    a.id = 1, b.id = 1, c.id = 2;
    for (Npc* n : {&a, &b, &c}) {
        n->x = 300, n->y = 300, n->step = 1;
        n->boxLeft = 0, n->boxTop = 0, n->boxRight = 10, n->boxBottom = 10;
    }
    g_Npcs = {a, b};
    EXPECT_EQ(a.HitsNpc(0), 0); // the same id never counts, even at the same place
    g_Npcs.push_back(c);
    EXPECT_EQ(a.HitsNpc(0), 1);
    EXPECT_EQ(a.HitsMonster(0), 0);
    Monster m;
    m.id = 1;
    m.x = 305, m.y = 305, m.step = 1;
    m.boxRight = 10, m.boxBottom = 10;
    g_Monsters = {m};
    EXPECT_EQ(a.HitsMonster(0), 1); // NPCs meet monsters whatever their ids
    EXPECT_EQ(m.HitsNpc(1), 1);
    EXPECT_EQ(m.HitsMonster(1), 0);
    Monster m2 = m;
    m2.id = 3;
    g_Monsters.push_back(m2);
    EXPECT_EQ(m.HitsMonster(1), 1);
}

TEST(ActorHelpers, TileIndexFaceRoleAndChance)
{
    ObstacleMap();
    People p;
    struct Face {
        int role, actor;
    };
    for (const Face& f : {Face{0, 1}, Face{20, 1}, Face{30, 1}, Face{1, 0}, Face{21, 0}, Face{31, 0}, Face{2, 3},
                          Face{3, 2}, Face{7, 9}}) {
        g_Role.direction = f.role;
        p.direction = 9;
        p.FaceRole();
        EXPECT_EQ(p.direction, f.actor) << f.role;
    }
    for (uint32_t seed = 0; seed < 200; ++seed) {
        plat::GameSrand(seed);
        const int r = plat::GameRand() % 100 + 1;
        for (int pct : {0, 1, 50, 99, 100, -5, 150}) {
            plat::GameSrand(seed);
            EXPECT_EQ(p.Chance(pct), pct >= r ? 1 : 0) << seed << " " << pct;
        }
    }
}

TEST(ActorHelpers, RandomDirectionFiresOnItsSharedInterval)
{
    FreshGameFolder();
    auto& hp = Headless();
    People p;
    p.direction = 7;
    int32_t start = 0, armed = 0;
    plat::GameSrand(42);
    const int r1 = plat::GameRand(), r2 = plat::GameRand();
    plat::GameSrand(42);
    EXPECT_EQ(p.RandomDirection(&start, &armed, 30), r1 % 4); // a new timer fires at once
    EXPECT_EQ(armed, 0);
    EXPECT_EQ(g_WalkInterval, 30 * (r2 % 50));
    g_WalkInterval = 500;
    p.direction = 7;
    EXPECT_EQ(p.RandomDirection(&start, &armed, 30), 7); // arms now, waits 500 ms
    EXPECT_EQ(armed, 1);
    hp.fakeClock().Advance(499);
    EXPECT_EQ(p.RandomDirection(&start, &armed, 30), 7);
    hp.fakeClock().Advance(1);
    EXPECT_NE(p.RandomDirection(&start, &armed, 30), 7);
    EXPECT_EQ(armed, 0);
}
