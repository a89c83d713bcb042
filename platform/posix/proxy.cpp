// The Linux stand-in's proxy settings: the http_proxy environment variable as a "host:port" list.
#include "platform/proxy.h"

#include <atomic>
#include <cstdlib>
#include <string>

namespace platform {

namespace {

// "http://user@host:port/" -> "host:port"; empty when the value names no host.
std::string HostPortOf(std::string value) {
    size_t scheme = value.find("://");
    if (scheme != std::string::npos) value.erase(0, scheme + 3);
    size_t slash = value.find('/');
    if (slash != std::string::npos) value.erase(slash);
    size_t at = value.rfind('@');
    if (at != std::string::npos) value.erase(0, at + 1);
    if (value.empty()) return "";
    // A proxy without a port is reached on the HTTP port, as the variable's users assume.
    bool bracketed = value.front() == '[';
    size_t colon = value.rfind(':');
    bool hasPort = colon != std::string::npos && (!bracketed || value.find(']') < colon);
    return hasPort ? value : value + ":80";
}

class TPosixSystemProxy : public ISystemProxy {
public:
    bool Query(TSystemProxySettings& settings) override {
        settings = TSystemProxySettings();
        const char* value = std::getenv("http_proxy");
        if (!value || !*value) value = std::getenv("HTTP_PROXY");
        std::string list = value ? HostPortOf(value) : "";
        if (!list.empty()) {
            settings.AccessType = kProxyAccessNamedProxy;
            settings.ProxyList = list;
        }
        return true;
    }
};

}  // namespace

ISystemProxy& RealSystemProxy() {
    static TPosixSystemProxy proxy;
    return proxy;
}

}  // namespace platform
