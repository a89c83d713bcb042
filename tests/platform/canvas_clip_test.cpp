// A draw under a clip must change exactly what the same draw without the clip changes inside
// the clip, and nothing outside it: pictures drawn pixel for pixel, from part of a picture,
// faded, scaled and turned, and fills with whole and fractional edges, at every drawing
// quality, under clips that cut every side, miss, contain, nest and follow a moved origin.
// The canvases cut such draws to the clip before they reach the drawing engine; a cut one
// pixel off, or a source that does not move with its destination, shows here.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/canvas.h"
#include "platform/image.h"
#include "tests/support/pixels.h"

using platform::TArgb;
using platform::TCanvas;
using platform::TImage;
using platform::TRectF;

namespace {

constexpr int kW = 64, kH = 48;

// Translucent pictures here reach down to alpha 40.
TImage Pattern(int w, int h, uint32_t seed, bool translucent) {
    return testsupport::PixelPattern(w, h, seed, translucent ? 40 : 255);
}

struct TClipCase {
    std::string Name;
    std::vector<TRectF> Clips;  // intersected one after the other
    float OriginX = 0, OriginY = 0;
    platform::TRect Mask;  // the pixels the clip lets through, on the surface
};

using TDraw = std::function<void(TCanvas&)>;

TImage Drawn(const TImage& base, const TDraw& draw, const TClipCase* clip,
             const platform::TRenderQuality& quality) {
    TImage out = base;
    auto canvas = platform::CreateImageCanvas(out);
    canvas->SetQuality(quality);
    canvas->Save();
    if (clip) {
        canvas->Translate(clip->OriginX, clip->OriginY);
        for (const TRectF& r : clip->Clips) canvas->IntersectClip(r);
    }
    draw(*canvas);
    canvas->Restore();
    canvas->Flush();
    return out;
}

}  // namespace

TEST(CanvasClip, AClippedDrawChangesWhatTheWholeDrawChangesInsideTheClipOnly) {
    const TImage picture = Pattern(30, 22, 5, true);
    const TImage solid = Pattern(30, 22, 9, false);
    struct TDrawCase {
        std::string Name;
        TDraw Draw;
        // Scaled or turned: the engine samples the picture, and Cairo starts its sampling
        // steps at the clip's corner, so its colours may round a few levels apart, and its
        // nearest-pixel sampling takes the neighbouring pixel on some columns (up to a fifth of
        // the clip is let through beyond the tolerance). Such a draw is never cut before it
        // reaches the engine; one cut as if drawn pixel for pixel would move the picture, and
        // nearly every pixel of this pattern would differ.
        int Tolerance = 0;
    };
    auto image = [](const TImage& p, TRectF dest, TRectF source, uint8_t opacity) -> TDraw {
        return [&p, dest, source, opacity](TCanvas& c) { c.DrawImage(p, dest, source, opacity); };
    };
    auto fill = [](TRectF rect, TArgb colour) -> TDraw {
        return [rect, colour](TCanvas& c) { c.FillRect(rect, colour); };
    };
    // The draws are made in the coordinates of the origin the clip case moves to; the
    // unclipped reference is drawn with the same origin.
    const std::vector<TDrawCase> draws = {
        {"picture pixel for pixel", image(picture, {12, 10, 30, 22}, {0, 0, 30, 22}, 255)},
        {"opaque picture", image(solid, {12, 10, 30, 22}, {0, 0, 30, 22}, 255)},
        {"part of a picture", image(picture, {12, 10, 14, 9}, {7, 5, 14, 9}, 255)},
        {"picture reaching past the surface's edge",
         image(picture, {-8, 34, 30, 22}, {0, 0, 30, 22}, 255)},
        {"faded picture", image(picture, {12, 10, 30, 22}, {0, 0, 30, 22}, 120)},
        {"scaled picture", image(picture, {12, 10, 45, 29}, {0, 0, 30, 22}, 255), 3},
        {"picture at half a pixel", image(solid, {12.5f, 10, 30, 22}, {0, 0, 30, 22}, 255), 3},
        {"turned picture",
         [&](TCanvas& c) {
             c.SetTransform(platform::TTransform::Translation(-27, -21)
                                .Then(platform::TTransform::Rotation(25))
                                .Then(platform::TTransform::Translation(27, 21)));
             c.DrawImage(picture, {12, 10, 30, 22}, {0, 0, 30, 22}, 255);
             c.ResetTransform();
         },
         3},
        {"opaque fill", fill({12, 10, 36, 25}, 0xFF2050A0u)},
        {"translucent fill", fill({12, 10, 36, 25}, 0x80E0C040u)},
        {"fill with fractional edges", fill({12.3f, 9.6f, 35.5f, 24.7f}, 0xC040A020u)},
        {"fill of more than the surface", fill({-100, -100, 400, 400}, 0x9030C0F0u)},
    };
    const std::vector<TClipCase> clips = {
        {"inside", {{20, 14, 12, 9}}, 0, 0, {20, 14, 32, 23}},
        {"cutting the left and top", {{0, 0, 18, 15}}, 0, 0, {0, 0, 18, 15}},
        {"cutting the right and bottom", {{30, 24, 34, 24}}, 0, 0, {30, 24, 64, 48}},
        {"a band across", {{0, 19, 64, 3}}, 0, 0, {0, 19, 64, 22}},
        {"missing everything drawn", {{50, 40, 10, 6}}, 0, 0, {50, 40, 60, 46}},
        {"containing everything", {{0, 0, 64, 48}}, 0, 0, {0, 0, 64, 48}},
        {"two nested clips", {{5, 5, 40, 30}, {25, 15, 30, 30}}, 0, 0, {25, 15, 45, 35}},
        {"a moved origin", {{10, 10, 20, 12}}, 7, 4, {17, 14, 37, 26}},
    };
    using namespace platform;
    const std::vector<std::pair<std::string, TRenderQuality>> qualities = {
        {"low",
         {TSmoothing::HighSpeed, TInterpolation::LowQuality, TCompositing::HighSpeed,
          TTextHint::SingleBitPerPixel}},
        {"default", {}},
        {"high",
         {TSmoothing::HighQuality, TInterpolation::HighQuality, TCompositing::AssumeLinear,
          TTextHint::AntiAlias}},
    };
    auto channelsApart = [](TArgb a, TArgb b) {
        int most = 0;
        for (int shift = 0; shift < 32; shift += 8)
            most = std::max(most, std::abs(int((a >> shift) & 255) - int((b >> shift) & 255)));
        return most;
    };
    for (bool translucentBase : {false, true}) {
        const TImage base = Pattern(kW, kH, 77, translucentBase);
        // The surface as a canvas leaves it when nothing is drawn (a translucent picture may
        // come back rounded from the engine's premultiplied form).
        const TImage untouched = Drawn(base, [](TCanvas&) {}, nullptr, {});
        for (const auto& [quality, q] : qualities)
            for (const TDrawCase& draw : draws)
                for (const TClipCase& clip : clips) {
                    const TClipCase moved{"", {}, clip.OriginX, clip.OriginY, {}};
                    const TImage whole = Drawn(base, draw.Draw, &moved, q);
                    const TImage cut = Drawn(base, draw.Draw, &clip, q);
                    int inside = 0, outside = 0;
                    for (int y = 0; y < kH; ++y)
                        for (int x = 0; x < kW; ++x) {
                            if (!clip.Mask.Contains(x, y))
                                outside += cut.Pixel(x, y) != untouched.Pixel(x, y);
                            else
                                inside += channelsApart(cut.Pixel(x, y), whole.Pixel(x, y)) >
                                          draw.Tolerance;
                        }
                    const std::string where = draw.Name + ", clip " + clip.Name + ", " + quality +
                                              (translucentBase ? ", translucent base" : "");
                    const int allowed =
                        draw.Tolerance ? clip.Mask.Width() * clip.Mask.Height() / 5 : 0;
                    EXPECT_LE(inside, allowed)
                        << where << ": inside the clip unlike the whole draw";
                    EXPECT_EQ(outside, 0) << where << ": changed outside the clip";
                }
    }
}

