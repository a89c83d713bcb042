// The facade stopped or destroyed from inside its own events, and a stall that strikes while a
// segment's restart pause is pumping messages.
#include <gtest/gtest.h>

#include "download/downloader.h"
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

TEST(DownloaderReentry, StopAndDestroyInsideOnDone) {
    const std::string content = Pattern(5000, 31);
    TFaultServer server;
    server.SetHandler(
        [&](const TRecordedRequest& rq) { return TFaultResponse::File(rq, content); });
    testsupport::TTempDir dir;
    for (bool destroy : {false, true}) {
        SCOPED_TRACE(destroy);
        const std::string target = dir.File(destroy ? "b.exe" : "a.exe");
        auto d = std::make_unique<TDownloader>();
        int done = 0;
        d->OnDone = [&](bool completed, int code, const std::string&, int) {
            ++done;
            EXPECT_TRUE(completed);
            EXPECT_EQ(code, 0);
            d->Stop();
            d->Stop();  // more than once is fine
            if (destroy) d.reset();
        };
        d->Start(target, server.Url("/x.exe"));
        ASSERT_TRUE(RunUntil([&] { return done > 0; }));
        EXPECT_EQ(done, 1);
        EXPECT_EQ(ReadAll(target), content);
        EXPECT_EQ(platform::ProfileGetString(target + ".dat", "GLOBAL", "DownloadedSize", ""),
                  "5000");
        EXPECT_EQ(destroy, d == nullptr);
    }
}

TEST(DownloaderReentry, StallDuringRestartPauseRetiresSafely) {
    const std::string content = Pattern(2000, 32);
    TFaultServer server;
    // Segment 2 always fails fast, so its restart pause is running whenever the stall limit
    // passes; the others never finish.
    server.SetHandler([&](const TRecordedRequest& rq) {
        if (!rq.Has("range")) return TFaultResponse::File(rq, content);
        if (rq.Range().rfind("bytes=1002-", 0) == 0)
            return TFaultResponse::Status(416, "", "Content-Range: bytes */2000\r\n");
        TFaultResponse whole = TFaultResponse::File(rq, content);
        std::string bytes = whole.Actions[0].Bytes;
        return TFaultResponse().Send(bytes.substr(0, bytes.find("\r\n\r\n") + 4 + 10)).Stall();
    });
    testsupport::TTempDir dir;
    for (bool destroy : {false, true}) {
        SCOPED_TRACE(destroy);
        auto d = std::make_unique<TDownloader>();
        d->TimeOut = 1;
        d->MaxRetries = 1;
        int done = 0, code = -1;
        d->OnDone = [&](bool, int c, const std::string&, int) {
            ++done;
            code = c;
            d->Stop();
            if (destroy) d.reset();
        };
        d->Start(dir.File(destroy ? "d.exe" : "c.exe"), server.Url("/s.exe"));
        ASSERT_TRUE(RunUntil([&] { return done > 0; }, 20000));
        EXPECT_EQ(done, 1);
        EXPECT_EQ(code, 1);
        RunUntil([] { return false; }, 500);  // late client events after the retirement
        EXPECT_EQ(done, 1);
    }
    server.Release();
}

TEST(DownloaderReentry, StopInsideFirstProgressSendsNothing) {
    TFaultServer server;
    testsupport::TTempDir dir;
    TDownloader d;
    int progress = 0, done = 0;
    d.OnProgress = [&](int, int64_t, double, double, double) {
        ++progress;
        d.Stop();
    };
    d.OnDone = [&](bool, int, const std::string&, int) { ++done; };
    d.Start(dir.File("q.exe"), server.Url("/q.exe"));
    RunUntil([] { return false; }, 700);
    EXPECT_EQ(progress, 1);
    EXPECT_EQ(done, 0);
    EXPECT_EQ(server.RequestCount(), 0u);
    EXPECT_TRUE(d.Stopped);
}

}  // namespace
}  // namespace download
