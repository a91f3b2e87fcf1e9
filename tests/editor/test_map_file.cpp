// The map file as the editor reads it: every field of every layer, sizes
// read by value, any line end, and every malformed file refused with the
// line at fault.
#include "support.h"

#include "shell/map_file.h"

#include <gtest/gtest.h>

using namespace tstest;
using tilesmith::MapDocument;
using tilesmith::ParseMapFile;
using tilesmith::TileRec;

namespace {

// A 3×2 map: header, 6 ground lines, then 6 lines for each of the six
// upper layers. Ground line i and upper line (layer, i) may be replaced.
struct MapText {
    QByteArray header = "3,2,1,320,240";
    QList<QByteArray> ground = {"32,64,96,0,1,2,door1",  "0,0,0,0,0,-1,N,x", "0,0,0,0,2,-1,n",
                                "0,0,0,0,0,-1,N",        "64,0,40,33,0,0,N", "0,32,64,32,0,1,"};
    QList<QByteArray> upper(int layer) const
    {
        QList<QByteArray> l;
        for (int i = 0; i < 6; ++i)
            l << (layer == 4 && i == 4 ? QByteArray("96,32,128,32,2") : QByteArray("0,0,0,0,-1"));
        return l;
    }
    QByteArray bytes(const char* eol = "\r\n", bool finalEol = true) const
    {
        QList<QByteArray> lines{header};
        lines += ground;
        for (int layer = 2; layer <= 7; ++layer)
            lines += upper(layer);
        QByteArray out = lines.join(eol);
        if (finalEol)
            out += eol;
        return out;
    }
};

MapDocument Parse(const QByteArray& bytes, tilesmith::MapReadResult* result = nullptr)
{
    MapDocument doc;
    const tilesmith::MapReadResult r = ParseMapFile(bytes, doc);
    if (result)
        *result = r;
    return doc;
}

} // namespace

TEST(MapFile, ReadsEveryFieldOfEveryLayer)
{
    MapText text;
    text.ground[3] = "0,0,0,0,0,-1," + G("宝箱");
    tilesmith::MapReadResult r;
    const MapDocument d = Parse(text.bytes(), &r);
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_FALSE(r.lfOnly);
    EXPECT_EQ(d.width, 3);
    EXPECT_EQ(d.height, 2);
    EXPECT_EQ(d.TileCount, 6);
    EXPECT_EQ(d.RoleDir, 1);
    EXPECT_EQ(d.RoleX, 320);
    EXPECT_EQ(d.RoleY, 240);
    EXPECT_EQ(d.MapWidth.print(), "3");
    const auto& g = d.layers[0];
    EXPECT_EQ(g[0], (TileRec{32, 64, 2, 96, 0, "door1", 1}));
    EXPECT_EQ(g[1], (TileRec{0, 0, -1, 0, 0, "N", 0})); // the eighth value is ignored
    EXPECT_EQ(g[2].obstacle, 2);
    EXPECT_EQ(g[2].event, "n"); // only "N" means no event
    EXPECT_EQ(g[3].event, G("宝箱"));
    EXPECT_EQ(g[4], (TileRec{64, 0, 0, 40, 33, "N", 0})); // drawn where its line says
    EXPECT_EQ(g[5].event, ""); // an empty name is kept as it is
    EXPECT_EQ(d.layers[3][4], (TileRec{96, 32, 2, 128, 32, "N", 0}));
    EXPECT_EQ(d.layers[6][5].sheet, -1);
}

TEST(MapFile, SizesAreReadByValueAndExtraValuesIgnored)
{
    for (const char* w : {"3", "03", " 3", "+3", "3.0", "3e0", "3 "}) {
        MapText text;
        text.header = QByteArray(w) + ", 2, 1, -1, -1, 99, extra";
        tilesmith::MapReadResult r;
        const MapDocument d = Parse(text.bytes(), &r);
        ASSERT_TRUE(r.ok) << w << ": " << r.error.toStdString();
        EXPECT_EQ(d.width, 3) << w;
        EXPECT_EQ(d.MapWidth.print(), "3") << w;
        EXPECT_EQ(d.RoleX, -1);
    }
}

