// WinINet as the form post uses it.
#include "platform/internet.h"

#include "platform/win32/win.h"
#include <wininet.h>

#include "platform/win32/wide.h"

namespace platform {

namespace {

class THandle {
public:
    explicit THandle(HINTERNET h) : FHandle(h) {}
    ~THandle() {
        if (FHandle) ::InternetCloseHandle(FHandle);
    }
    HINTERNET Get() const { return FHandle; }

private:
    HINTERNET FHandle;
};

// The system's own limits are far longer than a hidden, elevated process should wait; ours are
// set on every handle that may carry them.
void SetTimeouts(HINTERNET handle, uint32_t ms) {
    DWORD value = ms > 0 ? ms : 1;  // 0 would mean no limit at all
    for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT,
                         INTERNET_OPTION_RECEIVE_TIMEOUT})
        ::InternetSetOptionW(handle, option, &value, sizeof value);
}

class TWinInet : public IInternet {
public:
    bool CrackUrl(const std::string& url, TUrlComponents& parts) override {
        parts = TUrlComponents{};
        wchar_t scheme[kUrlSchemeCapacity], host[kUrlHostCapacity], user[kUrlUserCapacity],
            password[kUrlPasswordCapacity], path[kUrlPathCapacity], extra[kUrlExtraCapacity];
        URL_COMPONENTSW c{};
        c.dwStructSize = sizeof c;
        c.lpszScheme = scheme;
        c.dwSchemeLength = kUrlSchemeCapacity;
        c.lpszHostName = host;
        c.dwHostNameLength = kUrlHostCapacity;
        c.lpszUserName = user;
        c.dwUserNameLength = kUrlUserCapacity;
        c.lpszPassword = password;
        c.dwPasswordLength = kUrlPasswordCapacity;
        c.lpszUrlPath = path;
        c.dwUrlPathLength = kUrlPathCapacity;
        c.lpszExtraInfo = extra;
        c.dwExtraInfoLength = kUrlExtraCapacity;
        const std::wstring w = Wide(url);
        if (!::InternetCrackUrlW(w.c_str(), static_cast<DWORD>(w.size()), 0, &c)) return false;
        parts.Scheme = Narrow(scheme, c.dwSchemeLength);
        parts.Host = Narrow(host, c.dwHostNameLength);
        parts.UserName = Narrow(user, c.dwUserNameLength);
        parts.Password = Narrow(password, c.dwPasswordLength);
        parts.Path = Narrow(path, c.dwUrlPathLength);
        parts.Extra = Narrow(extra, c.dwExtraInfoLength);
        parts.Port = c.nPort;
        return true;
    }

    bool Send(const TInternetRequest& request, std::string* reply) override {
        THandle internet(::InternetOpenW(nullptr, INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0));
        if (!internet.Get()) return false;
        // The session's limits are inherited by the connection and the request made from it.
        SetTimeouts(internet.Get(), request.TimeoutMs);
        THandle connection(::InternetConnectW(internet.Get(), Wide(request.Host).c_str(),
                                              request.Port, nullptr, nullptr, INTERNET_SERVICE_HTTP,
                                              0, 0));
        if (!connection.Get()) return false;
        const std::wstring verb = Wide(request.Verb), target = Wide(request.Target),
                           referrer = Wide(request.Referrer);
        THandle req(::HttpOpenRequestW(connection.Get(), verb.c_str(), target.c_str(), L"HTTP/1.1",
                                       referrer.c_str(), nullptr, INTERNET_FLAG_RELOAD, 0));
        if (!req.Get()) return false;
        SetTimeouts(req.Get(), request.TimeoutMs);
        const std::wstring headers = Wide(request.Headers);
        ::HttpAddRequestHeadersW(req.Get(), headers.c_str(), static_cast<DWORD>(headers.size()),
                                 HTTP_ADDREQ_FLAG_ADD);
        std::string body = request.Body;
        if (!::HttpSendRequestW(req.Get(), nullptr, 0, body.empty() ? nullptr : body.data(),
                                static_cast<DWORD>(body.size())))
            return false;
        if (reply) {
            std::string bytes;
            char buf[4096];
            DWORD got = 0;
            while (::InternetReadFile(req.Get(), buf, sizeof buf, &got) && got > 0)
                bytes.append(buf, got);
            *reply = bytes;
        }
        return true;
    }
};

}  // namespace

IInternet& RealInternet() {
    static TWinInet internet;
    return internet;
}

}  // namespace platform
