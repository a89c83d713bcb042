// An image button: a picture for each look (normal, hover, pressed, disabled) stretched to
// its bounds, and a caption with its own font centred on it. Clicks come only while enabled.
#pragma once
#include "controls/control.h"

namespace controls {

enum class TButtonLook { Normal, Hover, Down, Disabled };

class TImageButton : public TControl {
public:
    TImageButton();
    void SetPicture(TButtonLook look, const platform::TImage& image);
    // Loads "<prefix>_NORMAL", "_HOVER", "_DOWN" and "_DISABLED" from the built-in pictures.
    bool LoadPictures(const std::string& prefix);
    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& caption);
    TFont Font;
    TButtonLook Look() const;

protected:
    void Paint(platform::TCanvas& canvas) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    std::optional<TAccessibleRole> OwnAccessibleRole() const override {
        return TAccessibleRole::Button;
    }
    // The caption as shown; a picture button is named by its hint.
    std::string OwnAccessibleName() const override;

private:
    platform::TImage FPictures[4];
    std::string FCaption;
    bool FHover = false, FDown = false;
};

}  // namespace controls
