// The segmented downloader against the fault server: layout, requests, log order, redirects,
// servers that ignore or misreport ranges, restarts, the probe's failures.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "download/multipart_downloader.h"
#include "tests/download/dl_test_util.h"
#include "tests/support/faultserver.h"
#include "tests/support/testenv.h"

namespace download {
namespace {

using namespace testing_dl;
using testsupport::TFaultResponse;
using testsupport::TFaultServer;
using testsupport::TRecordedRequest;

struct TRun {
    testsupport::TTempDir Dir;
    TMultipartHttpDownloader D;
    TDownloadLog Log;
    std::string Target;

    explicit TRun(const std::string& url, int parts = 4) {
        Target = Dir.File("f.bin");
        D.URL = url;
        D.PartCount = parts;
        D.TimeOut = 2;
        D.FileStream = CreateTarget(Target);
        D.SetStateFileName(Target + ".dat");
        Attach(D, Log);
    }
    bool Go(uint32_t timeoutMs = 15000) {
        D.Start();
        return RunUntil([&] { return Log.Done > 0; }, timeoutMs);
    }
    // What the downloader reported, for a run that did not end.
    std::string Story() const {
        std::string s = "downloader log:\n";
        for (const auto& line : Log.Lines) s += "  " + line + "\n";
        return s + "time-outs: " + std::to_string(Log.TimeOuts) + "\n";
    }
};

std::multiset<std::string> SegmentRanges(const TFaultServer& server) {
    std::multiset<std::string> ranges;
    for (const auto& rq : server.Requests())
        if (rq.Has("range")) ranges.insert(rq.Range());
    return ranges;
}

TEST(Multipart, FreshDownloadLayoutRequestsAndLogOrder) {
    const std::string content = Pattern(1000);
    TFaultServer server;
    server.SetHandler(
        [&](const TRecordedRequest& rq) { return TFaultResponse::File(rq, content); });
    TRun run(server.Url("/dir/setup%20v6.exe"));
    std::vector<std::tuple<int64_t, int64_t, int64_t>> added;
    run.D.OnProgressAddSegment = [&](TMultipartHttpDownloader*, int64_t s, int64_t span,
                                     int64_t init) { added.emplace_back(s, span, init); };
    ASSERT_TRUE(run.Go()) << run.Story();
    EXPECT_EQ(run.Log.Done, 1);
    EXPECT_EQ(run.Log.DoneCode, 200);
    EXPECT_EQ(run.Log.DoneReason, "OK");
    EXPECT_EQ(ReadAll(run.Target), content);
    EXPECT_FALSE(run.D.FileStream);  // freed by the downloader once complete
    EXPECT_EQ(run.D.FTotalCount, 1000);

    auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 5u);
    EXPECT_FALSE(requests[0].Has("range"));  // the probe
    EXPECT_EQ(SegmentRanges(server),
              (std::multiset<std::string>{"bytes=0-250", "bytes=251-501", "bytes=502-752",
                                          "bytes=753-1000"}));
    using T = std::tuple<int64_t, int64_t, int64_t>;
    EXPECT_EQ(added,
              (std::vector<T>{T{0, 250, 0}, T{251, 250, 251}, T{502, 250, 502}, T{753, 247, 753}}));
    int64_t ends[4] = {251, 251, 251, 247};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(run.D.Parts[i]->FDataCount, ends[i]) << i;

