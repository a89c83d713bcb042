// Painting through a recording canvas: destinations, transforms, pies, text rectangles.
#include <gtest/gtest.h>

#include "controls/animator.h"
#include "controls/animator_pixels.h"
#include "tests/controls/recording_canvas.h"

using namespace controls;
using testcontrols::TRecordingCanvas;

namespace {

TRdAniLayer& PictureLayer(TRdAnimator& anim, int left, int top, int w, int h) {
    TRdAniLayer& l = anim.Layers().Add();
    l.SetImage(platform::TImage(w, h, 0xFF808080));
    l.SetImageLeft(left);
    l.SetImageTop(top);
    return l;
}

void ExpectRect(const platform::TRectF& r, float x, float y, float w, float h) {
    EXPECT_FLOAT_EQ(r.X, x);
    EXPECT_FLOAT_EQ(r.Y, y);
    EXPECT_FLOAT_EQ(r.Width, w);
    EXPECT_FLOAT_EQ(r.Height, h);
}

}  // namespace

TEST(AnimatorPaint, QualityTableAndTextStyle) {
    using namespace platform;
    auto low = TRdAnimator::RenderQuality(quLow, tsNone);
    EXPECT_EQ(low, (TRenderQuality{TSmoothing::HighSpeed, TInterpolation::LowQuality,
                                   TCompositing::HighSpeed, TTextHint::SingleBitPerPixel}));
    auto high = TRdAnimator::RenderQuality(quHigh, tsNone);
    EXPECT_EQ(high, (TRenderQuality{TSmoothing::HighQuality, TInterpolation::HighQuality,
                                    TCompositing::AssumeLinear, TTextHint::AntiAlias}));
    EXPECT_EQ(TRdAnimator::RenderQuality(quNormal, tsNone).TextHint, TTextHint::SystemDefault);
    EXPECT_EQ(TRdAnimator::RenderQuality(quLow, tsClearType).TextHint, TTextHint::ClearTypeGridFit);
    EXPECT_EQ(TRdAnimator::RenderQuality(quHigh, tsAntiAlias).Smoothing, TSmoothing::HighQuality);
}

TEST(AnimatorPaint, BackgroundFillOnlyWithAColourAndLayersInIndexOrder) {
    TRdAnimator anim;
    PictureLayer(anim, 0, 0, 10, 10);
    PictureLayer(anim, 5, 5, 10, 10).SetVisible(false);
    PictureLayer(anim, 20, 0, 10, 10);
    TRecordingCanvas c;
    anim.PaintLayers(c, 900, 300);
    ASSERT_EQ(c.Calls.size(), 2u);
    EXPECT_FLOAT_EQ(c.Calls[0].Rect.X, 0);
    EXPECT_FLOAT_EQ(c.Calls[1].Rect.X, 20);
    anim.SetColor(Rgb(8, 8, 8));
    TRecordingCanvas c2;
    anim.PaintLayers(c2, 900, 300);
    ASSERT_EQ(c2.Calls[0].Kind, "fill");
    ExpectRect(c2.Calls[0].Rect, 0, 0, 900, 300);
    EXPECT_EQ(c2.Calls[0].Color, 0xFF080808u);
    EXPECT_EQ(c2.Depth, 0);  // every Save was restored
}

TEST(AnimatorPaint, PlainAndStretchedDestinations) {
    TRdAnimator anim;
    TRdAniLayer& l = PictureLayer(anim, 44, 38, 120, 80);
    TRecordingCanvas c;
    anim.PaintLayers(c, 900, 300);
    ASSERT_EQ(c.Calls.size(), 1u);
    ExpectRect(c.Calls[0].Rect, 44, 38, 120, 80);
    ExpectRect(c.Calls[0].Source, 0, 0, 120, 80);
    EXPECT_TRUE(c.Calls[0].Transform.IsIdentity());
    l.SetStretch(true);
    TRecordingCanvas c2;
    anim.PaintLayers(c2, 900, 300);
    ExpectRect(c2.Calls[0].Rect, 0, 0, 900, 300);
}

TEST(AnimatorPaint, OutsideOrEmptyDestinationDrawsNothingOfTheLayer) {
    TRdAnimator anim;
    TRdAniLayer& l = PictureLayer(anim, 900, 0, 50, 50);  // just right of the box
    l.SetText("never");
    TRecordingCanvas c;
    anim.PaintLayers(c, 900, 300);
    EXPECT_TRUE(c.Calls.empty());
    l.SetImageLeft(10);
    l.SetImageWidth(0);
    TRecordingCanvas c2;
    anim.PaintLayers(c2, 900, 300);
    EXPECT_TRUE(c2.Calls.empty());
}

