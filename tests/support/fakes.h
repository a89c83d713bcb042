// Fakes of the swappable platform interfaces, installed for the life of a scope.
#pragma once
#include <string>

#include "platform/clock.h"
#include "platform/screen.h"
#include "platform/sysinfo.h"

namespace testsupport {

class TFakeSystemInfo : public platform::ISystemInfo {
public:
    platform::TOsVersion Version{2, 10, 0, 19045};
    uint32_t SystemLcid = 1033, UserLcid = 1033;
    char Decimal = '.', Time = ':';
    std::string User = "tester";
    platform::TOsVersion OsVersion() override { return Version; }
    uint32_t SystemLocaleId() override { return SystemLcid; }
    uint32_t UserLocaleId() override { return UserLcid; }
    char DecimalSeparator() override { return Decimal; }
    char TimeSeparator() override { return Time; }
    std::string UserName() override { return User; }
};

class TScopedSystemInfo {
public:
    explicit TScopedSystemInfo(platform::ISystemInfo& info) { platform::SetSystemInfo(&info); }
    ~TScopedSystemInfo() { platform::SetSystemInfo(nullptr); }
};

class TFakeClock : public platform::IClock {
public:
    platform::TSystemTime Now{2026, 12, 8, 10, 30, 15, 250, 2};
    uint32_t Tick = 1000;
    int Offset = 60;
    platform::TSystemTime LocalTime() override { return Now; }
    uint32_t TickCount() override { return Tick; }
    int UtcOffsetMinutes() override { return Offset; }
};

class TScopedClock {
public:
    explicit TScopedClock(platform::IClock& clock) { platform::SetClock(&clock); }
    ~TScopedClock() { platform::SetClock(nullptr); }
};

class TFakeScreen : public platform::IScreen {
public:
    int Width = 1920, Height = 1080;
    platform::TForegroundWindow Foreground;
    bool Composition = true;
    int ScreenWidth() override { return Width; }
    int ScreenHeight() override { return Height; }
    platform::TForegroundWindow ForegroundWindow() override { return Foreground; }
    bool IsCompositionEnabled() override { return Composition; }
};

class TScopedScreen {
public:
    explicit TScopedScreen(platform::IScreen& screen) { platform::SetScreen(&screen); }
    ~TScopedScreen() { platform::SetScreen(nullptr); }
};

}  // namespace testsupport