    const auto& l = run.Log.Lines;
    ASSERT_EQ(l.size(), 15u);
    EXPECT_EQ(l[0], "Start-GetASync");
    EXPECT_EQ(l[1], "HeaderEnd ContentLength = 1000");
    EXPECT_EQ(l[2], "HeaderEnd AcceptRanges = bytes");
    EXPECT_EQ(l[3], "HeaderEnd DocName = setup v6.exe");
    EXPECT_EQ(l[4], "HeaderEnd StatusCode = 200 OK");
    EXPECT_EQ(run.Log.Codes[4], 200);
    EXPECT_EQ(l[5], "HeaderEnd Location = " + server.Url("/dir/setup%20v6.exe") + " OK");
    EXPECT_EQ(l[6], "GetASyncRequestDone");
    EXPECT_EQ(l[7], "GetASyncRequestDone - FMsg_WM_START_MULTI");
    EXPECT_EQ(l[8], "WMStartMulti-GetASync");
    std::set<std::string> done;
    for (int i = 9; i < 13; ++i) {
        EXPECT_EQ(run.Log.Codes[i], 200);
        done.insert(l[i]);
    }
    EXPECT_EQ(done,
              (std::set<std::string>{"Download done index = 0 OK", "Download done index = 1 OK",
                                     "Download done index = 2 OK", "Download done index = 3 OK"}));
    EXPECT_EQ(l[13], "Done");
    EXPECT_EQ(l[14], "All done");
}

TEST(Multipart, RedirectedProbeSendsSegmentsToTheTarget) {
    const std::string content = Pattern(4000, 3);
    TFaultServer server;
    server.SetHandler([&](const TRecordedRequest& rq) {
        if (rq.Target == "/a") return TFaultResponse::Redirect(302, "/b");
        if (rq.Target == "/b") return TFaultResponse::Redirect(301, server.Url("/real.bin"));
        return TFaultResponse::File(rq, content);
    });
    TRun run(server.Url("/a"));
    ASSERT_TRUE(run.Go()) << run.Story();
    EXPECT_EQ(run.Log.DoneCode, 200);
    EXPECT_EQ(ReadAll(run.Target), content);
    EXPECT_EQ(run.D.URL, server.Url("/real.bin"));
    EXPECT_TRUE(run.Log.Has("HeaderEnd Change URL = " + server.Url("/b") + " Found"));
    EXPECT_TRUE(
        run.Log.Has("HeaderEnd Change URL = " + server.Url("/real.bin") + " Moved Permanently"));
    int segmentRequests = 0;
    for (const auto& rq : server.Requests()) {
        if (!rq.Has("range")) continue;
        ++segmentRequests;
        EXPECT_EQ(rq.Target, "/real.bin");
    }
    EXPECT_EQ(segmentRequests, 4);
}

TEST(Multipart, SegmentRedirectKeepsItsRange) {
    const std::string content = Pattern(1000, 4);
    TFaultServer server;
    server.SetHandler([&](const TRecordedRequest& rq) {
        // The probe is answered directly; the segments are sent elsewhere once.
        if (rq.Target == "/f" && rq.Has("range")) return TFaultResponse::Redirect(302, "/g");
        return TFaultResponse::File(rq, content);
    });
    TRun run(server.Url("/f"));
    ASSERT_TRUE(run.Go()) << run.Story();
    EXPECT_EQ(ReadAll(run.Target), content);
    EXPECT_EQ(run.Log.Count("LocationChange = " + server.Url("/g")), 4);
    EXPECT_TRUE(run.Log.Has("Index = 1 FStartOffset:251 FDataCount:0"));
    std::multiset<std::string> redirected;
    for (const auto& rq : server.Requests())
        if (rq.Target == "/g") redirected.insert(rq.Range());
    EXPECT_EQ(redirected, (std::multiset<std::string>{"bytes=0-250", "bytes=251-501",
                                                      "bytes=502-752", "bytes=753-1000"}));
}

TEST(Multipart, ServerIgnoringRangeStillGivesTheRightFile) {
    const std::string content = Pattern(100000, 5);
    TFaultServer server;
    server.SetHandler(
        [&](const TRecordedRequest&) { return TFaultResponse::Status(200, content); });
    TRun run(server.Url("/whole"));
    ASSERT_TRUE(run.Go()) << run.Story();
    EXPECT_EQ(run.Log.DoneCode, 200);
    EXPECT_EQ(ReadAll(run.Target), content);
    EXPECT_EQ(run.D.FTotalCount, 100000);
}

TEST(Multipart, ReplyLongerThanAskedIsCutAtTheSegmentEnd) {
    const std::string content = Pattern(10000, 6);
    TFaultServer server;
    server.SetHandler([&](const TRecordedRequest& rq) {
        if (!rq.Has("range")) return TFaultResponse::File(rq, content);
        // Honours the start but sends everything to the end of the file.
        TRecordedRequest open = rq;
        for (auto& h : open.Headers)
            if (h.first == "range") h.second = h.second.substr(0, h.second.find('-') + 1);
        return TFaultResponse::File(open, content);
    });
    TRun run(server.Url("/long"));
    ASSERT_TRUE(run.Go()) << run.Story();
    EXPECT_EQ(run.Log.DoneCode, 200);
    EXPECT_EQ(ReadAll(run.Target), content);
    EXPECT_EQ(run.D.FTotalCount, 10000);
}

TEST(Multipart, WrongContentRangeIsNeverWritten) {
    const std::string content = Pattern(1000, 7);
    std::atomic<int> lies{0};
    TFaultServer server;
    server.SetHandler([&](const TRecordedRequest& rq) {
        if (rq.Range() == "bytes=251-501" && lies++ < 2) {
            // Another slice of the file, labelled truthfully: not the one asked for.
            return TFaultResponse::Status(206, content.substr(0, 251),
                                          "Content-Range: bytes 0-250/1000\r\n");
        }
        if (rq.Range() == "bytes=502-752" && lies++ < 4) {
            // The right slice of a file of another length.
            return TFaultResponse::Status(206, content.substr(502, 251),
                                          "Content-Range: bytes 502-752/2000\r\n");
        }
        return TFaultResponse::File(rq, content);
    });
    TRun run(server.Url("/lies"));
    ASSERT_TRUE(run.Go()) << run.Story();
    EXPECT_EQ(run.Log.DoneCode, 200);
    EXPECT_EQ(ReadAll(run.Target), content);
    EXPECT_GE(run.Log.Count("Restarting 1"), 1);
    EXPECT_GE(run.Log.Count("Restarting 2"), 1);
}

TEST(Multipart, FailedSegmentsRestartWhereTheyStopped) {
    const std::string content = Pattern(1000, 8);
    std::atomic<int> seg1{0}, seg2{0};
    TFaultServer server;
    server.SetHandler([&](const TRecordedRequest& rq) {
        if (rq.Range() == "bytes=251-501" && seg1++ == 0) {
            // Half of the segment, then the connection breaks.
            return TFaultResponse()
                .Send(
                    "HTTP/1.1 206 Partial Content\r\nContent-Length: 251\r\n"
                    "Content-Range: bytes 251-501/1000\r\n\r\n" +
                    content.substr(251, 100))
                .Reset();
        }
        if (rq.Range().rfind("bytes=502-", 0) == 0 && seg2++ == 0)
            return TFaultResponse::Status(416, "", "Content-Range: bytes */1000\r\n");
        return TFaultResponse::File(rq, content);
    });
    TRun run(server.Url("/flaky"));
    ASSERT_TRUE(run.Go()) << run.Story();
    EXPECT_EQ(run.Log.DoneCode, 200);
    EXPECT_EQ(ReadAll(run.Target), content);
    EXPECT_TRUE(run.Log.Has("Download done index = 2  Status = 416"));
    EXPECT_TRUE(run.Log.Has("Restarting 2"));
    EXPECT_TRUE(run.Log.Has("Restarting 1"));
    auto ranges = SegmentRanges(server);
    EXPECT_EQ(ranges.count("bytes=351-501"), 1u) << "resumed at start + count";
    EXPECT_EQ(ranges.count("bytes=502-752"), 2u);
}

TEST(Multipart, ProbeFailures) {
    TFaultServer server;
    server.SetHandler([&](const TRecordedRequest& rq) {
        if (rq.Target == "/nolength")
            return TFaultResponse().Send("HTTP/1.0 200 OK\r\n\r\nabc").Close();
        if (rq.Target == "/empty") return TFaultResponse::Status(200, "");
        return TFaultResponse::Status(404, "nope");
    });
    {
        TRun run(server.Url("/nolength"));
        ASSERT_TRUE(run.Go()) << run.Story();
        EXPECT_EQ(run.Log.DoneCode, 3);
        EXPECT_EQ(run.Log.DoneReason, "Download failed");
        EXPECT_EQ(run.D.ContentLength, -1);
        EXPECT_TRUE(run.Log.Has("ErrorCode = 3"));
    }
    {
        TRun run(server.Url("/missing"));
        ASSERT_TRUE(run.Go()) << run.Story();
        EXPECT_EQ(run.Log.DoneCode, 404);
        EXPECT_EQ(run.Log.DoneReason, "Not Found");
        EXPECT_TRUE(run.Log.Has("StatusCode = 404 Not Found"));
        EXPECT_EQ(server.RequestCount(), 2u);  // no segment was asked for
    }
    TMultipartHttpDownloader d;
    d.PartCount = 1;
    try {
        d.Start();
        FAIL() << "no exception";
    } catch (const ERangeError& e) {
        EXPECT_STREQ(e.what(), "PartCount must be positive");
    }
    EXPECT_TRUE(d.Parts.empty());
}

TEST(Multipart, SilentProbeTimesOut) {
    TFaultServer server;
    server.SetHandler([](const TRecordedRequest&) { return TFaultResponse().Stall(); });
    TRun run(server.Url("/silent"));
    run.D.TimeOut = 1;
    run.D.Start();
    EXPECT_TRUE(RunUntil([&] { return run.Log.TimeOuts > 0; }, 8000));
    EXPECT_EQ(run.Log.Count("Time out!: CurrTick: "), run.Log.TimeOuts);
    run.D.Abort();
    server.Release();
}

TEST(Multipart, ShorterThanPartCount) {
    const std::string content = "xyz";
    TFaultServer server;
    server.SetHandler(
        [&](const TRecordedRequest& rq) { return TFaultResponse::File(rq, content); });
    TRun run(server.Url("/tiny"));
    ASSERT_TRUE(run.Go()) << run.Story();
    EXPECT_EQ(run.Log.DoneCode, 200);
    EXPECT_EQ(ReadAll(run.Target), content);
    // The last segment starts at the length itself: empty, never requested.
    EXPECT_EQ(run.D.Parts[3]->FStartOffset, 3);
    EXPECT_EQ(SegmentRanges(server),
              (std::multiset<std::string>{"bytes=0-0", "bytes=1-1", "bytes=2-2"}));
}

}  // namespace
}  // namespace download
