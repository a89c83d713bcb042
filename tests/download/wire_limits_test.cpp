// Lengths, sizes, ranges and stored counts at the edge of 64 bits: a value no offset can hold,
// or one whose sums would not fit, is refused (error kHttpErrBadLength, or a discarded state
// file), never wrapped; a value that fits is used in full.
#include <gtest/gtest.h>

#include <cstdint>
#include <set>

#include "download/checked_math.h"
#include "download/http_parser.h"
#include "download/multipart_downloader.h"
#include "platform/profile.h"
#include "tests/download/dl_test_util.h"
#include "tests/support/faultserver.h"
#include "tests/support/testenv.h"

namespace download {
namespace {

using namespace testing_dl;
using testing_http::TClientLog;
using testsupport::TFaultResponse;
using testsupport::TFaultServer;
using testsupport::TRecordedRequest;
using TEvent = THttpResponseParser::TEvent;

constexpr int64_t kMax = INT64_MAX;
const std::string kMaxText = "9223372036854775807";

TEST(CheckedMath, SumsAndDifferencesAtTheEdges) {
    int64_t out = 7;
    EXPECT_TRUE(CheckedAdd(kMax - 1, 1, out));
    EXPECT_EQ(out, kMax);
    out = 7;
    EXPECT_FALSE(CheckedAdd(kMax, 1, out));
    EXPECT_EQ(out, 7);  // untouched on failure
    EXPECT_FALSE(CheckedAdd(INT64_MIN, -1, out));
    EXPECT_TRUE(CheckedAdd(INT64_MIN, kMax, out));
    EXPECT_EQ(out, -1);
    EXPECT_TRUE(CheckedSub(0, kMax, out));
    EXPECT_EQ(out, -kMax);
    EXPECT_FALSE(CheckedSub(-2, kMax, out));
    EXPECT_FALSE(CheckedSub(0, INT64_MIN, out));
    EXPECT_TRUE(CheckedSub(INT64_MIN, INT64_MIN, out));
    EXPECT_EQ(out, 0);
}

// The parser's verdict on one header (and body) fed whole.
struct TParsed {
    TEvent Last = TEvent::kNeedMore;
    int ErrorCode = 0;
    std::string ErrorText;
    int64_t ContentLength = -2;
    std::string Body;
};

TParsed Parse(const std::string& text) {
    THttpResponseParser p;
    p.Start(false);
    TParsed out;
    size_t pos = 0;
    for (;;) {
        auto r = p.Feed(text.data() + pos, text.size() - pos);
        pos += r.Consumed;
        out.Last = r.Event;
        if (r.Event == TEvent::kHeaderDone) out.ContentLength = p.ContentLength;
        if (r.Event == TEvent::kBody) out.Body.append(r.Data, r.Length);
        if (r.Event == TEvent::kError || r.Event == TEvent::kMessageDone ||
            r.Event == TEvent::kNeedMore)
            break;
    }
    out.ErrorCode = p.ErrorCode;
    out.ErrorText = p.ErrorText;
    return out;
}

TEST(WireLimits, ContentLengthUpTo63BitsIsTakenPastItRefused) {
    TParsed largest = Parse("HTTP/1.1 200 OK\r\nContent-Length: " + kMaxText + "\r\n\r\n");
    EXPECT_EQ(largest.ErrorCode, 0);
    EXPECT_EQ(largest.ContentLength, kMax);

    // Leading zeros are padding, however many: the value is what counts.
    TParsed padded =
        Parse("HTTP/1.1 200 OK\r\nContent-Length: 000000000000000000000000005\r\n\r\nhello");
    EXPECT_EQ(padded.ErrorCode, 0);
    EXPECT_EQ(padded.ContentLength, 5);
    EXPECT_EQ(padded.Body, "hello");
    EXPECT_EQ(padded.Last, TEvent::kMessageDone);

    for (const std::string& value :
         {std::string("9223372036854775808"), std::string("18446744073709551616"),
          std::string("99999999999999999999999999")}) {
        TParsed p = Parse("HTTP/1.1 200 OK\r\nContent-Length: " + value + "\r\n\r\nbody");
        EXPECT_EQ(p.Last, TEvent::kError) << value;
        EXPECT_EQ(p.ErrorCode, kHttpErrBadLength) << value;
        EXPECT_EQ(p.ErrorText, kHttpBadLengthReason + ("Content-Length " + value)) << value;
        EXPECT_EQ(p.ContentLength, -2) << value;  // no header end: nothing of it is used
    }

    // What is no number at all stays "no length", as before.
    TParsed word = Parse("HTTP/1.1 200 OK\r\nContent-Length: many\r\n\r\n");
    EXPECT_EQ(word.ErrorCode, 0);
    EXPECT_EQ(word.ContentLength, -1);
}

TEST(WireLimits, ChunkSizeUpTo63BitsIsTakenPastItRefused) {
    const std::string head = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n";
    TParsed padded = Parse(head + "00000000000000000000005\r\nhello\r\n0\r\n\r\n");
    EXPECT_EQ(padded.ErrorCode, 0);
    EXPECT_EQ(padded.Body, "hello");
    EXPECT_EQ(padded.Last, TEvent::kMessageDone);

    // The largest size is announced, and its first bytes are taken as body.
    TParsed largest = Parse(head + "7fffffffffffffff\r\nabc");
    EXPECT_EQ(largest.ErrorCode, 0);
    EXPECT_EQ(largest.Body, "abc");

    for (const std::string& size :
         {std::string("8000000000000000"), std::string("ffffffffffffffff"),
          std::string("10000000000000000"), std::string("00000000000000008000000000000000")}) {
        TParsed p = Parse(head + size + "\r\nabc");
        EXPECT_EQ(p.Last, TEvent::kError) << size;
        EXPECT_EQ(p.ErrorCode, kHttpErrBadLength) << size;
        EXPECT_EQ(p.ErrorText, kHttpBadLengthReason + ("chunk size " + size)) << size;
        EXPECT_TRUE(p.Body.empty()) << size;
    }
    TParsed notHex = Parse(head + "12g\r\nabc");
    EXPECT_EQ(notHex.ErrorCode, kHttpErrProtocol);
}

TEST(WireLimits, ClientEndsOnceWithTheLengthError) {
    TFaultServer server;
    server.Enqueue(
        TFaultResponse().Send("HTTP/1.1 200 OK\r\nContent-Length: 92233720368547758070"
                              "\r\n\r\nbytes that must not be taken"));
    THttpCli client;
    TClientLog log;
    testing_http::Attach(client, log);
    client.URL = server.Url("/big");
    client.GetASync();
    ASSERT_TRUE(testing_http::RunToDone(log));
    EXPECT_EQ(log.Events, (std::vector<std::string>{"done 15"}));
    EXPECT_EQ(log.ErrCode, kHttpErrBadLength);
    EXPECT_EQ(client.ReasonPhrase,
              std::string(kHttpBadLengthReason) + "Content-Length 92233720368547758070");
    EXPECT_EQ(log.DoneCount, 1);
}

struct TRun {
    testsupport::TTempDir Dir;
    TMultipartHttpDownloader D;
    TDownloadLog Log;
    std::string Target;

