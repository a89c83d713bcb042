// The stand-in's internet functions: a URL cracker with the fixed capacities of the Windows
// one, and a blocking request over a plain socket carrying the caller's header block unchanged.
// Every step (name lookup, connect, send, each receive) waits only until the request's limit.
#include "platform/internet.h"

#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/clock.h"

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
        const TDeadline deadline(request.TimeoutMs);
        addrinfo* list = Resolve(request.Host, request.Port, deadline);
        if (!list) return false;
        int fd = -1;
        for (addrinfo* a = list; a && fd < 0 && !deadline.Passed(); a = a->ai_next)
            fd = Connect(*a, deadline);
        ::freeaddrinfo(list);
        if (fd < 0) return false;
        const std::string target = request.Target.empty() ? "/" : request.Target;
        // The Windows functions put the referrer they are given before the caller's header
        // block; the same bytes go out here.
        std::string wire = request.Verb + " " + target + " HTTP/1.1\r\n";
        if (!request.Referrer.empty()) wire += "Referer: " + request.Referrer + "\r\n";
        wire += request.Headers + request.Body;
        bool ok = SendAll(fd, wire, deadline);
        std::string received;
        size_t headerEnd = std::string::npos;
        char buf[4096];
        while (ok) {
            if (!WaitFor(fd, POLLIN, deadline)) {
                ok = false;
                break;
            }
            const ssize_t n = ::recv(fd, buf, sizeof buf, MSG_DONTWAIT);
            if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) continue;
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
    class TDeadline {
    public:
        explicit TDeadline(uint32_t ms) : FEnd(MonotonicMs() + ms) {}
        int RemainingMs() const {
            const uint64_t now = MonotonicMs();
            return now >= FEnd ? 0 : static_cast<int>(FEnd - now);
        }
        bool Passed() const { return RemainingMs() == 0; }

    private:
        uint64_t FEnd;
    };

    // A name lookup can hang on an unanswering resolver as long as any server: it runs on a
    // thread of its own that we stop waiting for at the deadline (it frees what it finds when
    // nobody waits any more). Address texts need no lookup and no thread.
    static addrinfo* Resolve(const std::string& host, uint16_t port, const TDeadline& deadline) {
        addrinfo hints{};
        hints.ai_family = AF_UNSPEC;
        hints.ai_socktype = SOCK_STREAM;
        hints.ai_flags = AI_NUMERICHOST;
        const std::string service = std::to_string(port);
        addrinfo* list = nullptr;
        if (::getaddrinfo(host.c_str(), service.c_str(), &hints, &list) == 0) return list;
        struct TLookup {
            std::mutex Lock;
            std::condition_variable Done;
            bool Finished = false, Abandoned = false;
            addrinfo* List = nullptr;
        };
        auto lookup = std::make_shared<TLookup>();
        try {
            std::thread([lookup, host, service] {
                addrinfo h{};
                h.ai_family = AF_UNSPEC;
                h.ai_socktype = SOCK_STREAM;
                addrinfo* found = nullptr;
                if (::getaddrinfo(host.c_str(), service.c_str(), &h, &found) != 0) found = nullptr;
                std::lock_guard<std::mutex> lock(lookup->Lock);
                if (lookup->Abandoned) {
                    if (found) ::freeaddrinfo(found);
                } else {
                    lookup->List = found;
                }
                lookup->Finished = true;
                lookup->Done.notify_all();
            }).detach();
        } catch (...) {
            return nullptr;
        }
        std::unique_lock<std::mutex> lock(lookup->Lock);
        lookup->Done.wait_for(lock, std::chrono::milliseconds(deadline.RemainingMs()),
                              [&] { return lookup->Finished; });
        if (!lookup->Finished) {
            lookup->Abandoned = true;
            return nullptr;
        }
        return lookup->List;
    }

    static bool WaitFor(int fd, short events, const TDeadline& deadline) {
        for (;;) {
            pollfd p{fd, events, 0};
            const int n = ::poll(&p, 1, deadline.RemainingMs());
            if (n > 0) return true;  // ready, or an error the next call reports
            if (n == 0 || errno != EINTR) return false;
        }
    }

    static int Connect(const addrinfo& a, const TDeadline& deadline) {
        const int fd =
            ::socket(a.ai_family, a.ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK, a.ai_protocol);
        if (fd < 0) return -1;
        if (::connect(fd, a.ai_addr, a.ai_addrlen) == 0) return fd;
        int error = errno;
        if (error == EINPROGRESS && WaitFor(fd, POLLOUT, deadline)) {
            socklen_t length = sizeof error;
            if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0) error = errno;
            if (error == 0) return fd;
        }
        ::close(fd);
        return -1;
    }

    static bool SendAll(int fd, const std::string& data, const TDeadline& deadline) {
        size_t done = 0;
        while (done < data.size()) {
            if (!WaitFor(fd, POLLOUT, deadline)) return false;
            const ssize_t n =
                ::send(fd, data.data() + done, data.size() - done, MSG_NOSIGNAL | MSG_DONTWAIT);
            if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) continue;
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
