// The offer window: a borderless 900 × 600 window with the title, the three animated feature
// pages on the layer animator, the page dots, "Upgrade Now" with its shine, the What's New link,
// and, once the user accepts, the download look with progress bar, progress text and Minimize.
//
// The download itself is plugged in by the installer hand-off through StartDownload,
// StopDownload and FinishAndReport; the dialogs are opened through ShowConfirm and ShowWhatsNew,
// so that tests can answer them without a screen.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "app/offer.h"
#include "app/page_cycle.h"
#include "controls/animator.h"
#include "controls/form.h"
#include "controls/imagebutton.h"
#include "controls/imagestrip.h"
#include "controls/label.h"
#include "controls/masklayer.h"
#include "controls/paintbox.h"
#include "controls/picture.h"
#include "controls/progressbar.h"
#include "controls/standin.h"
#include "controls/timer.h"
#include "locale/lang.h"
#include "platform/tray.h"

namespace app {

// Modal results of the confirmation dialog.
inline constexpr int kConfirmCancelled = 5;  // the cancel link: abandon the upgrade
inline constexpr int kConfirmContinue = 2;   // Continue / OK
inline constexpr int kConfirmClosed = 6;     // the dialog's close button

// Layer indexes of the feature pages that the window places or changes.
namespace layers {
inline constexpr int kCount = 43;
inline constexpr int kP1Title = 3, kP1Tag = 4, kP1Des = 5, kP1Point = 2, kP1Table = 6;
inline constexpr int kP1TableDes1 = 7, kP1TableDes2 = 8;
inline constexpr int kP3Line = 41, kP3Btn = 42;
inline constexpr int kTitles[] = {3, 18, 23, 28, 34, 38};
}  // namespace layers

class TFormMain : public controls::TForm {
public:
    TFormMain();
    ~TFormMain() override;

    // The upgrade data of the run (the start-up decision fills it).
    TUpgradeData Data;

    // Controls, in painting order (later ones are drawn above earlier ones).
    controls::TPicture imgBackground;
    controls::TPicture imgLogo;
    controls::TLabel lblTitle;
    controls::TLabel lblDes;
    controls::TPaintBox pbMain;
    // Over the What's New link of the third page, for the keyboard and assistive technology.
    controls::TStandIn lnkWhatsNew;
    controls::TImageButton btnCheck1, btnCheck2, btnCheck3;
    controls::TImageButton btnUpgrade;
    controls::TImageButton btnMin;
    controls::TLabel lblSpeed;
    controls::TImageProgressBar ProDownInfo;
    controls::TImageStrip imgShine;
    controls::TImageButton btnClose;
    controls::TMaskLayer rdmsklyrMaskLayer;
    controls::TRdAnimator animMain;  // after pbMain: it lets go of its drawing box first
    platform::TTrayIcon trayMain;
    controls::TTimer tmrShine{5000};
    controls::TTimer tmrBar{250};

    // The page cycle on animMain's layers (CurrentPage, AnimPhase, FadeOutStep …).
    TPageCycle& Pages() { return *FPages; }

    // Flags for the closing report.
    bool UpgradeClicked = false;
    bool HistoryOpened = false;
    bool ClosedByUser = false;
    bool FirstShowDone = false;

    // Texts prepared for the downloading state.
    std::string SpeedTemplate, InstallTitle, InstallDes;

    // Hooks of the installer hand-off and the closing report; an empty one is skipped.
    std::function<void()> StartDownload;    // from btnUpgradeClick
    std::function<void()> StopDownload;     // a confirmed close while downloading
    std::function<void()> FinishAndReport;  // after a confirmed close; hides and closes
    std::function<void()> OnBarTimer;       // tmrBar's tick
    // The first-show record (time and version into the settings file).
    std::function<void()> RecordShow;
    // Dialogs, shown modally over the window; tests answer them directly.
    std::function<int(int mode)> ShowConfirm;  // the confirmation dialog, its modal result
    std::function<void()> ShowWhatsNew;        // the What's New window
    // Sources of the texts and the language facts (the process-wide ones by default).
    const locale::TLeapgateLang* Texts;
    std::function<std::string()> ProductLanguage;  // the product's configured language
    std::function<std::string()> TableName;        // upper-case name of the loaded table
    // Time and pauses of the page cycle and the shine.
    std::function<uint32_t()> TickCount;
    std::function<void(uint32_t ms)> Pause;

    // Shows the window; the first time, its first-show work is done before it is mapped.
    void ShowWindow();

    // Handlers.
    bool FormCreate();  // the start-up decision; false: the process should end
    void FormShow();
    void btnUpgradeClick(controls::TObject& sender);
    void btnCloseClick(controls::TObject& sender);
    void btnMinClick(controls::TObject& sender);
    void trayMainClick();
    void btnCheck1Click(controls::TObject& sender);
    void imgBackgroundMouseDown(controls::TObject& sender, controls::TMouseButton button,
                                controls::TShiftState shift, int x, int y);
    void animMainAnimated(controls::TObject& sender);
    void animMainLayers41Click(controls::TObject& sender);
    void animMainLayers41MouseEnter(controls::TObject& sender);
    void animMainLayers41MouseLeave(controls::TObject& sender);
    void pbMainMouseEnter(controls::TObject& sender);
    void tmrShineTimer(controls::TObject& sender);
    // Keys the focus order leaves: Left and Right go to the page dot before or after.
    bool FormKeyDown(controls::TKey key, controls::TShiftState shift);

    // Operations.
    void EnablePageDots();
    void ShowNextPage(int page);
    void HidePageLayers(int first, int last);
    void ResetPageImages();
    void LoadTexts();
    void LayoutControls();
    void PlayShine();
    void ShowDownloadControls(bool on);
    void ShowOfferControls(bool on);
    void UpdateSpeedText(double percent, double speed, int64_t total, int64_t done);
    // The confirmation dialog in `mode` (0 cancel, 1 error), shown modally; its result.
    int ShowConfirmDialog(int mode);

    // The width an auto-sized label gets for `text` in `font`.
    static int MeasureTextWidth(const controls::TFont& font, const std::string& text);
    // Makes `font` up to tries + 1 points smaller until `text` fits into `width`.
    static void FitFontToWidth(controls::TFont& font, const std::string& text, int tries,
                               int width);

    controls::TRdAniLayer& Layer(int index) { return animMain.Layers()[index]; }
    controls::TImageButton& Dot(int dot);  // 1 … 3
    bool Shining() const { return FShining; }

    static constexpr int kBoxTop = 142;  // pbMain's top: window y − 142 is a layer's y
    // Titles and the tags after them end this far from the right edge, as far as the
    // pages' pictures start from the left one.
    static constexpr int kTagMargin = 44;
    bool TitleCut() const { return FTitleCut; }

private:
    void CreateControls();
    void CreateLayers();
    void SetUpKeyboard();
    // Names for assistive technology that come from the texts (after LoadTexts).
    void NameControls();
    // The link's stand-in is there only while the link's page shows, where the link is.
    void SyncLinkStandIn();
    void LayoutPage0();
    void LayoutPage1();
    void LayoutPage2();
    void PlaceTag(int tagLayer, int titleLayer, int top);
    int DefaultShowConfirm(int mode);
    void DefaultShowWhatsNew();
    bool LinkActive() const;

    std::unique_ptr<TPageCycle> FPages;
    bool FShining = false;
    bool FPreparing = false;  // the first show's work runs before the window is mapped
    bool FTitleCut = false;   // the first page's title is cut to leave its tag room
    std::string FLanguage;    // the product language as read at the first show
};

}  // namespace app
