// The keyboard in a form without a window: the focus order (hidden and disabled controls passed
// over, both directions, round the ends), Enter, Space and Esc, a focused control that goes
// away, the focus ring (never drawn before a key, drawn after one, gone after a press), and
// keys that scroll a list.
#include <gtest/gtest.h>

#include <array>

#include "controls/form.h"
#include "controls/imagebutton.h"
#include "controls/label.h"
#include "controls/listview.h"
#include "controls/standin.h"

using namespace controls;
using platform::kShift;

namespace {

platform::TImage Paint(TForm& form) {
    platform::TImage img(form.Width(), form.Height(), 0);
    auto canvas = platform::CreateImageCanvas(img);
    form.PaintTo(*canvas);
    canvas->Flush();
    return img;
}

// Three buttons side by side, a list below; clicks are counted per button.
struct TKeyForm : TForm {
    TImageButton A, B, C;
    TListView List;
    int Clicks[3] = {0, 0, 0};
    TKeyForm() : TForm(300, 200) {
        Color = Rgb(20, 20, 20);
        TImageButton* buttons[] = {&A, &B, &C};
        for (int i = 0; i < 3; ++i) {
            buttons[i]->SetParent(this);
            buttons[i]->SetBounds(20 + 90 * i, 20, 60, 30);
            buttons[i]->SetPicture(TButtonLook::Normal, platform::TImage(2, 2, 0xFF2D8CF0));
            buttons[i]->OnClick = [this, i](TObject&) { ++Clicks[i]; };
        }
        List.SetParent(this);
        List.SetBounds(20, 80, 260, 100);
        List.AddColumn(-1);
        List.RowHeight = 20;
        List.AddGroup(0, "");
        for (int i = 0; i < 20; ++i) List.AddItem(0, {"row " + std::to_string(i)});
        SetFocusOrder({&A, &B, &C, &List});
    }
};

}  // namespace

TEST(Focus, TabVisitsTheOrderPassingOverHiddenAndDisabledRoundTheEnds) {
    TKeyForm f;
    EXPECT_EQ(f.Focused(), nullptr);
    f.HandleKeyDown(TKey::Tab, 0);
    EXPECT_EQ(f.Focused(), &f.A);
    f.B.SetEnabled(false);
    f.HandleKeyDown(TKey::Tab, 0);
    EXPECT_EQ(f.Focused(), &f.C);
    f.HandleKeyDown(TKey::Tab, 0);
    EXPECT_EQ(f.Focused(), &f.List);
    f.HandleKeyDown(TKey::Tab, 0);
    EXPECT_EQ(f.Focused(), &f.A);  // round the end
    f.HandleKeyDown(TKey::Tab, kShift);
    EXPECT_EQ(f.Focused(), &f.List);  // and back round the start
    f.HandleKeyDown(TKey::Tab, kShift);
    EXPECT_EQ(f.Focused(), &f.C);
    f.HandleKeyDown(TKey::Tab, kShift);
    EXPECT_EQ(f.Focused(), &f.A);  // B is still disabled
    f.C.Hide();
    f.HandleKeyDown(TKey::Tab, kShift);
    EXPECT_EQ(f.Focused(), &f.List);
    // Shift+Tab as the first key starts from the end.
    TKeyForm g;
    g.HandleKeyDown(TKey::Tab, kShift);
    EXPECT_EQ(g.Focused(), &g.List);
    // Nothing that can take the focus: none has it, and no key fails.
    TKeyForm h;
    for (TControl* c : h.FocusOrder()) c->Hide();
    h.HandleKeyDown(TKey::Tab, 0);
    h.HandleKeyDown(TKey::Enter, 0);
    EXPECT_EQ(h.Focused(), nullptr);
    EXPECT_EQ(h.Clicks[0] + h.Clicks[1] + h.Clicks[2], 0);
}

