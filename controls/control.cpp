#include "controls/control.h"

#include <algorithm>

#include "controls/form.h"

namespace controls {

TControl::TControl() {
    WindowProc = [this](TMessage& m) { DefaultHandler(m); };
    PaintProc = [this](platform::TCanvas& c) { Paint(c); };
}

TControl::~TControl() {
    auto notify = std::move(FFreeNotify);
    for (auto& [id, fn] : notify) fn();
    for (TControl* c : std::vector<TControl*>(FChildren)) c->FParent = nullptr;
    SetParent(nullptr);
}

void TControl::SetParent(TControl* parent) {
    if (FParent == parent) return;
    if (FParent) {
        if (TForm* f = Form()) f->ControlRemoved(*this);
        auto& sib = FParent->FChildren;
        sib.erase(std::remove(sib.begin(), sib.end(), this), sib.end());
        FParent->Invalidate();
    }
    FParent = parent;
    if (FParent) {
        FParent->FChildren.push_back(this);
        Invalidate();
    }
}

TForm* TControl::Form() {
    TControl* c = this;
    while (c->FParent) c = c->FParent;
    return dynamic_cast<TForm*>(c);
}

void TControl::SetBounds(int left, int top, int width, int height) {
    TRect r = RectWH(left, top, std::max(0, width), std::max(0, height));
    if (r == FBounds) return;
    Invalidate();
    FBounds = r;
    BoundsChanged();
    Invalidate();
}

void TControl::OriginInForm(int& x, int& y) const {
    x = y = 0;
    for (const TControl* c = this; c->FParent; c = c->FParent) {
        x += c->Left();
        y += c->Top();
    }
}

void TControl::SetVisible(bool v) {
    if (FVisible == v) return;
    if (!v) Invalidate();
    FVisible = v;
    if (v) Invalidate();
    if (TForm* f = Form()) f->ControlStateChanged(*this);
}

bool TControl::Showing() const {
    for (const TControl* c = this; c; c = c->FParent)
        if (!c->FVisible) return false;
    return true;
}

bool TControl::KeyActivate() {
    if (!FEnabled) return false;
    Click();
    return true;
}

std::optional<TAccessibleRole> TControl::AccessibleRole() const {
    return AccRole ? AccRole : OwnAccessibleRole();
}

std::string TControl::AccessibleName() const {
    return AccName.empty() ? OwnAccessibleName() : AccName;
}

void TControl::AccessibleParts(std::vector<TAccessibleNode>& out, int parent, int ox,
                               int oy) const {
    if (OnAccessibleParts) OnAccessibleParts(out, parent, ox, oy);
}

unsigned TControl::AccessibleState() const {
    unsigned s = 0;
    if (!FEnabled) s |= platform::kAccDisabled;
    if (!Showing()) s |= platform::kAccInvisible;
    if (AccSelected) {
        s |= platform::kAccSelectable;
        if (AccSelected()) s |= platform::kAccSelected;
    }
    // The form's own bookkeeping: a control it does not know has no focus.
    const TControl* root = this;
    while (root->FParent) root = root->FParent;
    if (const auto* f = dynamic_cast<const TForm*>(root)) {
        if (f->InFocusOrder(this)) s |= platform::kAccFocusable;
        if (f->Focused() == this) s |= platform::kAccFocused;
    }
    return s;
}

void TControl::SetEnabled(bool v) {
    if (FEnabled == v) return;
    FEnabled = v;
    Invalidate();
    if (TForm* f = Form()) f->ControlStateChanged(*this);
}

void TControl::SetCursor(TCursor c) {
    if (FCursor == c) return;
    FCursor = c;
    if (TForm* f = Form()) f->CursorChanged(*this);
}

void TControl::BringToFront() {
    if (!FParent) return;
    auto& sib = FParent->FChildren;
    sib.erase(std::remove(sib.begin(), sib.end(), this), sib.end());
    sib.push_back(this);
    Invalidate();
}

void TControl::SendToBack() {
    if (!FParent) return;
    auto& sib = FParent->FChildren;
    sib.erase(std::remove(sib.begin(), sib.end(), this), sib.end());
    sib.insert(sib.begin(), this);
    Invalidate();
}

void TControl::Invalidate() {
    TForm* f = Form();
    if (!f) return;
    if (f == this) {
        f->InvalidateRect(ClientRect());
        return;
    }
    int x, y;
    OriginInForm(x, y);
    f->InvalidateRect(ClientRect().Offset(x, y));
}

void TControl::Repaint() {
    Invalidate();
    if (TForm* f = Form()) f->UpdateNow();
}

void TControl::DefaultHandler(TMessage& m) {
    switch (m.Kind) {
        case TMessageKind::MouseEnter:
            MouseEnter();
            Fire(OnMouseEnter, *this);
            break;
        case TMessageKind::MouseLeave:
            MouseLeave();
            Fire(OnMouseLeave, *this);
            break;
        case TMessageKind::MouseMove:
            MouseMove(m.Shift, m.X, m.Y);
            if (OnMouseMove) OnMouseMove(*this, m.Shift, m.X, m.Y);
            break;
        case TMessageKind::MouseDown:
            MouseDown(m.Button, m.Shift, m.X, m.Y);
            if (OnMouseDown) OnMouseDown(*this, m.Button, m.Shift, m.X, m.Y);
            break;
        case TMessageKind::MouseUp:
            MouseUp(m.Button, m.Shift, m.X, m.Y);
            if (OnMouseUp) OnMouseUp(*this, m.Button, m.Shift, m.X, m.Y);
            // A click is a left press and release on the same control, released inside it.
            if (m.Button == TMouseButton::Left && ClientRect().Contains(m.X, m.Y) && FEnabled)
                Click();
            break;
        case TMessageKind::DoubleClick:
            Fire(OnDblClick, *this);
            break;
        case TMessageKind::EraseBackground:
            break;
    }
}

int TControl::AddFreeNotification(std::function<void()> fn) {
    FFreeNotify.emplace_back(++FNextNotify, std::move(fn));
    return FNextNotify;
}

void TControl::RemoveFreeNotification(int id) {
    std::erase_if(FFreeNotify, [id](auto& p) { return p.first == id; });
}

void TControl::Paint(platform::TCanvas& canvas) {
    if (OnPaint) OnPaint(*this, canvas);
}

bool TControl::HiddenByOpaqueChild() const {
    TRect area = ClientRect();
    if (const TRect* d = FPaintingDirty)
        area = {std::max(area.Left, d->Left), std::max(area.Top, d->Top),
                std::min(area.Right, d->Right), std::min(area.Bottom, d->Bottom)};
    if (area.IsEmpty()) return false;
    for (const TControl* c : FChildren) {
        const TRect b = c->BoundsRect();
        if (c->Visible() && b.Left <= area.Left && b.Top <= area.Top && b.Right >= area.Right &&
            b.Bottom >= area.Bottom && c->PaintsOpaque())
            return true;
    }
    return false;
}

void TControl::PaintTree(platform::TCanvas& canvas, const TRect* dirty) {
    canvas.Save();
    canvas.IntersectClip(ClientRect().ToF());
    if (PaintProc) {
        const TRect* outer = FPaintingDirty;
        FPaintingDirty = dirty;
        PaintProc(canvas);
        FPaintingDirty = outer;
    }
    for (TControl* c : FChildren) {
        if (!c->Visible() || c->BoundsRect().IsEmpty()) continue;
        TRect b = c->BoundsRect();
        if (dirty && (b.Right <= dirty->Left || b.Left >= dirty->Right || b.Bottom <= dirty->Top ||
                      b.Top >= dirty->Bottom))
            continue;
        TRect inner;
        if (dirty) inner = dirty->Offset(-b.Left, -b.Top);
        canvas.Save();
        canvas.Translate(float(c->Left()), float(c->Top()));
        c->PaintTree(canvas, dirty ? &inner : nullptr);
        canvas.Restore();
    }
    canvas.Restore();
}

TControl* TControl::ControlAt(int x, int y) {
    for (auto it = FChildren.rbegin(); it != FChildren.rend(); ++it) {
        TControl* c = *it;
        if (!c->Visible() || !c->Enabled() || !c->TakesMouse() || !c->BoundsRect().Contains(x, y))
            continue;
        if (TControl* inner = c->ControlAt(x - c->Left(), y - c->Top())) return inner;
    }
    return this;
}

}  // namespace controls
