// A label: one font and colour, optional end ellipsis or word wrap, auto size, and link
// markup: "<a>text</a>" parts draw in the link colour, underlined, with the hand cursor, and
// report a click through OnLinkClick. "&&" shows one ampersand; a single "&" marks the next
// letter as the accelerator and is not shown.
#pragma once
#include "controls/control.h"

namespace controls {

enum class TAlignment { Left, Center, Right };

class TLabel : public TControl {
public:
    TLabel();
    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& caption);
    TFont Font;
    bool Transparent = true;
    TColor BackColor = clNone;
    bool AutoSize = true;
    bool EndEllipsis = false;
    bool WordWrap = false;
    TAlignment Alignment = TAlignment::Left;
    TColor LinkColor = Rgb(90, 168, 255);
    std::function<void(TLabel& sender, const std::string& link)> OnLinkClick;

    // Caption as shown: ampersands resolved, link markup removed.
    std::string DisplayText() const;
    // Re-measures the caption (after a font change) when AutoSize is on.
    void AdjustSize();

protected:
    void Paint(platform::TCanvas& canvas) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseLeave() override;
    // Static text; a label that is all link, or that answers clicks, is a link.
    std::optional<TAccessibleRole> OwnAccessibleRole() const override;
    std::string OwnAccessibleName() const override { return DisplayText(); }

private:
    struct TPart {
        std::string Text;
        bool Link = false;
        std::string Href;
        float Left = 0, Width = 0;
    };
    std::vector<TPart> Parts() const;
    platform::TTextFormat Format() const;
    std::string FCaption;
    mutable std::vector<TPart> FLaidOut;
    bool FOverLink = false;
    TCursor FOwnCursor = TCursor::Default;
};

// "&&" → "&", single "&" dropped.
std::string StripAccelerators(const std::string& text);

}  // namespace controls
