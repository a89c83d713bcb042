#include "platform/common/socket_address.h"

#ifdef _WIN32
#include "platform/win32/win.h"
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#endif

#include <cstring>
#include <string>

namespace platform {

namespace {
#ifdef _WIN32
using TNativeSocket = SOCKET;
using TAddressLength = int;
#else
using TNativeSocket = int;
using TAddressLength = socklen_t;
#endif
}  // namespace

int LookUpStreamAddresses(const std::string& host, uint16_t port, addrinfo*& list) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    list = nullptr;
    return ::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &list);
}

int CopyResolvedAddresses(const addrinfo* list, std::vector<TSockAddr>& out) {
    for (const addrinfo* a = list; a; a = a->ai_next) {
        if (a->ai_addrlen > sizeof(TSockAddr::Bytes)) continue;
        TSockAddr address;
        address.Family = a->ai_family;
        address.Length = static_cast<int>(a->ai_addrlen);
        std::memcpy(address.Bytes, a->ai_addr, a->ai_addrlen);
        out.push_back(address);
    }
    return out.empty() ? kWsaHostNotFound : 0;
}

TSockAddr LoopbackAddress(bool ipv6, uint16_t port) {
    TSockAddr out;
    if (ipv6) {
        sockaddr_in6 a{};
        a.sin6_family = AF_INET6;
        a.sin6_addr = in6addr_loopback;
        a.sin6_port = htons(port);
        std::memcpy(out.Bytes, &a, sizeof a);
        out.Family = AF_INET6;
        out.Length = sizeof a;
    } else {
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        a.sin_port = htons(port);
        std::memcpy(out.Bytes, &a, sizeof a);
        out.Family = AF_INET;
        out.Length = sizeof a;
    }
    return out;
}

uint16_t AddressPort(const TSockAddr& address) {
    if (address.Family == AF_INET6) {
        sockaddr_in6 a;
        std::memcpy(&a, address.Bytes, sizeof a);
        return ntohs(a.sin6_port);
    }
    sockaddr_in a;
    std::memcpy(&a, address.Bytes, sizeof a);
    return ntohs(a.sin_port);
}

bool BindLoopbackListener(SocketHandle s, bool ipv6, uint16_t& port) {
    const auto native = static_cast<TNativeSocket>(s);
    const TSockAddr loopback = LoopbackAddress(ipv6, port);
    if (::bind(native, reinterpret_cast<const sockaddr*>(loopback.Bytes), loopback.Length) != 0 ||
        ::listen(native, 64) != 0)
        return false;
    TSockAddr bound;
    TAddressLength length = sizeof bound.Bytes;
    ::getsockname(native, reinterpret_cast<sockaddr*>(bound.Bytes), &length);
    bound.Family = loopback.Family;
    port = AddressPort(bound);
    return true;
}

std::string AddressText(const TSockAddr& address) {
    char text[INET6_ADDRSTRLEN] = {};
    if (address.Family == AF_INET6) {
        sockaddr_in6 a;
        std::memcpy(&a, address.Bytes, sizeof a);
        ::inet_ntop(AF_INET6, &a.sin6_addr, text, sizeof text);
        return "[" + std::string(text) + "]:" + std::to_string(AddressPort(address));
    }
    sockaddr_in a;
    std::memcpy(&a, address.Bytes, sizeof a);
    ::inet_ntop(AF_INET, &a.sin_addr, text, sizeof text);
    return std::string(text) + ":" + std::to_string(AddressPort(address));
}

std::string AddressIpv4Bytes(const TSockAddr& address) {
    if (address.Family != AF_INET) return std::string();
    sockaddr_in a;
    std::memcpy(&a, address.Bytes, sizeof a);
    return std::string(reinterpret_cast<const char*>(&a.sin_addr), 4);
}

}  // namespace platform
