// A stall that strikes while nothing else keeps the downloader busy: segments that fail fast
// again and again, and a digest check that takes longer than the stall limit. The facade must
// end such a run once, with a failure code, however the downloader's own events nest inside
// its abort.
#include <gtest/gtest.h>

#include "download/downloader.h"
#include "platform/clock.h"
#include "platform/profile.h"
#include "tests/download/dl_test_util.h"
#include "tests/support/faultserver.h"
#include "tests/support/testenv.h"

namespace download {
namespace {

using namespace testing_dl;
using testsupport::TFaultResponse;
using testsupport::TFaultServer;
using testsupport::TRecordedRequest;

struct TOutcome {
    int Count = 0;
    bool Completed = false;
    int Code = -1;
    uint64_t AtMs = 0;
};

// Runs `d` to its OnDone (the owner stops it there, as the main window does) and then a
// little longer, so that late events of a retired downloader would show up.
TOutcome RunToDone(TDownloader& d, const std::string& target, const std::string& url,
                   uint32_t limitMs) {
    TOutcome out;
    const uint64_t start = platform::MonotonicMs();
    d.OnDone = [&](bool completed, int code, const std::string&, int) {
        ++out.Count;
        out.Completed = completed;
        out.Code = code;
        out.AtMs = platform::MonotonicMs() - start;
        d.Stop();
    };
    d.Start(target, url);
    EXPECT_TRUE(RunUntil([&] { return out.Count > 0; }, limitMs));
    RunUntil([] { return false; }, 700);
    d.OnDone = nullptr;
    return out;
}

TEST(DownloaderTimeOut, OnlyTheLastSegmentKeepsFailing) {
    const std::string content = Pattern(4000, 51);
    TFaultServer server;
    // Segments 0..2 come whole; segment 3 (3003..4000) is refused every time.
    server.SetHandler([&](const TRecordedRequest& rq) {
        if (rq.Range().rfind("bytes=3003-", 0) == 0)
            return TFaultResponse::Status(416, "", "Content-Range: bytes */4000\r\n");
        return TFaultResponse::File(rq, content);
    });
    testsupport::TTempDir dir;
    const std::string target = dir.File("last.exe");
    TDownloader d;
    d.TimeOut = 1;
    d.MaxRetries = 2;
    TOutcome out = RunToDone(d, target, server.Url("/last.exe"), 30000);
    EXPECT_EQ(out.Count, 1);
    EXPECT_FALSE(out.Completed);
    EXPECT_EQ(out.Code, kDownloadStalled);
    EXPECT_EQ(d.LastCode, kDownloadStalled);
    EXPECT_EQ(d.RetryCount, 2);
    // Three attempts of about a second each, not the wait of a hung loop.
    EXPECT_LT(out.AtMs, 15000u);
    // Every later attempt resumed: the three good segments were fetched once.
    int whole = 0;
    for (const auto& rq : server.Requests()) whole += rq.Range() == "bytes=0-1000";
    EXPECT_EQ(whole, 1);
    EXPECT_EQ(platform::ProfileGetString(target + ".dat", "GLOBAL", "DownloadedSize", ""), "3003");
    EXPECT_EQ(ReadAll(target).substr(0, 3003), content.substr(0, 3003));
}

TEST(DownloaderTimeOut, EverySegmentFailsFast) {
    const std::string content = Pattern(3000, 52);
    testsupport::TTempDir dir;
    for (int status : {416, 404, 503}) {
        SCOPED_TRACE(status);
        TFaultServer server;
        server.SetHandler([&](const TRecordedRequest& rq) {
            if (!rq.Has("range")) return TFaultResponse::File(rq, content);
            return TFaultResponse::Status(status, "no");
        });
        const std::string target = dir.File("all" + std::to_string(status) + ".exe");
        TDownloader d;
        d.TimeOut = 1;
        d.MaxRetries = 1;
        TOutcome out = RunToDone(d, target, server.Url("/all.exe"), 20000);
        EXPECT_EQ(out.Count, 1);
        EXPECT_FALSE(out.Completed);
        EXPECT_EQ(out.Code, kDownloadStalled);
        EXPECT_EQ(d.RetryCount, 1);
        EXPECT_LT(out.AtMs, 12000u);
        EXPECT_EQ(platform::ProfileGetString(target + ".dat", "GLOBAL", "DownloadedSize", ""), "0");
    }
}

// Real time plus whatever the test adds: a long digest check without waiting for one.
class TJumpingClock : public platform::IClock {
public:
    TJumpingClock() { platform::SetClock(this); }
    ~TJumpingClock() override { platform::SetClock(nullptr); }
    platform::TSystemTime LocalTime() override { return platform::RealClock().LocalTime(); }
    uint32_t TickCount() override { return platform::RealClock().TickCount() + Offset; }
    int UtcOffsetMinutes() override { return 0; }
    uint32_t Offset = 0;
};

TEST(DownloaderTimeOut, DigestCheckLongerThanTheStallLimit) {
    const std::string content = Pattern(2000, 53);
    TFaultServer server;
    server.SetHandler(
        [&](const TRecordedRequest& rq) { return TFaultResponse::File(rq, content); });
    testsupport::TTempDir dir;
    TJumpingClock clock;
    TDownloader d;
    d.TimeOut = 1;
    d.MaxRetries = 1;
    d.VerifyMd5 = true;
    d.ExpectedMd5 = "00000000000000000000000000000000";
    // Whenever an attempt has all its bytes, five seconds pass: the mismatch found next is
    // handled after far more than the stall limit.
    d.OnProgress = [&](int, int64_t size, double, double, double) {
        if (size == static_cast<int64_t>(content.size())) clock.Offset += 5000;
    };
    TOutcome out = RunToDone(d, dir.File("slow.exe"), server.Url("/slow.exe"), 20000);
    EXPECT_EQ(out.Count, 1);
    EXPECT_TRUE(out.Completed);
    EXPECT_EQ(out.Code, kDownloadDigestMismatch);
    EXPECT_EQ(d.RetryCount, 1);
    EXPECT_EQ(server.RequestCount(), 10u);  // two fresh downloads of probe + 4 segments
}

}  // namespace
}  // namespace download
