// The What's New window: a borderless, dark, modal window listing the version history as a
// time line (one group per version, one bulleted row per change). The history is loaded on a
// thread while a loading animation turns; after ten seconds without it the window falls back to
// the history file beside the program.
#pragma once
#include <functional>
#include <memory>
#include <string>

#include "controls/form.h"
#include "controls/imagebutton.h"
#include "controls/label.h"
#include "controls/listview.h"
#include "controls/paintbox.h"
#include "controls/picture.h"
#include "controls/spinner.h"
#include "controls/timer.h"
#include "locale/history.h"
#include "locale/history_loader.h"
#include "locale/lang.h"

namespace locale {

// A plain coloured panel, optionally with a border line on some of its sides.
class TPanel : public controls::TControl {
public:
    controls::TColor Color = controls::Rgb(31, 31, 31);
    controls::TColor BorderColor = controls::clNone;
    enum : unsigned { kLeft = 1, kTop = 2, kRight = 4, kBottom = 8, kAll = 15 };
    unsigned BorderSides = kAll;

protected:
    void Paint(platform::TCanvas& canvas) override;
};

class TformWhatsNew : public controls::TForm {
public:
    explicit TformWhatsNew(controls::TForm* owner, const TLeapgateLang& texts = LangTexts());
    ~TformWhatsNew() override;  // FormDestroy

    TPanel pnlbg;
    controls::TLabel lblWhatsNew;
    controls::TImageButton btnclose;
    controls::TListView lv;
    TPanel pnlLoad;
    controls::TPaintBox PaintBox;
    controls::TPicture imgloading;
    controls::TLabel lbLoading;
    platform::TImage ImgIcon;  // the 7 × 7 marker before each version
    controls::TTimer TimerScan{1000};

    // Where the history comes from (the product's language by default), the file of the
    // fall-back, the loader's time limit and the pause before the list shows.
    std::function<THistoryLines()> HistorySource;
    std::function<std::string()> HistoryFileSource;
    uint32_t ScanLimitMs = 10000;
    uint32_t SettleMs = 500;

    // Shows the window centred over its owner and runs it until it is closed.
    int ShowModal();

    void FormShow();
    void FormClose();
    void btncloseClick(controls::TObject& sender);
    void pnlbgMouseDown(controls::TObject& sender, controls::TMouseButton button,
                        controls::TShiftState shift, int x, int y);
    void pnlbgDblClick(controls::TObject& sender);
    void lvAdvancedCustomDrawSubItem(controls::TListView& sender, platform::TCanvas& canvas,
                                     const controls::TListRow& row, int column,
                                     const controls::TRect& rowRect, bool& defaultDraw);
    void TimerScanTimer(controls::TObject& sender);

    void ApplyTexts();
    void ArrangeControls();
    void ShowLoading();
    void HideLoading();
    void LoaderDone(THistoryLines lines);
    void FillHistoryView();

    const THistoryLines& History() const { return FHistory; }
    bool Loaded() const { return FLoaded; }
    bool TimedOut() const { return FTimedOut; }
    TLoadThreath* Loader() const { return FLoader.get(); }
    const std::string& HistoryFile() const { return FHistoryFile; }
    controls::TSpinner& Spinner() { return *FSpinner; }

private:
    const TLeapgateLang& FTexts;
    std::unique_ptr<TLoadThreath> FLoader;
    std::unique_ptr<controls::TSpinner> FSpinner;
    THistoryLines FHistory;
    bool FLoaded = false;
    bool FLoaderReturned = false;  // LoaderDone has begun: the timer leaves the list alone
    bool FTimedOut = false;
    uint32_t FStartTick = 0;
    std::string FHistoryFile;
};

// Waits `ms` milliseconds while the window messages keep being handled.
void WaitWithMessages(uint32_t ms);
// Centres a control horizontally in its parent.
void CenterInParent(controls::TControl& control);

}  // namespace locale
