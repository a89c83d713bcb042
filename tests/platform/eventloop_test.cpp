#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "platform/clock.h"
#include "platform/eventloop.h"

using platform::TEventLoop;

namespace {

TEST(EventLoop, PostsFromOtherThreadsRunOnTheLoopThreadInOrder) {
    const auto loopThread = std::this_thread::get_id();
    std::vector<int> seen;
    std::atomic<bool> wrongThread{false};
    TEventLoop::ProcessMessages();  // the loop belongs to this thread from here on
    std::thread t([&] {
        for (int i = 0; i < 100; ++i)
            TEventLoop::Post([&, i] {
                if (std::this_thread::get_id() != loopThread) wrongThread = true;
                seen.push_back(i);
            });
    });
    t.join();
    ASSERT_TRUE(TEventLoop::RunUntil([&] { return seen.size() == 100; }, 5000));
    EXPECT_FALSE(wrongThread);
    for (int i = 0; i < 100; ++i) EXPECT_EQ(seen[i], i);
}

TEST(EventLoop, TimerTicksPeriodicallyUntilKilledEvenFromItsOwnTick) {
    int ticks = 0;
    platform::TimerId id = 0;
    id = TEventLoop::SetTimer(10, [&] {
        if (++ticks == 3) TEventLoop::KillTimer(id);
    });
    const uint64_t start = platform::MonotonicMs();
    EXPECT_TRUE(TEventLoop::RunUntil([&] { return ticks == 3; }, 5000));
    EXPECT_GE(platform::MonotonicMs() - start, 20u);  // three ticks need two full intervals
    TEventLoop::RunUntil([] { return false; }, 60);
    EXPECT_EQ(ticks, 3);
    TEventLoop::KillTimer(id);  // already gone: harmless
}

TEST(EventLoop, RestartingATimerFromItsTickCountsTheIntervalFromTheTicksEnd) {
    // Each tick works 30 ms and then restarts its 40 ms timer: ticks come 70 ms apart or more,
    // where a plain periodic timer would tick again 40 ms after the last one began.
    std::vector<uint64_t> starts;
    platform::TimerId id = 0;
    id = TEventLoop::SetTimer(40, [&] {
        starts.push_back(platform::MonotonicMs());
        platform::SleepMs(30);
        TEventLoop::RestartTimer(id);
    });
    ASSERT_TRUE(TEventLoop::RunUntil([&] { return starts.size() >= 5; }, 5000));
    TEventLoop::KillTimer(id);
    for (size_t i = 1; i < starts.size(); ++i) EXPECT_GE(starts[i] - starts[i - 1], 69u) << i;
    TEventLoop::RestartTimer(id);  // gone: nothing comes back
    const size_t seen = starts.size();
    TEventLoop::RunUntil([] { return false; }, 120);
    EXPECT_EQ(starts.size(), seen);
}

TEST(EventLoop, RestartingATimerFromOutsidePutsItsNextTickOff) {
    // Restarted every 30 ms, a 600 ms timer does not come due in twice its interval; left
    // alone, it ticks.
    int ticks = 0;
    const platform::TimerId id = TEventLoop::SetTimer(600, [&] { ++ticks; });
    const platform::TimerId pusher =
        TEventLoop::SetTimer(30, [&] { TEventLoop::RestartTimer(id); });
    TEventLoop::RunUntil([] { return false; }, 1200);
    TEventLoop::KillTimer(pusher);
    EXPECT_EQ(ticks, 0);
    EXPECT_TRUE(TEventLoop::RunUntil([&] { return ticks > 0; }, 3000));
    TEventLoop::KillTimer(id);
}

TEST(EventLoop, NestedProcessingRunsOtherWorkButNotTheSameTickTwice) {
    int outer = 0, other = 0, nestedTicks = 0;
    platform::TimerId slow = 0, fast = 0;
    slow = TEventLoop::SetTimer(5, [&] {
        ++outer;
        if (outer == 1) {
            // Like the downloader's restart pause: pump messages inside a handler.
            const uint64_t until = platform::MonotonicMs() + 60;
            while (platform::MonotonicMs() < until) {
                TEventLoop::ProcessMessages();
                platform::SleepMs(2);
            }
            nestedTicks = outer;
        }
    });
    fast = TEventLoop::SetTimer(5, [&] { ++other; });
    EXPECT_TRUE(TEventLoop::RunUntil([&] { return outer >= 2; }, 5000));
    TEventLoop::KillTimer(slow);
    TEventLoop::KillTimer(fast);
    EXPECT_EQ(nestedTicks, 1) << "the running tick re-entered itself";
    EXPECT_GT(other, 2) << "other timers must run while a handler pumps messages";
}

TEST(EventLoop, QuitEndsRunAndQuitBeforeRunReturnsAtOnce) {
    TEventLoop::Post([] { TEventLoop::Quit(); });
    TEventLoop::Run();
    std::thread t([] {
        platform::SleepMs(20);
        TEventLoop::Quit();
    });
    const uint64_t start = platform::MonotonicMs();
    TEventLoop::Run();
    t.join();
    EXPECT_LT(platform::MonotonicMs() - start, 5000u);
    TEventLoop::Quit();
    TEventLoop::Run();  // returns at once
}

TEST(EventLoop, RunUntilGivesUpAfterTheTimeout) {
    const uint64_t start = platform::MonotonicMs();
    EXPECT_FALSE(TEventLoop::RunUntil([] { return false; }, 100));
    const uint64_t took = platform::MonotonicMs() - start;
    EXPECT_GE(took, 100u);
    EXPECT_LT(took, 3000u);
}

}  // namespace
