// Repainting only what changed must show what a full paint shows: a window's back buffer kept
// up to date through the animator's partial invalidations, compared byte for byte with a fresh
// animator painted whole after every kind of change; the parts a layer can reach; prepared
// pictures kept while they stay valid; hit bounds of layers a partial paint passes over.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "controls/animator.h"
#include "controls/form.h"
#include "controls/paintbox.h"
#include "controls/picture.h"
#include "tests/controls/recording_canvas.h"
#include "tests/support/pixels.h"

using namespace controls;
using platform::TImage;
using testsupport::DifferentPixels;

namespace {

// Translucent pictures here let through at most three quarters of what lies beneath.
TImage Pattern(int w, int h, uint32_t seed, bool translucent) {
    return testsupport::PixelPattern(w, h, seed, translucent ? 64 : 255);
}

// The offer window's arrangement in small: a picture behind the drawing box, and layers that
// overlap each other and the box's edges.
struct TScene {
    TForm Form{200, 140};
    TPicture Background;
    TPaintBox Box;
    TRdAnimator Anim;
    TScene() {
        Background.SetParent(&Form);
        Background.SetBounds(0, 0, 200, 140);
        Background.SetImage(Pattern(200, 140, 7, false));
        Box.SetParent(&Form);
        Box.SetBounds(12, 16, 170, 110);
        for (int i = 0; i < 6; ++i) Anim.Layers().Add();
        TRdAniLayerCollection& l = Anim.Layers();
        l[0].SetImage(Pattern(70, 50, 1, false));
        l[0].SetImageLeft(4);
        l[0].SetImageTop(6);
        l[1].SetImage(Pattern(60, 60, 2, true));
        l[1].SetImageLeft(40);
        l[1].SetImageTop(30);
        l[1].SetOpacity(200);
        l[2].SetText("Faster driver updates for every device");
        l[2].SetTextLeft(20);
        l[2].SetTextTop(70);
        l[2].SetTextWidth(90);
        l[2].SetTextHeight(16);
        l[2].SetWordWrap(true);
        l[2].SetTextAlignV(taAlignBottom);
        l[3].SetImage(Pattern(24, 18, 3, true));
        l[3].SetImageLeft(120);
        l[3].SetImageTop(8);
        l[3].SetRotate(30);
        l[4].SetImage(Pattern(40, 30, 4, false));
        l[4].SetImageLeft(110);
        l[4].SetImageTop(60);
        l[4].SetBlur(2);
        l[5].SetText("Improved");
        l[5].SetTextLeft(100);
        l[5].SetTextTop(40);
        l[5].SetOpacity(0);
        Anim.SetDrawBox(&Box);
    }
};

using TChange = std::function<void(TRdAniLayerCollection&)>;

// A window's back buffer: painted, as the windows do, only where the form asks for it.
struct TBackBuffer {
    TImage Pixels{200, 140, 0xFF000000};
    std::unique_ptr<platform::TImageCanvas> Canvas = platform::CreateImageCanvas(Pixels);
    int Paints = 0;
    void PaintPending(TForm& form) {
        if (!form.NeedsPaint()) return;
        TRect dirty = form.DirtyRect();
        Canvas->Save();
        Canvas->IntersectClip(dirty.ToF());
        form.PaintTo(*Canvas, &dirty);
        Canvas->Restore();
        Canvas->Flush();
        ++Paints;
    }
};

TImage FreshPaint(const std::vector<TChange>& changes) {
    TScene fresh;
    for (auto& c : changes) c(fresh.Anim.Layers());
    TImage out(200, 140, 0xFF000000);
    auto canvas = platform::CreateImageCanvas(out);
    fresh.Form.PaintTo(*canvas);
    canvas->Flush();
    return out;
}

}  // namespace

