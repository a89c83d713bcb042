// Layer properties: defaults, change marking, angle reduction, z-order, image index.
#include <gtest/gtest.h>

#include "controls/animator.h"

using namespace controls;

TEST(AnimatorLayer, DefaultsOfANewLayer) {
    TRdAnimator anim;
    anim.Layers().Add();
    TRdAniLayer& l = anim.Layers().Add();
    EXPECT_EQ(l.Name(), "layer_1");
    EXPECT_EQ(l.Cursor(), TCursor::Default);
    EXPECT_EQ(l.ImageLeft(), 0);
    EXPECT_EQ(l.ImageWidth(), 0);
    EXPECT_EQ(l.TextAlignH(), taCenter);
    EXPECT_EQ(l.TextAlignV(), taVerticalCenter);
    EXPECT_EQ(l.TextWidth(), -1);
    EXPECT_EQ(l.TextHeight(), -1);
    EXPECT_FALSE(l.WordWrap());
    EXPECT_EQ(l.Ellipsis(), epNone);
    EXPECT_TRUE(l.Visible());
    EXPECT_TRUE(l.AutoSize());
    EXPECT_FALSE(l.Stretch());
    EXPECT_EQ(l.Opacity(), 255);
    EXPECT_EQ(l.Blur(), 0);
    EXPECT_EQ(l.PieStart(), 0.0f);
    EXPECT_EQ(l.PieSweep(), 360.0f);
    EXPECT_EQ(l.TransparentColor(), clNone);
    EXPECT_EQ(l.ZOrder(), 1);
    EXPECT_EQ(l.ImageIndex(), -1);
    EXPECT_EQ(l.Frames(), 0u);
    EXPECT_EQ(anim.Color(), clNone);
    EXPECT_EQ(anim.Quality(), quNormal);
    EXPECT_EQ(anim.TextStyle(), tsNone);
    EXPECT_EQ(anim.FPS(), 30);
    EXPECT_FALSE(anim.Animate());
    EXPECT_TRUE(anim.Visible());
}

TEST(AnimatorLayer, AnglesLoseWholeTurnsOnlyOutsideOneTurn) {
    EXPECT_FLOAT_EQ(ReduceAngle(370), 10);
    EXPECT_FLOAT_EQ(ReduceAngle(-725), -5);
    EXPECT_FLOAT_EQ(ReduceAngle(360), 360);
    EXPECT_FLOAT_EQ(ReduceAngle(-360), -360);
    EXPECT_FLOAT_EQ(ReduceAngle(720), 0);
    EXPECT_FLOAT_EQ(ReduceAngle(400.5f), 40.5f);
    TRdAnimator anim;
    TRdAniLayer& l = anim.Layers().Add();
    l.SetRotate(370);
    EXPECT_FLOAT_EQ(l.Rotate(), 10);
    l.SetPieStart(-725);
    EXPECT_FLOAT_EQ(l.PieStart(), -5);
    l.SetPieSweep(1080 + 90);
    EXPECT_FLOAT_EQ(l.PieSweep(), 90);
}

TEST(AnimatorLayer, SettersMarkChangesOnlyWhenTheValueDiffers) {
    TRdAnimator anim;
    TRdAniLayer& l = anim.Layers().Add();
    l.SetOpacity(255);
    l.SetText("");
    EXPECT_EQ(l.Frames(), 0u);
    l.SetOpacity(10);
    EXPECT_EQ(l.Frames(), 1u);
    l.SetOpacity(10);
    l.SetRotate(370);
    l.SetRotate(10);  // same after reduction
    EXPECT_EQ(l.Frames(), 2u);
    TFont f = l.Font();
    l.SetFont(f);
    EXPECT_EQ(l.Frames(), 2u);
    f.Color = Rgb(1, 2, 3);
    l.SetFont(f);
    EXPECT_EQ(l.Frames(), 3u);
}

TEST(AnimatorLayer, ZOrderMovesAndClamps) {
    TRdAnimator anim;
    for (int i = 0; i < 43; ++i) anim.Layers().Add();
    TRdAniLayer* l5 = &anim.Layers()[5];
    l5->SetZOrder(100);
    EXPECT_EQ(l5->ZOrder(), 42);
    EXPECT_EQ(&anim.Layers()[42], l5);
    EXPECT_EQ(anim.Layers()[5].Name(), "layer_6");  // the rest moved down
    l5->SetZOrder(-3);
    EXPECT_EQ(&anim.Layers()[0], l5);
    EXPECT_EQ(anim.Layers()[1].Name(), "layer_0");
}

TEST(AnimatorLayer, PictureSetsSizeAndImageIndexPicksOrClears) {
    TRdAnimator anim;
    TRdAniLayer& l = anim.Layers().Add();
    l.SetImage(platform::TImage(30, 20, 0xFF112233));
    EXPECT_EQ(l.ImageWidth(), 30);
    EXPECT_EQ(l.ImageHeight(), 20);
    l.SetImageWidth(5);
    l.SetAutoSize(false);
    l.SetAutoSize(true);
    EXPECT_EQ(l.ImageWidth(), 30);  // switching AutoSize on takes the picture's size again

    l.SetImageIndex(0);  // no list: nothing happens, index stays -1
    EXPECT_EQ(l.ImageIndex(), -1);
    EXPECT_EQ(l.ImageWidth(), 30);
    l.SetImages({platform::TImage(4, 4), platform::TImage(8, 6)});
    EXPECT_EQ(l.ImageCount(), 2);
    l.SetImageIndex(1);
    EXPECT_EQ(l.ImageIndex(), 1);
    EXPECT_EQ(l.ImageWidth(), 8);
    EXPECT_EQ(l.ImageHeight(), 6);
    l.SetImageIndex(2);  // outside: empty picture, stored as -1
    EXPECT_EQ(l.ImageIndex(), -1);
    EXPECT_TRUE(l.Image().Empty());
    EXPECT_EQ(l.ImageWidth(), 0);
}

TEST(AnimatorLayer, HitRectJoinsPictureAndTextAndInflates) {
    TRdAnimator anim;
    TRdAniLayer& l = anim.Layers().Add();
    EXPECT_TRUE(l.HitRect().IsEmpty());
    l.SetImage(platform::TImage(10, 10));
    l.SetImageLeft(100);
    l.SetTextBounds({120, 0, 150, 5});
    EXPECT_EQ(l.HitRect(), (TRect{100, 0, 150, 10}));
    l.SetInflate(3);
    EXPECT_EQ(l.HitRect(), (TRect{97, -3, 153, 13}));
}
