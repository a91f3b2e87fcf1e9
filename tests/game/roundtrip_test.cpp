// The game half of the round trip: the game folder the editor made through
// a map maker's clicks (tests/editor/test_round_trip.cpp) played on the
// headless backend. Start state 3 runs "gameinit" to its end at start-up;
// the game must then hold the cells, the role, the NPCs and monsters the
// editor placed, and the event script must run when the role walks onto
// its cell.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "app/globals.h"
#include "app/winmain.h"
#include "interop_support.h"
#include "platform/dik.h"
#include "test_support.h"

using namespace tevtest;

namespace {

// "3!..." as the second line of config.jcf: start in play.
void StartInPlay(const std::filesystem::path& config)
{
    std::string bytes = ReadFile(config);
    const size_t second = bytes.find('\n') + 1;
    ASSERT_NE(second, 0u);
    bytes[second] = '3';
    WriteFile(config, bytes);
}

template <class List>
std::string Actors(const char* kind, const List& list)
{
    std::string out;
    for (const auto& a : list)
        out += std::string(kind) + ' ' + std::to_string(a.id) + ' ' + std::to_string(a.frame) + ' ' +
               std::to_string(static_cast<int>(a.x)) + ' ' + std::to_string(static_cast<int>(a.y)) + '\n';
    return out;
}

TEST(RoundTrip, GamePlaysTheEditorMadeFolder)
{
    // The folder the editor's half made, named by CTest.
    const char* dir = std::getenv("TEV_ROUNDTRIP_DIR");
    if (!dir || !*dir)
        GTEST_SKIP() << "runs as roundtrip.game_plays_it";
    const std::filesystem::path made = dir;
    const auto root = TempDir("game");
    std::filesystem::copy(made / "game", root, std::filesystem::copy_options::recursive);
    StartInPlay(root / "config.jcf");

    plat::headless::Options o;
    o.root = root;
    o.passes = 200;
    o.logFile = root / "log.txt";
    auto& p = InstallHeadless(o);
    std::string cells, seen, eventCell;
    int eventPass = 0;
    int32_t opened = -1;
    p.onLoopStart = [&] {
        // After start-up, which ran "gameinit" to its end.
        cells = CellList(g_Map.layers);
        seen = "map " + std::to_string(g_Map.layers.empty() ? 0 : int(g_MapPixelWidth) / 32) + ' ' +
               std::to_string(int(g_MapPixelHeight) / 32) + '\n';
        seen += "role " + std::to_string(g_Role.direction) + ' ' + std::to_string(int(g_Role.x)) + ' ' +
                std::to_string(int(g_Role.y)) + '\n';
        seen += Actors("npc", g_Npcs) + Actors("monster", g_Monsters);
        if (!g_Map.layers.empty())
            eventCell = g_Map.layers[0][8 * 20 + 3].event;
    };
    // D held from pass 10: the role walks right onto the event's cell.
    const std::string event = G("门1");
    p.onPassEnd = [&] {
        if (p.Pass() == 10)
            p.headlessInput().SetKey(plat::dik::FromName("D"), true);
        if (!eventPass && g_Script.scriptName == event) {
            eventPass = p.Pass();
            p.headlessInput().SetKey(plat::dik::FromName("D"), false);
        }
        // Once the event's script has run to its end.
        if (eventPass && !g_Script.running && opened < 0) {
            const int32_t v = g_Script.LookupVariable("opened", 1);
            if (v >= 0)
                opened = g_Script.staticValues[v];
        }
    };
    ASSERT_EQ(WinMain(nullptr, nullptr, "", 1), 0);

    EXPECT_EQ(cells, ReadFile(made / "expected.cells"));
    // The expectations end with the event's line.
    std::string expected = ReadFile(made / "expected.txt");
    const size_t eventLine = expected.find("event ");
    ASSERT_NE(eventLine, std::string::npos);
    EXPECT_EQ(expected.substr(eventLine), "event 3 8 " + Hex(event) + "\n");
    EXPECT_EQ(seen, expected.substr(0, eventLine));
    EXPECT_EQ(Hex(eventCell), Hex(event));

    // The role stepped on the event; its script ran to its end.
    EXPECT_GT(eventPass, 10);
    EXPECT_EQ(opened, 1) << "the event's script did not run to its end";
    // Normal play: no message box.
    for (const auto& b : p.recordingDialogs().boxes)
        ADD_FAILURE() << "message box: " << b.textUtf8;
}

} // namespace
