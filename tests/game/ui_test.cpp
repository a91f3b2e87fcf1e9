// The UI frame stack: frame files, painting onto BUF, the top frame's
// elements, hit tests, clicks and keys, and the element actions.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>

#include "app/globals.h"
#include "core/alert.h"
#include "platform/gbk.h"
#include "platform/headless/headless.h"
#include "test_support.h"

using namespace tevtest;
namespace fs = std::filesystem;

namespace {

constexpr uint16_t kKey = 0x001F;   // the pictures' transparent colour

// A 24-bit BMP whose pixels are given as RGB565 values (exact round trip).
std::string Bmp(int w, int h, const std::function<uint16_t(int, int)>& px)
{
    const int stride = (w * 3 + 3) & ~3;
    const uint32_t size = 54 + static_cast<uint32_t>(stride * h);
    std::string b(54, '\0');
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            b[at + i] = static_cast<char>(v >> (8 * i));
    };
    b[0] = 'B';
    b[1] = 'M';
    put32(2, size);
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<uint32_t>(w));
    put32(22, static_cast<uint32_t>(h));
    b[26] = 1;
    b[28] = 24;
    for (int y = h - 1; y >= 0; --y) {
        std::string row;
        for (int x = 0; x < w; ++x) {
            const uint16_t c = px(x, y);
            row += static_cast<char>((c & 31) << 3);
            row += static_cast<char>(((c >> 5) & 63) << 2);
            row += static_cast<char>((c >> 11) << 3);
        }
        row.resize(static_cast<size_t>(stride), '\0');
        b += row;
    }
    return b;
}

// Record lines of a frame file.
std::string Frame(const std::string& name) { return "\"frame\",1,\"" + name + "\""; }

struct El {
    std::string name, pic = "solid";
    int layer = 1, x = 0, y = 0, w = 10, h = 10;
    int hx = 0, hy = 0, hw = -1, hh = -1;   // -1: the element's size
    std::string clickable = "True", visible = "True";
    std::string left = "NULL", right = "NULL", hover = "NULL";
    std::string text = "t";
};

std::string Box(const El& e)
{
    return std::to_string(e.x) + "," + std::to_string(e.y) + "," + std::to_string(e.w) + "," + std::to_string(e.h) +
           "," + std::to_string(e.hx) + "," + std::to_string(e.hy) + "," + std::to_string(e.hw < 0 ? e.w : e.hw) +
           "," + std::to_string(e.hh < 0 ? e.h : e.hh) + ",\"" + e.clickable + "\",\"" + e.visible + "\",\"" +
           e.left + "\",\"" + e.right + "\",\"" + e.hover + "\"";
}

std::string Image(const El& e, const char* kind = "image")
{
    return std::string("\"") + kind + "\",7,\"" + e.name + "\",\"" + e.pic + "\",0," + std::to_string(e.layer) + "," +
           Box(e);
}
std::string Button(const El& e) { return Image(e, "button"); }
std::string String(const El& e)
{
    return "\"string\",3,\"" + e.name + "\"," + std::to_string(e.layer) + "," + Box(e) + ",\"" + e.text +
           "\",\"face\",12,16777215,\"False\",\"False\"";
}

class Ui : public ::testing::Test {
protected:
    void SetUp() override
    {
        root_ = TempDir("ui");
        plat::headless::Options o;
        o.root = root_;
        o.logFile = root_ / "log.txt";
        InstallHeadless(o);
        g_Graph.BUF = plat::MakeSurface(640, 480).release();
        g_KeyColour = kKey;
        // Pictures: a solid one per colour name, and a key-coloured frame.
        Picture("solid", 100, 100, [](int, int) { return uint16_t{0xF800}; });
        Picture("green", 100, 100, [](int, int) { return uint16_t{0x07E0}; });
        g_Control.InitInput();
    }

    void Picture(const std::string& name, int w, int h, const std::function<uint16_t(int, int)>& px)
    {
        WriteFile(root_ / "Resource" / "bmp" / (name + ".bmp"), Bmp(w, h, px));
    }

    void Jui(const std::string& name, const std::vector<std::string>& lines, const std::string& eol = "\r\n")
    {
        std::string text;
        for (const auto& l : lines)
            text += l + eol;
        WriteFile(root_ / "ui" / (name + ".jui"), text);
    }

    // Writes a one-frame file of that name and loads it.
    void Open(const std::string& name, std::vector<std::string> records)
    {
        records.insert(records.begin(), Frame(name));
        records.push_back("\"EOF\"");
        Jui(name, records);
        g_Ui.LoadFrame(name);
        ASSERT_EQ(g_Ui.frames.back().name, name);
    }

