#include "app/handoff.h"

#include <gtest/gtest.h>

#include <map>

#include "download/md5.h"
#include "locale/openlink.h"
#include "platform/clock.h"
#include "platform/file.h"
#include "platform/path.h"
#include "tests/support/child_process.h"
#include "tests/support/fakes.h"
#include "tests/support/faultserver.h"
#include "tests/support/scoped_env.h"
#include "tests/support/testenv.h"

using namespace app;
using platform::TEventLoop;

namespace {

class TRecordingView : public IHandoffView {
public:
    std::vector<std::string> Calls;
    int Bar = 0;
    bool Hidden = false;
    int DialogResult = 2;
    int Dialogs = 0;
    bool Finished = false;
    struct TText {
        double Percent, Speed;
        int64_t Total, Done;
    };
    std::vector<TText> Texts;
    void DisableShine() override { Calls.push_back("shine off"); }
    void ShowDownloadControls(bool on) override {
        Calls.push_back(on ? "download on" : "download off");
    }
    void ShowOfferControls(bool on) override { Calls.push_back(on ? "offer on" : "offer off"); }
    std::vector<int> Bars;
    void SetBarPosition(int p) override {
        Bars.push_back(p);
        Bar = p;
    }
    void UpdateSpeedText(double percent, double speed, int64_t total, int64_t done) override {
        Texts.push_back({percent, speed, total, done});
    }
    bool IsWindowHidden() override { return Hidden; }
    void HideWindow() override {
        Hidden = true;
        Calls.push_back("hide");
    }
    void RestoreFromTray() override {
        Hidden = false;
        Calls.push_back("restore");
    }
    void ProcessMessages() override {}
    void Wait(uint32_t ms) override { Calls.push_back("wait " + std::to_string(ms)); }
    int ShowErrorDialog() override {
        ++Dialogs;
        Calls.push_back("error dialog");
        return DialogResult;
    }
    void FinishAndReport() override {
        Finished = true;
        Calls.push_back("finish");
    }
};

class Handoff : public testing::Test {
protected:
    testsupport::TTempDir Temp;
    testsupport::TScopedTempFolder UseTemp{Temp.Path()};
    testsupport::TFakeLauncher Launcher;
    testsupport::TScopedLauncher UseLauncher{Launcher};
    std::string Content;  // before the server: its handler reads it until the server stops
    testsupport::TFaultServer Server;
    TRecordingView View;
    TUpgradeData Data;

