// The toolkit's controls in a form without a window: mouse routing, looks, labels, bars,
// strips and the mask layer, checked through their state and painted pixels.
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <vector>

#include "controls/form.h"
#include "controls/imagebutton.h"
#include "controls/imagestrip.h"
#include "controls/label.h"
#include "controls/masklayer.h"
#include "controls/picture.h"
#include "controls/progressbar.h"
#include "controls/timer.h"
#include "platform/eventloop.h"
#include "tests/controls/recording_canvas.h"
#include "tests/support/pixels.h"

using namespace controls;

namespace {

platform::TImage Paint(TForm& form) {
    platform::TImage img(form.Width(), form.Height(), 0);
    auto canvas = platform::CreateImageCanvas(img);
    form.PaintTo(*canvas);
    canvas->Flush();
    return img;
}

}  // namespace

TEST(Controls, ClickNeedsPressAndReleaseOnTheSameEnabledControl) {
    TForm form(200, 100);
    TImageButton a, b;
    a.SetParent(&form);
    b.SetParent(&form);
    a.SetBounds(0, 0, 50, 50);
    b.SetBounds(100, 0, 50, 50);
    int clicksA = 0, clicksB = 0;
    a.OnClick = [&](TObject&) { ++clicksA; };
    b.OnClick = [&](TObject&) { ++clicksB; };
    form.HandleMouseDown(TMouseButton::Left, 0, 10, 10);
    form.HandleMouseUp(TMouseButton::Left, 0, 20, 20);
    EXPECT_EQ(clicksA, 1);
    form.HandleMouseDown(TMouseButton::Left, 0, 10, 10);
    form.HandleMouseUp(TMouseButton::Left, 0, 110, 10);  // released on b: a keeps the capture
    EXPECT_EQ(clicksA, 1);
    EXPECT_EQ(clicksB, 0);
    a.SetEnabled(false);
    form.HandleMouseDown(TMouseButton::Left, 0, 10, 10);
    form.HandleMouseUp(TMouseButton::Left, 0, 10, 10);
    EXPECT_EQ(clicksA, 1);
    form.HandleMouseDown(TMouseButton::Right, 0, 110, 10);
    form.HandleMouseUp(TMouseButton::Right, 0, 110, 10);
    EXPECT_EQ(clicksB, 0);  // only the left button clicks
}

TEST(Controls, ImageButtonLooksFollowTheMouse) {
    TForm form(200, 100);
    TImageButton btn;
    btn.SetParent(&form);
    btn.SetBounds(10, 10, 40, 20);
    btn.SetPicture(TButtonLook::Normal, platform::TImage(4, 4, 0xFF0000FF));
    btn.SetPicture(TButtonLook::Hover, platform::TImage(4, 4, 0xFF00FF00));
    btn.SetPicture(TButtonLook::Down, platform::TImage(4, 4, 0xFFFF0000));
    btn.SetPicture(TButtonLook::Disabled, platform::TImage(4, 4, 0xFF808080));
    EXPECT_EQ(btn.Look(), TButtonLook::Normal);
    EXPECT_EQ(Paint(form).Pixel(20, 20), 0xFF0000FFu);
    form.HandleMouseMove(0, 20, 20);
    EXPECT_EQ(btn.Look(), TButtonLook::Hover);
    EXPECT_EQ(Paint(form).Pixel(20, 20), 0xFF00FF00u);
    form.HandleMouseDown(TMouseButton::Left, 0, 20, 20);
    EXPECT_EQ(btn.Look(), TButtonLook::Down);
    form.HandleMouseUp(TMouseButton::Left, 0, 20, 20);
    EXPECT_EQ(btn.Look(), TButtonLook::Hover);
    form.HandleMouseMove(0, 150, 80);
    EXPECT_EQ(btn.Look(), TButtonLook::Normal);
    btn.SetEnabled(false);
    EXPECT_EQ(Paint(form).Pixel(20, 20), 0xFF808080u);
}

TEST(Controls, HiddenAndDisabledControlsLetTheMouseThrough) {
    TForm form(100, 100);
    TPicture back;
    back.SetParent(&form);
    back.SetBounds(0, 0, 100, 100);
    TImageButton top;
    top.SetParent(&form);
    top.SetBounds(0, 0, 50, 50);
    EXPECT_EQ(form.ControlAt(10, 10), &top);
    top.Hide();
    EXPECT_EQ(form.ControlAt(10, 10), &back);
    top.Show();
    top.SetEnabled(false);
    EXPECT_EQ(form.ControlAt(10, 10), &back);
    top.SetEnabled(true);
    top.SendToBack();
    EXPECT_EQ(form.ControlAt(10, 10), &back);
    top.BringToFront();
    EXPECT_EQ(form.ControlAt(10, 10), &top);
}

