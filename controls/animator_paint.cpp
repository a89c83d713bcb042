// Painting of the layer animator: the drawing box's paint procedure, the full renderer
// (transforms and pies through the canvas) and the simpler one.
#include <cmath>
#include <exception>
#include <typeinfo>

#include "controls/animator.h"
#include "controls/animator_pixels.h"
#include "controls/frameclock.h"

namespace controls {
namespace {

using platform::TCanvas;
using platform::TImage;
using platform::TRenderQuality;

platform::TTextFormat LayerFormat(const TRdAniLayer& l) {
    platform::TTextFormat f;
    f.Align = l.TextAlignH() == taLeftJustify    ? platform::TTextAlign::Near
              : l.TextAlignH() == taRightJustify ? platform::TTextAlign::Far
                                                 : platform::TTextAlign::Center;
    f.LineAlign = l.TextAlignV() == taAlignTop      ? platform::TTextAlign::Near
                  : l.TextAlignV() == taAlignBottom ? platform::TTextAlign::Far
                                                    : platform::TTextAlign::Center;
    f.NoWrap = !l.WordWrap();
    switch (l.Ellipsis()) {
        case epEndEllipsis:
            f.Trimming = platform::TTrimming::EllipsisCharacter;
            break;
        case epWordEllipsis:
            f.Trimming = platform::TTrimming::EllipsisWord;
            break;
        case epPathEllipsis:
            f.Trimming = platform::TTrimming::EllipsisPath;
            break;
        default:
            f.Trimming = platform::TTrimming::Character;
            break;
    }
    return f;
}

TRectF Measure(TCanvas& canvas, TRdAniLayer::TTextMeasure& cache, const std::string& text,
               const TFont& font, const TRectF& rect, const platform::TTextFormat& format) {
    const void* kind = &typeid(canvas);
    if (cache.Valid && cache.Kind == kind && cache.Rect == rect && cache.Format == format &&
        cache.Text == text && cache.Font == font)
        return cache.Result;
    cache.Text = text;
    cache.Font = font;
    cache.Rect = rect;
    cache.Format = format;
    cache.Kind = kind;
    cache.Result = canvas.MeasureText(text, font, rect, format);
    cache.Valid = true;
    return cache.Result;
}

TRect RoundRect(const TRectF& r) {
    return {int(std::lround(r.X)), int(std::lround(r.Y)), int(std::lround(r.Right())),
            int(std::lround(r.Bottom()))};
}

}  // namespace

TRenderQuality TRdAnimator::RenderQuality(TRdAniQuality quality, TRdAniTextStyle style) {
    using namespace platform;
    TRenderQuality q;
    switch (quality) {
        case quLow:
            q = {TSmoothing::HighSpeed, TInterpolation::LowQuality, TCompositing::HighSpeed,
                 TTextHint::SingleBitPerPixel};
            break;
        case quHigh:
            q = {TSmoothing::HighQuality, TInterpolation::HighQuality, TCompositing::AssumeLinear,
                 TTextHint::AntiAlias};
            break;
        default:
            q = {TSmoothing::None, TInterpolation::Bilinear, TCompositing::Default,
                 TTextHint::SystemDefault};
            break;
    }
    if (style == tsAntiAlias) q.TextHint = TTextHint::AntiAlias;
    if (style == tsClearType) q.TextHint = TTextHint::ClearTypeGridFit;
    return q;
}

void TRdAnimator::BoxPaint(TCanvas& canvas) {
    if (!FDrawBox || FDrawBox->ClientRect().IsEmpty()) return;
    struct TPaintGuard {
        TRdAnimator& A;
        bool Outer;
        explicit TPaintGuard(TRdAnimator& a) : A(a), Outer(!a.FPainting) { A.FPainting = true; }
        ~TPaintGuard() {
            if (!Outer) return;
            A.FPainting = false;
            if (A.FClock) A.FClock->Resume();  // a step refused during the paint
        }
    } guard(*this);
    if (FSavedPaintProc) FSavedPaintProc(canvas);
    if (!FVisible) return;
    int w = FDrawBox->Width(), h = FDrawBox->Height();
    // The part the window repaints: a layer outside it would be drawn only to be clipped away.
    const TRect* dirty = FDrawBox->PaintingDirty();
    if (!ForceSimpleRenderer) {
        try {
            PaintLayers(canvas, w, h, dirty);
            return;
        } catch (const std::exception&) {
            // Fall through to the simpler renderer.
        }
    }
    PaintLayersSimple(canvas, w, h, dirty);
}

void TRdAnimator::PaintLayers(TCanvas& canvas, int boxW, int boxH, const TRect* only) {
    PaintAll(canvas, boxW, boxH, only, false);
}

void TRdAnimator::PaintLayersSimple(TCanvas& canvas, int boxW, int boxH, const TRect* only) {
    PaintAll(canvas, boxW, boxH, only, true);
}

void TRdAnimator::PaintAll(TCanvas& canvas, int boxW, int boxH, const TRect* only, bool simple) {
    canvas.Save();
    canvas.SetQuality(RenderQuality(simple ? quLow : FQuality, FTextStyle));
    if (FColor != clNone) canvas.FillRect({0, 0, float(boxW), float(boxH)}, FColor | 0xFF000000u);
    for (int i = 0; i < FLayers.Count(); ++i) {
        TRdAniLayer& l = FLayers[i];
        if (!l.Visible()) continue;
        if (only) {
            TRect b = LayerBounds(l, boxW, boxH);
            if (b.IsEmpty()) {
                l.SetTextBounds({});  // what its paint would leave: it draws and measures nothing
                continue;
            }
            if (b.Right <= only->Left || b.Left >= only->Right || b.Bottom <= only->Top ||
                b.Top >= only->Bottom)
                continue;  // its pixels and its text bounds are as the last paint left them
        }
        PaintLayer(canvas, l, boxW, boxH, simple);
    }
    canvas.Restore();
}

const TImage& TRdAnimator::PreparedPicture(TRdAniLayer& l) {
    TRdAniLayer::TPaintCache& cache = l.PaintCache();
    const uint64_t picture = l.PictureGeneration();
    const uint8_t blur = l.Blur(), opacity = l.Opacity(), toler = l.TransparentToler();
    const TColor key = l.TransparentColor();
    TRdAniLayer::TPrepared& prepared = cache.Prepared;
    if (prepared.Matches(picture, blur, opacity, key, toler)) return prepared.Image;
    // The blur costs most and changes least: kept apart, so that a fade of a blurred picture
    // only redoes the opacity.
    const TImage* source = &l.Image();
    TRdAniLayer::TPrepared& blurred = cache.Blurred;
    if (blur != 0) {
        if (!blurred.Matches(picture, blur, 255, clNone, 0)) {
            blurred = {picture, blur, 255, 0, clNone, l.Image(), true};
            BlurImage(blurred.Image, blur);
        }
        source = &blurred.Image;
        if (opacity == 255 && key == clNone) {
            prepared = {};
            return blurred.Image;
        }
    } else {
        blurred = {};
    }
    prepared = {picture, blur, opacity, toler, key, *source, true};
    ApplyOpacityAndKey(prepared.Image, opacity, key, toler);
    return prepared.Image;
}

void TRdAnimator::PaintLayer(TCanvas& canvas, TRdAniLayer& l, int boxW, int boxH, bool simple) {
    l.SetTextBounds({});
    const TImage& picture = l.Image();
    if (!picture.Empty()) {
        TRectF client{0, 0, float(boxW), float(boxH)};
        const TRectF dest = l.PictureDestination(boxW, boxH);
        if (dest.IsEmpty() || !dest.Intersects(client)) return;  // text included
        const TImage* pic = &picture;
        if (l.Opacity() != 0 && NeedsPixelWork(l.Blur(), l.Opacity(), l.TransparentColor())) {
            pic = &PreparedPicture(l);
        } else {
            // Nothing to prepare for now: the copies would only hold memory.
            l.PaintCache().Prepared = {};
            l.PaintCache().Blurred = {};
        }
        // A fully transparent picture adds nothing to the surface.
        if (l.Opacity() != 0) {
            float sx, sy;
            l.InflateScale(sx, sy);
            float cx = dest.X + dest.Width / 2, cy = dest.Y + dest.Height / 2;
            TRectF source{0, 0, float(pic->Width()), float(pic->Height())};
            if (simple) {
                TImage turned;
                if (l.Rotate() != 0) {
                    turned = RotateImage(*pic, l.Rotate());
                    pic = &turned;
                }
                float gw = float(pic->Width()) / float(picture.Width()) * dest.Width * sx;
                float gh = float(pic->Height()) / float(picture.Height()) * dest.Height * sy;
                canvas.DrawImage(*pic, {cx - gw / 2, cy - gh / 2, gw, gh},
                                 {0, 0, float(pic->Width()), float(pic->Height())}, 255);
            } else {
                using platform::TTransform;
                TTransform t = TTransform::Translation(-cx, -cy);
                if (l.Rotate() != 0) t = t.Then(TTransform::Rotation(l.Rotate()));
                t = t.Then(TTransform::Scaling(sx, sy)).Then(TTransform::Translation(cx, cy));
                bool transformed = !(sx == 1 && sy == 1 && l.Rotate() == 0);
                if (transformed) canvas.SetTransform(t);
                if (l.PieSweep() - l.PieStart() >= 360) {
                    canvas.DrawImage(*pic, dest, source, 255);
                } else {
                    TRectF texture{float(l.ImageLeft()), float(l.ImageTop()), dest.Width,
                                   dest.Height};
                    canvas.FillPieWithImage(*pic, dest, l.PieStart() - 90, l.PieSweep(), texture);
                }
                if (transformed) canvas.ResetTransform();
            }
        }
    }
    PaintText(canvas, l, boxW, boxH);
}

void TRdAnimator::PaintText(TCanvas& canvas, TRdAniLayer& l, int boxW, int boxH) {
    if (l.Text().empty() || l.TextWidth() == 0 || l.TextHeight() == 0) return;
    platform::TTextFormat fmt = LayerFormat(l);
    float left = float(l.TextLeft()), top = float(l.TextTop());
    float width = l.TextWidth() < 0 ? float(boxW - l.TextLeft()) : float(l.TextWidth());
    float height = l.TextHeight() < 0 ? float(boxH - l.TextTop()) : float(l.TextHeight());
    TRectF rect{left, top, width, height};
    if (rect.IsEmpty()) return;
    if (l.WordWrap() && fmt.LineAlign != platform::TTextAlign::Near && l.TextHeight() > 0) {
        platform::TTextFormat near = fmt;
        near.LineAlign = platform::TTextAlign::Near;
        TRectF m = Measure(canvas, l.MeasureCache(0), l.Text(), l.Font(),
                           {left, top, width, float(boxH)}, near);
        if (m.Height > rect.Height) {
            float excess = m.Height - rect.Height;
            rect.Y -= fmt.LineAlign == platform::TTextAlign::Far ? excess : excess / 2;
            rect.Height = m.Height;
            fmt.LineAlign = platform::TTextAlign::Near;
        }
    }
    TRectF shifted{rect.X + float(l.TextOffsetX()), rect.Y + float(l.TextOffsetY()), rect.Width,
                   rect.Height};
    if (l.Opacity() != 0) {
        TColor color = (l.Font().Color & 0xFFFFFFu) | (TColor(l.Opacity()) << 24);
        canvas.Save();
        canvas.IntersectClip(rect);
        canvas.DrawText(l.Text(), l.Font(), shifted, fmt, color);
        canvas.Restore();
    }
    // Kept for hit testing even when the layer is fully transparent.
    TRectF bounds =
        Measure(canvas, l.MeasureCache(1), l.Text(), l.Font(), shifted, fmt).Intersect(rect);
    l.SetTextBounds(bounds.IsEmpty() ? TRect{} : RoundRect(bounds));
}

}  // namespace controls
