#include "app/progress_pacer.h"

#include <gtest/gtest.h>

using namespace app;
using TAction = TProgressPacer::TAction;

namespace {

// Ticks every 250 ms until an action or the limit; returns the tick count.
int RunTicks(TProgressPacer& p, int64_t total, uint32_t& now, TProgressPacer::TTick& last,
             int limit = 1000) {
    for (int i = 1; i <= limit; ++i) {
        now += 250;
        last = p.Tick(total, now);
        if (last.Action != TAction::kNone) return i;
    }
    return -1;
}

TEST(Pacer, RoundingHalvesToEven) {
    EXPECT_EQ(RoundPercent(0), 0);
    EXPECT_EQ(RoundPercent(0.5), 0);
    EXPECT_EQ(RoundPercent(1.5), 2);
    EXPECT_EQ(RoundPercent(2.5), 2);
    EXPECT_EQ(RoundPercent(99.5), 100);
    EXPECT_EQ(RoundPercent(-3), 0);
    EXPECT_EQ(RoundPercent(250), 100);
}

TEST(Pacer, FastDownloadStillFillsOneStepPerTick) {
    TProgressPacer p;
    uint32_t now = 1000;
    EXPECT_TRUE(p.Progress(100, 5000, now));   // starts the timer
    EXPECT_FALSE(p.Progress(100, 5000, now));  // already running
    EXPECT_FALSE(p.Done(true, now));
    TProgressPacer::TTick last;
    const int ticks = RunTicks(p, 5000, now, last);
    EXPECT_EQ(ticks, 100);  // 25 seconds at 250 ms
    EXPECT_EQ(last.Action, TAction::kLaunch);
    EXPECT_TRUE(last.StopTimer);
    EXPECT_EQ(last.Text.Percent, 100);
    EXPECT_EQ(last.Text.Done, 5000);
    EXPECT_FALSE(p.TimerRunning());
}

TEST(Pacer, BarMovesOnlyTowardsTheReportedPercentage) {
    TProgressPacer p;
    uint32_t now = 0;
    p.Progress(3.4, 340, now);
    auto t = p.Tick(10000, now += 250);
    EXPECT_TRUE(t.Moved);
    EXPECT_EQ(t.Text.Percent, 1);
    EXPECT_EQ(t.Text.Done, 100);
    EXPECT_EQ(t.Text.Speed, 10000 * 10 / 250);  // a hundredth of the file in 250 ms
    p.Tick(10000, now += 250);
    p.Tick(10000, now += 250);
    t = p.Tick(10000, now += 250);  // target 3 reached: the bar waits
    EXPECT_FALSE(t.Moved);
    EXPECT_EQ(t.Text.Percent, 3);
    EXPECT_EQ(t.Text.Speed, 0);
    EXPECT_EQ(t.Action, TAction::kNone);
    EXPECT_FALSE(t.StopTimer);
}

TEST(Pacer, CompleteVerifiedDownloadWithoutASizeStillReachesTheLaunch) {
    TProgressPacer p;
    uint32_t now = 0;
    p.Progress(0, 0, now);  // the server announced no size: always 0 %
    p.Progress(0, 123456, now);
    p.Done(true, now);
    TProgressPacer::TTick last;
    EXPECT_EQ(RunTicks(p, -1, now, last), 100);
    EXPECT_EQ(last.Action, TAction::kLaunch);
}

TEST(Pacer, FailureBeforeAnyProgressShowsTheFailureBranch) {
    TProgressPacer p;
    uint32_t now = 0;
    EXPECT_TRUE(p.Done(false, now));  // the target file could not be created
    auto t = p.Tick(0, now += 250);
    EXPECT_EQ(t.Action, TAction::kFail);
    EXPECT_TRUE(t.StopTimer);
    EXPECT_EQ(t.Text.Percent, 0);
    EXPECT_EQ(t.Text.Done, 0);
    EXPECT_FALSE(p.Progress(50, 10, now));  // ignored once the download ended
}

TEST(Pacer, FailureMidwayJumpsToTheTargetAndShowsReceivedBytes) {
    TProgressPacer p;
    uint32_t now = 0;
    p.Progress(40, 4000, now);
    for (int i = 0; i < 10; ++i) p.Tick(10000, now += 250);
    EXPECT_EQ(p.Position(), 10);
    p.Done(false, now);
    auto t = p.Tick(10000, now += 250);
    EXPECT_EQ(t.Action, TAction::kFail);
    EXPECT_EQ(p.Position(), 40);
    EXPECT_EQ(t.Text.Percent, 40);
    EXPECT_EQ(t.Text.Done, 4000);
    EXPECT_EQ(p.Tick(10000, now += 250).Action, TAction::kNone);  // the timer is off
}

TEST(Pacer, DigestMismatchIsAFailureEvenAtOneHundredPercent) {
    TProgressPacer p;
    uint32_t now = 0;
    p.Progress(100, 100, now);
    p.Done(false, now);
    TProgressPacer::TTick last;
    EXPECT_EQ(RunTicks(p, 100, now, last), 1);
    EXPECT_EQ(last.Action, TAction::kFail);
}

}  // namespace
