// The service control manager calls the task service functions make, mirrored one to one so
// that tests can steer them (and the Linux stand-in keeps a service's state in a file), plus the
// few calls the 9x family's scheduler check needs. Handles are opaque; 0 is "none". Failed calls
// leave their reason in LastError() like GetLastError does.
#pragma once
#include <cstdint>
#include <string>

namespace platform {

inline constexpr uint32_t kScManagerConnect = 0x0001;
inline constexpr uint32_t kScManagerAllAccess = 0xF003F;
inline constexpr uint32_t kServiceQueryStatus = 0x0004;
inline constexpr uint32_t kServiceStart = 0x0010;
inline constexpr uint32_t kServiceChangeConfig = 0x0002;
inline constexpr uint32_t kServiceNoChange = 0xFFFFFFFF;
inline constexpr uint32_t kServiceRunning = 4;
inline constexpr uint32_t kServiceStopped = 1;
inline constexpr uint32_t kErrorServiceDatabaseLocked = 1055;

struct TServiceLockStatus {
    bool IsLocked = false;
    std::string LockOwner;
    uint32_t LockDuration = 0;
};

class IServiceControl {
public:
    virtual ~IServiceControl() = default;
    virtual uintptr_t OpenSCManager(uint32_t access) = 0;  // local computer, active database
    virtual uintptr_t OpenService(uintptr_t manager, const std::string& name, uint32_t access) = 0;
    virtual bool QueryServiceStatus(uintptr_t service, uint32_t& currentState) = 0;
    virtual bool StartService(uintptr_t service) = 0;  // no arguments
    virtual bool CloseServiceHandle(uintptr_t handle) = 0;
    virtual uintptr_t LockServiceDatabase(uintptr_t manager) = 0;
    virtual bool UnlockServiceDatabase(uintptr_t lock) = 0;
    virtual bool QueryServiceLockStatus(uintptr_t manager, TServiceLockStatus& status) = 0;
    // ChangeServiceConfigW with no path, group, tag, dependencies, account, password or name.
    virtual bool ChangeServiceConfig(uintptr_t service, uint32_t serviceType, uint32_t startType,
                                     uint32_t errorControl) = 0;
    // False when advapi32 has no ChangeServiceConfig2W (looked up at run time).
    virtual bool HasChangeServiceConfig2() = 0;
    // SERVICE_CONFIG_DESCRIPTION; an empty text sets no description.
    virtual bool ChangeServiceDescription(uintptr_t service, const std::string& description) = 0;
    virtual uint32_t LastError() = 0;

    // 9x family: the scheduler agent's window, and starting its program.
    virtual bool FindWindow(const std::string& className, const std::string& title) = 0;
    virtual bool SearchPath(const std::string& fileName, std::string& fullPath) = 0;
    virtual bool CreateProcess(const std::string& path, uint32_t creationFlags) = 0;
};

IServiceControl& ServiceControl();
void SetServiceControl(IServiceControl* control);  // nullptr: the real one again
IServiceControl& RealServiceControl();

}  // namespace platform