    int Logged(const std::string& what)
    {
        const auto lines = ReadLines(root_ / "log.txt");
        return static_cast<int>(std::count_if(lines.begin(), lines.end(),
                                              [&](const std::string& l) { return l.find(what) != std::string::npos; }));
    }
    std::vector<std::string> Boxes()
    {
        std::vector<std::string> out;
        for (const auto& b : Headless().recordingDialogs().boxes)
            out.push_back(b.textUtf8);
        return out;
    }
    uint16_t At(int x, int y) { return g_Graph.BUF->Row(y)[x]; }
    // The reports so far (UTF-8) that contain `part`.
    std::vector<std::string> Reports(const std::string& part)
    {
        std::vector<std::string> out;
        for (const auto& l : Headless().recordingDialogs().debugLines)
            if (l.find(part) != std::string::npos)
                out.push_back(l);
        return out;
    }
    std::vector<std::string> Names()
    {
        std::vector<std::string> out;
        for (const auto& f : g_Ui.frames)
            out.push_back(f.name);
        return out;
    }
    // The release of a press made on the open frames: the input counts the
    // press as the button goes down.
    void Click(int x, int y, char button)
    {
        ++g_Control.pressCount;
        g_Ui.OnMouseClick(MouseInfo{x, y, button});
    }

    fs::path root_;
};

// ---------------------------------------------------------------- frame files

TEST_F(Ui, FrameFileWithTwoFramesCommentsAndOddRecords)
{
    El a{.name = "a", .layer = 2, .x = 100, .y = 50, .w = 20, .h = 8};
    El s{.name = "s", .layer = 2, .text = "hi"};
    El b{.name = "b", .layer = 0};
    Jui("two", {
        "// a comment line without quotes",
        Frame("two"),
        Image(a) + "  // trailing comment",
        "\"unknown\" " + String(s),                 // an unknown word, then a record on the same line
        Image(El{.name = "lower", .clickable = "true"}),
        Image(El{.name = "nolayer", .layer = 10}),  // no such layer: left out
        Frame("second"),
        Image(b),
        "\"EOF\"",
        Frame("never"),
    });
    g_Ui.LoadFrame("two");
    ASSERT_EQ(Names(), (std::vector<std::string>{"two", "second"}));
    const FRAMESTRUCT& f = g_Ui.frames[0];
    ASSERT_EQ(f.images.size(), 2u);
    ASSERT_EQ(f.strings.size(), 1u);
    EXPECT_EQ(f.images[0].baseX, 100);
    EXPECT_EQ(f.images[0].baseHeight, 8);
    EXPECT_EQ(f.images[0].clickable, 1);
    EXPECT_EQ(f.images[1].clickable, 0) << "only \"True\" is true";
    EXPECT_EQ(f.strings[0].text, "hi");
    EXPECT_EQ(f.strings[0].colour, 16777215u);
    ASSERT_EQ(f.layers[2].size(), 2u);
    EXPECT_EQ(f.layers[2][0].kind, "image");
    EXPECT_EQ(f.layers[2][1].kind, "string");
    EXPECT_EQ(f.layers[2][1].index, 0);
    // The second frame's entries index into its own arrays.
    ASSERT_EQ(g_Ui.frames[1].layers[0].size(), 1u);
    EXPECT_EQ(g_Ui.frames[1].layers[0][0].index, 0);
    EXPECT_EQ(g_Ui.frames[1].images[0].name, "b");
    EXPECT_EQ(Logged("sound play openmenu"), 1);

    // Loading an open frame again changes nothing and plays nothing.
    g_Ui.LoadFrame("two");
    EXPECT_EQ(g_Ui.frames.size(), 2u);
    EXPECT_EQ(Logged("sound play openmenu"), 1);
    g_Ui.UnloadFrame("two");
    EXPECT_EQ(Names(), (std::vector<std::string>{"second"}));
    g_Ui.LoadFrame("two");
    EXPECT_EQ(Names(), (std::vector<std::string>{"second", "two", "second"}));
}

