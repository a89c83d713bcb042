// The whole program, started as the logon task starts it, against loopback servers: the
// statistics server at the address the test build has built in, the setup on a file server, a
// recording browser and a recording setup. Windows are driven with xdotool under the test's X
// server; where that is not possible the cases that need clicks are skipped with the reason.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "download/md5.h"
#include "locale/environment.h"
#include "platform/clock.h"
#include "platform/file.h"
#include "platform/inifile.h"
#include "platform/path.h"
#include "platform/shellfolders.h"
#include "tasks/taskservice.h"
#include "tests/support/base64.h"
#include "tests/support/capture_server.h"
#include "tests/support/faultserver.h"
#include "tests/support/program_runner.h"
#include "tests/support/testenv.h"

namespace {

using testsupport::TProgramRun;

constexpr uint16_t kStatsPort = 47391;
constexpr const char* kTitle = "Vantrel Updater";

class Program : public testing::Test {
protected:
    testsupport::TTempDir Dir;
    std::string Exe, Root, Temp;
    std::string Setup;  // the recording setup the server hands out
    testsupport::TFaultServer Files;
    std::unique_ptr<testsupport::TCaptureServer> Stats;

    void SetUp() override {
        if (!platform::StandInRoot().size())
            GTEST_SKIP()
                << "under Wine the program is driven from outside: tests/support/wine/program-e2e";
        Root = Dir.File("root/");
        Temp = Dir.File("tmp/");
        platform::ForceDirectories(Temp);
        const std::string folder = Dir.File("Vantrel/");
        platform::ForceDirectories(platform::JoinPath({folder, "Update"}));
        Exe = platform::JoinPath({folder, "leapgate"});
        ASSERT_TRUE(platform::CopyFile(LG_PROGRAM_FILE, Exe, true));
        std::filesystem::permissions(Exe, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add);
        Setup = "#!/bin/sh\necho \"$@\" > \"" + Temp + "setup-ran.txt\"\n";
        Files.SetHandler([this](const testsupport::TRecordedRequest& r) {
            return testsupport::TFaultResponse::File(r, Setup);
        });
        Stats = std::make_unique<testsupport::TCaptureServer>(
            "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok", kStatsPort);
        ASSERT_TRUE(Stats->Listening()) << "port " << kStatsPort << " is taken";
        platform::WriteFileBytes(Temp + "opener.sh",
                                 "#!/bin/sh\necho \"$@\" >> \"" + Temp + "opened.txt\"\n");
        std::filesystem::permissions(Temp + "opener.sh", std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add);
    }

