// Thin non-blocking TCP sockets. Error numbers are Winsock's on every platform (the Linux
// backend maps errno), so codes and reason texts are the same everywhere.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/eventloop.h"
#include "platform/socket_errors.h"

namespace platform {

struct TSockAddr {
    int Family = 0;  // AF_INET or AF_INET6 of the platform
    unsigned char Bytes[128] = {};
    int Length = 0;
};

bool SocketsStartup();  // WSAStartup once; true elsewhere
// Blocking name lookup (call it off the user-interface thread). 0 or a Winsock error number.
int ResolveHost(const std::string& host, uint16_t port, std::vector<TSockAddr>& out);
std::string AddressText(const TSockAddr& address);  // "127.0.0.1:80", "[::1]:80"
// The four bytes of an IPv4 address (network order); empty for other families.
std::string AddressIpv4Bytes(const TSockAddr& address);

SocketHandle SocketOpen(int family, int* error);  // non-blocking TCP socket
// 0 when connected at once, kWsaEWouldBlock while in progress (a kSockConnect follows), or an
// error number.
int SocketConnect(SocketHandle s, const TSockAddr& address);
// Bytes sent or received (0 from SocketRecv: the peer closed), or -1 with *error set
// (kWsaEWouldBlock when the call would block).
int64_t SocketSend(SocketHandle s, const void* data, size_t count, int* error);
int64_t SocketRecv(SocketHandle s, void* buffer, size_t count, int* error);
void SocketShutdownSend(SocketHandle s);
void SocketClose(SocketHandle s);  // also stops its notifications
std::string SocketErrorText(int error);
// A listening socket on 127.0.0.1 or ::1 (blocking), for tests; port 0 picks one.
SocketHandle SocketListenLoopback(bool ipv6, uint16_t& port, int* error);
SocketHandle SocketAccept(SocketHandle listener, int* error);
// Shuts both directions down. Whether that wakes a thread blocked in a call on the socket
// depends on the system (under Wine not always): threads that must stop wait with SocketWait.
void SocketShutdown(SocketHandle s);
// Waits up to `timeoutMs` until the socket can be read (kSockRead: data, a connection to
// accept, or the peer's close) or written (kSockWrite); false on time-out. A socket with an
// error counts as ready, so that the next call reports it.
bool SocketWait(SocketHandle s, unsigned events, int timeoutMs);
// Switches a socket (an accepted one, say) to non-blocking calls.
void SocketSetNonBlocking(SocketHandle s);
// Closes a socket the event loop never watched (the blocking sockets of test servers) without
// touching the loop, so any thread may call it.
void SocketCloseDetached(SocketHandle s);
// Closes such a socket with a reset instead of an orderly close (a server playing a broken peer).
void SocketCloseAbortive(SocketHandle s);
// Sets the socket's receive buffer (SO_RCVBUF). Before the connect it also bounds the window
// offered to the peer, so a connection that will be dropped early lets in little.
void SocketSetReceiveBuffer(SocketHandle s, int bytes);
// The receive buffer as the system reports it (Linux doubles the value set); -1 on an error.
int SocketReceiveBuffer(SocketHandle s);
// The socket's pending error (SO_ERROR) as a Winsock number; 0 when there is none.
int SocketPendingError(SocketHandle s);
// The Winsock number of a system error code (errno on Linux; unchanged on Windows).
int SocketErrorFromSystem(int code);

}  // namespace platform
