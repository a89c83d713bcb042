#include "controls/timer.h"

namespace controls {

void TTimer::SetInterval(uint32_t ms) {
    if (ms == FInterval) return;
    FInterval = ms;
    if (FEnabled) {
        Stop();
        Start();
    }
}

void TTimer::SetEnabled(bool on) {
    if (on == FEnabled) return;
    FEnabled = on;
    if (on)
        Start();
    else
        Stop();
}

void TTimer::Start() {
    if (FInterval == 0 || FId) return;
    FId = platform::TEventLoop::SetTimer(FInterval, [this] { Fire(OnTimer, *this); });
}

void TTimer::Stop() {
    if (FId) platform::TEventLoop::KillTimer(FId);
    FId = 0;
}

}  // namespace controls
