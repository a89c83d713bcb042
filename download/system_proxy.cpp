#include "download/system_proxy.h"

#include "platform/proxy.h"

namespace download {

bool ParseProxyList(const std::string& list, const std::string& protocol, std::string& host,
                    std::string& port) {
    host.clear();
    port = "0";
    if (list.empty()) return false;
    std::string rest = list;
    size_t entry = rest.find(protocol + "=");
    if (entry != std::string::npos) {
        rest.erase(0, entry + protocol.size() + 1);
        size_t semicolon = rest.find(';');
        if (semicolon != std::string::npos) rest.erase(semicolon);
    }
    size_t colon = rest.find(':');
    if (colon == std::string::npos) return false;
    host = rest.substr(0, colon);
    port = rest.substr(colon + 1);
    return true;
}

bool GetSystemProxy(const std::string& protocol, std::string& host, std::string& port) {
    std::string list;
    try {
        platform::TSystemProxySettings settings;
        if (platform::SystemProxy().Query(settings) &&
            settings.AccessType == platform::kProxyAccessNamedProxy)
            list = settings.ProxyList;
    } catch (...) {
        list.clear();
    }
    return ParseProxyList(list, protocol, host, port);
}

}  // namespace download
