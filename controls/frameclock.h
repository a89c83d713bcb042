// The animator's frame clock: a thread that only keeps time. Each tick hands the frame step to
// the user-interface thread (posted, never queued twice), waits until it has run, then sleeps
// 1000 / fps ms rounded, so frames come every period plus the frame's own time. While paused
// it looks again every 10 ms. The step never runs after the clock is destroyed.
#pragma once
#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace controls {

class TFrameClock {
public:
    // `step` returns false when it cannot run now (its drawing box is being painted, with a
    // nested message loop); the clock then waits for Resume and hands the step over again.
    explicit TFrameClock(std::function<bool()> step);
    ~TFrameClock();
    TFrameClock(const TFrameClock&) = delete;
    TFrameClock& operator=(const TFrameClock&) = delete;

    void SetRunning(bool on);
    // Hands a refused step over again (on the user-interface thread).
    void Resume();
    bool Running() const { return FShared->Running.load(); }
    void SetFps(uint8_t fps) { FShared->Fps.store(fps); }
    // 1000 / fps rounded to the nearest millisecond (fps 0 counts as 1).
    static uint32_t PeriodMs(uint8_t fps);

private:
    struct TShared {
        std::mutex Lock;
        std::condition_variable Wake;
        std::atomic<bool> Running{false};
        std::atomic<uint8_t> Fps{30};
        bool Terminated = false;
        bool StepPending = false;
        bool Deferred = false;       // UI thread only
        std::function<bool()> Step;  // UI thread only
    };
    static void Loop(std::shared_ptr<TShared> shared);
    static void PostStep(std::shared_ptr<TShared> shared);

    std::shared_ptr<TShared> FShared;
    std::thread FThread;
};

}  // namespace controls
