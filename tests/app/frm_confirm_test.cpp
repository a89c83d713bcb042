// The confirmation dialog: its two modes, its results, the link's hover colours, and a real
// modal run where there is a display.
#include <gtest/gtest.h>

#include "app/frm_confirm.h"
#include "app/frm_main.h"
#include "platform/eventloop.h"
#include "platform/resources.h"
#include "platform/window.h"

using namespace app;
using controls::TMouseButton;

controls::TFont TFormMainFont(int height) {
    controls::TFont f;
    f.Height = height;
    return f;
}

namespace {

class Confirm : public testing::Test {
protected:
    locale::TLeapgateLang Texts;
    void SetUp() override {
        if (const auto data = platform::FindResourceData("LANG", "ENGLISH"))
            Texts.LoadFromText(*data);
    }
    static void Click(TfrmConfirm& d, const controls::TControl& c) {
        const int x = c.Left() + c.Width() / 2, y = c.Top() + c.Height() / 2;
        d.HandleMouseMove(0, x, y);
        d.HandleMouseDown(TMouseButton::Left, 0, x, y);
        d.HandleMouseUp(TMouseButton::Left, 0, x, y);
    }
};

TEST_F(Confirm, DesignOfTheDialog) {
    TfrmConfirm d(nullptr, Texts);
    EXPECT_EQ(d.Width(), 380);
    EXPECT_EQ(d.Height(), 210);
    EXPECT_EQ(d.lblProduct.Caption(), "Vantrel");
    EXPECT_EQ(d.lblProduct.Left(), 34);
    EXPECT_EQ(d.lblProduct.Top(), 8);
    EXPECT_EQ(d.lblInfo.Left(), 28);
    EXPECT_EQ(d.lblInfo.Top(), 68);
    EXPECT_EQ(d.lblInfo.Width(), 290);
    EXPECT_TRUE(d.lblInfo.WordWrap);
    EXPECT_EQ(d.RdImgBtnClose.BoundsRect(), controls::RectWH(351, 5, 24, 24));
    EXPECT_EQ(d.RdImgBtnClose.Hint, "Close");
    EXPECT_TRUE(d.RdImgBtnClose.ShowHint);
    EXPECT_EQ(d.RdImgBtnCtn.BoundsRect(), controls::RectWH(266, 172, 98, 30));
    EXPECT_EQ(d.lblCancel.Left(), 16);
    EXPECT_EQ(d.lblCancel.Top(), 180);
    EXPECT_TRUE(d.lblCancel.Font.Underline);
    EXPECT_EQ(d.lblCancel.Cursor(), controls::TCursor::Hand);
}

TEST_F(Confirm, CancelModeTextsAndResults) {
    TfrmConfirm d(nullptr, Texts);
    d.SetMode(TfrmConfirm::kModeCancel);
    EXPECT_EQ(d.lblInfo.Caption(), Texts.GetText("FormCancel", "des"));
    EXPECT_EQ(d.lblCancel.Caption(), "Cancel");  // the link markup is gone
    EXPECT_TRUE(d.lblCancel.Visible());
    EXPECT_EQ(d.RdImgBtnCtn.Caption(), "Continue");
    EXPECT_EQ(d.lblInfo.Height(), TfrmConfirm::kInfoHeight);
    Click(d, d.lblCancel);
    EXPECT_EQ(d.ModalResult, kConfirmCancelled);
    d.ModalResult = 0;
    Click(d, d.RdImgBtnCtn);
    EXPECT_EQ(d.ModalResult, kConfirmContinue);
    d.ModalResult = 0;
    Click(d, d.RdImgBtnClose);
    EXPECT_EQ(d.ModalResult, kConfirmClosed);
}

TEST_F(Confirm, ErrorModeHidesTheCancelLink) {
    TfrmConfirm d(nullptr, Texts);
    d.SetMode(TfrmConfirm::kModeError);
    EXPECT_EQ(d.lblInfo.Caption(), Texts.GetText("FormError", "des"));
    EXPECT_FALSE(d.lblCancel.Visible());
    EXPECT_EQ(d.RdImgBtnCtn.Caption(), "OK");
    // Where the link would be, a press only drags: no result.
    Click(d, d.lblCancel);
    EXPECT_EQ(d.ModalResult, 0);
    Click(d, d.RdImgBtnCtn);
    EXPECT_EQ(d.ModalResult, kConfirmContinue);
    d.ModalResult = 0;
    Click(d, d.RdImgBtnClose);
    EXPECT_EQ(d.ModalResult, kConfirmClosed);
    // Back to cancel mode: the link returns.
    d.SetMode(TfrmConfirm::kModeCancel);
    EXPECT_TRUE(d.lblCancel.Visible());
}

TEST_F(Confirm, AMessageOfMoreLinesGetsTheirRoom) {
    const std::string line = "Every word of this message has to be readable in the dialog. ";
    Texts.LoadFromText("[FormError]\ndes=" + line + line + line + line + "\n");
    TfrmConfirm d(nullptr, Texts);
    d.SetMode(TfrmConfirm::kModeError);
    const int oneLine =
        int(platform::MeasureTextOnce("Every", d.lblInfo.Font, {0, 0, 290, 1000}, {}).Height);
    EXPECT_GE(d.lblInfo.Height(), 4 * oneLine);
    EXPECT_LE(d.lblInfo.Top() + d.lblInfo.Height(), d.RdImgBtnCtn.Top());
}

TEST_F(Confirm, ButtonCaptionsAreFittedClearOfTheRim) {
    Texts.LoadFromText(
        "[FormCancel]\nbtnContinue=Continue the installation\n[FormError]\nbtnOk=OK\n");
    TfrmConfirm d(nullptr, Texts);
    const int room = d.RdImgBtnCtn.Width() - 2 * TfrmConfirm::kCaptionPadding;
    EXPECT_LT(d.RdImgBtnCtn.Font.Size(), TFormMainFont(-14).Size());
    EXPECT_GE(d.RdImgBtnCtn.Font.Size(), TFormMainFont(-14).Size() - 5);
    const int fitted = TFormMain::MeasureTextWidth(d.RdImgBtnCtn.Font, d.RdImgBtnCtn.Caption());
    EXPECT_TRUE(fitted <= room || d.RdImgBtnCtn.Font.Size() == TFormMainFont(-14).Size() - 5);
    // A caption that fits keeps the design size, also after another mode shrank it.
    d.SetMode(TfrmConfirm::kModeError);
    EXPECT_EQ(d.RdImgBtnCtn.Font.Height, -14);
}

TEST_F(Confirm, LinkTextWithoutMarkupIsShownUnchanged) {
    Texts.LoadFromText("[FormCancel]\nbtnCancle=Stop <b>now</b>\n");
    TfrmConfirm d(nullptr, Texts);
    EXPECT_EQ(d.lblCancel.Caption(), "Stop <b>now</b>");
    EXPECT_EQ(d.RdImgBtnClose.Hint, "");
}

TEST_F(Confirm, LinkHoverColours) {
    TfrmConfirm d(nullptr, Texts);
    EXPECT_EQ(d.lblCancel.Font.Color, controls::Rgb(179, 179, 179));
    d.HandleMouseMove(0, d.lblCancel.Left() + 2, d.lblCancel.Top() + 2);
    EXPECT_EQ(d.lblCancel.Font.Color, controls::clWhite);
    d.HandleMouseMove(0, 200, 40);
    EXPECT_EQ(d.lblCancel.Font.Color, controls::Rgb(153, 153, 153));
}

// The real modal loop: a click posted into it ends it with the button's result.
TEST_F(Confirm, ModalRunReturnsTheResultOfTheClick) {
    if (!platform::TWindow::Available()) GTEST_SKIP() << "no display";
    struct TCase {
        int Mode;
        void (TfrmConfirm::*Handler)(controls::TObject&);
        int Expected;
    };
    const TCase cases[] = {{0, &TfrmConfirm::lblCancelClick, 5},
                           {0, &TfrmConfirm::RdImgBtnCtnClick, 2},
                           {1, &TfrmConfirm::RdImgBtnCtnClick, 2},
                           {1, &TfrmConfirm::RdImgBtnCloseClick, 6}};
    for (const TCase& c : cases) {
        TfrmConfirm d(nullptr, Texts);
        d.SetMode(c.Mode);
        platform::TEventLoop::Post([&d, &c] { (d.*c.Handler)(d); });
        EXPECT_EQ(d.ShowModal(), c.Expected);
        EXPECT_FALSE(d.Window().Visible());
    }
}

TEST_F(Confirm, MainWindowAsksInCancelModeOverItself) {
    if (!platform::TWindow::Available()) GTEST_SKIP() << "no display";
    TFormMain main;
    main.Texts = &Texts;
    main.ShowConfirm = nullptr;
    EXPECT_EQ(main.ShowConfirmDialog(0), kConfirmClosed);  // no dialog: as if closed
    main.ShowConfirm = [&main](int mode) {
        TfrmConfirm d(&main, *main.Texts);
        d.SetMode(mode);
        EXPECT_EQ(d.Owner, &main);
        platform::TEventLoop::Post([&d] { d.lblCancelClick(d); });
        return d.ShowModal();
    };
    int finished = 0;
    main.FinishAndReport = [&] { ++finished; };
    main.btnCloseClick(main.btnClose);
    EXPECT_TRUE(main.ClosedByUser);
    EXPECT_EQ(finished, 1);
}

}  // namespace
