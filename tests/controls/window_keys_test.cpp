// Real key presses through the window system (xdotool under X, SendInput under Wine): a shown
// window takes the keyboard, Tab and Shift+Tab move along the focus order, Enter and Space act,
// Esc is the cancel control's; a disabled window (the owner of a modal one) hears no key. And
// what an X window says of itself to the window manager and the session.
#include <gtest/gtest.h>

#include <string>

#include "controls/form.h"
#include "controls/imagebutton.h"
#include "platform/eventloop.h"
#include "tests/support/synthetic_input.h"

using namespace controls;
using testsupport::SendKey;

namespace {

struct TKeysForm : TForm {
    TImageButton A, B, C;
    int Clicks[3] = {0, 0, 0};
    TKeysForm() : TForm(320, 120, "keys") {
        TImageButton* buttons[] = {&A, &B, &C};
        for (int i = 0; i < 3; ++i) {
            buttons[i]->SetParent(this);
            buttons[i]->SetBounds(20 + 100 * i, 40, 80, 30);
            buttons[i]->SetPicture(TButtonLook::Normal, platform::TImage(2, 2, 0xFF2D8CF0));
            buttons[i]->OnClick = [this, i](TObject&) { ++Clicks[i]; };
        }
        SetFocusOrder({&A, &B, &C});
        CancelControl = &C;
    }
};

bool Settle(const std::function<bool()>& done, uint32_t ms = 3000) {
    return platform::TEventLoop::RunUntil(done, ms);
}

}  // namespace

TEST(WindowKeys, RealKeysMoveTheFocusAndAct) {
    if (!platform::TWindow::Available() || !testsupport::CanSendKeys())
        GTEST_SKIP() << "needs a display and a way to press keys";
    TKeysForm f;
    f.Window().SetPosition(60, 60);
    f.ShowWindow();
    // Shown, the window takes the keyboard without a click.
    ASSERT_TRUE(Settle([&] { return testsupport::HasKeyboard(f.Window()); }, 5000));
    ASSERT_TRUE(SendKey(platform::TKey::Tab));
    ASSERT_TRUE(Settle([&] { return f.Focused() == &f.A; }));
    EXPECT_TRUE(f.FocusRingShown());
    ASSERT_TRUE(SendKey(platform::TKey::Tab));
    ASSERT_TRUE(Settle([&] { return f.Focused() == &f.B; }));
    ASSERT_TRUE(SendKey(platform::TKey::Tab, true));
    ASSERT_TRUE(Settle([&] { return f.Focused() == &f.A; }));
    ASSERT_TRUE(SendKey(platform::TKey::Enter));
    ASSERT_TRUE(Settle([&] { return f.Clicks[0] == 1; }));
    ASSERT_TRUE(SendKey(platform::TKey::Tab, true));  // round the start
    ASSERT_TRUE(Settle([&] { return f.Focused() == &f.C; }));
    ASSERT_TRUE(SendKey(platform::TKey::Tab));
    ASSERT_TRUE(SendKey(platform::TKey::Tab));
    ASSERT_TRUE(Settle([&] { return f.Focused() == &f.B; }));
    ASSERT_TRUE(SendKey(platform::TKey::Space));
    ASSERT_TRUE(Settle([&] { return f.Clicks[1] == 1; }));
    ASSERT_TRUE(SendKey(platform::TKey::Escape));
    ASSERT_TRUE(Settle([&] { return f.Clicks[2] == 1; }));
    // A disabled window (as the owner of a modal one is) hears nothing.
    f.Window().SetEnabled(false);
    ASSERT_TRUE(SendKey(platform::TKey::Escape));
    Settle([] { return false; }, 300);
    EXPECT_EQ(f.Clicks[2], 1);
    f.Window().SetEnabled(true);
    EXPECT_EQ(f.Clicks[0], 1);
    EXPECT_EQ(f.Clicks[1], 1);
    f.HideWindow();
}

TEST(WindowKeys, XWindowsNameTheirClassInputAndProcess) {
    if (!platform::TWindow::Available()) GTEST_SKIP() << "needs a display";
    TForm f(200, 100, "Vantrel \xE2\x80\x94 \xC3\xA9t\xC3\xA9");  // not Latin-1 only
    f.ShowWindow();
    Settle([] { return false; }, 200);
    const std::string props = testsupport::XProperties(f.Window());
    if (props.empty()) GTEST_SKIP() << "not an X window";
    EXPECT_NE(props.find("WM_CLASS(STRING) = \"leapgate\", \"Leapgate\""), std::string::npos)
        << props;
    EXPECT_NE(props.find("Client accepts input or input focus: True"), std::string::npos) << props;
    EXPECT_NE(props.find("_NET_WM_PID(CARDINAL) = " + std::to_string(testsupport::ProcessId())),
              std::string::npos)
        << props;
    EXPECT_NE(props.find("_NET_WM_NAME(UTF8_STRING) = \"Vantrel \xE2\x80\x94 \xC3\xA9t\xC3\xA9\""),
              std::string::npos)
        << props;
    EXPECT_NE(props.find("WM_CLIENT_MACHINE(STRING)"), std::string::npos) << props;
    f.HideWindow();
}
