// Facts about the system that tests must be able to steer: OS version, locale identifiers and
// separators, the user's name. Production uses the real system's answers; a test installs its
// own instance with SetSystemInfo and restores the default with SetSystemInfo(nullptr).
#pragma once
#include <cstdint>
#include <string>

namespace platform {

struct TOsVersion {
    uint32_t PlatformId = 2;  // 2 = NT family, 1 = 9x family
    uint32_t Major = 0;
    uint32_t Minor = 0;
    uint32_t Build = 0;
};

class ISystemInfo {
public:
    virtual ~ISystemInfo() = default;
    virtual TOsVersion OsVersion() = 0;     // as reported to a manifested program
    virtual uint32_t SystemLocaleId() = 0;  // GetSystemDefaultLCID
    virtual uint32_t UserLocaleId() = 0;    // GetUserDefaultLCID
    virtual char DecimalSeparator() = 0;    // of the user's locale
    virtual char TimeSeparator() = 0;       // of the user's locale
    virtual std::string UserName() = 0;     // empty when it cannot be had
};

ISystemInfo& SystemInfo();
void SetSystemInfo(ISystemInfo* info);  // nullptr: the real system again
ISystemInfo& RealSystemInfo();

}  // namespace platform
