// Address handling that both socket backends share: the system's resolver list and its
// sockaddr layouts are the same on Winsock and on POSIX, only the headers differ.
#pragma once
#include <string>
#include <vector>

#include "platform/socket.h"

struct addrinfo;

namespace platform {

// getaddrinfo for a TCP connection to host:port over either family; the resolver's own code.
int LookUpStreamAddresses(const std::string& host, uint16_t port, addrinfo*& list);
// Appends every entry of a resolver list that fits a TSockAddr; returns the host-not-found
// code when none did, else 0.
int CopyResolvedAddresses(const addrinfo* list, std::vector<TSockAddr>& out);

// The loopback address of the family, with the port (0: any free one).
TSockAddr LoopbackAddress(bool ipv6, uint16_t port);
// The port of an IPv4 or IPv6 address (host order).
uint16_t AddressPort(const TSockAddr& address);
// Binds a new socket to the loopback address of the family and listens; `port` (0: any free
// one) becomes the port it got. False when either call fails (the system's error is left set).
bool BindLoopbackListener(SocketHandle s, bool ipv6, uint16_t& port);

}  // namespace platform