TEST(AnimatorCache, EveryChangeRepaintsExactlyAsAFreshAnimatorPaints) {
    TScene scene;
    TBackBuffer back;
    back.PaintPending(scene.Form);
    ASSERT_EQ(DifferentPixels(back.Pixels, FreshPaint({})), 0);
    const std::vector<std::pair<const char*, TChange>> steps = {
        {"opacity of a picture", [](auto& l) { l[1].SetOpacity(90); }},
        {"opacity back to opaque", [](auto& l) { l[1].SetOpacity(255); }},
        {"a new picture of another size", [](auto& l) { l[1].SetImage(Pattern(30, 44, 9, true)); }},
        {"blur of a faded picture", [](auto& l) { l[0].SetOpacity(150), l[0].SetBlur(3); }},
        {"a blurred picture fading", [](auto& l) { l[0].SetOpacity(60); }},
        {"blur off", [](auto& l) { l[0].SetBlur(0); }},
        {"colour key with a tolerance",
         [](auto& l) {
             l[4].SetTransparentColor(l[4].Image().Pixel(5, 5) & 0xFFFFFF),
                 l[4].SetTransparentToler(60);
         }},
        {"a picture sliding up", [](auto& l) { l[1].SetImageTop(l[1].ImageTop() - 7); }},
        {"a picture moving out over the edge", [](auto& l) { l[4].SetImageLeft(150); }},
        {"rotation", [](auto& l) { l[3].SetRotate(75); }},
        {"inflated", [](auto& l) { l[3].SetInflate(9); }},
        {"a pie", [](auto& l) { l[0].SetPieSweep(130), l[0].SetPieStart(20); }},
        {"stretched", [](auto& l) { l[3].SetStretch(true), l[3].SetOpacity(70); }},
        {"stretch off", [](auto& l) { l[3].SetStretch(false); }},
        {"wrapped text growing upwards",
         [](auto& l) { l[2].SetText("A longer text that wraps onto more lines than fit"); }},
        {"text fading in", [](auto& l) { l[5].SetOpacity(180); }},
        {"text moved", [](auto& l) { l[5].SetTextTop(12), l[5].SetTextLeft(8); }},
        {"a layer hidden", [](auto& l) { l[1].SetVisible(false); }},
        {"a layer to the bottom", [](auto& l) { l[4].SetZOrder(0); }},
        {"the picture taken away", [](auto& l) { l[0].ClearImage(); }},
    };
    std::vector<TChange> applied;
    int paints = back.Paints;
    for (auto& [name, change] : steps) {
        // Made in the frame event, as the page cycle makes its changes.
        scene.Anim.OnAnimated = [&](TObject&) { change(scene.Anim.Layers()); };
        scene.Anim.FrameStep();
        scene.Anim.OnAnimated = nullptr;
        back.PaintPending(scene.Form);
        applied.push_back(change);
        EXPECT_EQ(back.Paints, ++paints) << name << ": the change asked for no paint";
        EXPECT_EQ(DifferentPixels(back.Pixels, FreshPaint(applied)), 0) << name;
    }
}

TEST(AnimatorCache, ChangesOutsideFrameEventsAndBoxSettingsRepaintAlike) {
    TScene scene;
    TBackBuffer back;
    back.PaintPending(scene.Form);
    std::vector<TChange> applied;
    TChange a = [](auto& l) { l[1].SetImageLeft(l[1].ImageLeft() + 11), l[1].SetOpacity(120); };
    a(scene.Anim.Layers());  // a change from a mouse handler: invalidated at once
    applied.push_back(a);
    back.PaintPending(scene.Form);
    EXPECT_EQ(DifferentPixels(back.Pixels, FreshPaint(applied)), 0);
    // A background colour covers the whole box, under every layer.
    scene.Anim.SetColor(Rgb(20, 90, 40));
    back.PaintPending(scene.Form);
    TScene fresh;
    a(fresh.Anim.Layers());
    fresh.Anim.SetColor(Rgb(20, 90, 40));
    TImage expected(200, 140, 0xFF000000);
    {
        auto canvas = platform::CreateImageCanvas(expected);
        fresh.Form.PaintTo(*canvas);
    }
    EXPECT_EQ(DifferentPixels(back.Pixels, expected), 0);
}

