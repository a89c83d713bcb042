// What the proxy settings put on the wire, checked on the fault server playing the proxy:
// absolute URLs for an HTTP proxy, the CONNECT request for "https", SOCKS 5, 4a and 4.
#include <gtest/gtest.h>

#include "download/httpcli.h"
#include "tests/download/http_test_util.h"
#include "tests/support/faultserver.h"

namespace download {
namespace {

using namespace testing_http;
using testsupport::TFaultResponse;
using testsupport::TFaultServer;

TEST(HttpProxy, AbsoluteUrlInTheRequestLine) {
    TFaultServer proxy;
    proxy.SetHandler([](const auto&) { return TFaultResponse::Status(200, "via proxy"); });
    THttpCli client;
    TClientLog log;
    Attach(client, log);
    client.Proxy = "127.0.0.1";
    client.ProxyPort = std::to_string(proxy.Port());
    client.URL = "http://files.example:8080/dir/setup.exe?v=1#top";
    client.GetASync();
    ASSERT_TRUE(RunToDone(log));
    EXPECT_EQ(log.Body, "via proxy");
    auto rq = proxy.Requests().at(0);
    EXPECT_EQ(rq.RequestLine, "GET http://files.example:8080/dir/setup.exe?v=1 HTTP/1.0");
    EXPECT_EQ(rq.Header("host"), "files.example:8080");

    log = TClientLog();
    Attach(client, log);
    client.URL = "http://files.example/x";
    client.GetASync();
    ASSERT_TRUE(RunToDone(log));
    EXPECT_EQ(proxy.Requests().at(1).RequestLine, "GET http://files.example/x HTTP/1.0");
}

TEST(HttpProxy, ConnectTunnelRequestAndRefusal) {
    TFaultServer proxy;
    proxy.Enqueue(TFaultResponse::Status(403, "", "", "1.0"));
    THttpCli client;
    TClientLog log;
    Attach(client, log);
    client.Proxy = "127.0.0.1:" + std::to_string(proxy.Port());
    client.URL = "https://secure.example/setup.exe";
    client.GetASync();
    ASSERT_TRUE(RunToDone(log));
    auto rq = proxy.Requests().at(0);
    EXPECT_EQ(
        rq.Raw,
        "CONNECT secure.example:443 HTTP/1.0\r\nUser-Agent: Mozilla/4.0\r\n"
        "Host: secure.example:443\r\nProxy-Connection: Keep-Alive\r\nContent-Length: 0\r\n\r\n");
    EXPECT_EQ(log.DoneCount, 1);
    EXPECT_EQ(log.ErrCode, 0);  // the proxy's answer is a complete response
    EXPECT_EQ(client.StatusCode, 403);
}

TEST(HttpSocks, Versions5And4aAnd4) {
    struct {
        const char* Level;
        int Version;
        std::string Target;
    } cases[] = {
        {"", 5, "files.example:81"},
        {"5", 5, "files.example:81"},
        {"4a", 41, "files.example:81"},
        {"4", 4, "127.0.0.1:81"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Level);
        TFaultServer socks;
        socks.SetSocks(c.Version == 41 ? 4 : c.Version);
        socks.SetHandler([](const auto&) { return TFaultResponse::Status(200, "tunnelled"); });
        THttpCli client;
        TClientLog log;
        Attach(client, log);
        client.SocksServer = "127.0.0.1";
        client.SocksPort = std::to_string(socks.Port());
        client.SocksLevel = c.Level;
        // SOCKS4 carries an address, so that case names a host we can resolve ourselves.
        client.URL =
            std::string("http://") + (c.Version == 4 ? "localhost" : "files.example") + ":81/f";
        client.GetASync();
        ASSERT_TRUE(RunToDone(log));
        EXPECT_EQ(log.ErrCode, 0) << client.ReasonPhrase;
        EXPECT_EQ(log.Body, "tunnelled");
        auto rq = socks.Requests().at(0);
        EXPECT_EQ(rq.SocksVersion, c.Version);
        EXPECT_EQ(rq.SocksTarget, c.Target);
        EXPECT_EQ(rq.RequestLine, "GET /f HTTP/1.0");
    }
}

TEST(HttpSocks, AHostNameLongerThanOneLengthByteIsRefusedNotCut) {
    // SOCKS5 sends a name's length in one byte: 255 is the longest name it can carry. A longer
    // one sent with its length cut would have the proxy connect to another host.
    for (size_t length : {255u, 256u, 260u}) {
        SCOPED_TRACE(length);
        const std::string host = std::string(length - 8, 'a') + ".example";
        TFaultServer socks;
        socks.SetSocks(5);
        socks.SetHandler([](const auto&) { return TFaultResponse::Status(200, "tunnelled"); });
        THttpCli client;
        TClientLog log;
        Attach(client, log);
        client.SocksServer = "127.0.0.1";
        client.SocksPort = std::to_string(socks.Port());
        client.URL = "http://" + host + ":81/f";
        client.GetASync();
        ASSERT_TRUE(RunToDone(log));
        if (length <= 255) {
            EXPECT_EQ(log.ErrCode, 0) << client.ReasonPhrase;
            ASSERT_EQ(socks.Requests().size(), 1u);
            EXPECT_EQ(socks.Requests()[0].SocksTarget, host + ":81");
        } else {
            EXPECT_EQ(log.ErrCode, kHttpErrSocks);
            EXPECT_NE(client.ReasonPhrase.find("255"), std::string::npos) << client.ReasonPhrase;
            EXPECT_TRUE(socks.Requests().empty());
        }
    }
}

TEST(HttpSocks, RefusalAndBadSettings) {
    for (int version : {5, 4}) {
        TFaultServer socks;
        socks.SetSocks(version, true);
        THttpCli client;
        TClientLog log;
        Attach(client, log);
        client.SocksServer = "127.0.0.1";
        client.SocksPort = std::to_string(socks.Port());
        client.SocksLevel = version == 5 ? "5" : "4A";
        client.URL = "http://files.example/f";
        client.GetASync();
        ASSERT_TRUE(RunToDone(log));
        EXPECT_EQ(log.DoneCount, 1);
        EXPECT_EQ(log.ErrCode, kHttpErrSocks);
        EXPECT_NE(client.ReasonPhrase.find("refused"), std::string::npos) << client.ReasonPhrase;
    }
    THttpCli client;
    TClientLog log;
    Attach(client, log);
    client.SocksServer = "127.0.0.1";
    client.SocksLevel = "6";
    client.URL = "http://files.example/f";
    client.GetASync();
    ASSERT_TRUE(RunToDone(log));
    EXPECT_EQ(log.ErrCode, kHttpErrSocks);
}

}  // namespace
}  // namespace download