TEST(Focus, EnterSpaceAndEscape) {
    TKeyForm f;
    f.DefaultControl = &f.B;
    f.CancelControl = &f.C;
    // The first key finds the focus at the start of the order and acts there.
    f.HandleKeyDown(TKey::Space, 0);
    EXPECT_EQ(f.Focused(), &f.A);
    EXPECT_EQ(f.Clicks[0], 1);
    f.HandleKeyDown(TKey::Enter, 0);
    EXPECT_EQ(f.Clicks[0], 2);
    // On the list (which does nothing with them) Enter is the default button's, Space nobody's.
    f.SetFocus(&f.List);
    f.HandleKeyDown(TKey::Space, 0);
    EXPECT_EQ(f.Clicks[1], 0);
    f.HandleKeyDown(TKey::Enter, 0);
    EXPECT_EQ(f.Clicks[1], 1);
    // Esc is the cancel control's wherever the focus is, and only Esc is.
    f.HandleKeyDown(TKey::Escape, 0);
    EXPECT_EQ(f.Clicks[2], 1);
    EXPECT_EQ(f.Focused(), &f.List);
    f.HandleKeyDown(TKey::Other, 0);
    EXPECT_EQ((std::array{f.Clicks[0], f.Clicks[1], f.Clicks[2]}), (std::array{2, 1, 1}));
    // A disabled focused control does not act; Enter falls to the default, Space to nobody.
    f.SetFocus(&f.A);
    f.A.SetEnabled(false);
    EXPECT_EQ(f.Focused(), &f.A);  // disabled keeps the focus
    f.HandleKeyDown(TKey::Space, 0);
    f.HandleKeyDown(TKey::Enter, 0);
    EXPECT_EQ(f.Clicks[0], 2);
    EXPECT_EQ(f.Clicks[1], 2);
    // A hidden cancel or default control does nothing.
    f.C.Hide();
    f.B.Hide();
    f.HandleKeyDown(TKey::Escape, 0);
    f.HandleKeyDown(TKey::Enter, 0);
    EXPECT_EQ(f.Clicks[1], 2);
    EXPECT_EQ(f.Clicks[2], 1);
}

TEST(Focus, AFocusedControlThatGoesAwayHandsTheFocusOn) {
    TKeyForm f;
    f.SetFocus(&f.A);
    f.A.Hide();
    EXPECT_EQ(f.Focused(), &f.B);
    // Replaced by one shown just before it was hidden, as Minimize replaces Upgrade Now.
    f.A.Show();
    f.SetFocus(&f.B);
    f.C.SetEnabled(false);
    f.B.Hide();
    EXPECT_EQ(f.Focused(), &f.List);
    f.SetFocus(&f.A);
    {
        TImageButton gone;
        gone.SetParent(&f);
        f.SetFocusOrder({&gone, &f.A});
        f.SetFocus(&gone);
    }  // destroyed while focused: the form forgets it
    EXPECT_EQ(f.Focused(), nullptr);
    EXPECT_EQ(f.FocusOrder().size(), 1u);
    // A new order without the focused control takes the focus away.
    f.SetFocusOrder({&f.A, &f.B});
    f.SetFocus(&f.A);
    f.SetFocusOrder({&f.B});
    EXPECT_EQ(f.Focused(), nullptr);
}

TEST(Focus, RingOnlyAfterTheKeyboardIsUsed) {
    TKeyForm f;
    const platform::TImage before = Paint(f);
    f.SetFocus(&f.A);  // focus without a key: nothing changes on the screen
    EXPECT_FALSE(f.FocusRingShown());
    const platform::TImage focused = Paint(f);
    ASSERT_EQ(focused.Width(), before.Width());
    for (int y = 0; y < before.Height(); ++y)
        for (int x = 0; x < before.Width(); ++x)
            ASSERT_EQ(focused.Pixel(x, y), before.Pixel(x, y)) << x << "," << y;
    f.HandleKeyDown(TKey::Tab, 0);
    ASSERT_EQ(f.Focused(), &f.B);
    EXPECT_TRUE(f.FocusRingShown());
    const platform::TImage ring = Paint(f);
    // B is at (110, 20) 60 × 30: the ring runs three pixels outside it, with a gap of two.
    const int left = 110 - TForm::kFocusRingGap - 1, top = 20 - TForm::kFocusRingGap - 1;
    EXPECT_NE(ring.Pixel(left, 35), before.Pixel(left, 35));
    EXPECT_NE(ring.Pixel(140, top), before.Pixel(140, top));
    EXPECT_NE(ring.Pixel(172, 35), before.Pixel(172, 35));
    EXPECT_GT(platform::RedOf(ring.Pixel(left, 35)), 150);  // a light line on the dark form
    EXPECT_EQ(ring.Pixel(left + 1, 35), before.Pixel(left + 1, 35));  // the gap
    EXPECT_EQ(ring.Pixel(140, 35), before.Pixel(140, 35));            // the button itself
    // Not around A any more.
    EXPECT_EQ(ring.Pixel(20 - 3, 35), before.Pixel(20 - 3, 35));
    // A press moves the focus and takes the ring away.
    f.HandleMouseDown(TMouseButton::Left, 0, 50, 30);
    f.HandleMouseUp(TMouseButton::Left, 0, 50, 30);
    EXPECT_EQ(f.Focused(), &f.A);
    EXPECT_FALSE(f.FocusRingShown());
    EXPECT_EQ(Paint(f).Pixel(left, 35), before.Pixel(left, 35));
    EXPECT_EQ(f.Clicks[0], 1);
}

