// The frame clock: rate, pauses, the frame step on the user-interface thread, never inside a
// paint, and destruction while frames are due.
#include <gtest/gtest.h>

#include <thread>

#include "controls/animator.h"
#include "controls/form.h"
#include "controls/frameclock.h"
#include "controls/paintbox.h"
#include "platform/clock.h"
#include "platform/eventloop.h"

using namespace controls;

TEST(AnimatorFrames, PeriodIsRoundedMilliseconds) {
    EXPECT_EQ(TFrameClock::PeriodMs(30), 33u);
    EXPECT_EQ(TFrameClock::PeriodMs(60), 17u);  // 16.67
    EXPECT_EQ(TFrameClock::PeriodMs(1), 1000u);
    EXPECT_EQ(TFrameClock::PeriodMs(0), 1000u);
    EXPECT_EQ(TFrameClock::PeriodMs(255), 4u);
}

TEST(AnimatorFrames, ThirtyFramesASecondPlusTheFramesOwnTimeAndNoneWhileOff) {
    platform::TEventLoop::ProcessMessages();
    TRdAnimator anim;
    std::vector<uint64_t> starts;
    std::thread::id ui = std::this_thread::get_id();
    bool wrongThread = false;
    anim.OnAnimating = [&](TObject&) {
        starts.push_back(platform::MonotonicMs());
        if (std::this_thread::get_id() != ui) wrongThread = true;
    };
    anim.OnAnimated = [&](TObject&) { platform::SleepMs(5); };  // the frame's own time
    anim.SetAnimate(true);
    ASSERT_TRUE(platform::TEventLoop::RunUntil([&] { return starts.size() >= 12; }, 5000));
    anim.SetAnimate(false);
    EXPECT_FALSE(wrongThread);
    // Gaps are the period plus the frame: at least 33 + 5 ms; the mean stays near it.
    for (size_t i = 1; i < starts.size(); ++i) EXPECT_GE(starts[i] - starts[i - 1], 37u) << i;
    double mean = double(starts.back() - starts.front()) / double(starts.size() - 1);
    EXPECT_LT(mean, 38 + 40);  // generous for a loaded machine
    size_t count = starts.size();
    platform::TEventLoop::RunUntil([] { return false; }, 300);
    EXPECT_LE(starts.size(), count + 1);  // at most the one already handed over
    size_t after = starts.size();
    platform::TEventLoop::RunUntil([] { return false; }, 200);
    EXPECT_EQ(starts.size(), after);
    anim.SetAnimate(true);  // resumes
    ASSERT_TRUE(platform::TEventLoop::RunUntil([&] { return starts.size() >= after + 3; }, 3000));
}

TEST(AnimatorFrames, FrameStepRepaintsButNeverRunsInsideAPaint) {
    TForm form(200, 100);
    TPaintBox box;
    box.SetParent(&form);
    box.SetBounds(0, 0, 200, 100);
    TRdAnimator anim;
    anim.SetDrawBox(&box);
    TRdAniLayer& l = anim.Layers().Add();
    l.SetImage(platform::TImage(10, 10, 0xFFFFFFFF));
    bool painting = false, overlap = false;
    int frames = 0, paints = 0;
    box.OnPaint = [&](TControl&, platform::TCanvas&) {
        painting = true;
        ++paints;
        platform::TEventLoop::ProcessMessages();  // a nested loop inside a paint
        painting = false;
    };
    anim.OnAnimated = [&](TObject&) {
        if (painting) overlap = true;
        ++frames;
        l.SetImageLeft(frames);  // changed in the frame event: no repaint request of its own
        EXPECT_TRUE(anim.InFrameEvent());
    };
    // Painting happens when the form has a window; here we paint by hand on every loop turn.
    platform::TImage target(200, 100);
    auto canvas = platform::CreateImageCanvas(target);
    anim.SetAnimate(true);
    platform::TEventLoop::RunUntil(
        [&] {
            form.PaintTo(*canvas);
            return frames >= 10;
        },
        5000);
    anim.SetAnimate(false);
    EXPECT_GE(frames, 10);
    EXPECT_GT(paints, 0);
    EXPECT_FALSE(overlap);
}

TEST(AnimatorFrames, DestroyingWhileAFrameIsDueRunsNoMoreSteps) {
    int frames = 0;
    {
        TRdAnimator anim;
        anim.OnAnimating = [&](TObject&) { ++frames; };
        anim.SetAnimate(true);
        platform::TEventLoop::RunUntil([&] { return frames >= 2; }, 3000);
        platform::SleepMs(60);  // a step is posted but not yet run
    }
    int seen = frames;
    platform::TEventLoop::RunUntil([] { return false; }, 150);
    EXPECT_EQ(frames, seen);
}

TEST(AnimatorFrames, SwitchingOffInsideTheFrameStopsTheClock) {
    TRdAnimator anim;
    int frames = 0;
    anim.OnAnimated = [&](TObject&) {
        if (++frames == 3) anim.SetAnimate(false);
    };
    anim.SetAnimate(true);
    platform::TEventLoop::RunUntil([] { return false; }, 400);
    EXPECT_EQ(frames, 3);
}

TEST(AnimatorFrames, AFrameEventMayFreeTheAnimator) {
    auto anim = std::make_unique<TRdAnimator>();
    int frames = 0;
    anim->OnAnimating = [&](TObject&) {
        ++frames;
        anim.reset();  // the owner closes the window from its frame handler
    };
    anim->SetAnimate(true);
    ASSERT_TRUE(platform::TEventLoop::RunUntil([&] { return !anim; }, 3000));
    platform::TEventLoop::RunUntil([] { return false; }, 150);
    EXPECT_EQ(frames, 1);
}

TEST(AnimatorFrames, ARefusedStepWaitsForResumeAndThenComesAtOnce) {
    // At 5 frames a second: the second step is refused (a paint is on); the clock's later
    // ticks do not try again, and Resume hands the step over without waiting a period.
    std::vector<uint64_t> calls;
    TFrameClock clock([&] {
        calls.push_back(platform::MonotonicMs());
        return calls.size() != 2;
    });
    clock.SetFps(5);
    clock.SetRunning(true);
    ASSERT_TRUE(platform::TEventLoop::RunUntil([&] { return calls.size() >= 2; }, 3000));
    platform::TEventLoop::RunUntil([] { return false; }, 700);
    EXPECT_EQ(calls.size(), 2u);
    const uint64_t resumed = platform::MonotonicMs();
    clock.Resume();
    clock.Resume();  // one refused step, handed over once
    ASSERT_TRUE(platform::TEventLoop::RunUntil([&] { return calls.size() >= 3; }, 3000));
    EXPECT_LT(calls[2] - resumed, 150u);
    ASSERT_TRUE(platform::TEventLoop::RunUntil([&] { return calls.size() >= 4; }, 3000));
    EXPECT_GE(calls[3] - calls[2], 199u);  // then the period again
    clock.SetRunning(false);
}

TEST(AnimatorFrames, SwitchingOnAndOffBeforeTheLoopTurnsHandsOverOneStep) {
    int steps = 0;
    TFrameClock clock([&] { return ++steps, true; });
    clock.SetFps(5);
    clock.SetRunning(true);
    clock.SetRunning(false);
    clock.SetRunning(true);
    clock.SetRunning(false);
    clock.SetRunning(true);
    platform::TEventLoop::RunUntil([] { return false; }, 120);
    EXPECT_EQ(steps, 1);
    clock.SetRunning(false);
    clock.Resume();  // nothing was refused: no step
    platform::TEventLoop::RunUntil([] { return false; }, 300);
    EXPECT_EQ(steps, 1);
}
