// Real windows (an X server on Linux, Wine's on Windows): painting, coalesced repaints, modal
// runs with the owner disabled, the tray icon. Skipped without a display.
#include <gtest/gtest.h>

#include "controls/form.h"
#include "controls/picture.h"
#include "platform/eventloop.h"
#include "platform/tray.h"
#include "platform/window.h"

namespace {

#define SKIP_WITHOUT_DISPLAY() \
    if (!platform::TWindow::Available()) GTEST_SKIP() << "no display to open windows on"

void Pump(uint32_t ms) {
    platform::TEventLoop::RunUntil([] { return false; }, ms);
}

}  // namespace

TEST(Window, PaintsWhenShownAndCoalescesInvalidations) {
    SKIP_WITHOUT_DISPLAY();
    platform::TWindow::TOptions o;
    o.ClientWidth = 200;
    o.ClientHeight = 100;
    o.Caption = "test";
    platform::TWindow w(o);
    int paints = 0;
    platform::TRect lastDirty;
    w.OnPaint = [&](platform::TCanvas& c, const platform::TRect& dirty) {
        ++paints;
        lastDirty = dirty;
        EXPECT_EQ(c.Width(), 200);
        c.FillRect({0, 0, 200, 100}, 0xFF336699);
    };
    w.CenterOnScreen();
    w.Show();
    ASSERT_TRUE(platform::TEventLoop::RunUntil([&] { return paints > 0; }, 20000));
    EXPECT_TRUE(w.Visible());
    EXPECT_EQ(w.ScreenRect().Width(), 200);
    Pump(200);
    int before = paints;
    platform::TRect a{10, 10, 20, 20}, b{50, 50, 60, 60};
    w.Invalidate(&a);
    w.Invalidate(&b);
    Pump(300);
    EXPECT_EQ(paints, before + 1);  // one paint for both
    EXPECT_LE(lastDirty.Left, 10);
    EXPECT_GE(lastDirty.Right, 60);
    w.Invalidate(&a);
    w.Update();  // paints now, not on a later turn
    EXPECT_EQ(paints, before + 2);
    w.SetCursor(platform::TCursor::Hand);
    w.SetStayOnTop(true);
    w.SetStayOnTop(false);
    w.Hide();
    EXPECT_FALSE(w.Visible());
}

TEST(Window, ModalRunDisablesTheOwnerUntilItEnds) {
    SKIP_WITHOUT_DISPLAY();
    controls::TForm owner(300, 200, "owner");
    owner.ShowWindow();
    controls::TForm dialog(120, 80, "dialog");
    dialog.Owner = &owner;
    bool ownerDisabledInside = false;
    platform::TEventLoop::Post([&] {
        ownerDisabledInside = !owner.Window().Enabled();
        dialog.CloseModal(6);
    });
    int result = dialog.ShowModal();
    EXPECT_EQ(result, 6);
    EXPECT_TRUE(ownerDisabledInside);
    EXPECT_TRUE(owner.Window().Enabled());
    EXPECT_FALSE(dialog.Window().Visible());
    // Closing without a result gives the ordinary close result.
    platform::TEventLoop::Post([&] { dialog.Window().Close(); });
    EXPECT_EQ(dialog.ShowModal(), 2);
    owner.HideWindow();
}

TEST(Window, FormPaintsItsControlsIntoTheWindow) {
    SKIP_WITHOUT_DISPLAY();
    controls::TForm form(100, 60, "paint");
    controls::TPicture pic;
    pic.SetParent(&form);
    pic.SetBounds(0, 0, 100, 60);
    int painted = 0;
    pic.OnPaint = [&](controls::TControl&, platform::TCanvas&) { ++painted; };
    form.ShowWindow();
    ASSERT_TRUE(platform::TEventLoop::RunUntil([&] { return painted > 0; }, 20000));
    int before = painted;
    pic.Repaint();  // synchronous
    EXPECT_EQ(painted, before + 1);
    form.HideWindow();
}

TEST(Window, TrayIconShowsAndHides) {
    SKIP_WITHOUT_DISPLAY();
    platform::TTrayIcon tray;
    tray.SetTip("Vantrel Updater");
    EXPECT_FALSE(tray.Visible());
    tray.Show();
    EXPECT_TRUE(tray.Visible());
    Pump(100);
    tray.Hide();
    EXPECT_FALSE(tray.Visible());
}
