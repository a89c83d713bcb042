#include "platform/canvas.h"

namespace platform {

void TCanvas::FrameRect(const TRectF& rect, TArgb color, float width) {
    if (rect.IsEmpty()) return;
    const float w = std::min(width, std::min(rect.Width, rect.Height) / 2);
    FillRect({rect.X, rect.Y, rect.Width, w}, color);
    FillRect({rect.X, rect.Bottom() - w, rect.Width, w}, color);
    FillRect({rect.X, rect.Y + w, w, rect.Height - 2 * w}, color);
    FillRect({rect.Right() - w, rect.Y + w, w, rect.Height - 2 * w}, color);
}

}  // namespace platform
