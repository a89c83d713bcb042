// Two downloads into one target: the second must not take the file from under the first, as
// Windows' sharing rules forbid (the Linux stand-in emulates them).
#include <gtest/gtest.h>

#include <vector>

#include "download/downloader.h"
#include "platform/file.h"
#include "tests/download/dl_test_util.h"
#include "tests/support/faultserver.h"
#include "tests/support/testenv.h"

namespace download {
namespace {

using testsupport::TFaultResponse;
using testsupport::TRecordedRequest;

TEST(DownloaderSharedTarget, SecondDownloadIntoARunningOnesFileIsRefusedAndLeavesItAlone) {
    const std::string content = testing_dl::Pattern(4000, 3);
    testsupport::TFaultServer server;
    // Every answer stops after its first bytes: the first download keeps its file open.
    server.SetHandler([&](const TRecordedRequest&) {
        TFaultResponse r;
        r.Send("HTTP/1.1 200 OK\r\nContent-Length: 4000\r\n\r\n" + content.substr(0, 100)).Stall();
        return r;
    });
    testsupport::TTempDir dir;
    const std::string target = dir.File("vt6.exe");
    TDownloader first;
    std::vector<int> firstCodes;
    first.OnDone = [&](bool, int code, const std::string&, int) { firstCodes.push_back(code); };
    first.Start(target, server.Url("/vt6.exe"));
    ASSERT_TRUE(testing_dl::RunUntil([&] { return server.RequestCount() > 0; }));
    ASSERT_TRUE(platform::FileExists(target));

    TDownloader second;
    std::vector<int> secondCodes;
    second.OnDone = [&](bool completed, int code, const std::string&, int) {
        EXPECT_FALSE(completed);
        secondCodes.push_back(code);
    };
    second.Start(target, server.Url("/vt6.exe"));
    EXPECT_EQ(secondCodes, std::vector<int>{5});  // the target cannot be had
    // The first one's file is still the one at that name: writing it through any other open
    // is refused, and it was not deleted and made anew.
    EXPECT_FALSE(platform::WriteFileBytes(target, "x"));
    EXPECT_FALSE(platform::DeleteFile(target));
    EXPECT_TRUE(firstCodes.empty());
    first.Stop();
    second.Stop();
    server.Release();
    server.Stop();
}

}  // namespace
}  // namespace download