TEST_F(Ui, DamagedFrameFilesLeaveTheStackAsItWas)
{
    Open("base", {});
    const std::string good = Image(El{.name = "x"});
    std::string manyFrames;
    struct Case {
        const char* what;
        std::string text;
        std::string report;   // part of the second report
    };
    std::string huge;
    for (int i = 0; i < 70; ++i)
        huge += Frame("f" + std::to_string(i)) + "\r\n";
    const Case cases[] = {
        {"cut inside a record", Frame("bad") + "\r\n" + good.substr(0, good.size() / 2),
         "ui\\bad.jui第2行：文件在一个记录的中间结束"},
        // Named by its line, which notes and blank lines before it set
        // apart from its place among the records.
        {"a quote left open in a record", Frame("bad") + "\r\n// the art\r\n\r\n\"image\",7,\"x\r\n\"EOF\"\r\n",
         "ui\\bad.jui第4行：有一个字段到行尾仍未结束"},
        {"a word for a frame's number", "\"frame\",one,\"bad\"\r\n\"EOF\"\r\n", "ui\\bad.jui第1行：不是数字：“one”"},
        {"too many frames", huge + "\"EOF\"\r\n", "ui\\bad.jui第65行：框架多于64个"},
        {"a huge field", Frame("bad") + "\r\n\r\n\"image\",7,\"" + std::string(5000, 'n') + "\"\r\n",
         "ui\\bad.jui第3行：有一个字段长于999个字符"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Headless().recordingDialogs().debugLines.clear();
        WriteFile(root_ / "ui" / "bad.jui", c.text);
        g_Ui.LoadFrame("bad");
        EXPECT_EQ(Names(), (std::vector<std::string>{"base"}));
        const auto lines = Headless().recordingDialogs().debugLines;
        EXPECT_TRUE(std::any_of(lines.begin(), lines.end(),
                                [&](const std::string& l) { return l.find(c.report) != std::string::npos; }))
            << ::testing::PrintToString(lines);
    }
    EXPECT_EQ(Logged("sound play openmenu"), 1) << "only the good file";

    g_Ui.LoadFrame("missing");
    EXPECT_EQ(Names(), (std::vector<std::string>{"base"}));
    const auto boxes = Boxes();
    EXPECT_NE(std::find(boxes.begin(), boxes.end(), "UI文件打开失败！"), boxes.end());
}

TEST_F(Ui, BadElementsAreSkippedAndTheRestOfTheFrameLoads)
{
    Open("base", {});
    const std::string wordForLayer = "\"image\",7,\"x\",\"solid\",0,one,0,0,1,1,0,0,1,1,"
                                     "\"True\",\"True\",\"NULL\",\"NULL\",\"NULL\"";
    const std::string wordForSpare = "\"button\",7,\"x\",\"solid\",spare,1,0,0,1,1,0,0,1,1,"
                                     "\"True\",\"True\",\"NULL\",\"NULL\",\"NULL\"";
    const std::string wordForColour = "\"string\",3,\"x\",1,0,0,10,10,0,0,10,10,\"True\",\"True\",\"NULL\","
                                      "\"NULL\",\"NULL\",\"t\",\"face\",12,white,\"False\",\"False\"";
    auto fontHeight = [](const std::string& h) {
        return "\"string\",3,\"x\",1,0,0,10,10,0,0,10,10,\"True\",\"True\",\"NULL\",\"NULL\",\"NULL\",\"t\",\"face\"," + h +
               ",0,\"False\",\"False\"";
    };
    struct Case {
        const char* what;
        std::string record;
        std::string reason;
    };
    const Case cases[] = {
        {"a word for a number", wordForLayer, "不是数字：“one”"},
        {"a word for the spare field", wordForSpare, "不是数字：“spare”"},
        {"a word for a text's colour", wordForColour, "不是数字：“white”"},
        {"a negative width", Image(El{.name = "x", .w = -5}), "元素的大小不在0到4096之间"},
        {"a huge element", Image(El{.name = "x", .w = 100000, .h = 100000}), "元素的大小不在0到4096之间"},
        {"huge buttons", Button(El{.name = "x", .w = 4000, .h = 4000}), "按钮的图格需要多于4915200个像素"},
        {"the lowest font height", fontHeight("-2147483648"), "字体高度-2147483648不在-512到512之间"},
        {"a font height too tall", fontHeight("513"), "字体高度513不在-512到512之间"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Headless().recordingDialogs().debugLines.clear();
        ResetAlertHistory();
        // The good elements around the bad one load; the bad one is left out.
        Jui("bad", {Frame("bad"), Image(El{.name = "before"}), "// the bad one", c.record,
                    String(El{.name = "after", .layer = 3}), "\"EOF\""});
        g_Ui.LoadFrame("bad");
        ASSERT_EQ(Names(), (std::vector<std::string>{"base", "bad"}));
        const FRAMESTRUCT& f = g_Ui.frames[1];
        EXPECT_EQ(f.images.size(), 1u);
        EXPECT_TRUE(f.buttons.empty());
        ASSERT_EQ(f.strings.size(), 1u);
        EXPECT_EQ(f.strings[0].name, "after");
        EXPECT_EQ(f.layers[3].size(), 1u);
        const auto lines = Reports("UI文件");
        ASSERT_EQ(lines.size(), 1u) << ::testing::PrintToString(Headless().recordingDialogs().debugLines);
        EXPECT_NE(lines[0].find("UI文件中有误的元素已跳过：ui\\bad.jui第4行："), std::string::npos) << lines[0];
        EXPECT_NE(lines[0].find(c.reason), std::string::npos) << lines[0];
        g_Ui.UnloadFrame("bad");
    }
    // Several bad elements: one report that counts them.
    Headless().recordingDialogs().debugLines.clear();
    Jui("bad", {Frame("bad"), wordForLayer, Image(El{.name = "x", .w = -1}), Image(El{.name = "ok"}), "\"EOF\""});
    g_Ui.LoadFrame("bad");
    ASSERT_EQ(g_Ui.frames.back().images.size(), 1u);
    EXPECT_EQ(g_Ui.frames.back().images[0].name, "ok");
    const auto lines = Reports("UI文件");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find("共跳过2个元素"), std::string::npos) << lines[0];
}

TEST_F(Ui, EndWithoutEofLfOnlyAndMissingPictures)
{
    // A file that simply stops after a whole record, with LF line ends and
    // a picture that isn't there, still loads.
    Jui("lf", {Frame("lf"), Image(El{.name = "gone", .pic = "nothing"}), Image(El{.name = "ok", .x = 5})}, "\n");
    g_Ui.LoadFrame("lf");
    ASSERT_EQ(Names(), (std::vector<std::string>{"lf"}));
    ASSERT_EQ(g_Ui.frames[0].images.size(), 2u);
    EXPECT_EQ(g_Ui.frames[0].images[0].picture, nullptr);
    EXPECT_NE(g_Ui.frames[0].images[1].picture, nullptr);
    g_Ui.Paint("lf");   // the missing picture is passed over
    EXPECT_EQ(At(5, 0), 0xF800);
    g_Ui.UnloadAll();
    EXPECT_TRUE(g_Ui.frames.empty());
}

// Text boxes at the ends of the number range (a frame file's numbers clamp
// to 32 bits) are painted without their far edges or the pen overflowing:
// nothing of them shows. The first file is a fuzzer's reproducer.
TEST_F(Ui, TextBoxesAtTheEndsOfTheNumberRange)
{
    WriteFile(root_ / "ui" / "found.jui", ReadFile(fs::path(TEV_TEST_DATA) / "fuzz" / "ui_string_far_right.jui"));
    g_Ui.LoadFrame("found");
    ASSERT_EQ(Names(), (std::vector<std::string>{"fuzz"}));
    Open("edges", {
                      String(El{.name = "right", .x = INT32_MAX, .y = 10, .w = 100, .h = 20, .text = "abc"}),
                      String(El{.name = "below", .x = 10, .y = INT32_MAX, .w = 100, .h = 20, .text = "abc"}),
                      String(El{.name = "wide", .x = INT32_MIN, .y = 600, .w = INT32_MAX, .h = INT32_MAX,
                                .text = "abc"}),
                  });
    g_Ui.Paint("fuzz");
    g_Ui.Paint("edges");
    EXPECT_TRUE(std::all_of(g_Graph.BUF->px.begin(), g_Graph.BUF->px.end(), [](uint16_t p) { return p == 0; }));
}

TEST_F(Ui, UnloadingByNamePositionAndAll)
{
    Open("a", {});
    Open("b", {});
    Jui("a2", {Frame("a"), "\"EOF\""});   // a second frame named "a"
    g_Ui.LoadFrame("a2");
    ASSERT_EQ(Names(), (std::vector<std::string>{"a", "b", "a"}));
    g_Ui.UnloadFrame("a");
    EXPECT_EQ(Names(), (std::vector<std::string>{"b", "a"})) << "the lower one goes";
    g_Ui.UnloadFrame("zzz");
    EXPECT_EQ(g_Ui.frames.size(), 2u);
    g_Ui.UnloadFrameAt(5);
    EXPECT_EQ(g_Ui.frames.size(), 2u);
    EXPECT_EQ(Logged("sound play closemenu"), 1);
    g_Ui.UnloadAll();
    EXPECT_TRUE(g_Ui.frames.empty());
    EXPECT_EQ(Logged("sound play closemenu"), 1) << "UnloadAll is silent";
}

// ---------------------------------------------------------------- painting

TEST_F(Ui, PaintingOrderVisibilityAndTheKey)
{
    // A picture with a transparent middle column.
    Picture("holed", 20, 10, [](int x, int) { return x == 10 ? kKey : uint16_t{0x07E0}; });
    Open("p", {
                  Image(El{.name = "red", .layer = 1, .x = 0, .y = 0, .w = 20, .h = 10}),
                  Image(El{.name = "over", .pic = "holed", .layer = 1, .x = 0, .y = 0, .w = 20, .h = 10}),
                  Image(El{.name = "hidden", .pic = "green", .layer = 3, .x = 100, .visible = "False"}),
                  Image(El{.name = "zero", .pic = "green", .layer = 0, .x = 200, .y = 0, .w = 4, .h = 4}),
              });
    g_Ui.PaintLayer(g_Graph.BUF, g_Ui.frames[0], 1);
    EXPECT_EQ(At(0, 0), 0x07E0) << "the later record is on top";
    EXPECT_EQ(At(10, 0), 0xF800) << "key pixels show what lies below";
    EXPECT_EQ(At(100, 0), 0) << "invisible";
    EXPECT_EQ(At(200, 0), 0) << "layer 0 is not asked for";
    g_Ui.Paint("p");
    EXPECT_EQ(At(200, 0), 0x07E0);
    EXPECT_EQ(At(204, 0), 0);

    // A shrunk bar shows the left part of its picture only.
    g_Ui.SetImageSize("zero", 0, 2);
    std::fill(g_Graph.BUF->px.begin(), g_Graph.BUF->px.end(), 0);
    g_Ui.Paint("p");
    EXPECT_EQ(At(200, 1), 0x07E0);
    EXPECT_EQ(At(201, 0), 0);
    EXPECT_EQ(At(200, 2), 0);
}

TEST_F(Ui, ButtonCellsAreCutAndShowOnce)
{
    // A 400-wide strip: cell i is coloured 0x1000 * (i + 1), with a key pixel
    // at its top-left.
    Picture("strip", 400, 20,
            [](int x, int y) { return x % 100 == 0 && y == 0 ? kKey : static_cast<uint16_t>(0x1000 * (x / 100 + 1)); });
    Open("m", {Button(El{.name = "btn", .pic = "strip", .x = 10, .y = 10, .w = 100, .h = 20})});
    UIBUTTONBOX& b = g_Ui.frames[0].buttons[0];
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(b.states[i]->Row(5)[50], 0x1000 * (i + 1)) << i;
    b.state = 2;
    g_Ui.Paint("m");
    EXPECT_EQ(At(60, 15), 0x3000);
    EXPECT_EQ(At(10, 10), 0) << "the key stays transparent";
    EXPECT_EQ(b.state, 0);
    g_Ui.PaintLayer(g_Graph.BUF, g_Ui.frames[0], -1);
    EXPECT_EQ(At(60, 15), 0x1000);
    // A hidden button keeps its state.
    b.visible = 0;
    b.state = 1;
    g_Ui.Paint("m");
    EXPECT_EQ(b.state, 1);
}

TEST_F(Ui, LookupsSeeOnlyTheTopFrame)
{
    Open("low", {String(El{.name = "numberbox", .text = "low"})});
    EXPECT_EQ(g_Ui.GetText("numberbox"), "low");
    Open("top", {Image(El{.name = "dup", .w = 30, .h = 12}), Button(El{.name = "dup"}),
                 String(El{.name = "dup", .text = "s"})});
    EXPECT_EQ(g_Ui.GetText("numberbox"), "numberbox");
    g_Ui.SetText("numberbox", "x");
    EXPECT_EQ(g_Ui.frames[0].strings[0].text, "low");
    EXPECT_EQ(g_Ui.FindElement("dup"), &g_Ui.frames[1].images[0]);
    EXPECT_EQ(g_Ui.FindElement("nope"), nullptr);
    g_Ui.SetImageSize("dup", 50, -3);
    EXPECT_EQ(g_Ui.frames[1].images[0].width, 50);
    EXPECT_EQ(g_Ui.frames[1].images[0].height, 1);
    EXPECT_EQ(g_Ui.GetImageBaseSize("dup", 0), 30);
    EXPECT_EQ(g_Ui.GetImageBaseSize("dup", 1), 12);
    EXPECT_EQ(g_Ui.GetImageBaseSize("dup", 2), 0);
    g_Ui.UnloadAll();
    EXPECT_EQ(g_Ui.GetText("a"), "a");
    EXPECT_EQ(g_Ui.FindElement("dup"), nullptr);
}

// ---------------------------------------------------------------- input

TEST_F(Ui, HitTestEdgesLayersAndKinds)
{
    EXPECT_EQ(g_Ui.HitTest(0, 0).kind, "") << "empty stack";
    Open("h", {
                  Image(El{.name = "dot", .layer = 1, .x = 5, .y = 5, .hx = 5, .hy = 5, .hw = 0, .hh = 0}),
                  Image(El{.name = "wide", .layer = 1, .x = 100, .y = 0, .hw = 20, .hh = 0}),
                  Image(El{.name = "pic", .layer = 2, .x = 200, .y = 0}),
                  String(El{.name = "txt", .layer = 2, .x = 200, .y = 0}),
                  Button(El{.name = "low", .layer = 3, .x = 300, .y = 0}),
                  Image(El{.name = "cover", .layer = 5, .x = 300, .y = 0, .visible = "False"}),
              });
    struct Case {
        int x, y;
        std::string kind;
        int index;
    } const cases[] = {
        {10, 10, "image", 0}, {11, 10, "", 0},   {10, 11, "", 0},    {100, 0, "image", 1},
        {120, 0, "image", 1}, {121, 0, "", 0},   {205, 5, "string", 0}, {305, 5, "image", 3},
    };
    for (const Case& c : cases) {
        const LAYCHAINSTRUCT r = g_Ui.HitTest(c.x, c.y);
        EXPECT_EQ(r.kind, c.kind) << c.x << "," << c.y;
        if (!c.kind.empty()) {
            EXPECT_EQ(r.index, c.index) << c.x << "," << c.y;
            EXPECT_EQ(r.frame, 0);
        }
    }
    // The invisible cover takes the click: the button is neither pressed
    // nor run.
    Click(305, 5, 'l');
    EXPECT_EQ(g_Ui.frames[0].buttons[0].state, 0);
}

TEST_F(Ui, RightClicksAndEscCloseTheTopFrame)
{
    Open("main_frame", {});
    Click(10, 10, 'r');
    Click(10, 10, 'a');
    g_Ui.OnKey(gamekey::kEsc);
    EXPECT_EQ(Names(), (std::vector<std::string>{"main_frame"})) << "the last frame stays";

    struct Case {
        const char* what;
        El el;
        char button;
        bool closes;
    } const cases[] = {
        {"empty space", El{.name = "e", .x = 500}, 'r', true},
        {"right action NULL", El{.name = "n"}, 'r', true},
        {"empty right action", El{.name = "n", .right = ""}, 'r', false},
        {"left click on nothing", El{.name = "e", .x = 500}, 'l', false},
        {"left click without action", El{.name = "n"}, 'l', false},
        {"both buttons", El{.name = "n", .left = "d_newui_x", .right = "d_newui_x"}, 'a', false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Open("menu", {Image(c.el)});
        Click(5, 5, c.button);
        EXPECT_EQ(g_Ui.frames.size(), c.closes ? 1u : 2u);
        g_Ui.UnloadFrame("menu");
    }

    // The release of a press made before the frame opened is no click on
    // it; a press made on it is.
    ++g_Control.pressCount;
    Open("menu", {Image(El{.name = "n"})});
    g_Ui.OnMouseClick(MouseInfo{5, 5, 'r'});
    EXPECT_EQ(g_Ui.frames.size(), 2u) << "a release of a press from before the frame";
    Click(5, 5, 'r');
    EXPECT_EQ(g_Ui.frames.size(), 1u);

    // A visible button that takes no clicks shows the pressed cell, and
    // the right click still closes the frame.
    Open("menu", {Button(El{.name = "b", .clickable = "False"})});
    UIBUTTONBOX* b = &g_Ui.frames[1].buttons[0];
    g_Control.cursorX = 5;
    g_Control.cursorY = 5;
    g_Ui.OnMouseMove();
    EXPECT_EQ(b->state, 1);
    g_Control.buttonReleased = 0;
    Click(5, 5, 'r');
    EXPECT_EQ(g_Ui.frames.size(), 2u) << "no click while a button is held";
    g_Control.buttonReleased = 1;
    Click(5, 5, 'l');
    EXPECT_EQ(b->state, 2);
    Click(5, 5, 'r');
    EXPECT_EQ(g_Ui.frames.size(), 1u);

    // Esc closes the top frame and ends a running script.
    Open("menu", {});
    WriteFile(root_ / "Script" / "wait.jsr", "a = 1;\r\nEOF\r\n");
    g_Script.OpenScript("wait");
    ASSERT_EQ(g_Script.running, 1);
    g_Ui.OnKey(gamekey::kW);
    EXPECT_EQ(g_Ui.frames.size(), 2u);
    g_Ui.OnKey(gamekey::kEsc);
    EXPECT_EQ(Names(), (std::vector<std::string>{"main_frame"}));
    EXPECT_EQ(g_Script.running, 0);
}

TEST_F(Ui, HoverRunsOnlyTextActions)
{
    Open("h", {Button(El{.name = "b", .x = 0, .hover = "d_msg_button"}),
               String(El{.name = "s", .x = 100, .hover = "d_msg_text"}),
               String(El{.name = "n", .x = 200, .clickable = "False", .hover = "d_msg_inert"})});
    for (int x : {5, 105, 205}) {
        g_Control.cursorX = x;
        g_Control.cursorY = 5;
        g_Ui.OnMouseMove();
        g_Ui.OnMouseMove();
    }
    const auto lines = Headless().recordingDialogs().debugLines;
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "text"), 2) << "once per pass";
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "button"), 0);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "inert"), 0);
}

