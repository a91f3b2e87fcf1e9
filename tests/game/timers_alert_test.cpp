// Timers, failure reports and debug lines.
#include <gtest/gtest.h>

#include "app/globals.h"
#include "app/winmain.h"
#include "core/alert.h"
#include "test_support.h"

using tevtest::G;
using tevtest::InstallHeadless;

namespace {

plat::headless::HeadlessPlatform& Clocked(uint32_t start)
{
    plat::headless::Options o;
    o.startTick = start;
    return InstallHeadless(o);
}

TEST(IntervalElapsed, StartZeroFiresAtOnceThenArms)
{
    auto& p = Clocked(100000);
    int32_t start = 0, armed = 0;
    EXPECT_EQ(IntervalElapsed(&start, &armed, 100), 1);
    EXPECT_EQ(start, 1);
    EXPECT_EQ(armed, 0); // fired without arming
    EXPECT_EQ(IntervalElapsed(&start, &armed, 100), 0);
    EXPECT_EQ(armed, 1);
    EXPECT_EQ(start, 100000);
    p.fakeClock().Advance(99);
    EXPECT_EQ(IntervalElapsed(&start, &armed, 100), 0);
    p.fakeClock().Advance(1);
    EXPECT_EQ(IntervalElapsed(&start, &armed, 100), 1);
    EXPECT_EQ(IntervalElapsed(&start, &armed, 100), 1); // until re-armed
    armed = 0;
    EXPECT_EQ(IntervalElapsed(&start, &armed, 100), 0);

    int32_t s2 = 0, a2 = 0;
    EXPECT_EQ(IntervalElapsed(&s2, &a2, 0), 1);
    EXPECT_EQ(IntervalElapsed(&s2, &a2, 0), 1); // interval 0: fires on arming
}

TEST(IntervalElapsed, DisabledNeverFiresNorTouchesStart)
{
    auto& p = Clocked(100000);
    int32_t start = 0, armed = -1;
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(IntervalElapsed(&start, &armed, 10), 0);
        p.fakeClock().Advance(1000);
    }
    EXPECT_EQ(start, 0);
}

TEST(IntervalElapsed, StartOneWaitsAFullInterval)
{
    auto& p = Clocked(100000);
    int32_t start = 1, armed = 0;
    EXPECT_EQ(IntervalElapsed(&start, &armed, 500), 0);
    p.fakeClock().Advance(500);
    EXPECT_EQ(IntervalElapsed(&start, &armed, 500), 1);
}

TEST(IntervalElapsed, FiresAcrossTheTickWrap)
{
    auto& p = Clocked(0xFFFFFF00u);
    int32_t start = static_cast<int32_t>(0xFFFFFF00u), armed = 1;
    EXPECT_EQ(IntervalElapsed(&start, &armed, 0x200), 0);
    p.fakeClock().Advance(0x1FF); // now 0xFF: not yet
    EXPECT_EQ(IntervalElapsed(&start, &armed, 0x200), 0);
    p.fakeClock().Advance(1); // now 0x100
    EXPECT_EQ(IntervalElapsed(&start, &armed, 0x200), 1);
}

TEST(Alert, TracesShowNothing)
{
    auto& p = InstallHeadless();
    Alert("~sound");
    AlertStr("~map");
    EXPECT_TRUE(p.recordingDialogs().boxes.empty());
    EXPECT_TRUE(p.recordingDialogs().debugLines.empty());
}

TEST(Alert, OneBoxPerTextButEveryReportIsWritten)
{
    auto& p = InstallHeadless();
    const std::string text = G("x失败！");
    Alert(text.c_str());
    ASSERT_EQ(p.recordingDialogs().boxes.size(), 1u);
    EXPECT_EQ(p.recordingDialogs().boxes[0].captionUtf8, "");
    EXPECT_EQ(p.recordingDialogs().boxes[0].textUtf8, "x失败！");
    EXPECT_EQ(p.recordingDialogs().debugLines.size(), 1u);
    for (int i = 0; i < 100; ++i)
        AlertStr(text); // a report raised every frame
    EXPECT_EQ(p.recordingDialogs().boxes.size(), 1u);
    EXPECT_EQ(p.recordingDialogs().debugLines.size(), 101u);
    AlertInt(-1);
    ASSERT_EQ(p.recordingDialogs().boxes.size(), 2u);
    EXPECT_EQ(p.recordingDialogs().boxes[1].textUtf8, "-1");
}

TEST(Alert, ABoxTakesTheFocusOnceInputIsUp)
{
    auto& p = InstallHeadless();
    Alert("before input"); // no focus dance before input exists
    EXPECT_EQ(g_Control.suspended, 0);
    g_Control.InitInput();
    ASSERT_EQ(g_Control.suspended, 0);
    Alert("with input");
    // Deactivated (music paused) around the box, then active again.
    const auto& d = p.recordingDialogs().debugLines;
    ASSERT_GE(d.size(), 4u);
    EXPECT_EQ(d[1], "with input");
    EXPECT_EQ(d[2], "跳到桌面 ");
    EXPECT_EQ(d[3], "跳入游戏 ");
    EXPECT_EQ(g_Control.suspended, 0);
    // A repeat shows no box, so no focus change either.
    Alert("with input");
    EXPECT_EQ(d.size(), 5u);
}

TEST(DebugLines, OutOfRangeLinesAreIgnored)
{
    InstallHeadless();
    g_DebugLines.assign(20, "");
    SetDebugLineNum(5, 20);
    SetDebugLineNum(5, -1);
    for (const auto& l : g_DebugLines)
        EXPECT_EQ(l, "");
    SetDebugLineNum(-42, 19);
    SetDebugLineStr("abc", 0);
    EXPECT_EQ(g_DebugLines[19], "-42");
    EXPECT_EQ(g_DebugLines[0], "abc");
}

} // namespace
