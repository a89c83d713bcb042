#include "download/http_parser.h"

#include <gtest/gtest.h>

#include "download/http_types.h"

namespace download {
namespace {

using TEvent = THttpResponseParser::TEvent;

struct TOutcome {
    int HeaderEvents = 0;
    std::string Body;
    bool Done = false;
    bool Error = false;
    size_t Leftover = 0;  // bytes after the end of the message
};

// Feeds `text` in pieces of `piece` bytes, then (optionally) the end of the connection.
TOutcome FeedAll(THttpResponseParser& p, const std::string& text, size_t piece, bool eof = false,
                 bool head = false) {
    p.Start(head);
    TOutcome out;
    for (size_t at = 0; at < text.size() && !out.Done && !out.Error; at += piece) {
        std::string chunk = text.substr(at, piece);
        size_t pos = 0;
        while (!out.Done && !out.Error) {
            auto r = p.Feed(chunk.data() + pos, chunk.size() - pos);
            pos += r.Consumed;
            if (r.Event == TEvent::kNeedMore) break;
            if (r.Event == TEvent::kHeaderDone) ++out.HeaderEvents;
            if (r.Event == TEvent::kBody) out.Body.append(r.Data, r.Length);
            if (r.Event == TEvent::kMessageDone) {
                out.Done = true;
                out.Leftover =
                    chunk.size() - pos + (text.size() - std::min(text.size(), at + piece));
            }
            if (r.Event == TEvent::kError) out.Error = true;
        }
    }
    if (eof && !out.Done && !out.Error) {
        TEvent e = p.Eof();
        out.Done = e == TEvent::kMessageDone;
        out.Error = e == TEvent::kError;
    }
    return out;
}

class HttpParserPieces : public testing::TestWithParam<size_t> {};

TEST_P(HttpParserPieces, LengthBodyStopsAtContentLength) {
    THttpResponseParser p;
    TOutcome o =
        FeedAll(p,
                "HTTP/1.1 206 Partial Content\r\nContent-Length: 5\r\n"
                "Content-Range: bytes 251-255/1000\r\nAccept-Ranges: bytes\r\n\r\nhelloEXTRA",
                GetParam());
    EXPECT_EQ(o.HeaderEvents, 1);
    EXPECT_EQ(o.Body, "hello");
    EXPECT_TRUE(o.Done);
    EXPECT_EQ(o.Leftover, 5u);
    EXPECT_EQ(p.StatusCode, 206);
    EXPECT_EQ(p.ReasonPhrase, "Partial Content");
    EXPECT_EQ(p.ContentLength, 5);
    EXPECT_EQ(p.ContentRangeBegin, "251");
    EXPECT_EQ(p.ContentRangeEnd, "255");
    EXPECT_EQ(p.AcceptRanges, "bytes");
    EXPECT_EQ(p.HeaderLines.size(), 3u);
}

TEST_P(HttpParserPieces, ChunkedWithOddSizesExtensionsAndTrailer) {
    THttpResponseParser p;
    TOutcome o = FeedAll(p,
                         "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"
                         "1\r\na\r\n1f;name=v\r\n0123456789012345678901234567890\r\n"
                         "A\r\nabcdefghij\r\n0\r\nX-Trailer: 1\r\n\r\n",
                         GetParam());
    EXPECT_EQ(o.Body, "a0123456789012345678901234567890abcdefghij");
    EXPECT_TRUE(o.Done);
    EXPECT_TRUE(p.KeepAlive("1.1"));
}

TEST_P(HttpParserPieces, InterimContinueIsSkipped) {
    THttpResponseParser p;
    TOutcome o =
        FeedAll(p, "HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok",
                GetParam());
    EXPECT_EQ(o.HeaderEvents, 1);
    EXPECT_EQ(p.StatusCode, 200);
    EXPECT_EQ(o.Body, "ok");
}

TEST_P(HttpParserPieces, BodyUntilCloseWithoutLength) {
    THttpResponseParser p;
    TOutcome o =
        FeedAll(p, "HTTP/1.0 200 OK\nContent-Type: text/html\n\nsome body", GetParam(), true);
    EXPECT_EQ(p.ContentLength, -1);
    EXPECT_EQ(o.Body, "some body");
    EXPECT_TRUE(o.Done);
    EXPECT_FALSE(p.KeepAlive("1.1"));
}

INSTANTIATE_TEST_SUITE_P(Split, HttpParserPieces, testing::Values(1, 2, 7, 100000));

TEST(HttpParser, StatusLineRules) {
    THttpResponseParser p;
    FeedAll(p, "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n", 100);
    EXPECT_EQ(p.StatusCode, 404);
    EXPECT_EQ(p.ReasonPhrase, "Not Found");
    EXPECT_EQ(p.Version, "1.1");
    FeedAll(p, "HTTP/1.0 200\r\n\r\n", 100, true);
    EXPECT_EQ(p.ReasonPhrase, "");
    for (const char* bad : {"HTTP/2 200 OK\r\n\r\n", "ICY 200 OK\r\n\r\n", "HTTP/1.1 20 OK\r\n\r\n",
                            "HTTP/1.1 2000 OK\r\n\r\n", "HTTP/1.1 OK\r\n\r\n", "<html>\r\n"}) {
        TOutcome o = FeedAll(p, bad, 3);
        EXPECT_TRUE(o.Error) << bad;
        EXPECT_EQ(p.ErrorCode, kHttpErrProtocol) << bad;
    }
}

TEST(HttpParser, NoBodyCases) {
    THttpResponseParser p;
    for (const char* text :
         {"HTTP/1.1 204 No Content\r\nContent-Length: 10\r\n\r\n",
          "HTTP/1.1 304 Not Modified\r\n\r\n", "HTTP/1.1 302 Found\r\nLocation: /x\r\n\r\n",
          "HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n"}) {
        TOutcome o = FeedAll(p, text, 5);
        EXPECT_TRUE(o.Done) << text;
        EXPECT_EQ(o.Body, "") << text;
    }
    TOutcome head = FeedAll(p, "HTTP/1.1 200 OK\r\nContent-Length: 99\r\n\r\n", 5, false, true);
    EXPECT_TRUE(head.Done);
    EXPECT_EQ(p.ContentLength, 99);
    // A 302 of unknown length may be followed by a body: that connection cannot be reused.
    FeedAll(p, "HTTP/1.1 302 Found\r\nLocation: /x\r\n\r\n", 100);
    EXPECT_FALSE(p.KeepAlive("1.1"));
}

TEST(HttpParser, ContentLengthValues) {
    THttpResponseParser p;
    FeedAll(p, "HTTP/1.1 200 OK\r\nContent-Length:    42  \r\n\r\n", 100);
    EXPECT_EQ(p.ContentLength, 42);
    FeedAll(p, "HTTP/1.1 200 OK\r\nContent-Length: abc\r\n\r\n", 100);
    EXPECT_EQ(p.ContentLength, -1);
    FeedAll(p, "HTTP/1.1 200 OK\r\nContent-Length: -5\r\n\r\n", 100);
    EXPECT_EQ(p.ContentLength, -1);
    FeedAll(p, "HTTP/1.1 200 OK\r\ncontent-length: 5000000000\r\n\r\n", 100);
    EXPECT_EQ(p.ContentLength, 5000000000LL);
}

TEST(HttpParser, KeepAliveRules) {
    THttpResponseParser p;
    FeedAll(p, "HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n", 100);
    EXPECT_TRUE(p.KeepAlive("1.1"));
    EXPECT_FALSE(p.KeepAlive("1.0"));
    FeedAll(p, "HTTP/1.0 200 OK\r\nContent-Length: 0\r\nConnection: Keep-Alive\r\n\r\n", 100);
    EXPECT_TRUE(p.KeepAlive("1.0"));
    FeedAll(p, "HTTP/1.1 200 OK\r\nContent-Length: 0\r\nConnection: close\r\n\r\n", 100);
    EXPECT_FALSE(p.KeepAlive("1.1"));
}

TEST(HttpParser, PrematureEnds) {
    THttpResponseParser p;
    TOutcome o = FeedAll(p, "", 1, true);
    EXPECT_TRUE(o.Error);
    EXPECT_EQ(p.ErrorCode, kHttpErrNoStatusCode);
    EXPECT_EQ(p.ErrorText, "HTTP no status code (connection closed prematurely)");
    o = FeedAll(p, "HTTP/1.1 200 OK\r\nContent-Le", 4, true);
    EXPECT_EQ(p.ErrorCode, kHttpErrTruncated);
    o = FeedAll(p, "HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\n12345", 4, true);
    EXPECT_TRUE(o.Error);
    EXPECT_EQ(o.Body, "12345");
    EXPECT_EQ(p.ErrorCode, kHttpErrTruncated);
    o = FeedAll(p, "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nabc", 4, true);
    EXPECT_EQ(p.ErrorCode, kHttpErrTruncated);
}

TEST(HttpParser, BadChunksAndHugeHeaders) {
    THttpResponseParser p;
    for (const char* size : {"zz", "", "-1", "1234567890abcdef0"}) {
        TOutcome o = FeedAll(
            p, std::string("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n") + size + "\r\n",
            3);
        EXPECT_TRUE(o.Error) << size;
    }
    TOutcome o =
        FeedAll(p, "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n3\r\nabcX\r\n", 100);
    EXPECT_TRUE(o.Error);

    std::string longLine = "HTTP/1.1 200 OK\r\nX-Big: " + std::string(20000, 'x') + "\r\n\r\n";
    o = FeedAll(p, longLine, 4096);
    EXPECT_TRUE(o.Error);
    EXPECT_EQ(p.ErrorCode, kHttpErrOverflow);
    std::string manyLines = "HTTP/1.1 200 OK\r\n";
    for (int i = 0; i < 40000; ++i) manyLines += "X-A: b\r\n";
    o = FeedAll(p, manyLines + "\r\n", 65536);
    EXPECT_EQ(p.ErrorCode, kHttpErrOverflow);
    // Many small chunks are a body, not a header: no limit applies.
    std::string body = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n";
    for (int i = 0; i < 100000; ++i) body += "1\r\nx\r\n";
    o = FeedAll(p, body + "0\r\n\r\n", 65536);
    EXPECT_TRUE(o.Done);
    EXPECT_EQ(o.Body.size(), 100000u);
}

}  // namespace
}  // namespace download
