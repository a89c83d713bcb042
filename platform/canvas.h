// The drawing interface of the toolkit: fills, ARGB pictures drawn through a transform with
// opacity, pies filled with a picture as texture, formatted text and text measuring, clipping
// and an origin offset. Backends: GDI+ on Windows, Cairo + Pango on Linux. A canvas over a
// picture in memory (CreateImageCanvas) serves screenshots and tests.
#pragma once
#include <algorithm>
#include <cmath>
#include <memory>
#include <string>

#include "platform/font.h"
#include "platform/geometry.h"
#include "platform/image.h"

namespace platform {

// Affine transform: x' = M11 x + M21 y + Dx, y' = M12 x + M22 y + Dy (the GDI+ layout).
struct TTransform {
    float M11 = 1, M12 = 0, M21 = 0, M22 = 1, Dx = 0, Dy = 0;
    bool IsIdentity() const { return *this == TTransform{}; }
    TPointF Apply(TPointF p) const {
        return {M11 * p.X + M21 * p.Y + Dx, M12 * p.X + M22 * p.Y + Dy};
    }
    // This transform first, then `outer`.
    TTransform Then(const TTransform& o) const {
        return {M11 * o.M11 + M12 * o.M21,      M11 * o.M12 + M12 * o.M22,
                M21 * o.M11 + M22 * o.M21,      M21 * o.M12 + M22 * o.M22,
                Dx * o.M11 + Dy * o.M21 + o.Dx, Dx * o.M12 + Dy * o.M22 + o.Dy};
    }
    static TTransform Translation(float dx, float dy) { return {1, 0, 0, 1, dx, dy}; }
    static TTransform Scaling(float sx, float sy) { return {sx, 0, 0, sy, 0, 0}; }
    // Clockwise on the screen (y grows downwards).
    static TTransform Rotation(float degrees) {
        double r = double(degrees) * 3.14159265358979323846 / 180.0;
        float c = float(std::cos(r)), s = float(std::sin(r));
        return {c, s, -s, c, 0, 0};
    }
    bool operator==(const TTransform&) const = default;
};

// Drawing-quality settings, named after the GDI+ modes they stand for.
enum class TSmoothing { HighSpeed, None, HighQuality };
enum class TInterpolation { LowQuality, Bilinear, HighQuality };
enum class TCompositing { HighSpeed, Default, AssumeLinear };
enum class TTextHint { SingleBitPerPixel, SystemDefault, AntiAlias, ClearTypeGridFit };

struct TRenderQuality {
    TSmoothing Smoothing = TSmoothing::None;
    TInterpolation Interpolation = TInterpolation::Bilinear;
    TCompositing Compositing = TCompositing::Default;
    TTextHint TextHint = TTextHint::SystemDefault;
    bool operator==(const TRenderQuality&) const = default;
};

enum class TTextAlign { Near, Center, Far };
enum class TTrimming { Character, EllipsisCharacter, EllipsisWord, EllipsisPath };

struct TTextFormat {
    TTextAlign Align = TTextAlign::Near;      // horizontal
    TTextAlign LineAlign = TTextAlign::Near;  // vertical
    bool NoWrap = true;
    TTrimming Trimming = TTrimming::Character;
    bool operator==(const TTextFormat&) const = default;
};

class TCanvas {
public:
    virtual ~TCanvas() = default;

    virtual int Width() const = 0;  // of the surface, pixels
    virtual int Height() const = 0;

    // State: Save pushes clip, origin, transform and quality; Restore pops them.
    virtual void Save() = 0;
    virtual void Restore() = 0;
    virtual void SetQuality(const TRenderQuality& quality) = 0;
    // Moves the origin; later coordinates are relative to it.
    virtual void Translate(float dx, float dy) = 0;
    virtual void IntersectClip(const TRectF& rect) = 0;
    // Transform for the pictures and pies drawn after it (in the current origin's coordinates).
    virtual void SetTransform(const TTransform& transform) = 0;
    virtual void ResetTransform() = 0;

    virtual void FillRect(const TRectF& rect, TArgb color) = 0;
    // Four bands of `width` inside `rect` (at most half its smaller side), drawn by FillRect so
    // that every backend paints the same pixels whatever its pen and pixel-offset rules.
    virtual void FrameRect(const TRectF& rect, TArgb color, float width = 1);
    virtual void FillEllipse(const TRectF& rect, TArgb color) = 0;
    virtual void DrawLine(TPointF from, TPointF to, TArgb color, float width = 1) = 0;
    // The `source` part of the picture into `dest`, alpha-blended, with extra opacity 0..255.
    virtual void DrawImage(const TImage& image, const TRectF& dest, const TRectF& source,
                           uint8_t opacity = 255) = 0;
    // A pie of the ellipse in `rect`: starts at `startAngle` degrees (0 = three o'clock) and
    // sweeps `sweepAngle` degrees clockwise on the screen, filled with the picture as texture,
    // the texture mapped onto `textureRect`.
    virtual void FillPieWithImage(const TImage& image, const TRectF& rect, float startAngle,
                                  float sweepAngle, const TRectF& textureRect) = 0;
    virtual void DrawText(const std::string& text, const TFont& font, const TRectF& rect,
                          const TTextFormat& format, TArgb color) = 0;
    // The bounds of `text` as DrawText would lay it out in `rect`.
    virtual TRectF MeasureText(const std::string& text, const TFont& font, const TRectF& rect,
                               const TTextFormat& format) = 0;
};

// A canvas drawing into `target` (which must outlive it); the pixels are in `target` once the
// canvas is destroyed or Flush is called.
class TImageCanvas : public TCanvas {
public:
    virtual void Flush() = 0;
};
std::unique_ptr<TImageCanvas> CreateImageCanvas(TImage& target);

// Text measuring without a surface (labels size themselves before they are painted).
TRectF MeasureTextOnce(const std::string& text, const TFont& font, const TRectF& rect,
                       const TTextFormat& format);

}  // namespace platform
