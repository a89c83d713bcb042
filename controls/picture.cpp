#include "controls/picture.h"

#include <algorithm>

namespace controls {

void TPicture::SetImage(const platform::TImage& image) {
    FImage = image;
    const platform::TArgb* p = FImage.Pixels();
    const size_t n = size_t(FImage.Width()) * size_t(FImage.Height());
    FOpaque = !FImage.Empty() &&
              std::all_of(p, p + n, [](platform::TArgb c) { return platform::AlphaOf(c) == 255; });
    if (AutoSize && !FImage.Empty()) SetBounds(Left(), Top(), FImage.Width(), FImage.Height());
    Invalidate();
}

bool TPicture::LoadResource(const std::string& name) {
    auto img = platform::LoadPngResource(name);
    if (!img) return false;
    SetImage(*img);
    return true;
}

bool TPicture::PaintsOpaque() const {
    if (!FOpaque) return false;
    const int w = FImage.Width(), h = FImage.Height();
    if (Stretch) return true;
    // Centred, a picture of another size would sit half a pixel off or leave a margin.
    return Center ? w == Width() && h == Height() : w >= Width() && h >= Height();
}

void TPicture::Paint(platform::TCanvas& canvas) {
    if (!FImage.Empty()) {
        float w = float(FImage.Width()), h = float(FImage.Height());
        TRectF dest{0, 0, w, h};
        if (Stretch)
            dest = ClientRect().ToF();
        else if (Center)
            dest = {(float(Width()) - w) / 2, (float(Height()) - h) / 2, w, h};
        canvas.DrawImage(FImage, dest, {0, 0, w, h});
    }
    TControl::Paint(canvas);
}

}  // namespace controls
