// The offer window as the installer hand-off sees it: the program's own view, also what the
// tests of a whole download through the window use.
#pragma once
#include <functional>

#include "app/frm_main.h"
#include "app/handoff.h"
#include "platform/clock.h"
#include "platform/eventloop.h"

namespace app {

class TFormMainView : public IHandoffView {
public:
    explicit TFormMainView(TFormMain& form) : FForm(form) {}
    void DisableShine() override { FForm.tmrShine.SetEnabled(false); }
    void ShowDownloadControls(bool on) override { FForm.ShowDownloadControls(on); }
    void ShowOfferControls(bool on) override { FForm.ShowOfferControls(on); }
    void SetBarPosition(int position) override { FForm.ProDownInfo.SetPosition(position); }
    void UpdateSpeedText(double percent, double speed, int64_t total, int64_t done) override {
        FForm.UpdateSpeedText(percent, speed, total, done);
    }
    bool IsWindowHidden() override { return !FForm.HasWindow() || !FForm.Window().Visible(); }
    void HideWindow() override { FForm.HideWindow(); }
    void RestoreFromTray() override { FForm.trayMainClick(); }
    void ProcessMessages() override { platform::TEventLoop::ProcessMessages(); }
    void Wait(uint32_t ms) override {
        const uint64_t end = platform::MonotonicMs() + ms;
        platform::TEventLoop::RunUntil([end] { return platform::MonotonicMs() >= end; }, ms);
    }
    int ShowErrorDialog() override { return FForm.ShowConfirmDialog(1); }
    void FinishAndReport() override {
        if (OnFinish) OnFinish();
    }
    std::function<void()> OnFinish;

private:
    TFormMain& FForm;
};

}  // namespace app