TEST(Controls, LabelAmpersandsAndLinkMarkup) {
    EXPECT_EQ(StripAccelerators("Tom && Jerry"), "Tom & Jerry");
    EXPECT_EQ(StripAccelerators("&Save"), "Save");
    EXPECT_EQ(StripAccelerators("a&&&b&"), "a&b");
    TLabel l;
    l.SetCaption("Read <a href=\"https://x.example/\">more</a> here");
    EXPECT_EQ(l.DisplayText(), "Read more here");
    l.SetCaption("broken <a>link");
    EXPECT_EQ(l.DisplayText(), "broken <a>link");
    l.SetCaption("");
    EXPECT_EQ(l.Width(), 0);
}

TEST(Controls, LabelAutoSizeFollowsTheFont) {
    TLabel l;
    l.SetCaption("Upgrade to the new version");
    int small = l.Width();
    EXPECT_GT(small, 50);
    l.Font.Height = -26;
    l.AdjustSize();
    EXPECT_GT(l.Width(), small * 3 / 2);
    EXPECT_GE(l.Height(), 26);
}

TEST(Controls, LabelLinkClickReportsTheTarget) {
    TForm form(400, 40);
    TLabel l;
    l.SetParent(&form);
    l.SetLeft(0);
    l.SetCaption("Go <a href=\"page\">there</a>");
    std::string clicked;
    l.OnLinkClick = [&](TLabel&, const std::string& href) { clicked = href; };
    Paint(form);  // lays the parts out
    form.HandleMouseDown(TMouseButton::Left, 0, 2, 5);
    form.HandleMouseUp(TMouseButton::Left, 0, 2, 5);
    EXPECT_EQ(clicked, "");
    int x = l.Width() - 3;
    form.HandleMouseMove(0, x, 5);
    EXPECT_EQ(form.CurrentCursor(), TCursor::Hand);  // the hand over the link
    form.HandleMouseMove(0, 2, 5);
    EXPECT_EQ(form.CurrentCursor(), TCursor::Default);
    form.HandleMouseDown(TMouseButton::Left, 0, x, 5);
    form.HandleMouseUp(TMouseButton::Left, 0, x, 5);
    EXPECT_EQ(clicked, "page");
}

TEST(Controls, ProgressBarClampsAndFillsItsShare) {
    TForm form(100, 5);
    TImageProgressBar bar;
    bar.Back = platform::TImage(100, 5, 0xFF000000);
    bar.Fill = platform::TImage(100, 5, 0xFFFFFFFF);
    bar.SetParent(&form);
    bar.SetBounds(0, 0, 100, 5);
    bar.SetPosition(150);
    EXPECT_EQ(bar.Position(), 100);
    bar.SetPosition(-1);
    EXPECT_EQ(bar.Position(), 0);
    EXPECT_EQ(Paint(form).Pixel(1, 2), 0xFF000000u);
    bar.SetPosition(40);
    auto img = Paint(form);
    EXPECT_EQ(img.Pixel(38, 2), 0xFFFFFFFFu);
    EXPECT_EQ(img.Pixel(41, 2), 0xFF000000u);
}

TEST(Controls, ImageStripShowsOneFrameOrNothing) {
    TForm form(10, 10);
    form.Color = Rgb(0, 0, 0);
    TImageStrip strip;
    strip.SetParent(&form);
    strip.SetBounds(0, 0, 10, 10);
    platform::TImage frames(30, 10, 0xFFFF0000);
    for (int y = 0; y < 10; ++y)
        for (int x = 10; x < 20; ++x) frames.SetPixel(x, y, 0xFF00FF00);
    strip.SetStrip(frames, 3);
    EXPECT_EQ(Paint(form).Pixel(5, 5), 0xFF000000u);  // -1 at first
    strip.SetFrameIndex(1);
    EXPECT_EQ(Paint(form).Pixel(5, 5), 0xFF00FF00u);
    strip.SetFrameIndex(3);
    EXPECT_EQ(strip.FrameIndex(), -1);
    EXPECT_EQ(Paint(form).Pixel(5, 5), 0xFF000000u);
}

