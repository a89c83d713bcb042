// The client against real servers: nginx for files, ranges and keep-alive; tinyproxy as the
// HTTP proxy (plain and CONNECT); nginx with a throw-away certificate for https.
#include <gtest/gtest.h>

#include <memory>

#include "download/httpcli.h"
#include "platform/file.h"
#include "platform/tls.h"
#include "tests/download/http_test_util.h"
#include "tests/support/faultserver.h"
#include "tests/support/nginx.h"
#include "tests/support/tinyproxy.h"
#include "tests/support/tlsserver.h"

namespace download {
namespace {

using namespace testing_http;

#define REQUIRE_SERVER(s) \
    if (!(s).Ok()) GTEST_SKIP() << "server not available: " << (s).Error()

class HttpServers : public testing::Test {
protected:
    void SetUp() override {
        FContent = Pattern(4 * 1024 * 1024 + 17, 3);
        ASSERT_TRUE(platform::WriteFileBytes(FRoot.File("file.bin"), FContent));
    }
    void TearDown() override { platform::SetTlsExtraCaFile(""); }

    // Runs one GET to the end and returns its log.
    TClientLog Get(THttpCli& client, const std::string& url) {
        TClientLog log;
        Attach(client, log);
        client.URL = url;
        client.GetASync();
        EXPECT_TRUE(RunToDone(log, 30000)) << url;
        return log;
    }

    testsupport::TTempDir FRoot;
    std::string FContent;
};

TEST_F(HttpServers, NginxWholeFileRangesAndKeepAlive) {
    testsupport::TNginx nginx(FRoot.Path(),
                              {"", "", "location = /old { return 302 /file.bin; }\n"});
    REQUIRE_SERVER(nginx);
    THttpCli client;
    TClientLog log = Get(client, nginx.Url("/file.bin"));
    EXPECT_EQ(log.ErrCode, 0) << client.ReasonPhrase;
    EXPECT_EQ(client.StatusCode, 200);
    EXPECT_EQ(client.ContentLength, static_cast<int64_t>(FContent.size()));
    EXPECT_EQ(client.AcceptRanges, "bytes");
    EXPECT_TRUE(log.Body == FContent);

    // Four ranges in parallel, laid out as the downloader does, put back together.
    const int64_t size = static_cast<int64_t>(FContent.size()), part = size / 4;
    std::vector<std::unique_ptr<THttpCli>> clients;
    std::vector<TClientLog> logs(4);
    for (int i = 0; i < 4; ++i) {
        clients.push_back(std::make_unique<THttpCli>());
        Attach(*clients[i], logs[i]);
        clients[i]->URL = nginx.Url("/old");  // each follows the redirect on its own
        int64_t begin = i * (part + 1);
        clients[i]->ContentRangeBegin = std::to_string(begin);
        clients[i]->ContentRangeEnd = std::to_string(i == 3 ? size : begin + part);
        clients[i]->OnLocationChange = [&, i, begin](THttpCli* c) {
            c->ContentRangeBegin = std::to_string(begin);
            c->ContentRangeEnd = std::to_string(i == 3 ? size : begin + part);
        };
        clients[i]->GetASync();
    }
    ASSERT_TRUE(platform::TEventLoop::RunUntil(
        [&] {
            return logs[0].DoneCount && logs[1].DoneCount && logs[2].DoneCount && logs[3].DoneCount;
        },
        30000));
    std::string joined;
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(logs[i].ErrCode, 0);
        EXPECT_EQ(clients[i]->StatusCode, 206);
        joined += logs[i].Body;
    }
    EXPECT_TRUE(joined == FContent);

    // Past the end: 416 is a complete response.
    client.ContentRangeBegin = std::to_string(size + 10);
    log = Get(client, nginx.Url("/file.bin"));
    EXPECT_EQ(log.ErrCode, 0);
    EXPECT_EQ(client.StatusCode, 416);

