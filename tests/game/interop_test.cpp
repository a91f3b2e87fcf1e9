// The game's map reader on a map the editor made and saved (written by the
// editor's half of the CTest pair "interop.*").
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "interop_support.h"
#include "test_support.h"
#include "world/map.h"

namespace {

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

    EXPECT_EQ(tevtest::CellList(data.layers), tevtest::ReadFile(dir / "editor_made.cells"));
}

} // namespace
