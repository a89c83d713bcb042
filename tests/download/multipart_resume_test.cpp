// Abort and resume through the state file, and a state file that says everything is there.
#include <gtest/gtest.h>

#include <set>

#include "download/multipart_downloader.h"
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

void Prepare(TMultipartHttpDownloader& d, const std::string& url, const std::string& target,
             TDownloadLog& log, bool create) {
    d.URL = url;
    d.PartCount = 4;
    d.TimeOut = 2;
    d.FileStream =
        create ? CreateTarget(target)
               : platform::TFileStream::Open(target, platform::FileMode::kOpenWriteExclusive);
    d.SetStateFileName(target + ".dat");
    Attach(d, log);
}

TEST(MultipartResume, AbortThenResumeFromStoredCounts) {
    const std::string content = Pattern(1000, 21);
    std::atomic<bool> slow{true};
    TFaultServer server;
    server.SetHandler([&](const TRecordedRequest& rq) {
        TFaultResponse whole = TFaultResponse::File(rq, content);
        if (!rq.Has("range") || !slow) return whole;
        std::string bytes = whole.Actions[0].Bytes;
        return TFaultResponse().Send(bytes.substr(0, bytes.find("\r\n\r\n") + 4 + 150)).Stall();
    });
    testsupport::TTempDir dir;
    const std::string target = dir.File("r.bin");
    {
        TMultipartHttpDownloader d;
        TDownloadLog log;
        Prepare(d, server.Url("/r.bin"), target, log, true);
        d.Start();
        ASSERT_TRUE(RunUntil([&] { return d.FTotalCount == 600; }));
        d.Abort();
        ASSERT_TRUE(RunUntil([&] { return log.Done > 0; }));
        EXPECT_EQ(log.DoneCode, 503);
        EXPECT_EQ(log.DoneReason, "Transfert aborted");
        EXPECT_EQ(log.Count("Download done index = "), 4);
        for (size_t i = 0; i < log.Lines.size(); ++i) {
            if (log.Lines[i].find(" Aborted") != std::string::npos) {
                EXPECT_EQ(log.Codes[i], 503);
            }
        }
        EXPECT_TRUE(log.Has("******** FTotalCount: 600 ACurrPartTotalCount: 600"));
        EXPECT_EQ(platform::ProfileGetString(target + ".dat", "GLOBAL", "DownloadedSize", ""),
                  "600");
    }
    server.Release();
    slow = false;
    const size_t before = server.RequestCount();
    TMultipartHttpDownloader d;
    TDownloadLog log;
    Prepare(d, server.Url("/r.bin"), target, log, false);
    d.Start();
    ASSERT_TRUE(RunUntil([&] { return log.Done > 0; }));
    EXPECT_EQ(log.DoneCode, 200);
    EXPECT_EQ(ReadAll(target), content);
    EXPECT_TRUE(
        log.Has("************* Load Downloaded Pos  1 FStartOffset=251 FEndOffset: 501 "
                "DataCount=150"));
    std::multiset<std::string> ranges;
    auto requests = server.Requests();
    for (size_t i = before; i < requests.size(); ++i)
        if (requests[i].Has("range")) ranges.insert(requests[i].Range());
    EXPECT_EQ(ranges, (std::multiset<std::string>{"bytes=150-250", "bytes=401-501", "bytes=652-752",
                                                  "bytes=903-1000"}));
}

TEST(MultipartResume, EverySegmentDoneMeansNoRequest) {
    const std::string content = Pattern(1000, 22);
    TFaultServer server;
    server.SetHandler(
        [&](const TRecordedRequest& rq) { return TFaultResponse::File(rq, content); });
    testsupport::TTempDir dir;
    const std::string target = dir.File("d.bin");
    ASSERT_TRUE(platform::WriteFileBytes(target, content));
    const int64_t counts[4] = {251, 251, 251, 247};
    for (int i = 0; i < 4; ++i)
        platform::ProfileWriteString(target + ".dat", "PART_" + std::to_string(i), "DataCount",
                                     std::to_string(counts[i]));
    platform::ProfileWriteString(target + ".dat", "PART_4", "DataCount", "77");
    TMultipartHttpDownloader d;
    TDownloadLog log;
    Prepare(d, server.Url("/d.bin"), target, log, false);
    d.Start();
    ASSERT_TRUE(RunUntil([&] { return log.Done > 0; }));
    EXPECT_EQ(log.Done, 1);
    EXPECT_EQ(log.DoneCode, 200);
    EXPECT_EQ(log.DoneReason, "Check the last time download finished");
    EXPECT_EQ(server.RequestCount(), 1u);  // the probe only
    EXPECT_EQ(d.FTotalCount, 1000);
    EXPECT_EQ(ReadAll(target), content);
}

