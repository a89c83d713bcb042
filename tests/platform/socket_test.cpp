// The thin socket layer on its own: loopback listening and address texts, and the waits that
// let a server thread look at its stop flag instead of sleeping inside a call.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/socket.h"

namespace {

using namespace platform;

struct TLoopbackPair {
    SocketHandle Listener = kInvalidSocket, Client = kInvalidSocket, Server = kInvalidSocket;
    uint16_t Port = 0;
    ~TLoopbackPair() {
        for (SocketHandle s : {Client, Server, Listener}) SocketCloseDetached(s);
    }
};

TEST(Socket, LoopbackListenersAndTheirAddressTexts) {
    ASSERT_TRUE(SocketsStartup());
    for (bool ipv6 : {false, true}) {
        SCOPED_TRACE(ipv6);
        uint16_t port = 0;
        int error = 0;
        SocketHandle l = SocketListenLoopback(ipv6, port, &error);
        if (ipv6 && l == kInvalidSocket) GTEST_SKIP() << "no IPv6 loopback here";
        ASSERT_NE(l, kInvalidSocket) << error;
        EXPECT_NE(port, 0);  // the free port the system picked is reported back
        std::vector<TSockAddr> found;
        ASSERT_EQ(ResolveHost(ipv6 ? "::1" : "127.0.0.1", port, found), 0);
        ASSERT_FALSE(found.empty());
        const std::string text = AddressText(found[0]);
        EXPECT_EQ(text, (ipv6 ? "[::1]:" : "127.0.0.1:") + std::to_string(port));
        EXPECT_EQ(AddressIpv4Bytes(found[0]),
                  ipv6 ? std::string() : std::string("\x7f\0\0\x01", 4));
        SocketCloseDetached(l);
    }
}

TEST(Socket, WaitsEndOnReadinessOrAfterTheirTime) {
    ASSERT_TRUE(SocketsStartup());
    TLoopbackPair p;
    int error = 0;
    p.Listener = SocketListenLoopback(false, p.Port, &error);
    ASSERT_NE(p.Listener, kInvalidSocket);

    // Nobody connects: the wait runs out, neither early nor much late.
    uint64_t start = MonotonicMs();
    EXPECT_FALSE(SocketWait(p.Listener, kSockRead, 100));
    const uint64_t waited = MonotonicMs() - start;
    EXPECT_GE(waited, 90u);
    EXPECT_LT(waited, 5000u);

    std::vector<TSockAddr> to;
    ASSERT_EQ(ResolveHost("127.0.0.1", p.Port, to), 0);
    p.Client = SocketOpen(to[0].Family, &error);
    ASSERT_NE(p.Client, kInvalidSocket);
    const int rc = SocketConnect(p.Client, to[0]);
    ASSERT_TRUE(rc == 0 || rc == kWsaEWouldBlock || rc == kWsaEInProgress) << rc;
    EXPECT_TRUE(SocketWait(p.Client, kSockWrite, 5000));   // connected
    EXPECT_TRUE(SocketWait(p.Listener, kSockRead, 5000));  // a connection to accept
    p.Server = SocketAccept(p.Listener, &error);
    ASSERT_NE(p.Server, kInvalidSocket) << error;
    SocketSetNonBlocking(p.Server);

    // Nothing sent yet: a non-blocking receive says so at once, and a wait runs out.
    char buf[16];
    EXPECT_EQ(SocketRecv(p.Server, buf, sizeof buf, &error), -1);
    EXPECT_EQ(error, kWsaEWouldBlock);
    EXPECT_FALSE(SocketWait(p.Server, kSockRead, 50));

    ASSERT_EQ(SocketSend(p.Client, "x", 1, &error), 1);
    EXPECT_TRUE(SocketWait(p.Server, kSockRead, 5000));
    EXPECT_EQ(SocketRecv(p.Server, buf, sizeof buf, &error), 1);
    EXPECT_EQ(buf[0], 'x');

    // The peer's close makes the socket readable, and the read then says "closed".
    SocketCloseDetached(p.Client);
    p.Client = kInvalidSocket;
    EXPECT_TRUE(SocketWait(p.Server, kSockRead, 5000));
    EXPECT_EQ(SocketRecv(p.Server, buf, sizeof buf, &error), 0);
}

}  // namespace
