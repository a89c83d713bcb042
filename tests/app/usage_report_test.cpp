#include "app/usage_report.h"

#include <gtest/gtest.h>

#include "locale/environment.h"
#include "platform/inifile.h"
#include "tests/support/base64.h"
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

}  // namespace
