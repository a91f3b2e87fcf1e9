// In-game frames of the demo maps, composed on the headless platform with
// actor painters that stand in for the role's and the NPCs' own: each actor
// goes through a work surface and is put on the screen by the camera rule.
// The frames must match their golden hashes (tests/golden/*.txt); the
// alignment of actors and layers is checked pixel by pixel on its own.
//
// When a painter of the game changes the picture on purpose, run the test
// with TEV_UPDATE_GOLDEN=1 to rewrite the hashes, and look at the frames it
// writes (their paths are printed).
#include <gtest/gtest.h>

#include <cinttypes>
#include <cstdlib>
#include <fstream>

#include "app/globals.h"
#include "app/scene.h"
#include "test_support.h"

using namespace tevtest;

namespace {

// The standing cell of the role for each direction.
int32_t RoleStandingCell(int32_t direction)
{
    switch (direction) {
    case 3: return 0;
    case 30: return 4;
    case 0: return 8;
    case 20: return 12;
    case 2: return 16;
    case 21: return 20;
    case 1: return 24;
    case 31: return 28;
    default: return 24;
    }
}

// Paints cell `cell` of picture `id` for an actor at map (x, y): staged on
// the work surface as at the actor's map place, then from there onto BUF.
void PaintActor(Surface* work, int32_t id, int32_t cell, float x, float y)
{
    Rect r;
    ASSERT_TRUE(g_Graph.GetCell(id, cell, &r));
    const plat::Point cam = scene::Camera();
    const Rect onMap{static_cast<int32_t>(x), static_cast<int32_t>(y), static_cast<int32_t>(x) + r.Width(),
                     static_cast<int32_t>(y) + r.Height()};
    const SpriteStage st = StageSprite(work, onMap);
    ASSERT_GE(g_Graph.PaintPic(st.surface, id, r, st.X(x), st.Y(y), 0, -1, 0), 0);
    ASSERT_GE(g_Graph.Paint(g_Graph.BUF, st.surface, st.Local(onMap), x - static_cast<float>(cam.x) + 23,
                            y - static_cast<float>(cam.y) + 23, 1, -1, 0),
              0);
}

class ActorPainters : public scene::Parts {
public:
    void PaintRoleWalk(int32_t, int32_t) override
    {
        PaintActor(g_Graph.pNpc1, PIC_ROLE, RoleStandingCell(g_Role.direction), g_Role.x, g_Role.y);
    }
    void PaintNpc(size_t i, int32_t pass, int32_t) override
    {
        if (pass == 0)
            PaintActor(g_Graph.pNpc2, PIC_NPC, g_Npcs[i].id * 16 + g_Npcs[i].frame, g_Npcs[i].x, g_Npcs[i].y);
    }
};

struct GoldenFrame : ::testing::Test {
    ActorPainters painters;
    void SetUp() override
    {
        plat::headless::Options o;
        o.root = TEV_DEMO_DIR;
        InstallHeadless(o);
        g_Graph.InitDisplay();
        g_Graph.LoadResourcePictures();
        scene::UseParts(&painters);
    }
    void TearDown() override { scene::UseParts(nullptr); }

    void AddNpc(float x, float y)
    {
        Npc n;
        n.x = x;
        n.y = y;
        n.frame = 12; // standing, facing down
        g_Npcs.push_back(n);
    }

    const Surface& Compose()
    {
        plat::Fill(g_Graph.BUF, 0);
        // A living role: a role without hit points is covered by its death.
        g_Role.hp = g_Role.maxHp = 100;
        g_Graph.PaintLayToBuffer();
        return *g_Graph.BUF;
    }

