// The animator's frame clock: a timer of the user-interface thread's own loop that runs the
// frame step there and then counts 1000 / fps ms rounded from the step's end, so frames come
// every period plus the frame's own time. It wakes the thread once a frame and not at all
// while the animation is off: a clock on a thread of its own cost two more thread switches a
// frame (hand the step over, hear it was done), which under Wine are server round trips.
// User-interface thread only. The step never runs after the clock is destroyed.
#pragma once
#include <cstdint>
#include <functional>

#include "platform/eventloop.h"
#include "platform/eventloop_scope.h"

namespace controls {

class TFrameClock {
public:
    // `step` returns false when it cannot run now (its drawing box is being painted, with a
    // nested message loop); the clock then waits for Resume and hands the step over again.
    explicit TFrameClock(std::function<bool()> step);
    ~TFrameClock();
    TFrameClock(const TFrameClock&) = delete;
    TFrameClock& operator=(const TFrameClock&) = delete;

    // Switched on, the first step comes as soon as the loop is free.
    void SetRunning(bool on);
    // Hands a refused step over again.
    void Resume();
    bool Running() const { return FRunning; }
    void SetFps(uint8_t fps) { FFps = fps; }
    // 1000 / fps rounded to the nearest millisecond (fps 0 counts as 1).
    static uint32_t PeriodMs(uint8_t fps);

private:
    void Tick();
    void PostTick();
    void StopTimer();

    std::function<bool()> FStep;
    bool FRunning = false;
    bool FDeferred = false;    // the step was refused; Resume hands it over again
    bool FTickPosted = false;  // a step handed to the loop and not yet run
    uint8_t FFps = 30;
    platform::TimerId FTimer = 0;
    uint32_t FTimerPeriod = 0;
    // The step may destroy the clock (a frame event frees the animator).
    platform::TLoopScope FLife;
};

}  // namespace controls
