// The window's side of the upgrade once the user accepts: the download through the facade, the
// paced progress bar, the digest check, the start of the setup and, after a failure, the error
// dialog and the download page. The window supplies the view; the logic lives here so that it
// can run against a recording view in the tests.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "app/offer.h"
#include "app/progress_pacer.h"
#include "download/downloader.h"
#include "platform/eventloop.h"
#include "platform/file.h"

namespace app {

class IHandoffView {
public:
    virtual ~IHandoffView() = default;
    virtual void DisableShine() = 0;
    virtual void ShowDownloadControls(bool on) = 0;
    virtual void ShowOfferControls(bool on) = 0;
    virtual void SetBarPosition(int position) = 0;
    virtual void UpdateSpeedText(double percent, double speed, int64_t total, int64_t done) = 0;
    virtual bool IsWindowHidden() = 0;
    virtual void HideWindow() = 0;
    virtual void RestoreFromTray() = 0;  // window shown, tray icon hidden
    virtual void ProcessMessages() = 0;
    virtual void Wait(uint32_t ms) = 0;
    virtual int ShowErrorDialog() = 0;  // the modal result (6: its close button)
    virtual void FinishAndReport() = 0;
};

inline constexpr int kModalResultClose = 6;

class TInstallerHandoff {
public:
    TInstallerHandoff(IHandoffView& view, const TUpgradeData& data);
    ~TInstallerHandoff();
    TInstallerHandoff(const TInstallerHandoff&) = delete;
    TInstallerHandoff& operator=(const TInstallerHandoff&) = delete;

    void StartDownload();
    // The facade's events.
    void DownloadProgress(int64_t downloadedSize, double percentDone);
    void DownloadComplete(bool completed);
    // One tick of the progress bar timer.
    void BarTick();
    // Stops the download (the user confirmed closing the window).
    void Stop();

    download::TDownloader& Facade() { return *FFacade; }
    const std::string& SetupPath() const { return FSetupPath; }
    const TProgressPacer& Pacer() const { return FPacer; }
    uint32_t BarIntervalMs = 250;

private:
    void StartBarTimer();
    void StopBarTimer();
    void Launch(int64_t total);
    void Fail(const TSpeedText& text);

    IHandoffView& FView;
    TUpgradeData FData;
    std::unique_ptr<download::TDownloader> FFacade;
    TProgressPacer FPacer;
    std::string FSetupPath;
    // The verified setup, held without write or delete sharing from its check until it runs.
    std::unique_ptr<platform::TFileStream> FSetupFile;
    platform::TimerId FBarTimer = 0;
    bool FEnded = false;
};

}  // namespace app
