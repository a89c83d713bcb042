#include "controls/hintwindow.h"

#include <cmath>

namespace controls {
namespace {
const platform::TArgb kBack = platform::MakeArgb(255, 45, 45, 45);
const platform::TArgb kBorder = platform::MakeArgb(255, 90, 90, 90);
const platform::TArgb kText = platform::MakeArgb(255, 220, 220, 220);
}  // namespace

THintWindow::THintWindow() = default;
THintWindow::~THintWindow() = default;

void THintWindow::ShowAt(const std::string& text, int screenX, int screenY, int maxWidth) {
    FText = text;
    FX = screenX;
    FY = screenY;
    FShowing = true;
    if (!platform::TWindow::Available()) return;
    platform::TFont font;
    platform::TTextFormat fmt;
    fmt.NoWrap = false;
    platform::TRectF r =
        platform::MeasureTextOnce(text, font, {0, 0, float(maxWidth - 8), 1000}, fmt);
    int w = int(std::ceil(r.Width)) + 10, h = int(std::ceil(r.Height)) + 6;
    if (!FWindow) {
        platform::TWindow::TOptions o;
        o.ToolWindow = true;
        FWindow = std::make_unique<platform::TWindow>(o);
    }
    FWindow->OnPaint = [this, font, fmt, w, h](platform::TCanvas& c, const platform::TRect&) {
        c.FillRect({0, 0, float(w), float(h)}, kBack);
        c.FrameRect({0, 0, float(w), float(h)}, kBorder, 1);
        c.DrawText(FText, font, {5, 3, float(w - 10), float(h - 6)}, fmt, kText);
    };
    FWindow->SetClientSize(w, h);
    FWindow->SetPosition(screenX, screenY);
    FWindow->SetStayOnTop(true);
    FWindow->Show();
    FWindow->Invalidate();
}

void THintWindow::HideHint() {
    FShowing = false;
    if (FWindow) FWindow->Hide();
}

}  // namespace controls
