#include "download/http_request.h"

#include <gtest/gtest.h>

namespace download {
namespace {

TRequestHeaderFields SegmentFields() {
    TRequestHeaderFields f;
    f.Target = "/files/setup.exe";
    f.Accept = "image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*";
    f.Agent = "Mozilla/4.0";
    f.Host = "dl.example";
    f.Port = "80";
    return f;
}

TEST(HttpRequestWriter, SegmentRequestIsExactlyTheseLines) {
    TRequestHeaderFields f = SegmentFields();
    f.RangeBegin = "251";
    f.RangeEnd = "501";
    EXPECT_EQ(BuildRequestHeader(f),
              "GET /files/setup.exe HTTP/1.0\r\n"
              "Accept: image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*\r\n"
              "User-Agent: Mozilla/4.0\r\n"
              "Host: dl.example\r\n"
              "Range: bytes=251-501\r\n"
              "\r\n");
}

TEST(HttpRequestWriter, ProbeHasNoRangeAndPortRule) {
    TRequestHeaderFields f = SegmentFields();
    f.Port = "8080";
    std::string h = BuildRequestHeader(f);
    EXPECT_EQ(h.find("Range:"), std::string::npos);
    EXPECT_NE(h.find("Host: dl.example:8080\r\n"), std::string::npos);
    f.Port = "443";
    EXPECT_NE(BuildRequestHeader(f).find("Host: dl.example\r\n"), std::string::npos);
    f.Host = "::1";
    f.Port = "81";
    EXPECT_NE(BuildRequestHeader(f).find("Host: [::1]:81\r\n"), std::string::npos);
    f.RangeBegin = "100";  // an open end
    EXPECT_NE(BuildRequestHeader(f).find("Range: bytes=100-\r\n"), std::string::npos);
}

TEST(HttpRequestWriter, OptionalLinesInOrder) {
    TRequestHeaderFields f = SegmentFields();
    f.Sender = "me@example";
    f.Reference = "http://ref/";
    f.Connection = "close";
    f.AcceptLanguage = "de";
    f.NoCache = true;
    f.Cookie = "a=b";
    f.IfModifiedSince = "Tue, 01 Dec 2026 10:00:00";
    std::string h = BuildRequestHeader(f);
    const char* order[] = {"GET ",
                           "From: ",
                           "Accept: ",
                           "Referer: ",
                           "Connection: ",
                           "Accept-Language: ",
                           "User-Agent: ",
                           "Host: ",
                           "Pragma: no-cache",
                           "If-Modified-Since: ",
                           "Cookie: a=b"};
    size_t last = 0;
    for (const char* name : order) {
        size_t at = h.find(name);
        ASSERT_NE(at, std::string::npos) << name;
        EXPECT_GE(at, last) << name;
        last = at;
    }
    EXPECT_NE(h.find("If-Modified-Since: Tue, 01 Dec 2026 10:00:00 GMT\r\n"), std::string::npos);
}

TEST(HttpRequestWriter, ConnectTunnel) {
    EXPECT_EQ(BuildConnectRequest("h:443", "h", "1.0", "Mozilla/4.0"),
              "CONNECT h:443 HTTP/1.0\r\nUser-Agent: Mozilla/4.0\r\nHost: h:443\r\n"
              "Proxy-Connection: Keep-Alive\r\nContent-Length: 0\r\n\r\n");
    EXPECT_EQ(BuildConnectRequest("h:8443", "h", "1.1", "A").find("Proxy-Connection"),
              std::string::npos);
}

}  // namespace
}  // namespace download
