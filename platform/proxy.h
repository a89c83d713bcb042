// The current user's proxy settings as the system's internet settings hold them. Production asks
// the system (WinINet on Windows; the http_proxy variable in the Linux stand-in); a test installs
// its own instance with SetSystemProxy and restores the default with SetSystemProxy(nullptr).
#pragma once
#include <cstdint>
#include <string>

namespace platform {

// Access types of the system's proxy settings (the values WinINet reports).
inline constexpr uint32_t kProxyAccessPreconfig = 0;
inline constexpr uint32_t kProxyAccessDirect = 1;
inline constexpr uint32_t kProxyAccessNamedProxy = 3;

struct TSystemProxySettings {
    uint32_t AccessType = kProxyAccessDirect;
    // "host:port", or entries "scheme=host:port" separated by ';' or blanks.
    std::string ProxyList;
};

class ISystemProxy {
public:
    virtual ~ISystemProxy() = default;
    // False when the settings cannot be had.
    virtual bool Query(TSystemProxySettings& settings) = 0;
};

ISystemProxy& SystemProxy();
void SetSystemProxy(ISystemProxy* proxy);  // nullptr: the real system again
ISystemProxy& RealSystemProxy();

}  // namespace platform
