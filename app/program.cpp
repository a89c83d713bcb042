#include "app/program.h"

#include <stdexcept>

#include "app/frm_main.h"
#include "app/frm_main_view.h"
#include "app/handoff.h"
#include "app/startup.h"
#include "app/usage_report.h"
#include "locale/config.h"
#include "locale/environment.h"
#include "locale/lang.h"
#include "locale/local_profile.h"
#include "log/logfile.h"
#include "platform/clock.h"
#include "platform/eventloop.h"
#include "platform/mutex.h"
#include "platform/process.h"
#include "tasks/taskservice.h"

namespace app {

namespace {

struct ETestBugReport : std::runtime_error {
    ETestBugReport() : std::runtime_error("test") {}
};

// Start-up steps that run before the main block, in this order; their shut-down steps run in
// the reverse order when the main block is done.
class TStartup {
public:
    TStartup() {
        FConfig = std::make_unique<locale::TConfig>();
        locale::LoadLocalProfile();
        tasks::UseTaskScheduler2 = tasks::IsTaskScheduler2Available();
        locale::BuildLangTexts();
        platform::MaskFloatingPointOverflowUnderflow();
        tasks::CreateTaskAdapter();
        platform::DeclareDpiAwareness(DecideDpiAwareness());
    }
    ~TStartup() {
        tasks::FreeTaskAdapter();
        locale::FreeLangTexts();
        logs::ShutdownLogChannels();
        FConfig.reset();  // writes "ScanGame" back
    }

private:
    std::unique_ptr<locale::TConfig> FConfig;
};

void MainBlock(const std::vector<std::string>& args) {
    platform::TNamedMutex guard("VTLeapgate");
    if (guard.AlreadyExisted()) return;  // another copy runs under this logon
    if (args.size() > 1 && args[1] == "/testbugreport") throw ETestBugReport();

    TFormMain form;
    form.Data.UpdateIniPath = UpdateIniPathIn(locale::GetExeDir());
    form.Data.SettingsPath = SettingsPathIn(locale::GetAppDataDir());
    // A decision not to offer ends the process at once: no clean-up, nothing written.
    if (!HasLeapgateSwitch(args) || !form.FormCreate()) platform::ExitProcessNow(0);

    TFormMainView view(form);
    TInstallerHandoff handoff(view, form.Data);
    bool finished = false;
    auto finishAndReport = [&] {
        if (finished) return;
        finished = true;
        form.HideWindow();
        TReportRun run;
        run.SettingsPath = form.Data.SettingsPath;
        run.PromotionPath = PromotionFilePath();
        run.NewVersion = form.Data.NewVersion;
        run.Lang = locale::LocalProfile().Lang;
        run.Flags = {form.UpgradeClicked, form.HistoryOpened, form.ClosedByUser};
        SendReports(run);
        platform::TEventLoop::Quit();
    };
    view.OnFinish = finishAndReport;
    form.FinishAndReport = finishAndReport;
    form.StartDownload = [&] { handoff.StartDownload(); };
    form.StopDownload = [&] { handoff.Stop(); };
    // Closing the window any other way (the system's close command) ends the program without
    // the marker and without reports.
    form.OnClose = [] { platform::TEventLoop::Quit(); };
    form.ShowWindow();
    platform::TEventLoop::Run();
}

}  // namespace

int RunLeapgate(const std::vector<std::string>& args) {
    // Before anything can load a library by name: we run elevated, and the current folder and
    // PATH folders are anyone's.
    platform::MakeLibrarySearchSafe();
    platform::InstallCrashHandler(
        [](const std::string& what, const std::string& stack) { WriteCrashReport(what, stack); });
    try {
        TStartup startup;
        MainBlock(args);
    } catch (const std::exception& e) {
        // The crash reporter's part: the "/testbugreport" exception and any other that
        // escaped the message loop.
        WriteCrashReport(e.what(), platform::CurrentStack());
    }
    return 0;
}

}  // namespace app
