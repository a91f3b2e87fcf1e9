// The game half of the magic round trip: the game folder in which the
// editor made a magic kind through a map maker's clicks
// (tests/editor/test_magic_round_trip.cpp), played on the headless backend.
// Start state 3 runs "gameinit", which reads the magic list; the kind must
// then stand at its place with the values typed in the editor, and the
// role, selecting it with its digit key and casting with Ctrl, must paint
// its effect and play its sound.
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

TEST(MagicRoundTrip, GameCastsTheEditorMadeKind)
{
    if (!std::getenv("TEV_ROUNDTRIP"))
        GTEST_SKIP() << "runs as roundtrip.game_casts_magic";
    const std::filesystem::path made = std::filesystem::path(TEV_INTEROP_DIR) / "magic";
    std::istringstream expected(ReadFile(made / "expected.txt"));
    std::string word, kindLine, colourHex;
    size_t place = 0;
    expected >> word >> place;
    ASSERT_EQ(word, "place");
    expected >> std::ws;
    std::getline(expected, kindLine);
    expected >> word >> colourHex;
    ASSERT_EQ(word, "colour");
    const auto colour = static_cast<uint16_t>(std::stoul(colourHex, nullptr, 16));

    const auto root = TempDir("game");
    std::filesystem::copy(made / "game", root, std::filesystem::copy_options::recursive);
    // Start state 3: a new game at once.
    std::string config = ReadFile(root / "config.jcf");
    config[config.find('\n') + 1] = '3';
    WriteFile(root / "config.jcf", config);

    plat::headless::Options o;
    o.root = root;
    o.passes = 120;
    o.logFile = root / "log.txt";
    auto& p = InstallHeadless(o);
    std::string seen;
    size_t kinds = 0;
    int castPass = 0, paintedBefore = -1, paintedAfter = 0;
    // Pixels of the kind's colour in the map's view.
    auto painted = [&] {
        const plat::Surface& f = p.headlessDisplay().LastFrame();
        int n = 0;
        for (int y = 23; y < 344 && y < f.h; ++y)
            for (int x = 23; x < 616 && x < f.w; ++x)
                n += f.Row(y)[x] == colour;
        return n;
    };
    p.onLoopStart = [&] {
        kinds = g_MagicKinds.size();
        if (place < kinds) {
            const MagicKind& k = g_MagicKinds[place];
            std::ostringstream s;
            s << "kind " << k.picture << ' ' << k.id << ' ' << Hex(k.name) << ' ' << k.width << ' ' << k.height
              << ' ' << k.framesPerRow << ' ' << k.rows << ' ' << k.delay << ' ' << k.wave << ' ' << k.cooldown
              << ' ' << k.speed << ' ' << k.type << ' ' << k.life << ' ' << k.attack << ' ' << k.boxLeft << ' '
              << k.boxTop << ' ' << k.boxRight << ' ' << k.boxBottom << ' ' << k.mpCost;
            seen = s.str();
        }
    };
    // Its digit key selects the kind, Ctrl casts it.
    const int digit = plat::dik::FromName(std::to_string(place + 1).c_str());
    const int ctrl = plat::dik::FromName("LCONTROL");
    p.onPassEnd = [&] {
        const int pass = p.Pass();
        if (pass == 10)
            p.headlessInput().SetKey(digit, true);
        if (pass == 12)
            p.headlessInput().SetKey(digit, false);
        if (pass == 14) {
            paintedBefore = painted();
            p.headlessInput().SetKey(ctrl, true);
        }
        if (pass == 16)
            p.headlessInput().SetKey(ctrl, false);
        if (!castPass && !g_Magics.empty())
            castPass = pass;
        if (castPass && pass <= castPass + 5)
            paintedAfter = std::max(paintedAfter, painted());
    };
    ASSERT_EQ(WinMain(nullptr, nullptr, "", 1), 0);

    ASSERT_GT(kinds, place) << "the kind is not in the game's list";
    EXPECT_EQ(seen, kindLine);
    EXPECT_EQ(g_Role.magicKind, static_cast<int32_t>(place));
    EXPECT_GE(castPass, 14) << "no effect was cast";
    EXPECT_EQ(paintedBefore, 0);
    EXPECT_GT(paintedAfter, 50) << "the effect was not painted";
    EXPECT_TRUE(p.fakeAudio().Played("zap")) << "the kind's sound was not played";
    // Normal play: no message box.
    for (const auto& b : p.recordingDialogs().boxes)
        ADD_FAILURE() << "message box: " << b.textUtf8;
}

} // namespace
