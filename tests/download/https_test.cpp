// "https" against nginx with the fixed test certificates, the same cases natively and under
// Wine: a chain under the trusted test root downloads (whole, in ranges, by name and by
// address, through a CONNECT tunnel, in segments); a self-signed certificate, a name the
// certificate does not carry and an expired certificate are refused with the reason, and so is
// the good chain while its root is not trusted.
#include <gtest/gtest.h>

#include <memory>

#include "download/httpcli.h"
#include "download/multipart_downloader.h"
#include "platform/file.h"
#include "platform/tls.h"
#include "tests/download/dl_test_util.h"
#include "tests/download/http_test_util.h"
#include "tests/support/faultserver.h"
#include "tests/support/testenv.h"
#include "tests/support/tinyproxy.h"
#include "tests/support/tlsserver.h"

namespace download {
namespace {

using namespace testing_http;

#define REQUIRE_SERVER(s) \
    if (!(s).Ok()) GTEST_SKIP() << "server not available: " << (s).Error()

class Https : public testing::Test {
protected:
    void SetUp() override {
        REQUIRE_TLS_LIBRARY();
        std::string why;
        ASSERT_TRUE(testsupport::TTrustedTestRoot::Remove(&why)) << why;
        FContent = Pattern(1024 * 1024 + 333, 5);
        ASSERT_TRUE(platform::WriteFileBytes(FRoot.File("file.bin"), FContent));
    }

    // One GET that must be refused during the handshake, with `reason` in the reason phrase.
    void ExpectRefused(const std::string& url, const std::string& reason) {
        THttpCli client;
        TClientLog log = Get(client, url);
        EXPECT_EQ(log.DoneCount, 1) << url;
        EXPECT_EQ(log.ErrCode, kHttpErrTls) << url << ": " << client.ReasonPhrase;
        EXPECT_EQ(client.StatusCode, 404);
        EXPECT_TRUE(log.Body.empty()) << "no byte of a refused server reaches the caller";
        EXPECT_EQ(client.ReasonPhrase.rfind("TLS handshake failed: certificate verify failed: ", 0),
                  0u)
            << client.ReasonPhrase;
        EXPECT_NE(client.ReasonPhrase.find(reason), std::string::npos) << client.ReasonPhrase;
    }