TEST(AnimatorPaint, InflateScalesAboutTheCentre) {
    TRdAnimator anim;
    TRdAniLayer& l = PictureLayer(anim, 100, 50, 100, 50);
    l.SetInflate(20);
    TRecordingCanvas c;
    anim.PaintLayers(c, 900, 300);
    ASSERT_EQ(c.Calls.size(), 1u);
    const auto& t = c.Calls[0].Transform;
    EXPECT_FLOAT_EQ(t.M11, 1.2f);
    EXPECT_FLOAT_EQ(t.M22, 1.4f);
    // The centre (150, 75) stays; the corners move out by 10 pixels each way.
    auto centre = t.Apply({150, 75});
    EXPECT_NEAR(centre.X, 150, 1e-3);
    EXPECT_NEAR(centre.Y, 75, 1e-3);
    auto corner = t.Apply({100, 50});
    EXPECT_NEAR(corner.X, 90, 1e-3);
    EXPECT_NEAR(corner.Y, 40, 1e-3);
    // An inflate that would make the picture vanish (width + inflate = 0) is not applied.
    l.SetInflate(-100);
    TRecordingCanvas c2;
    anim.PaintLayers(c2, 900, 300);
    EXPECT_TRUE(c2.Calls[0].Transform.IsIdentity());
}

TEST(AnimatorPaint, RotateTurnsClockwiseAboutTheCentre) {
    TRdAnimator anim;
    TRdAniLayer& l = PictureLayer(anim, 0, 0, 100, 100);
    l.SetRotate(90);
    TRecordingCanvas c;
    anim.PaintLayers(c, 900, 300);
    const auto& t = c.Calls[0].Transform;
    auto p = t.Apply({100, 50});  // middle of the right edge goes to the bottom middle
    EXPECT_NEAR(p.X, 50, 1e-3);
    EXPECT_NEAR(p.Y, 100, 1e-3);
    auto centre = t.Apply({50, 50});
    EXPECT_NEAR(centre.X, 50, 1e-3);
    EXPECT_NEAR(centre.Y, 50, 1e-3);
}

TEST(AnimatorPaint, PiesStartAtTwelveOClock) {
    TRdAnimator anim;
    TRdAniLayer& l = PictureLayer(anim, 10, 20, 64, 32);
    l.SetPieSweep(90);
    TRecordingCanvas c;
    anim.PaintLayers(c, 900, 300);
    auto pies = c.Of("pie");
    ASSERT_EQ(pies.size(), 1u);
    EXPECT_FLOAT_EQ(pies[0].Start, -90);
    EXPECT_FLOAT_EQ(pies[0].Sweep, 90);
    ExpectRect(pies[0].Rect, 10, 20, 64, 32);
    ExpectRect(pies[0].Texture, 10, 20, 64, 32);
    // Start 30, sweep 360: 330 degrees of difference is still a pie.
    l.SetPieStart(30);
    l.SetPieSweep(360);
    TRecordingCanvas c2;
    anim.PaintLayers(c2, 900, 300);
    EXPECT_EQ(c2.Of("pie").size(), 1u);
    EXPECT_FLOAT_EQ(c2.Of("pie")[0].Start, -60);
    l.SetPieStart(0);
    TRecordingCanvas c3;
    anim.PaintLayers(c3, 900, 300);
    EXPECT_EQ(c3.Of("image").size(), 1u);  // a full turn is the whole picture
    // Stretched: the pie is the client rectangle, the texture stays anchored at the layer.
    l.SetPieSweep(180);
    l.SetStretch(true);
    TRecordingCanvas c4;
    anim.PaintLayers(c4, 900, 300);
    ExpectRect(c4.Of("pie")[0].Rect, 0, 0, 900, 300);
    ExpectRect(c4.Of("pie")[0].Texture, 10, 20, 900, 300);
}

TEST(AnimatorPaint, TextRectangleReachesTheBoxEdgeForNegativeSizes) {
    TRdAnimator anim;
    TRdAniLayer& l = anim.Layers().Add();
    l.SetText("Scan faster");
    l.SetTextLeft(424);
    l.SetTextTop(16);
    TRecordingCanvas c;
    anim.PaintLayers(c, 900, 300);
    auto texts = c.Of("text");
    ASSERT_EQ(texts.size(), 1u);
    ExpectRect(texts[0].Rect, 424, 16, 476, 284);
    EXPECT_TRUE(texts[0].Format.NoWrap);
    EXPECT_EQ(texts[0].Format.Align, platform::TTextAlign::Center);
    EXPECT_EQ(texts[0].Format.LineAlign, platform::TTextAlign::Center);
    // Measured bounds, cut to the rectangle, are kept for hit testing: 11 chars × 7 = 77 wide,
    // centred in 476.
    EXPECT_EQ(l.TextBounds(), (TRect{424 + 200, 16 + 135, 424 + 200 + 77, 16 + 135 + 14}));
}

TEST(AnimatorPaint, ZeroSizeOrEmptyTextDrawsNoText) {
    TRdAnimator anim;
    TRdAniLayer& l = anim.Layers().Add();
    l.SetText("x");
    l.SetTextWidth(0);
    TRecordingCanvas c;
    anim.PaintLayers(c, 900, 300);
    EXPECT_TRUE(c.Of("text").empty());
    EXPECT_TRUE(l.TextBounds().IsEmpty());
}