    // The frame's hash against tests/golden/<name>.txt.
    void ExpectGolden(const Surface& frame, const std::string& name)
    {
        char hash[32];
        std::snprintf(hash, sizeof hash, "%016" PRIx64, plat::headless::FrameHash(frame));
        const std::string golden = std::string(TEV_GOLDEN_DIR) + "/" + name + ".txt";
        const auto ppm = TempDir("frames") / (name + ".ppm");
        plat::headless::WritePpm(frame, ppm);
        if (std::getenv("TEV_UPDATE_GOLDEN")) {
            std::ofstream(golden, std::ios::binary) << hash << "\n";
            std::printf("golden %s rewritten: %s (frame %s)\n", name.c_str(), hash, ppm.c_str());
            return;
        }
        std::string expected;
        std::ifstream(golden) >> expected;
        EXPECT_EQ(expected, hash) << "frame written to " << ppm;
    }
};

// Where a map point lands on the screen.
plat::Point Screen(int32_t mx, int32_t my)
{
    const plat::Point cam = scene::Camera();
    return plat::Point{mx - cam.x + 23, my - cam.y + 23};
}

// Every pixel of the cell that is not the colour key shows at `at` on BUF.
void ExpectCellShown(const Surface& frame, int32_t id, const Rect& cell, plat::Point at, const char* what)
{
    const Surface* sheet = g_Graph.getpicre(id).surface;
    ASSERT_NE(sheet, nullptr);
    int shown = 0;
    for (int j = 0; j < cell.Height(); ++j)
        for (int i = 0; i < cell.Width(); ++i) {
            const uint16_t p = sheet->Row(cell.top + j)[cell.left + i];
            if (p == 0x001F)
                continue;
            ASSERT_EQ(frame.Row(at.y + j)[at.x + i], p) << what << " pixel " << i << "," << j;
            ++shown;
        }
    EXPECT_GT(shown, 0) << what;
}

} // namespace

TEST_F(GoldenFrame, DemoMapWithTheRole)
{
    ASSERT_EQ(g_Map.ChangeMap("demo"), 1);
    AddNpc(192, 150); // partly under a tree top
    const Surface& frame = Compose();
    EXPECT_EQ(Headless().recordingDialogs().boxes.size(), 0u);
    Rect cell;
    ASSERT_TRUE(g_Graph.GetCell(PIC_ROLE, RoleStandingCell(g_Role.direction), &cell));
    ExpectCellShown(frame, PIC_ROLE, cell, Screen(320, 240), "role");
    ExpectGolden(frame, "ingame-demo");
}

TEST_F(GoldenFrame, SmallMapWithTheRoleNearItsLeftEdge)
{
    ASSERT_EQ(g_Map.ChangeMap("small"), 1);
    AddNpc(192, 160); // on tile (6,5), beside the marked tile (5,5)
    // The map is narrower than the viewport: the camera lies left of it.
    ASSERT_LT(scene::Camera().x, 0);
    const Surface& frame = Compose();

    // The marked tile of layer 1, the NPC beside it and the role all stand
    // where the camera rule puts their map places.
    const TILESTRUCT& mark = g_Map.layers[1][5 * 15 + 5];
    ASSERT_NE(mark.picture, -1);
    ExpectCellShown(frame, mark.picture, Rect{mark.srcX, mark.srcY, mark.srcX + 32, mark.srcY + 32},
                    Screen(mark.x, mark.y), "marked tile");
    Rect cell;
    ASSERT_TRUE(g_Graph.GetCell(PIC_NPC, 12, &cell));
    ExpectCellShown(frame, PIC_NPC, cell, Screen(192, 160), "npc");
    ASSERT_TRUE(g_Graph.GetCell(PIC_ROLE, RoleStandingCell(g_Role.direction), &cell));
    ExpectCellShown(frame, PIC_ROLE, cell, Screen(static_cast<int32_t>(g_Role.x), static_cast<int32_t>(g_Role.y)),
                    "role");

    // Outside the map the viewport is black; the map's first column starts
    // right after it.
    const plat::Point origin = Screen(0, 0);
    const plat::Point end = Screen(480, 480);
    for (int y = 23; y < 344; ++y) {
        for (int x = 23; x < origin.x; ++x)
            ASSERT_EQ(frame.Row(y)[x], 0) << x << "," << y;
        for (int x = end.x; x < 616; ++x)
            ASSERT_EQ(frame.Row(y)[x], 0) << x << "," << y;
    }
    EXPECT_NE(frame.Row(200)[origin.x], 0);
    ExpectGolden(frame, "ingame-small");
}