TEST(Controls, MaskLayerCoversWithABlurredDarkPictureAndTakesTheMouse) {
    TForm form(60, 40);
    form.Color = Rgb(255, 255, 255);
    TImageButton btn;
    btn.SetParent(&form);
    btn.SetBounds(0, 0, 30, 40);
    btn.SetPicture(TButtonLook::Normal, platform::TImage(2, 2, 0xFF000000));
    int clicks = 0;
    btn.OnClick = [&](TObject&) { ++clicks; };
    TMaskLayer mask;
    mask.Cover(form);
    EXPECT_TRUE(mask.Active());
    auto img = Paint(form);
    EXPECT_LT(platform::RedOf(img.Pixel(50, 20)), 120);  // white under the dark back colour
    int edge = platform::RedOf(img.Pixel(30, 20)), far = platform::RedOf(img.Pixel(50, 20));
    EXPECT_LT(edge, far);  // the blur carries the button's black over the edge
    form.HandleMouseDown(TMouseButton::Left, 0, 10, 10);
    form.HandleMouseUp(TMouseButton::Left, 0, 10, 10);
    EXPECT_EQ(clicks, 0);
    mask.Uncover();
    EXPECT_EQ(Paint(form).Pixel(50, 20), 0xFFFFFFFFu);
    form.HandleMouseDown(TMouseButton::Left, 0, 10, 10);
    form.HandleMouseUp(TMouseButton::Left, 0, 10, 10);
    EXPECT_EQ(clicks, 1);
}

TEST(Controls, TimerTicksOnTheLoopUntilDisabled) {
    TTimer t(20);
    int ticks = 0;
    t.OnTimer = [&](TObject&) {
        if (++ticks == 3) t.SetEnabled(false);
    };
    t.SetEnabled(true);
    platform::TEventLoop::RunUntil([&] { return ticks >= 3; }, 2000);
    platform::TEventLoop::RunUntil([] { return false; }, 100);
    EXPECT_EQ(ticks, 3);
}

TEST(Controls, FormHintAppearsForAControlWithShowHint) {
    TForm form(100, 100);
    TImageButton btn;
    btn.SetParent(&form);
    btn.SetBounds(0, 0, 50, 50);
    btn.Hint = "Close";
    btn.ShowHint = true;
    form.HandleMouseMove(0, 10, 10);
    ASSERT_TRUE(platform::TEventLoop::RunUntil([&] { return form.HintWindow().Showing(); }, 3000));
    EXPECT_EQ(form.HintWindow().Text(), "Close");
    EXPECT_EQ(form.HintWindow().Y(), 30);
    form.HandleMouseMove(0, 80, 80);
    EXPECT_FALSE(form.HintWindow().Showing());
}

TEST(Controls, PaintingADirtyPartSkipsControlsOutsideIt) {
    TForm form(200, 100);
    TPicture left, right;
    left.SetParent(&form);
    right.SetParent(&form);
    left.SetBounds(0, 0, 100, 100);
    right.SetBounds(100, 0, 100, 100);
    int leftPaints = 0, rightPaints = 0;
    left.OnPaint = [&](TControl&, platform::TCanvas&) { ++leftPaints; };
    right.OnPaint = [&](TControl&, platform::TCanvas&) { ++rightPaints; };
    platform::TImage img(200, 100);
    auto canvas = platform::CreateImageCanvas(img);
    TRect dirty{120, 10, 150, 20};
    form.PaintTo(*canvas, &dirty);
    EXPECT_EQ(leftPaints, 0);
    EXPECT_EQ(rightPaints, 1);
    TRect edge{99, 0, 101, 1};  // touches both
    form.PaintTo(*canvas, &edge);
    EXPECT_EQ(leftPaints, 1);
    EXPECT_EQ(rightPaints, 2);
}

TEST(Controls, DoubleClickIsAPressWithADoubleClickEvent) {
    TForm form(100, 100);
    TImageButton b;
    b.SetParent(&form);
    b.SetBounds(0, 0, 50, 50);
    int clicks = 0, doubles = 0;
    b.OnClick = [&](TObject&) { ++clicks; };
    b.OnDblClick = [&](TObject&) { ++doubles; };
    form.HandleMouseDown(TMouseButton::Left, 0, 10, 10);
    form.HandleMouseUp(TMouseButton::Left, 0, 10, 10);
    form.HandleDoubleClick(TMouseButton::Left, 0, 10, 10);
    form.HandleMouseUp(TMouseButton::Left, 0, 10, 10);
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(doubles, 1);
}

TEST(Controls, FormBorderLineIsDrawnOverTheControls) {
    TForm form(20, 10);
    form.BorderColor = Rgb(0, 0, 0);
    form.Color = Rgb(255, 255, 255);
    TPicture pic;
    pic.SetParent(&form);
    pic.SetBounds(0, 0, 20, 10);
    pic.SetImage(platform::TImage(20, 10, 0xFFFF0000));
    auto img = Paint(form);
    EXPECT_EQ(img.Pixel(0, 0), 0xFF000000u);
    EXPECT_EQ(img.Pixel(19, 9), 0xFF000000u);
    EXPECT_EQ(img.Pixel(10, 5), 0xFFFF0000u);
}

