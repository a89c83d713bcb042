// Pixel results of opacity, colour key and blur, on their own and through the image canvas.
#include "controls/animator_pixels.h"

#include <gtest/gtest.h>

#include "controls/animator.h"
#include "platform/canvas.h"

using namespace controls;
using platform::TImage;

TEST(AnimatorPixels, OpacityRoundsToTheNearestAlpha) {
    TImage img(4, 1);
    img.SetPixel(0, 0, 0xFF102030);
    img.SetPixel(1, 0, 0x80102030);
    img.SetPixel(2, 0, 0x01102030);
    img.SetPixel(3, 0, 0x00102030);
    ApplyOpacityAndKey(img, 128, clNone, 0);
    EXPECT_EQ(img.Pixel(0, 0), 0x80102030u);  // 255 × 128 / 255 = 128
    EXPECT_EQ(img.Pixel(1, 0), 0x40102030u);  // 128 × 128 / 255 = 64.25 → 64
    EXPECT_EQ(img.Pixel(2, 0), 0x01102030u);  // 0.50 → 1
    EXPECT_EQ(img.Pixel(3, 0), 0x00102030u);
    TImage full(1, 1, 0x7F010203);
    ApplyOpacityAndKey(full, 255, clNone, 0);
    EXPECT_EQ(full.Pixel(0, 0), 0x7F010203u);
}

TEST(AnimatorPixels, ColourKeyToleranceIsInclusivePerChannel) {
    TImage img(5, 1);
    img.SetPixel(0, 0, 0xFFFF00FF);           // the key
    img.SetPixel(1, 0, 0xFFF505F5);           // 10 off in every channel
    img.SetPixel(2, 0, 0xFFF40000 | 0x00FF);  // red 11 off
    img.SetPixel(3, 0, 0x80FF00FF);           // the key, half transparent
    img.SetPixel(4, 0, 0xFF00FF00);
    ApplyOpacityAndKey(img, 255, Rgb(255, 0, 255), 10);
    EXPECT_EQ(img.Pixel(0, 0), 0u);
    EXPECT_EQ(img.Pixel(1, 0), 0u);
    EXPECT_EQ(img.Pixel(2, 0), 0xFFF400FFu);
    EXPECT_EQ(img.Pixel(3, 0), 0u);
    EXPECT_EQ(img.Pixel(4, 0), 0xFF00FF00u);
    TImage exact(2, 1);
    exact.SetPixel(0, 0, 0xFFFF00FF);
    exact.SetPixel(1, 0, 0xFFFE00FF);
    ApplyOpacityAndKey(exact, 255, Rgb(255, 0, 255), 0);
    EXPECT_EQ(exact.Pixel(0, 0), 0u);
    EXPECT_EQ(exact.Pixel(1, 0), 0xFFFE00FFu);
}

TEST(AnimatorPixels, BlurSpreadsKeepsUniformAreasAndTotalCoverage) {
    TImage flat(9, 9, 0xFF406080);
    BlurImage(flat, 2);
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 9; ++x) ASSERT_EQ(flat.Pixel(x, y), 0xFF406080u);

    TImage dot(21, 21, 0);
    dot.SetPixel(10, 10, 0xFFFFFFFF);
    BlurImage(dot, 2);
    EXPECT_GT(platform::AlphaOf(dot.Pixel(10, 10)), 0);
    EXPECT_LT(platform::AlphaOf(dot.Pixel(10, 10)), 255);
    EXPECT_GT(platform::AlphaOf(dot.Pixel(13, 10)), 0);  // two passes of radius 2 reach 4
    EXPECT_EQ(platform::AlphaOf(dot.Pixel(15, 10)), 0);
    EXPECT_EQ(platform::RedOf(dot.Pixel(12, 10)), 255);  // colour stays white, no dark halo
    EXPECT_EQ(dot.Pixel(12, 10) & 0xFFFFFF, 0xFFFFFFu);

    TImage same(3, 3, 0xFF123456);
    TImage before = same;
    BlurImage(same, 0);
    EXPECT_EQ(same.Pixel(1, 1), before.Pixel(1, 1));
}

TEST(AnimatorPixels, ImageCanvasShowsOpacityAndKeyResults) {
    TRdAnimator anim;
    TRdAniLayer& l = anim.Layers().Add();
    TImage pic(4, 4, 0xFFFF0000);
    pic.SetPixel(0, 0, 0xFFFF00FF);
    l.SetImage(pic);
    l.SetTransparentColor(Rgb(255, 0, 255));
    l.SetOpacity(128);
    anim.SetColor(Rgb(0, 0, 255));
    TImage target(8, 8, 0);
    {
        auto canvas = platform::CreateImageCanvas(target);
        anim.PaintLayers(*canvas, 8, 8);
    }
    EXPECT_EQ(target.Pixel(0, 0), 0xFF0000FFu);  // keyed pixel shows the background
    platform::TArgb mixed = target.Pixel(2, 2);  // half red over blue
    EXPECT_NEAR(platform::RedOf(mixed), 128, 2);
    EXPECT_NEAR(platform::BlueOf(mixed), 127, 2);
    EXPECT_EQ(target.Pixel(6, 6), 0xFF0000FFu);  // outside the picture
}

TEST(AnimatorPixels, ImageCanvasQuarterPieFromTwelveToThree) {
    TRdAnimator anim;
    anim.SetQuality(quLow);
    TRdAniLayer& l = anim.Layers().Add();
    l.SetImage(TImage(40, 40, 0xFFFFFFFF));
    l.SetPieSweep(90);
    TImage target(40, 40, 0xFF000000);
    {
        auto canvas = platform::CreateImageCanvas(target);
        anim.PaintLayers(*canvas, 40, 40);
    }
    EXPECT_EQ(target.Pixel(28, 12), 0xFFFFFFFFu);  // upper right quarter
    EXPECT_EQ(target.Pixel(12, 12), 0xFF000000u);  // upper left
    EXPECT_EQ(target.Pixel(28, 28), 0xFF000000u);  // lower right
    EXPECT_EQ(target.Pixel(12, 28), 0xFF000000u);
}

TEST(AnimatorPixels, RotationOfAQuarterTurnMovesTheMarkedCorner) {
    TImage src(4, 2, 0xFF000000);
    src.SetPixel(3, 0, 0xFFFF0000);  // top right
    TImage r = RotateImage(src, 90);
    ASSERT_EQ(r.Width(), 2);
    ASSERT_EQ(r.Height(), 4);
    EXPECT_EQ(r.Pixel(1, 3), 0xFFFF0000u);  // clockwise: top right → bottom right
}
