// The game's map reader on a map the editor made and saved (written by the
// editor's half of the CTest pair "interop.*").
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "test_support.h"
#include "world/map.h"

namespace {

std::string Hex(const std::string& bytes)
{
    static const char* digits = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

TEST(GameInterop, EditorMadeMapLoadsWithTheSameLayers)
{
    if (!std::getenv("TEV_INTEROP"))
        GTEST_SKIP() << "runs as interop.game_reads_map";
    const std::filesystem::path dir = TEV_INTEROP_DIR;
    const std::string bytes = tevtest::ReadFile(dir / "editor_made.jmap");
    ASSERT_FALSE(bytes.empty());
    MapData data;
    int line = 0;
    std::string reason;
    ASSERT_TRUE(ParseMapText(bytes, &data, &line, &reason)) << "line " << line << ": " << reason;
    EXPECT_EQ(data.tilesWide, 20);
    EXPECT_EQ(data.tilesHigh, 15);
    EXPECT_EQ(data.startX, 64);
    EXPECT_EQ(data.startY, 96);

    std::ostringstream cells;
    for (size_t layer = 0; layer < data.layers.size(); ++layer) {
        for (size_t i = 0; i < data.layers[layer].size(); ++i) {
            const TILESTRUCT& t = data.layers[layer][i];
            cells << layer << ' ' << i << ' ' << t.srcX << ' ' << t.srcY << ' ' << t.x << ' ' << t.y << ' '
                  << t.picture;
            if (layer == 0)
                cells << ' ' << t.obstacle << ' ' << Hex(t.event);
            cells << '\n';
        }
    }
    EXPECT_EQ(cells.str(), tevtest::ReadFile(dir / "editor_made.cells"));
}

} // namespace
