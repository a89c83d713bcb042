#include "controls/masklayer.h"

#include "controls/animator_pixels.h"

namespace controls {

void TMaskLayer::Cover(TForm& host) {
    SetVisible(false);
    SetParent(&host);
    SetBounds(0, 0, host.Width(), host.Height());
    FShot = platform::TImage(host.Width(), host.Height(), 0xFF000000);
    {
        auto canvas = platform::CreateImageCanvas(FShot);
        host.PaintTo(*canvas);
    }
    BlurImage(FShot, BlurRadius);
    FActive = true;
    BringToFront();
    SetVisible(true);
    host.UpdateNow();
}

void TMaskLayer::Uncover() {
    if (!FActive) return;
    FActive = false;
    SetVisible(false);
    FShot = platform::TImage();
    if (TForm* f = Form()) f->UpdateNow();
}

void TMaskLayer::Paint(platform::TCanvas& canvas) {
    if (!FShot.Empty())
        canvas.DrawImage(FShot, ClientRect().ToF(),
                         {0, 0, float(FShot.Width()), float(FShot.Height())});
    canvas.FillRect(ClientRect().ToF(), (BackColor & 0xFFFFFFu) | (TColor(BackOpacity) << 24));
    TControl::Paint(canvas);
}

}  // namespace controls
