// The GDI+ canvas and the canvas over a picture in memory.
#include <cmath>

#include "platform/win32/gdiplus.h"
#include "platform/win32/wide.h"

namespace platform::win32gui {

TGdiPlusCanvas::TGdiPlusCanvas(Gdiplus::Graphics* graphics, int width, int height)
    : FGraphics(graphics), FWidth(width), FHeight(height) {
    FGraphics->SetPageUnit(Gdiplus::UnitPixel);
    SetQuality({});
}

TGdiPlusCanvas::~TGdiPlusCanvas() = default;

void TGdiPlusCanvas::Save() {
    FStack.push_back({FGraphics->Save(), FOriginX, FOriginY, FTransform});
}

void TGdiPlusCanvas::Restore() {
    if (FStack.empty()) return;
    TState s = FStack.back();
    FStack.pop_back();
    FGraphics->Restore(s.Native);
    FOriginX = s.OriginX;
    FOriginY = s.OriginY;
    FTransform = s.Transform;
}

void TGdiPlusCanvas::SetQuality(const TRenderQuality& q) {
    using namespace Gdiplus;
    FGraphics->SetSmoothingMode(q.Smoothing == TSmoothing::HighSpeed     ? SmoothingModeHighSpeed
                                : q.Smoothing == TSmoothing::HighQuality ? SmoothingModeHighQuality
                                                                         : SmoothingModeNone);
    FGraphics->SetInterpolationMode(
        q.Interpolation == TInterpolation::LowQuality    ? InterpolationModeLowQuality
        : q.Interpolation == TInterpolation::HighQuality ? InterpolationModeHighQuality
                                                         : InterpolationModeBilinear);
    FGraphics->SetCompositingQuality(
        q.Compositing == TCompositing::HighSpeed      ? CompositingQualityHighSpeed
        : q.Compositing == TCompositing::AssumeLinear ? CompositingQualityAssumeLinear
                                                      : CompositingQualityDefault);
    TextRenderingHint hint = TextRenderingHintSystemDefault;
    if (q.TextHint == TTextHint::SingleBitPerPixel) hint = TextRenderingHintSingleBitPerPixel;
    if (q.TextHint == TTextHint::AntiAlias) hint = TextRenderingHintAntiAlias;
    if (q.TextHint == TTextHint::ClearTypeGridFit) hint = TextRenderingHintClearTypeGridFit;
    FGraphics->SetTextRenderingHint(hint);
}

void TGdiPlusCanvas::ApplyWorld() {
    const TTransform& t = FTransform;
    Gdiplus::Matrix m(t.M11, t.M12, t.M21, t.M22, t.Dx + FOriginX, t.Dy + FOriginY);
    FGraphics->SetTransform(&m);
}

void TGdiPlusCanvas::Translate(float dx, float dy) {
    FOriginX += dx;
    FOriginY += dy;
    ApplyWorld();
}

void TGdiPlusCanvas::IntersectClip(const TRectF& rect) {
    TTransform saved = FTransform;
    FTransform = {};
    ApplyWorld();
    FGraphics->IntersectClip(ToRect(rect));
    FTransform = saved;
    ApplyWorld();
}

void TGdiPlusCanvas::SetTransform(const TTransform& transform) {
    FTransform = transform;
    ApplyWorld();
}

bool TGdiPlusCanvas::VisibleArea(TRectF& area) const {
    const TTransform& t = FTransform;
    if (t.M11 != 1 || t.M12 != 0 || t.M21 != 0 || t.M22 != 1) return false;
    Gdiplus::RectF clip;
    if (FGraphics->GetClipBounds(&clip) != Gdiplus::Ok) return false;
    const float ox = t.Dx + FOriginX, oy = t.Dy + FOriginY;
    const float left = std::floor(clip.X + ox), top = std::floor(clip.Y + oy);
    const float right = std::ceil(clip.X + clip.Width + ox);
    const float bottom = std::ceil(clip.Y + clip.Height + oy);
    area = {left - ox, top - oy, right - left, bottom - top};
    return true;
}

void TGdiPlusCanvas::FillRect(const TRectF& rect, TArgb color) {
    TRectF area, part = rect;
    if (VisibleArea(area)) part = rect.Intersect(area);
    if (part.IsEmpty()) return;
    Gdiplus::SolidBrush brush(ToColor(color));
    FGraphics->FillRectangle(&brush, ToRect(part));
}

void TGdiPlusCanvas::FillEllipse(const TRectF& rect, TArgb color) {
    if (rect.IsEmpty()) return;
    Gdiplus::SolidBrush brush(ToColor(color));
    FGraphics->FillEllipse(&brush, ToRect(rect));
}

void TGdiPlusCanvas::DrawLine(TPointF from, TPointF to, TArgb color, float width) {
    Gdiplus::Pen pen(ToColor(color), width);
    FGraphics->DrawLine(&pen, from.X, from.Y, to.X, to.Y);
}

void TGdiPlusCanvas::DrawImage(const TImage& image, const TRectF& dest, const TRectF& source,
                               uint8_t opacity) {
    if (image.Empty() || dest.IsEmpty() || source.IsEmpty() || opacity == 0) return;
    TRectF to = dest, from = source;
    // A picture drawn pixel for pixel is cut to what the clip leaves, source and destination
    // alike; a scaled one is not (its samples near the cut would read other neighbours).
    TRectF area;
    auto whole = [](float v) { return std::floor(v) == v; };
    const float ox = FTransform.Dx + FOriginX, oy = FTransform.Dy + FOriginY;
    if (dest.Width == source.Width && dest.Height == source.Height && whole(source.X) &&
        whole(source.Y) && whole(source.Width) && whole(source.Height) && whole(dest.X + ox) &&
        whole(dest.Y + oy) && VisibleArea(area)) {
        to = dest.Intersect(area);
        if (to.IsEmpty()) return;
        from = {source.X + (to.X - dest.X), source.Y + (to.Y - dest.Y), to.Width, to.Height};
    }
    Gdiplus::ImageAttributes attrs;
    // Edge pixels repeat instead of blending with nothing when the picture is scaled.
    attrs.SetWrapMode(Gdiplus::WrapModeTileFlipXY);
    if (opacity != 255) {
        Gdiplus::ColorMatrix m = {{{1, 0, 0, 0, 0},
                                   {0, 1, 0, 0, 0},
                                   {0, 0, 1, 0, 0},
                                   {0, 0, 0, opacity / 255.0f, 0},
                                   {0, 0, 0, 0, 1}}};
        attrs.SetColorMatrix(&m);
    }
    FGraphics->DrawImage(NativeBitmap(image), ToRect(to), from.X, from.Y, from.Width, from.Height,
                         Gdiplus::UnitPixel, &attrs);
}

void TGdiPlusCanvas::FillPieWithImage(const TImage& image, const TRectF& rect, float startAngle,
                                      float sweepAngle, const TRectF& textureRect) {
    if (image.Empty() || rect.IsEmpty() || textureRect.IsEmpty() || sweepAngle == 0) return;
    Gdiplus::TextureBrush brush(NativeBitmap(image), Gdiplus::WrapModeTile);
    brush.TranslateTransform(textureRect.X, textureRect.Y);
    brush.ScaleTransform(textureRect.Width / float(image.Width()),
                         textureRect.Height / float(image.Height()));
    FGraphics->FillPie(&brush, ToRect(rect), startAngle, sweepAngle);
}

namespace {

void SetUpFormat(Gdiplus::StringFormat& f, const TTextFormat& format) {
    auto align = [](TTextAlign a) {
        return a == TTextAlign::Center ? Gdiplus::StringAlignmentCenter
               : a == TTextAlign::Far  ? Gdiplus::StringAlignmentFar
                                       : Gdiplus::StringAlignmentNear;
    };
    f.SetAlignment(align(format.Align));
    f.SetLineAlignment(align(format.LineAlign));
    if (format.NoWrap) f.SetFormatFlags(Gdiplus::StringFormatFlagsNoWrap);
    switch (format.Trimming) {
        case TTrimming::EllipsisCharacter:
            f.SetTrimming(Gdiplus::StringTrimmingEllipsisCharacter);
            break;
        case TTrimming::EllipsisWord:
            f.SetTrimming(Gdiplus::StringTrimmingEllipsisWord);
            break;
        case TTrimming::EllipsisPath:
            f.SetTrimming(Gdiplus::StringTrimmingEllipsisPath);
            break;
        default:
            f.SetTrimming(Gdiplus::StringTrimmingCharacter);
            break;
    }
}

}  // namespace

void TGdiPlusCanvas::DrawText(const std::string& text, const TFont& font, const TRectF& rect,
                              const TTextFormat& format, TArgb color) {
    if (text.empty() || AlphaOf(color) == 0) return;
    std::wstring w = Wide(text);
    Gdiplus::StringFormat sf;
    SetUpFormat(sf, format);
    Gdiplus::SolidBrush brush(ToColor(color));
    FGraphics->DrawString(w.c_str(), INT(w.size()), CachedFont(font), ToRect(rect), &sf, &brush);
}

TRectF TGdiPlusCanvas::MeasureText(const std::string& text, const TFont& font, const TRectF& rect,
                                   const TTextFormat& format) {
    if (text.empty()) return {rect.X, rect.Y, 0, 0};
    std::wstring w = Wide(text);
    Gdiplus::StringFormat sf;
    SetUpFormat(sf, format);
    Gdiplus::RectF box;
    FGraphics->MeasureString(w.c_str(), INT(w.size()), CachedFont(font), ToRect(rect), &sf, &box);
    return {box.X, box.Y, box.Width, box.Height};
}

namespace {

// The canvas over a picture: GDI+ draws straight into the picture's pixels.
class TGdiPlusImageCanvas : public TGdiPlusCanvas {
public:
    TGdiPlusImageCanvas(TImage& target, std::unique_ptr<Gdiplus::Bitmap> bitmap,
                        std::unique_ptr<Gdiplus::Graphics> graphics)
        : TGdiPlusCanvas(graphics.get(), target.Width(), target.Height()),
          FBitmap(std::move(bitmap)),
          FOwnGraphics(std::move(graphics)) {}
    ~TGdiPlusImageCanvas() override { Flush(); }

private:
    std::unique_ptr<Gdiplus::Bitmap> FBitmap;
    std::unique_ptr<Gdiplus::Graphics> FOwnGraphics;
};

}  // namespace

}  // namespace platform::win32gui

namespace platform {

std::unique_ptr<TImageCanvas> CreateImageCanvas(TImage& target) {
    using namespace win32gui;
    EnsureGdiPlus();
    if (target.Empty()) target = TImage(1, 1);
    auto bitmap = std::make_unique<Gdiplus::Bitmap>(
        target.Width(), target.Height(), target.Width() * 4, PixelFormat32bppARGB,
        reinterpret_cast<BYTE*>(target.MutablePixels()));
    auto graphics = std::make_unique<Gdiplus::Graphics>(bitmap.get());
    return std::make_unique<TGdiPlusImageCanvas>(target, std::move(bitmap), std::move(graphics));
}

TRectF MeasureTextOnce(const std::string& text, const TFont& font, const TRectF& rect,
                       const TTextFormat& format) {
    using namespace win32gui;
    EnsureGdiPlus();
    Gdiplus::Bitmap bmp(1, 1, PixelFormat32bppARGB);
    Gdiplus::Graphics g(&bmp);
    TGdiPlusCanvas canvas(&g, 1, 1);
    return canvas.MeasureText(text, font, rect, format);
}

}  // namespace platform
