// How the offer window comes up and gives the mouse away: its first show is prepared (texts,
// layout, centre of the screen) before the window is mapped, and a dialog opened by a click
// leaves no control of the window looking hovered or pressed.
#include <gtest/gtest.h>

#include "app/frm_main.h"
#include "platform/eventloop.h"
#include "platform/resources.h"
#include "platform/screen.h"
#include "platform/window.h"

using namespace app;
using controls::TButtonLook;
using controls::TMouseButton;

namespace {

class FormMainShow : public testing::Test {
protected:
    locale::TLeapgateLang Texts;
    std::unique_ptr<TFormMain> Form;

    void SetUp() override {
        if (const auto data = platform::FindResourceData("LANG", "ENGLISH"))
            Texts.LoadFromText(*data);
        Form = std::make_unique<TFormMain>();
        Form->Texts = &Texts;
        Form->Data.NewVersion = "6.4.0.123";
        Form->ProductLanguage = [] { return std::string("English"); };
        Form->TableName = [] { return std::string("ENGLISH"); };
        Form->Pause = [](uint32_t) {};
    }
    void TearDown() override { Form.reset(); }
};

TEST_F(FormMainShow, TheFirstShowIsPreparedBeforeTheWindowIsMapped) {
    if (!platform::TWindow::Available()) GTEST_SKIP() << "no display";
    TFormMain& f = *Form;
    bool mappedAtRecord = true;
    platform::TRect placeAtRecord;
    f.RecordShow = [&] {
        mappedAtRecord = f.Window().Visible();
        placeAtRecord = f.Window().ScreenRect();
    };
    f.ShowWindow();
    EXPECT_FALSE(mappedAtRecord);  // the first show's work ran before the window was mapped
    // … and the window already stood in the centre of the screen then.
    const int sw = platform::RealScreen().ScreenWidth(), sh = platform::RealScreen().ScreenHeight();
    EXPECT_NEAR(placeAtRecord.Left, (sw - 900) / 2, 1);
    EXPECT_NEAR(placeAtRecord.Top, (sh - 600) / 2, 1);
    EXPECT_TRUE(f.Window().Visible());
    EXPECT_TRUE(f.FirstShowDone);
    EXPECT_EQ(f.lblTitle.Caption(), "Vantrel 6.4 is available");
    EXPECT_TRUE(f.btnUpgrade.Visible());
    EXPECT_EQ(f.btnUpgrade.Caption(), "Upgrade Now");
    EXPECT_TRUE(f.tmrShine.Enabled());  // the every-show part ran once the window was up
    f.tmrShine.SetEnabled(false);
    f.animMain.SetAnimate(false);
    f.HideWindow();
}

TEST_F(FormMainShow, TheConfirmationTakesTheMouseFromTheCloseButton) {
    TFormMain& f = *Form;
    f.RecordShow = nullptr;
    f.FormShow();
    f.animMain.SetAnimate(false);
    f.tmrShine.SetEnabled(false);
    TButtonLook duringDialog = TButtonLook::Hover;
    int dialogs = 0;
    f.ShowConfirm = [&](int) {
        ++dialogs;
        duringDialog = f.btnClose.Look();
        return kConfirmContinue;  // declined: the window stays
    };
    const int x = f.btnClose.Left() + 10, y = f.btnClose.Top() + 10;
    f.HandleMouseMove(0, x, y);
    ASSERT_EQ(f.btnClose.Look(), TButtonLook::Hover);
    f.HandleMouseDown(TMouseButton::Left, 0, x, y);
    ASSERT_EQ(f.btnClose.Look(), TButtonLook::Down);
    f.HandleMouseUp(TMouseButton::Left, 0, x, y);
    EXPECT_EQ(dialogs, 1);
    EXPECT_EQ(duringDialog, TButtonLook::Normal);
    // After the dialog the mouse is wherever the user left it: no hover until it moves here.
    EXPECT_EQ(f.btnClose.Look(), TButtonLook::Normal);
    EXPECT_EQ(f.HotControl(), nullptr);
    f.HandleMouseMove(0, x, y);
    EXPECT_EQ(f.btnClose.Look(), TButtonLook::Hover);
    // An ordinary click that opens nothing keeps the hover under the mouse.
    f.HandleMouseMove(0, 5, 5);
    const int ux = f.btnUpgrade.Left() + 20, uy = f.btnUpgrade.Top() + 20;
    f.StartDownload = [] {};
    f.HandleMouseMove(0, ux, uy);
    f.HandleMouseDown(TMouseButton::Left, 0, ux, uy);
    f.HandleMouseUp(TMouseButton::Left, 0, ux, uy);
    EXPECT_EQ(f.HotControl(), &f.btnUpgrade);
}

}  // namespace
