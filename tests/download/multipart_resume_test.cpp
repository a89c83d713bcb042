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

}  // namespace
}  // namespace download
