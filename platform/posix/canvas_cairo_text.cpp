// Cairo canvas, text: Pango layouts set up to behave like the GDI+ string format (alignment in
// a rectangle, wrapping, ellipsis modes, clipping to the rectangle).
#include <pango/pangocairo.h>

#include "platform/posix/canvas_cairo.h"

namespace platform::posixgui {

struct TCairoCanvas::TPango {
    PangoLayout* Layout = nullptr;
    TTextHint Hint = TTextHint::SystemDefault;
    ~TPango() {
        if (Layout) g_object_unref(Layout);
    }
};

TCairoCanvas::TCairoCanvas(cairo_t* cr, int width, int height)
    : FCr(cr), FWidth(width), FHeight(height), FPango(std::make_unique<TPango>()) {}

TCairoCanvas::~TCairoCanvas() = default;

namespace {

void ApplyHint(PangoLayout* layout, TTextHint hint) {
    cairo_font_options_t* o = cairo_font_options_create();
    switch (hint) {
        case TTextHint::SingleBitPerPixel:
            cairo_font_options_set_antialias(o, CAIRO_ANTIALIAS_NONE);
            break;
        case TTextHint::AntiAlias:
            cairo_font_options_set_antialias(o, CAIRO_ANTIALIAS_GRAY);
            break;
        case TTextHint::ClearTypeGridFit:
            cairo_font_options_set_antialias(o, CAIRO_ANTIALIAS_SUBPIXEL);
            break;
        default:
            break;
    }
    cairo_font_options_set_hint_metrics(o, CAIRO_HINT_METRICS_OFF);
    pango_cairo_context_set_font_options(pango_layout_get_context(layout), o);
    pango_layout_context_changed(layout);
    cairo_font_options_destroy(o);
}

// Sets text, font and format; returns the offset of the laid-out text in the rectangle.
TPointF SetUpLayout(PangoLayout* layout, const std::string& text, const TFont& font,
                    const TRectF& rect, const TTextFormat& format) {
    PangoFontDescription* d = pango_font_description_new();
    pango_font_description_set_family(d, font.Face().c_str());
    pango_font_description_set_absolute_size(d, double(font.EmPixels()) * PANGO_SCALE);
    pango_font_description_set_weight(d, font.Bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
    pango_font_description_set_style(d, font.Italic ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
    pango_layout_set_font_description(layout, d);
    pango_font_description_free(d);
    pango_layout_set_text(layout, text.c_str(), int(text.size()));
    PangoAttrList* attrs = pango_attr_list_new();
    if (font.Underline)
        pango_attr_list_insert(attrs, pango_attr_underline_new(PANGO_UNDERLINE_SINGLE));
    pango_layout_set_attributes(layout, attrs);
    pango_attr_list_unref(attrs);

    PangoEllipsizeMode ell = PANGO_ELLIPSIZE_NONE;
    if (format.Trimming == TTrimming::EllipsisCharacter ||
        format.Trimming == TTrimming::EllipsisWord)
        ell = PANGO_ELLIPSIZE_END;
    else if (format.Trimming == TTrimming::EllipsisPath)
        ell = PANGO_ELLIPSIZE_MIDDLE;
    bool widthBound = rect.Width > 0 && (!format.NoWrap || ell != PANGO_ELLIPSIZE_NONE);
    pango_layout_set_width(layout, widthBound ? int(rect.Width * PANGO_SCALE) : -1);
    pango_layout_set_wrap(layout, PANGO_WRAP_WORD_CHAR);
    pango_layout_set_ellipsize(layout, ell);
    // Wrapped text is cut with the ellipsis at the rectangle's bottom; unwrapped text stays on
    // one line per paragraph.
    pango_layout_set_height(layout, !format.NoWrap && ell != PANGO_ELLIPSIZE_NONE && rect.Height > 0
                                        ? int(rect.Height * PANGO_SCALE)
                                        : -1);
    PangoAlignment align = format.Align == TTextAlign::Center ? PANGO_ALIGN_CENTER
                           : format.Align == TTextAlign::Far  ? PANGO_ALIGN_RIGHT
                                                              : PANGO_ALIGN_LEFT;
    pango_layout_set_alignment(layout, align);

    PangoRectangle logical;
    pango_layout_get_pixel_extents(layout, nullptr, &logical);
    TPointF at{rect.X, rect.Y};
    if (!widthBound) {
        float free = rect.Width - float(logical.width);
        if (format.Align == TTextAlign::Center) at.X += free / 2;
        if (format.Align == TTextAlign::Far) at.X += free;
    }
    float freeV = rect.Height - float(logical.height);
    if (format.LineAlign == TTextAlign::Center) at.Y += freeV / 2;
    if (format.LineAlign == TTextAlign::Far) at.Y += freeV;
    return at;
}

TRectF Bounds(PangoLayout* layout, TPointF at) {
    PangoRectangle logical;
    pango_layout_get_pixel_extents(layout, nullptr, &logical);
    return {at.X + float(logical.x), at.Y + float(logical.y), float(logical.width),
            float(logical.height)};
}

}  // namespace

TPointF TCairoCanvas::Layout(const std::string& text, const TFont& font, const TRectF& rect,
                             const TTextFormat& format) {
    if (!FPango->Layout) {
        FPango->Layout = pango_cairo_create_layout(FCr);
        ApplyHint(FPango->Layout, FState.Quality.TextHint);
        FPango->Hint = FState.Quality.TextHint;
    } else {
        pango_cairo_update_layout(FCr, FPango->Layout);
        if (FPango->Hint != FState.Quality.TextHint) {
            ApplyHint(FPango->Layout, FState.Quality.TextHint);
            FPango->Hint = FState.Quality.TextHint;
        }
    }
    return SetUpLayout(FPango->Layout, text, font, rect, format);
}

void TCairoCanvas::DrawText(const std::string& text, const TFont& font, const TRectF& rect,
                            const TTextFormat& format, TArgb color) {
    if (text.empty() || AlphaOf(color) == 0) return;
    cairo_save(FCr);
    if (rect.Width > 0 && rect.Height > 0) {
        cairo_rectangle(FCr, rect.X, rect.Y, rect.Width, rect.Height);
        cairo_clip(FCr);
    }
    TPointF at = Layout(text, font, rect, format);
    SetColor(color);
    cairo_move_to(FCr, at.X, at.Y);
    pango_cairo_show_layout(FCr, FPango->Layout);
    cairo_restore(FCr);
}

TRectF TCairoCanvas::MeasureText(const std::string& text, const TFont& font, const TRectF& rect,
                                 const TTextFormat& format) {
    if (text.empty()) return {rect.X, rect.Y, 0, 0};
    TPointF at = Layout(text, font, rect, format);
    return Bounds(FPango->Layout, at);
}

}  // namespace platform::posixgui

namespace platform {

TRectF MeasureTextOnce(const std::string& text, const TFont& font, const TRectF& rect,
                       const TTextFormat& format) {
    static thread_local cairo_surface_t* surface =
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1);
    cairo_t* cr = cairo_create(surface);
    TRectF r;
    {
        posixgui::TCairoCanvas canvas(cr, 1, 1);
        r = canvas.MeasureText(text, font, rect, format);
    }
    cairo_destroy(cr);
    return r;
}

}  // namespace platform
