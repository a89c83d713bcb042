// Mouse handling of the animator through a form without a window: hit testing, the hot layer,
// enter/leave, clicks, cursors, and the drawing box's own handling behind it.
#include <gtest/gtest.h>

#include "controls/animator.h"
#include "controls/form.h"
#include "controls/paintbox.h"
#include "platform/eventloop.h"

using namespace controls;

namespace {

struct TScene {
    TForm Form{900, 600};
    TPaintBox Box;
    TRdAnimator Anim;
    std::vector<std::string> Log;

    TScene() {
        Box.SetParent(&Form);
        Box.SetBounds(0, 142, 900, 300);
        Anim.SetDrawBox(&Box);
    }
    ~TScene() { Anim.SetDrawBox(nullptr); }
    TRdAniLayer& Layer(const std::string& name, int l, int t, int w, int h) {
        TRdAniLayer& layer = Anim.Layers().Add();
        layer.SetName(name);
        layer.SetImage(platform::TImage(w, h, 0xFFFFFFFF));
        layer.SetImageLeft(l);
        layer.SetImageTop(t);
        layer.OnMouseEnter = [this](TObject& s) { Log.push_back("enter " + Name(s)); };
        layer.OnMouseLeave = [this](TObject& s) { Log.push_back("leave " + Name(s)); };
        return layer;
    }
    static std::string Name(TObject& s) { return static_cast<TRdAniLayer&>(s).Name(); }
    // Box coordinates to form coordinates.
    void Move(int x, int y) { Form.HandleMouseMove(0, x, y + 142); }
    void Down(int x, int y, TMouseButton b = TMouseButton::Left) {
        Form.HandleMouseDown(b, 0, x, y + 142);
    }
    void Up(int x, int y, TMouseButton b = TMouseButton::Left) {
        Form.HandleMouseUp(b, 0, x, y + 142);
    }
};

}  // namespace

TEST(AnimatorMouse, HigherIndexWinsOverlapsAndInvisibleLayersAreSkipped) {
    TScene s;
    s.Layer("low", 0, 0, 100, 100);
    TRdAniLayer& high = s.Layer("high", 50, 50, 100, 100);
    EXPECT_EQ(s.Anim.LayerAt(75, 75)->Name(), "high");
    EXPECT_EQ(s.Anim.LayerAt(10, 10)->Name(), "low");
    EXPECT_EQ(s.Anim.LayerAt(149, 149)->Name(), "high");
    EXPECT_EQ(s.Anim.LayerAt(150, 150), nullptr);  // right and bottom edges are outside
    high.SetVisible(false);
    EXPECT_EQ(s.Anim.LayerAt(75, 75)->Name(), "low");
    high.SetVisible(true);
    high.SetOpacity(0);  // transparent but still there for the mouse
    EXPECT_EQ(s.Anim.LayerAt(75, 75)->Name(), "high");
    high.SetInflate(5);
    EXPECT_EQ(s.Anim.LayerAt(152, 152)->Name(), "high");
    EXPECT_EQ(s.Anim.LayerAt(155, 155), nullptr);
}

TEST(AnimatorMouse, EnterLeaveAndCursorSavedOnceAndRestored) {
    TScene s;
    s.Box.SetCursor(TCursor::IBeam);
    TRdAniLayer& a = s.Layer("a", 0, 0, 100, 100);
    TRdAniLayer& b = s.Layer("b", 100, 0, 100, 100);
    a.SetCursor(TCursor::Hand);
    b.SetCursor(TCursor::Wait);
    s.Move(10, 10);
    s.Move(20, 10);  // same layer: no new events
    EXPECT_EQ(s.Anim.HotLayer(), &a);
    EXPECT_EQ(s.Box.Cursor(), TCursor::Hand);
    EXPECT_EQ(s.Form.CurrentCursor(), TCursor::Hand);
    s.Move(110, 10);  // straight onto the other layer
    EXPECT_EQ(s.Box.Cursor(), TCursor::Wait);
    s.Move(500, 200);  // off every layer: the box's own cursor again, not layer a's
    EXPECT_EQ(s.Box.Cursor(), TCursor::IBeam);
    EXPECT_EQ(s.Anim.HotLayer(), nullptr);
    EXPECT_EQ(s.Log, (std::vector<std::string>{"enter a", "leave a", "enter b", "leave b"}));
}

