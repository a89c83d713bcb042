#include "controls/form.h"

#include <utility>

namespace controls {
TForm::TForm(int clientWidth, int clientHeight, const std::string& caption) : Caption(caption) {
    SetBounds(0, 0, clientWidth, clientHeight);
}

TForm::~TForm() {
    CancelHint();
    if (FWindow) {
        FWindow->OnPaint = nullptr;
        FWindow->OnMouseMove = nullptr;
    }
}

platform::TWindow& TForm::Window() {
    if (!FWindow) {
        platform::TWindow::TOptions o;
        o.ClientWidth = Width();
        o.ClientHeight = Height();
        o.Caption = Caption;
        o.Owner = Owner && Owner->HasWindow() ? &Owner->Window() : nullptr;
        FWindow = std::make_unique<platform::TWindow>(o);
        FWindow->OnPaint = [this](platform::TCanvas& c, const platform::TRect& d) {
            TRect dirty = d;
            PaintTo(c, &dirty);
        };
        FWindow->OnMouseMove = [this](TShiftState s, int x, int y) { HandleMouseMove(s, x, y); };
        FWindow->OnMouseDown = [this](TMouseButton b, TShiftState s, int x, int y) {
            HandleMouseDown(b, s, x, y);
        };
        FWindow->OnMouseUp = [this](TMouseButton b, TShiftState s, int x, int y) {
            HandleMouseUp(b, s, x, y);
        };
        FWindow->OnDoubleClick = [this](TMouseButton b, TShiftState s, int x, int y) {
            HandleDoubleClick(b, s, x, y);
        };
        FWindow->OnMouseLeave = [this] { HandleMouseLeave(); };
        FWindow->OnMouseWheel = [this](int n, TShiftState s, int x, int y) {
            HandleMouseWheel(n, s, x, y);
        };
        FWindow->OnClose = [this] { FireClose(); };
    }
    return *FWindow;
}

void TForm::FireClose() {
    if (OnClose) OnClose();
}

void TForm::ShowWindow() {
    Window().Show();
    if (OnShow) OnShow();
}

void TForm::HideWindow() {
    CancelHint();
    if (FWindow) FWindow->Hide();
}

int TForm::ShowModal() {
    if (Owner) Owner->LoseMouse();
    platform::TWindow& w = Window();
    if (OnShow) OnShow();
    return w.ShowModal();
}

void TForm::CloseModal(int result) {
    CancelHint();
    if (FWindow) FWindow->EndModal(result);
}

void TForm::StartMoveDrag() {
    FCaptured = nullptr;
    if (FWindow) {
        FWindow->ReleaseCapture();
        FWindow->StartMoveDrag();
    }
}

void TForm::InvalidateRect(const TRect& rect) {
    TRect r = rect;
    r.Left = std::max(r.Left, 0);
    r.Top = std::max(r.Top, 0);
    r.Right = std::min(r.Right, Width());
    r.Bottom = std::min(r.Bottom, Height());
    if (r.IsEmpty()) return;
    FDirty = FDirty.Union(r);
    if (FWindow) {
        FWindow->Invalidate(&r);
    }
}

void TForm::UpdateNow() {
    if (FWindow && FWindow->Visible()) FWindow->Update();
}

void TForm::PaintTo(platform::TCanvas& canvas, const TRect* dirty) {
    FDirty = {};
    PaintTree(canvas, dirty);
    if (BorderColor != clNone) canvas.FrameRect(ClientRect().ToF(), BorderColor, 1);
}

void TForm::Paint(platform::TCanvas& canvas) {
    if (Color != clNone) canvas.FillRect(ClientRect().ToF(), Color);
    TControl::Paint(canvas);
}

void TForm::Send(TControl& c, TMessageKind kind, TMouseButton b, TShiftState s, int x, int y) {
    int ox, oy;
    c.OriginInForm(ox, oy);
    TMessage m;
    m.Kind = kind;
    m.Button = b;
    m.Shift = s;
    m.X = x - ox;
    m.Y = y - oy;
    if (c.WindowProc) c.WindowProc(m);
}

void TForm::SetHot(TControl* control) {
    if (control == FHot) return;
    CancelHint();
    TControl* old = FHot;
    FHot = control;
    if (old) Send(*old, TMessageKind::MouseLeave, TMouseButton::Left, 0, 0, 0);
    if (FHot && FHot == control) Send(*FHot, TMessageKind::MouseEnter, TMouseButton::Left, 0, 0, 0);
    UpdateCursor();
}

void TForm::HandleMouseMove(TShiftState shift, int x, int y) {
    if (!FCaptured) {
        TControl* before = FHot;
        SetHot(ControlAt(x, y));
        if (FHot != before && FHot && FHot->ShowHint && !FHot->Hint.empty()) {
            int sx = x, sy = y;
            if (FWindow) {
                platform::TRect r = FWindow->ScreenRect();
                sx += r.Left;
                sy += r.Top;
            }
            FHints.RequestShow(FHot->Hint, sx, sy);
        }
    }
    TControl* target = FCaptured ? FCaptured : FHot;
    if (target) Send(*target, TMessageKind::MouseMove, TMouseButton::Left, shift, x, y);
}

void TForm::HandleMouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    CancelHint();
    TControl* target = ControlAt(x, y);
    SetHot(target);
    FCaptured = target;
    if (FWindow) FWindow->SetCapture();
    Send(*target, TMessageKind::MouseDown, button, shift, x, y);
}

void TForm::HandleMouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    TControl* target = FCaptured ? FCaptured : ControlAt(x, y);
    FCaptured = nullptr;
    if (FWindow) FWindow->ReleaseCapture();
    FMouseLost = false;
    Send(*target, TMessageKind::MouseUp, button, shift, x, y);
    // A click that opened a modal window: where the mouse is now, only its next move tells.
    if (std::exchange(FMouseLost, false)) return;
    SetHot(ClientRect().Contains(x, y) ? ControlAt(x, y) : nullptr);
}

void TForm::LoseMouse() {
    FCaptured = nullptr;
    FMouseLost = true;
    SetHot(nullptr);
}

void TForm::HandleDoubleClick(TMouseButton button, TShiftState shift, int x, int y) {
    // The second press of a double click is still a press: its release clicks as usual.
    HandleMouseDown(button, shift, x, y);
    if (FCaptured) Send(*FCaptured, TMessageKind::DoubleClick, button, shift, x, y);
}

void TForm::HandleMouseWheel(int notches, TShiftState, int x, int y) {
    for (TControl* c = ControlAt(x, y); c; c = c->Parent()) {
        int ox, oy;
        c->OriginInForm(ox, oy);
        if (c->MouseWheel(notches, x - ox, y - oy)) return;
    }
}

void TForm::HandleMouseLeave() {
    if (!FCaptured) SetHot(nullptr);
}

void TForm::CursorChanged(TControl& control) {
    if (&control == FHot) UpdateCursor();
}

void TForm::ControlStateChanged(TControl& control) {
    if (&control == FHot && (!control.Visible() || !control.Enabled())) SetHot(nullptr);
}

void TForm::ControlRemoved(TControl& control) {
    // The control or one of its children may be the hot or the captured one.
    auto within = [&control](TControl* c) {
        for (; c; c = c->Parent())
            if (c == &control) return true;
        return false;
    };
    if (within(FHot)) FHot = nullptr;
    if (within(FCaptured)) FCaptured = nullptr;
}

void TForm::UpdateCursor() {
    FCursor = FHot ? FHot->Cursor() : TCursor::Default;
    if (FWindow) FWindow->SetCursor(FCursor);
}

}  // namespace controls