TEST(MultipartResume, OversizedOrUnbackedCountsStartOver) {
    const std::string content = Pattern(1000, 23);
    TFaultServer server;
    server.SetHandler(
        [&](const TRecordedRequest& rq) { return TFaultResponse::File(rq, content); });
    testsupport::TTempDir dir;
    const std::string target = dir.File("o.bin");
    // The file holds only the first 600 bytes, although the counts claim more.
    ASSERT_TRUE(platform::WriteFileBytes(target, content.substr(0, 600)));
    const char* counts[4] = {"300", "251", "251", "247"};
    for (int i = 0; i < 4; ++i)
        platform::ProfileWriteString(target + ".dat", "PART_" + std::to_string(i), "DataCount",
                                     counts[i]);
    TMultipartHttpDownloader d;
    TDownloadLog log;
    Prepare(d, server.Url("/o.bin"), target, log, false);
    d.Start();
    ASSERT_TRUE(RunUntil([&] { return log.Done > 0; }));
    EXPECT_EQ(log.DoneCode, 200);
    EXPECT_TRUE(log.Has("************* Waring ********* Load Downloaded Pos Set FDataCount=0"));
    EXPECT_EQ(ReadAll(target), content);
    std::multiset<std::string> ranges;
    for (const auto& rq : server.Requests())
        if (rq.Has("range")) ranges.insert(rq.Range());
    EXPECT_EQ(ranges,
              (std::multiset<std::string>{"bytes=0-250", "bytes=600-752", "bytes=753-1000"}));
}

TEST(MultipartResume, StateMustMatchTheAddressAfterRedirectsAndTheLength) {
    // What a state file records is the address the probe ended at; that is what must match,
    // not the address the download was started with.
    const std::string content = Pattern(1000, 24);
    TFaultServer server;
    server.SetHandler([&](const TRecordedRequest& rq) {
        if (rq.Target == "/start") return TFaultResponse::Redirect(302, "/real.bin");
        return TFaultResponse::File(rq, content);
    });
    struct TCase {
        std::string StoredUrl, StoredLength;
        bool Kept;
    };
    const TCase cases[] = {{server.Url("/real.bin"), "1000", true},
                           {server.Url("/REAL.BIN"), "1000", true},  // as the probe compares
                           {server.Url("/start"), "1000", false},
                           {server.Url("/real.bin"), "999", false},
                           {"", "1000", false}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.StoredUrl + " " + c.StoredLength);
        testsupport::TTempDir dir;
        const std::string target = dir.File("m.bin");
        const std::string state = target + ".dat";
        ASSERT_TRUE(platform::WriteFileBytes(target, content.substr(0, 100)));
        platform::ProfileWriteString(state, "GLOBAL", "Url", c.StoredUrl);
        platform::ProfileWriteString(state, "GLOBAL", "ContentLength", c.StoredLength);
        platform::ProfileWriteString(state, "PART_0", "DataCount", "100");
        const size_t before = server.RequestCount();
        TMultipartHttpDownloader d;
        TDownloadLog log;
        Prepare(d, server.Url("/start"), target, log, false);
        d.StateMustMatch = true;
        std::vector<std::string> discarded;
        d.OnStateDiscarded = [&](TMultipartHttpDownloader*, const std::string& why) {
            discarded.push_back(why);
        };
        d.Start();
        ASSERT_TRUE(RunUntil([&] { return log.Done > 0; }));
        EXPECT_EQ(log.DoneCode, 200);
        EXPECT_EQ(ReadAll(target), content);
        std::multiset<std::string> ranges;
        auto requests = server.Requests();
        for (size_t i = before; i < requests.size(); ++i)
            if (requests[i].Has("range")) ranges.insert(requests[i].Range());
        EXPECT_EQ(ranges.count(c.Kept ? "bytes=100-250" : "bytes=0-250"), 1u);
        if (c.Kept) {
            EXPECT_TRUE(discarded.empty());
        } else {
            EXPECT_EQ(discarded, (std::vector<std::string>{"Url " + c.StoredUrl +
                                                           " ContentLength " + c.StoredLength}));
        }
    }
}

}  // namespace
}  // namespace download
