#include "app/handoff.h"

#include "download/md5.h"
#include "locale/environment.h"
#include "locale/openlink.h"
#include "platform/clock.h"
#include "platform/file.h"
#include "platform/path.h"
#include "platform/process.h"

namespace app {

TInstallerHandoff::TInstallerHandoff(IHandoffView& view, const TUpgradeData& data)
    : FView(view), FData(data), FFacade(std::make_unique<download::TDownloader>()) {
    FFacade->OnProgress = [this](int, int64_t size, double percent, double, double) {
        DownloadProgress(size, percent);
    };
    FFacade->OnDone = [this](bool completed, int, const std::string&, int) {
        DownloadComplete(completed);
    };
}

TInstallerHandoff::~TInstallerHandoff() {
    StopBarTimer();
    FFacade.reset();
}

void TInstallerHandoff::StartDownload() {
    FView.DisableShine();
    FView.ShowDownloadControls(true);
    FView.ShowOfferControls(false);
    FView.UpdateSpeedText(0, 0, FData.SetupSize, 0);
    FSetupPath = platform::JoinPath({locale::GetTempDir(), "vt6.exe"});
    // Every run downloads afresh; the state file only carries a download across retries.
    platform::DeleteFile(FSetupPath + ".dat");
    try {
        FFacade->Start(FSetupPath, FData.UpdateUrl);
    } catch (const std::exception&) {
        DownloadComplete(false);
    }
}

void TInstallerHandoff::DownloadProgress(int64_t downloadedSize, double percentDone) {
    if (!FFacade || FEnded) return;
    if (FPacer.Progress(percentDone, downloadedSize, platform::Clock().TickCount()))
        StartBarTimer();
}

void TInstallerHandoff::DownloadComplete(bool completed) {
    if (FEnded) return;
    FFacade->Stop();
    bool ok = false;
    if (completed) {
        // The setup runs elevated, from a folder that every program of the user may write: from
        // the check until it has started, nobody may change, replace or delete it. It is held
        // open without write or delete sharing, and the digest is read through that very handle.
        FSetupFile =
            platform::TFileStream::Open(FSetupPath, platform::FileMode::kOpenReadDenyWriteDelete);
        std::string computed;
        ok = FSetupFile && download::Md5Matches(FData.SetupMd5, *FSetupFile, computed);
        if (!ok) FSetupFile.reset();
    }
    if (FPacer.Done(ok, platform::Clock().TickCount())) StartBarTimer();
}

void TInstallerHandoff::BarTick() {
    if (!FBarTimer || FEnded) return;
    const TProgressPacer::TTick t =
        FPacer.Tick(FFacade->ContentLength(), platform::Clock().TickCount());
    if (t.StopTimer) StopBarTimer();
    if (t.Moved) {
        FView.SetBarPosition(FPacer.Position());
        FView.ProcessMessages();
    }
    if (t.Action == TProgressPacer::TAction::kNone) {
        FView.UpdateSpeedText(t.Text.Percent, static_cast<double>(t.Text.Speed), t.Text.Total,
                              t.Text.Done);
    } else if (t.Action == TProgressPacer::TAction::kLaunch) {
        Launch(t.Text.Total);
    } else {
        Fail(t.Text);
    }
}

void TInstallerHandoff::Launch(int64_t total) {
    FEnded = true;
    FView.UpdateSpeedText(100, 0, total, total);
    FView.ProcessMessages();
    FView.HideWindow();
    // The setup runs elevated like us: its path is quoted and given as the program to start,
    // so a folder with blanks can never make the system run a file named like its first word.
    platform::Launcher().StartProcess(FSetupPath, FData.SetupParams);
    FSetupFile.reset();  // the setup process exists (or could not be made): the file is its own
    FView.FinishAndReport();
}

void TInstallerHandoff::Fail(const TSpeedText& text) {
    FEnded = true;
    FSetupFile.reset();
    FView.SetBarPosition(text.Percent);
    FView.ProcessMessages();
    FView.UpdateSpeedText(text.Percent, 0, text.Total, text.Done);
    if (FView.IsWindowHidden()) {
        FView.RestoreFromTray();
        FView.Wait(400);
    }
    if (FView.ShowErrorDialog() != kModalResultClose) locale::OpenLink(locale::DownloadPageUrl());
    FView.FinishAndReport();
}

void TInstallerHandoff::Stop() {
    StopBarTimer();
    FFacade->Stop();
    FSetupFile.reset();
}

void TInstallerHandoff::StartBarTimer() {
    if (FBarTimer) return;
    FBarTimer = platform::TEventLoop::SetTimer(BarIntervalMs, [this] { BarTick(); });
}

void TInstallerHandoff::StopBarTimer() {
    if (!FBarTimer) return;
    platform::TEventLoop::KillTimer(FBarTimer);
    FBarTimer = 0;
}

}  // namespace app
