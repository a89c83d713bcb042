// Cairo helpers shared by the Linux drawing files: the native surface of a picture and the
// canvas over a Cairo context (used by the image canvas and the X11 window's back buffer).
#pragma once
#include <cairo.h>

#include <memory>
#include <vector>

#include "platform/canvas.h"

namespace platform::posixgui {

// The picture as a premultiplied Cairo surface, converted once and kept in the picture's cache.
cairo_surface_t* NativeSurface(const TImage& image);
// Straight ARGB pixels into a premultiplied ARGB32 surface of the same size, and back.
void CopyToSurface(const TImage& image, cairo_surface_t* surface);
void CopyFromSurface(cairo_surface_t* surface, TImage& image);

class TCairoCanvas : public TImageCanvas {
public:
    // Draws on `cr` (not owned) of a surface of the given size.
    TCairoCanvas(cairo_t* cr, int width, int height);
    ~TCairoCanvas() override;

    int Width() const override { return FWidth; }
    int Height() const override { return FHeight; }
    void Save() override;
    void Restore() override;
    void SetQuality(const TRenderQuality& quality) override { FState.Quality = quality; }
    void Translate(float dx, float dy) override;
    void IntersectClip(const TRectF& rect) override;
    void SetTransform(const TTransform& transform) override { FState.Transform = transform; }
    void ResetTransform() override { FState.Transform = {}; }
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
    void Flush() override {}

protected:
    cairo_t* FCr;

private:
    struct TState {
        TRenderQuality Quality;
        TTransform Transform;
    };
    void SetColor(TArgb color);
    void ApplyTransform();
    cairo_filter_t Filter() const;
    // Lays the text out and returns where its top-left corner goes.
    TPointF Layout(const std::string& text, const TFont& font, const TRectF& rect,
                   const TTextFormat& format);

    int FWidth, FHeight;
    TState FState;
    std::vector<TState> FStack;
    struct TPango;
    std::unique_ptr<TPango> FPango;
};

}  // namespace platform::posixgui