TEST(MapFile, AnyLineEndReadsTheSame)
{
    const MapText text;
    const MapDocument crlf = Parse(text.bytes());
    tilesmith::MapReadResult r;
    for (const auto& [eol, final] : {std::pair{"\n", true}, std::pair{"\r\n", false}, std::pair{"\n", false},
                                     std::pair{"\r", true}}) {
        const MapDocument other = Parse(text.bytes(eol, final), &r);
        ASSERT_TRUE(r.ok) << r.error.toStdString();
        EXPECT_EQ(r.lfOnly, QByteArray(eol) == "\n");
        for (int layer = 0; layer < 7; ++layer)
            EXPECT_EQ(other.layers[layer], crlf.layers[layer]) << "layer " << layer;
    }
}

TEST(MapFile, MalformedFilesAreRefusedNamingTheLine)
{
    struct Case {
        const char* what;
        std::function<void(MapText&)> change;
        const char* expect;
    } cases[] = {
        {"width 0", [](MapText& t) { t.header = "0,2,1,0,0"; }, "第 1 行：地图宽度“0”"},
        {"width text", [](MapText& t) { t.header = "abc,2,1,0,0"; }, "地图宽度“abc”"},
        {"width fraction", [](MapText& t) { t.header = "2.5,2,1,0,0"; }, "地图宽度“2.5”"},
        {"height 1024", [](MapText& t) { t.header = "3,1024,1,0,0"; }, "地图高度“1024”"},
        {"too many cells", [](MapText& t) { t.header = "200,200,1,0,0"; }, "超过 32767 格"},
        {"short header", [](MapText& t) { t.header = "3,2,1"; }, "5 个值"},
        {"direction text", [](MapText& t) { t.header = "3,2,x,0,0"; }, "第 3 个值“x”"},
        {"x beyond 16 bits", [](MapText& t) { t.header = "3,2,1,0,40000"; }, "第 5 个值“40000”"},
        {"short ground line", [](MapText& t) { t.ground[2] = "0,0,0,0,0,-1"; }, "第 4 行：地面层的格应有 7 个值"},
        {"non-number", [](MapText& t) { t.ground[0] = "x,0,0,0,0,-1,N"; }, "第 2 行：第 1 个值“x”"},
        {"number with text", [](MapText& t) { t.ground[1] = "0,12abc,0,0,0,-1,N"; }, "第 3 行：第 2 个值“12abc”"},
        {"sheet 7", [](MapText& t) { t.ground[5] = "0,0,0,0,0,7,N"; }, "第 7 行：图块表编号 7"},
        {"sheet -2", [](MapText& t) { t.ground[5] = "0,0,0,0,0,-2,N"; }, "图块表编号 -2"},
        {"long event", [](MapText& t) { t.ground[0] = "0,0,0,0,0,-1," + QByteArray(256, 'e'); }, "超过 255 字节"},
    };
    for (const Case& c : cases) {
        MapText text;
        c.change(text);
        tilesmith::MapReadResult r;
        Parse(text.bytes(), &r);
        EXPECT_FALSE(r.ok) << c.what;
        EXPECT_TRUE(r.error.contains(QString::fromUtf8(c.expect))) << c.what << ": " << r.error.toStdString();
    }
    // Lines of the upper layers are checked as well.
    const QByteArray good = MapText().bytes();
    QList<QByteArray> lines = good.split('\n');
    lines[7] = "0,0,0,0\r"; // the second layer's first cell lacks its sheet
    tilesmith::MapReadResult r;
    Parse(lines.join('\n'), &r);
    EXPECT_TRUE(r.error.contains(QStringLiteral("第 8 行：图块层的格应有 5 个值"))) << r.error.toStdString();
    // A file cut short (after 20 lines), and an empty one.
    lines = good.split('\n');
    Parse(lines.mid(0, 20).join('\n'), &r);
    EXPECT_TRUE(r.error.contains(QStringLiteral("需要 43 行"))) << r.error.toStdString();
    Parse("", &r);
    EXPECT_FALSE(r.ok);
    // An event of 255 bytes is still a name.
    MapText longest;
    longest.ground[0] = "0,0,0,0,0,-1," + QByteArray(255, 'e');
    Parse(longest.bytes(), &r);
    EXPECT_TRUE(r.ok) << r.error.toStdString();
}

TEST(MapFile, WhatTheEditorWritesReadsBackByteForByte)
{
    MapText text;
    text.ground[1] = "0,0,0,0,0,-1,N";
    text.ground[3] = "0,0,0,0,0,-1," + G("宝箱");
    const QByteArray bytes = text.bytes();
    tilesmith::MapReadResult r;
    const MapDocument d = Parse(bytes, &r);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(tilesmith::SerializeMap(d), bytes);
}
