// The current user's proxy settings from WinINet.
#include "platform/win32/win.h"
// after windows.h
#include <wininet.h>

#include <atomic>
#include <cstring>
#include <vector>

#include "platform/proxy.h"
#include "platform/text.h"

namespace platform {

namespace {

class TWinSystemProxy : public ISystemProxy {
public:
    bool Query(TSystemProxySettings& settings) override {
        settings = TSystemProxySettings();
        // The size WinINet is known to fill: the structure and the strings it points into.
        std::vector<unsigned char> buffer(4096, 0);
        DWORD size = static_cast<DWORD>(buffer.size());
        if (!InternetQueryOptionW(nullptr, INTERNET_OPTION_PROXY, buffer.data(), &size))
            return false;
        INTERNET_PROXY_INFO info;
        std::memcpy(&info, buffer.data(), sizeof(info));
        settings.AccessType = info.dwAccessType;
        // With the wide call the list pointer points at UTF-16 text, whatever the structure's
        // declared character type.
        const auto* list = reinterpret_cast<const wchar_t*>(info.lpszProxy);
        if (list) {
            std::u16string text;
            for (; *list; ++list) text.push_back(static_cast<char16_t>(*list));
            settings.ProxyList = Utf16ToUtf8(text);
        }
        return true;
    }
};

}  // namespace

ISystemProxy& RealSystemProxy() {
    static TWinSystemProxy proxy;
    return proxy;
}

}  // namespace platform
