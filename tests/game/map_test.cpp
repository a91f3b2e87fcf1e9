// The map file reader, the change of map and the map's cell queries.
#include <gtest/gtest.h>

#include "app/globals.h"
#include "test_support.h"
#include "world_fixtures.h"

using namespace tevtest;

namespace {

struct Parsed {
    bool ok = false;
    MapData d;
    int line = 0;
    std::string reason;
};

Parsed Parse(const std::string& text)
{
    Parsed p;
    p.ok = ParseMapText(text, &p.d, &p.line, &p.reason);
    return p;
}

// A 2x2 map whose cells all differ, to see every value land in its place.
std::string Sample(const std::string& eol = "\r\n")
{
    return MapText(
        2, 2, "2,2,3,40,-1",
        [](int i) {
            if (i == 1)
                return std::string("32,64,96,0,1,2,door1");
            if (i == 2)
                return std::string("0,0,0,0,0,-1,N,x");
            if (i == 3)
                return std::string("0,0,0,0,2,-1,n");
            return std::string();
        },
        [](int layer, int i) { return i == 3 ? std::to_string(layer * 32) + ",0,32,32," + std::to_string(layer % 3)
                                             : std::string(); },
        eol);
}

} // namespace

TEST(MapFile, ReadsHeaderAndEveryLayerInItsPlace)
{
    Parsed p = Parse(Sample());
    ASSERT_TRUE(p.ok) << p.reason;
    EXPECT_EQ(p.d.tilesWide, 2);
    EXPECT_EQ(p.d.tilesHigh, 2);
    EXPECT_EQ(p.d.tileCount, 4);
    EXPECT_FLOAT_EQ(p.d.pixelWidth, 64);
    EXPECT_EQ(p.d.direction, 3);
    EXPECT_EQ(p.d.startX, 40);
    EXPECT_EQ(p.d.startY, -1);
    ASSERT_EQ(p.d.layers.size(), 7u);
    const TILESTRUCT& door = p.d.layers[0][1];
    EXPECT_EQ(door.srcX, 32);
    EXPECT_EQ(door.srcY, 64);
    EXPECT_EQ(door.x, 96);
    EXPECT_EQ(door.y, 0);
    EXPECT_EQ(door.obstacle, 1);
    EXPECT_EQ(door.picture, 2);
    EXPECT_EQ(door.event, "door1");
    EXPECT_EQ(p.d.layers[0][2].event, "N"); // the eighth value is ignored
    EXPECT_EQ(p.d.layers[0][3].event, "n");
    EXPECT_EQ(p.d.layers[0][3].obstacle, 2);
    for (int layer = 1; layer < 7; ++layer) {
        const TILESTRUCT& c = p.d.layers[layer][3];
        EXPECT_EQ(c.srcX, layer * 32);
        EXPECT_EQ(c.x, 32);
        EXPECT_EQ(c.picture, layer % 3);
        EXPECT_EQ(p.d.layers[layer][0].picture, -1);
    }
}

TEST(MapFile, LineEndsAndTrailingLinesDoNotChangeWhatIsRead)
{
    const std::string crlf = Sample();
    std::string noFinalEnd = crlf.substr(0, crlf.size() - 2);
    const std::vector<std::string> variants = {Sample("\n"), noFinalEnd, crlf + "9,9,9\r\ngarbage\r\n",
                                               Sample("\n").substr(0, Sample("\n").size() - 1)};
    const Parsed ref = Parse(crlf);
    ASSERT_TRUE(ref.ok);
    for (const auto& text : variants) {
        Parsed p = Parse(text);
        ASSERT_TRUE(p.ok) << p.reason;
        for (int layer = 0; layer < 7; ++layer)
            for (int i = 0; i < 4; ++i) {
                const TILESTRUCT &a = ref.d.layers[layer][i], &b = p.d.layers[layer][i];
                EXPECT_EQ(a.event, b.event);
                EXPECT_EQ(a.picture, b.picture) << layer << " " << i;
                EXPECT_EQ(a.srcX, b.srcX);
            }
    }
}

