// The built lgdownload against a loopback file server: what a leftover state file may and may
// not do to the next run, a stop on request that keeps one, the one line at the end, --help.
#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <mutex>
#include <set>

#include "platform/eventloop.h"
#include "platform/file.h"
#include "platform/profile.h"
#include "tests/download/http_test_util.h"
#include "tests/support/faultserver.h"
#include "tests/support/testenv.h"
#include "tests/support/tool_run.h"

namespace {

using download::testing_http::Pattern;
using testsupport::TFaultResponse;
using testsupport::TFaultServer;
using testsupport::TRecordedRequest;

// What the server holds under every path; the content can change between runs.
class TFiles {
public:
    void Set(const std::string& path, const std::string& content) {
        std::lock_guard<std::mutex> lock(FLock);
        FContent[path] = content;
    }
    std::string Get(const std::string& path) {
        std::lock_guard<std::mutex> lock(FLock);
        return FContent[path];
    }

private:
    std::mutex FLock;
    std::map<std::string, std::string> FContent;
};

struct TResult {
    int Code = -1;
    std::string Output;  // standard output and error
    std::vector<std::string> Lines;
};

struct LgDownload : testing::Test {
    testsupport::TTempDir Dir;
    TFiles Files;
    TFaultServer Server;
    std::string Target = Dir.File("setup.exe");
    std::string State = Target + ".dat";

