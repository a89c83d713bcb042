// A mask layer: covers its host form with a blurred picture of the form under a translucent
// back colour (while a modal window is open over it) and uncovers it again. While it covers,
// it takes the mouse, so nothing under it reacts.
#pragma once
#include "controls/form.h"

namespace controls {

class TMaskLayer : public TControl {
public:
    TColor BackColor = Rgb(8, 8, 8);
    uint8_t BackOpacity = 160;  // of the back colour over the blurred picture
    int BlurRadius = 4;
    bool Active() const { return FActive; }
    // Takes the picture of `host` as it looks now, then covers it.
    void Cover(TForm& host);
    void Uncover();

protected:
    void Paint(platform::TCanvas& canvas) override;

private:
    platform::TImage FShot;
    bool FActive = false;
};

}  // namespace controls