TEST(MapFile, HeaderSizesAreReadByValue)
{
    for (const std::string w : {"20", "020", " 20", "+20", "20.0", "20 ", "2e1"}) {
        Parsed p = Parse(MapText(20, 1, w + ", 1, 1, 320, 240"));
        ASSERT_TRUE(p.ok) << "\"" << w << "\": " << p.reason;
        EXPECT_EQ(p.d.tilesWide, 20);
        EXPECT_EQ(p.d.direction, 1);
        EXPECT_EQ(p.d.startX, 320); // blanks after the commas are allowed
    }
}

TEST(MapFile, BadHeadersAreRefusedOnLineOne)
{
    // Enough cell lines follow each header for a 2x2 map.
    const std::string cells = MapText(2, 2, "").substr(2);
    for (const std::string header :
         {"", "2", "2,2,1,0", "0,2,1,0,0", "2,0,1,0,0", "-2,2,1,0,0", "abc,2,1,0,0", "0x2,2,1,0,0", "nan,2,1,0,0",
          "inf,2,1,0,0", "2.5,2,1,0,0", "2abc,2,1,0,0", ",2,1,0,0", "1024,1,1,0,0", "2,1e9,1,0,0",
          "182,181,1,0,0", "100000,100000,1,0,0"}) {
        Parsed p = Parse(header + "\r\n" + cells);
        EXPECT_FALSE(p.ok) << "\"" << header << "\"";
        EXPECT_EQ(p.line, 1) << header;
        EXPECT_FALSE(p.reason.empty());
    }
}

TEST(MapFile, SizeCapsAreInclusive)
{
    EXPECT_TRUE(Parse(MapText(181, 181, "181,181,1,0,0")).ok); // 32761 cells
    EXPECT_TRUE(Parse(MapText(1023, 1, "1023,1,1,0,0")).ok);
    EXPECT_TRUE(Parse(MapText(1, 1, "1,1,1,0,0")).ok);
}

TEST(MapFile, ShortFilesAndShortLinesAreRefusedNamingTheLine)
{
    const std::string full = MapText(10, 10, "10,10,1,0,0");
    // Cut after 350 lines: the 351st line is missing.
    size_t pos = 0;
    for (int i = 0; i < 350; ++i)
        pos = full.find('\n', pos) + 1;
    Parsed cut = Parse(full.substr(0, pos));
    EXPECT_FALSE(cut.ok);
    EXPECT_EQ(cut.line, 351);

    // Everything but the very last line.
    Parsed lastMissing = Parse(full.substr(0, full.rfind('\n', full.size() - 3) + 1));
    EXPECT_FALSE(lastMissing.ok);
    EXPECT_EQ(lastMissing.line, 701);

    struct Case {
        int cell;         // cell line to replace (0-based after the header)
        std::string line; // its new text
    };
    for (const Case& c : {Case{0, "0,0,0,0,0,-1"}, Case{5, ""}, Case{99, "0,0,0,0,0"}, Case{100, "0,0,0,0"},
                          Case{699, "0,0,0,0"}}) {
        std::string text = "10,10,1,0,0\r\n";
        for (int i = 0; i < 700; ++i)
            text += (i == c.cell ? c.line : (i < 100 ? "0,0,0,0,0,-1,N" : "0,0,0,0,-1")) + "\r\n";
        Parsed p = Parse(text);
        EXPECT_FALSE(p.ok) << c.cell;
        EXPECT_EQ(p.line, c.cell + 2);
    }
}