    void WriteUpdate(const std::string& md5) {
        platform::WriteFileBytes(
            platform::JoinPath({platform::ExtractFilePath(Exe), "Update", "Update.ini"}),
            "[VT_Leapgate]\r\nVT_Url=" + Files.Url("/dl/vt6.exe") +
                "\r\nVT_Pmt=/verysilent /lang=en\r\nVT_Md5=" + md5 +
                "\r\nVT_Ver=6.4.0.0\r\nVT_Size=" + std::to_string(Setup.size()) + "\r\n");
    }
    std::string SettingsFile() const {
        return platform::JoinPath({Root, "AppData/Roaming/Korvo/Vantrel/Leapgate.ini"});
    }
    std::unique_ptr<TProgramRun> Start(std::vector<std::string> args = {"/leapgate"},
                                       const std::map<std::string, std::string>& env = {},
                                       const std::string& stderrPath = "") {
        std::map<std::string, std::string> all{
            {"LEAPGATE_ROOT", Root},
            {"TMPDIR", Temp},
            {"LEAPGATE_OPENER", Temp + "opener.sh"},
            {"LSAN_OPTIONS", "suppressions=" + std::string(LG_SOURCE_DIR) +
                                 "/tests/lsan.supp:print_suppressions=0"}};
        for (const auto& [k, v] : env) all[k] = v;
        return std::make_unique<TProgramRun>(Exe, args, all, stderrPath);
    }
    // The one-time task, registered in the stand-in's task store the program will use; `check`
    // runs while that store is ours.
    void RegisterOneTimeTask() {
        WithTaskStore([this] {
            ASSERT_EQ(
                tasks::CreateNewTask_OnLogonEx(kTask, Exe.c_str(), "/leapgate", 10, 0, nullptr), 0);
        });
    }
    bool OneTimeTaskExists() {
        bool exists = false;
        WithTaskStore([&] { exists = tasks::IsTaskExists(kTask, "\\") == 0; });
        return exists;
    }
    void WithTaskStore(const std::function<void()>& work) {
        platform::SetStandInRoot(Root);
        tasks::UseTaskScheduler2 = tasks::IsTaskScheduler2Available();
        tasks::CreateTaskAdapter();
        work();
        tasks::FreeTaskAdapter();
        platform::SetStandInRoot(testsupport::TestRoot());
    }
    static constexpr const char* kTask = "VT Leapgate Task ( One Time )";
    std::vector<std::string> Reports(const std::string& path) {
        std::vector<std::string> out;
        for (const std::string& raw : Stats->Requests()) {
            if (raw.find("POST " + path + " ") != 0) continue;
            const size_t body = raw.find("\r\n\r\ndata=");
            out.push_back(testsupport::Base64Decode(raw.substr(body + 9)));
        }
        return out;
    }
    // Clicks at (dx, dy) in the window with this title until the click has had its effect. The
    // window is looked up again for every try: one that has just appeared may still be moving
    // to its place or laying itself out when the first click arrives.
    bool ClickUntil(const std::string& title, int dx, int dy, const std::function<bool()>& done) {
        for (int attempt = 0; attempt < 15; ++attempt) {
            int x, y;
            if (testsupport::FindWindow(title, 2000, x, y)) testsupport::ClickAt(x + dx, y + dy);
            for (int i = 0; i < 20; ++i) {
                if (done()) return true;
                platform::SleepMs(100);
            }
        }
        return done();
    }
    bool DialogShown() {
        int x, y;
        return testsupport::FindWindow("Vantrel", 100, x, y);
    }
    // The close button, then the dialog's cancel link.
    void CloseAndConfirm(TProgramRun& run) {
        ASSERT_TRUE(ClickUntil(kTitle, 882, 18, [&] { return DialogShown(); }));
        ASSERT_TRUE(ClickUntil("Vantrel", 30, 187, [&] { return !run.Running(); }));
    }
    bool WaitWindow(int& x, int& y) {
        if (!testsupport::CanDriveWindows()) return false;
        return testsupport::FindWindow(kTitle, 60000, x, y);
    }
};

TEST_F(Program, WithoutTheSwitchItEndsAtOnceAndWritesNothing) {
    WriteUpdate(download::Md5OfBytes(Setup));
    auto run = Start({});
    EXPECT_EQ(run->WaitExit(15000), 0);
    EXPECT_FALSE(platform::FileExists(SettingsFile()));
    EXPECT_TRUE(Stats->Requests().empty());
}

TEST_F(Program, OfferShownTwentyThreeHoursAgoIsNotDue) {
    WriteUpdate(download::Md5OfBytes(Setup));
    platform::ForceDirectories(platform::ExtractFileDir(SettingsFile()));
    const std::string before =
        "[VT]\r\nLeapLastTime=" + platform::FloatToText(locale::NowLocal() - 23.0 / 24) + "\r\n";
    platform::WriteFileBytes(SettingsFile(), before);
    auto run = Start();
    EXPECT_EQ(run->WaitExit(15000), 0);
    EXPECT_EQ(platform::ReadFileBytes(SettingsFile()).value_or(""), before);
    EXPECT_TRUE(Stats->Requests().empty());
}

// Nobody could see the offer: the program says why and ends as a decision exit does, without
// the record of a showing (which would hold the offer back a day) and without removing the
// task that will start it again.
TEST_F(Program, DueOfferWithoutADisplayEndsAtOnceSaysWhyAndChangesNothing) {
    WriteUpdate(download::Md5OfBytes(Setup));
    RegisterOneTimeTask();
    ASSERT_TRUE(OneTimeTaskExists());
    const std::string err = Dir.File("stderr.txt");
    for (const char* display : {"", ":987"}) {  // unset, and naming a server that is not there
        const uint64_t start = platform::MonotonicMs();
        auto run = Start({"/leapgate"}, {{"DISPLAY", display}}, err);
        EXPECT_EQ(run->WaitExit(15000), 0) << "DISPLAY=" << display;
        EXPECT_LT(platform::MonotonicMs() - start, 1500u) << "DISPLAY=" << display;
        EXPECT_NE(platform::ReadFileBytes(err).value_or("").find("no display"), std::string::npos)
            << "DISPLAY=" << display;
        EXPECT_EQ(platform::TIniFile(SettingsFile()).ReadString("VT", "LeapLastTime", ""), "");
        EXPECT_EQ(platform::TIniFile(SettingsFile()).ReadString("VT", "LeapVersion", ""), "");
        EXPECT_TRUE(OneTimeTaskExists()) << "DISPLAY=" << display;
    }
    EXPECT_TRUE(Stats->Requests().empty());
    EXPECT_FALSE(
        platform::FileExists(platform::JoinPath({Root, "ProgramData/Korvo/korvopromotion.ini"})));
}

TEST_F(Program, DueOfferShowsTheWindowRecordsItRemovesTheTaskAndASecondCopyLeaves) {
    if (!testsupport::CanDriveWindows()) GTEST_SKIP() << "no X display or xdotool here";
    WriteUpdate(download::Md5OfBytes(Setup));
    RegisterOneTimeTask();
    ASSERT_TRUE(OneTimeTaskExists());
    auto run = Start();
    int x, y;
    ASSERT_TRUE(WaitWindow(x, y));
    EXPECT_FALSE(OneTimeTaskExists());
    platform::TIniFile settings(SettingsFile());
    // The record is written while the window comes up; give it a moment.
    for (int i = 0; i < 100 && settings.ReadString("VT", "LeapVersion", "").empty(); ++i)
        platform::SleepMs(100);
    EXPECT_NEAR(settings.ReadFloat("VT", "LeapLastTime", 0), locale::NowLocal(), 1.0 / 24);
    EXPECT_EQ(settings.ReadString("VT", "LeapVersion", ""), "6.4.0.123");

    auto second = Start();
    EXPECT_EQ(second->WaitExit(15000), 0);
    EXPECT_TRUE(run->Running());

    // Close, then confirm the cancellation: "close" 1, "click" 0, and the products once.
    CloseAndConfirm(*run);
    EXPECT_EQ(run->WaitExit(30000), 0);
    const auto usage = Reports("/other/vt6_leap.php");
    ASSERT_EQ(usage.size(), 1u);
    EXPECT_EQ(usage[0],
              "{\"run\":\"1\",\"lan\":\"en\",\"his\":\"0\",\"name\":\"razuziz\",\"close\":\"1\","
              "\"click\":\"0\"}");
    EXPECT_EQ(Reports("/other/vt_corspdata.php").size(), 1u);
    EXPECT_TRUE(platform::TIniFile(SettingsFile()).ReadBool("vt", "idata", false));
}

TEST_F(Program, UpgradeNowDownloadsInFourRangesVerifiesStartsTheSetupAndReports) {
    if (!testsupport::CanDriveWindows()) GTEST_SKIP() << "no X display or xdotool here";
    Setup += std::string(100000, '#');  // big enough for four real ranges
    WriteUpdate(download::Md5OfBytes(Setup));
    auto run = Start();
    int x, y;
    ASSERT_TRUE(WaitWindow(x, y)) << "the program " << (run->Running() ? "runs" : "ended");
    ASSERT_TRUE(ClickUntil(kTitle, 450, 556, [&] { return Files.RequestCount() > 0; }));
    // The bar moves one step per 250 ms: the setup starts some 25 seconds later.
    EXPECT_EQ(run->WaitExit(90000), 0);
    EXPECT_EQ(platform::ReadFileBytes(Temp + "vt6.exe").value_or(""), Setup);
    EXPECT_EQ(platform::ReadFileBytes(Temp + "setup-ran.txt").value_or(""),
              "/verysilent /lang=en\n");
    int ranged = 0;
    for (const auto& r : Files.Requests()) ranged += r.Range().empty() ? 0 : 1;
    EXPECT_EQ(ranged, 4);
    const auto usage = Reports("/other/vt6_leap.php");
    ASSERT_EQ(usage.size(), 1u);
    EXPECT_NE(usage[0].find("\"close\":\"0\",\"click\":\"1\""), std::string::npos);
    EXPECT_EQ(Reports("/other/vt_corspdata.php").size(), 1u);
    EXPECT_EQ(platform::TIniFile(platform::JoinPath({Root, "ProgramData/Korvo/korvopromotion.ini"}))
                  .ReadString("Leapgate", "VT_BU", ""),
              "6.4.0.0");

    // A second run by the same user: only the usage report.
    platform::TIniFile(SettingsFile()).WriteString("VT", "LeapLastTime", "0");
    platform::DeleteFile(Temp + "setup-ran.txt");
    auto again = Start();
    int x2, y2;
    ASSERT_TRUE(WaitWindow(x2, y2)) << "the program " << (again->Running() ? "runs" : "ended");
    CloseAndConfirm(*again);
    EXPECT_EQ(again->WaitExit(30000), 0);
    EXPECT_EQ(Reports("/other/vt6_leap.php").size(), 2u);
    EXPECT_EQ(Reports("/other/vt_corspdata.php").size(), 1u);
}

TEST_F(Program, WrongDigestShowsTheErrorAndOkOpensTheDownloadPage) {
    if (!testsupport::CanDriveWindows()) GTEST_SKIP() << "no X display or xdotool here";
    WriteUpdate("00000000000000000000000000000000");
    auto run = Start();
    int x, y;
    ASSERT_TRUE(WaitWindow(x, y));
    ASSERT_TRUE(ClickUntil(kTitle, 450, 556, [&] { return Files.RequestCount() > 0; }));
    int dx = 0, dy = 0;
    ASSERT_TRUE(testsupport::FindWindow("Vantrel", 30000, dx, dy));
    ASSERT_TRUE(ClickUntil("Vantrel", 315, 187, [&] { return !run->Running(); }));  // OK
    EXPECT_EQ(run->WaitExit(30000), 0);
    EXPECT_EQ(platform::ReadFileBytes(Temp + "opened.txt").value_or(""),
              "http://127.0.0.1:47392/dl/vantrel_setup.exe\n");
    EXPECT_FALSE(platform::FileExists(Temp + "setup-ran.txt"));
    EXPECT_EQ(Reports("/other/vt6_leap.php").size(), 1u);
}

}  // namespace
