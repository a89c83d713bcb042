#include "controls/imagestrip.h"

namespace controls {

void TImageStrip::SetStrip(const platform::TImage& strip, int frameCount) {
    FStrip = strip;
    FFrameCount = frameCount > 0 ? frameCount : 0;
    if (FFrameIndex >= FFrameCount) FFrameIndex = -1;
    Invalidate();
}

void TImageStrip::SetFrameIndex(int index) {
    if (index < 0 || index >= FFrameCount) index = -1;
    if (index == FFrameIndex) return;
    FFrameIndex = index;
    Invalidate();
}

void TImageStrip::Paint(platform::TCanvas& canvas) {
    if (FFrameIndex >= 0 && !FStrip.Empty()) {
        float fw = float(FStrip.Width()) / float(FFrameCount);
        canvas.DrawImage(FStrip, ClientRect().ToF(),
                         {fw * float(FFrameIndex), 0, fw, float(FStrip.Height())});
    }
    TControl::Paint(canvas);
}

}  // namespace controls
