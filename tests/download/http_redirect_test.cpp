// Redirects: how a "Location" of every form is followed, the event order around it, the limit,
// and what the redirected request carries.
#include <gtest/gtest.h>

#include "download/httpcli.h"
#include "tests/download/http_test_util.h"
#include "tests/support/faultserver.h"

namespace download {
namespace {

using namespace testing_http;
using testsupport::TFaultResponse;
using testsupport::TFaultServer;

TEST(HttpRedirect, RelativeLocationKeepsOriginAndRangeIsSetAgain) {
    std::string content = Pattern(600);
    TFaultServer server;
    server.Enqueue(
        TFaultResponse::Status(302, "<html>moved</html>", "Location: /new/file.bin\r\n"));
    server.SetHandler([&](const auto& rq) { return TFaultResponse::File(rq, content); });
    THttpCli client;
    TClientLog log;
    Attach(client, log);
    std::string locationAtHeader;
    client.OnHeaderEnd = [&](THttpCli* c) {
        log.Events.push_back("header " + std::to_string(c->StatusCode));
        if (c->StatusCode == 302) locationAtHeader = c->Location;
    };
    client.OnLocationChange = [&](THttpCli* c) {
        log.Events.push_back("location " + c->Location);
        c->ContentRangeBegin = "10";  // as the downloader's segments do
        c->ContentRangeEnd = "19";
    };
    client.URL = server.Url("/old/file.bin");
    client.ContentRangeBegin = "10";
    client.ContentRangeEnd = "19";
    client.GetASync();
    ASSERT_TRUE(RunToDone(log));
    const std::string target = server.Url("/new/file.bin");
    EXPECT_EQ(locationAtHeader, target);
    EXPECT_EQ(log.Events, (std::vector<std::string>{"header 302", "location " + target,
                                                    "header 206", "data", "done 0"}));
    EXPECT_EQ(log.Body, content.substr(10, 10));  // the redirect's own body is not the file
    auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[1].Target, "/new/file.bin");
    EXPECT_EQ(requests[1].Range(), "bytes=10-19");
    EXPECT_EQ(client.Location, target);
    EXPECT_EQ(client.LocationChangeCurCount, 1);
}

TEST(HttpRedirect, WithoutSettingTheRangeAgainTheNextRequestHasNone) {
    TFaultServer server;
    server.Enqueue(TFaultResponse::Redirect(307, "elsewhere"));
    server.Enqueue(TFaultResponse::Status(200, "whole"));
    THttpCli client;
    TClientLog log;
    Attach(client, log);
    client.URL = server.Url("/a/b");
    client.ContentRangeBegin = "5";
    client.GetASync();
    ASSERT_TRUE(RunToDone(log));
    auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].Range(), "bytes=5-");
    EXPECT_EQ(requests[1].Range(), "");
    EXPECT_EQ(requests[1].Target, "/a/elsewhere");
}

TEST(HttpRedirect, ChainOfEveryLocationForm) {
    TFaultServer a, b;
    const std::string bHost = b.HostPort();
    a.Enqueue(TFaultResponse::Redirect(301, "//" + bHost + "/one#frag"));
    b.Enqueue(TFaultResponse::Redirect(302, "two?x=1"));
    b.Enqueue(TFaultResponse::Redirect(303, "/three/"));
    b.Enqueue(TFaultResponse::Redirect(307, "HTTP://" + a.HostPort() + "/four"));
    a.Enqueue(TFaultResponse::Redirect(308, "../five.exe"));
    a.Enqueue(TFaultResponse::Status(200, "end"));
    THttpCli client;
    TClientLog log;
    Attach(client, log);
    client.URL = a.Url("/start/here");
    client.GetASync();
    ASSERT_TRUE(RunToDone(log));
    EXPECT_EQ(log.ErrCode, 0) << client.ReasonPhrase;
    EXPECT_EQ(log.Body, "end");
    EXPECT_EQ(client.LocationChangeCurCount, 5);
    std::vector<std::string> targets;
    for (const auto& r : b.Requests()) targets.push_back(r.Target);
    EXPECT_EQ(targets, (std::vector<std::string>{"/one", "/two?x=1", "/three/"}));
    targets.clear();
    for (const auto& r : a.Requests()) targets.push_back(r.Target);
    EXPECT_EQ(targets, (std::vector<std::string>{"/start/here", "/four", "/five.exe"}));
    EXPECT_EQ(client.DocName, "five.exe");
    EXPECT_EQ(client.Location, a.Url("/five.exe"));
}

TEST(HttpRedirect, SixthRedirectAsksAndEndsTheRequest) {
    TFaultServer server;
    server.SetHandler([](const auto&) { return TFaultResponse::Redirect(302, "/loop"); });
    THttpCli client;
    TClientLog log;
    Attach(client, log);
    std::vector<int> asked;
    client.OnLocationChangeExceeded = [&](THttpCli*, int count, bool& allowMore) {
        asked.push_back(count);
        allowMore = count < 7;  // one more, then stop
    };
    client.URL = server.Url("/loop");
    client.GetASync();
    ASSERT_TRUE(RunToDone(log));
    EXPECT_EQ(asked, (std::vector<int>{6, 7}));
    EXPECT_EQ(log.ErrCode, 0);
    EXPECT_EQ(client.StatusCode, 302);
    EXPECT_EQ(server.RequestCount(), 7u);
    EXPECT_EQ(log.DoneCount, 1);

    // Without a handler the sixth redirect is refused.
    TClientLog plain;
    THttpCli other;
    Attach(other, plain);
    other.URL = server.Url("/loop");
    other.GetASync();
    ASSERT_TRUE(RunToDone(plain));
    EXPECT_EQ(server.RequestCount(), 7u + 6u);
}

TEST(HttpRedirect, NotFollowedWhenSwitchedOffOrNotARedirect) {
    TFaultServer server;
    server.Enqueue(TFaultResponse::Redirect(302, "/else"));
    server.Enqueue(TFaultResponse::Status(201, "made", "Location: /made/1\r\n"));
    THttpCli client;
    client.URL = server.Url("/x");
    client.FollowRelocation = false;
    TClientLog log;
    Attach(client, log);
    client.GetASync();
    ASSERT_TRUE(RunToDone(log));
    EXPECT_EQ(client.StatusCode, 302);
    EXPECT_EQ(client.Location, client.URL);

    client.FollowRelocation = true;
    log = TClientLog();
    Attach(client, log);
    client.GetASync();
    ASSERT_TRUE(RunToDone(log));
    EXPECT_EQ(client.StatusCode, 201);
    EXPECT_EQ(log.Body, "made");
    EXPECT_EQ(client.Location, server.Url("/made/1"));
    EXPECT_EQ(server.RequestCount(), 2u);
}

TEST(HttpRedirect, ToAnUnsupportedSchemeFails) {
    TFaultServer server;
    server.Enqueue(TFaultResponse::Redirect(301, "ftp://files.example/setup.exe"));
    THttpCli client;
    TClientLog log;
    Attach(client, log);
    client.URL = server.Url("/x");
    client.GetASync();
    ASSERT_TRUE(RunToDone(log));
    EXPECT_EQ(log.ErrCode, kHttpErrScheme);
    EXPECT_EQ(client.StatusCode, 501);
    EXPECT_EQ(client.ReasonPhrase, "Protocol \"ftp\" not implemented");
}

}  // namespace
}  // namespace download