// ---------------------------------------------------------------- actions

TEST_F(Ui, ActionTextsSplitAtTheFirstUnderscore)
{
    EXPECT_EQ(g_Ui.ActionHead("newui_state_frame"), "newui");
    EXPECT_EQ(g_Ui.ActionTail("newui_state_frame"), "state_frame");
    EXPECT_EQ(g_Ui.ActionHead("msg"), "msg");
    EXPECT_EQ(g_Ui.ActionTail("msg"), "msg");

    Open("main_frame", {});
    Open("state_frame", {});
    g_Ui.UnloadFrame("state_frame");
    g_Ui.DoAction("d_newui_state_frame");
    EXPECT_EQ(Names(), (std::vector<std::string>{"main_frame", "state_frame"}));
    g_Ui.DoAction("d_delui_state_frame");
    EXPECT_EQ(Names(), (std::vector<std::string>{"main_frame"}));

    g_Ui.DoAction("d_msg");
    g_Ui.DoAction("d_msg_~quiet");
    g_Ui.DoAction("x_msg_never");
    g_Ui.DoAction("");
    g_Ui.DoAction("d");
    g_Ui.DoAction("d_unknown_x");
    const auto lines = Headless().recordingDialogs().debugLines;
    EXPECT_NE(std::find(lines.begin(), lines.end(), "msg"), lines.end());
    EXPECT_EQ(std::find(lines.begin(), lines.end(), "never"), lines.end());

    // Scripts: s_intro and s_a_intro both name "intro"; big_bad_boss names
    // "bad_boss".
    WriteFile(root_ / "Script" / "bad_boss.jsr", "EOF\r\n");
    g_Ui.DoAction("s_big_bad_boss");
    EXPECT_EQ(Logged("script open bad_boss"), 1);
    g_Ui.DoAction("s_a_bad_boss");
    EXPECT_EQ(Logged("script open bad"), 1) << "an outermost script is running";
}

