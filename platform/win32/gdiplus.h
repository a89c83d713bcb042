// GDI+ for our Windows drawing files: started once per process on first use, plus the helpers
// the canvas, picture and font files share.
#pragma once
// clang-format off
#include "platform/win32/win.h"
#include <objidl.h>
#include <gdiplus.h>
// clang-format on

#include <memory>
#include <string>

#include "platform/canvas.h"

namespace platform::win32gui {

// Starts GDI+ once; false when it cannot be started (the callers then draw nothing).
bool EnsureGdiPlus();

// The picture as a GDI+ bitmap over the picture's own pixels (its layout is GDI+'s 32-bit
// ARGB), kept in the picture's cache.
Gdiplus::Bitmap* NativeBitmap(const TImage& image);

// The font for a description; the family falls back to a sans face when missing.
std::unique_ptr<Gdiplus::Font> MakeFont(const TFont& font);
// The same, made once per description and kept (fonts must not outlive GDI+, which we never
// shut down).
Gdiplus::Font* CachedFont(const TFont& font);

inline Gdiplus::Color ToColor(TArgb c) {
    return Gdiplus::Color(Gdiplus::ARGB(c));
}
inline Gdiplus::RectF ToRect(const TRectF& r) {
    return Gdiplus::RectF(r.X, r.Y, r.Width, r.Height);
}

class TGdiPlusCanvas : public TImageCanvas {
public:
    explicit TGdiPlusCanvas(Gdiplus::Graphics* graphics, int width, int height);
    ~TGdiPlusCanvas() override;

    int Width() const override { return FWidth; }
    int Height() const override { return FHeight; }
    void Save() override;
    void Restore() override;
    void SetQuality(const TRenderQuality& quality) override;
    void Translate(float dx, float dy) override;
    void IntersectClip(const TRectF& rect) override;
    void SetTransform(const TTransform& transform) override;
    void ResetTransform() override { SetTransform({}); }
    void FillRect(const TRectF& rect, TArgb color) override;
    void FillEllipse(const TRectF& rect, TArgb color) override;
    void DrawLine(TPointF from, TPointF to, TArgb color, float width) override;
    void DrawImage(const TImage& image, const TRectF& dest, const TRectF& source,
                   uint8_t opacity) override;
    void FillPieWithImage(const TImage& image, const TRectF& rect, float startAngle,
                          float sweepAngle, const TRectF& textureRect) override;
    void DrawText(const std::string& text, const TFont& font, const TRectF& rect,
                  const TTextFormat& format, TArgb color) override;
    TRectF MeasureText(const std::string& text, const TFont& font, const TRectF& rect,
                       const TTextFormat& format) override;
    void Flush() override { FGraphics->Flush(Gdiplus::FlushIntentionSync); }

protected:
    Gdiplus::Graphics* FGraphics;

private:
    struct TState {
        Gdiplus::GraphicsState Native;
        float OriginX, OriginY;
        TTransform Transform;
    };
    void ApplyWorld();
    // What the clip leaves of the surface, widened to whole pixels, in the coordinates drawn
    // in; false under a transform that turns or scales. Wine's GDI+ works through every pixel
    // it is asked to fill or draw before the clip throws most of them away, so a fill or a
    // picture cut to this first costs only what shows, and its pixels stay the same: every
    // pixel the clip lets through lies wholly inside it.
    bool VisibleArea(TRectF& area) const;
    int FWidth, FHeight;
    float FOriginX = 0, FOriginY = 0;
    TTransform FTransform;
    std::vector<TState> FStack;
};

}  // namespace platform::win32gui