TEST(CanvasClip, ANestedClipIsUndoneWithItsSaveAndCutsNothingAfterwards) {
    // The cut follows the clip in force at each draw, not one left from before a Restore.
    const TImage picture = Pattern(40, 30, 3, true);
    const TImage base = Pattern(kW, kH, 11, false);
    TImage out = base;
    {
        auto canvas = platform::CreateImageCanvas(out);
        canvas->Save();
        canvas->IntersectClip({0, 0, 10, 10});
        canvas->DrawImage(picture, {4, 4, 40, 30}, {0, 0, 40, 30}, 255);
        canvas->Restore();
        canvas->DrawImage(picture, {4, 4, 40, 30}, {0, 0, 40, 30}, 255);
        canvas->FillRect({44, 34, 20, 14}, 0xFF102030u);
        canvas->Flush();
    }
    TImage twice = base;
    {
        auto canvas = platform::CreateImageCanvas(twice);
        canvas->Save();
        canvas->IntersectClip({0, 0, 10, 10});
        canvas->DrawImage(picture, {4, 4, 40, 30}, {0, 0, 40, 30}, 255);
        canvas->Restore();
        canvas->Save();
        canvas->IntersectClip({0, 0, kW, kH});
        canvas->DrawImage(picture, {4, 4, 40, 30}, {0, 0, 40, 30}, 255);
        canvas->Restore();
        canvas->FillRect({44, 34, 20, 14}, 0xFF102030u);
        canvas->Flush();
    }
    EXPECT_EQ(testsupport::DifferentPixels(out, twice), 0);
    EXPECT_EQ(out.Pixel(63, 47), 0xFF102030u);  // the fill after the Restore reached its corner
    EXPECT_NE(out.Pixel(43, 33), base.Pixel(43, 33));  // and the picture its own
}

TEST(CanvasClip, AScaledPictureUnderAClipIsStillScaled) {
    // Four blocks of 2 × 2 pixels, drawn five times larger: each block's inner part keeps its
    // colour exactly, with or without a clip, whether the clip cuts the picture or not.
    const TArgb colours[4] = {0xFFD02010u, 0xFF20C030u, 0xFF3040E0u, 0xFFE0E020u};
    TImage picture(4, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) picture.SetPixel(x, y, colours[(y / 2) * 2 + x / 2]);
    for (const TRectF& clip :
         {TRectF{0, 0, kW, kH}, TRectF{12, 12, 16, 16}, TRectF{14, 0, 4, 48}}) {
        TImage out(kW, kH, 0xFF000000u);
        {
            auto canvas = platform::CreateImageCanvas(out);
            canvas->IntersectClip(clip);
            canvas->DrawImage(picture, {10, 10, 20, 20}, {0, 0, 4, 4}, 255);
            canvas->Flush();
        }
        const int points[4][2] = {{14, 14}, {25, 14}, {14, 25}, {25, 25}};
        for (int i = 0; i < 4; ++i) {
            const int x = points[i][0], y = points[i][1];
            const bool shown = x >= clip.X && x < clip.Right() && y >= clip.Y && y < clip.Bottom();
            EXPECT_EQ(out.Pixel(x, y), shown ? colours[i] : 0xFF000000u)
                << "block " << i << " under the clip at " << clip.X << ", " << clip.Y;
        }
    }
}