TEST_F(Ui, SysActionsQuitSaveAndLoad)
{
    Open("main_frame", {});
    Open("dead_frame", {});
    Open("selectload_frame", {});
    g_Ui.DoAction("d_sys_savegame_3");
    EXPECT_EQ(Logged("save write 3"), 1);
    EXPECT_EQ(g_Ui.g_LoadSlot, 1);
    g_Ui.DoAction("d_sys_loadgame_3");
    EXPECT_EQ(Logged("save load 3"), 1);
    EXPECT_EQ(g_Ui.g_LoadSlot, 3);
    EXPECT_EQ(g_Ui.frames.size(), 3u) << "no save: the frames stay";
    Open("saved_frame", {});
    Open("selectsave_frame", {});
    g_Ui.DoAction("d_sys_closesave");
    EXPECT_EQ(g_Ui.frames.size(), 3u);
    EXPECT_EQ(g_Quit, 0);
    g_Ui.DoAction("d_sys_exitgame");
    EXPECT_EQ(g_Quit, 1);
}

TEST_F(Ui, NumberBoxChoiceAndAutowalk)
{
    auto local = [](const std::string& name) -> int32_t {
        for (size_t i = 0; i < g_Script.localNames.size(); ++i)
            if (g_Script.localNames[i] == name)
                return g_Script.localValues[i];
        return -1;
    };
    Open("main_frame", {});
    Open("number_frame", {String(El{.name = "numberbox", .text = ""})});
    for (const char* a : {"d_symbol_number4", "d_symbol_number2", "d_symbol_delete", "d_symbol_number7",
                          "d_symbol_numberx", "d_symbol_nonsense"})
        g_Ui.DoAction(a);
    EXPECT_EQ(g_Ui.GetText("numberbox"), "47");
    g_Ui.DoAction("d_symbol_confirmnumber");
    EXPECT_EQ(local("findvar_number"), 47);
    EXPECT_EQ(Names(), (std::vector<std::string>{"main_frame"}));
    // Without a number box nothing is typed and the number is 0.
    g_Ui.DoAction("d_symbol_number5");
    g_Ui.DoAction("d_symbol_confirmnumber");
    EXPECT_EQ(local("findvar_number"), 0);

    Open("choice_frame", {});
    g_Ui.DoAction("d_choice_2");
    EXPECT_EQ(local("findvar_choice"), 2);
    EXPECT_EQ(Names(), (std::vector<std::string>{"main_frame"}));

    Open("options", {String(El{.name = "autowalk_switch"})});
    ASSERT_EQ(g_Role.autoSidestep, 1);
    g_Ui.DoAction("d_option_autowalk");
    EXPECT_EQ(g_Role.autoSidestep, 0);
    EXPECT_EQ(g_Ui.GetText("autowalk_switch"), G("×"));
    g_Ui.DoAction("d_option_autowalk");
    EXPECT_EQ(g_Role.autoSidestep, 1);
    EXPECT_EQ(g_Ui.GetText("autowalk_switch"), G("√"));
}