TEST(AnimatorCache, APaintNeverReachesBeyondTheLayersBounds) {
    // Each layer alone on a transparent box: every pixel it paints lies in its bounds, on both
    // renderers.
    auto config =
        std::vector<std::pair<
            const char*, std::function<void(
                             TRdAniLayer&)>>>{{"plain", [](TRdAniLayer&) {}},
                                              {"rotated", [](TRdAniLayer& l) { l.SetRotate(33); }},
                                              {"rotated and inflated",
                                               [](TRdAniLayer& l) {
                                                   l.SetRotate(-120), l.SetInflate(15);
                                               }},
                                              {"shrunk", [](TRdAniLayer& l) { l.SetInflate(-12); }},
                                              {"pie",
                                               [](TRdAniLayer&
                                                      l) { l.SetPieSweep(200), l.SetRotate(10); }},
                                              {"blurred", [](TRdAniLayer& l) { l.SetBlur(4); }},
                                              {"stretched and turned",
                                               [](
                                                   TRdAniLayer&
                                                       l) { l.SetStretch(true), l.SetRotate(20); }},
                                              {"text below, centred and wrapped",
                                               [](TRdAniLayer& l) {
                                                   l.ClearImage();
                                                   l.SetText(
                                                       "one two three four five six seven eight "
                                                       "nine ten eleven");
                                                   l.SetTextLeft(30), l.SetTextTop(40),
                                                       l.SetTextWidth(50), l.SetTextHeight(14);
                                                   l.SetWordWrap(true),
                                                       l.SetTextAlignV(taVerticalCenter);
                                               }},
                                              {"text shifted", [](TRdAniLayer& l) {
                                                   l.SetText("Shifted text"), l.SetTextLeft(10),
                                                       l.SetTextTop(5);
                                                   l.SetTextWidth(70), l.SetTextHeight(20),
                                                       l.SetTextOffsetX(25), l.SetTextOffsetY(9);
                                               }}};
    for (bool simple : {false, true}) {
        for (auto& [name, set] : config) {
            TRdAnimator anim;
            TRdAniLayer& l = anim.Layers().Add();
            l.SetImage(Pattern(36, 28, 5, false));
            l.SetImageLeft(50);
            l.SetImageTop(30);
            set(l);
            TRect bounds = TRdAnimator::LayerBounds(l, 150, 100);
            TImage out(150, 100, 0);
            {
                auto canvas = platform::CreateImageCanvas(out);
                if (simple)
                    anim.PaintLayersSimple(*canvas, 150, 100);
                else
                    anim.PaintLayers(*canvas, 150, 100);
            }
            int drawn = 0, outside = 0;
            for (int y = 0; y < 100; ++y)
                for (int x = 0; x < 150; ++x) {
                    if (out.Pixel(x, y) == 0) continue;
                    ++drawn;
                    outside += !bounds.Contains(x, y);
                }
            EXPECT_GT(drawn, 0) << name;
            EXPECT_EQ(outside, 0) << name << (simple ? " (simple renderer)" : "");
        }
    }
}

TEST(AnimatorCache, InvisibleOrOffBoxLayersCoverNothingAndTransparentTextKeepsItsRectangle) {
    TRdAnimator anim;
    TRdAniLayer& l = anim.Layers().Add();
    l.SetImage(TImage(20, 20, 0xFFFFFFFF));
    l.SetImageLeft(200);  // right of a 150-pixel box: nothing of the layer is drawn
    l.SetText("never");
    EXPECT_TRUE(TRdAnimator::LayerBounds(l, 150, 100).IsEmpty());
    l.SetImageLeft(10);
    l.SetVisible(false);
    EXPECT_TRUE(TRdAnimator::LayerBounds(l, 150, 100).IsEmpty());
    l.SetVisible(true);
    l.ClearImage();
    l.SetOpacity(0);  // not drawn, but measured for the mouse
    l.SetTextLeft(40), l.SetTextTop(30), l.SetTextWidth(60), l.SetTextHeight(20);
    TRect b = TRdAnimator::LayerBounds(l, 150, 100);
    EXPECT_LE(b.Left, 40);
    EXPECT_GE(b.Right, 100);
    EXPECT_LE(b.Top, 30);
    EXPECT_GE(b.Bottom, 50);
}