TEST(MapFile, CellValuesFollowTheIntegerRulesAndEventsAreKeptAsRead)
{
    const std::string longEvent(300, 'e');
    const std::string gbkEvent = G("门口") + " x";
    Parsed p = Parse(MapText(
        3, 1, "3,1,0,0,0",
        [&](int i) {
            if (i == 0)
                return std::string(" 12,12abc,-7,+3,1,-1, door 1 ");
            if (i == 1)
                return "0,0,0,0,0,0," + longEvent;
            return "0,0,0,0,0,0," + gbkEvent;
        },
        [](int layer, int i) { return layer == 6 && i == 2 ? std::string("x,99999999999,0,0,7") : std::string(); }));
    ASSERT_TRUE(p.ok) << p.reason;
    const TILESTRUCT& a = p.d.layers[0][0];
    EXPECT_EQ(a.srcX, 12);
    EXPECT_EQ(a.srcY, 12);
    EXPECT_EQ(a.x, -7);
    EXPECT_EQ(a.y, 3);
    EXPECT_EQ(a.event, " door 1 ");
    EXPECT_EQ(p.d.layers[0][1].event, longEvent);
    EXPECT_EQ(p.d.layers[0][2].event, gbkEvent);
    const TILESTRUCT& b = p.d.layers[6][2];
    EXPECT_EQ(b.srcX, 0);
    EXPECT_EQ(b.srcY, INT32_MAX);
    EXPECT_EQ(b.picture, 7); // the sheet value is the picture id as written
}

// ---------------------------------------------------------------- the map object
namespace {

std::string Demo20x15()
{
    return MapText(20, 15, "20,15,1,320,240", [](int i) {
        if (i == 41)
            return std::string("0,0,32,64,1,0,door1");
        return std::string();
    });
}

} // namespace

TEST(ChangeMap, CommitsSizeRoleSurfacesAndEmptiesTheLists)
{
    auto root = FreshGameFolder();
    WriteMap(root, "demo", Demo20x15());
    g_Npcs.resize(2);
    g_Monsters.resize(1);
    g_Magics.resize(3);
    g_hitMonsterIndex = 0;

    ASSERT_EQ(g_Map.ChangeMap("demo"), 1);
    EXPECT_EQ(g_Map.name, "demo");
    EXPECT_EQ(g_Map.loaded, 1);
    EXPECT_EQ(g_Map.firstLoad, 0);
    EXPECT_EQ(g_Map.tileCount, 300);
    EXPECT_FLOAT_EQ(g_MapPixelWidth, 640);
    EXPECT_FLOAT_EQ(g_MapPixelHeight, 480);
    EXPECT_EQ(g_Role.direction, 1);
    EXPECT_FLOAT_EQ(g_Role.x, 320);
    EXPECT_FLOAT_EQ(g_Role.y, 240);
    EXPECT_FLOAT_EQ(g_Role.viewX, 296.5f);
    EXPECT_FLOAT_EQ(g_Role.viewY, 160.5f);
    EXPECT_TRUE(g_Npcs.empty());
    EXPECT_TRUE(g_Monsters.empty());
    EXPECT_TRUE(g_Magics.empty());
    EXPECT_EQ(g_hitMonsterIndex, -1);
    // The layers are drawn over the map's whole size; the sprite work
    // surfaces are small until a sprite is staged on them.
    EXPECT_TRUE(g_Map.blocks.Ready());
    EXPECT_EQ(g_Map.blocks.Width(), 640);
    EXPECT_EQ(g_Map.blocks.Height(), 480);
    for (Surface* s : {g_Graph.pNpc1, g_Graph.pNpc2, g_Graph.pMonster1, g_Graph.pMonster2, g_Graph.pMagic}) {
        ASSERT_NE(s, nullptr);
        EXPECT_LE(s->px.size(), 1u);
        EXPECT_TRUE(s->hasKey);
        EXPECT_EQ(s->key, 0x001F);
    }
    EXPECT_EQ(g_Graph.pMagic->px[0], 0x001F);
    EXPECT_EQ(g_Map.GroundTile(41).event, "door1");

    // The same map again is read again and empties the lists again.
    g_Npcs.resize(1);
    g_Role.x = 5;
    ASSERT_EQ(g_Map.ChangeMap("demo"), 1);
    EXPECT_TRUE(g_Npcs.empty());
    EXPECT_FLOAT_EQ(g_Role.x, 320);
}