TEST(Focus, RingAtTheWindowEdgeComesInside) {
    TForm f(100, 60);
    f.Color = clBlack;
    TImageButton b;
    b.SetParent(&f);
    b.SetBounds(70, 0, 30, 20);  // in the corner, as the close buttons are
    f.SetFocusOrder({&b});
    f.HandleKeyDown(TKey::Tab, 0);
    const platform::TImage img = Paint(f);
    EXPECT_GT(platform::RedOf(img.Pixel(99, 10)), 150);  // right edge of the window
    EXPECT_GT(platform::RedOf(img.Pixel(85, 0)), 150);   // top edge
    EXPECT_GT(platform::RedOf(img.Pixel(67, 10)), 150);  // left of the button, outside
    EXPECT_GT(platform::RedOf(img.Pixel(85, 22)), 150);  // below it
}

TEST(Focus, ListKeysScrollByRowPageAndToTheEnds) {
    TKeyForm f;
    f.SetFocus(&f.List);
    const int maxScroll = f.List.ContentHeight() - f.List.Height();
    ASSERT_GT(maxScroll, 0);
    f.HandleKeyDown(TKey::Up, 0);
    EXPECT_EQ(f.List.ScrollPos(), 0);  // already at the top
    f.HandleKeyDown(TKey::Down, 0);
    EXPECT_EQ(f.List.ScrollPos(), 20);
    f.HandleKeyDown(TKey::PageDown, 0);
    EXPECT_EQ(f.List.ScrollPos(), 20 + 80);  // a page is the height less one row
    f.HandleKeyDown(TKey::End, 0);
    EXPECT_EQ(f.List.ScrollPos(), maxScroll);
    f.HandleKeyDown(TKey::PageDown, 0);
    EXPECT_EQ(f.List.ScrollPos(), maxScroll);
    f.HandleKeyDown(TKey::PageUp, 0);
    EXPECT_EQ(f.List.ScrollPos(), maxScroll - 80);
    f.HandleKeyDown(TKey::Home, 0);
    EXPECT_EQ(f.List.ScrollPos(), 0);
    // Keys the focused button does not use go to the form's own handler.
    int seen = 0;
    f.OnKeyDown = [&](TKey k, TShiftState) {
        seen += k == TKey::Down;
        return k == TKey::Down;
    };
    f.SetFocus(&f.A);
    f.HandleKeyDown(TKey::Down, 0);
    EXPECT_EQ(seen, 1);
    EXPECT_EQ(f.List.ScrollPos(), 0);
    EXPECT_EQ(f.Clicks[0], 0);
}

TEST(Focus, StandInTakesKeysButNotTheMouse) {
    TForm f(200, 100);
    TImageButton under;
    under.SetParent(&f);
    under.SetBounds(0, 0, 200, 100);
    int underClicks = 0, linkClicks = 0;
    under.OnClick = [&](TObject&) { ++underClicks; };
    TStandIn link;
    link.SetParent(&f);
    link.SetBounds(50, 40, 80, 20);
    link.OnClick = [&](TObject&) { ++linkClicks; };
    f.SetFocusOrder({&link});
    f.HandleMouseMove(0, 60, 50);
    EXPECT_EQ(f.HotControl(), &under);
    f.HandleMouseDown(TMouseButton::Left, 0, 60, 50);
    f.HandleMouseUp(TMouseButton::Left, 0, 60, 50);
    EXPECT_EQ(underClicks, 1);
    EXPECT_EQ(linkClicks, 0);
    EXPECT_EQ(f.Focused(), nullptr);
    f.HandleKeyDown(TKey::Enter, 0);
    EXPECT_EQ(linkClicks, 1);
    EXPECT_EQ(underClicks, 1);
}
