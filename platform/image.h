// 32-bit ARGB pictures in memory (straight, not premultiplied alpha: 0xAARRGGBB per pixel), the
// one picture format every drawing path of ours takes. Decoding and encoding PNG is the
// platform's business (GDI+ on Windows, Cairo on Linux).
#pragma once
#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

using TArgb = uint32_t;

constexpr TArgb MakeArgb(uint8_t a, uint8_t r, uint8_t g, uint8_t b) {
    return (TArgb(a) << 24) | (TArgb(r) << 16) | (TArgb(g) << 8) | TArgb(b);
}
constexpr uint8_t AlphaOf(TArgb c) {
    return uint8_t(c >> 24);
}
constexpr uint8_t RedOf(TArgb c) {
    return uint8_t(c >> 16);
}
constexpr uint8_t GreenOf(TArgb c) {
    return uint8_t(c >> 8);
}
constexpr uint8_t BlueOf(TArgb c) {
    return uint8_t(c);
}

class TImage {
public:
    TImage() = default;
    TImage(int width, int height, TArgb fill = 0)
        : FWidth(width > 0 ? width : 0),
          FHeight(height > 0 ? height : 0),
          FPixels(size_t(FWidth) * FHeight, fill) {}
    // A copy has its own pixels (or the same still undecoded source) and no native form yet.
    TImage(const TImage& o)
        : FWidth(o.FWidth), FHeight(o.FHeight), FPixels(o.FPixels), FSource(o.FSource) {}
    TImage& operator=(const TImage& o) {
        if (this != &o) {
            FWidth = o.FWidth;
            FHeight = o.FHeight;
            FPixels = o.FPixels;
            FSource = o.FSource;
            FNative.reset();
        }
        return *this;
    }
    // A picture of the PNG `bytes` (which must outlive it, as built-in resources do) whose size
    // is known at once and whose pixels are decoded when first read: a window makes all its
    // pictures before it decides whether to show itself at all. Empty when the bytes do not
    // start as a PNG does; pixels that then fail to decode read as transparent.
    static TImage DeferredPng(std::string_view bytes);
    TImage(TImage&&) noexcept = default;
    TImage& operator=(TImage&&) noexcept = default;

    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    bool Empty() const { return FWidth <= 0 || FHeight <= 0; }
    const TArgb* Pixels() const {
        Decode();
        return FPixels.data();
    }
    // Writable pixels; the drawing backend's converted copy is dropped.
    TArgb* MutablePixels() {
        Decode();
        FNative.reset();
        return FPixels.data();
    }
    TArgb Pixel(int x, int y) const { return Pixels()[size_t(y) * FWidth + x]; }
    void SetPixel(int x, int y, TArgb c) { MutablePixels()[size_t(y) * FWidth + x] = c; }
    void Fill(TArgb c) {
        Decode();
        FNative.reset();
        std::fill(FPixels.begin(), FPixels.end(), c);
    }
    // A part of the picture (clamped to it).
    TImage Crop(int x, int y, int width, int height) const {
        int l = std::clamp(x, 0, FWidth), t = std::clamp(y, 0, FHeight);
        int r = std::clamp(x + width, l, FWidth), b = std::clamp(y + height, t, FHeight);
        TImage out(r - l, b - t);
        Decode();
        for (int row = t; row < b; ++row)
            std::copy_n(&FPixels[size_t(row) * FWidth + l], r - l,
                        &out.FPixels[size_t(row - t) * out.FWidth]);
        return out;
    }

    // The backend keeps its native form of the picture here (a Cairo surface, a GDI+ bitmap)
    // so that an unchanged picture is converted once, not once per paint.
    std::shared_ptr<void>& NativeCache() const { return FNative; }

private:
    void Decode() const {
        if (!FSource.empty()) DecodeSource();
    }
    void DecodeSource() const;

    int FWidth = 0, FHeight = 0;
    mutable std::vector<TArgb> FPixels;
    mutable std::string_view FSource;  // PNG bytes not decoded yet
    mutable std::shared_ptr<void> FNative;
};

// PNG in memory to a picture; empty when the bytes are not a readable PNG.
std::optional<TImage> DecodePng(std::string_view bytes);
// A picture to PNG bytes; false when the platform cannot encode it.
bool EncodePng(const TImage& image, std::string& out);
// The built-in picture of type "PNG" with this name (decoded when its pixels are first read);
// empty when missing or not a PNG.
std::optional<TImage> LoadPngResource(const std::string& name);

}  // namespace platform
