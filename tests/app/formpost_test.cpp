#include "app/formpost.h"

#include <gtest/gtest.h>

#include "platform/clock.h"
#include "platform/socket.h"
#include "tests/support/capture_server.h"
#include "tests/support/fakes.h"

using namespace app;

namespace {

TEST(CrackUrl, PartsPortsAndFailures) {
    std::string scheme, host, user, pass, path, extra;
    uint16_t port = 1;
    ASSERT_TRUE(CrackUrl("  http://u:p@stats.example:8080/other/vt6_leap.php?a=1&b=2  ", &scheme,
                         &host, &port, &user, &pass, &path, &extra));
    EXPECT_EQ(scheme, "http");
    EXPECT_EQ(host, "stats.example");
    EXPECT_EQ(port, 8080);
    EXPECT_EQ(user, "u");
    EXPECT_EQ(pass, "p");
    EXPECT_EQ(path, "/other/vt6_leap.php");
    EXPECT_EQ(extra, "?a=1&b=2");
    ASSERT_TRUE(CrackUrl("https://secure.example/x", nullptr, &host, &port, nullptr, nullptr,
                         nullptr, nullptr));
    EXPECT_EQ(port, 443);
    ASSERT_TRUE(
        CrackUrl("http://h.example/", nullptr, nullptr, &port, nullptr, nullptr, &path, &extra));
    EXPECT_EQ(port, 80);
    EXPECT_EQ(extra, "");
    EXPECT_FALSE(CrackUrl("", &scheme, &host, &port, nullptr, nullptr, &path, nullptr));
    EXPECT_FALSE(CrackUrl("   ", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr));
    EXPECT_FALSE(
        CrackUrl("no scheme here", nullptr, &host, nullptr, nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(host, "");  // outputs are cleared even on failure
    // A host longer than its fixed buffer is refused, not cut.
    EXPECT_FALSE(CrackUrl("http://" + std::string(300, 'h') + ".example/", nullptr, &host, nullptr,
                          nullptr, nullptr, nullptr, nullptr));
}

TEST(FormPost, HeaderBlockHasNineLinesThenTheEmptyLineWithoutCredentials) {
    const std::string h = FormPostHeaders("stats.example", 120, "", "");
    EXPECT_EQ(h,
              "Host: stats.example\r\n"
              "User-Agent: Mozilla/5.0 (Windows; U; Windows NT 5.1; en-US; rv:1.9.0.10) "
              "Gecko/2009042316 Firefox/3.0.10\r\n"
              "Accept: */*\r\n"
              "Accept-Language: en-us\r\n"
              "Content-Type: application/x-www-form-urlencoded\r\n"
              "Content-Length: 120\r\n"
              "Cache-Control: no-cache\r\n"
              "Pragma: no-cache\r\n"
              "Connection: keep-alive\r\n"
              "\r\n");
    const std::string auth = FormPostHeaders("h", 0, "user", "p\xC3\xA4ss");
    EXPECT_NE(auth.find("Connection: keep-alive\r\nAuthorization: Basic dXNlcjpww6Rzcw==\r\n\r\n"),
              std::string::npos);
}

TEST(FormPost, SendsTargetWithQueryDirectAndAnsiBody) {
    testsupport::TFakeInternet net;
    testsupport::TScopedInternet use(net);
    const std::string body = "data=" + std::string(115, 'A');
    ASSERT_TRUE(PostForm("http://stats.example:81/other/p.php?x=1", body));
    ASSERT_EQ(net.Sent.size(), 1u);
    const auto& r = net.Sent[0];
    EXPECT_EQ(r.Host, "stats.example");
    EXPECT_EQ(r.Port, 81);
    EXPECT_EQ(r.Verb, "POST");
    EXPECT_EQ(r.Target, "/other/p.php?x=1");
    EXPECT_EQ(r.Referrer, "http://stats.example:81/other/p.php?x=1");
    EXPECT_EQ(r.Body, body);
    EXPECT_NE(r.Headers.find("Content-Length: 120\r\n"), std::string::npos);
    EXPECT_FALSE(PostForm("not a url", body));
    EXPECT_EQ(net.Sent.size(), 1u);  // nothing sent for a bad URL
    net.Answers = {false};
    EXPECT_FALSE(PostForm("http://stats.example/x", body));
}

TEST(FormPost, RealWireBytesAgainstALoopbackServer) {
    testsupport::TCaptureServer server("HTTP/1.1 404 Not Found\r\nContent-Length: 5\r\n\r\nnope!");
    std::string reply;
    // An error status still counts as sent.
    ASSERT_TRUE(
        PostForm(server.Url("/other/vt6_leap.php?v=2"), "data=abc+/=\r\nxyz", "", "", &reply));
    EXPECT_EQ(reply, "nope!");
    ASSERT_TRUE(server.WaitForRequests(1, 5000));
    const std::string raw = server.Requests()[0];
    EXPECT_EQ(raw.rfind("POST /other/vt6_leap.php?v=2 HTTP/1.1\r\n", 0), 0u) << raw;
    EXPECT_NE(raw.find("Content-Type: application/x-www-form-urlencoded\r\n"), std::string::npos);
    EXPECT_NE(raw.find("Content-Length: 16\r\n"), std::string::npos);
    EXPECT_EQ(raw.substr(raw.size() - 16), "data=abc+/=\r\nxyz");
    EXPECT_LT(raw.find("User-Agent: Mozilla/5.0"), raw.find("Accept-Language: en-us"));
}

// One expected text for every backend: what the Windows functions put on the wire is what the
// stand-in must send too.
TEST(FormPost, WireBytesAreTheSameOnEveryBackend) {
    testsupport::TCaptureServer server;
    const std::string url = server.Url("/other/vt6_leap.php?v=2");
    ASSERT_TRUE(PostForm(url, "data=abc+/=\r\nxyz"));
    ASSERT_TRUE(server.WaitForRequests(1, 5000));
    EXPECT_EQ(server.Requests()[0],
              "POST /other/vt6_leap.php?v=2 HTTP/1.1\r\n"
              "Referer: " +
                  url +
                  "\r\n"
                  "Host: 127.0.0.1\r\n"
                  "User-Agent: Mozilla/5.0 (Windows; U; Windows NT 5.1; en-US; rv:1.9.0.10) "
                  "Gecko/2009042316 Firefox/3.0.10\r\n"
                  "Accept: */*\r\n"
                  "Accept-Language: en-us\r\n"
                  "Content-Type: application/x-www-form-urlencoded\r\n"
                  "Content-Length: 16\r\n"
                  "Cache-Control: no-cache\r\n"
                  "Pragma: no-cache\r\n"
                  "Connection: keep-alive\r\n"
                  "\r\n"
                  "data=abc+/=\r\nxyz");
}

// A server that takes the post and never answers fails it after the limit, not later (and not
// at once: the request did go out in full).
TEST(FormPost, ServerThatNeverAnswersFailsThePostWithinItsLimit) {
    testsupport::TCaptureServer server;
    server.NeverAnswer();
    for (bool withReply : {false, true}) {
        std::string reply = "untouched";
        const uint64_t start = platform::MonotonicMs();
        EXPECT_FALSE(PostForm(server.Url("/other/vt6_leap.php"), "data=abc", "", "",
                              withReply ? &reply : nullptr, 700));
        const uint64_t took = platform::MonotonicMs() - start;
        EXPECT_GE(took, 600u) << "with reply " << withReply;
        EXPECT_LT(took, 5000u) << "with reply " << withReply;
        EXPECT_EQ(reply, "untouched");
    }
    ASSERT_TRUE(server.WaitForRequests(2, 5000));
    for (const std::string& raw : server.Requests())
        EXPECT_EQ(raw.substr(raw.size() - 8), "data=abc");
}

// A peer that accepts nothing and reads nothing: the body cannot be sent, and the post ends
// after its limit all the same.
TEST(FormPost, PeerThatNeverReadsFailsABigPostWithinItsLimit) {
    platform::SocketsStartup();
    uint16_t port = 0;
    int error = 0;
    const platform::SocketHandle listener = platform::SocketListenLoopback(false, port, &error);
    ASSERT_NE(listener, platform::kInvalidSocket) << error;
    const uint64_t start = platform::MonotonicMs();
    EXPECT_FALSE(PostForm("http://127.0.0.1:" + std::to_string(port) + "/x",
                          "data=" + std::string(12 << 20, 'A'), "", "", nullptr, 700));
    const uint64_t took = platform::MonotonicMs() - start;
    platform::SocketCloseDetached(listener);
    EXPECT_GE(took, 600u);
    EXPECT_LT(took, 8000u);
}

TEST(FormPost, UnreachableServerIsAFailure) {
    uint16_t port;
    {
        testsupport::TCaptureServer gone;
        port = gone.Port();
    }
    EXPECT_FALSE(PostForm("http://127.0.0.1:" + std::to_string(port) + "/x", "data="));
}

}  // namespace
