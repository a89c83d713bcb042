// Cairo canvas: shapes, pictures, pies and the canvas over a picture in memory.
#include "platform/posix/canvas_cairo.h"

#include <cmath>

namespace platform::posixgui {
namespace {

constexpr double kPi = 3.14159265358979323846;

}  // namespace

void CopyToSurface(const TImage& image, cairo_surface_t* surface) {
    cairo_surface_flush(surface);
    unsigned char* data = cairo_image_surface_get_data(surface);
    int stride = cairo_image_surface_get_stride(surface);
    const TArgb* src = image.Pixels();
    for (int y = 0; y < image.Height(); ++y) {
        auto* row = reinterpret_cast<uint32_t*>(data + size_t(y) * stride);
        for (int x = 0; x < image.Width(); ++x) {
            TArgb c = *src++;
            uint32_t a = AlphaOf(c);
            if (a == 255) {
                row[x] = c;
            } else if (a == 0) {
                row[x] = 0;
            } else {
                auto pm = [a](uint32_t v) { return (v * a + 127) / 255; };
                row[x] = (a << 24) | (pm(RedOf(c)) << 16) | (pm(GreenOf(c)) << 8) | pm(BlueOf(c));
            }
        }
    }
    cairo_surface_mark_dirty(surface);
}

void CopyFromSurface(cairo_surface_t* surface, TImage& image) {
    cairo_surface_flush(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    int stride = cairo_image_surface_get_stride(surface);
    TArgb* dst = image.MutablePixels();
    for (int y = 0; y < image.Height(); ++y) {
        auto* row = reinterpret_cast<const uint32_t*>(data + size_t(y) * stride);
        for (int x = 0; x < image.Width(); ++x) {
            uint32_t c = row[x];
            uint32_t a = c >> 24;
            if (a == 255 || a == 0) {
                *dst++ = a == 0 ? 0 : c;
            } else {
                auto un = [a](uint32_t v) {
                    return std::min<uint32_t>(255, (v * 255 + a / 2) / a);
                };
                *dst++ = MakeArgb(uint8_t(a), uint8_t(un((c >> 16) & 255)),
                                  uint8_t(un((c >> 8) & 255)), uint8_t(un(c & 255)));
            }
        }
    }
}

cairo_surface_t* NativeSurface(const TImage& image) {
    auto& cache = image.NativeCache();
    if (!cache) {
        cairo_surface_t* s =
            cairo_image_surface_create(CAIRO_FORMAT_ARGB32, image.Width(), image.Height());
        CopyToSurface(image, s);
        cache = std::shared_ptr<void>(
            s, [](void* p) { cairo_surface_destroy(static_cast<cairo_surface_t*>(p)); });
    }
    return static_cast<cairo_surface_t*>(cache.get());
}

void TCairoCanvas::Save() {
    FStack.push_back(FState);
    cairo_save(FCr);
}

void TCairoCanvas::Restore() {
    if (FStack.empty()) return;
    FState = FStack.back();
    FStack.pop_back();
    cairo_restore(FCr);
}

void TCairoCanvas::Translate(float dx, float dy) {
    cairo_translate(FCr, dx, dy);
}

void TCairoCanvas::IntersectClip(const TRectF& rect) {
    cairo_rectangle(FCr, rect.X, rect.Y, std::max(0.f, rect.Width), std::max(0.f, rect.Height));
    cairo_clip(FCr);
}

void TCairoCanvas::SetColor(TArgb c) {
    cairo_set_source_rgba(FCr, RedOf(c) / 255.0, GreenOf(c) / 255.0, BlueOf(c) / 255.0,
                          AlphaOf(c) / 255.0);
}

void TCairoCanvas::ApplyTransform() {
    const TTransform& t = FState.Transform;
    if (t.IsIdentity()) return;
    cairo_matrix_t m;
    cairo_matrix_init(&m, t.M11, t.M12, t.M21, t.M22, t.Dx, t.Dy);
    cairo_transform(FCr, &m);
}

cairo_filter_t TCairoCanvas::Filter() const {
    switch (FState.Quality.Interpolation) {
        case TInterpolation::LowQuality:
            return CAIRO_FILTER_FAST;
        case TInterpolation::HighQuality:
            return CAIRO_FILTER_GOOD;
        default:
            return CAIRO_FILTER_BILINEAR;
    }
}

void TCairoCanvas::FillRect(const TRectF& rect, TArgb color) {
    if (rect.IsEmpty()) return;
    SetColor(color);
    cairo_rectangle(FCr, rect.X, rect.Y, rect.Width, rect.Height);
    cairo_fill(FCr);
}

void TCairoCanvas::FillEllipse(const TRectF& rect, TArgb color) {
    if (rect.IsEmpty()) return;
    SetColor(color);
    cairo_save(FCr);
    cairo_translate(FCr, rect.X + rect.Width / 2, rect.Y + rect.Height / 2);
    cairo_scale(FCr, rect.Width / 2, rect.Height / 2);
    cairo_arc(FCr, 0, 0, 1, 0, 2 * kPi);
    cairo_restore(FCr);
    cairo_fill(FCr);
}

void TCairoCanvas::DrawLine(TPointF from, TPointF to, TArgb color, float width) {
    SetColor(color);
    cairo_set_line_width(FCr, width);
    cairo_move_to(FCr, from.X, from.Y);
    cairo_line_to(FCr, to.X, to.Y);
    cairo_stroke(FCr);
}

void TCairoCanvas::DrawImage(const TImage& image, const TRectF& dest, const TRectF& source,
                             uint8_t opacity) {
    if (image.Empty() || dest.IsEmpty() || source.IsEmpty() || opacity == 0) return;
    cairo_surface_t* surface = NativeSurface(image);
    cairo_save(FCr);
    ApplyTransform();
    cairo_rectangle(FCr, dest.X, dest.Y, dest.Width, dest.Height);
    cairo_clip(FCr);
    cairo_translate(FCr, dest.X, dest.Y);
    cairo_scale(FCr, dest.Width / source.Width, dest.Height / source.Height);
    cairo_set_source_surface(FCr, surface, -source.X, -source.Y);
    cairo_pattern_t* p = cairo_get_source(FCr);
    cairo_pattern_set_filter(p, Filter());
    cairo_pattern_set_extend(p, CAIRO_EXTEND_PAD);
    if (opacity == 255)
        cairo_paint(FCr);
    else
        cairo_paint_with_alpha(FCr, opacity / 255.0);
    cairo_restore(FCr);
}

void TCairoCanvas::FillPieWithImage(const TImage& image, const TRectF& rect, float startAngle,
                                    float sweepAngle, const TRectF& textureRect) {
    if (image.Empty() || rect.IsEmpty() || textureRect.IsEmpty() || sweepAngle == 0) return;
    cairo_save(FCr);
    ApplyTransform();
    cairo_antialias_t aa = FState.Quality.Smoothing == TSmoothing::HighQuality
                               ? CAIRO_ANTIALIAS_GOOD
                               : CAIRO_ANTIALIAS_NONE;
    cairo_set_antialias(FCr, aa);
    cairo_save(FCr);
    cairo_translate(FCr, rect.X + rect.Width / 2, rect.Y + rect.Height / 2);
    cairo_scale(FCr, rect.Width / 2, rect.Height / 2);
    cairo_move_to(FCr, 0, 0);
    double a0 = startAngle * kPi / 180, a1 = (startAngle + sweepAngle) * kPi / 180;
    if (sweepAngle > 0)
        cairo_arc(FCr, 0, 0, 1, a0, a1);
    else
        cairo_arc_negative(FCr, 0, 0, 1, a0, a1);
    cairo_close_path(FCr);
    cairo_restore(FCr);
    cairo_pattern_t* p = cairo_pattern_create_for_surface(NativeSurface(image));
    cairo_matrix_t m;
    cairo_matrix_init_scale(&m, image.Width() / textureRect.Width,
                            image.Height() / textureRect.Height);
    cairo_matrix_translate(&m, -textureRect.X, -textureRect.Y);
    cairo_pattern_set_matrix(p, &m);
    cairo_pattern_set_extend(p, CAIRO_EXTEND_REPEAT);
    cairo_pattern_set_filter(p, Filter());
    cairo_set_source(FCr, p);
    cairo_fill(FCr);
    cairo_pattern_destroy(p);
    cairo_restore(FCr);
}

namespace {

// The canvas over a picture: an ARGB32 surface that starts as the picture and is copied back.
class TCairoImageCanvas : public TCairoCanvas {
public:
    TCairoImageCanvas(TImage& target, cairo_surface_t* surface)
        : TCairoCanvas(cairo_create(surface), target.Width(), target.Height()),
          FTarget(target),
          FSurface(surface) {}
    ~TCairoImageCanvas() override {
        Flush();
        cairo_destroy(FCr);
        cairo_surface_destroy(FSurface);
    }
    void Flush() override { CopyFromSurface(FSurface, FTarget); }

private:
    TImage& FTarget;
    cairo_surface_t* FSurface;
};

std::unique_ptr<TImageCanvas> MakeImageCanvas(TImage& target) {
    cairo_surface_t* s = cairo_image_surface_create(
        CAIRO_FORMAT_ARGB32, std::max(1, target.Width()), std::max(1, target.Height()));
    CopyToSurface(target, s);
    return std::make_unique<TCairoImageCanvas>(target, s);
}

}  // namespace

}  // namespace platform::posixgui

namespace platform {
std::unique_ptr<TImageCanvas> CreateImageCanvas(TImage& target) {
    return posixgui::MakeImageCanvas(target);
}
}  // namespace platform
