#include "controls/frameclock.h"

#include "platform/eventloop.h"

namespace controls {

TFrameClock::TFrameClock(std::function<bool()> step) : FShared(std::make_shared<TShared>()) {
    FShared->Step = std::move(step);
    FThread = std::thread(Loop, FShared);
}

TFrameClock::~TFrameClock() {
    {
        std::lock_guard<std::mutex> g(FShared->Lock);
        FShared->Terminated = true;
        FShared->Step = nullptr;  // a step already posted finds nothing to run
    }
    FShared->Wake.notify_all();
    FThread.join();
}

void TFrameClock::SetRunning(bool on) {
    FShared->Running.store(on);
    FShared->Wake.notify_all();
}

void TFrameClock::PostStep(std::shared_ptr<TShared> s) {
    platform::TEventLoop::Post([s] {
        std::function<bool()> step;
        {
            std::lock_guard<std::mutex> g(s->Lock);
            if (!s->Terminated && s->Running.load()) step = s->Step;
        }
        // Run outside the lock: the step may switch the animation off or on.
        if (step && !step()) {
            s->Deferred = true;  // still pending: Resume posts it again
            return;
        }
        {
            std::lock_guard<std::mutex> g(s->Lock);
            s->StepPending = false;
        }
        s->Wake.notify_all();
    });
}

void TFrameClock::Resume() {
    if (!FShared->Deferred) return;
    FShared->Deferred = false;
    PostStep(FShared);
}

uint32_t TFrameClock::PeriodMs(uint8_t fps) {
    unsigned f = fps ? fps : 1;
    return (1000 + f / 2) / f;
}

void TFrameClock::Loop(std::shared_ptr<TShared> s) {
    std::unique_lock<std::mutex> lock(s->Lock);
    while (!s->Terminated) {
        if (!s->Running.load()) {
            s->Wake.wait_for(lock, std::chrono::milliseconds(10));
            continue;
        }
        if (!s->StepPending) {
            s->StepPending = true;
            PostStep(s);
        }
        // Wait for the step to be done (or the animation to stop, or the end).
        s->Wake.wait(lock, [&] { return !s->StepPending || s->Terminated || !s->Running.load(); });
        if (s->Terminated || !s->Running.load()) continue;
        auto period = std::chrono::milliseconds(PeriodMs(s->Fps.load()));
        s->Wake.wait_for(lock, period, [&] { return s->Terminated; });
    }
}

}  // namespace controls
