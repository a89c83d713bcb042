#include "controls/progressbar.h"

#include <algorithm>

namespace controls {

TImageProgressBar::TImageProgressBar() {
    if (auto b = platform::LoadPngResource("PROGRESS_BACK")) Back = *b;
    if (auto f = platform::LoadPngResource("PROGRESS_FILL")) Fill = *f;
}

void TImageProgressBar::SetPosition(int position) {
    position = std::clamp(position, 0, 100);
    if (position == FPosition) return;
    FPosition = position;
    Invalidate();
}

void TImageProgressBar::Paint(platform::TCanvas& canvas) {
    TRectF all = ClientRect().ToF();
    if (!Back.Empty())
        canvas.DrawImage(Back, all, {0, 0, float(Back.Width()), float(Back.Height())});
    if (!Fill.Empty() && FPosition > 0) {
        float part = float(FPosition) / 100.0f;
        canvas.DrawImage(Fill, {0, 0, all.Width * part, all.Height},
                         {0, 0, float(Fill.Width()) * part, float(Fill.Height())});
    }
    TControl::Paint(canvas);
}

}  // namespace controls
