// Abort in every state, from inside every event, and the client's own end inside its events.
#include <gtest/gtest.h>

#include <memory>

#include "download/httpcli.h"
#include "tests/download/http_test_util.h"
#include "tests/support/faultserver.h"

namespace download {
namespace {

using namespace testing_http;
using testsupport::TFaultResponse;
using testsupport::TFaultServer;

void ExpectAborted(const THttpCli& client, const TClientLog& log) {
    EXPECT_EQ(log.DoneCount, 1);
    EXPECT_EQ(log.ErrCode, kHttpErrAborted);
    EXPECT_EQ(client.StatusCode, 404);
    EXPECT_EQ(client.ReasonPhrase, "Connection aborted on request");
    EXPECT_EQ(log.StateAtDone, httpReady);
}

TEST(HttpAbort, IdleAbortReportsAtOnce) {
    THttpCli client;
    TClientLog log;
    Attach(client, log);
    client.Abort();
    EXPECT_EQ(log.DoneCount, 1);  // inside the call
    EXPECT_EQ(log.ErrCode, 0);
    EXPECT_EQ(client.StatusCode, 200);
    EXPECT_EQ(client.ReasonPhrase, "OK");
    RunToDone(log, 100);
    EXPECT_EQ(log.DoneCount, 1);
}

TEST(HttpAbort, DuringLookupConnectHeaderAndBody) {
    TFaultServer server;
    server.SetHandler([](const auto& rq) {
        if (rq.Target == "/header") return TFaultResponse().Send("HTTP/1.1 200 OK\r\nCont").Stall();
        return TFaultResponse().Send("HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\n12").Stall();
    });
    for (const char* path : {"lookup", "/header", "/body"}) {
        SCOPED_TRACE(path);
        THttpCli client;
        TClientLog log;
        Attach(client, log);
        bool byName = std::string(path) == "lookup";
        client.URL =
            byName ? "http://localhost:" + std::to_string(server.Port()) + "/x" : server.Url(path);
        size_t before = server.RequestCount();
        client.GetASync();
        if (!byName) {
            ASSERT_TRUE(platform::TEventLoop::RunUntil(
                [&] { return server.RequestCount() > before; }, 5000));
            platform::TEventLoop::RunUntil([] { return false; }, 100);  // the partial reply arrives
            EXPECT_EQ(client.State(),
                      std::string(path) == "/header" ? httpWaitingHeader : httpWaitingBody);
        }
        client.Abort();
        EXPECT_EQ(log.DoneCount, 0);  // posted, not inside the call
        ASSERT_TRUE(RunToDone(log));
        ExpectAborted(client, log);
        if (std::string(path) == "/header") {
            EXPECT_EQ(log.Events, (std::vector<std::string>{"done 3"}));
        }
        if (byName) {
            EXPECT_EQ(server.RequestCount(), before);  // the lookup never connected
        }
    }
    server.Release();
}

TEST(HttpAbort, FromInsideEachEvent) {
    std::string body = Pattern(2 * 1024 * 1024);
    TFaultServer server;
    server.SetHandler([&](const auto& rq) {
        if (rq.Target == "/redirect") return TFaultResponse::Redirect(302, "/body");
        return TFaultResponse::Status(200, body);
    });
    for (const char* where : {"header", "data", "location"}) {
        SCOPED_TRACE(where);
        THttpCli client;
        TClientLog log;
        Attach(client, log);
        std::string w = where;
        if (w == "header") client.OnHeaderEnd = [&](THttpCli* c) { c->Abort(); };
        if (w == "data")
            client.OnDocData = [&](THttpCli* c, const char*, int) {
                ++log.DataEvents;
                c->Abort();
            };
        if (w == "location") client.OnLocationChange = [&](THttpCli* c) { c->Abort(); };
        client.URL = server.Url(w == "location" ? "/redirect" : "/body");
        client.GetASync();
        ASSERT_TRUE(RunToDone(log));
        ExpectAborted(client, log);
        if (w == "data") {
            EXPECT_EQ(log.DataEvents, 1);  // nothing after the abort
        }
        if (w == "header") {
            EXPECT_EQ(log.DataEvents, 0);
        }
    }
}

TEST(HttpAbort, ClientDestroyedInsideItsEventsAndWithAPendingDone) {
    TFaultServer server;
    server.SetHandler([](const auto&) { return TFaultResponse::Status(200, Pattern(100000)); });
    for (int where = 0; where < 3; ++where) {
        SCOPED_TRACE(where);
        auto client = std::make_unique<THttpCli>();
        bool doneFired = false;
        bool destroyed = false;
        auto kill = [&](THttpCli*) {
            if (!destroyed) {
                destroyed = true;
                client.reset();
            }
        };
        if (where == 0) client->OnHeaderEnd = kill;
        if (where == 1) client->OnDocData = [&](THttpCli* c, const char*, int) { kill(c); };
        client->OnRequestDone = [&](THttpCli*, THttpRequest, int) { doneFired = true; };
        client->URL = server.Url("/x");
        client->GetASync();
        if (where == 2) {
            // The abort posts the done; the client goes before it arrives.
            client->Abort();
            EXPECT_EQ(client->State(), httpReady);
            client.reset();
            destroyed = true;
        }
        ASSERT_TRUE(platform::TEventLoop::RunUntil([&] { return destroyed; }, 5000));
        platform::TEventLoop::RunUntil([] { return false; }, 100);
        EXPECT_FALSE(doneFired);
    }
}

TEST(HttpAbort, RestartFromInsideRequestDone) {
    TFaultServer server;
    server.Enqueue(
        TFaultResponse().Send("HTTP/1.1 200 OK\r\nContent-Length: 9\r\n\r\nabc").Close());
    server.Enqueue(TFaultResponse::Status(200, "fine"));
    THttpCli client;
    TClientLog log;
    Attach(client, log);
    int restarts = 0;
    client.OnRequestDone = [&](THttpCli* c, THttpRequest, int code) {
        log.Events.push_back("done " + std::to_string(code));
        if (code != 0 && restarts++ == 0) {
            c->GetASync();  // as a segment restart does
            return;
        }
        ++log.DoneCount;
    };
    client.URL = server.Url("/r");
    client.GetASync();
    ASSERT_TRUE(RunToDone(log));
    EXPECT_EQ(log.Events.front(), "header 200");
    EXPECT_EQ(log.Events.back(), "done 0");
    EXPECT_EQ(log.Body, "abcfine");
}

}  // namespace
}  // namespace download
