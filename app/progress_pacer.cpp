#include "app/progress_pacer.h"

#include <cmath>

namespace app {

int RoundPercent(double percentDone) {
    if (!(percentDone > 0)) return 0;
    const double r = std::nearbyint(percentDone);  // the default rounding: halves to even
    return r > 100 ? 100 : static_cast<int>(r);
}

bool TProgressPacer::Progress(double percentDone, int64_t downloadedSize, uint32_t now) {
    if (FOk || FFailed) return false;
    FTarget = RoundPercent(percentDone);
    FReceived = downloadedSize;
    if (FTimer) return false;
    FTimer = true;
    FLastAdvanceTick = now;
    return true;
}

bool TProgressPacer::Done(bool ok, uint32_t now) {
    if (ok) {
        FOk = true;
        // A complete, verified file is all of the download, whatever percentage the server's
        // missing size let the statistics reach.
        FTarget = 100;
    } else {
        FFailed = true;
    }
    if (FTimer) return false;
    FTimer = true;
    FLastAdvanceTick = now;
    return true;
}

TProgressPacer::TTick TProgressPacer::Tick(int64_t total, uint32_t now) {
    TTick t;
    if (!FTimer) return t;
    if ((FPosition == 100 && FOk) || FFailed) t.StopTimer = true;
    if (FPosition < FTarget) {
        ++FPosition;
        t.Moved = true;
        const uint32_t elapsed = now - FLastAdvanceTick;
        // One step stands for a hundredth of the file.
        t.Text = {FPosition, elapsed ? total * 10 / static_cast<int64_t>(elapsed) : 0, total,
                  total * FPosition / 100};
        FLastAdvanceTick = now;
    } else {
        t.Text = {FPosition, 0, total, total * FPosition / 100};
    }
    if (FPosition == 100 && FOk) {
        t.StopTimer = true;
        t.Text = {100, 0, total, total};
        t.Action = TAction::kLaunch;
    } else if (FFailed) {
        FPosition = FTarget;
        t.StopTimer = true;
        t.Text = {FTarget, 0, total, FReceived};
        t.Action = TAction::kFail;
    }
    if (t.StopTimer) FTimer = false;
    return t;
}

}  // namespace app
