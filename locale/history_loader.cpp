#include "locale/history_loader.h"

#include <chrono>

#include "platform/eventloop.h"

namespace locale {

TLoadThreath::TLoadThreath(TLoadFunction load, TDoneEvent onDone)
    : FState(std::make_shared<TState>()) {
    FState->OnDone = std::move(onDone);
    FThread = std::thread(Execute, FState, std::move(load));
}

TLoadThreath::~TLoadThreath() {
    Terminate();
    if (!FThread.joinable()) return;
    if (WaitFor(kDestroyWaitMs))
        FThread.join();
    else
        FThread.detach();  // it owns nothing but its shared state
}

void TLoadThreath::Execute(std::shared_ptr<TState> state, TLoadFunction load) {
    bool skip;
    {
        std::lock_guard<std::mutex> lock(state->Lock);
        skip = state->StopRequested;
    }
    THistoryLines lines;
    if (!skip && load) {
        try {
            lines = load();
        } catch (...) {
            lines.clear();  // a failed load simply ends; the end handler still runs
        }
    }
    {
        std::lock_guard<std::mutex> lock(state->Lock);
        state->Finished = true;
    }
    state->Ended.notify_all();
    platform::TEventLoop::Post([state, lines = std::move(lines)]() mutable {
        // On the user-interface thread, where Terminate is called too: a stop requested
        // before this runs means the window no longer wants the list (or is gone).
        bool stopped;
        {
            std::lock_guard<std::mutex> lock(state->Lock);
            stopped = state->StopRequested;
        }
        if (stopped || !state->OnDone) return;
        TDoneEvent done = state->OnDone;
        done(std::move(lines));
    });
}

void TLoadThreath::Terminate() {
    std::lock_guard<std::mutex> lock(FState->Lock);
    FState->StopRequested = true;
}

bool TLoadThreath::Terminated() const {
    std::lock_guard<std::mutex> lock(FState->Lock);
    return FState->StopRequested;
}

bool TLoadThreath::Finished() const {
    std::lock_guard<std::mutex> lock(FState->Lock);
    return FState->Finished;
}

bool TLoadThreath::WaitFor(uint32_t timeoutMs) const {
    std::unique_lock<std::mutex> lock(FState->Lock);
    return FState->Ended.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                  [this] { return FState->Finished; });
}

}  // namespace locale