    explicit TRun(const std::string& url, bool create = true) {
        Target = Dir.File("w.bin");
        D.URL = url;
        D.PartCount = 4;
        D.TimeOut = 5;
        if (create) D.FileStream = CreateTarget(Target);
        D.SetStateFileName(Target + ".dat");
        Attach(D, Log);
    }
    void Open() {
        D.FileStream = platform::TFileStream::Open(Target, platform::FileMode::kOpenWriteExclusive);
    }
    bool Go(uint32_t timeoutMs = 20000) {
        D.Start();
        return RunUntil([&] { return Log.Done > 0; }, timeoutMs);
    }
    std::string Story() const {
        std::string s = "downloader log:\n";
        for (const auto& line : Log.Lines) s += "  " + line + "\n";
        return s;
    }
};

std::string ProbeHeader(const std::string& length) {
    return "HTTP/1.1 200 OK\r\nContent-Length: " + length + "\r\nAccept-Ranges: bytes\r\n\r\n";
}

TEST(WireLimits, ProbeRefusesALengthWhoseSegmentsWouldNotFit) {
    // Four parts of 2^63 - 4 bytes end their layout one past the largest offset.
    for (const std::string& length : {kMaxText, std::string("9223372036854775804")}) {
        TFaultServer server;
        server.SetHandler([&](const TRecordedRequest&) {
            return TFaultResponse().Send(ProbeHeader(length)).Close();
        });
        TRun run(server.Url("/huge"));
        ASSERT_TRUE(run.Go()) << run.Story();
        EXPECT_EQ(run.Log.Done, 1);
        EXPECT_EQ(run.Log.DoneCode, kHttpErrBadLength) << length;
        EXPECT_EQ(run.Log.DoneReason, "Download failed");
        EXPECT_TRUE(run.Log.Has("ErrorCode = 15")) << run.Story();
        EXPECT_TRUE(
            run.Log.Has(kHttpBadLengthReason + ("Content-Length " + length + " in 4 parts")))
            << run.Story();
        EXPECT_EQ(run.D.ContentLength, 0);
        EXPECT_EQ(server.RequestCount(), 1u);  // no segment was asked for
    }
}

TEST(WireLimits, LargestLengthThatFitsIsLaidOutWithoutWrapping) {
    const std::string length = "9223372036854775803";  // 2^63 - 5
    TFaultServer server;
    server.SetHandler([&](const TRecordedRequest& rq) {
        if (!rq.Has("range")) return TFaultResponse().Send(ProbeHeader(length)).Close();
        return TFaultResponse().Stall();  // an answer would only lead to a restart
    });
    TRun run(server.Url("/huge"));
    run.D.Start();
    auto ranges = [&] {
        std::set<std::string> seen;
        for (const auto& rq : server.Requests())
            if (rq.Has("range")) seen.insert(rq.Range());
        return seen;
    };
    ASSERT_TRUE(RunUntil([&] { return ranges().size() >= 4; })) << run.Story();
    run.D.Abort();
    RunUntil([&] { return run.Log.Done > 0; });
    EXPECT_EQ(ranges(), (std::set<std::string>{"bytes=0-2305843009213693950",
                                               "bytes=2305843009213693951-4611686018427387901",
                                               "bytes=4611686018427387902-6917529027641081852",
                                               "bytes=6917529027641081853-" + length}));
    EXPECT_EQ(run.D.ContentLength, kMax - 4);
}

// Segment `index` of a 1000-byte file is first answered with `first`; every other request,
// and that segment's second one, as a file server would.
struct TOneBadReply {
    std::string Content = Pattern(1000, 41);
    std::string BadRange;
    std::atomic<bool> Sent{false};
    TFaultServer Server;

