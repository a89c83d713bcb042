// The thin socket layer on its own: loopback listening and address texts, the waits that let a
// server thread look at its stop flag instead of sleeping inside a call, and the error numbers
// that reach the download engine's codes.
#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <utility>
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

TEST(Socket, ErrorNumbersAreWinsocksOnEverySystem) {
    // The numbers end up in result codes and reason texts: they must not drift.
    const std::pair<int, int> named[] = {
        {kWsaEIntr, 10004},         {kWsaEBadF, 10009},        {kWsaEAcces, 10013},
        {kWsaEFault, 10014},        {kWsaEInval, 10022},       {kWsaEMFile, 10024},
        {kWsaEWouldBlock, 10035},   {kWsaEInProgress, 10036},  {kWsaEAlready, 10037},
        {kWsaENotSock, 10038},      {kWsaEAfNoSupport, 10047}, {kWsaEAddrInUse, 10048},
        {kWsaEAddrNotAvail, 10049}, {kWsaENetDown, 10050},     {kWsaENetUnreach, 10051},
        {kWsaENetReset, 10052},     {kWsaEConnAborted, 10053}, {kWsaEConnReset, 10054},
        {kWsaENoBufs, 10055},       {kWsaEIsConn, 10056},      {kWsaENotConn, 10057},
        {kWsaETimedOut, 10060},     {kWsaEConnRefused, 10061}, {kWsaEHostDown, 10064},
        {kWsaEHostUnreach, 10065},  {kWsaHostNotFound, 11001}, {kWsaTryAgain, 11002},
        {kWsaNoRecovery, 11003},    {kWsaNoData, 11004},
    };
    for (auto [name, number] : named) {
        EXPECT_EQ(name, number);
        // Every named error has its own text, not the fallback for unknown numbers.
        EXPECT_NE(SocketErrorText(name), "Socket error " + std::to_string(number)) << number;
        // A Winsock number passes through the mapping unchanged on every backend.
        EXPECT_EQ(SocketErrorFromSystem(name), name) << number;
    }
    EXPECT_EQ(SocketErrorText(10999), "Socket error 10999");
    EXPECT_EQ(SocketErrorFromSystem(0), 0);
}

TEST(Socket, SystemErrorsMapOntoWinsocksNumbers) {
    if (SocketErrorFromSystem(EIO) == EIO) GTEST_SKIP() << "the system's codes are Winsock's";
    const std::pair<int, int> mapped[] = {
        {EINTR, kWsaEIntr},
        {EBADF, kWsaEBadF},
        {EACCES, kWsaEAcces},
        {EFAULT, kWsaEFault},
        {EINVAL, kWsaEInval},
        {EMFILE, kWsaEMFile},
        {ENFILE, kWsaEMFile},
        {EWOULDBLOCK, kWsaEWouldBlock},
        {EINPROGRESS, kWsaEInProgress},
        {EALREADY, kWsaEAlready},
        {ENOTSOCK, kWsaENotSock},
        {EAFNOSUPPORT, kWsaEAfNoSupport},
        {EADDRINUSE, kWsaEAddrInUse},
        {EADDRNOTAVAIL, kWsaEAddrNotAvail},
        {ENETDOWN, kWsaENetDown},
        {ENETUNREACH, kWsaENetUnreach},
        {ENETRESET, kWsaENetReset},
        {ECONNABORTED, kWsaEConnAborted},
        {EPIPE, kWsaEConnAborted},  // writing after the peer left is an aborted connection
        {ECONNRESET, kWsaEConnReset},
        {ENOBUFS, kWsaENoBufs},
        {ENOMEM, kWsaENoBufs},
        {EISCONN, kWsaEIsConn},
        {ENOTCONN, kWsaENotConn},
        {ETIMEDOUT, kWsaETimedOut},
        {ECONNREFUSED, kWsaEConnRefused},
        {EHOSTUNREACH, kWsaEHostUnreach},
    };
    for (auto [code, want] : mapped) EXPECT_EQ(SocketErrorFromSystem(code), want) << code;
    // Anything else keeps its own number, past the base.
    EXPECT_EQ(SocketErrorFromSystem(EIO), kWsaBase + EIO);
}

}  // namespace
