// The download facade: retries, the system proxy fall-back, stalls, digests, result codes, and
// being stopped or destroyed from inside its own events.
#include "download/downloader.h"

#include <gtest/gtest.h>

#include <set>

#include "download/md5.h"
#include "download/system_proxy.h"
#include "platform/profile.h"
#include "platform/text.h"
#include "tests/download/dl_test_util.h"
#include "tests/support/faultserver.h"
#include "tests/support/nginx.h"
#include "tests/support/testenv.h"
#include "tests/support/tinyproxy.h"

namespace download {
namespace {

using namespace testing_dl;
using testsupport::TFaultResponse;
using testsupport::TFaultServer;
using testsupport::TRecordedRequest;

struct TDone {
    int Count = 0;
    bool Completed = false;
    int Code = -1;
    std::string File;
    int Tag = -1;
};

void Watch(TDownloader& d, TDone& done) {
    d.OnDone = [&done](bool completed, int code, const std::string& file, int tag) {
        ++done.Count;
        done.Completed = completed;
        done.Code = code;
        done.File = file;
        done.Tag = tag;
    };
}

TEST(SystemProxy, ListParsing) {
    std::string host, port;
    EXPECT_TRUE(ParseProxyList("10.1.2.3:8080", "Http", host, port));
    EXPECT_EQ(host, "10.1.2.3");
    EXPECT_EQ(port, "8080");
    EXPECT_TRUE(ParseProxyList("Http=A:81;Https=B:82", "Http", host, port));
    EXPECT_EQ(host, "A");
    EXPECT_EQ(port, "81");
    EXPECT_TRUE(ParseProxyList("Https=B:82;Http=A:81", "Http", host, port));
    EXPECT_EQ(host, "A");
    EXPECT_EQ(port, "81");
    EXPECT_TRUE(ParseProxyList("http=A:81", "Http", host, port));
    EXPECT_EQ(host, "http=A");
    EXPECT_EQ(port, "81");
    EXPECT_FALSE(ParseProxyList("proxyhost", "Http", host, port));
    EXPECT_EQ(host, "");
    EXPECT_EQ(port, "0");
    EXPECT_FALSE(ParseProxyList("", "Http", host, port));
}

TEST(SystemProxy, OnlyANamedProxyCounts) {
    std::string host, port;
    {
        TFakeSystemProxy fake(platform::kProxyAccessDirect, "a:1");
        EXPECT_FALSE(GetSystemProxy("Http", host, port));
        EXPECT_EQ(port, "0");
    }
    {
        TFakeSystemProxy fake(platform::kProxyAccessNamedProxy, "a:1");
        fake.Succeeds = false;
        EXPECT_FALSE(GetSystemProxy("Http", host, port));
    }
    TFakeSystemProxy fake(platform::kProxyAccessNamedProxy, "Http=p.example:3128;Ftp=f:21");
    EXPECT_TRUE(GetSystemProxy("Http", host, port));
    EXPECT_EQ(host, "p.example");
    EXPECT_EQ(port, "3128");
}

TEST(Downloader, StartArguments) {
    TDownloader d;
    try {
        d.Start("", "http://127.0.0.1:1/x");
        FAIL();
    } catch (const EDownloadError& e) {
        EXPECT_STREQ(e.what(), "Save File Name is Empty!");
    }
    testsupport::TTempDir dir;
    try {
        d.Start(dir.File("a.bin"), "");
        FAIL();
    } catch (const EDownloadError& e) {
        EXPECT_STREQ(e.what(), "URL is Empty!");
    }
    EXPECT_FALSE(d.Downloader);
}

TEST(Downloader, CompleteFileWithDigestFromNginx) {
    testsupport::TTempDir root;
    const std::string content = Pattern(3 * 1024 * 1024 + 17, 11);
    ASSERT_TRUE(platform::WriteFileBytes(root.File("setup.exe"), content));
    testsupport::TNginx nginx(root.Path());
    // Only where nginx can run (Linux, Wine); elsewhere the fault server tests stand alone.
    if (!nginx.Ok()) GTEST_SKIP() << "nginx not available: " << nginx.Error();
    testsupport::TTempDir dir;
    const std::string target = dir.File("sub") + "/deeper/vt6.exe";
    TDownloader d;
    TDone done;
    Watch(d, done);
    int64_t lastSize = -1;
    double lastPercent = -1;
    d.OnProgress = [&](int, int64_t size, double percent, double, double) {
        lastSize = size;
        lastPercent = percent;
    };
    d.VerifyMd5 = true;
    d.ExpectedMd5 = platform::UpperCase(Md5OfBytes(content));
    d.Tag = 42;
    d.Start(target, nginx.Url("/setup.exe"));
    ASSERT_TRUE(RunUntil([&] { return done.Count > 0; }));
    EXPECT_EQ(done.Count, 1);
    EXPECT_TRUE(done.Completed);
    EXPECT_EQ(done.Code, 0);
    EXPECT_EQ(done.Tag, 42);
    EXPECT_EQ(done.File, target);
    EXPECT_EQ(d.ComputedMd5, d.ExpectedMd5);
    EXPECT_EQ(d.ContentLength(), static_cast<int64_t>(content.size()));
    EXPECT_EQ(lastSize, static_cast<int64_t>(content.size()));
    EXPECT_DOUBLE_EQ(lastPercent, 100.0);
    EXPECT_EQ(ReadAll(target), content);
    // The window's reaction: stop at once, which records a finished state.
    d.Stop();
    EXPECT_EQ(platform::ProfileGetString(target + ".dat", "PART_3", "Done", ""), "1");
}

TEST(Downloader, NotFoundFourTimesLastThroughTheSystemProxy) {
    TFaultServer server;
    server.SetHandler([](const TRecordedRequest&) { return TFaultResponse::Status(404, "x"); });
    TFakeSystemProxy proxy(platform::kProxyAccessNamedProxy, "Http=" + server.HostPort());
    testsupport::TTempDir dir;
    TDownloader d;
    TDone done;
    Watch(d, done);
    d.Tag = 7;
    d.Start(dir.File("t.exe"), server.Url("/t.exe"));
    ASSERT_TRUE(RunUntil([&] { return done.Count > 0; }));
    EXPECT_EQ(done.Count, 1);
    EXPECT_FALSE(done.Completed);
    EXPECT_EQ(done.Code, 2);
    EXPECT_EQ(done.Tag, 7);
    EXPECT_EQ(d.RetryCount, 3);
    EXPECT_EQ(d.ProxyMode, 1);
    auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 4u);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(requests[i].Target, "/t.exe") << i;
    EXPECT_EQ(requests[3].Target, server.Url("/t.exe"));  // absolute: through the proxy
}

TEST(Downloader, ThreeStallsEndWithCodeOneEachResuming) {
    const std::string content = Pattern(4000, 12);
    TFaultServer server;
    server.SetHandler([&](const TRecordedRequest& rq) {
        if (!rq.Has("range")) return TFaultResponse::File(rq, content);
        // 100 bytes of whatever is asked, then silence.
        TFaultResponse whole = TFaultResponse::File(rq, content);
        std::string bytes = whole.Actions[0].Bytes;
        size_t body = bytes.find("\r\n\r\n") + 4;
        return TFaultResponse().Send(bytes.substr(0, body + 100)).Stall();
    });
    testsupport::TTempDir dir;
    const std::string target = dir.File("s.exe");
    TDownloader d;
    d.TimeOut = 1;
    TDone done;
    Watch(d, done);
    d.Tag = 9;
    d.Start(target, server.Url("/s.exe"));
    ASSERT_TRUE(RunUntil([&] { return done.Count > 0; }, 30000));
    EXPECT_EQ(done.Count, 1);
    EXPECT_FALSE(done.Completed);
    EXPECT_EQ(done.Code, 1);
    EXPECT_EQ(done.Tag, 0);
    EXPECT_EQ(done.File, target);
    EXPECT_EQ(d.LastCode, 1);
    EXPECT_EQ(d.RetryCount, 2);
    std::multiset<std::string> ranges;
    for (const auto& rq : server.Requests())
        if (rq.Has("range")) ranges.insert(rq.Range());
    // Segment 1 spans 1001..2001: each attempt starts 100 bytes further on.
    for (const char* r : {"bytes=1001-2001", "bytes=1101-2001", "bytes=1201-2001"})
        EXPECT_EQ(ranges.count(r), 1u) << r;
    EXPECT_EQ(ranges.size(), 12u);
    EXPECT_EQ(platform::ProfileGetString(target + ".dat", "GLOBAL", "DownloadedSize", ""), "1200");
    // What is on disk is exactly what was counted.
    std::string onDisk = ReadAll(target);
    for (int64_t s : {0, 1001, 2002, 3003})
        EXPECT_EQ(onDisk.substr(s, 300), content.substr(s, 300)) << s;
    server.Release();
}

TEST(Downloader, DigestMismatchRetriesThenCodeFour) {
    const std::string content = Pattern(2000, 13);
    TFaultServer server;
    server.SetHandler(
        [&](const TRecordedRequest& rq) { return TFaultResponse::File(rq, content); });
    testsupport::TTempDir dir;
    TDownloader d;
    d.MaxRetries = 1;
    d.VerifyMd5 = true;
    d.ExpectedMd5 = "00000000000000000000000000000000";
    TDone done;
    Watch(d, done);
    d.Start(dir.File("m.exe"), server.Url("/m.exe"));
    ASSERT_TRUE(RunUntil([&] { return done.Count > 0; }));
    EXPECT_EQ(done.Code, 4);
    EXPECT_EQ(d.ComputedMd5, platform::UpperCase(Md5OfBytes(content)));
    EXPECT_EQ(server.RequestCount(), 10u);  // two fresh downloads of probe + 4 segments

    TDownloader e;
    e.VerifyMd5 = true;
    TDone done2;
    Watch(e, done2);
    e.Start(dir.File("n.exe"), server.Url("/n.exe"));
    ASSERT_TRUE(RunUntil([&] { return done2.Count > 0; }));
    EXPECT_TRUE(done2.Completed);
    EXPECT_EQ(done2.Code, 6);
}

TEST(Downloader, UnopenableTargetReportsFiveAndStopInsideHandlerStartsNothing) {
    TFaultServer server;
    testsupport::TTempDir dir;
    ASSERT_TRUE(platform::ForceDirectories(dir.File("adir")));
    TDownloader d;
    std::vector<int> codes;
    int lastCodeInHandler = -1;
    d.OnDone = [&](bool, int code, const std::string&, int) {
        codes.push_back(code);
        lastCodeInHandler = d.LastCode;
        d.Stop();
    };
    d.Start(dir.File("adir"), server.Url("/x"));
    EXPECT_EQ(codes, std::vector<int>{5});  // during Start
    EXPECT_EQ(lastCodeInHandler, 5);
    RunUntil([] { return false; }, 300);
    EXPECT_EQ(server.RequestCount(), 0u);
    EXPECT_EQ(codes.size(), 1u);
}

TEST(Downloader, FailedDownloaderStartIsReportedAsCodeTwo) {
    testsupport::TTempDir dir;
    TDownloader d;
    d.PartCount = 1;
    TDone done;
    Watch(d, done);
    d.Start(dir.File("p.exe"), "http://127.0.0.1:9/p.exe");
    EXPECT_EQ(done.Count, 0);  // not inside Start
    EXPECT_EQ(d.LastMessage.rfind("Unable to start download. " + dir.File("p.exe") +
                                      " ERangeError: PartCount must be positive",
                                  0),
              0u)
        << d.LastMessage;
    ASSERT_TRUE(RunUntil([&] { return done.Count > 0; }, 2000));
    EXPECT_FALSE(done.Completed);
    EXPECT_EQ(done.Code, 2);
}

TEST(Downloader, TargetAndStateFileAtStart) {
    const std::string content = Pattern(1000, 14);
    TFaultServer server;
    server.SetHandler(
        [&](const TRecordedRequest& rq) { return TFaultResponse::File(rq, content); });
    testsupport::TTempDir dir;
    const std::string target = dir.File("t.exe");
    // A longer target without a state file is replaced.
    ASSERT_TRUE(platform::WriteFileBytes(target, Pattern(5000, 99)));
    TDownloader d;
    TDone done;
    Watch(d, done);
    d.Start(target, server.Url("/t.exe"));
    ASSERT_TRUE(RunUntil([&] { return done.Count > 0; }));
    EXPECT_EQ(done.Code, 0);
    EXPECT_EQ(ReadAll(target), content);
    d.Stop();

    // A state file without its target is dropped: everything is asked for from the start.
    ASSERT_TRUE(platform::DeleteFile(target));
    platform::ProfileWriteString(target + ".dat", "PART_0", "DataCount", "200");
    const size_t before = server.RequestCount();
    d.Start("", "");  // the names of the previous call
    ASSERT_TRUE(RunUntil([&] { return done.Count > 1; }));
    EXPECT_EQ(done.Code, 0);
    EXPECT_EQ(done.File, target);
    EXPECT_EQ(ReadAll(target), content);
    auto requests = server.Requests();
    std::multiset<std::string> ranges;
    for (size_t i = before; i < requests.size(); ++i)
        if (requests[i].Has("range")) ranges.insert(requests[i].Range());
    EXPECT_EQ(ranges.count("bytes=0-250"), 1u);
    EXPECT_EQ(ranges.size(), 4u);
}

TEST(Downloader, ExplicitProxyCarriesEveryRequest) {
    testsupport::TTempDir root;
    const std::string content = Pattern(300000, 15);
    ASSERT_TRUE(platform::WriteFileBytes(root.File("p.exe"), content));
    testsupport::TNginx nginx(root.Path());
    testsupport::TTinyproxy proxy;
    if (!nginx.Ok() || !proxy.Ok())
        GTEST_SKIP() << "servers not available: " << nginx.Error() << proxy.Error();
    testsupport::TTempDir dir;
    TDownloader d;
    d.ProxyMode = 2;
    d.ProxyHost = "127.0.0.1";
    d.ProxyPort = std::to_string(proxy.Port());
    TDone done;
    Watch(d, done);
    d.Start(dir.File("p.exe"), nginx.Url("/p.exe"));
    ASSERT_TRUE(RunUntil([&] { return done.Count > 0; }));
    EXPECT_EQ(done.Code, 0);
    EXPECT_EQ(ReadAll(dir.File("p.exe")), content);
    EXPECT_EQ(d.Downloader->Proxy, "127.0.0.1");
    // The proxy saw the probe and the four ranged requests.
    const std::string log = proxy.Log();
    size_t requests = 0;
    for (size_t at = log.find("/p.exe"); at != std::string::npos; at = log.find("/p.exe", at + 1))
        ++requests;
    EXPECT_GE(requests, 5u) << log;
}

}  // namespace
}  // namespace download
