// The process-wide current instances of the swappable platform interfaces.
#include <atomic>

#include "platform/clock.h"
#include "platform/internet.h"
#include "platform/process.h"
#include "platform/registry.h"
#include "platform/screen.h"
#include "platform/sysinfo.h"

namespace platform {

namespace {
std::atomic<ISystemInfo*> gSystemInfo{nullptr};
std::atomic<IClock*> gClock{nullptr};
std::atomic<IRegistry*> gRegistry{nullptr};
std::atomic<ILauncher*> gLauncher{nullptr};
std::atomic<IScreen*> gScreen{nullptr};
std::atomic<IInternet*> gInternet{nullptr};
}  // namespace

ISystemInfo& SystemInfo() {
    ISystemInfo* p = gSystemInfo.load();
    return p ? *p : RealSystemInfo();
}
void SetSystemInfo(ISystemInfo* info) {
    gSystemInfo.store(info);
}

IClock& Clock() {
    IClock* p = gClock.load();
    return p ? *p : RealClock();
}
void SetClock(IClock* clock) {
    gClock.store(clock);
}

IRegistry& Registry() {
    IRegistry* p = gRegistry.load();
    return p ? *p : RealRegistry();
}
void SetRegistry(IRegistry* registry) {
    gRegistry.store(registry);
}

ILauncher& Launcher() {
    ILauncher* p = gLauncher.load();
    return p ? *p : RealLauncher();
}
void SetLauncher(ILauncher* launcher) {
    gLauncher.store(launcher);
}

IScreen& Screen() {
    IScreen* p = gScreen.load();
    return p ? *p : RealScreen();
}
void SetScreen(IScreen* screen) {
    gScreen.store(screen);
}

IInternet& Internet() {
    IInternet* p = gInternet.load();
    return p ? *p : RealInternet();
}
void SetInternet(IInternet* internet) {
    gInternet.store(internet);
}

}  // namespace platform
