// The client against the scriptable fault server: what it sends, what it reports and in which
// order, and how every kind of failure ends.
#include <gtest/gtest.h>

#include "download/httpcli.h"
#include "tests/download/http_test_util.h"
#include "tests/support/faultserver.h"

namespace download {
namespace {

using namespace testing_http;
using testsupport::TFaultResponse;
using testsupport::TFaultServer;

TEST(HttpClient, SegmentRequestAndEventOrder) {
    std::string content = Pattern(1000);
    TFaultServer server;
    server.SetHandler([&](const auto& rq) { return TFaultResponse::File(rq, content); });
    THttpCli client;
    TClientLog log;
    Attach(client, log);
    client.URL = server.Url("/files/setup.exe");
    client.ContentRangeBegin = "251";
    client.ContentRangeEnd = "501";
    client.GetASync();
    EXPECT_NE(client.State(), httpReady);
    ASSERT_TRUE(RunToDone(log));
    EXPECT_TRUE(client.ContentRangeBegin.empty());  // cleared once written
    EXPECT_TRUE(client.ContentRangeEnd.empty());
    EXPECT_EQ(log.Events, (std::vector<std::string>{"header 206", "data", "done 0"}));
    EXPECT_EQ(log.Body, content.substr(251, 251));
    EXPECT_EQ(log.RqType, httpGET);
    EXPECT_EQ(log.StateAtDone, httpReady);
    EXPECT_EQ(client.ContentLength, 251);
    EXPECT_EQ(client.RcvdRangeBegin, "251");
    EXPECT_EQ(client.RcvdRangeEnd, "501");
    EXPECT_EQ(client.DocName, "setup.exe");
    EXPECT_EQ(client.Location, client.URL);
    ASSERT_EQ(server.RequestCount(), 1u);
    EXPECT_EQ(server.Requests()[0].Raw,
              "GET /files/setup.exe HTTP/1.0\r\n"
              "Accept: image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*\r\n"
              "User-Agent: Mozilla/4.0\r\n"
              "Host: 127.0.0.1:" +
                  std::to_string(server.Port()) +
                  "\r\n"
                  "Range: bytes=251-501\r\n\r\n");

    // The next request on the same client asks for the whole file again.
    log = TClientLog();
    client.GetASync();
    ASSERT_TRUE(RunToDone(log));
    EXPECT_EQ(server.Requests()[1].Range(), "");
    EXPECT_EQ(client.StatusCode, 200);
    EXPECT_EQ(log.Body, content);
    EXPECT_EQ(client.AcceptRanges, "bytes");
}

TEST(HttpClient, BusyAndVersionChecks) {
    TFaultServer server;
    server.Enqueue(TFaultResponse().Stall());
    THttpCli client("Part3");
    TClientLog log;
    Attach(client, log);
    client.URL = server.Url("/x");
    client.GetASync();
    try {
        client.GetASync();
        FAIL() << "a busy client must refuse";
    } catch (const EHttpException& e) {
        EXPECT_STREQ(e.what(), "HTTP component Part3 is busy");
        EXPECT_EQ(e.ErrorCode, kHttpErrBusy);
    }
    EXPECT_THROW(client.SetRequestVer("2.0"), EHttpException);
    EXPECT_EQ(client.RequestVer(), "1.0");
    client.SetRequestVer("1.1");
    EXPECT_EQ(client.RequestVer(), "1.1");
    client.Abort();
    ASSERT_TRUE(RunToDone(log));
    EXPECT_EQ(log.DoneCount, 1);
}

TEST(HttpClient, BodiesOfEveryFraming) {
    std::string big = Pattern(3 * 1024 * 1024, 7);
    TFaultServer server;
    server.Enqueue(TFaultResponse()
                       .Send("HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n")
                       .Pause(20)
                       .Send("no length ")
                       .Pause(20)
                       .Send("until close"));
    server.Enqueue(TFaultResponse()
                       .Send("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n1\r\n")
                       .Pause(20)
                       .Send("a\r\n1F\r\n0123456789")
                       .Pause(20)
                       .Send("012345678901234567890\r\n0\r\n\r\n"));
    server.Enqueue(TFaultResponse()
                       .Send("HTTP/1.1 100 Continue\r\n\r\n")
                       .Pause(20)
                       .Send("HTTP/1.1 200 OK\r\nContent-Length: 3\r\n\r\nabc"));
    server.Enqueue(TFaultResponse::Status(200, big));
    THttpCli client;
    client.URL = server.Url("/dir/page");
    std::vector<std::string> bodies;
    for (int i = 0; i < 4; ++i) {
        TClientLog log;
        Attach(client, log);
        client.GetASync();
        ASSERT_TRUE(RunToDone(log));
        EXPECT_EQ(log.ErrCode, 0) << i << " " << client.ReasonPhrase;
        EXPECT_EQ(log.DoneCount, 1);
        EXPECT_EQ(log.Events.front(), "header 200");
        bodies.push_back(log.Body);
        if (i == 0) {
            EXPECT_EQ(client.ContentLength, -1);
            EXPECT_EQ(client.DocName, "page.htm");  // text/html without an extension
        }
        if (i == 3) {
            EXPECT_GT(log.DataEvents, 1);  // handed on block by block
        }
    }
    EXPECT_EQ(bodies[0], "no length until close");
    EXPECT_EQ(bodies[1], "a0123456789012345678901234567890");
    EXPECT_EQ(bodies[2], "abc");
    EXPECT_TRUE(bodies[3] == big);
}

struct TFailureCase {
    const char* Name;
    TFaultResponse Response;
    int Code;
    int Status;
    const char* Reason;  // empty: not checked
};

TEST(HttpClient, EveryFailureEndsOnceWithItsCode) {
    std::vector<TFailureCase> cases = {
        {"closed before status", TFaultResponse().Close(), kHttpErrNoStatusCode, 0,
         "HTTP no status code (connection closed prematurely)"},
        {"stall then close in header",
         TFaultResponse().Send("HTTP/1.1 200 OK\r\nContent-Le").Pause(50).Close(),
         kHttpErrTruncated, 0, ""},
        {"early close in body",
         TFaultResponse()
             .Send("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\n12345")
             .Pause(50)
             .Close(),
         kHttpErrTruncated, 200, ""},
        {"early close in chunks",
         TFaultResponse()
             .Send("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nab")
             .Close(),
         kHttpErrTruncated, 200, ""},
        {"bad status line", TFaultResponse().Send("HTTP/1.1 OK\r\n\r\n"), kHttpErrProtocol, 0, ""},
        {"not http", TFaultResponse().Send("SSH-2.0-OpenSSH\r\n"), kHttpErrProtocol, 0, ""},
        {"bad chunk",
         TFaultResponse().Send("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nxyz\r\n"),
         kHttpErrProtocol, 200, ""},
        {"huge header",
         TFaultResponse().Send("HTTP/1.1 200 OK\r\nX-Big: " + std::string(300000, 'x') +
                               "\r\n\r\n"),
         kHttpErrOverflow, 0, "HTTP header too large"},
        {"reset in body",
         TFaultResponse()
             .Send("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\n12345")
             .Pause(50)
             .Reset(),
         platform::kWsaEConnReset, 200, ""},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TFaultServer server;
        server.Enqueue(c.Response);
        THttpCli client;
        TClientLog log;
        Attach(client, log);
        client.URL = server.Url("/f");
        client.GetASync();
        ASSERT_TRUE(RunToDone(log));
        EXPECT_EQ(log.DoneCount, 1);
        if (c.Code == platform::kWsaEConnReset) {
            // A reset right behind data: Linux reports the reset, Wine's sockets may report an
            // orderly close first; either way the body was cut short and the request failed.
            EXPECT_TRUE(log.ErrCode == c.Code || log.ErrCode == kHttpErrTruncated)
                << log.ErrCode << " " << client.ReasonPhrase;
        } else {
            EXPECT_EQ(log.ErrCode, c.Code) << client.ReasonPhrase;
        }
        EXPECT_EQ(client.StatusCode, c.Status);
        if (*c.Reason) {
            EXPECT_EQ(client.ReasonPhrase, c.Reason);
        }
        EXPECT_EQ(client.State(), httpReady);
    }
}

TEST(HttpClient, HttpStatusesAreCompleteResponses) {
    TFaultServer server;
    server.Enqueue(TFaultResponse::Status(416, "", "Content-Range: bytes */1000\r\n"));
    server.Enqueue(TFaultResponse::Status(404, "missing"));
    server.Enqueue(TFaultResponse::Status(500, "oops", "", "1.0"));
    THttpCli client;
    client.URL = server.Url("/f");
    for (int expected : {416, 404, 500}) {
        TClientLog log;
        Attach(client, log);
        client.ContentRangeBegin = "2000";
        client.GetASync();
        ASSERT_TRUE(RunToDone(log));
        EXPECT_EQ(log.ErrCode, 0);
        EXPECT_EQ(client.StatusCode, expected);
    }
    EXPECT_EQ(client.ReasonPhrase, "Internal Server Error");
}

TEST(HttpClient, ConnectAndLookupFailures) {
    uint16_t port = 0;
    int error = 0;
    // A port that was just free: nobody listens there any more.
    platform::SocketHandle s = platform::SocketListenLoopback(false, port, &error);
    platform::SocketCloseDetached(s);
    THttpCli client;
    TClientLog log;
    Attach(client, log);
    client.URL = "http://127.0.0.1:" + std::to_string(port) + "/f";
    client.GetASync();
    ASSERT_TRUE(RunToDone(log));
    EXPECT_EQ(log.ErrCode, platform::kWsaEConnRefused);
    EXPECT_EQ(client.StatusCode, 404);
    EXPECT_NE(client.ReasonPhrase.find("(Error #10061)"), std::string::npos) << client.ReasonPhrase;

    struct {
        std::string Url;
        int Code, Status;
        std::string Reason;
    } cases[] = {
        {"http:///nohost", platform::kWsaHostNotFound, 404, "can't resolve hostname to IP address"},
        {"ftp://127.0.0.1/f", kHttpErrScheme, 501, "Protocol \"ftp\" not implemented"},
        {"http://127.0.0.1:99999/f", kHttpErrBadUrl, 404, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Url);
        log = TClientLog();
        client.URL = c.Url;
        client.GetASync();
        ASSERT_TRUE(RunToDone(log));
        EXPECT_EQ(log.DoneCount, 1);
        EXPECT_EQ(log.ErrCode, c.Code);
        EXPECT_EQ(client.StatusCode, c.Status);
        if (!c.Reason.empty()) {
            EXPECT_EQ(client.ReasonPhrase, c.Reason);
        }
    }
}

TEST(HttpClient, NamesAreLookedUpAndIpv6Works) {
    TFaultServer server6(true);
    TFaultServer server4;
    server6.SetHandler([](const auto&) { return TFaultResponse::Status(200, "six"); });
    server4.SetHandler([](const auto&) { return TFaultResponse::Status(200, "four"); });
    THttpCli client;
    TClientLog log;
    Attach(client, log);
    client.URL = server6.Url("/x");
    client.GetASync();
    ASSERT_TRUE(RunToDone(log));
    EXPECT_EQ(log.Body, "six") << client.ReasonPhrase;
    EXPECT_EQ(server6.Requests().at(0).Header("host"), "[::1]:" + std::to_string(server6.Port()));

    log = TClientLog();
    client.URL = "http://localhost:" + std::to_string(server4.Port()) + "/x";
    client.GetASync();
    EXPECT_EQ(client.State(), httpDnsLookup);
    ASSERT_TRUE(RunToDone(log));
    EXPECT_EQ(log.Body, "four") << client.ReasonPhrase;
}

TEST(HttpClient, KeepAliveReuseAndStaleConnectionRetry) {
    TFaultServer server;
    server.Enqueue(TFaultResponse::Status(200, "one").KeepOpen());
    server.Enqueue(TFaultResponse::Status(200, "two"));  // and closes afterwards
    THttpCli client;
    client.SetRequestVer("1.1");
    client.URL = server.Url("/k");
    for (const char* expected : {"one", "two"}) {
        TClientLog log;
        Attach(client, log);
        client.GetASync();
        ASSERT_TRUE(RunToDone(log));
        EXPECT_EQ(log.Body, expected);
    }
    EXPECT_EQ(server.Connections(), 1);

    // The server says keep-alive but drops the connection before the next request.
    TFaultServer flaky;
    flaky.Enqueue(TFaultResponse::Status(200, "first", "Connection: keep-alive\r\n").Pause(100));
    flaky.Enqueue(TFaultResponse::Status(200, "second"));
    client.URL = flaky.Url("/k");
    TClientLog first;
    Attach(client, first);
    client.GetASync();
    ASSERT_TRUE(RunToDone(first));
    platform::TEventLoop::RunUntil([&] { return false; }, 300);  // the server closes meanwhile
    TClientLog second;
    Attach(client, second);
    client.GetASync();
    ASSERT_TRUE(RunToDone(second));
    EXPECT_EQ(second.ErrCode, 0) << client.ReasonPhrase;
    EXPECT_EQ(second.Body, "second");
    EXPECT_EQ(flaky.Connections(), 2);
}

}  // namespace
}  // namespace download
