// Wall clock and tick count, swappable for tests.
#pragma once
#include <cstdint>

namespace platform {

struct TSystemTime {
    int Year = 1899, Month = 12, Day = 30, Hour = 0, Minute = 0, Second = 0, Millisecond = 0;
    int DayOfWeek = 6;  // 0 = Sunday
};

class IClock {
public:
    virtual ~IClock() = default;
    virtual TSystemTime LocalTime() = 0;  // GetLocalTime
    virtual uint32_t TickCount() = 0;     // milliseconds, wraps after 49.7 days
    virtual int UtcOffsetMinutes() = 0;   // local time minus UTC, now
};

IClock& Clock();
void SetClock(IClock* clock);  // nullptr: the real clock again
IClock& RealClock();

void SleepMs(uint32_t ms);
uint64_t MonotonicMs();      // never wraps; for the event loop and measurements
double ProcessCpuSeconds();  // user and system time of this process so far; for measurements

}  // namespace platform
