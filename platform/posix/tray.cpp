// The tray stand-in on Linux: a small always-on-top icon window in the screen's bottom-right
// corner that reports a click.
#include "platform/tray.h"

#include "platform/screen.h"
#include "platform/window.h"

namespace platform {

struct TTrayIcon::TImpl {
    std::unique_ptr<TWindow> Window;
    TImage Icon;
    std::string Tip;
};

TTrayIcon::TTrayIcon() : F(std::make_unique<TImpl>()) {}
TTrayIcon::~TTrayIcon() = default;

void TTrayIcon::SetIcon(const TImage& icon) {
    F->Icon = icon;
    if (F->Window) F->Window->Invalidate();
}

void TTrayIcon::SetTip(const std::string& tip) {
    F->Tip = tip;
}

void TTrayIcon::Show() {
    FVisible = true;
    if (!TWindow::Available()) return;
    if (!F->Window) {
        TWindow::TOptions o;
        o.ClientWidth = o.ClientHeight = 32;
        o.ToolWindow = true;
        o.Caption = F->Tip;
        F->Window = std::make_unique<TWindow>(o);
        F->Window->OnPaint = [this](TCanvas& c, const TRect&) {
            c.FillRect({0, 0, 32, 32}, MakeArgb(255, 40, 40, 40));
            TImage icon = F->Icon.Empty() ? LoadPngResource("APPICON").value_or(TImage()) : F->Icon;
            if (!icon.Empty())
                c.DrawImage(icon, {4, 4, 24, 24},
                            {0, 0, float(icon.Width()), float(icon.Height())});
        };
        F->Window->OnMouseUp = [this](TMouseButton b, TShiftState, int, int) {
            if (b == TMouseButton::Left && OnClick) OnClick();
        };
        F->Window->SetCursor(TCursor::Hand);
    }
    // The bottom-right corner, where a notification area usually is.
    F->Window->SetPosition(RealScreen().ScreenWidth() - 40, RealScreen().ScreenHeight() - 40);
    F->Window->SetStayOnTop(true);
    F->Window->Show();
}

void TTrayIcon::Hide() {
    FVisible = false;
    if (F->Window) F->Window->Hide();
}

}  // namespace platform
