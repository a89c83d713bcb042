#include "controls/frameclock.h"

namespace controls {

TFrameClock::TFrameClock(std::function<bool()> step) : FStep(std::move(step)) {}

TFrameClock::~TFrameClock() {
    StopTimer();
}

void TFrameClock::SetRunning(bool on) {
    if (on == FRunning) return;
    FRunning = on;
    if (on) {
        PostTick();
    } else {
        StopTimer();
        FDeferred = false;
    }
}

void TFrameClock::Resume() {
    if (!FDeferred) return;
    FDeferred = false;
    PostTick();
}

uint32_t TFrameClock::PeriodMs(uint8_t fps) {
    unsigned f = fps ? fps : 1;
    return (1000 + f / 2) / f;
}

void TFrameClock::PostTick() {
    if (FTickPosted) return;  // never handed over twice
    FTickPosted = true;
    FLife.Post([this] {
        FTickPosted = false;
        Tick();
    });
}

void TFrameClock::StopTimer() {
    if (FTimer) platform::TEventLoop::KillTimer(FTimer);
    FTimer = 0;
}

void TFrameClock::Tick() {
    if (!FRunning || FDeferred) return;
    const auto life = FLife.Mark();
    const auto step = FStep;  // the step may destroy the clock, and FStep with it
    if (!step()) {
        if (!life.Revoked()) FDeferred = true;
        return;
    }
    if (life.Revoked() || !FRunning) return;  // freed or switched off by the step
    // The next frame one period from the end of this one.
    const uint32_t period = PeriodMs(FFps);
    if (FTimer && period == FTimerPeriod) {
        platform::TEventLoop::RestartTimer(FTimer);
        return;
    }
    StopTimer();
    FTimerPeriod = period;
    FTimer = platform::TEventLoop::SetTimer(period, FLife.Bind([this] { Tick(); }));
}

}  // namespace controls
