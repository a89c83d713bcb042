// A picture control: shows a picture at its top-left, stretched or centred.
#pragma once
#include "controls/control.h"

namespace controls {

class TPicture : public TControl {
public:
    const platform::TImage& Image() const { return FImage; }
    void SetImage(const platform::TImage& image);
    bool LoadResource(const std::string& name);  // a built-in "PNG" picture
    bool Stretch = false;
    bool Center = false;
    bool AutoSize = false;  // the control takes the picture's size
    // An opaque picture that fills the control: stretched over it, or as large as it at least.
    bool PaintsOpaque() const override;

protected:
    void Paint(platform::TCanvas& canvas) override;

private:
    platform::TImage FImage;
    bool FOpaque = false;  // no pixel of the picture lets anything through
};

}  // namespace controls
