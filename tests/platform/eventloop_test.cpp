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