    TOneBadReply(const std::string& badRange, std::function<TFaultResponse()> first) {
        BadRange = badRange;
        Server.SetHandler([this, first](const TRecordedRequest& rq) {
            if (rq.Range() == BadRange && !Sent.exchange(true)) return first();
            return TFaultResponse::File(rq, Content);
        });
    }
    int AskedFor(const std::string& range) const {
        int n = 0;
        for (const auto& rq : Server.Requests()) n += rq.Range() == range;
        return n;
    }
};

TEST(WireLimits, RangeEndingAtTheLargestOffsetIsRefusedAndTheSegmentAskedAgain) {
    // Without a length the reply's end is the Content-Range's: end + 1 does not exist.
    TOneBadReply server("bytes=251-501", [] {
        return TFaultResponse()
            .Send("HTTP/1.1 206 Partial Content\r\nContent-Range: bytes 251-" + kMaxText +
                  "/*\r\n\r\n")
            .Send(std::string(300, 'X'))
            .Close();
    });
    TRun run(server.Server.Url("/f"));
    ASSERT_TRUE(run.Go()) << run.Story();
    EXPECT_EQ(run.Log.DoneCode, 200) << run.Story();
    EXPECT_EQ(ReadAll(run.Target), server.Content);
    EXPECT_TRUE(run.Log.Has(kHttpBadLengthReason + ("Content-Range end " + kMaxText)))
        << run.Story();
    EXPECT_TRUE(run.Log.Has("Download done index = 1  ErrorCode = 15")) << run.Story();
    EXPECT_TRUE(run.Log.Has("Restarting 1"));
    EXPECT_EQ(server.AskedFor("bytes=251-501"), 2);
}

TEST(WireLimits, RangeFromZeroToTheLargestOffsetWithALengthIsRefused) {
    // With a length, checking it against the range's span is the sum that would overflow.
    TOneBadReply server("bytes=0-250", [] {
        return TFaultResponse()
            .Send("HTTP/1.1 206 Partial Content\r\nContent-Range: bytes 0-" + kMaxText +
                  "/1000\r\nContent-Length: 251\r\n\r\n")
            .Send(std::string(251, 'Y'))
            .Close();
    });
    TRun run(server.Server.Url("/f"));
    ASSERT_TRUE(run.Go()) << run.Story();
    EXPECT_EQ(run.Log.DoneCode, 200) << run.Story();
    EXPECT_EQ(ReadAll(run.Target), server.Content);
    EXPECT_TRUE(run.Log.Has("Download done index = 0  ErrorCode = 15")) << run.Story();
    EXPECT_EQ(server.AskedFor("bytes=0-250"), 2);
}

TEST(WireLimits, ChunkSizePastTheLimitInASegmentIsRefusedAndAskedAgain) {
    TOneBadReply server("bytes=502-752", [] {
        return TFaultResponse()
            .Send(
                "HTTP/1.1 206 Partial Content\r\nContent-Range: bytes 502-752/1000\r\n"
                "Transfer-Encoding: chunked\r\n\r\nffffffffffffffffff\r\nZZZZ")
            .Close();
    });
    TRun run(server.Server.Url("/f"));
    ASSERT_TRUE(run.Go()) << run.Story();
    EXPECT_EQ(run.Log.DoneCode, 200) << run.Story();
    EXPECT_EQ(ReadAll(run.Target), server.Content);
    EXPECT_TRUE(run.Log.Has("Download done index = 2  ErrorCode = 15")) << run.Story();
}

// A state file as someone else may have left it, then a fresh 1000-byte download over it.
struct TStoredRun {
    std::string Content = Pattern(1000, 43);
    TFaultServer Server;
    TRun Run{Server.Url("/s"), false};
    std::string State = Run.Target + ".dat";