TEST(ChangeMap, AMapThatCannotBeReadKeepsEverything)
{
    auto root = FreshGameFolder();
    WriteMap(root, "demo", Demo20x15());
    WriteMap(root, "cut", Demo20x15().substr(0, 5000));
    WriteMap(root, "wide", MapText(2, 2, "abc,2,1,0,0"));
    ASSERT_EQ(g_Map.ChangeMap("demo"), 1);
    g_Npcs.resize(2);
    g_Magics.resize(1);
    g_hitMonsterIndex = 1;
    g_Role.x = 77;
    g_Role.viewX = 11;
    g_Role.direction = 3;
    Surface* magic = g_Graph.pMagic;

    for (const char* bad : {"missing", "cut", "wide", "..\\demo"}) {
        EXPECT_EQ(g_Map.ChangeMap(bad), 0) << bad;
        EXPECT_EQ(g_Map.name, "demo");
        EXPECT_EQ(g_Map.loaded, 1);
        EXPECT_EQ(g_Map.tileCount, 300);
        EXPECT_FLOAT_EQ(g_MapPixelWidth, 640);
        EXPECT_EQ(g_Map.GroundTile(41).event, "door1");
        EXPECT_EQ(g_Npcs.size(), 2u);
        EXPECT_EQ(g_Magics.size(), 1u);
        EXPECT_EQ(g_hitMonsterIndex, 1);
        EXPECT_FLOAT_EQ(g_Role.x, 77);
        EXPECT_FLOAT_EQ(g_Role.viewX, 11);
        EXPECT_EQ(g_Role.direction, 3);
        EXPECT_EQ(g_Map.blocks.Width(), 640);
        EXPECT_EQ(g_Graph.pMagic, magic);
    }
    // A name leaving the folder is reported as refused, and only so.
    EXPECT_EQ(CountReports("打开MAP文件出错！"), 3);
    EXPECT_EQ(CountReports("文件名指向游戏目录之外，已拒绝！"), 1);
    // Paths in messages show single separators.
    EXPECT_EQ(CountReports("Map\\missing.jmap"), 1);
    EXPECT_EQ(CountReports("Map\\\\"), 0);
    EXPECT_EQ(CountReports("cut.jmap：第"), 1);
    EXPECT_EQ(CountReports("宽度不是数字"), 1);
}

TEST(ChangeMap, NoMapAtAllMeansNoTile)
{
    FreshGameFolder();
    EXPECT_EQ(g_Map.ChangeMap("missing"), 0);
    EXPECT_EQ(g_Map.loaded, 0);
    EXPECT_EQ(g_Map.firstLoad, 1);
    EXPECT_EQ(g_Map.name, "NULL");
    EXPECT_FLOAT_EQ(g_MapPixelWidth, 1.0f);
    EXPECT_EQ(g_Map.GroundTile(g_Map.GetTileIndex(0, 0)).event, "N");
    EXPECT_EQ(g_Map.GroundTile(0).obstacle, 0);
    People p;
    EXPECT_EQ(p.GetTileIndex(0, 0), -1);
}

TEST(ChangeMap, LfOnlyFileLoadsWithOneReport)
{
    auto root = FreshGameFolder();
    WriteMap(root, "lf", MapText(3, 2, "3,2,0,0,0", [](int i) { return i == 5 ? "0,0,0,0,1,-1,exit" : ""; }, {}, "\n"));
    ASSERT_EQ(g_Map.ChangeMap("lf"), 1);
    EXPECT_EQ(g_Map.GroundTile(5).event, "exit");
    EXPECT_EQ(g_Map.GroundTile(5).obstacle, 1);
    const auto lines = Headless().recordingDialogs().debugLines;
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "文件的行尾没有CR，按LF行尾读取：Map\\lf.jmap");
}

