#include "platform/socket.h"

#include "platform/win32/win.h"
#include <ws2tcpip.h>

#include <climits>
#include <mutex>

#include "platform/common/socket_address.h"

namespace platform {

// The portable names are the system's own numbers.
static_assert(kWsaEIntr == WSAEINTR && kWsaEBadF == WSAEBADF && kWsaEAcces == WSAEACCES);
static_assert(kWsaEFault == WSAEFAULT && kWsaEInval == WSAEINVAL && kWsaEMFile == WSAEMFILE);
static_assert(kWsaEWouldBlock == WSAEWOULDBLOCK && kWsaEInProgress == WSAEINPROGRESS);
static_assert(kWsaEAlready == WSAEALREADY && kWsaENotSock == WSAENOTSOCK);
static_assert(kWsaEAfNoSupport == WSAEAFNOSUPPORT && kWsaEAddrInUse == WSAEADDRINUSE);
static_assert(kWsaEAddrNotAvail == WSAEADDRNOTAVAIL && kWsaENetDown == WSAENETDOWN);
static_assert(kWsaENetUnreach == WSAENETUNREACH && kWsaENetReset == WSAENETRESET);
static_assert(kWsaEConnAborted == WSAECONNABORTED && kWsaEConnReset == WSAECONNRESET);
static_assert(kWsaENoBufs == WSAENOBUFS && kWsaEIsConn == WSAEISCONN);
static_assert(kWsaENotConn == WSAENOTCONN && kWsaETimedOut == WSAETIMEDOUT);
static_assert(kWsaEConnRefused == WSAECONNREFUSED && kWsaEHostDown == WSAEHOSTDOWN);
static_assert(kWsaEHostUnreach == WSAEHOSTUNREACH && kWsaHostNotFound == WSAHOST_NOT_FOUND);
static_assert(kWsaTryAgain == WSATRY_AGAIN && kWsaNoRecovery == WSANO_RECOVERY);
static_assert(kWsaNoData == WSANO_DATA && kWsaBase == WSABASEERR);

namespace {
SOCKET Raw(SocketHandle s) {
    return static_cast<SOCKET>(s);
}
int LastError() {
    return WSAGetLastError();
}
}  // namespace

int SocketErrorFromSystem(int code) {
    return code;
}

bool SocketsStartup() {
    static std::once_flag once;
    static bool ok = false;
    std::call_once(once, [] {
        WSADATA data;
        ok = WSAStartup(MAKEWORD(2, 2), &data) == 0;
    });
    return ok;
}

int ResolveHost(const std::string& host, uint16_t port, std::vector<TSockAddr>& out) {
    out.clear();
    SocketsStartup();
    addrinfo* list = nullptr;
    int rc = LookUpStreamAddresses(host, port, list);
    if (rc != 0) return rc == WSANOTINITIALISED ? kWsaHostNotFound : rc;
    const int found = CopyResolvedAddresses(list, out);
    ::freeaddrinfo(list);
    return found;
}

SocketHandle SocketOpen(int family, int* error) {
    SocketsStartup();
    SOCKET s = ::socket(family, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET) {
        if (error) *error = LastError();
        return kInvalidSocket;
    }
    u_long nonBlocking = 1;
    ::ioctlsocket(s, FIONBIO, &nonBlocking);
    return static_cast<SocketHandle>(s);
}

int SocketConnect(SocketHandle s, const TSockAddr& address) {
    if (::connect(Raw(s), reinterpret_cast<const sockaddr*>(address.Bytes), address.Length) == 0)
        return 0;
    int e = LastError();
    return e == WSAEWOULDBLOCK || e == WSAEINPROGRESS ? kWsaEWouldBlock : e;
}

int64_t SocketSend(SocketHandle s, const void* data, size_t count, int* error) {
    int n = ::send(Raw(s), static_cast<const char*>(data),
                   static_cast<int>(count > INT_MAX ? INT_MAX : count), 0);
    if (n != SOCKET_ERROR) return n;
    if (error) *error = LastError();
    return -1;
}

int64_t SocketRecv(SocketHandle s, void* buffer, size_t count, int* error) {
    int n = ::recv(Raw(s), static_cast<char*>(buffer),
                   static_cast<int>(count > INT_MAX ? INT_MAX : count), 0);
    if (n != SOCKET_ERROR) return n;
    if (error) *error = LastError();
    return -1;
}

void SocketShutdownSend(SocketHandle s) {
    ::shutdown(Raw(s), SD_SEND);
}
void SocketShutdown(SocketHandle s) {
    ::shutdown(Raw(s), SD_BOTH);
}

bool SocketWait(SocketHandle s, unsigned events, int timeoutMs) {
    fd_set readable, writable, failed;
    FD_ZERO(&readable);
    FD_ZERO(&writable);
    FD_ZERO(&failed);
    if (events & kSockRead) FD_SET(Raw(s), &readable);
    if (events & kSockWrite) FD_SET(Raw(s), &writable);
    FD_SET(Raw(s), &failed);
    timeval limit{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
    // An error of select itself (a socket closed under us) also ends the wait.
    return ::select(0, &readable, &writable, &failed, &limit) != 0;
}

void SocketSetNonBlocking(SocketHandle s) {
    u_long nonBlocking = 1;
    ::ioctlsocket(Raw(s), FIONBIO, &nonBlocking);
}

void SocketClose(SocketHandle s) {
    if (s == kInvalidSocket) return;
    TEventLoop::UnwatchSocket(s);
    ::closesocket(Raw(s));
}

void SocketCloseDetached(SocketHandle s) {
    if (s != kInvalidSocket) ::closesocket(Raw(s));
}

void SocketCloseAbortive(SocketHandle s) {
    linger l{1, 0};
    ::setsockopt(Raw(s), SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&l), sizeof l);
    SocketCloseDetached(s);
}

void SocketSetReceiveBuffer(SocketHandle s, int bytes) {
    ::setsockopt(Raw(s), SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&bytes),
                 sizeof bytes);
}

int SocketReceiveBuffer(SocketHandle s) {
    int bytes = 0;
    int len = sizeof bytes;
    if (::getsockopt(Raw(s), SOL_SOCKET, SO_RCVBUF, reinterpret_cast<char*>(&bytes), &len) != 0)
        return -1;
    return bytes;
}

int SocketPendingError(SocketHandle s) {
    int error = 0;
    int len = sizeof error;
    ::getsockopt(Raw(s), SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &len);
    return error;
}

SocketHandle SocketListenLoopback(bool ipv6, uint16_t& port, int* error) {
    SocketsStartup();
    SOCKET s = ::socket(ipv6 ? AF_INET6 : AF_INET, SOCK_STREAM, IPPROTO_TCP);
    auto fail = [&]() {
        if (error) *error = LastError();
        if (s != INVALID_SOCKET) ::closesocket(s);
        return kInvalidSocket;
    };
    if (s == INVALID_SOCKET) return fail();
    if (!BindLoopbackListener(static_cast<SocketHandle>(s), ipv6, port)) return fail();
    return static_cast<SocketHandle>(s);
}

SocketHandle SocketAccept(SocketHandle listener, int* error) {
    SOCKET s = ::accept(Raw(listener), nullptr, nullptr);
    if (s == INVALID_SOCKET) {
        if (error) *error = LastError();
        return kInvalidSocket;
    }
    return static_cast<SocketHandle>(s);
}

}  // namespace platform