    void SetUp() override {
        Content.resize(20000);
        for (size_t i = 0; i < Content.size(); ++i) Content[i] = static_cast<char>(i * 31 + 7);
        Server.SetHandler([this](const testsupport::TRecordedRequest& r) {
            return testsupport::TFaultResponse::File(r, Content);
        });
        Data.UpdateUrl = Server.Url("/vt6.exe");
        Data.SetupParams = "/verysilent /lang=de";
        Data.SetupMd5 = download::Md5OfBytes(Content);
        Data.SetupSize = 20000;
    }
    void Run(TInstallerHandoff& h) {
        h.BarIntervalMs = 2;
        h.StartDownload();
        ASSERT_TRUE(TEventLoop::RunUntil([&] { return View.Finished; }, 60000));
    }
};

TEST_F(Handoff, VerifiedDownloadFillsTheBarThenStartsTheSetupQuoted) {
    const std::string stale = platform::JoinPath({Temp.Path(), "vt6.exe.dat"});
    platform::WriteFileBytes(stale, "[PART_0]\r\nDataCount=15000\r\n");  // an earlier run's
    TInstallerHandoff h(View, Data);
    Run(h);
    EXPECT_EQ(platform::ReadFileBytes(h.SetupPath()).value_or(""), Content);
    EXPECT_EQ(h.SetupPath(), platform::JoinPath({Temp.Path(), "vt6.exe"}));
    ASSERT_FALSE(View.Texts.empty());
    EXPECT_EQ(View.Texts.front().Total, 20000);  // the announced size before any data
    EXPECT_EQ(View.Texts.back().Percent, 100);
    EXPECT_EQ(View.Texts.back().Done, 20000);
    EXPECT_EQ(View.Bar, 100);
    ASSERT_EQ(View.Bars.size(), 100u);  // one step per tick, never a jump
    for (size_t i = 0; i < View.Bars.size(); ++i) EXPECT_EQ(View.Bars[i], static_cast<int>(i) + 1);
    ASSERT_EQ(Launcher.Launches.size(), 1u);
    EXPECT_EQ(Launcher.Launches[0].Kind, "process");
    EXPECT_EQ(Launcher.Launches[0].File, h.SetupPath());
    EXPECT_EQ(Launcher.Launches[0].Parameters, "/verysilent /lang=de");
    EXPECT_EQ(View.Calls.front(), "shine off");
    EXPECT_EQ(View.Calls.back(), "finish");
    EXPECT_EQ(View.Calls[View.Calls.size() - 2], "hide");  // hidden before the setup starts
    EXPECT_EQ(View.Dialogs, 0);
    // Nothing was resumed from the stale state file: every range starts at its segment.
    for (const auto& r : Server.Requests()) EXPECT_EQ(r.Range().find("15000"), std::string::npos);
}

TEST_F(Handoff, LowerCaseDigestMatchesToo) {
    for (char& c : Data.SetupMd5) c = static_cast<char>(std::tolower(c));
    TInstallerHandoff h(View, Data);
    Run(h);
    EXPECT_EQ(Launcher.Launches.size(), 1u);
}

TEST_F(Handoff, WrongDigestShowsTheErrorDialogAndOkOpensTheDownloadPage) {
    Data.SetupMd5 = "00000000000000000000000000000000";
    TInstallerHandoff h(View, Data);
    Run(h);
    EXPECT_EQ(View.Dialogs, 1);
    ASSERT_EQ(Launcher.Launches.size(), 1u);
    EXPECT_EQ(Launcher.Launches[0].Kind, "shell");
    EXPECT_EQ(Launcher.Launches[0].File, locale::DownloadPageUrl());
    EXPECT_TRUE(platform::FileExists(h.SetupPath()));  // the file stays
    EXPECT_EQ(View.Bar, 100);  // the failure shows the bar where the download got
    EXPECT_EQ(View.Calls.back(), "finish");
}

TEST_F(Handoff, ClosingTheErrorDialogEndsWithoutTheBrowser) {
    Data.SetupMd5 = "00000000000000000000000000000000";
    View.DialogResult = kModalResultClose;
    TInstallerHandoff h(View, Data);
    Run(h);
    EXPECT_EQ(View.Dialogs, 1);
    EXPECT_TRUE(Launcher.Launches.empty());
    EXPECT_TRUE(View.Finished);
}

TEST_F(Handoff, FailureWhileMinimisedBringsTheWindowBackFirst) {
    Data.SetupMd5 = "00000000000000000000000000000000";
    View.Hidden = true;
    TInstallerHandoff h(View, Data);
    Run(h);
    const auto restore = std::find(View.Calls.begin(), View.Calls.end(), "restore");
    ASSERT_NE(restore, View.Calls.end());
    EXPECT_EQ(*(restore + 1), "wait 400");
    EXPECT_EQ(*(restore + 2), "error dialog");
}

TEST_F(Handoff, FailureBeforeAnyProgressStillReachesTheErrorDialog) {
    // The target cannot be created: a folder stands where the file should be.
    platform::ForceDirectories(platform::JoinPath({Temp.Path(), "vt6.exe", "busy"}));
    Server.SetHandler([](const testsupport::TRecordedRequest&) {
        return testsupport::TFaultResponse::Status(404, "gone");
    });
    TInstallerHandoff h(View, Data);
    h.Facade().MaxRetries = 0;
    Run(h);
    EXPECT_EQ(View.Dialogs, 1);
    EXPECT_EQ(View.Texts.back().Done, 0);
}

// Between the digest check and the start a second process of the user tries every way of
// putting its own program in the setup's place; the program really started then shows, by
// copying its own file, that it is the one that was checked.
class TContendingLauncher : public testsupport::TFakeLauncher {
public:
    std::string Contender = testsupport::HelperProgram("file_contender");
    std::map<std::string, int> AtStart;
    void Contend(const std::string& file, std::map<std::string, int>& results) {
        for (const char* action : {"overwrite", "open-write", "rename", "delete"})
            results[action] = testsupport::RunProgram(Contender, {action, file}, 60000);
    }
    bool StartProcess(const std::string& application, const std::string& parameters) override {
        TFakeLauncher::StartProcess(application, parameters);
        Contend(application, AtStart);
        return platform::RealLauncher().StartProcess(application, parameters);
    }
};

TEST_F(Handoff, CheckedSetupCannotBeChangedUntilItRunsAndRunsAsChecked) {
    const std::string setup = testsupport::HelperProgram("copying_setup");
    ASSERT_TRUE(platform::FileExists(setup)) << setup;
    Content = platform::ReadFileBytes(setup).value_or("");
    ASSERT_FALSE(Content.empty());
    const std::string copy = platform::JoinPath({Temp.Path(), "what ran.bin"});
    Data.SetupParams = "\"" + copy + "\"";
    Data.SetupMd5 = download::Md5OfBytes(Content);
    Data.SetupSize = static_cast<int64_t>(Content.size());
    TContendingLauncher launcher;
    testsupport::TScopedLauncher useLauncher{launcher};
    TInstallerHandoff h(View, Data);
    // Right after the check, too: the bar still has its way to go.
    std::map<std::string, int> afterCheck;
    auto checked = h.Facade().OnDone;
    h.Facade().OnDone = [&](bool completed, int code, const std::string& file, int tag) {
        checked(completed, code, file, tag);
        launcher.Contend(h.SetupPath(), afterCheck);
    };
    Run(h);
    for (const char* action : {"overwrite", "open-write", "rename", "delete"}) {
        EXPECT_EQ(afterCheck[action], 1) << action << " right after the check";
        EXPECT_EQ(launcher.AtStart[action], 1) << action << " just before the start";
    }
    ASSERT_EQ(launcher.Launches.size(), 1u);
    EXPECT_EQ(launcher.Launches[0].File, h.SetupPath());
    EXPECT_EQ(View.Calls.back(), "finish");
    for (int i = 0; i < 600 && !platform::FileExists(copy); ++i) platform::SleepMs(100);
    ASSERT_TRUE(platform::FileExists(copy)) << "the setup did not run";
    EXPECT_TRUE(platform::ReadFileBytes(copy).value_or("") == Content)
        << "the program started is not the one checked";
    EXPECT_FALSE(platform::FileExists(h.SetupPath() + ".moved"));
}

TEST_F(Handoff, SetupThatSomeoneStillWritesIsNotTakenAsChecked) {
    // A writer that holds the file when the download ends leaves no settled content to check.
    std::unique_ptr<platform::TFileStream> writer;
    TInstallerHandoff h(View, Data);
    auto done = h.Facade().OnDone;
    h.Facade().OnDone = [&](bool completed, int code, const std::string& file, int tag) {
        writer = platform::TFileStream::Open(file, platform::FileMode::kOpenReadWriteDenyWrite);
        done(completed, code, file, tag);
    };
    Run(h);
    EXPECT_TRUE(writer);
    EXPECT_EQ(View.Dialogs, 1);
    ASSERT_EQ(Launcher.Launches.size(), 1u);
    EXPECT_EQ(Launcher.Launches[0].Kind, "shell");  // the download page, not the setup
}

}  // namespace