TEST(AnimatorMouse, LeavingTheBoxLeavesTheHotLayer) {
    TScene s;
    s.Layer("a", 0, 0, 100, 100);
    s.Move(10, 10);
    s.Form.HandleMouseMove(0, 10, 10);  // above the box, on the form
    EXPECT_EQ(s.Anim.HotLayer(), nullptr);
    EXPECT_EQ(s.Log, (std::vector<std::string>{"enter a", "leave a"}));
}

TEST(AnimatorMouse, ClickOnlyWhenReleasedInsideThePressedLayer) {
    TScene s;
    TRdAniLayer& a = s.Layer("a", 0, 0, 100, 100);
    s.Layer("b", 200, 0, 100, 100);
    int clicks = 0, ups = 0, downs = 0;
    a.OnClick = [&](TObject&) { ++clicks; };
    a.OnMouseUp = [&](TObject&, TMouseButton, TShiftState, int, int) { ++ups; };
    a.OnMouseDown = [&](TObject&, TMouseButton, TShiftState, int, int) { ++downs; };
    s.Down(10, 10);
    s.Up(90, 90);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(ups, 1);
    s.Down(10, 10);
    s.Up(250, 10);  // released on another layer
    EXPECT_EQ(clicks, 1);
    s.Down(500, 200);  // pressed on nothing, released on the layer
    s.Up(10, 10);
    EXPECT_EQ(clicks, 1);
    s.Down(10, 10, TMouseButton::Right);
    s.Up(10, 10, TMouseButton::Right);
    EXPECT_EQ(clicks, 1);  // only the left button clicks
    EXPECT_EQ(downs, 3);   // the press on nothing reached no layer
    EXPECT_EQ(ups, 3);
}

TEST(AnimatorMouse, ALayerWithAClickKeepsThePressFromTheBox) {
    TScene s;
    TRdAniLayer& a = s.Layer("a", 0, 0, 100, 100);
    s.Layer("plain", 300, 0, 100, 100);
    int boxDowns = 0;
    s.Box.OnMouseDown = [&](TObject&, TMouseButton, TShiftState, int, int) { ++boxDowns; };
    s.Down(350, 10);
    s.Up(350, 10);
    EXPECT_EQ(boxDowns, 1);
    a.OnClick = [](TObject&) {};
    s.Down(10, 10);
    s.Up(10, 10);
    EXPECT_EQ(boxDowns, 1);
}

TEST(AnimatorMouse, DetachingGivesTheBoxItsProceduresBackAndFreeingTheBoxDetaches) {
    TForm form(100, 100);
    auto box = std::make_unique<TPaintBox>();
    box->SetParent(&form);
    box->SetBounds(0, 0, 100, 100);
    int painted = 0;
    box->OnPaint = [&](TControl&, platform::TCanvas&) { ++painted; };
    TRdAnimator a1, a2;
    a1.SetDrawBox(box.get());
    a2.SetDrawBox(box.get());  // taken from a1
    EXPECT_EQ(a1.DrawBox(), nullptr);
    EXPECT_EQ(a2.DrawBox(), box.get());
    platform::TImage target(100, 100);
    {
        auto canvas = platform::CreateImageCanvas(target);
        form.PaintTo(*canvas);
    }
    EXPECT_EQ(painted, 1);  // the box's own handler still runs first
    box.reset();
    EXPECT_EQ(a2.DrawBox(), nullptr);
}

TEST(AnimatorMouse, HintShowsAfterTheDelayBelowTheMouseAndHidesOnLeave) {
    TScene s;
    TRdAniLayer& a = s.Layer("a", 0, 0, 100, 100);
    a.SetHint("More");
    a.SetShowHint(true);
    s.Move(10, 10);
    EXPECT_FALSE(s.Anim.Hints().Window().Showing());
    EXPECT_TRUE(s.Anim.Hints().Pending());
    ASSERT_TRUE(
        platform::TEventLoop::RunUntil([&] { return s.Anim.Hints().Window().Showing(); }, 3000));
    EXPECT_EQ(s.Anim.Hints().Window().Text(), "More");
    EXPECT_EQ(s.Anim.Hints().Window().Y(), 142 + 10 + 20);
    s.Move(500, 200);
    EXPECT_FALSE(s.Anim.Hints().Window().Showing());
    EXPECT_FALSE(s.Anim.Hints().Pending());
}