    // The target holds `prefix` of the content, then bytes of no download.
    explicit TStoredRun(size_t prefix = 0) {
        Server.SetHandler(
            [this](const TRecordedRequest& rq) { return TFaultResponse::File(rq, Content); });
        EXPECT_TRUE(platform::WriteFileBytes(
            Run.Target, Content.substr(0, prefix) + std::string(1000 - prefix, 'o')));
        Run.Open();
    }
    void Store(const std::string& section, const std::string& key, const std::string& value) {
        platform::ProfileWriteString(State, section, key, value);
    }
    std::multiset<std::string> Ranges() const {
        std::multiset<std::string> r;
        for (const auto& rq : Server.Requests())
            if (rq.Has("range")) r.insert(rq.Range());
        return r;
    }
};

const std::multiset<std::string> kFreshRanges{"bytes=0-250", "bytes=251-501", "bytes=502-752",
                                              "bytes=753-1000"};

TEST(WireLimits, StoredCountsThatNoOffsetCanHoldDiscardTheStateFile) {
    // One count is fine; the other cannot be trusted, and neither then can the file.
    for (const std::string& bad :
         {std::string("-1"), std::string("-9223372036854775808"), kMaxText}) {
        TStoredRun s;
        s.Store("PART_0", "DataCount", "100");
        s.Store("PART_1", "DataCount", bad);
        ASSERT_TRUE(s.Run.Go()) << s.Run.Story();
        EXPECT_EQ(s.Run.Log.DoneCode, 200) << bad;
        EXPECT_EQ(ReadAll(s.Run.Target), s.Content) << bad;
        EXPECT_EQ(s.Ranges(), kFreshRanges) << bad;
        EXPECT_TRUE(s.Run.Log.Has("************* State file discarded: PART_1 DataCount " + bad))
            << s.Run.Story();
        EXPECT_EQ(s.Run.Log.Count("************* Load Downloaded Pos"), 0) << bad;
    }
}

TEST(WireLimits, StoredTotalsThatNoOffsetCanHoldDiscardTheStateFileInAppendMode) {
    for (const std::string& bad : {std::string("-9223372036854775808"), std::string("-5")}) {
        TStoredRun s;
        s.Run.D.AppendMode = true;
        s.Store("GLOBAL", "ContentLength", bad);
        s.Store("GLOBAL", "DownloadedSize", bad);
        ASSERT_TRUE(s.Run.Go()) << s.Run.Story();
        EXPECT_EQ(s.Run.Log.DoneCode, 200) << bad;
        EXPECT_EQ(ReadAll(s.Run.Target), s.Content) << bad;
        EXPECT_EQ(s.Ranges(), kFreshRanges) << bad;
        EXPECT_TRUE(s.Run.Log.Has("************* State file discarded: ContentLength " + bad +
                                  " DownloadedSize " + bad))
            << s.Run.Story();
    }
}

TEST(WireLimits, SoundStoredCountsStillResume) {
    // The check must not cost a good state file its use: a count past its segment only resets
    // that segment, as before, and the others resume.
    TStoredRun s(100);
    s.Store("PART_0", "DataCount", "100");
    s.Store("PART_2", "DataCount", "300");
    ASSERT_TRUE(s.Run.Go()) << s.Run.Story();
    EXPECT_EQ(s.Run.Log.DoneCode, 200);
    EXPECT_EQ(ReadAll(s.Run.Target), s.Content);
    EXPECT_EQ(s.Ranges(), (std::multiset<std::string>{"bytes=100-250", "bytes=251-501",
                                                      "bytes=502-752", "bytes=753-1000"}));
    EXPECT_TRUE(
        s.Run.Log.Has("************* Waring ********* Load Downloaded Pos Set FDataCount=0"));
    EXPECT_EQ(s.Run.Log.Count("************* State file discarded"), 0);
}

}  // namespace
}  // namespace download