TEST(ChangeMap, TitleUnloadThenChangeMakesFreshSurfaces)
{
    auto root = FreshGameFolder();
    WriteMap(root, "demo", Demo20x15());
    WriteMap(root, "small", MapText(15, 15, "15,15,0,0,0"));
    ASSERT_EQ(g_Map.ChangeMap("demo"), 1);
    // What the title's launch does: the map goes, its name stays.
    g_Map.FreeLayers();
    g_Map.ReleaseSurfaces();
    g_Map.loaded = 0;
    EXPECT_FALSE(g_Map.blocks.Ready());
    EXPECT_EQ(g_Graph.pMagic, nullptr);
    EXPECT_EQ(g_Map.name, "demo");
    EXPECT_EQ(g_Map.GroundTile(41).event, "N");
    ASSERT_EQ(g_Map.ChangeMap("small"), 1);
    EXPECT_EQ(g_Map.blocks.Width(), 480);
    EXPECT_NE(g_Graph.pMagic, nullptr);
    EXPECT_EQ(g_Map.tileCount, 225);
    EXPECT_EQ(CountReports("正在删除空指针"), 0);
}

TEST(MapQueries, TileIndexOfPointsInsideAndOutside)
{
    auto root = FreshGameFolder();
    WriteMap(root, "demo", Demo20x15());
    ASSERT_EQ(g_Map.ChangeMap("demo"), 1);
    struct Case {
        int x, y, cell, people;
    };
    for (const Case& c : {Case{33, 70, 41, 41}, Case{16, 16, 0, 0}, Case{32, 40, 21, 20}, Case{33, 40, 21, 21},
                          Case{-1, 5, 0, -1}, Case{700, 5, 0, -1}, Case{5, 500, 0, -1}, Case{641, 0, 0, -1},
                          Case{640, 0, 0, -1}, Case{0, 480, 0, -1}, Case{640, 480, 0, -1}, Case{639, 479, 299, 299},
                          Case{32, 32, 21, 0}}) {
        EXPECT_EQ(g_Map.GetTileIndex(c.x, c.y), c.cell) << c.x << "," << c.y;
        People p;
        EXPECT_EQ(p.GetTileIndex(c.x, c.y), c.people) << c.x << "," << c.y;
    }
    EXPECT_EQ(g_Map.GroundTile(-1).event, "N");
    EXPECT_EQ(g_Map.GroundTile(300).event, "N");
}

TEST(MapSave, NameRecordIsReadBackWithoutChangingTheMap)
{
    auto root = FreshGameFolder();
    WriteMap(root, "demo", Demo20x15());
    WriteMap(root, "other", MapText(15, 15, "15,15,2,64,64"));
    ASSERT_EQ(g_Map.ChangeMap("demo"), 1);
    FILE* f = std::tmpfile();
    g_Map.Save(f);
    std::rewind(f);
    char buf[16] = {};
    EXPECT_EQ(std::fread(buf, 1, sizeof buf, f), 5u);
    EXPECT_STREQ(buf, "demo\n");
    std::fclose(f);

    // The save loader decides on the change once the whole save is read.
    g_Npcs.resize(1);
    FILE* other = MemFile("other\n");
    std::string saved;
    EXPECT_TRUE(g_Map.LoadName(other, saved));
    std::fclose(other);
    EXPECT_EQ(saved, "other");
    EXPECT_EQ(g_Map.name, "demo");
    EXPECT_EQ(g_Npcs.size(), 1u);

    FILE* empty = MemFile("");
    std::string name = "x";
    EXPECT_FALSE(g_Map.LoadName(empty, name));
    std::fclose(empty);
    EXPECT_EQ(name, "x");
}

TEST(PaintLay, EachKindOfBadTileIsReportedOncePerLoad)
{
    auto root = FreshGameFolder();
    PICRESOURCESTRUCT sheet;
    sheet.surface = g_Graph.CreatePlain(64, 64);
    sheet.name = 0;
    sheet.width = 64;
    sheet.height = 64;
    g_Graph.pictures.push_back(sheet);
    WriteMap(root, "bad", MapText(4, 1, "4,1,0,0,0", [](int i) {
        switch (i) {
        case 0: return std::string("0,0,0,0,0,5,N");   // no picture 5
        case 1: return std::string("0,0,32,0,0,5,N");
        case 2: return std::string("48,0,64,0,0,0,N");  // half beyond the 64-pixel sheet
        default: return std::string("0,96,96,0,0,0,N"); // wholly beyond it
        }
    }));
    ASSERT_EQ(g_Map.ChangeMap("bad"), 1);
    EXPECT_EQ(CountReports("Map::PaintLay()失败!"), 2);
    EXPECT_EQ(CountReports("第0层第0格：图片号5不存在"), 1);
    EXPECT_EQ(CountReports("第0层第2格：图块(48,0)超出图片范围"), 1);
    EXPECT_EQ(Headless().recordingDialogs().debugLines.size(), 4u);
    ASSERT_EQ(g_Map.ChangeMap("bad"), 1);
    EXPECT_EQ(CountReports("Map::PaintLay()失败!"), 4);
}

