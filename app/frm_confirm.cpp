#include "app/frm_confirm.h"

#include <algorithm>

#include "app/frm_main.h"
#include "app/main_texts.h"

namespace app {

using namespace controls;

TfrmConfirm::TfrmConfirm(TForm* owner, const locale::TLeapgateLang& texts)
    : TForm(380, 210, "Vantrel"), FTexts(texts) {
    Owner = owner;
    Color = Rgb(31, 31, 31);

    imgBackground.SetParent(this);
    imgBackground.SetBounds(0, 0, 380, 210);
    imgBackground.LoadResource("DIALOG_BACKGROUND");
    imgBackground.Stretch = true;
    // A clear sheet over the background: wherever no control is, pressing drags the dialog.
    imgCover.SetParent(this);
    imgCover.SetBounds(0, 0, 380, 210);

    lblProduct.SetParent(this);
    lblProduct.Font.Height = -14;
    lblProduct.Font.Color = Rgb(204, 204, 204);
    lblProduct.SetBounds(34, 8, 0, 0);
    lblProduct.SetCaption("Vantrel");

    lblInfo.SetParent(this);
    lblInfo.WordWrap = true;
    lblInfo.Font.Height = -13;
    lblInfo.Font.Color = Rgb(179, 179, 179);
    lblInfo.SetBounds(28, 68, 290, 32);

    RdImgBtnClose.SetParent(this);
    RdImgBtnClose.SetBounds(351, 5, 24, 24);
    RdImgBtnClose.LoadPictures("DIALOG_CLOSE");
    RdImgBtnClose.ShowHint = true;

    RdImgBtnCtn.SetParent(this);
    RdImgBtnCtn.SetBounds(266, 172, 98, 30);
    RdImgBtnCtn.LoadPictures("DIALOG_BUTTON");
    RdImgBtnCtn.Font.Color = clWhite;
    RdImgBtnCtn.Font.Height = -14;

    lblCancel.SetParent(this);
    lblCancel.Font.Underline = true;
    lblCancel.Font.Color = Rgb(179, 179, 179);
    lblCancel.SetCursor(TCursor::Hand);
    lblCancel.SetBounds(16, 180, 0, 0);

    lblCancel.OnClick = [this](TObject& s) { lblCancelClick(s); };
    lblCancel.OnMouseEnter = [this](TObject& s) { lblCancelMouseEnter(s); };
    lblCancel.OnMouseLeave = [this](TObject& s) { lblCancelMouseLeave(s); };
    RdImgBtnCtn.OnClick = [this](TObject& s) { RdImgBtnCtnClick(s); };
    RdImgBtnClose.OnClick = [this](TObject& s) { RdImgBtnCloseClick(s); };
    imgBackground.OnMouseDown = [this](TObject& s, TMouseButton b, TShiftState sh, int x, int y) {
        FormMouseDown(s, b, sh, x, y);
    };
    imgCover.OnMouseDown = [this](TObject& s, TMouseButton b, TShiftState sh, int x, int y) {
        imgCoverMouseDown(s, b, sh, x, y);
    };
    // The keyboard: Continue / OK first and on Enter, Esc as the close button.
    Role = TAccessibleRole::Dialog;
    SetFocusOrder({&RdImgBtnCtn, &lblCancel, &RdImgBtnClose});
    DefaultControl = &RdImgBtnCtn;
    CancelControl = &RdImgBtnClose;
    FormCreate();
    SetMode(kModeCancel);
}

void TfrmConfirm::FormCreate() {
    RdImgBtnClose.Hint = FTexts.GetText("Common", "closeHint");
}

void TfrmConfirm::SetMode(int mode) {
    FMode = mode == kModeError ? kModeError : kModeCancel;
    const char* section = FMode == kModeError ? "FormError" : "FormCancel";
    // The message keeps its design height of two lines, and grows when a language needs more.
    // (An auto-sized label shrinks to nothing for an empty text; the width is the design's.)
    lblInfo.SetBounds(28, 68, 290, kInfoHeight);
    lblInfo.SetCaption(FTexts.GetText(section, "des"));
    lblInfo.AdjustSize();
    lblInfo.SetBounds(28, 68, 290, std::max(kInfoHeight, lblInfo.Height()));
    if (FMode == kModeCancel) {
        lblCancel.SetCaption(StripLinkMarkup(FTexts.GetText("FormCancel", "btnCancle")));
        lblCancel.Show();
        RdImgBtnCtn.SetCaption(FTexts.GetText("FormCancel", "btnContinue"));
    } else {
        lblCancel.Hide();
        RdImgBtnCtn.SetCaption(FTexts.GetText("FormError", "btnOk"));
    }
    // The caption is fitted as the main window's are, keeping clear of the button's rim.
    RdImgBtnCtn.Font.Height = -14;
    TFormMain::FitFontToWidth(RdImgBtnCtn.Font, RdImgBtnCtn.Caption(), 4,
                              RdImgBtnCtn.Width() - 2 * kCaptionPadding);
    RdImgBtnCtn.Invalidate();
}

int TfrmConfirm::ShowModal() {
    ModalResult = 0;
    if (Owner && Owner->HasWindow())
        Window().CenterOn(Owner->Window());
    else
        Window().CenterOnScreen();
    const int result = TForm::ShowModal();
    return ModalResult != 0 ? ModalResult : result;
}

void TfrmConfirm::Finish(int result, bool ordinaryClose) {
    ModalResult = result;
    if (!HasWindow()) return;
    if (ordinaryClose)
        Window().Close();
    else
        CloseModal(result);
}

void TfrmConfirm::lblCancelClick(TObject&) {
    Finish(5, false);
}

void TfrmConfirm::RdImgBtnCtnClick(TObject&) {
    // Closing the ordinary way gives the result 2.
    Finish(2, true);
}

void TfrmConfirm::RdImgBtnCloseClick(TObject&) {
    Finish(6, false);
}

void TfrmConfirm::lblCancelMouseEnter(TObject&) {
    lblCancel.Font.Color = clWhite;
    lblCancel.Invalidate();
}

void TfrmConfirm::lblCancelMouseLeave(TObject&) {
    lblCancel.Font.Color = Rgb(153, 153, 153);
    lblCancel.Invalidate();
}

void TfrmConfirm::FormMouseDown(TObject&, TMouseButton, TShiftState, int, int) {
    StartMoveDrag();
}

void TfrmConfirm::imgCoverMouseDown(TObject& sender, TMouseButton button, TShiftState shift, int x,
                                    int y) {
    FormMouseDown(sender, button, shift, x, y);
}

}  // namespace app
