#include "controls/form.h"

#include <algorithm>
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
        FWindow->OnKeyDown = nullptr;
        FWindow->OnAccessibleTree = nullptr;
        FWindow->OnAccessibleAction = nullptr;
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
        FWindow->OnKeyDown = [this](TKey k, TShiftState s) { HandleKeyDown(k, s); };
        FWindow->Role = Role;
        FWindow->OnAccessibleTree = [this] { return AccessibleTree(&FAccessibleOwners); };
        FWindow->OnAccessibleAction = [this](int index) {
            if (index < 0 || size_t(index) >= FAccessibleOwners.size()) return false;
            // The tree may be old: act only on a control that is still ours and can act.
            TControl* c = FAccessibleOwners[size_t(index)];
            return CanFocus(c) && c->KeyActivate();
        };
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
    // Not while a modal window runs over this one: the ring would lie on its mask.
    if (FRingShown && FFocus && FFocus->Showing() && (!FWindow || FWindow->Enabled())) {
        // A thin light line around the focused control, in the flat look of the windows.
        canvas.FrameRect(RingRect().ToF(), FocusRingColor, 1);
    }
    if (BorderColor != clNone) canvas.FrameRect(ClientRect().ToF(), BorderColor, 1);
}

void TForm::Paint(platform::TCanvas& canvas) {
    // Hidden under an opaque picture (the offer window's background) the fill would only cost:
    // under Wine, GDI+ works through every pixel of it, a third of an animation frame's paint.
    if (Color != clNone && !HiddenByOpaqueChild()) canvas.FillRect(ClientRect().ToF(), Color);
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
    // A press moves the focus to what was pressed, and the ring goes until the keyboard is
    // used again.
    if (FRingShown) {
        InvalidateRing();
        FRingShown = false;
    }
    if (InFocusOrder(target)) SetFocus(target);
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
    // A focused control that goes out of sight hands the focus on along the order; one that
    // is only disabled keeps it (a page dot is disabled while its page shows).
    if (FFocus && !FFocus->Showing()) {
        TControl* const gone = FFocus;
        if (!FocusNext()) SetFocus(nullptr);
        if (FFocus == gone) SetFocus(nullptr);
    }
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
    if (within(FFocus)) {
        InvalidateRing();
        FFocus = nullptr;
    }
    std::erase_if(FFocusOrder, within);
    std::erase_if(FAccessibleOwners, within);
    if (within(DefaultControl)) DefaultControl = nullptr;
    if (within(CancelControl)) CancelControl = nullptr;
}

void TForm::SetFocusOrder(std::vector<TControl*> order) {
    FFocusOrder = std::move(order);
    if (FFocus && !InFocusOrder(FFocus)) SetFocus(nullptr);
}

bool TForm::InFocusOrder(const TControl* control) const {
    return control &&
           std::find(FFocusOrder.begin(), FFocusOrder.end(), control) != FFocusOrder.end();
}

bool TForm::CanFocus(const TControl* control) const {
    return InFocusOrder(control) && control->Showing() && control->Enabled();
}

TRect TForm::RingRect() const {
    if (!FFocus) return {};
    int x, y;
    FFocus->OriginInForm(x, y);
    TRect r = FFocus->ClientRect().Offset(x, y).Inflated(kFocusRingGap + 1);
    // At the window's edge the ring comes inside, where it can be seen.
    r.Left = std::max(r.Left, 0);
    r.Top = std::max(r.Top, 0);
    r.Right = std::min(r.Right, Width());
    r.Bottom = std::min(r.Bottom, Height());
    return r;
}

void TForm::InvalidateRing() {
    if (FRingShown && FFocus) InvalidateRect(RingRect());
}

void TForm::SetFocus(TControl* control) {
    if (control == FFocus) return;
    InvalidateRing();
    FFocus = control;
    InvalidateRing();
}

bool TForm::FocusNext(bool backward) {
    const int n = int(FFocusOrder.size());
    if (n == 0) return false;
    auto at = std::find(FFocusOrder.begin(), FFocusOrder.end(), FFocus);
    int start = at == FFocusOrder.end() ? (backward ? 0 : n - 1) : int(at - FFocusOrder.begin());
    for (int step = 1; step <= n; ++step) {
        const int i = ((start + (backward ? -step : step)) % n + n) % n;
        if (CanFocus(FFocusOrder[size_t(i)])) {
            SetFocus(FFocusOrder[size_t(i)]);
            return true;
        }
    }
    return false;
}

void TForm::HandleKeyDown(TKey key, TShiftState shift) {
    if (key == TKey::Other) return;
    CancelHint();
    if (!FRingShown) {
        FRingShown = true;
        InvalidateRing();
    }
    // The first key finds the focus where the order begins.
    if ((!FFocus || !FFocus->Showing()) && key != TKey::Tab) FocusNext();
    if (key == TKey::Tab) {
        FocusNext((shift & platform::kShift) != 0);
        return;
    }
    if (key == TKey::Escape) {
        if (CancelControl && CancelControl->Showing()) CancelControl->KeyActivate();
        return;
    }
    if (FFocus && FFocus->Showing() && FFocus->KeyDown(key, shift)) return;
    if (OnKeyDown && OnKeyDown(key, shift)) return;
    if (key == TKey::Enter || key == TKey::Space) {
        if (FFocus && CanFocus(FFocus) && FFocus->KeyActivate()) return;
        if (key == TKey::Enter && DefaultControl && DefaultControl->Showing())
            DefaultControl->KeyActivate();
    }
}

void TForm::AddAccessible(const TControl& c, int parent, std::vector<TAccessibleNode>& out,
                          std::vector<TControl*>* owners) const {
    int self = parent;
    int x, y;
    c.OriginInForm(x, y);
    if (const auto role = c.AccessibleRole()) {
        TAccessibleNode n;
        n.Role = *role;
        n.Name = c.AccessibleName();
        n.Value = c.AccessibleValue();
        n.State = c.AccessibleState();
        n.Bounds = c.ClientRect().Offset(x, y);
        n.Parent = parent;
        self = int(out.size());
        out.push_back(std::move(n));
        if (owners) owners->push_back(const_cast<TControl*>(&c));
    }
    // Parts cannot act on their own; a control without a role lends them its parent.
    const size_t before = out.size();
    c.AccessibleParts(out, self, x, y);
    if (owners) owners->resize(owners->size() + (out.size() - before), nullptr);
    for (const TControl* child : c.Controls()) AddAccessible(*child, self, out, owners);
}

std::vector<TAccessibleNode> TForm::AccessibleTree(std::vector<TControl*>* owners) const {
    std::vector<TAccessibleNode> out;
    if (owners) owners->clear();
    for (const TControl* child : Controls()) AddAccessible(*child, -1, out, owners);
    return out;
}

void TForm::UpdateCursor() {
    FCursor = FHot ? FHot->Cursor() : TCursor::Default;
    if (FWindow) FWindow->SetCursor(FCursor);
}

}  // namespace controls
