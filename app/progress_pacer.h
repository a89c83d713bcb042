// The pacing of the download's progress bar: it never jumps, it moves one step per tick towards
// the last reported percentage, and the setup starts only once it has reached 100. Kept apart
// from the window so that every tick's decision can be checked without a screen.
#pragma once
#include <cstdint>

namespace app {

struct TSpeedText {
    int Percent = 0;
    int64_t Speed = 0;  // bytes per second
    int64_t Total = 0;
    int64_t Done = 0;
};

class TProgressPacer {
public:
    enum class TAction { kNone, kLaunch, kFail };
    struct TTick {
        bool StopTimer = false;
        bool Moved = false;  // the bar took a step (the window processes messages then)
        TSpeedText Text;     // what the progress text shows after this tick
        TAction Action = TAction::kNone;
    };

    // A progress notification; true when the timer has to be started now.
    bool Progress(double percentDone, int64_t downloadedSize, uint32_t now);
    // The end of the download: `ok` when it completed and its digest matched. True when the
    // timer has to be started now: a failure before any progress (the target could not even
    // be created) still has to reach the failure branch.
    bool Done(bool ok, uint32_t now);
    // One tick of the 250 ms timer; `total` is the facade's content length.
    TTick Tick(int64_t total, uint32_t now);

    int Position() const { return FPosition; }
    int TargetPosition() const { return FTarget; }
    bool DownloadOk() const { return FOk; }
    bool DownloadFailed() const { return FFailed; }
    bool TimerRunning() const { return FTimer; }

private:
    int FPosition = 0;
    int FTarget = 0;
    uint32_t FLastAdvanceTick = 0;
    int64_t FReceived = 0;
    bool FOk = false, FFailed = false, FTimer = false;
};

// PercentDone taken to the nearest integer, halves to even, kept within 0 … 100.
int RoundPercent(double percentDone);

}  // namespace app
