#include "controls/spinner.h"

namespace controls {

TSpinner::TSpinner(TPaintBox& box, const platform::TImage& picture) : FBox(box), FPicture(picture) {
    FBox.OnPaint = [this](TControl&, platform::TCanvas& c) { Paint(c); };
    FTimer.OnTimer = [this](TObject&) {
        FAngle += kStepDegrees;
        if (FAngle >= 360) FAngle -= 360;
        FBox.Invalidate();
    };
}

TSpinner::~TSpinner() {
    FBox.OnPaint = nullptr;
}

void TSpinner::Start() {
    FTimer.SetEnabled(true);
}

void TSpinner::Stop() {
    FTimer.SetEnabled(false);
    FBox.Invalidate();
}

void TSpinner::Paint(platform::TCanvas& canvas) {
    if (FPicture.Empty()) return;
    float w = float(FPicture.Width()), h = float(FPicture.Height());
    float cx = float(FBox.Width()) / 2, cy = float(FBox.Height()) / 2;
    using platform::TTransform;
    canvas.SetQuality({platform::TSmoothing::HighQuality, platform::TInterpolation::HighQuality,
                       platform::TCompositing::Default, platform::TTextHint::AntiAlias});
    canvas.SetTransform(TTransform::Translation(-cx, -cy)
                            .Then(TTransform::Rotation(FAngle))
                            .Then(TTransform::Translation(cx, cy)));
    canvas.DrawImage(FPicture, {cx - w / 2, cy - h / 2, w, h}, {0, 0, w, h});
    canvas.ResetTransform();
}

}  // namespace controls
