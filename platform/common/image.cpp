// What both backends' pictures share: built-in PNG pictures, sized from their header and
// decoded by the backend only when their pixels are first read.
#include "platform/image.h"
#include "platform/resources.h"

namespace platform {

namespace {
// The largest side either backend decodes; anything beyond is treated as unreadable.
constexpr uint32_t kMaxSide = 32767;

uint32_t BigEndian32(std::string_view b, size_t at) {
    return uint32_t(uint8_t(b[at])) << 24 | uint32_t(uint8_t(b[at + 1])) << 16 |
           uint32_t(uint8_t(b[at + 2])) << 8 | uint32_t(uint8_t(b[at + 3]));
}
}  // namespace

TImage TImage::DeferredPng(std::string_view bytes) {
    // Signature, then the first chunk, which must be the 13-byte header.
    static constexpr std::string_view kStart("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR", 16);
    if (bytes.size() < 24 + 9 || bytes.substr(0, kStart.size()) != kStart) return TImage();
    const uint32_t w = BigEndian32(bytes, 16), h = BigEndian32(bytes, 20);
    if (w == 0 || h == 0 || w > kMaxSide || h > kMaxSide) return TImage();
    TImage image;
    image.FWidth = int(w);
    image.FHeight = int(h);
    image.FSource = bytes;
    return image;
}

void TImage::DecodeSource() const {
    std::optional<TImage> decoded = DecodePng(FSource);
    FSource = {};
    if (decoded && decoded->FWidth == FWidth && decoded->FHeight == FHeight)
        FPixels = std::move(decoded->FPixels);
    else
        FPixels.assign(size_t(FWidth) * size_t(FHeight), 0);
}

std::optional<TImage> LoadPngResource(const std::string& name) {
    auto data = FindResourceData("PNG", name);
    if (!data) return std::nullopt;
    TImage image = TImage::DeferredPng(*data);
    if (image.Empty()) return std::nullopt;
    return image;
}

}  // namespace platform
