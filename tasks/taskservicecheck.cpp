// Whether the task scheduler service runs, and starting it when it does not.
#include "platform/servicecontrol.h"
#include "platform/sysinfo.h"
#include "tasks/taskservice.h"

namespace tasks {

using namespace platform;

namespace {

const char* kAgentClass = "SAGEWINDOWCLASS";
const char* kAgentTitle = "SYSTEM AGENT COM WINDOW";

bool Is9xFamily() {
    return SystemInfo().OsVersion().PlatformId == 1;
}

}  // namespace

bool IsTaskServiceRunning() {
    IServiceControl& sc = ServiceControl();
    if (Is9xFamily()) return sc.FindWindow(kAgentClass, kAgentTitle);
    uintptr_t manager = sc.OpenSCManager(kScManagerConnect);
    if (!manager) return sc.LastError() == 0;
    uintptr_t service = sc.OpenService(manager, kTaskServiceName, kServiceQueryStatus);
    if (!service) {
        sc.CloseServiceHandle(manager);
        return false;
    }
    uint32_t state = 0;
    bool queried = sc.QueryServiceStatus(service, state);
    sc.CloseServiceHandle(service);
    sc.CloseServiceHandle(manager);
    return queried && state == kServiceRunning;
}

bool StartTaskService() {
    IServiceControl& sc = ServiceControl();
    if (Is9xFamily()) {
        if (sc.FindWindow(kAgentClass, kAgentTitle)) return true;
        std::string path;
        // A new console in a new process group, as the agent is started by hand.
        if (sc.SearchPath("mstask.exe", path) && sc.CreateProcess(path, 0x210)) return true;
        return sc.LastError() == 0;
    }
    uintptr_t manager = sc.OpenSCManager(kScManagerConnect);
    if (!manager) return sc.LastError() == 0;
    uintptr_t service = sc.OpenService(manager, kTaskServiceName, kServiceQueryStatus);
    if (!service) service = sc.OpenService(manager, kTaskServiceName, kServiceStart);
    if (service) {
        uint32_t state = 0;
        if (sc.QueryServiceStatus(service, state) && state == kServiceRunning) {
            sc.CloseServiceHandle(service);
            sc.CloseServiceHandle(manager);
            return true;
        }
        sc.CloseServiceHandle(service);
    }
    sc.CloseServiceHandle(manager);
    manager = sc.OpenSCManager(kScManagerConnect);
    if (!manager) return sc.LastError() == 0;
    service = sc.OpenService(manager, kTaskServiceName, kServiceStart);
    if (!service) {
        uint32_t error = sc.LastError();
        sc.CloseServiceHandle(manager);
        return error == 0;
    }
    bool started = sc.StartService(service);
    uint32_t error = sc.LastError();
    sc.CloseServiceHandle(service);
    sc.CloseServiceHandle(manager);
    return started || error == 0;
}

bool ChangeServiceStartType(const std::string& serviceName, uint32_t startType,
                            const std::string& description) {
    IServiceControl& sc = ServiceControl();
    uintptr_t manager = sc.OpenSCManager(kScManagerAllAccess);
    if (!manager) return false;
    bool result = true;
    uintptr_t lock = sc.LockServiceDatabase(manager);
    if (!lock) {
        if (sc.LastError() != kErrorServiceDatabaseLocked) {
            result = false;
        } else {
            TServiceLockStatus status;
            if (!sc.QueryServiceLockStatus(manager, status)) result = false;
        }
    }
    uintptr_t service = sc.OpenService(manager, serviceName, kServiceChangeConfig);
    if (service) {
        uint32_t type = startType >= 1 && startType <= 4 ? startType : 0;
        // The service type stays as it is: changing a shared-host service into an own-process
        // one could keep it from starting.
        if (!sc.ChangeServiceConfig(service, kServiceNoChange, type, kServiceNoChange))
            result = false;
        if (sc.HasChangeServiceConfig2() && !sc.ChangeServiceDescription(service, description))
            result = false;
        sc.CloseServiceHandle(service);
    } else {
        result = false;
    }
    if (lock) sc.UnlockServiceDatabase(lock);
    sc.CloseServiceHandle(manager);
    return result;
}

bool CheckTaskServices() {
    if (IsTaskServiceRunning()) return true;
    try {
        ChangeServiceStartType(kTaskServiceName, 2);  // automatic; a failure changes nothing here
    } catch (...) {
    }
    return StartTaskService();
}

}  // namespace tasks