    // HTTP/1.1 keeps the connection for the next request.
    client.SetRequestVer("1.1");
    for (int i = 0; i < 3; ++i) {
        client.ContentRangeBegin = "0";
        client.ContentRangeEnd = "9";
        log = Get(client, nginx.Url("/file.bin"));
        EXPECT_EQ(log.Body, FContent.substr(0, 10));
    }
}

TEST_F(HttpServers, ThroughTinyproxy) {
    testsupport::TNginx nginx(FRoot.Path());
    REQUIRE_SERVER(nginx);
    testsupport::TTinyproxy proxy;
    REQUIRE_SERVER(proxy);
    THttpCli client;
    client.Proxy = "127.0.0.1";
    client.ProxyPort = std::to_string(proxy.Port());
    client.ContentRangeBegin = "100";
    client.ContentRangeEnd = "199";
    TClientLog log = Get(client, nginx.Url("/file.bin"));
    EXPECT_EQ(log.ErrCode, 0) << client.ReasonPhrase;
    EXPECT_EQ(client.StatusCode, 206);
    EXPECT_EQ(log.Body, FContent.substr(100, 100));

    client.Proxy = "127.0.0.1:" + std::to_string(proxy.Port());  // the port inside the value
    client.ProxyPort = "1";
    log = Get(client, nginx.Url("/file.bin"));
    EXPECT_TRUE(log.Body == FContent);
}

TEST_F(HttpServers, HttpsRejectedByDefaultAcceptedWhenTrusted) {
    std::string why;
    if (!platform::TlsLoad(&why)) GTEST_SKIP() << "no OpenSSL library: " << why;
    testsupport::TTlsServer server(FRoot.Path());
    REQUIRE_SERVER(server);

    THttpCli client;
    TClientLog log = Get(client, server.Url("/file.bin"));
    EXPECT_EQ(log.DoneCount, 1);
    EXPECT_EQ(log.ErrCode, kHttpErrTls);
    EXPECT_EQ(client.StatusCode, 404);
    EXPECT_NE(client.ReasonPhrase.find("certificate verify failed"), std::string::npos)
        << client.ReasonPhrase;
    EXPECT_NE(client.ReasonPhrase.find("self-signed"), std::string::npos) << client.ReasonPhrase;

    platform::SetTlsExtraCaFile(server.Cert().CertFile);
    client.ContentRangeBegin = "5";
    client.ContentRangeEnd = "70004";
    log = Get(client, server.Url("/file.bin"));
    EXPECT_EQ(log.ErrCode, 0) << client.ReasonPhrase;
    EXPECT_EQ(client.StatusCode, 206);
    EXPECT_TRUE(log.Body == FContent.substr(5, 70000));

    // Trusted, but not for this name: the certificate names only "localhost".
    log = Get(client, server.Url("/file.bin", "127.0.0.1"));
    EXPECT_EQ(log.ErrCode, kHttpErrTls);
    EXPECT_NE(client.ReasonPhrase.find("mismatch"), std::string::npos) << client.ReasonPhrase;
}

TEST_F(HttpServers, HttpsThroughTinyproxyTunnel) {
    std::string why;
    if (!platform::TlsLoad(&why)) GTEST_SKIP() << "no OpenSSL library: " << why;
    testsupport::TTlsServer server(FRoot.Path(), "DNS:localhost,IP:127.0.0.1");
    REQUIRE_SERVER(server);
    testsupport::TTinyproxy proxy;
    REQUIRE_SERVER(proxy);
    platform::SetTlsExtraCaFile(server.Cert().CertFile);
    THttpCli client;
    client.Proxy = "127.0.0.1:" + std::to_string(proxy.Port());
    TClientLog log = Get(client, server.Url("/file.bin", "127.0.0.1"));
    EXPECT_EQ(log.ErrCode, 0) << client.ReasonPhrase;
    EXPECT_TRUE(log.Body == FContent);
    EXPECT_NE(proxy.Log().find("CONNECT"), std::string::npos);
}

TEST_F(HttpServers, HttpsToAPlainServerFailsOnce) {
    std::string why;
    if (!platform::TlsLoad(&why)) GTEST_SKIP() << "no OpenSSL library: " << why;
    testsupport::TFaultServer server;
    server.SetGreeting("HTTP/1.1 400 Bad Request\r\nContent-Length: 0\r\n\r\n");
    THttpCli client;
    // A plain server answers the TLS hello with plain text.
    TClientLog log = Get(client, "https://127.0.0.1:" + std::to_string(server.Port()) + "/");
    EXPECT_EQ(log.DoneCount, 1);
    EXPECT_EQ(log.ErrCode, kHttpErrTls);
    EXPECT_EQ(client.ReasonPhrase.rfind("TLS handshake failed: ", 0), 0u) << client.ReasonPhrase;

    // Abort while the handshake waits for a server that says nothing.
    testsupport::TFaultServer silent;
    silent.SetHandler([](const auto&) { return testsupport::TFaultResponse().Stall(); });
    log = TClientLog();
    Attach(client, log);
    client.URL = "https://127.0.0.1:" + std::to_string(silent.Port()) + "/";
    client.GetASync();
    ASSERT_TRUE(platform::TEventLoop::RunUntil([&] { return silent.Connections() > 0; }, 5000));
    platform::TEventLoop::RunUntil([] { return false; }, 50);
    client.Abort();
    ASSERT_TRUE(RunToDone(log));
    EXPECT_EQ(log.ErrCode, kHttpErrAborted);
    EXPECT_EQ(log.DoneCount, 1);
    silent.Release();
}

}  // namespace
}  // namespace download
