#include "controls/animator_pixels.h"

#include <cmath>
#include <vector>

namespace controls {
namespace {

struct TPremul {
    uint32_t A, R, G, B;
};

// One box pass of radius r along a line of n premultiplied pixels with the given stride.
void BoxPass(TPremul* line, int n, int stride, int r, std::vector<TPremul>& tmp) {
    tmp.resize(size_t(n));
    uint64_t sa = 0, sr = 0, sg = 0, sb = 0;
    auto at = [&](int i) -> const TPremul& {
        return line[size_t(std::clamp(i, 0, n - 1)) * stride];
    };
    for (int i = -r; i <= r; ++i) {
        const TPremul& p = at(i);
        sa += p.A, sr += p.R, sg += p.G, sb += p.B;
    }
    uint32_t window = uint32_t(2 * r + 1);
    for (int i = 0; i < n; ++i) {
        tmp[size_t(i)] = {
            uint32_t((sa + window / 2) / window), uint32_t((sr + window / 2) / window),
            uint32_t((sg + window / 2) / window), uint32_t((sb + window / 2) / window)};
        const TPremul& in = at(i + r + 1);
        const TPremul& out = at(i - r);
        sa += in.A, sr += in.R, sg += in.G, sb += in.B;
        sa -= out.A, sr -= out.R, sg -= out.G, sb -= out.B;
    }
    for (int i = 0; i < n; ++i) line[size_t(i) * stride] = tmp[size_t(i)];
}

}  // namespace

void BlurImage(platform::TImage& image, int radius) {
    if (radius <= 0 || image.Empty()) return;
    int w = image.Width(), h = image.Height();
    std::vector<TPremul> px(size_t(w) * h);
    const platform::TArgb* src = image.Pixels();
    for (size_t i = 0; i < px.size(); ++i) {
        uint32_t c = src[i], a = c >> 24;
        px[i] = {a, ((c >> 16) & 255) * a / 255, ((c >> 8) & 255) * a / 255, (c & 255) * a / 255};
    }
    std::vector<TPremul> tmp;
    for (int pass = 0; pass < 2; ++pass) {
        for (int y = 0; y < h; ++y) BoxPass(&px[size_t(y) * w], w, 1, radius, tmp);
        for (int x = 0; x < w; ++x) BoxPass(&px[size_t(x)], h, w, radius, tmp);
    }
    platform::TArgb* dst = image.MutablePixels();
    for (size_t i = 0; i < px.size(); ++i) {
        const TPremul& p = px[i];
        if (p.A == 0) {
            dst[i] = 0;
            continue;
        }
        auto un = [&](uint32_t v) {
            return uint8_t(std::min<uint32_t>(255, (v * 255 + p.A / 2) / p.A));
        };
        dst[i] = platform::MakeArgb(uint8_t(p.A), un(p.R), un(p.G), un(p.B));
    }
}

void ApplyOpacityAndKey(platform::TImage& image, uint8_t opacity, TColor key, uint8_t toler) {
    bool fade = opacity < 255, keyed = key != clNone;
    if (!fade && !keyed) return;
    int kr = platform::RedOf(key), kg = platform::GreenOf(key), kb = platform::BlueOf(key);
    platform::TArgb* p = image.MutablePixels();
    size_t n = size_t(image.Width()) * image.Height();
    for (size_t i = 0; i < n; ++i) {
        uint32_t c = p[i];
        if (fade) {
            uint32_t a = ((c >> 24) * opacity + 127) / 255;
            c = (a << 24) | (c & 0xFFFFFF);
        }
        if (keyed && std::abs(int(platform::RedOf(c)) - kr) <= toler &&
            std::abs(int(platform::GreenOf(c)) - kg) <= toler &&
            std::abs(int(platform::BlueOf(c)) - kb) <= toler)
            c = 0;
        p[i] = c;
    }
}

void RotatedSize(int w, int h, float degrees, int& nw, int& nh) {
    double r = double(degrees) * 3.14159265358979323846 / 180.0, c = std::cos(r), s = std::sin(r);
    nw = int(std::ceil(std::abs(w * c) + std::abs(h * s) - 1e-6));
    nh = int(std::ceil(std::abs(w * s) + std::abs(h * c) - 1e-6));
}

platform::TImage RotateImage(const platform::TImage& image, float degrees) {
    if (image.Empty()) return image;
    double r = double(degrees) * 3.14159265358979323846 / 180.0, c = std::cos(r), s = std::sin(r);
    int w = image.Width(), h = image.Height();
    int nw = 0, nh = 0;
    RotatedSize(w, h, degrees, nw, nh);
    platform::TImage out(nw, nh);
    platform::TArgb* dst = out.MutablePixels();
    double cx = w / 2.0, cy = h / 2.0, ncx = nw / 2.0, ncy = nh / 2.0;
    for (int y = 0; y < nh; ++y) {
        for (int x = 0; x < nw; ++x) {
            // Back to the source: turn the other way.
            double dx = x + 0.5 - ncx, dy = y + 0.5 - ncy;
            double sx = c * dx + s * dy + cx - 0.5, sy = -s * dx + c * dy + cy - 0.5;
            int x0 = int(std::floor(sx)), y0 = int(std::floor(sy));
            if (x0 < -1 || y0 < -1 || x0 >= w || y0 >= h) continue;
            double fx = sx - x0, fy = sy - y0;
            double acc[4] = {0, 0, 0, 0};
            for (int k = 0; k < 4; ++k) {
                int px = x0 + (k & 1), py = y0 + (k >> 1);
                if (px < 0 || py < 0 || px >= w || py >= h) continue;
                double wgt = ((k & 1) ? fx : 1 - fx) * ((k >> 1) ? fy : 1 - fy);
                platform::TArgb v = image.Pixel(px, py);
                double a = platform::AlphaOf(v) * wgt;
                acc[0] += a;
                acc[1] += platform::RedOf(v) * a;
                acc[2] += platform::GreenOf(v) * a;
                acc[3] += platform::BlueOf(v) * a;
            }
            if (acc[0] <= 0) continue;
            dst[size_t(y) * nw + x] = platform::MakeArgb(
                uint8_t(std::lround(acc[0])), uint8_t(std::lround(acc[1] / acc[0])),
                uint8_t(std::lround(acc[2] / acc[0])), uint8_t(std::lround(acc[3] / acc[0])));
        }
    }
    return out;
}

}  // namespace controls
