#include "controls/picture.h"

namespace controls {

void TPicture::SetImage(const platform::TImage& image) {
    FImage = image;
    if (AutoSize && !FImage.Empty()) SetBounds(Left(), Top(), FImage.Width(), FImage.Height());
    Invalidate();
}

bool TPicture::LoadResource(const std::string& name) {
    auto img = platform::LoadPngResource(name);
    if (!img) return false;
    SetImage(*img);
    return true;
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
