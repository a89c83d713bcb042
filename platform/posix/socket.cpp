#include "platform/socket.h"

#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

#include "platform/common/socket_address.h"
#include "platform/posix/eventloop_internal.h"

namespace platform {

int SocketErrorFromSystem(int code) {
    if (code == 0 || code >= 10000) return code;  // none, or already a Winsock number
    switch (code) {
        case EINTR:
            return 10004;
        case EBADF:
            return 10009;
        case EACCES:
            return 10013;
        case EFAULT:
            return 10014;
        case EINVAL:
            return 10022;
        case EMFILE:
        case ENFILE:
            return 10024;
        case EWOULDBLOCK:
            return kWsaEWouldBlock;
        case EINPROGRESS:
            return kWsaEInProgress;
        case EALREADY:
            return 10037;
        case ENOTSOCK:
            return 10038;
        case EAFNOSUPPORT:
            return 10047;
        case EADDRINUSE:
            return 10048;
        case EADDRNOTAVAIL:
            return 10049;
        case ENETDOWN:
            return 10050;
        case ENETUNREACH:
            return 10051;
        case ENETRESET:
            return 10052;
        case ECONNABORTED:
        case EPIPE:
            return kWsaEConnAborted;
        case ECONNRESET:
            return kWsaEConnReset;
        case ENOBUFS:
        case ENOMEM:
            return 10055;
        case EISCONN:
            return 10056;
        case ENOTCONN:
            return 10057;
        case ETIMEDOUT:
            return kWsaETimedOut;
        case ECONNREFUSED:
            return kWsaEConnRefused;
        case EHOSTDOWN:
            return 10064;
        case EHOSTUNREACH:
            return kWsaEHostUnreach;
        default:
            return 10000 + code;
    }
}

bool SocketsStartup() {
    return true;
}

int ResolveHost(const std::string& host, uint16_t port, std::vector<TSockAddr>& out) {
    out.clear();
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* list = nullptr;
    std::string service = std::to_string(port);
    int rc = ::getaddrinfo(host.c_str(), service.c_str(), &hints, &list);
    if (rc != 0) {
        switch (rc) {
            case EAI_AGAIN:
                return 11002;
            case EAI_FAIL:
                return 11003;
#ifdef EAI_NODATA
            case EAI_NODATA:
                return 11004;
#endif
            default:
                return kWsaHostNotFound;
        }
    }
    const int found = CopyResolvedAddresses(list, out);
    ::freeaddrinfo(list);
    return found;
}

SocketHandle SocketOpen(int family, int* error) {
    int s = ::socket(family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (s < 0 && error) *error = SocketErrorFromSystem(errno);
    return s < 0 ? kInvalidSocket : s;
}

int SocketConnect(SocketHandle s, const TSockAddr& address) {
    if (::connect(static_cast<int>(s), reinterpret_cast<const sockaddr*>(address.Bytes),
                  static_cast<socklen_t>(address.Length)) == 0)
        return 0;
    if (errno == EINPROGRESS || errno == EWOULDBLOCK) return kWsaEWouldBlock;
    return SocketErrorFromSystem(errno);
}

int64_t SocketSend(SocketHandle s, const void* data, size_t count, int* error) {
    ssize_t n = ::send(static_cast<int>(s), data, count, MSG_NOSIGNAL);
    if (n >= 0) return n;
    int e = SocketErrorFromSystem(errno);
    if (e == kWsaEWouldBlock) detail::ArmSocketWrite(s);
    if (error) *error = e;
    return -1;
}

int64_t SocketRecv(SocketHandle s, void* buffer, size_t count, int* error) {
    ssize_t n = ::recv(static_cast<int>(s), buffer, count, 0);
    if (n >= 0) return n;
    if (error) *error = SocketErrorFromSystem(errno);
    return -1;
}

void SocketShutdownSend(SocketHandle s) {
    ::shutdown(static_cast<int>(s), SHUT_WR);
}
void SocketShutdown(SocketHandle s) {
    ::shutdown(static_cast<int>(s), SHUT_RDWR);
}

bool SocketWait(SocketHandle s, unsigned events, int timeoutMs) {
    pollfd p{static_cast<int>(s), 0, 0};
    if (events & kSockRead) p.events |= POLLIN;
    if (events & kSockWrite) p.events |= POLLOUT;
    int rc;
    do {
        rc = ::poll(&p, 1, timeoutMs);
    } while (rc < 0 && errno == EINTR);
    return rc != 0;  // ready, an error or hang-up on the socket, or a failed poll
}

void SocketSetNonBlocking(SocketHandle s) {
    const int fd = static_cast<int>(s);
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
}

void SocketClose(SocketHandle s) {
    if (s == kInvalidSocket) return;
    TEventLoop::UnwatchSocket(s);
    ::close(static_cast<int>(s));
}

void SocketCloseDetached(SocketHandle s) {
    if (s != kInvalidSocket) ::close(static_cast<int>(s));
}

void SocketCloseAbortive(SocketHandle s) {
    linger l{1, 0};
    ::setsockopt(static_cast<int>(s), SOL_SOCKET, SO_LINGER, &l, sizeof l);
    SocketCloseDetached(s);
}

int SocketPendingError(SocketHandle s) {
    int error = 0;
    socklen_t len = sizeof error;
    ::getsockopt(static_cast<int>(s), SOL_SOCKET, SO_ERROR, &error, &len);
    return SocketErrorFromSystem(error);
}

SocketHandle SocketListenLoopback(bool ipv6, uint16_t& port, int* error) {
    int s = ::socket(ipv6 ? AF_INET6 : AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    auto fail = [&]() {
        if (error) *error = SocketErrorFromSystem(errno);
        if (s >= 0) ::close(s);
        return kInvalidSocket;
    };
    if (s < 0) return fail();
    int one = 1;
    ::setsockopt(s, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    const TSockAddr loopback = LoopbackAddress(ipv6, port);
    if (::bind(s, reinterpret_cast<const sockaddr*>(loopback.Bytes), loopback.Length) != 0 ||
        ::listen(s, 64) != 0)
        return fail();
    TSockAddr bound;
    socklen_t len = sizeof bound.Bytes;
    ::getsockname(s, reinterpret_cast<sockaddr*>(bound.Bytes), &len);
    bound.Family = loopback.Family;
    port = AddressPort(bound);
    return s;
}

SocketHandle SocketAccept(SocketHandle listener, int* error) {
    int s = ::accept4(static_cast<int>(listener), nullptr, nullptr, SOCK_CLOEXEC);
    if (s < 0 && error) *error = SocketErrorFromSystem(errno);
    return s < 0 ? kInvalidSocket : s;
}

}  // namespace platform
