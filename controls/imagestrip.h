// An image strip: a picture of equal frames side by side; FrameIndex picks the frame shown
// (-1 shows nothing).
#pragma once
#include "controls/control.h"

namespace controls {

class TImageStrip : public TControl {
public:
    void SetStrip(const platform::TImage& strip, int frameCount);
    int FrameCount() const { return FFrameCount; }
    int FrameIndex() const { return FFrameIndex; }
    void SetFrameIndex(int index);  // outside 0 … count - 1: -1

protected:
    void Paint(platform::TCanvas& canvas) override;

private:
    platform::TImage FStrip;
    int FFrameCount = 0;
    int FFrameIndex = -1;
};

}  // namespace controls
