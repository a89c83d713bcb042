#include "platform/socket.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <climits>
#include <cstring>
#include <mutex>

namespace platform {

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
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* list = nullptr;
    std::string service = std::to_string(port);
    int rc = ::getaddrinfo(host.c_str(), service.c_str(), &hints, &list);
    if (rc != 0) return rc == WSANOTINITIALISED ? kWsaHostNotFound : rc;
    for (addrinfo* a = list; a; a = a->ai_next) {
        if (a->ai_addrlen > sizeof(TSockAddr::Bytes)) continue;
        TSockAddr address;
        address.Family = a->ai_family;
        address.Length = static_cast<int>(a->ai_addrlen);
        std::memcpy(address.Bytes, a->ai_addr, a->ai_addrlen);
        out.push_back(address);
    }
    ::freeaddrinfo(list);
    return out.empty() ? kWsaHostNotFound : 0;
}

std::string AddressText(const TSockAddr& address) {
    char text[INET6_ADDRSTRLEN] = {};
    if (address.Family == AF_INET6) {
        sockaddr_in6 a;
        std::memcpy(&a, address.Bytes, sizeof a);
        ::inet_ntop(AF_INET6, &a.sin6_addr, text, sizeof text);
        return "[" + std::string(text) + "]:" + std::to_string(ntohs(a.sin6_port));
    }
    sockaddr_in a;
    std::memcpy(&a, address.Bytes, sizeof a);
    ::inet_ntop(AF_INET, &a.sin_addr, text, sizeof text);
    return std::string(text) + ":" + std::to_string(ntohs(a.sin_port));
}

std::string AddressIpv4Bytes(const TSockAddr& address) {
    if (address.Family != AF_INET) return std::string();
    sockaddr_in a;
    std::memcpy(&a, address.Bytes, sizeof a);
    return std::string(reinterpret_cast<const char*>(&a.sin_addr), 4);
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
    int rc;
    if (ipv6) {
        sockaddr_in6 a{};
        a.sin6_family = AF_INET6;
        a.sin6_addr = in6addr_loopback;
        a.sin6_port = htons(port);
        rc = ::bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
    } else {
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        a.sin_port = htons(port);
        rc = ::bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
    }
    if (rc != 0 || ::listen(s, 64) != 0) return fail();
    sockaddr_storage bound{};
    int len = sizeof bound;
    ::getsockname(s, reinterpret_cast<sockaddr*>(&bound), &len);
    port = ntohs(ipv6 ? reinterpret_cast<sockaddr_in6*>(&bound)->sin6_port
                      : reinterpret_cast<sockaddr_in*>(&bound)->sin_port);
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
