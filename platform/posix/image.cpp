// PNG decoding and encoding with Cairo's PNG support.
#include "platform/image.h"

#include <cairo.h>

#include <cstring>

#include "platform/posix/canvas_cairo.h"

namespace platform {
namespace {

struct TReader {
    std::string_view Bytes;
    size_t Pos = 0;
};

cairo_status_t ReadChunk(void* closure, unsigned char* data, unsigned int length) {
    auto* r = static_cast<TReader*>(closure);
    if (r->Bytes.size() - r->Pos < length) return CAIRO_STATUS_READ_ERROR;
    std::memcpy(data, r->Bytes.data() + r->Pos, length);
    r->Pos += length;
    return CAIRO_STATUS_SUCCESS;
}

cairo_status_t WriteChunk(void* closure, const unsigned char* data, unsigned int length) {
    static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
    return CAIRO_STATUS_SUCCESS;
}

}  // namespace

std::optional<TImage> DecodePng(std::string_view bytes) {
    static const char kSignature[] = "\x89PNG\r\n\x1a\n";
    if (bytes.size() < 8 || std::memcmp(bytes.data(), kSignature, 8) != 0) return std::nullopt;
    TReader reader{bytes};
    cairo_surface_t* s = cairo_image_surface_create_from_png_stream(ReadChunk, &reader);
    if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(s);
        return std::nullopt;
    }
    // Cairo hands back RGB24 for opaque pictures; its pixels are ARGB32 with an unused byte.
    cairo_format_t format = cairo_image_surface_get_format(s);
    TImage image(cairo_image_surface_get_width(s), cairo_image_surface_get_height(s));
    if (format == CAIRO_FORMAT_ARGB32) {
        posixgui::CopyFromSurface(s, image);
    } else if (format == CAIRO_FORMAT_RGB24) {
        cairo_surface_flush(s);
        const unsigned char* data = cairo_image_surface_get_data(s);
        int stride = cairo_image_surface_get_stride(s);
        TArgb* dst = image.MutablePixels();
        for (int y = 0; y < image.Height(); ++y) {
            auto* row = reinterpret_cast<const uint32_t*>(data + size_t(y) * stride);
            for (int x = 0; x < image.Width(); ++x) *dst++ = row[x] | 0xFF000000u;
        }
    } else {
        cairo_surface_destroy(s);
        return std::nullopt;
    }
    cairo_surface_destroy(s);
    return image;
}

bool EncodePng(const TImage& image, std::string& out) {
    if (image.Empty()) return false;
    cairo_surface_t* s =
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, image.Width(), image.Height());
    posixgui::CopyToSurface(image, s);
    out.clear();
    bool ok = cairo_surface_write_to_png_stream(s, WriteChunk, &out) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(s);
    return ok;
}

}  // namespace platform
