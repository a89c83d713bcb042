// The What's New loader thread: it hands its own list over by a posted message, never after it
// was asked to stop, survives a failing load, and is waited for when it goes away.
#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "locale/history_loader.h"
#include "platform/clock.h"
#include "platform/eventloop.h"

using namespace locale;

namespace {

// A gate the load function waits at until the test opens it.
class TGate {
public:
    void Wait() {
        std::unique_lock<std::mutex> lock(FLock);
        FCond.wait(lock, [this] { return FOpen; });
    }
    void Open() {
        {
            std::lock_guard<std::mutex> lock(FLock);
            FOpen = true;
        }
        FCond.notify_all();
    }

private:
    std::mutex FLock;
    std::condition_variable FCond;
    bool FOpen = false;
};

TEST(WhatsNewLoader, HandsItsListToTheUserInterfaceThread) {
    const auto uiThread = std::this_thread::get_id();
    std::thread::id loadThread, doneThread;
    THistoryLines got;
    bool done = false;
    TLoadThreath loader(
        [&] {
            loadThread = std::this_thread::get_id();
            return THistoryLines{"V6.4", "+ Faster."};
        },
        [&](THistoryLines lines) {
            doneThread = std::this_thread::get_id();
            got = std::move(lines);
            done = true;
        });
    ASSERT_TRUE(platform::TEventLoop::RunUntil([&] { return done; }, 10000));
    EXPECT_EQ(got, (THistoryLines{"V6.4", "+ Faster."}));
    EXPECT_NE(loadThread, uiThread);
    EXPECT_EQ(doneThread, uiThread);
    EXPECT_TRUE(loader.Finished());
    EXPECT_FALSE(loader.Terminated());
}

TEST(WhatsNewLoader, AStoppedLoaderNeverHandsItsListOver) {
    TGate gate;
    std::atomic<bool> started{false}, loaded{false};
    int calls = 0;
    TLoadThreath loader(
        [&] {
            started = true;
            gate.Wait();
            loaded = true;
            return THistoryLines{"V6.4", "+ Late."};
        },
        [&](THistoryLines) { ++calls; });
    while (!started) platform::SleepMs(1);
    loader.Terminate();  // the window's timeout, while the load runs
    EXPECT_TRUE(loader.Terminated());
    EXPECT_FALSE(loader.WaitFor(50));
    gate.Open();
    ASSERT_TRUE(loader.WaitFor(10000));
    EXPECT_TRUE(loaded);
    // Whatever was posted is handled now: nothing arrives.
    platform::TEventLoop::RunUntil([] { return false; }, 200);
    EXPECT_EQ(calls, 0);
}

TEST(WhatsNewLoader, StoppedAtOnceItNeverDelivers) {
    // Stopped before or while it loads, whichever the threads make of it: nothing arrives.
    int calls = 0;
    for (int i = 0; i < 20; ++i) {
        TLoadThreath loader([] { return THistoryLines{"V6.4"}; }, [&](THistoryLines) { ++calls; });
        loader.Terminate();
        EXPECT_TRUE(loader.WaitFor(10000));
    }
    platform::TEventLoop::RunUntil([] { return false; }, 100);
    EXPECT_EQ(calls, 0);
}

TEST(WhatsNewLoader, AFailingLoadEndsWithAnEmptyList) {
    bool done = false;
    THistoryLines got{"untouched"};
    TLoadThreath loader([]() -> THistoryLines { throw std::runtime_error("unreadable"); },
                        [&](THistoryLines lines) {
                            got = std::move(lines);
                            done = true;
                        });
    ASSERT_TRUE(platform::TEventLoop::RunUntil([&] { return done; }, 10000));
    EXPECT_TRUE(got.empty());
}

TEST(WhatsNewLoader, GoingAwayWaitsForTheThreadAndDropsItsList) {
    std::atomic<bool> started{false}, returned{false};
    int calls = 0;
    {
        TLoadThreath loader(
            [&] {
                started = true;
                platform::SleepMs(200);
                returned = true;
                return THistoryLines{"V6.4"};
            },
            [&](THistoryLines) { ++calls; });
        while (!started) platform::SleepMs(1);
    }
    EXPECT_TRUE(returned);  // the destructor waited for the load to return
    platform::TEventLoop::RunUntil([] { return false; }, 100);
    EXPECT_EQ(calls, 0);
}

}  // namespace
