#include "app/usage_report.h"

#include <gtest/gtest.h>

#include "locale/environment.h"
#include "platform/clock.h"
#include "platform/inifile.h"
#include "tests/support/base64.h"
#include "tests/support/capture_server.h"
#include "tests/support/fakes.h"
#include "tests/support/testenv.h"

using namespace app;

namespace {

TEST(UsageReport, JsonIsCompactInItsFixedOrder) {
    TRunFlags f;
    f.UpgradeClicked = true;
    EXPECT_EQ(UsageReportJson(f, ""),
              "{\"run\":\"1\",\"lan\":\"en\",\"his\":\"0\",\"name\":\"razuziz\",\"close\":\"0\","
              "\"click\":\"1\"}");
    TRunFlags closed;
    closed.ClosedByUser = true;
    closed.HistoryOpened = true;
    EXPECT_EQ(UsageReportJson(closed, "de"),
              "{\"run\":\"1\",\"lan\":\"de\",\"his\":\"1\",\"name\":\"razuziz\",\"close\":\"1\","
              "\"click\":\"0\"}");
}

class Reports : public testing::Test {
protected:
    testsupport::TTempDir Dir;
    testsupport::TFakeInternet Net;
    testsupport::TScopedInternet UseNet{Net};
    testsupport::TFakeRegistry Reg;
    testsupport::TScopedRegistry UseReg{Reg};
    std::vector<uint32_t> Waits;
    TReportRun Run() {
        TReportRun r;
        r.SettingsPath = Dir.File("Korvo/Vantrel/Leapgate.ini");
        r.PromotionPath = Dir.File("Korvo/korvopromotion.ini");
        r.NewVersion = "6.4.0.0";
        r.Flags.UpgradeClicked = true;
        r.Wait = [this](uint32_t ms) { Waits.push_back(ms); };
        return r;
    }
};

TEST_F(Reports, FirstRunSendsUsageThenProductsAndMarksTheUser) {
    const TReportRun run = Run();
    SendReports(run);
    ASSERT_EQ(Net.Sent.size(), 2u);
    EXPECT_EQ(Net.Sent[0].Target, kUsagePath);
    EXPECT_EQ(Net.Sent[0].Referrer, StatisticsUrl(kUsagePath));
    const std::string body = Net.Sent[0].Body;
    ASSERT_EQ(body.rfind("data=", 0), 0u);
    EXPECT_NE(body.find("\r\n"), std::string::npos);  // more than 76 Base64 characters
    EXPECT_EQ(body.substr(5), locale::EncodeReportText(UsageReportJson(run.Flags, "")));
    EXPECT_EQ(testsupport::Base64Decode(body.substr(5)), UsageReportJson(run.Flags, ""));
    EXPECT_EQ(Net.Sent[1].Target, kProductsPath);
    EXPECT_EQ(testsupport::Base64Decode(Net.Sent[1].Body.substr(5)),
              "{\"ab\":10,\"sc\":10,\"pm\":10,\"dd\":10,\"vt\":10}");
    EXPECT_TRUE(Waits.empty());
    platform::TIniFile settings(run.SettingsPath);
    EXPECT_EQ(settings.ReadString("VT", "idata", ""), "1");
    platform::TIniFile promotion(run.PromotionPath);
    EXPECT_EQ(promotion.ReadString("Leapgate", "VT_BU", ""), "6.4.0.0");
}

TEST_F(Reports, SecondRunByTheSameUserSendsOnlyTheUsageReport) {
    SendReports(Run());
    Net.Sent.clear();
    TReportRun again = Run();
    again.NewVersion = "6.5.0.0";
    SendReports(again);
    ASSERT_EQ(Net.Sent.size(), 1u);
    EXPECT_EQ(Net.Sent[0].Target, kUsagePath);
    EXPECT_EQ(platform::TIniFile(again.PromotionPath).ReadString("Leapgate", "VT_BU", ""),
              "6.5.0.0");
}

TEST_F(Reports, UnreachableServerTriesUsageTwiceProductsOnceAndStillMarks) {
    Net.Answers = {false, false, false};
    const TReportRun run = Run();
    SendReports(run);
    ASSERT_EQ(Net.Sent.size(), 3u);
    EXPECT_EQ(Net.Sent[0].Target, kUsagePath);
    EXPECT_EQ(Net.Sent[1].Target, kUsagePath);
    EXPECT_EQ(Net.Sent[0].Body, Net.Sent[1].Body);
    EXPECT_EQ(Net.Sent[2].Target, kProductsPath);
    EXPECT_EQ(Waits, (std::vector<uint32_t>{3000}));
    EXPECT_TRUE(platform::TIniFile(run.SettingsPath).ReadBool("vt", "idata", false));
}

TEST_F(Reports, AnExistingMarkerInAnyCaseOfTheSectionCounts) {
    const TReportRun run = Run();
    platform::TIniFile(run.SettingsPath).WriteString("VT", "idata", "1");
    SendReports(run);
    EXPECT_EQ(Net.Sent.size(), 1u);
}

// The real post of this platform, sent to a loopback server in place of the built-in
// statistics host.
class TRedirectedInternet : public platform::IInternet {
public:
    explicit TRedirectedInternet(uint16_t port) : FPort(port) {}
    bool CrackUrl(const std::string& url, platform::TUrlComponents& parts) override {
        return platform::RealInternet().CrackUrl(url, parts);
    }
    bool Send(const platform::TInternetRequest& request, std::string* reply) override {
        Limits.push_back(request.TimeoutMs);
        platform::TInternetRequest here = request;
        here.Host = "127.0.0.1";
        here.Port = FPort;
        return platform::RealInternet().Send(here, reply);
    }
    std::vector<uint32_t> Limits;

private:
    uint16_t FPort;
};

class SilentServer : public testing::Test {
protected:
    static constexpr uint32_t kLimit = 500;
    testsupport::TTempDir Dir;
    testsupport::TCaptureServer Server;
    TRedirectedInternet Net{Server.Port()};
    testsupport::TScopedInternet UseNet{Net};
    testsupport::TFakeRegistry Reg;
    testsupport::TScopedRegistry UseReg{Reg};
    void SetUp() override { Server.NeverAnswer(); }
    TReportRun Run() {
        TReportRun r;
        r.SettingsPath = Dir.File("Korvo/Vantrel/Leapgate.ini");
        r.PromotionPath = Dir.File("Korvo/korvopromotion.ini");
        r.NewVersion = "6.4.0.0";
        r.TimeoutMs = kLimit;
        return r;
    }
    size_t Posted(const char* path) {
        size_t n = 0;
        for (const std::string& raw : Server.Requests())
            n += raw.rfind(std::string("POST ") + path + " ", 0) == 0 ? 1 : 0;
        return n;
    }
};

// With the real pause the two usage tries use up the closing work's time: it ends within its
// bound, and the installed-products report waits for a later run instead of being cut off.
TEST_F(SilentServer, ClosingWorkEndsWithinItsBoundAfterTwoUsageTries) {
    const TReportRun run = Run();
    const uint64_t start = platform::MonotonicMs();
    SendReports(run);
    const uint64_t took = platform::MonotonicMs() - start;
    EXPECT_GE(took, 2 * kLimit + kRetryPauseMs - 200);
    EXPECT_LE(took, ClosingLimitMs(kLimit) + 1500);
    ASSERT_TRUE(Server.WaitForRequests(2, 5000));
    EXPECT_EQ(Posted(kUsagePath), 2u);
    EXPECT_EQ(Posted(kProductsPath), 0u);
    EXPECT_EQ(Server.Requests()[0], Server.Requests()[1]);
    for (uint32_t limit : Net.Limits) EXPECT_LE(limit, kLimit);
    EXPECT_FALSE(platform::TIniFile(run.SettingsPath).ReadBool("vt", "idata", false));
    EXPECT_EQ(platform::TIniFile(run.PromotionPath).ReadString("Leapgate", "VT_BU", ""), "6.4.0.0");

    // The next run's server answers: the report that waited goes out, and the user is marked.
    testsupport::TCaptureServer answering;
    TRedirectedInternet next(answering.Port());
    testsupport::TScopedInternet useNext(next);
    SendReports(run);
    ASSERT_TRUE(answering.WaitForRequests(2, 5000));
    EXPECT_EQ(answering.Requests()[1].rfind(std::string("POST ") + kProductsPath + " ", 0), 0u);
    EXPECT_TRUE(platform::TIniFile(run.SettingsPath).ReadBool("vt", "idata", false));
}

// A pause that ends early leaves time: the installed-products post is made once, within what
// is left, and the user is marked whatever it answered.
TEST_F(SilentServer, TimeLeftAfterTheUsageTriesGoesToTheProductsPost) {
    TReportRun run = Run();
    std::vector<uint32_t> waits;
    run.Wait = [&](uint32_t ms) { waits.push_back(ms); };
    const uint64_t start = platform::MonotonicMs();
    SendReports(run);
    const uint64_t took = platform::MonotonicMs() - start;
    EXPECT_GE(took, 3 * kLimit - 300);
    EXPECT_LE(took, ClosingLimitMs(kLimit));
    EXPECT_EQ(waits, (std::vector<uint32_t>{kRetryPauseMs}));
    ASSERT_TRUE(Server.WaitForRequests(3, 5000));
    EXPECT_EQ(Posted(kUsagePath), 2u);
    EXPECT_EQ(Posted(kProductsPath), 1u);
    EXPECT_EQ(Net.Limits, (std::vector<uint32_t>{kLimit, kLimit, kLimit}));
    EXPECT_TRUE(platform::TIniFile(run.SettingsPath).ReadBool("vt", "idata", false));
}

}  // namespace
