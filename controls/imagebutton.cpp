#include "controls/imagebutton.h"

#include "controls/label.h"

namespace controls {

TImageButton::TImageButton() {
    Font.Color = clWhite;
    Font.Bold = false;
}

void TImageButton::SetPicture(TButtonLook look, const platform::TImage& image) {
    FPictures[int(look)] = image;
    Invalidate();
}

bool TImageButton::LoadPictures(const std::string& prefix) {
    bool all = true;
    const char* suffix[] = {"_NORMAL", "_HOVER", "_DOWN", "_DISABLED"};
    for (int i = 0; i < 4; ++i) {
        auto img = platform::LoadPngResource(prefix + suffix[i]);
        if (img) FPictures[i] = *img;
        all = all && img.has_value();
    }
    Invalidate();
    return all;
}

void TImageButton::SetCaption(const std::string& caption) {
    if (caption == FCaption) return;
    FCaption = caption;
    Invalidate();
}

std::string TImageButton::OwnAccessibleName() const {
    const std::string shown = StripAccelerators(FCaption);
    return shown.empty() ? Hint : shown;
}

TButtonLook TImageButton::Look() const {
    if (!Enabled()) return TButtonLook::Disabled;
    if (FDown && FHover) return TButtonLook::Down;
    if (FHover) return TButtonLook::Hover;
    return TButtonLook::Normal;
}

void TImageButton::Paint(platform::TCanvas& canvas) {
    const platform::TImage* pic = &FPictures[int(Look())];
    if (pic->Empty()) pic = &FPictures[0];
    if (!pic->Empty())
        canvas.DrawImage(*pic, ClientRect().ToF(),
                         {0, 0, float(pic->Width()), float(pic->Height())});
    if (!FCaption.empty()) {
        platform::TTextFormat f;
        f.Align = f.LineAlign = platform::TTextAlign::Center;
        f.Trimming = platform::TTrimming::EllipsisCharacter;
        TRectF r = ClientRect().ToF();
        if (Look() == TButtonLook::Down) r.Y += 1;
        canvas.DrawText(StripAccelerators(FCaption), Font, r, f, Font.Color);
    }
    TControl::Paint(canvas);
}

void TImageButton::MouseEnter() {
    FHover = true;
    Invalidate();
}

void TImageButton::MouseLeave() {
    FHover = false;
    FDown = false;
    Invalidate();
}

void TImageButton::MouseDown(TMouseButton button, TShiftState, int, int) {
    if (button != TMouseButton::Left) return;
    FDown = true;
    Invalidate();
}

void TImageButton::MouseUp(TMouseButton button, TShiftState, int x, int y) {
    if (button != TMouseButton::Left) return;
    FDown = false;
    FHover = ClientRect().Contains(x, y);
    Invalidate();
}

}  // namespace controls
