// The What's New window's loader thread: reads the history on a thread of its own into a list
// of its own, and hands the finished list to the user-interface thread by a posted message.
// Once it has been asked to stop (at the window's timeout, or when the window goes away), its
// list is never handed over: a late loader's result is dropped, and nothing of the window is
// touched from the thread at any time.
#pragma once
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "locale/history.h"

namespace locale {

class TLoadThreath {
public:
    using TLoadFunction = std::function<THistoryLines()>;
    using TDoneEvent = std::function<void(THistoryLines lines)>;

    // Starts at once. `onDone` runs later on the user-interface thread with the loaded lines,
    // unless Terminate was called first. An error while loading gives an empty list.
    TLoadThreath(TLoadFunction load, TDoneEvent onDone);
    // Asks the thread to stop and waits for it to end; one that does not end within
    // kDestroyWaitMs is let go (it only holds its own state).
    ~TLoadThreath();
    TLoadThreath(const TLoadThreath&) = delete;
    TLoadThreath& operator=(const TLoadThreath&) = delete;

    // Asks the thread to stop: it skips loading if it has not begun, and its result is dropped.
    void Terminate();
    bool Terminated() const;
    bool Finished() const;  // the thread's work has returned
    // Waits up to `timeoutMs` for the thread's work to return; true when it has.
    bool WaitFor(uint32_t timeoutMs) const;

    static constexpr uint32_t kDestroyWaitMs = 5000;

private:
    struct TState {
        mutable std::mutex Lock;
        mutable std::condition_variable Ended;
        bool StopRequested = false;  // written under Lock; read by both threads
        bool Finished = false;
        TDoneEvent OnDone;  // user-interface thread only
    };
    static void Execute(std::shared_ptr<TState> state, TLoadFunction load);

    std::shared_ptr<TState> FState;
    std::thread FThread;
};

}  // namespace locale