    void SetUp() override {
        Server.SetHandler([this](const TRecordedRequest& rq) {
            return TFaultResponse::File(rq, Files.Get(rq.Target));
        });
    }
    TResult Run(std::vector<std::string> args, int timeoutMs = 60000) {
        const std::string out = Dir.File("out.txt");
        testsupport::TToolRun run(LG_LGDOWNLOAD_FILE, args, out);
        TResult r;
        EXPECT_TRUE(run.Started());
        r.Code = run.WaitExit(timeoutMs);
        return Read(r, out);
    }
    static TResult Read(TResult r, const std::string& out) {
        r.Output = platform::ReadFileBytes(out).value_or("");
        std::string line;
        for (char c : r.Output) {
            if (c == '\n') {
                if (!line.empty() && line.back() == '\r') line.pop_back();  // text mode's CR LF
                // A line redrawn in place shows what was drawn last.
                const size_t redrawn = line.rfind('\r');
                r.Lines.push_back(redrawn == std::string::npos ? line : line.substr(redrawn + 1));
                line.clear();
            } else {
                line += c;
            }
        }
        if (!line.empty()) r.Lines.push_back(line);
        for (auto& l : r.Lines)
            while (!l.empty() && (l.back() == ' ' || l.back() == '\r')) l.pop_back();
        return r;
    }
    std::string Complete(size_t size) const {
        return "lgdownload: " + Target + " complete, " + std::to_string(size) + " bytes";
    }
    std::multiset<std::string> RangesSince(size_t first) const {
        std::multiset<std::string> r;
        auto requests = Server.Requests();
        for (size_t i = first; i < requests.size(); ++i)
            if (requests[i].Has("range")) r.insert(requests[i].Range());
        return r;
    }
    static int Count(const std::string& text, const std::string& what) {
        int n = 0;
        for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
            ++n;
        return n;
    }
    // A state file as a run that completed `url` with `length` bytes in four parts leaves it.
    void StoreFinished(const std::string& url, int64_t length) {
        using platform::ProfileWriteString;
        ProfileWriteString(State, "GLOBAL", "Url", url);
        ProfileWriteString(State, "GLOBAL", "ContentLength", std::to_string(length));
        ProfileWriteString(State, "GLOBAL", "DownloadedSize", std::to_string(length));
        const int64_t size = length / 4;
        for (int i = 0; i < 4; ++i) {
            const std::string section = "PART_" + std::to_string(i);
            const int64_t start = i * (size + 1);
            const int64_t end = i < 3 ? start + size : length;
            ProfileWriteString(State, section, "StartOffset", std::to_string(start));
            ProfileWriteString(State, section, "EndOffset", std::to_string(end));
            ProfileWriteString(State, section, "DataCount",
                               std::to_string(std::min(end, length - 1) - start + 1));
            ProfileWriteString(State, section, "Done", "1");
        }
    }
};

TEST_F(LgDownload, CompleteRunRemovesItsStateFileAndEndsWithOneLine) {
    const std::string content = Pattern(100003, 61);
    Files.Set("/a.exe", content);
    TResult r = Run({Server.Url("/a.exe"), Target});
    ASSERT_EQ(r.Code, 0) << r.Output;
    EXPECT_EQ(platform::ReadFileBytes(Target).value_or(""), content);
    EXPECT_FALSE(platform::FileExists(State));
    ASSERT_FALSE(r.Lines.empty()) << r.Output;
    EXPECT_EQ(r.Lines.back(), Complete(content.size())) << r.Output;
    EXPECT_EQ(Count(r.Output, "complete,"), 1) << r.Output;
    EXPECT_LE(Count(r.Output, "100.0%"), 1) << r.Output;  // the end is not drawn again and again
}

TEST_F(LgDownload, SameLengthNewContentIsDownloadedAgain) {
    Files.Set("/a.exe", Pattern(100003, 62));
    ASSERT_EQ(Run({Server.Url("/a.exe"), Target}).Code, 0);
    const std::string changed = Pattern(100003, 63);
    Files.Set("/a.exe", changed);
    const size_t before = Server.RequestCount();
    TResult r = Run({Server.Url("/a.exe"), Target});
    ASSERT_EQ(r.Code, 0) << r.Output;
    EXPECT_EQ(platform::ReadFileBytes(Target).value_or(""), changed);
    EXPECT_EQ(RangesSince(before).size(), 4u);
    EXPECT_FALSE(platform::FileExists(State));
}

TEST_F(LgDownload, LeftoverStateOfAnotherDownloadIsSetAside) {
    const std::string small = Pattern(100003, 64), large = Pattern(200003, 65);
    // Another address, and the same address whose file has grown since.
    for (const std::string& leftover : {std::string("/old.exe"), std::string("/new.exe")}) {
        SCOPED_TRACE(leftover);
        Files.Set("/old.exe", small);
        Files.Set("/new.exe", large);
        ASSERT_TRUE(platform::WriteFileBytes(Target, small));
        StoreFinished(Server.Url(leftover), static_cast<int64_t>(small.size()));
        const size_t before = Server.RequestCount();
        TResult r = Run({Server.Url("/new.exe"), Target});
        ASSERT_EQ(r.Code, 0) << r.Output;
        EXPECT_EQ(platform::ReadFileBytes(Target).value_or(""), large);
        EXPECT_EQ(RangesSince(before),
                  (std::multiset<std::string>{"bytes=0-50000", "bytes=50001-100001",
                                              "bytes=100002-150002", "bytes=150003-200003"}));
        EXPECT_NE(r.Output.find("lgdownload: " + State + " is from another download (Url " +
                                Server.Url(leftover) + " ContentLength 100003): starting afresh"),
                  std::string::npos)
            << r.Output;
        EXPECT_FALSE(platform::FileExists(State));
    }
}

TEST_F(LgDownload, ResumeKeepsAStateFileThatNamesAnotherAddress) {
    // The file moved to a mirror; the user knows it is the same one and says so.
    const std::string content = Pattern(1003, 66);
    Files.Set("/mirror.exe", content);
    ASSERT_TRUE(platform::WriteFileBytes(Target, content.substr(0, 100) + std::string(903, 'o')));
    StoreFinished(Server.Url("/gone.exe"), 1003);
    platform::ProfileWriteString(State, "GLOBAL", "DownloadedSize", "100");
    for (int i = 0; i < 4; ++i)
        platform::ProfileWriteString(State, "PART_" + std::to_string(i), "DataCount",
                                     i == 0 ? "100" : "0");
    TResult r = Run({"--resume", Server.Url("/mirror.exe"), Target});
    ASSERT_EQ(r.Code, 0) << r.Output;
    EXPECT_EQ(platform::ReadFileBytes(Target).value_or(""), content);
    EXPECT_EQ(RangesSince(0), (std::multiset<std::string>{"bytes=100-250", "bytes=251-501",
                                                          "bytes=502-752", "bytes=753-1003"}));
    EXPECT_EQ(r.Output.find("another download"), std::string::npos) << r.Output;
    EXPECT_FALSE(platform::FileExists(State));
}

TEST_F(LgDownload, StopRequestKeepsTheStateFileAndTheNextRunGoesOn) {
    const std::string content = Pattern(100003, 67);
    Files.Set("/a.exe", content);
    std::atomic<bool> slow{true};
    // Each segment gets its first 1000 bytes, then nothing until the run is stopped.
    Server.SetHandler([&](const TRecordedRequest& rq) {
        TFaultResponse whole = TFaultResponse::File(rq, content);
        if (!rq.Has("range") || !slow) return whole;
        const std::string bytes = whole.Actions[0].Bytes;
        return TFaultResponse().Send(bytes.substr(0, bytes.find("\r\n\r\n") + 4 + 1000)).Stall();
    });
    const std::string out = Dir.File("stop.txt");
    TResult stopped;
    {
        testsupport::TToolRun run(LG_LGDOWNLOAD_FILE, {Server.Url("/a.exe"), Target}, out);
        ASSERT_TRUE(run.Started());
        ASSERT_TRUE(
            platform::TEventLoop::RunUntil([&] { return RangesSince(0).size() == 4; }, 20000));
        // The bytes sent are on their way; give the tool a moment to take them.
        platform::TEventLoop::RunUntil([] { return false; }, 1500);
        if (!run.RequestStop()) GTEST_SKIP() << "no way to deliver a stop request here";
        stopped.Code = run.WaitExit(20000);
    }
    stopped = Read(stopped, out);
    ASSERT_EQ(stopped.Code, 130) << stopped.Output;
    ASSERT_FALSE(stopped.Lines.empty());
    EXPECT_EQ(stopped.Lines.back(), "lgdownload: stopped (code 130); run again to go on");
    ASSERT_TRUE(platform::FileExists(State));
    EXPECT_EQ(platform::ProfileGetString(State, "GLOBAL", "ContentLength", ""), "100003");
    EXPECT_EQ(platform::ProfileGetString(State, "GLOBAL", "DownloadedSize", ""), "4000");

    Server.Release();
    slow = false;
    const size_t before = Server.RequestCount();
    TResult r = Run({Server.Url("/a.exe"), Target});
    ASSERT_EQ(r.Code, 0) << r.Output;
    EXPECT_EQ(platform::ReadFileBytes(Target).value_or(""), content);
    EXPECT_EQ(RangesSince(before),
              (std::multiset<std::string>{"bytes=1000-25000", "bytes=26001-50001",
                                          "bytes=51002-75002", "bytes=76003-100003"}));
    EXPECT_FALSE(platform::FileExists(State));
}

TEST_F(LgDownload, HelpNamesEveryOptionAndTheStopCode) {
    TResult r = Run({"--help"});
    EXPECT_EQ(r.Code, 0);
    for (const char* word : {"--parts N", "--timeout S", "--proxy HOST:PORT", "--md5 HEX",
                             "--resume", "--quiet", "--help", "130", "64"})
        EXPECT_NE(r.Output.find(word), std::string::npos) << word << "\n" << r.Output;
    TResult bad = Run({"--parts", "1", Server.Url("/a.exe"), Target});
    EXPECT_EQ(bad.Code, 64) << bad.Output;
    EXPECT_EQ(Server.RequestCount(), 0u);
}

TEST_F(LgDownload, PartsTimeOutAndDigestReachTheEngine) {
    const std::string content = Pattern(1000, 68);
    Files.Set("/a.exe", content);
    TResult wrong = Run({"--parts", "2", "--timeout", "5", "--md5",
                         "00000000000000000000000000000000", Server.Url("/a.exe"), Target});
    EXPECT_EQ(wrong.Code, 4) << wrong.Output;
    // Two parts per attempt; the first attempt and both retries of a wrong digest start afresh.
    EXPECT_EQ(RangesSince(0),
              (std::multiset<std::string>{"bytes=0-500", "bytes=0-500", "bytes=0-500",
                                          "bytes=501-1000", "bytes=501-1000", "bytes=501-1000"}));
    EXPECT_FALSE(platform::FileExists(State));  // complete, if wrong: nothing to resume
}

}  // namespace
