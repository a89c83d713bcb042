// Real mouse input through the X server (xdotool moves and clicks the pointer): the events
// travel the event loop's descriptor watch to the form and its controls. Skipped where there
// is no display or no xdotool (also under Wine).
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "controls/form.h"
#include "controls/imagebutton.h"
#include "platform/eventloop.h"

namespace {

bool HaveXdotool() {
    static const bool have =
        platform::TWindow::Available() && std::system("xdotool version >/dev/null 2>&1") == 0;
    return have;
}

bool Xdotool(const std::string& args) {
    return std::system(("xdotool " + args).c_str()) == 0;
}

}  // namespace

TEST(WindowInput, RealClicksReachTheButtonUnderThePointer) {
    if (!HaveXdotool()) GTEST_SKIP() << "needs a display and xdotool";
    controls::TForm form(300, 200, "input");
    controls::TImageButton button;
    button.SetParent(&form);
    button.SetBounds(100, 80, 100, 40);
    button.SetPicture(controls::TButtonLook::Normal, platform::TImage(2, 2, 0xFF2D8CF0));
    int clicks = 0;
    bool hovered = false;
    button.OnClick = [&](controls::TObject&) { ++clicks; };
    button.OnMouseEnter = [&](controls::TObject&) { hovered = true; };
    form.Window().SetPosition(50, 50);
    form.ShowWindow();
    platform::TEventLoop::RunUntil([] { return false; }, 300);
    platform::TRect r = form.Window().ScreenRect();
    std::string at = std::to_string(r.Left + 150) + " " + std::to_string(r.Top + 100);
    ASSERT_TRUE(Xdotool("mousemove " + at));
    ASSERT_TRUE(platform::TEventLoop::RunUntil([&] { return hovered; }, 3000));
    EXPECT_EQ(form.HotControl(), &button);
    ASSERT_TRUE(Xdotool("click 1"));
    ASSERT_TRUE(platform::TEventLoop::RunUntil([&] { return clicks == 1; }, 3000));
    // Pressed on the button, released beside it: no click.
    ASSERT_TRUE(Xdotool("mousedown 1"));
    platform::TEventLoop::RunUntil([] { return false; }, 100);
    ASSERT_TRUE(Xdotool("mousemove " + std::to_string(r.Left + 20) + " " +
                        std::to_string(r.Top + 20) + " mouseup 1"));
    platform::TEventLoop::RunUntil([] { return false; }, 300);
    EXPECT_EQ(clicks, 1);
    form.HideWindow();
}
