#include "controls/hintscheduler.h"

namespace controls {

void THintScheduler::Cancel() {
    if (FTimer) platform::TEventLoop::KillTimer(FTimer);
    FTimer = 0;
}

void THintScheduler::RequestShow(const std::string& text, int screenX, int screenY) {
    Cancel();
    FWindow.HideHint();
    FTimer = platform::TEventLoop::SetTimer(kShowDelayMs, [this, text, screenX, screenY] {
        Cancel();
        FWindow.ShowAt(text, screenX, screenY + kBelowMouse, kMaxWidth);
        FTimer = platform::TEventLoop::SetTimer(kHideAfterMs, [this] {
            Cancel();
            FWindow.HideHint();
        });
    });
}

void THintScheduler::RequestHide() {
    Cancel();
    FWindow.HideHint();
}

}  // namespace controls
