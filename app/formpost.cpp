#include "app/formpost.h"

#include "locale/environment.h"
#include "platform/internet.h"
#include "platform/text.h"

namespace app {

bool CrackUrl(const std::string& url, std::string* scheme, std::string* host, uint16_t* port,
              std::string* userName, std::string* password, std::string* path,
              std::string* extraInfo) {
    for (std::string* s : {scheme, host, userName, password, path, extraInfo})
        if (s) s->clear();
    if (port) *port = 0;
    const std::string trimmed = platform::Trim(url);
    if (trimmed.empty()) return false;
    platform::TUrlComponents parts;
    if (!platform::Internet().CrackUrl(trimmed, parts)) return false;
    if (scheme) *scheme = parts.Scheme;
    if (host) *host = parts.Host;
    if (port) *port = parts.Port;
    if (userName) *userName = parts.UserName;
    if (password) *password = parts.Password;
    if (path) *path = parts.Path;
    if (extraInfo) *extraInfo = parts.Extra;
    return true;
}

std::string FormPostHeaders(const std::string& host, size_t contentLength,
                            const std::string& userName, const std::string& password) {
    std::string h;
    h += "Host: " + host + "\r\n";
    h += "User-Agent: Mozilla/5.0 (Windows; U; Windows NT 5.1; en-US; rv:1.9.0.10) "
         "Gecko/2009042316 Firefox/3.0.10\r\n";
    h += "Accept: */*\r\n";
    h += "Accept-Language: en-us\r\n";
    h += "Content-Type: application/x-www-form-urlencoded\r\n";
    h += "Content-Length: " + std::to_string(contentLength) + "\r\n";
    h += "Cache-Control: no-cache\r\n";
    h += "Pragma: no-cache\r\n";
    h += "Connection: keep-alive\r\n";
    if (!userName.empty() || !password.empty())
        h += "Authorization: Basic " + locale::Base64Encode(userName + ":" + password, false) +
             "\r\n";
    h += "\r\n";
    return h;
}

bool PostForm(const std::string& url, const std::string& body, const std::string& userName,
              const std::string& password, std::string* reply, uint32_t timeoutMs) {
    std::string host, path, extra;
    uint16_t port = 0;
    if (!CrackUrl(url, nullptr, &host, &port, nullptr, nullptr, &path, &extra)) return false;
    platform::TInternetRequest request;
    request.Host = host;
    request.Port = port;
    request.Target = path + extra;
    request.Referrer = url;
    request.TimeoutMs = timeoutMs;
    request.Body = platform::Utf8ToAnsi(body);
    request.Headers = FormPostHeaders(host, request.Body.size(), userName, password);
    std::string bytes;
    const bool ok = platform::Internet().Send(request, reply ? &bytes : nullptr);
    if (ok && reply) *reply = platform::IsValidUtf8(bytes) ? bytes : platform::AnsiToUtf8(bytes);
    return ok;
}

}  // namespace app