TEST(AnimatorPaint, OffsetShiftsTheTextButClipsToTheUnshiftedRectangle) {
    TRdAnimator anim;
    TRdAniLayer& l = anim.Layers().Add();
    l.SetText("abc");
    l.SetTextAlignH(taLeftJustify);
    l.SetTextAlignV(taAlignTop);
    l.SetTextLeft(10);
    l.SetTextTop(10);
    l.SetTextWidth(100);
    l.SetTextHeight(20);
    l.SetTextOffsetX(-5);
    l.SetTextOffsetY(8);
    TRecordingCanvas c;
    anim.PaintLayers(c, 900, 300);
    auto t = c.Of("text").at(0);
    ExpectRect(t.Rect, 5, 18, 100, 20);
    ExpectRect(t.Clip, 10, 10, 100, 20);
    // Bounds: (5,18)-(26,32) cut to (10,10)-(110,30).
    EXPECT_EQ(l.TextBounds(), (TRect{10, 18, 26, 30}));
}

TEST(AnimatorPaint, WrappedTextTallerThanItsRectangleGrowsUpwards) {
    TRdAnimator anim;
    TRdAniLayer& l = anim.Layers().Add();
    l.SetText(std::string(40, 'w'));  // 280 px: 3 lines of 100 → 42 px high
    l.SetWordWrap(true);
    l.SetTextLeft(0);
    l.SetTextTop(100);
    l.SetTextWidth(100);
    l.SetTextHeight(20);
    l.SetTextAlignV(taAlignBottom);
    TRecordingCanvas c;
    anim.PaintLayers(c, 900, 300);
    auto t = c.Of("text").at(0);
    ExpectRect(t.Rect, 0, 78, 100, 42);  // up by the whole excess
    EXPECT_EQ(t.Format.LineAlign, platform::TTextAlign::Near);
    EXPECT_FALSE(t.Format.NoWrap);

    l.SetTextAlignV(taVerticalCenter);
    TRecordingCanvas c2;
    anim.PaintLayers(c2, 900, 300);
    ExpectRect(c2.Of("text").at(0).Rect, 0, 89, 100, 42);  // up by half

    l.SetTextAlignV(taAlignTop);  // near alignment: no growth
    TRecordingCanvas c3;
    anim.PaintLayers(c3, 900, 300);
    ExpectRect(c3.Of("text").at(0).Rect, 0, 100, 100, 20);

    l.SetTextAlignV(taAlignBottom);
    l.SetText("short");  // fits: unchanged, far alignment kept
    TRecordingCanvas c4;
    anim.PaintLayers(c4, 900, 300);
    ExpectRect(c4.Of("text").at(0).Rect, 0, 100, 100, 20);
    EXPECT_EQ(c4.Of("text").at(0).Format.LineAlign, platform::TTextAlign::Far);
}

TEST(AnimatorPaint, TextColourCarriesTheOpacityAndEllipsisModesMap) {
    TRdAnimator anim;
    TRdAniLayer& l = anim.Layers().Add();
    l.SetText("x");
    TFont f;
    f.Color = Rgb(238, 238, 238);
    l.SetFont(f);
    l.SetOpacity(128);
    l.SetEllipsis(epPathEllipsis);
    TRecordingCanvas c;
    anim.PaintLayers(c, 900, 300);
    EXPECT_EQ(c.Of("text").at(0).Color, 0x80EEEEEEu);
    EXPECT_EQ(c.Of("text").at(0).Format.Trimming, platform::TTrimming::EllipsisPath);
    l.SetOpacity(0);  // nothing drawn, bounds still measured for the mouse
    TRecordingCanvas c2;
    anim.PaintLayers(c2, 900, 300);
    EXPECT_TRUE(c2.Of("text").empty());
    EXPECT_FALSE(l.TextBounds().IsEmpty());
}

TEST(AnimatorPaint, OpacityAndKeyWorkOnACopyNotTheLayersPicture) {
    TRdAnimator anim;
    TRdAniLayer& l = PictureLayer(anim, 0, 0, 2, 1);
    l.SetOpacity(100);
    TRecordingCanvas c;
    anim.PaintLayers(c, 900, 300);
    auto img = c.Of("image").at(0);
    EXPECT_NE(img.Image, &l.Image());
    EXPECT_EQ(img.FirstPixel, 0x64808080u);  // 255 × 100 / 255 = 100
    EXPECT_EQ(l.Image().Pixel(0, 0), 0xFF808080u);
}

TEST(AnimatorPaint, SimpleRendererDrawsTheSameLayersWithoutTransforms) {
    TRdAnimator anim;
    TRdAniLayer& l = PictureLayer(anim, 100, 100, 40, 20);
    l.SetRotate(90);
    l.SetPieSweep(90);
    l.SetText("t");
    TRecordingCanvas c;
    anim.PaintLayersSimple(c, 900, 300);
    auto img = c.Of("image");
    ASSERT_EQ(img.size(), 1u);
    EXPECT_TRUE(img[0].Transform.IsIdentity());
    // Turned a quarter: 20 × 40 about the same centre (120, 110).
    ExpectRect(img[0].Rect, 110, 90, 20, 40);
    EXPECT_EQ(c.Of("text").size(), 1u);
}
