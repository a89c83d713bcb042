// The client against real servers: nginx for files, ranges and keep-alive; tinyproxy as the
// HTTP proxy. The https cases are in https_test.cpp.
#include <gtest/gtest.h>

#include <memory>

#include "download/httpcli.h"
#include "platform/file.h"
#include "tests/download/http_test_util.h"
#include "tests/support/nginx.h"
#include "tests/support/tinyproxy.h"

namespace download {
namespace {

using namespace testing_http;

#define REQUIRE_SERVER(s) \
    if (!(s).Ok()) GTEST_SKIP() << "server not available: " << (s).Error()

class HttpServers : public testing::Test {
protected:
    void SetUp() override {
        FContent = Pattern(4 * 1024 * 1024 + 17, 3);
        ASSERT_TRUE(platform::WriteFileBytes(FRoot.File("file.bin"), FContent));
    }
    // Runs one GET to the end and returns its log.
    testsupport::TTempDir FRoot;
    std::string FContent;
};

TEST_F(HttpServers, NginxWholeFileRangesAndKeepAlive) {
    testsupport::TNginx nginx(FRoot.Path(),
                              {"", "", "location = /old { return 302 /file.bin; }\n"});
    REQUIRE_SERVER(nginx);
    THttpCli client;
    TClientLog log = Get(client, nginx.Url("/file.bin"));
    EXPECT_EQ(log.ErrCode, 0) << client.ReasonPhrase;
    EXPECT_EQ(client.StatusCode, 200);
    EXPECT_EQ(client.ContentLength, static_cast<int64_t>(FContent.size()));
    EXPECT_EQ(client.AcceptRanges, "bytes");
    EXPECT_TRUE(log.Body == FContent);

    // Four ranges in parallel, laid out as the downloader does, put back together.
    const int64_t size = static_cast<int64_t>(FContent.size()), part = size / 4;
    std::vector<std::unique_ptr<THttpCli>> clients;
    std::vector<TClientLog> logs(4);
    for (int i = 0; i < 4; ++i) {
        clients.push_back(std::make_unique<THttpCli>());
        Attach(*clients[i], logs[i]);
        clients[i]->URL = nginx.Url("/old");  // each follows the redirect on its own
        int64_t begin = i * (part + 1);
        clients[i]->ContentRangeBegin = std::to_string(begin);
        clients[i]->ContentRangeEnd = std::to_string(i == 3 ? size : begin + part);
        clients[i]->OnLocationChange = [&, i, begin](THttpCli* c) {
            c->ContentRangeBegin = std::to_string(begin);
            c->ContentRangeEnd = std::to_string(i == 3 ? size : begin + part);
        };
        clients[i]->GetASync();
    }
    ASSERT_TRUE(platform::TEventLoop::RunUntil(
        [&] {
            return logs[0].DoneCount && logs[1].DoneCount && logs[2].DoneCount && logs[3].DoneCount;
        },
        30000));
    std::string joined;
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(logs[i].ErrCode, 0);
        EXPECT_EQ(clients[i]->StatusCode, 206);
        joined += logs[i].Body;
    }
    EXPECT_TRUE(joined == FContent);

    // Past the end: 416 is a complete response.
    client.ContentRangeBegin = std::to_string(size + 10);
    log = Get(client, nginx.Url("/file.bin"));
    EXPECT_EQ(log.ErrCode, 0);
    EXPECT_EQ(client.StatusCode, 416);

    // HTTP/1.1 keeps the connection for the next request.
    client.SetRequestVer("1.1");
    for (int i = 0; i < 3; ++i) {
        client.ContentRangeBegin = "0";
        client.ContentRangeEnd = "9";
        log = Get(client, nginx.Url("/file.bin"));
        EXPECT_EQ(log.Body, FContent.substr(0, 10));
    }
}

TEST_F(HttpServers, ThroughTinyproxy) {
    testsupport::TNginx nginx(FRoot.Path());
    REQUIRE_SERVER(nginx);
    testsupport::TTinyproxy proxy;
    REQUIRE_SERVER(proxy);
    THttpCli client;
    client.Proxy = "127.0.0.1";
    client.ProxyPort = std::to_string(proxy.Port());
    client.ContentRangeBegin = "100";
    client.ContentRangeEnd = "199";
    TClientLog log = Get(client, nginx.Url("/file.bin"));
    EXPECT_EQ(log.ErrCode, 0) << client.ReasonPhrase;
    EXPECT_EQ(client.StatusCode, 206);
    EXPECT_EQ(log.Body, FContent.substr(100, 100));

    client.Proxy = "127.0.0.1:" + std::to_string(proxy.Port());  // the port inside the value
    client.ProxyPort = "1";
    log = Get(client, nginx.Url("/file.bin"));
    EXPECT_TRUE(log.Body == FContent);
}

}  // namespace
}  // namespace download
