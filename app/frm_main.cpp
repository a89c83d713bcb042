#include "app/frm_main.h"

#include "app/frm_confirm.h"
#include "locale/config.h"
#include "locale/frm_whatsnew.h"
#include "locale/language.h"
#include "platform/clock.h"
#include "platform/eventloop.h"

namespace app {

using namespace controls;

namespace {
const TColor kTitleColor = Rgb(238, 238, 238);
const TColor kGrey = Rgb(130, 130, 130);
}  // namespace

TFormMain::TFormMain() : TForm(900, 600, "Vantrel Updater"), Texts(&locale::LangTexts()) {
    ProductLanguage = [] { return locale::TConfig().GetLanguage(); };
    TableName = [] { return locale::LangResName(); };
    TickCount = [] { return platform::Clock().TickCount(); };
    Pause = [](uint32_t ms) { platform::SleepMs(ms); };
    RecordShow = [this] { RecordFirstShow(Data); };
    ShowConfirm = [this](int mode) { return DefaultShowConfirm(mode); };
    ShowWhatsNew = [this] { DefaultShowWhatsNew(); };
    CreateControls();
    CreateLayers();
    SetUpKeyboard();
    FPages = std::make_unique<TPageCycle>(
        animMain.Layers(), [this](int dot, bool on) { Dot(dot).SetEnabled(on); },
        [this] { return TickCount(); }, [this](uint32_t ms) { Pause(ms); });
    OnShow = [this] { FormShow(); };
}

TFormMain::~TFormMain() {
    // No frame step, shine or timer tick may reach a window that is going away.
    animMain.SetAnimate(false);
    animMain.OnAnimated = nullptr;
    tmrShine.SetEnabled(false);
    tmrBar.SetEnabled(false);
    trayMain.OnClick = nullptr;
    trayMain.Hide();
    rdmsklyrMaskLayer.Uncover();
    rdmsklyrMaskLayer.SetParent(nullptr);
}

TImageButton& TFormMain::Dot(int dot) {
    return dot == 1 ? btnCheck1 : dot == 2 ? btnCheck2 : btnCheck3;
}

void TFormMain::CreateControls() {
    Color = Rgb(20, 20, 20);

    imgBackground.SetParent(this);
    imgBackground.SetBounds(0, 0, 900, 600);
    imgBackground.LoadResource("BACKGROUND");
    imgBackground.Stretch = true;

    imgLogo.SetParent(this);
    imgLogo.AutoSize = true;
    imgLogo.SetBounds(54, 20, 70, 70);
    imgLogo.LoadResource("LOGO");

    lblTitle.SetParent(this);
    lblTitle.AutoSize = false;
    lblTitle.Font.Color = kTitleColor;
    lblTitle.SetBounds(142, 28, 700, 32);

    lblDes.SetParent(this);
    lblDes.AutoSize = false;
    lblDes.EndEllipsis = true;
    lblDes.Font.Color = kGrey;
    lblDes.SetBounds(142, 65, 738, 16);

    pbMain.SetParent(this);
    pbMain.SetBounds(0, kBoxTop, 900, 300);
    pbMain.OnMouseEnter = [this](TObject& s) { pbMainMouseEnter(s); };

    for (int dot = 1; dot <= 3; ++dot) {
        TImageButton& b = Dot(dot);
        b.SetParent(this);
        b.SetBounds(406 + 32 * (dot - 1), 475, 24, 5);
        b.LoadPictures("DOT");
        b.Tag = dot;
        b.SetCursor(TCursor::Hand);
        b.OnClick = [this](TObject& s) { btnCheck1Click(s); };
    }

    for (TImageButton* b : {&btnUpgrade, &btnMin}) {
        b->SetParent(this);
        b->SetBounds(354, 536, 192, 40);
        b->LoadPictures("BUTTON");
        b->Font.Color = clWhite;
        b->Font.Height = -18;
    }
    btnUpgrade.OnClick = [this](TObject& s) { btnUpgradeClick(s); };
    btnMin.Hide();
    btnMin.OnClick = [this](TObject& s) { btnMinClick(s); };

    lblSpeed.SetParent(this);
    lblSpeed.Font.Color = kGrey;
    lblSpeed.Font.Height = -12;
    lblSpeed.SetBounds(20, 520, 0, 0);
    lblSpeed.Hide();

    ProDownInfo.SetParent(this);
    ProDownInfo.SetBounds(0, 507, 900, 5);
    ProDownInfo.Back = platform::LoadPngResource("PROGRESS_BACK").value_or(platform::TImage());
    ProDownInfo.Fill = platform::LoadPngResource("PROGRESS_FILL").value_or(platform::TImage());
    ProDownInfo.Hide();

    imgShine.SetParent(this);
    imgShine.SetStrip(platform::LoadPngResource("SHINE").value_or(platform::TImage()), 25);
    imgShine.Hide();
    imgShine.SetEnabled(false);
    imgShine.OnClick = [this](TObject& s) { btnUpgradeClick(s); };

    btnClose.SetParent(this);
    btnClose.SetBounds(865, 1, 34, 34);
    btnClose.LoadPictures("CLOSE");
    btnClose.ShowHint = true;
    btnClose.OnClick = [this](TObject& s) { btnCloseClick(s); };

    // Pressing on the background or the two texts drags the borderless window.
    auto drag = [this](TObject& s, TMouseButton b, TShiftState sh, int x, int y) {
        imgBackgroundMouseDown(s, b, sh, x, y);
    };
    imgBackground.OnMouseDown = drag;
    lblTitle.OnMouseDown = drag;
    lblDes.OnMouseDown = drag;

    rdmsklyrMaskLayer.BackColor = Rgb(8, 8, 8);

    trayMain.SetTip(Caption);
    trayMain.OnClick = [this] { trayMainClick(); };

    tmrShine.OnTimer = [this](TObject& s) { tmrShineTimer(s); };
    tmrBar.OnTimer = [this](TObject&) {
        if (OnBarTimer) OnBarTimer();
    };
}

bool TFormMain::FormCreate() {
    return DecideOffer(Data);
}

void TFormMain::FormShow() {
    if (!FirstShowDone) {
        if (HasWindow()) Window().CenterOnScreen();
        if (RecordShow) RecordShow();
        EnablePageDots();
        LoadTexts();
        LayoutControls();
        NameControls();
        animMain.SetAnimate(true);
        ShowNextPage(-1);
        SyncLinkStandIn();
        FirstShowDone = true;
    }
    if (FPreparing) return;  // the rest comes when the window is shown
    // Stay-on-top for a moment and back: the system then lets the window come to the front.
    if (HasWindow()) {
        Window().SetStayOnTop(true);
        platform::TEventLoop::ProcessMessages();
        Window().SetStayOnTop(false);
        platform::TEventLoop::ProcessMessages();
    }
    tmrShine.SetEnabled(true);
}

void TFormMain::ShowWindow() {
    // Centred, with its texts and layout, before the window is first mapped: it never shows a
    // frame at the screen's corner without them.
    if (!FirstShowDone) {
        Window().CenterOnScreen();
        FPreparing = true;
        FormShow();
        FPreparing = false;
    }
    TForm::ShowWindow();
}

void TFormMain::EnablePageDots() {
    FPages->EnablePageDots();
}

void TFormMain::ShowNextPage(int page) {
    FPages->ShowNextPage(page);
}

void TFormMain::HidePageLayers(int first, int last) {
    FPages->HidePageLayers(first, last);
}

void TFormMain::ResetPageImages() {
    FPages->ResetPageImages();
}

void TFormMain::animMainAnimated(TObject&) {
    FPages->FrameStep();
    SyncLinkStandIn();
}

int TFormMain::ShowConfirmDialog(int mode) {
    // The dialog has the mouse now: the close button pressed to open it looks normal again.
    LoseMouse();
    return ShowConfirm ? ShowConfirm(mode) : kConfirmClosed;
}

int TFormMain::DefaultShowConfirm(int mode) {
    TfrmConfirm dialog(this, *Texts);
    dialog.SetMode(mode);
    return dialog.ShowModal();
}

void TFormMain::DefaultShowWhatsNew() {
    locale::TformWhatsNew whatsNew(this, *Texts);
    whatsNew.ShowModal();
}

}  // namespace app
