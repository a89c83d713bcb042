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
    if (code == 0 || code >= kWsaBase) return code;  // none, or already a Winsock number
    switch (code) {
        case EINTR:
            return kWsaEIntr;
        case EBADF:
            return kWsaEBadF;
        case EACCES:
            return kWsaEAcces;
        case EFAULT:
            return kWsaEFault;
        case EINVAL:
            return kWsaEInval;
        case EMFILE:
        case ENFILE:
            return kWsaEMFile;
        case EWOULDBLOCK:
            return kWsaEWouldBlock;
        case EINPROGRESS:
            return kWsaEInProgress;
        case EALREADY:
            return kWsaEAlready;
        case ENOTSOCK:
            return kWsaENotSock;
        case EAFNOSUPPORT:
            return kWsaEAfNoSupport;
        case EADDRINUSE:
            return kWsaEAddrInUse;
        case EADDRNOTAVAIL:
            return kWsaEAddrNotAvail;
        case ENETDOWN:
            return kWsaENetDown;
        case ENETUNREACH:
            return kWsaENetUnreach;
        case ENETRESET:
            return kWsaENetReset;
        case ECONNABORTED:
        case EPIPE:
            return kWsaEConnAborted;
        case ECONNRESET:
            return kWsaEConnReset;
        case ENOBUFS:
        case ENOMEM:
            return kWsaENoBufs;
        case EISCONN:
            return kWsaEIsConn;
        case ENOTCONN:
            return kWsaENotConn;
        case ETIMEDOUT:
            return kWsaETimedOut;
        case ECONNREFUSED:
            return kWsaEConnRefused;
        case EHOSTDOWN:
            return kWsaEHostDown;
        case EHOSTUNREACH:
            return kWsaEHostUnreach;
        default:
            return kWsaBase + code;
    }
}

bool SocketsStartup() {
    return true;
}

int ResolveHost(const std::string& host, uint16_t port, std::vector<TSockAddr>& out) {
    out.clear();
    addrinfo* list = nullptr;
    int rc = LookUpStreamAddresses(host, port, list);
    if (rc != 0) {
        switch (rc) {
            case EAI_AGAIN:
                return kWsaTryAgain;
            case EAI_FAIL:
                return kWsaNoRecovery;
#ifdef EAI_NODATA
            case EAI_NODATA:
                return kWsaNoData;
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

void SocketSetReceiveBuffer(SocketHandle s, int bytes) {
    ::setsockopt(static_cast<int>(s), SOL_SOCKET, SO_RCVBUF, &bytes, sizeof bytes);
}

int SocketReceiveBuffer(SocketHandle s) {
    int bytes = 0;
    socklen_t len = sizeof bytes;
    if (::getsockopt(static_cast<int>(s), SOL_SOCKET, SO_RCVBUF, &bytes, &len) != 0) return -1;
    return bytes;
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
    if (!BindLoopbackListener(s, ipv6, port)) return fail();
    return s;
}

SocketHandle SocketAccept(SocketHandle listener, int* error) {
    int s = ::accept4(static_cast<int>(listener), nullptr, nullptr, SOCK_CLOEXEC);
    if (s < 0 && error) *error = SocketErrorFromSystem(errno);
    return s < 0 ? kInvalidSocket : s;
}

}  // namespace platform
