#include "locale/openlink.h"

#include <gtest/gtest.h>

#include "platform/file.h"
#include "platform/path.h"
#include "platform/shellfolders.h"
#include "tests/support/fakes.h"

using namespace locale;
using testsupport::TFakeLauncher;

namespace {

const std::string kChoice =
    "Software\\Microsoft\\Windows\\Shell\\Associations\\UrlAssociations\\http\\UserChoice";
const std::string kUninstall = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
const std::string kLink = "http://dl.example/dl/vantrel_setup.exe";

class OpenLinkTest : public testing::Test {
protected:
    testsupport::TFakeSystemInfo Info;
    testsupport::TScopedSystemInfo UseInfo{Info};
    testsupport::TFakeRegistry Reg;
    testsupport::TScopedRegistry UseReg{Reg};
    TFakeLauncher Launcher;
    testsupport::TScopedLauncher UseLauncher{Launcher};
    std::string Ie;
    void SetUp() override {
        const std::string pf = platform::GetShellFolder(platform::ShellFolder::kProgramFiles);
        // Only the stand-in's program files can be furnished; on Windows the real one is used.
        if (!platform::StandInRoot().empty()) {
            platform::ForceDirectories(platform::JoinPath({pf, "Internet Explorer"}));
            platform::WriteFileBytes(platform::JoinPath({pf, "Internet Explorer", "iexplore.exe"}),
                                     "x");
        }
        Ie = platform::JoinPath({pf, "Internet Explorer", "iexplore.exe"});
    }
    void Version(uint32_t major, uint32_t minor, uint32_t build) {
        Info.Version = {2, major, minor, build};
    }
    void ChoseBrowser() {
        Reg.Strings[kChoice + "|ProgId"] = "ChromeHTML";
        Reg.Strings[kChoice + "|Hash"] = "abc=";
        Reg.Strings["ChromeHTML\\shell\\open\\command|"] = "\"chrome.exe\" -- \"%1\"";
    }
};

TEST_F(OpenLinkTest, BlankLinkStartsNothing) {
    EXPECT_FALSE(OpenLink(""));
    EXPECT_FALSE(OpenLink("  \t"));
    EXPECT_TRUE(Launcher.Launches.empty());
}

TEST_F(OpenLinkTest, Windows10WithoutThirdPartyProductsUsesTheShell) {
    Version(10, 0, 19041);
    EXPECT_TRUE(OpenLink(kLink));
    ASSERT_EQ(Launcher.Launches.size(), 1u);
    EXPECT_EQ(Launcher.Launches[0].File, kLink);
}

TEST_F(OpenLinkTest, Windows10WithMpcGoesToEdge) {
    Version(10, 0, 19041);
    Reg.Keys.insert(kUninstall + "MPC");
    EXPECT_TRUE(OpenLink(kLink));
    ASSERT_EQ(Launcher.Launches.size(), 1u);
    EXPECT_EQ(Launcher.Launches[0].File, "microsoft-edge:" + kLink);
}

TEST_F(OpenLinkTest, OldWindows10BuildKeepsTheShellRouteDespiteMpc) {
    Version(10, 0, 10240);
    Reg.Keys.insert(kUninstall + "MPC");
    EXPECT_TRUE(OpenLink(kLink));
    ASSERT_EQ(Launcher.Launches.size(), 1u);
    EXPECT_EQ(Launcher.Launches[0].File, kLink);
}

TEST_F(OpenLinkTest, Windows81WithoutAChosenBrowserGoesStraightToInternetExplorer) {
    Version(6, 3, 9600);
    Reg.Strings[kChoice + "|ProgId"] = "IE.HTTP";  // no Hash: never chosen
    const bool ok = OpenLink(kLink);
    if (platform::FileExists(Ie)) {
        EXPECT_TRUE(ok);
        ASSERT_EQ(Launcher.Launches.size(), 1u);
        EXPECT_EQ(Launcher.Launches[0].File, Ie);
        EXPECT_EQ(Launcher.Launches[0].Parameters, kLink);
    } else {
        EXPECT_FALSE(ok);
        EXPECT_TRUE(Launcher.Launches.empty());
    }
}

TEST_F(OpenLinkTest, Windows81WithAChosenBrowserUsesTheShell) {
    Version(6, 3, 9600);
    ChoseBrowser();
    EXPECT_TRUE(OpenLink(kLink));
    ASSERT_EQ(Launcher.Launches.size(), 1u);
    EXPECT_EQ(Launcher.Launches[0].File, kLink);
}

TEST_F(OpenLinkTest, Windows7ShellFailureFallsBackToInternetExplorerNotEdge) {
    Version(6, 1, 7601);
    Launcher.ShellResults = {2, 42};
    OpenLink(kLink);
    ASSERT_GE(Launcher.Launches.size(), 1u);
    EXPECT_EQ(Launcher.Launches[0].File, kLink);
    for (const auto& l : Launcher.Launches)
        EXPECT_EQ(l.File.find("microsoft-edge:"), std::string::npos);
    if (platform::FileExists(Ie)) {
        ASSERT_EQ(Launcher.Launches.size(), 2u);
        EXPECT_EQ(Launcher.Launches[1].File, Ie);
    }
}

TEST_F(OpenLinkTest, EverythingFailingGivesFalse) {
    Version(10, 0, 19041);
    Launcher.ShellResults = {2, 31, 0};
    const bool ok = OpenLink(kLink);
    EXPECT_FALSE(ok);
    ASSERT_GE(Launcher.Launches.size(), 2u);
    EXPECT_EQ(Launcher.Launches[1].File, "microsoft-edge:" + kLink);
}

TEST_F(OpenLinkTest, DownloadPageIsPlainHttpOnTheDownloadServer) {
    EXPECT_EQ(DownloadPageUrl(),
              std::string("http://") + LG_DOWNLOAD_HOST + "/dl/vantrel_setup.exe");
}

}  // namespace
