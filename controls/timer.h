// A timer on the user-interface thread: Interval, Enabled and a tick event.
#pragma once
#include "controls/types.h"
#include "platform/eventloop.h"

namespace controls {

class TTimer : public TObject {
public:
    explicit TTimer(uint32_t intervalMs = 1000) : FInterval(intervalMs) {}
    ~TTimer() override { Stop(); }
    uint32_t Interval() const { return FInterval; }
    void SetInterval(uint32_t ms);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool on);
    TNotifyEvent OnTimer;

private:
    void Start();
    void Stop();
    uint32_t FInterval;
    bool FEnabled = false;
    platform::TimerId FId = 0;
};

}  // namespace controls