TEST(PaintLay, TilesAreCopiedOpaqueWhereTheirLinesSayLaterOnesOnTop)
{
    auto root = FreshGameFolder();
    // A 64x64 sheet whose every pixel tells where it came from; one pixel is
    // the colour key.
    PICRESOURCESTRUCT sheet;
    sheet.surface = g_Graph.CreatePlain(64, 64);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            sheet.surface->Row(y)[x] = static_cast<uint16_t>(0x8000 + y * 64 + x);
    sheet.surface->Row(5)[5] = 0x001F;
    g_Graph.SetKeyColour(sheet.surface);
    sheet.name = 1;
    sheet.width = sheet.height = 64;
    g_Graph.pictures.push_back(sheet);
    auto src = [](int x, int y) { return static_cast<uint16_t>(0x8000 + y * 64 + x); };

    WriteMap(root, "m", MapText(4, 2, "4,2,0,0,0",
                                [](int i) {
                                    switch (i) {
                                    case 0: return std::string("0,0,0,0,0,1,N");     // at its own place
                                    case 1: return std::string("32,32,16,0,0,1,N");  // overlaps cell 0, later wins
                                    case 5: return std::string("48,0,64,32,0,1,N");  // half beyond the sheet
                                    case 6: return std::string("-16,0,96,32,0,1,N"); // starts left of the sheet
                                    default: return std::string();
                                    }
                                },
                                [](int layer, int i) {
                                    return layer == 6 && i == 7 ? std::string("0,0,0,0,1") : std::string();
                                }));
    ASSERT_EQ(g_Map.ChangeMap("m"), 1);
    // A layer's pixel as a frame gets it: copied keyed over a colour no tile
    // has, which shows through as the key.
    auto pixel = [](int layer, int x, int y) {
        Surface out(1, 1);
        out.px[0] = 0x0001;
        EXPECT_EQ(g_Map.PaintLayer(&out, layer, Rect{x, y, x + 1, y + 1}, 0, 0), 0);
        return out.px[0] == 0x0001 ? uint16_t(0x001F) : out.px[0];
    };
    EXPECT_EQ(pixel(0, 0, 0), src(0, 0));
    EXPECT_EQ(pixel(0, 5, 5), 0x001F); // the key pixel was copied, not skipped
    EXPECT_EQ(pixel(0, 15, 0), src(15, 0));
    EXPECT_EQ(pixel(0, 16, 0), src(32, 32)); // the later cell covers the earlier one
    EXPECT_EQ(pixel(0, 47, 31), src(63, 63));
    EXPECT_EQ(pixel(0, 48, 0), 0x001F);      // nothing drawn at cell 1's own place beyond it
    // Half beyond the sheet: 16 columns, at the tile's own place.
    EXPECT_EQ(pixel(0, 64, 32), src(48, 0));
    EXPECT_EQ(pixel(0, 79, 63), src(63, 31));
    EXPECT_EQ(pixel(0, 80, 32), 0x001F);
    // Left of the sheet: the columns that exist land where they belong.
    EXPECT_EQ(pixel(0, 111, 32), 0x001F);
    EXPECT_EQ(pixel(0, 112, 32), src(0, 0));
    EXPECT_EQ(pixel(0, 127, 63), src(15, 31));
    // Upper layers are drawn on their own; empty cells stay the key.
    EXPECT_EQ(pixel(6, 0, 0), src(0, 0));
    EXPECT_EQ(pixel(5, 0, 0), 0x001F);
    EXPECT_EQ(CountReports("超出图片范围"), 1);
}
