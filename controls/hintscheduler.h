// Shows a hint 500 ms after it was asked for (unless another request came first) and hides it
// 2500 ms later; a hide request hides a shown hint at once and cancels a pending one. Runs on
// the user-interface thread's timers.
#pragma once
#include <string>

#include "controls/hintwindow.h"
#include "platform/eventloop.h"

namespace controls {

class THintScheduler {
public:
    static constexpr uint32_t kShowDelayMs = 500;
    static constexpr uint32_t kHideAfterMs = 2500;
    static constexpr int kMaxWidth = 320;
    static constexpr int kBelowMouse = 20;

    ~THintScheduler() { Cancel(); }
    // (screenX, screenY) is the mouse position; the hint goes 20 pixels below it.
    void RequestShow(const std::string& text, int screenX, int screenY);
    void RequestHide();
    THintWindow& Window() { return FWindow; }
    bool Pending() const { return FTimer != 0 && !FWindow.Showing(); }

private:
    void Cancel();
    THintWindow FWindow;
    platform::TimerId FTimer = 0;
};

}  // namespace controls
