// The stand-in's internet functions: a URL cracker with the fixed capacities of the Windows
// one, and a blocking request over a plain socket carrying the caller's header block unchanged.
#include "platform/internet.h"

#include <netdb.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <cstring>

#include "platform/text.h"

namespace platform {

namespace {

bool Fits(const std::string& part, size_t capacity) {
    return part.size() + 1 <= capacity;
}

class TSocketInternet : public IInternet {
public:
    bool CrackUrl(const std::string& url, TUrlComponents& parts) override {
        parts = TUrlComponents{};
        const size_t sep = url.find("://");
        if (sep == std::string::npos || sep == 0) return false;
        parts.Scheme = url.substr(0, sep);
        for (char c : parts.Scheme)
            if (!std::isalnum(static_cast<unsigned char>(c)) && c != '+' && c != '-' && c != '.')
                return false;
        std::string rest = url.substr(sep + 3);
        const size_t pathStart = rest.find_first_of("/?#");
        std::string authority = rest.substr(0, pathStart);
        std::string tail = pathStart == std::string::npos ? "" : rest.substr(pathStart);
        const size_t at = authority.rfind('@');
        if (at != std::string::npos) {
            const std::string user = authority.substr(0, at);
            authority = authority.substr(at + 1);
            const size_t colon = user.find(':');
            parts.UserName = user.substr(0, colon);
            if (colon != std::string::npos) parts.Password = user.substr(colon + 1);
        }
        std::string port;
        if (!authority.empty() && authority[0] == '[') {
            const size_t close = authority.find(']');
            if (close == std::string::npos) return false;
            parts.Host = authority.substr(1, close - 1);
            if (close + 1 < authority.size()) {
                if (authority[close + 1] != ':') return false;
                port = authority.substr(close + 2);
            }
        } else {
            const size_t colon = authority.rfind(':');
            parts.Host = authority.substr(0, colon);
            if (colon != std::string::npos) port = authority.substr(colon + 1);
        }
        if (parts.Host.empty()) return false;
        const std::string scheme = LowerCase(parts.Scheme);
        if (!port.empty()) {
            int64_t p;
            if (!ParseInt64(port, p) || p < 0 || p > 65535) return false;
            parts.Port = static_cast<uint16_t>(p);
        } else {
            parts.Port = scheme == "https" ? 443 : scheme == "http" ? 80 : scheme == "ftp" ? 21 : 0;
        }
        const size_t q = tail.find_first_of("?#");
        parts.Path = tail.substr(0, q);
        if (q != std::string::npos) parts.Extra = tail.substr(q);
        return Fits(parts.Scheme, kUrlSchemeCapacity) && Fits(parts.Host, kUrlHostCapacity) &&
               Fits(parts.UserName, kUrlUserCapacity) &&
               Fits(parts.Password, kUrlPasswordCapacity) && Fits(parts.Path, kUrlPathCapacity) &&
               Fits(parts.Extra, kUrlExtraCapacity);
    }

    bool Send(const TInternetRequest& request, std::string* reply) override {
        addrinfo hints{};
        hints.ai_family = AF_UNSPEC;
        hints.ai_socktype = SOCK_STREAM;
        addrinfo* list = nullptr;
        if (::getaddrinfo(request.Host.c_str(), std::to_string(request.Port).c_str(), &hints,
                          &list) != 0)
            return false;
        int fd = -1;
        for (addrinfo* a = list; a && fd < 0; a = a->ai_next) {
            fd = ::socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC, a->ai_protocol);
            if (fd >= 0 && ::connect(fd, a->ai_addr, a->ai_addrlen) != 0) {
                ::close(fd);
                fd = -1;
            }
        }
        ::freeaddrinfo(list);
        if (fd < 0) return false;
        const std::string target = request.Target.empty() ? "/" : request.Target;
        const std::string wire =
            request.Verb + " " + target + " HTTP/1.1\r\n" + request.Headers + request.Body;
        bool ok = SendAll(fd, wire);
        std::string received;
        size_t headerEnd = std::string::npos;
        char buf[4096];
        while (ok) {
            const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
            if (n <= 0) break;
            received.append(buf, static_cast<size_t>(n));
            if (headerEnd == std::string::npos) headerEnd = received.find("\r\n\r\n");
            if (headerEnd != std::string::npos && !reply) break;
            if (headerEnd != std::string::npos && reply && BodyComplete(received, headerEnd)) break;
        }
        ::close(fd);
        // Answered means a status line came back, whatever it says.
        ok = ok && received.rfind("HTTP/", 0) == 0 && headerEnd != std::string::npos;
        if (ok && reply) *reply = received.substr(headerEnd + 4);
        return ok;
    }

private:
    static bool SendAll(int fd, const std::string& data) {
        size_t done = 0;
        while (done < data.size()) {
            const ssize_t n = ::send(fd, data.data() + done, data.size() - done, MSG_NOSIGNAL);
            if (n <= 0) return false;
            done += static_cast<size_t>(n);
        }
        return true;
    }
    static bool BodyComplete(const std::string& received, size_t headerEnd) {
        const std::string head = LowerCase(received.substr(0, headerEnd));
        const size_t cl = head.find("\r\ncontent-length:");
        if (cl == std::string::npos) return false;  // read to the close
        int64_t length;
        const size_t end = head.find("\r\n", cl + 2);
        if (!ParseInt64(head.substr(cl + 17, end - cl - 17), length)) return false;
        return static_cast<int64_t>(received.size() - headerEnd - 4) >= length;
    }
};

}  // namespace

IInternet& RealInternet() {
    static TSocketInternet internet;
    return internet;
}

}  // namespace platform