TEST(AnimatorCache, AnUnchangedFadedPictureIsPreparedOnceAndAChangeMakesItAgain) {
    TRdAnimator anim;
    TRdAniLayer& l = anim.Layers().Add();
    l.SetImage(TImage(10, 10, 0xFF204060));
    l.SetOpacity(128);
    l.SetBlur(1);
    testcontrols::TRecordingCanvas c1, c2, c3;
    anim.PaintLayers(c1, 100, 100);
    ASSERT_EQ(c1.Of("image").size(), 1u);
    const TImage* first = c1.Of("image")[0].Image;
    first->NativeCache() = std::make_shared<int>(1);  // as a backend keeps its converted form
    anim.PaintLayers(c2, 100, 100);
    ASSERT_EQ(c2.Of("image").size(), 1u);
    EXPECT_EQ(c2.Of("image")[0].Image, first);
    EXPECT_TRUE(first->NativeCache() != nullptr);                     // not converted again
    EXPECT_EQ(platform::AlphaOf(c2.Of("image")[0].FirstPixel), 128);  // blurred, then faded
    l.SetOpacity(64);
    anim.PaintLayers(c3, 100, 100);
    ASSERT_EQ(c3.Of("image").size(), 1u);
    EXPECT_EQ(platform::AlphaOf(c3.Of("image")[0].FirstPixel), 64);
    EXPECT_EQ(platform::AlphaOf(l.Image().Pixel(0, 0)), 255);  // the layer's own stays whole
}

TEST(AnimatorCache, LayersAPartialPaintPassesOverKeepOrDropTheirTextBounds) {
    TForm form(300, 100);
    TPaintBox box;
    box.SetParent(&form);
    box.SetBounds(0, 0, 300, 100);
    TRdAnimator anim;
    anim.SetDrawBox(&box);
    TRdAniLayer& left = anim.Layers().Add();
    left.SetText("left");
    left.SetTextLeft(10), left.SetTextTop(10), left.SetTextWidth(60), left.SetTextHeight(20);
    TRdAniLayer& right = anim.Layers().Add();
    right.SetText("right");
    right.SetTextLeft(200), right.SetTextTop(10), right.SetTextWidth(60), right.SetTextHeight(20);
    right.SetOpacity(0);
    TImage target(300, 100);
    auto canvas = platform::CreateImageCanvas(target);
    auto paintPending = [&] {
        TRect dirty = form.DirtyRect();
        form.PaintTo(*canvas, &dirty);
    };
    form.PaintTo(*canvas);
    ASSERT_FALSE(left.TextBounds().IsEmpty());
    ASSERT_FALSE(right.TextBounds().IsEmpty());
    // A transparent text moves: it is measured again where it went, so the mouse finds it.
    right.SetTextLeft(150);
    paintPending();
    EXPECT_GE(right.TextBounds().Left, 150);
    EXPECT_EQ(anim.LayerAt(right.TextBounds().Left + 2, 20), &right);
    // Passed over, and still where it is drawn.
    TRect kept = left.TextBounds();
    ASSERT_FALSE(kept.IsEmpty());
    EXPECT_EQ(anim.LayerAt(kept.Left + 1, 20), &left);
    // A text taken away leaves nothing for the mouse, though no paint draws the layer again.
    left.SetText("");
    paintPending();
    EXPECT_TRUE(left.TextBounds().IsEmpty());
    EXPECT_EQ(anim.LayerAt(kept.Left + 1, 20), nullptr);
}
