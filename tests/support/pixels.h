// Pictures for tests that compare painted pixels: a pattern in which every pixel differs, and a
// count of the pixels in which two pictures of one size differ.
#pragma once
#include <cstdint>

#include "platform/image.h"

namespace testsupport {

// Every pixel different in colour, and in alpha from minAlpha up to 255 (255: opaque), so that
// a misplaced, stale or twice-blended pixel shows.
inline platform::TImage PixelPattern(int w, int h, uint32_t seed, int minAlpha) {
    platform::TImage img(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const uint32_t v = (uint32_t(x) * 2654435761u) ^ (uint32_t(y) * 40503u) ^ seed;
            const auto a = uint8_t(minAlpha + int((v >> 24) % uint32_t(256 - minAlpha)));
            img.SetPixel(x, y,
                         platform::MakeArgb(a, uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16)));
        }
    return img;
}

inline int DifferentPixels(const platform::TImage& a, const platform::TImage& b) {
    int n = 0;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x) n += a.Pixel(x, y) != b.Pixel(x, y);
    return n;
}

}  // namespace testsupport