TEST_F(Ui, SelectingAToolPicksItsMagicKind)
{
    g_MagicKinds.resize(10);
    g_MagicKinds[8].name = "holy";
    g_Role.items[4] = "staff";
    g_Role.items[5] = "crystal";
    Open("state_frame", {
                            Image(El{.name = "staff", .x = 50, .y = 60, .left = "d_seltool"}),
                            Image(El{.name = "plain", .x = 100, .y = 60, .left = "d_seltool"}),
                            Image(El{.name = "selectborder", .x = 0, .y = 0, .w = 5, .h = 5, .clickable = "False",
                                     .visible = "False"}),
                            String(El{.name = "state_iteminfo", .x = 300, .y = 300, .text = "-"}),
                        });
    g_Ui.DoAction("d_seltool");   // before any click: nothing
    EXPECT_EQ(g_Ui.frames[0].images[2].visible, 0);

    Click(105, 65, 'l');   // a tool that is not an item: only the border moves
    const UIIMAGEBOX& border = g_Ui.frames[0].images[2];
    EXPECT_EQ(border.visible, 1);
    EXPECT_EQ(border.x, 99);
    EXPECT_EQ(g_Role.magicKind, -1);

    Click(55, 65, 'l');
    EXPECT_EQ(border.x, 49);
    EXPECT_EQ(border.y, 59);
    EXPECT_EQ(g_Role.magicKind, 8);
    EXPECT_EQ(g_Control.keyEnabled[28], 1);
    EXPECT_EQ(g_Ui.GetText("state_iteminfo"), G("<神圣的法杖> ") + "holy");

    // A clicked element whose frame was dropped from the stack by other
    // code is not reached any more.
    Open("texts", {String(El{.name = "crystal", .left = "d_seltool"})});
    Click(5, 5, 'l');
    EXPECT_EQ(g_Role.magicKind, 6);
    g_Ui.frames.pop_back();
    g_Role.magicKind = -1;
    g_Ui.DoAction("d_seltool");
    EXPECT_EQ(g_Role.magicKind, -1);
}

} // namespace

namespace {

// The demo's frames load whole with every picture, and the title's button
// quits the game.
TEST(UiDemo, FramesLoadAndTheTitleExitButtonQuits)
{
    plat::headless::Options o;
    o.root = TEV_DEMO_DIR;
    InstallHeadless(o);
    g_Control.InitInput();
    for (const char* name : {"main_frame", "mainmenu_frame", "title_frame"})
        g_Ui.LoadFrame(name);
    ASSERT_EQ(g_Ui.frames.size(), 3u);
    for (const FRAMESTRUCT& f : g_Ui.frames) {
        EXPECT_FALSE(f.images.empty() && f.buttons.empty()) << f.name;
        for (const UIIMAGEBOX& i : f.images)
            EXPECT_NE(i.picture, nullptr) << i.name;
        for (const UIBUTTONBOX& b : f.buttons)
            EXPECT_NE(b.states[0], nullptr) << b.name;
    }
    const UIBOX* exit = g_Ui.FindElement("title_exit");
    ASSERT_NE(exit, nullptr);
    ++g_Control.pressCount;   // pressed with the title open
    g_Ui.OnMouseClick(MouseInfo{exit->x + 5, exit->y + 5, 'l'});
    EXPECT_EQ(g_Quit, 1);
}

} // namespace