TEST(Controls, RemovingAPanelForgetsItsHotChild) {
    TForm form(100, 100);
    auto panel = std::make_unique<TPicture>();
    panel->SetParent(&form);
    panel->SetBounds(0, 0, 100, 100);
    TImageButton child;
    child.SetParent(panel.get());
    child.SetBounds(10, 10, 20, 20);
    form.HandleMouseMove(0, 15, 15);
    EXPECT_EQ(form.HotControl(), &child);
    panel->SetParent(nullptr);
    EXPECT_EQ(form.HotControl(), nullptr);
    form.HandleMouseMove(0, 50, 50);  // no dangling hot control is told it was left
    child.SetParent(nullptr);
}

TEST(Controls, AnOpaquePictureCoveringThePaintedPartHidesTheFormsFill) {
    // The form's fill is left out only where it could never show; the pixels are the same.
    const TColor back = Rgb(31, 31, 31);
    auto opaque = [](int w, int h) {
        platform::TImage img(w, h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                img.SetPixel(x, y, platform::MakeArgb(255, uint8_t(x * 7), uint8_t(y * 5), 90));
        return img;
    };
    struct TCase {
        const char* Name;
        std::function<void(TPicture&)> Set;
        std::optional<TRect> Dirty;
        bool Filled;
    };
    const std::vector<TCase> cases = {
        {"opaque, the form's size", [](TPicture&) {}, std::nullopt, false},
        {"stretched over the form",
         [&](TPicture& p) { p.SetImage(opaque(30, 20)), p.Stretch = true; }, std::nullopt, false},
        {"larger than the form", [&](TPicture& p) { p.SetImage(opaque(150, 90)); }, std::nullopt,
         false},
        {"one pixel lets through",
         [&](TPicture& p) {
             platform::TImage img = opaque(120, 80);
             img.SetPixel(60, 40, platform::MakeArgb(254, 1, 2, 3));
             p.SetImage(img);
         },
         std::nullopt, true},
        {"not as wide as its control", [&](TPicture& p) { p.SetImage(opaque(119, 80)); },
         std::nullopt, true},
        {"a control not as wide as the form", [](TPicture& p) { p.SetBounds(0, 0, 119, 80); },
         std::nullopt, true},
        {"not as wide as the form, but the painted part lies on it",
         [](TPicture& p) { p.SetBounds(0, 0, 119, 80); }, TRect{10, 10, 60, 50}, false},
        {"not as wide as the form, and the painted part reaches past it",
         [](TPicture& p) { p.SetBounds(0, 0, 119, 80); }, TRect{100, 10, 120, 50}, true},
        {"centred and smaller", [&](TPicture& p) { p.SetImage(opaque(110, 70)), p.Center = true; },
         std::nullopt, true},
        {"hidden", [](TPicture& p) { p.SetVisible(false); }, std::nullopt, true},
        {"without a picture", [](TPicture& p) { p.SetImage({}); }, std::nullopt, true},
        {"moved off the corner", [](TPicture& p) { p.SetBounds(1, 0, 120, 80); }, std::nullopt,
         true},
    };
    for (const TCase& c : cases) {
        TForm form(120, 80);
        form.Color = back;
        TPicture bg;
        bg.SetParent(&form);
        bg.SetBounds(0, 0, 120, 80);
        bg.SetImage(opaque(120, 80));
        c.Set(bg);
        testcontrols::TRecordingCanvas rec(120, 80);
        form.PaintTo(rec, c.Dirty ? &*c.Dirty : nullptr);
        int fills = 0;
        for (const auto& call : rec.Of("fill")) fills += call.Color == (back | 0xFF000000u);
        EXPECT_EQ(fills, c.Filled ? 1 : 0) << c.Name;
        // What shows is the same either way: the picture where it lies, the colour elsewhere.
        platform::TImage painted = Paint(form);
        TForm plain(120, 80);
        plain.Color = back;
        platform::TImage expected = Paint(plain);
        {
            auto canvas = platform::CreateImageCanvas(expected);
            canvas->Translate(float(bg.Left()), float(bg.Top()));
            canvas->IntersectClip(bg.ClientRect().ToF());
            if (bg.Visible()) bg.PaintTree(*canvas);
            canvas->Flush();
        }
        EXPECT_EQ(testsupport::DifferentPixels(painted, expected), 0) << c.Name;
    }
}
