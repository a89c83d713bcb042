// What the user does with the offer window: the buttons, the page dots, the What's New link,
// dragging, the tray, closing; and the shine and the download look.
#include "app/frm_main.h"
#include "app/main_texts.h"
#include "platform/eventloop.h"

namespace app {

using namespace controls;

void TFormMain::btnUpgradeClick(TObject&) {
    // The shine strip lies over the button and answers clicks too; the download starts once.
    if (UpgradeClicked) return;
    btnUpgrade.SetEnabled(false);
    tmrShine.SetEnabled(false);
    UpgradeClicked = true;
    if (StartDownload) StartDownload();
    btnUpgrade.SetEnabled(true);
}

void TFormMain::btnCloseClick(TObject&) {
    tmrShine.SetEnabled(false);
    if (ShowConfirmDialog(0) != kConfirmCancelled) return;
    if (UpgradeClicked && StopDownload) StopDownload();
    ClosedByUser = true;
    if (FinishAndReport) FinishAndReport();
}

void TFormMain::btnMinClick(TObject&) {
    HideWindow();
    trayMain.Show();
}

void TFormMain::trayMainClick() {
    if (HasWindow())
        ShowWindow();
    else
        FormShow();
    trayMain.Hide();
}

void TFormMain::btnCheck1Click(TObject& sender) {
    // The page state belongs to the frame step; it is changed only while no frame runs.
    animMain.SetAnimate(false);
    FPages->DotClicked(int(static_cast<TControl&>(sender).Tag));
    SyncLinkStandIn();
    animMain.SetAnimate(true);
}

void TFormMain::imgBackgroundMouseDown(TObject&, TMouseButton, TShiftState, int, int) {
    StartMoveDrag();
}

bool TFormMain::LinkActive() const {
    return FPages->CurrentPage == 2;
}

void TFormMain::animMainLayers41MouseEnter(TObject&) {
    TRdAniLayer& link = Layer(layers::kP3Btn);
    if (!LinkActive()) {
        link.SetCursor(TCursor::Default);
        return;
    }
    for (int i : {layers::kP3Line, layers::kP3Btn}) {
        TFont f = Layer(i).Font();
        f.Color = clWhite;
        Layer(i).SetFont(f);
    }
    link.SetCursor(TCursor::Hand);
}

void TFormMain::animMainLayers41MouseLeave(TObject&) {
    if (!LinkActive()) {
        Layer(layers::kP3Btn).SetCursor(TCursor::Default);
        return;
    }
    for (int i : {layers::kP3Line, layers::kP3Btn}) {
        TFont f = Layer(i).Font();
        f.Color = Rgb(130, 130, 130);
        Layer(i).SetFont(f);
    }
}

void TFormMain::animMainLayers41Click(TObject& sender) {
    if (!LinkActive()) return;
    HistoryOpened = true;
    animMain.SetAnimate(false);
    rdmsklyrMaskLayer.Cover(*this);
    animMainLayers41MouseLeave(sender);
    if (ShowWhatsNew) ShowWhatsNew();
    rdmsklyrMaskLayer.Uncover();
    animMain.SetAnimate(true);
}

void TFormMain::pbMainMouseEnter(TObject&) {
    Layer(layers::kP3Btn).SetCursor(LinkActive() ? TCursor::Hand : TCursor::Default);
}

void TFormMain::tmrShineTimer(TObject&) {
    PlayShine();
}

void TFormMain::PlayShine() {
    // A tick that comes while the shine runs, or while the window is covered by the mask of
    // the What's New window (the strip would be drawn over the mask).
    if (FShining || rdmsklyrMaskLayer.Active()) return;
    FShining = true;
    imgShine.SetEnabled(true);
    imgShine.Show();
    imgShine.SetFrameIndex(-1);
    imgShine.SetBounds(btnUpgrade.Left(), btnUpgrade.Top(), btnUpgrade.Width(),
                       btnUpgrade.Height());
    imgShine.BringToFront();
    // Put the strip away however the run ends, an exception included.
    struct TCleanUp {
        TFormMain& F;
        ~TCleanUp() {
            F.imgShine.SetEnabled(false);
            F.imgShine.Hide();
            F.imgShine.SendToBack();
            F.imgShine.SetFrameIndex(-1);
            F.FShining = false;
            platform::TEventLoop::ProcessMessages();
        }
    } cleanUp{*this};
    const int frames = imgShine.FrameCount();
    const uint32_t delay = frames > 0 ? uint32_t(750 / frames) : 0;
    for (int i = 0; i < frames; ++i) {
        if (!tmrShine.Enabled() || ClosedByUser || !btnUpgrade.Visible()) break;
        imgShine.SetFrameIndex(i);
        platform::TEventLoop::ProcessMessages();
        if (Pause) Pause(delay);
    }
}

void TFormMain::ShowDownloadControls(bool on) {
    ProDownInfo.SetVisible(on);
    btnMin.SetVisible(on);
    lblSpeed.SetVisible(on);
    if (on) {
        lblTitle.SetCaption(InstallTitle);
        lblDes.SetCaption(InstallDes);
    }
}

void TFormMain::ShowOfferControls(bool on) {
    btnUpgrade.SetVisible(on);
}

void TFormMain::UpdateSpeedText(double percent, double speed, int64_t total, int64_t done) {
    try {
        lblSpeed.SetCaption(FormatSpeedText(SpeedTemplate, percent, speed, total, done));
    } catch (...) {
        // A progress text that cannot be made leaves the last one standing.
    }
}

}  // namespace app
