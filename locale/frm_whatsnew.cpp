#include "locale/frm_whatsnew.h"

#include "platform/clock.h"
#include "platform/eventloop.h"
#include "platform/text.h"

namespace locale {

using namespace controls;

void TPanel::Paint(platform::TCanvas& canvas) {
    canvas.FillRect(ClientRect().ToF(), Color);
    if (BorderColor != clNone) {
        const float w = float(Width()), h = float(Height());
        if (BorderSides & kLeft) canvas.FillRect({0, 0, 1, h}, BorderColor);
        if (BorderSides & kTop) canvas.FillRect({0, 0, w, 1}, BorderColor);
        if (BorderSides & kRight) canvas.FillRect({w - 1, 0, 1, h}, BorderColor);
        if (BorderSides & kBottom) canvas.FillRect({0, h - 1, w, 1}, BorderColor);
    }
    TControl::Paint(canvas);
}

void WaitWithMessages(uint32_t ms) {
    const uint32_t start = platform::Clock().TickCount();
    while (platform::Clock().TickCount() - start < ms) {
        platform::SleepMs(std::min<uint32_t>(ms, 10));
        try {
            platform::TEventLoop::ProcessMessages();
        } catch (...) {
        }
    }
}

void CenterInParent(TControl& control) {
    if (TControl* parent = control.Parent())
        control.SetLeft((parent->Width() - control.Width()) / 2);
}

TformWhatsNew::TformWhatsNew(TForm* owner, const TLeapgateLang& texts)
    : TForm(800, 497, "What's New"), FTexts(texts) {
    Owner = owner;
    Color = Rgb(0x1F, 0x1F, 0x1F);
    HistorySource = [] { return LoadHistory(); };
    HistoryFileSource = [] { return GetHistoryFile(); };

    pnlbg.SetParent(this);
    pnlbg.SetBounds(0, 0, Width(), Height());
    pnlbg.Color = Rgb(0x1F, 0x1F, 0x1F);
    pnlbg.BorderColor = clBlack;  // the skin's border line
    pnlbg.OnMouseDown = [this](TObject& s, TMouseButton b, TShiftState sh, int x, int y) {
        pnlbgMouseDown(s, b, sh, x, y);
    };
    pnlbg.OnDblClick = [this](TObject& s) { pnlbgDblClick(s); };

    lblWhatsNew.SetParent(&pnlbg);
    lblWhatsNew.Font.Height = -26;
    lblWhatsNew.Font.Color = Rgb(0xEE, 0xEE, 0xEE);
    lblWhatsNew.Alignment = TAlignment::Center;
    // Pressing on the title drags like the background.
    lblWhatsNew.OnMouseDown = pnlbg.OnMouseDown;

    btnclose.SetParent(&pnlbg);
    btnclose.SetBounds(Width() - 35, 1, 34, 34);
    btnclose.LoadPictures("CLOSE");
    btnclose.ShowHint = true;
    btnclose.OnClick = [this](TObject& s) { btncloseClick(s); };

    lv.SetParent(&pnlbg);
    lv.AddColumn(0);
    lv.AddColumn(15);
    lv.AddColumn(-1);
    lv.RowHeight = 42;
    lv.Color = Rgb(0x29, 0x29, 0x29);
    lv.HoverColor = Rgb(0x3D, 0x3D, 0x3D);
    lv.OnAdvancedCustomDrawSubItem = [this](TListView& s, platform::TCanvas& c, const TListRow& row,
                                            int column, const TRect& r, bool& defaultDraw) {
        lvAdvancedCustomDrawSubItem(s, c, row, column, r, defaultDraw);
    };

    pnlLoad.SetParent(&pnlbg);
    pnlLoad.Color = Rgb(0x29, 0x29, 0x29);
    pnlLoad.BorderColor = clBlack;
    pnlLoad.BorderSides = TPanel::kLeft | TPanel::kRight | TPanel::kBottom;

    PaintBox.SetParent(&pnlLoad);
    PaintBox.SetBounds(0, 0, 48, 48);
    imgloading.SetParent(&pnlLoad);
    imgloading.SetBounds(0, 0, 48, 48);
    imgloading.LoadResource("LOADING");
    imgloading.Hide();
    lbLoading.SetParent(&pnlLoad);
    lbLoading.Font.Height = -13;
    lbLoading.Font.Color = Rgb(0xBB, 0xBB, 0xBB);
    lbLoading.Alignment = TAlignment::Center;
    lbLoading.SetCaption("Loading...");

    ImgIcon = platform::LoadPngResource("WHATSNEW_MARKER").value_or(platform::TImage());

    // The keyboard: the list and the close button; Esc closes, and the arrows and page keys
    // scroll the list wherever the focus is.
    Role = TAccessibleRole::Dialog;
    SetFocusOrder({&lv, &btnclose});
    CancelControl = &btnclose;
    OnKeyDown = [this](TKey key, TShiftState shift) { return lv.KeyDown(key, shift); };

    // FormCreate.
    TimerScan.SetEnabled(false);
    TimerScan.OnTimer = [this](TObject& s) { TimerScanTimer(s); };
    FSpinner = std::make_unique<TSpinner>(PaintBox, imgloading.Image());
    OnShow = [this] { FormShow(); };
    OnClose = [this] { FormClose(); };
}

TformWhatsNew::~TformWhatsNew() {
    TimerScan.SetEnabled(false);
    // Waits for a loader that still runs; its list is dropped.
    FLoader.reset();
    FSpinner.reset();
}

int TformWhatsNew::ShowModal() {
    if (Owner && Owner->HasWindow())
        Window().CenterOn(Owner->Window());
    else
        Window().CenterOnScreen();
    return TForm::ShowModal();
}

void TformWhatsNew::ApplyTexts() {
    const std::string loading = FTexts.GetText("FormWhatNew", "loading");
    if (!platform::Trim(loading).empty()) lbLoading.SetCaption(loading);
    lblWhatsNew.SetCaption(FTexts.GetText("FormWhatNew", "title"));
    lv.AccName = lblWhatsNew.DisplayText();
    btnclose.Hint = FTexts.GetText("Common", "closeHint");
}

void TformWhatsNew::ArrangeControls() {
    const int w = pnlbg.Width(), h = pnlbg.Height();
    lblWhatsNew.AdjustSize();
    lblWhatsNew.SetBounds((w - lblWhatsNew.Width()) / 2, (117 - lblWhatsNew.Height()) / 2,
                          lblWhatsNew.Width(), lblWhatsNew.Height());
    btnclose.SetBounds(w - btnclose.Width() - 1, 1, btnclose.Width(), btnclose.Height());
    lv.SetBounds(1, 117, w - 2, h - 117 - 1);
    pnlLoad.SetBounds(0, 117, w, h - 117);
    PaintBox.SetBounds((pnlLoad.Width() - PaintBox.Width()) / 2,
                       (pnlLoad.Height() - PaintBox.Height()) / 2, PaintBox.Width(),
                       PaintBox.Height());
    // The animation is drawn from the picture, where the picture would be.
    imgloading.SetBounds(PaintBox.Left(), PaintBox.Top(), imgloading.Width(), imgloading.Height());
}

void TformWhatsNew::FormShow() {
    ApplyTexts();
    ArrangeControls();
    FHistoryFile = HistoryFileSource ? HistoryFileSource() : std::string();
    // The built-in history is loaded whether or not a history file exists; the file only
    // serves as the fall-back when loading takes too long.
    FLoaded = false;
    FLoaderReturned = false;
    FTimedOut = false;
    FLoader = std::make_unique<TLoadThreath>(HistorySource,
                                             [this](THistoryLines l) { LoaderDone(std::move(l)); });
    ShowLoading();
}

void TformWhatsNew::ShowLoading() {
    imgloading.Hide();
    PaintBox.Show();
    pnlLoad.Show();
    lbLoading.Show();
    lbLoading.AdjustSize();
    lbLoading.SetTop(imgloading.Top() + imgloading.Height() + 10);
    CenterInParent(lbLoading);
    pnlLoad.BringToFront();
    FSpinner->Start();
    FStartTick = platform::Clock().TickCount();
    TimerScan.SetEnabled(true);
}

void TformWhatsNew::HideLoading() {
    FSpinner->Stop();
    PaintBox.Hide();
    if (!FHistory.empty()) {
        pnlLoad.Hide();
    } else {
        // Nothing to list: an empty dark panel.
        pnlLoad.Show();
        imgloading.Hide();
        lbLoading.Hide();
        pnlLoad.BringToFront();
    }
}

void TformWhatsNew::LoaderDone(THistoryLines lines) {
    if (FLoaderReturned || FTimedOut) return;
    FLoaderReturned = true;
    FHistory = std::move(lines);
    if (!FHistory.empty()) FillHistoryView();
    WaitWithMessages(SettleMs);
    HideLoading();
    FLoaded = true;
}

void TformWhatsNew::TimerScanTimer(TObject&) {
    if (platform::Clock().TickCount() - FStartTick < ScanLimitMs) return;
    TimerScan.SetEnabled(false);
    if (FLoaded || FLoaderReturned) return;
    // The loader is too slow: from now on its list is dropped, and the file takes its place.
    FTimedOut = true;
    if (FLoader) FLoader->Terminate();
    if (FHistory.empty() && !FHistoryFile.empty()) FHistory = ReadHistoryFile(FHistoryFile);
    FillHistoryView();
    HideLoading();
}

void TformWhatsNew::btncloseClick(TObject&) {
    TimerScan.SetEnabled(false);
    if (HasWindow())
        Window().Close();
    else
        FormClose();
}

void TformWhatsNew::FormClose() {
    if (Owner && Owner->HasWindow()) Owner->Window().BringToFront();
}

void TformWhatsNew::pnlbgMouseDown(TObject&, TMouseButton, TShiftState, int, int) {
    StartMoveDrag();
}

void TformWhatsNew::pnlbgDblClick(TObject&) {
    // A double click on the background does nothing (no maximising of a fixed window).
}

}  // namespace locale
