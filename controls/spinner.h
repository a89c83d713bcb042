// The rotating-pointer loading animation: turns a picture about its centre on a paint box in
// steps of 30 degrees every 80 ms, between Start and Stop.
#pragma once
#include "controls/paintbox.h"
#include "controls/timer.h"

namespace controls {

class TSpinner {
public:
    TSpinner(TPaintBox& box, const platform::TImage& picture);
    ~TSpinner();
    void Start();
    void Stop();
    bool Running() const { return FTimer.Enabled(); }
    float Angle() const { return FAngle; }
    static constexpr uint32_t kStepMs = 80;
    static constexpr float kStepDegrees = 30;

private:
    void Paint(platform::TCanvas& canvas);
    TPaintBox& FBox;
    platform::TImage FPicture;
    TTimer FTimer{kStepMs};
    float FAngle = 0;
};

}  // namespace controls