    testsupport::TTempDir FRoot;
    std::string FContent;
};

TEST_F(Https, TrustedChainDownloadsWholeAndInRangesByNameAndAddress) {
    testsupport::TTlsServer server(FRoot.Path(), "good",
                                   "location = /old { return 302 /file.bin; }\n");
    REQUIRE_SERVER(server);
    // The root is not trusted yet: the same chain is refused, so trust below comes from it.
    ExpectRefused(server.Url("/file.bin"), "unable to get local issuer certificate");

    testsupport::TTrustedTestRoot trust;
    ASSERT_TRUE(trust.Ok()) << trust.Error();
    THttpCli client;
    TClientLog log = Get(client, server.Url("/old"));  // a redirect on the same https server
    EXPECT_EQ(log.ErrCode, 0) << client.ReasonPhrase;
    EXPECT_EQ(client.StatusCode, 200);
    EXPECT_EQ(client.ContentLength, static_cast<int64_t>(FContent.size()));
    EXPECT_TRUE(log.Body == FContent);

    client.ContentRangeBegin = "5";
    client.ContentRangeEnd = "70004";
    log = Get(client, server.Url("/file.bin", "127.0.0.1"));  // the address is in the certificate
    EXPECT_EQ(log.ErrCode, 0) << client.ReasonPhrase;
    EXPECT_EQ(client.StatusCode, 206);
    EXPECT_TRUE(log.Body == FContent.substr(5, 70000));

    // HTTP/1.1 keeps the TLS connection for the next requests.
    client.SetRequestVer("1.1");
    for (int i = 0; i < 3; ++i) {
        client.ContentRangeBegin = std::to_string(i * 1000);
        client.ContentRangeEnd = std::to_string(i * 1000 + 9);
        log = Get(client, server.Url("/file.bin"));
        EXPECT_EQ(log.ErrCode, 0) << client.ReasonPhrase;
        EXPECT_EQ(log.Body, FContent.substr(i * 1000, 10)) << i;
    }
}

TEST_F(Https, UntrustworthyServersAreRefusedWithTheReason) {
    testsupport::TTrustedTestRoot trust;
    ASSERT_TRUE(trust.Ok()) << trust.Error();
    {
        testsupport::TTlsServer server(FRoot.Path(), "selfsigned");
        REQUIRE_SERVER(server);
        ExpectRefused(server.Url("/file.bin"), "self-signed certificate");
    }
    {
        testsupport::TTlsServer server(FRoot.Path(), "wrongname");
        REQUIRE_SERVER(server);
        ExpectRefused(server.Url("/file.bin"), "mismatch");
        ExpectRefused(server.Url("/file.bin", "127.0.0.1"), "mismatch");
    }
    {
        testsupport::TTlsServer server(FRoot.Path(), "expired");
        REQUIRE_SERVER(server);
        ExpectRefused(server.Url("/file.bin"), "certificate has expired");
    }
}

TEST_F(Https, ThroughTinyproxyTunnel) {
    testsupport::TTrustedTestRoot trust;
    ASSERT_TRUE(trust.Ok()) << trust.Error();
    testsupport::TTlsServer server(FRoot.Path());
    REQUIRE_SERVER(server);
    testsupport::TTinyproxy proxy;
    REQUIRE_SERVER(proxy);
    THttpCli client;
    client.Proxy = "127.0.0.1:" + std::to_string(proxy.Port());
    TClientLog log = Get(client, server.Url("/file.bin", "127.0.0.1"));
    EXPECT_EQ(log.ErrCode, 0) << client.ReasonPhrase;
    EXPECT_TRUE(log.Body == FContent);
    EXPECT_NE(proxy.Log().find("CONNECT"), std::string::npos);
}

TEST_F(Https, PlainServerAndAbortDuringTheHandshakeEndOnce) {
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

// The segmented downloader over https: four TLS sessions in parallel put the file together;
// a refused certificate ends the download at the probe, before any segment or byte.
struct TDownloadRun {
    testsupport::TTempDir Dir;
    TMultipartHttpDownloader D;
    testing_dl::TDownloadLog Log;
    std::string Target;

    explicit TDownloadRun(const std::string& url) {
        Target = Dir.File("setup.exe");
        D.URL = url;
        D.PartCount = 4;
        D.TimeOut = 30;
        D.FileStream = testing_dl::CreateTarget(Target);
        D.SetStateFileName(Target + ".dat");
        testing_dl::Attach(D, Log);
    }
    bool Go() {
        D.Start();
        return testing_dl::RunUntil([&] { return Log.Done > 0; }, 60000);
    }
    std::string Story() const {
        std::string s = "downloader log:\n";
        for (const auto& line : Log.Lines) s += "  " + line + "\n";
        return s;
    }
};

TEST_F(Https, DownloaderFetchesSegmentsOverTlsAndStopsAtARefusedCertificate) {
    testsupport::TTrustedTestRoot trust;
    ASSERT_TRUE(trust.Ok()) << trust.Error();
    testsupport::TTlsServer good(FRoot.Path());
    REQUIRE_SERVER(good);
    {
        TDownloadRun run(good.Url("/file.bin"));
        ASSERT_TRUE(run.Go()) << run.Story();
        EXPECT_EQ(run.Log.Done, 1);
        EXPECT_EQ(run.Log.DoneCode, 200) << run.Story();
        EXPECT_EQ(run.D.FTotalCount, static_cast<int64_t>(FContent.size()));
        EXPECT_EQ(run.Log.Count("Download done index = "), 4) << run.Story();
        EXPECT_TRUE(testing_dl::ReadAll(run.Target) == FContent);
    }
    for (const char* name : {"selfsigned", "expired", "wrongname"}) {
        testsupport::TTlsServer bad(FRoot.Path(), name);
        REQUIRE_SERVER(bad);
        TDownloadRun run(bad.Url("/file.bin"));
        ASSERT_TRUE(run.Go()) << name << "\n" << run.Story();
        EXPECT_EQ(run.Log.Done, 1) << name;
        EXPECT_EQ(run.Log.DoneCode, kHttpErrTls) << name << "\n" << run.Story();
        EXPECT_EQ(run.Log.DoneReason, "Download failed") << name;
        EXPECT_TRUE(run.Log.Has("ErrorCode = " + std::to_string(kHttpErrTls))) << name << "\n"
                                                                               << run.Story();
        // The log says why, not only the number: the verifier's reason comes before it.
        EXPECT_EQ(run.Log.Count("TLS handshake failed: certificate verify failed: "), 1)
            << name << "\n"
            << run.Story();
        EXPECT_EQ(run.Log.Count("WMStartMulti"), 0) << name << ": no segment may start";
        const std::string left = testing_dl::ReadAll(run.Target);
        EXPECT_TRUE(left == "<missing>" || left.empty()) << name << ": no byte may be written";
    }
}

}  // namespace
}  // namespace download
