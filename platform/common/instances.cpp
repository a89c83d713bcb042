// The process-wide current instances of the swappable platform interfaces: each is the real
// backend until a test (or the stand-in) sets its own, and the real one again after Set(nullptr).
// Tests swap them while other threads of the code under test read them, hence atomics.
#include <atomic>

#include "platform/clock.h"
#include "platform/internet.h"
#include "platform/process.h"
#include "platform/proxy.h"
#include "platform/registry.h"
#include "platform/screen.h"
#include "platform/servicecontrol.h"
#include "platform/sysinfo.h"
#include "platform/taskscheduler.h"

namespace platform {

namespace {

template <class I, I& (*Real)()>
class TCurrent {
public:
    I& Get() const {
        I* p = FSet.load(std::memory_order_acquire);
        return p ? *p : Real();
    }
    void Set(I* p) { FSet.store(p, std::memory_order_release); }

private:
    std::atomic<I*> FSet{nullptr};
};

TCurrent<ISystemInfo, RealSystemInfo> gSystemInfo;
TCurrent<IClock, RealClock> gClock;
TCurrent<IRegistry, RealRegistry> gRegistry;
TCurrent<ILauncher, RealLauncher> gLauncher;
TCurrent<IScreen, RealScreen> gScreen;
TCurrent<IInternet, RealInternet> gInternet;
TCurrent<ISystemProxy, RealSystemProxy> gSystemProxy;
TCurrent<IServiceControl, RealServiceControl> gServiceControl;
TCurrent<ITaskSchedulerPlatform, RealTaskSchedulerPlatform> gTaskScheduler;

}  // namespace

ISystemInfo& SystemInfo() {
    return gSystemInfo.Get();
}
void SetSystemInfo(ISystemInfo* info) {
    gSystemInfo.Set(info);
}
IClock& Clock() {
    return gClock.Get();
}
void SetClock(IClock* clock) {
    gClock.Set(clock);
}
IRegistry& Registry() {
    return gRegistry.Get();
}
void SetRegistry(IRegistry* registry) {
    gRegistry.Set(registry);
}
ILauncher& Launcher() {
    return gLauncher.Get();
}
void SetLauncher(ILauncher* launcher) {
    gLauncher.Set(launcher);
}
IScreen& Screen() {
    return gScreen.Get();
}
void SetScreen(IScreen* screen) {
    gScreen.Set(screen);
}
IInternet& Internet() {
    return gInternet.Get();
}
void SetInternet(IInternet* internet) {
    gInternet.Set(internet);
}
ISystemProxy& SystemProxy() {
    return gSystemProxy.Get();
}
void SetSystemProxy(ISystemProxy* proxy) {
    gSystemProxy.Set(proxy);
}
IServiceControl& ServiceControl() {
    return gServiceControl.Get();
}
void SetServiceControl(IServiceControl* control) {
    gServiceControl.Set(control);
}
ITaskSchedulerPlatform& TaskSchedulerPlatform() {
    return gTaskScheduler.Get();
}
void SetTaskSchedulerPlatform(ITaskSchedulerPlatform* p) {
    gTaskScheduler.Set(p);
}

}  // namespace platform
