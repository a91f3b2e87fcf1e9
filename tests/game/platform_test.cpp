// Pure platform code: GBK conversion, the path resolver, surfaces, the
// random generator and the harness's options.
#include <gtest/gtest.h>

#include "app/globals.h"
#include "harness.h"
#include "platform/fsys.h"
#include "platform/gbk.h"
#include "platform/rng.h"
#include "platform/stderr_reports.h"
#include "platform/surface.h"
#include "test_support.h"

using namespace tevtest;

namespace {

TEST(StderrReports, RepeatsWithinASecondAreCountedNotPrinted)
{
    FILE* out = std::tmpfile();
    {
        plat::StderrReports r(out);
        // A missing sound at every play: two lines each time, all within a
        // second of their last showing.
        for (uint32_t t = 0; t < 3000; t += 300) {
            r.Write("missing wave", t);
            r.Write("Resource\\wav\\x.wav", t);
        }
        r.Write("something else", 3000);
        r.Write("missing wave", 3100); // still within a second of the last
        r.Write("missing wave", 5000); // a second and more later: printed again
    }   // the count of the last repeats at the end
    std::rewind(out);
    std::string text;
    for (int c; (c = std::getc(out)) != EOF;)
        text += static_cast<char>(c);
    std::fclose(out);
    EXPECT_EQ(text, "tevlegend: missing wave\n"
                    "tevlegend: Resource\\wav\\x.wav\n"
                    "tevlegend: （“missing wave”一秒内又重复了9次，未显示）\n"
                    "tevlegend: （“Resource\\wav\\x.wav”一秒内又重复了9次，未显示）\n"
                    "tevlegend: something else\n"
                    "tevlegend: （“missing wave”一秒内又重复了1次，未显示）\n"
                    "tevlegend: missing wave\n");
}

TEST(StderrReports, AMessageBoxsFocusTracesAreNotCountedAsRepeats)
{
    // Two boxes in a second: each one's focus traces are printed with it,
    // and nothing is left to count.
    testing::internal::CaptureStderr();
    {
        plat::headless::Options o;
        o.root = TempDir("game");
        o.echoStderr = true;
        g_PlatformHolder.Install(std::make_unique<plat::headless::HeadlessPlatform>(o));
        g_Control.InitInput();
        ResetAlertHistory();
        Alert("first");
        Alert("second");
        g_PlatformHolder.Reset();
    }
    InstallHeadless();
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(err.find("重复"), std::string::npos) << err;
    size_t traces = 0;
    for (size_t at = err.find("跳到桌面"); at != std::string::npos; at = err.find("跳到桌面", at + 1))
        ++traces;
    EXPECT_EQ(traces, 2u) << err;
}

TEST(Gbk, ConvertsBothWaysAndReplacesBadBytes)
{
    const std::string gbk = "\xC4\xE3\xBA\xC3"; // 你好
    EXPECT_EQ(plat::GbkToUtf8(gbk), "你好");
    EXPECT_EQ(plat::Utf8ToGbk("你好"), gbk);
    EXPECT_EQ(plat::GbkToUtf8("ab"), "ab");
    EXPECT_EQ(plat::GbkToUtf8(""), "");
    // A cut sequence at the end and an invalid lead byte each become U+FFFD
    // and conversion goes on.
    EXPECT_EQ(plat::GbkToUtf8("a\xC4"), "a\xEF\xBF\xBD");
    EXPECT_EQ(plat::GbkToUtf8("\xFF" "b\xC4\xE3"), "\xEF\xBF\xBD" "b你");
    EXPECT_EQ(plat::GbkToUtf8("\x80"), "€"); // code page 936 has the euro sign
    EXPECT_STREQ(plat::GBK("失败"), plat::Utf8ToGbk("失败").c_str());
    EXPECT_EQ(plat::GBK("失败"), plat::GBK("失败")); // the same kept pointer
}

TEST(PathResolver, FindsNamesWhateverTheirCaseAndSeparators)
{
    auto root = TempDir("root");
    WriteFile(root / "Resource" / "bmp" / "Map1.bmp", "x");
    WriteFile(root / "Map" / "demo.jmap", "y");
    WriteFile(root / "Script" / "对话.jsr", "z");
    plat::PathResolver r(root);
    EXPECT_EQ(r.Resolve("resource\\BMP\\map1.BMP").path, root / "Resource" / "bmp" / "Map1.bmp");
    EXPECT_EQ(r.Resolve("Map\\\\demo.jmap").path, root / "Map" / "demo.jmap");
    EXPECT_EQ(r.Resolve("Map//demo.jmap").path, root / "Map" / "demo.jmap");
    EXPECT_EQ(r.Resolve("./Map/./demo.jmap").path, root / "Map" / "demo.jmap");
    EXPECT_TRUE(r.Exists(G("Script\\对话.jsr")));
    EXPECT_FALSE(r.Exists("Map\\none.jmap"));
    EXPECT_FALSE(r.Exists("Map")); // a folder is no file
    EXPECT_EQ(r.Resolve("Map\\none.jmap").error, plat::PathError::NotFound);
}

TEST(PathResolver, RefusesNamesLeavingTheFolder)
{
    auto root = TempDir("root");
    WriteFile(root / "a.txt", "x");
    WriteFile(root.parent_path() / "outside.txt", "secret");
    plat::PathResolver r(root);
    for (const char* name : {"..\\outside.txt", "Map\\..\\..\\outside.txt", "\\etc\\passwd", "/etc/passwd",
                             "C:\\windows\\win.ini", ".."}) {
        plat::PathError e = plat::PathError::None;
        EXPECT_EQ(r.Open(name, "rb", &e), nullptr) << name;
        EXPECT_EQ(e, plat::PathError::LeavesFolder) << name;
    }
    EXPECT_EQ(r.Resolve("").error, plat::PathError::Empty);
}

TEST(PathResolver, GbkTrailByteBackslashIsNoSeparator)
{
    auto root = TempDir("root");
    // "刽" is D5 5C in GBK: its second byte is a backslash.
    const std::string gbkName = "\xD5\x5C.txt";
    WriteFile(root / plat::GbkToUtf8(gbkName), "x");
    plat::PathResolver r(root);
    EXPECT_TRUE(r.Exists(gbkName));
}

TEST(PathResolver, SeesNewFilesAndKeepsExistingSpellingsOnWrite)
{
    auto root = TempDir("root");
    WriteFile(root / "Save" / "TEV1.jsv", "old");
    plat::PathResolver r(root);
    EXPECT_FALSE(r.Exists("Save\\tev2.jsv"));
    WriteFile(root / "Save" / "tev2.jsv", "new"); // made behind the resolver's back
    EXPECT_TRUE(r.Exists("Save\\TEV2.JSV"));
    FILE* f = r.Open("save\\tev1.jsv", "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("replaced", f);
    std::fclose(f);
    EXPECT_EQ(ReadFile(root / "Save" / "TEV1.jsv"), "replaced");
    EXPECT_FALSE(std::filesystem::exists(root / "Save" / "tev1.jsv"));
    EXPECT_EQ(r.ResolveForWrite("Save\\tev3.jsv").path, root / "Save" / "tev3.jsv");
    EXPECT_EQ(r.ResolveForWrite("NoFolder\\x.jsv").error, plat::PathError::NotFound);
}

TEST(Surface, BlitRefusesRectanglesOutsideAndHonoursTheKey)
{
    plat::Surface src(4, 4), dst(8, 8);
    std::fill(src.px.begin(), src.px.end(), 0x1234);
    src.px[5] = 0x001F;
    src.hasKey = true;
    src.key = 0x001F;
    EXPECT_EQ(plat::Blit(&dst, {6, 6, 10, 10}, &src, {0, 0, 4, 4}, false), plat::kErrInvalidRect);
    EXPECT_EQ(plat::Blit(&dst, {0, 0, 4, 4}, &src, {-1, 0, 3, 4}, false), plat::kErrInvalidRect);
    EXPECT_EQ(plat::Blit(&dst, {0, 0, 4, 4}, nullptr, {0, 0, 4, 4}, false), plat::kErrNoObject);
    for (uint16_t p : dst.px)
        EXPECT_EQ(p, 0);
    EXPECT_EQ(plat::Blit(&dst, {2, 2, 6, 6}, &src, {0, 0, 4, 4}, true), plat::kOk);
    EXPECT_EQ(dst.Row(3)[3], 0);      // the keyed pixel stayed
    EXPECT_EQ(dst.Row(2)[2], 0x1234);
    EXPECT_EQ(plat::MakeSurface(0, 5), nullptr);
    EXPECT_EQ(plat::MakeSurface(70000, 70000), nullptr);
    EXPECT_EQ(plat::FillRect(&dst, {-5, -5, 100, 1}, 7), plat::kOk); // clipped
    EXPECT_EQ(dst.Row(0)[7], 7);
}

TEST(Random, ClassicFifteenBitSequence)
{
    plat::GameSrand(1);
    EXPECT_EQ(plat::GameRand(), 41);
    EXPECT_EQ(plat::GameRand(), 18467);
    EXPECT_EQ(plat::GameRand(), 6334);
    plat::GameSrand(1);
    EXPECT_EQ(plat::GameRand(), 41);
}

TEST(Harness, RefusesBadOptions)
{
    const std::vector<std::vector<std::string>> bad = {
        {"--passes"},           {"--passes", "x"},          {"--passes", "-1"},
        {"--dump", "every:0"},  {"--dump", "every:2"},      {"--frobnicate"},
        {"--font", "comic"},    {"--music-length", "title"}, {"--desktop-depth", "0"},
    };
    for (const auto& args : bad) {
        harness::Config cfg;
        std::string error;
        EXPECT_FALSE(harness::ParseArgs(args, &cfg, &error)) << args[0];
        EXPECT_FALSE(error.empty());
    }
    harness::Config cfg;
    std::string error;
    ASSERT_TRUE(harness::ParseArgs({"--root", "/x", "--passes", "7", "--dump", "every:3", "--dump-dir", "/d",
                                    "--hash", "--trace", "state,cursor", "--music-length", "title=3000"},
                                   &cfg, &error))
        << error;
    EXPECT_EQ(cfg.platform.passes, 7);
    EXPECT_EQ(cfg.platform.dumpEvery, 3);
    EXPECT_TRUE(cfg.platform.hash);
    EXPECT_EQ(cfg.platform.trace.count("cursor"), 1u);
    EXPECT_EQ(cfg.platform.musicLength["title"], 3000u);
}

} // namespace
