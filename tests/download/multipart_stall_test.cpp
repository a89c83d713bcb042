// The stall clock: a transfer that stops moving fires OnTimeOut after TimeOut seconds, also when
// the 32-bit tick count wraps in between; one that keeps moving never does.
#include <gtest/gtest.h>

#include "download/multipart_downloader.h"
#include "platform/clock.h"
#include "tests/download/dl_test_util.h"
#include "tests/support/faultserver.h"
#include "tests/support/testenv.h"

namespace download {
namespace {

using namespace testing_dl;
using testsupport::TFaultResponse;
using testsupport::TFaultServer;
using testsupport::TRecordedRequest;

// Real time, but the tick count starts 700 ms before it wraps.
class TWrappingClock : public platform::IClock {
public:
    TWrappingClock() : FStart(platform::MonotonicMs()) { platform::SetClock(this); }
    ~TWrappingClock() override { platform::SetClock(nullptr); }
    platform::TSystemTime LocalTime() override { return platform::RealClock().LocalTime(); }
    uint32_t TickCount() override {
        return static_cast<uint32_t>(0xFFFFFFFFu - 700u + (platform::MonotonicMs() - FStart));
    }
    int UtcOffsetMinutes() override { return 0; }

private:
    uint64_t FStart;
};

TEST(MultipartStall, TimeOutAcrossTickWrap) {
    const std::string content = Pattern(1000, 41);
    TFaultServer server;
    server.SetHandler([&](const TRecordedRequest& rq) {
        if (!rq.Has("range")) return TFaultResponse::File(rq, content);
        std::string bytes = TFaultResponse::File(rq, content).Actions[0].Bytes;
        return TFaultResponse().Send(bytes.substr(0, bytes.find("\r\n\r\n") + 4 + 20)).Stall();
    });
    TWrappingClock clock;
    testsupport::TTempDir dir;
    TMultipartHttpDownloader d;
    TDownloadLog log;
    Attach(d, log);
    d.URL = server.Url("/w.bin");
    d.PartCount = 4;
    d.TimeOut = 1;
    d.FileStream = CreateTarget(dir.File("w.bin"));
    const uint64_t start = platform::MonotonicMs();
    uint64_t firstTimeOut = 0;
    d.OnTimeOut = [&](TMultipartHttpDownloader*) {
        if (log.TimeOuts++ == 0) firstTimeOut = platform::MonotonicMs() - start;
    };
    d.Start();
    ASSERT_TRUE(RunUntil([&] { return log.TimeOuts >= 2; }, 10000));
    // Not before the limit has passed, and again on the following ticks while it lasts.
    EXPECT_GE(firstTimeOut, 1000u);
    EXPECT_LE(firstTimeOut, 4000u);
    EXPECT_EQ(d.FTotalCount, 80);
    EXPECT_GE(log.Count("Time out!: CurrTick: "), 2);
    d.Abort();
    server.Release();
}

TEST(MultipartStall, SlowButMovingTransferNeverTimesOut) {
    const std::string content = Pattern(1200, 42);
    TFaultServer server;
    server.SetHandler([&](const TRecordedRequest& rq) {
        if (!rq.Has("range")) return TFaultResponse::File(rq, content);
        std::string bytes = TFaultResponse::File(rq, content).Actions[0].Bytes;
        const size_t body = bytes.find("\r\n\r\n") + 4;
        TFaultResponse r;
        r.Send(bytes.substr(0, body));
        // A trickle: 60 bytes every 300 ms, slower in all than the one-second limit.
        for (size_t at = body; at < bytes.size(); at += 60) r.Send(bytes.substr(at, 60)).Pause(300);
        return r;
    });
    testsupport::TTempDir dir;
    TMultipartHttpDownloader d;
    TDownloadLog log;
    Attach(d, log);
    d.URL = server.Url("/slow.bin");
    d.PartCount = 2;
    d.TimeOut = 1;
    d.FileStream = CreateTarget(dir.File("slow.bin"));
    d.Start();
    ASSERT_TRUE(RunUntil([&] { return log.Done > 0; }, 15000));
    EXPECT_EQ(log.DoneCode, 200);
    EXPECT_EQ(log.TimeOuts, 0);
    EXPECT_EQ(ReadAll(dir.File("slow.bin")), content);
}

}  // namespace
}  // namespace download
