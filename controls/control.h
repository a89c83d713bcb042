// The control base: bounds, visibility, enabled state, tag, hint, cursor, mouse and key events,
// what assistive technology is told about it, z-order among siblings and painting with clipping. A
// control's message procedure and paint procedure are replaceable (the layer animator takes over
// its drawing box through them).
#pragma once
#include <memory>
#include <optional>
#include <vector>

#include "controls/types.h"

namespace controls {

class TForm;

class TControl : public TObject {
public:
    TControl();
    ~TControl() override;
    TControl(const TControl&) = delete;
    TControl& operator=(const TControl&) = delete;

    // The parent holds the control for painting and mouse input but does not own it.
    void SetParent(TControl* parent);
    TControl* Parent() const { return FParent; }
    const std::vector<TControl*>& Controls() const { return FChildren; }
    TForm* Form();

    int Left() const { return FBounds.Left; }
    int Top() const { return FBounds.Top; }
    int Width() const { return FBounds.Width(); }
    int Height() const { return FBounds.Height(); }
    TRect BoundsRect() const { return FBounds; }
    TRect ClientRect() const { return {0, 0, Width(), Height()}; }
    void SetBounds(int left, int top, int width, int height);
    void SetLeft(int v) { SetBounds(v, Top(), Width(), Height()); }
    void SetTop(int v) { SetBounds(Left(), v, Width(), Height()); }
    void SetWidth(int v) { SetBounds(Left(), Top(), v, Height()); }
    void SetHeight(int v) { SetBounds(Left(), Top(), Width(), v); }
    // The control's origin in its form's client coordinates.
    void OriginInForm(int& x, int& y) const;

    bool Visible() const { return FVisible; }
    // Visible, and so are all its parents.
    bool Showing() const;
    void SetVisible(bool v);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    bool Enabled() const { return FEnabled; }
    virtual void SetEnabled(bool v);
    intptr_t Tag = 0;
    std::string Hint;
    bool ShowHint = false;
    TCursor Cursor() const { return FCursor; }
    void SetCursor(TCursor c);

    void BringToFront();
    void SendToBack();

    // Asks for a repaint of the control (coalesced), or repaints it now.
    void Invalidate();
    void Repaint();

    // Events.
    TNotifyEvent OnClick, OnDblClick, OnMouseEnter, OnMouseLeave;
    TMouseEvent OnMouseDown, OnMouseUp;
    TMouseMoveEvent OnMouseMove;
    std::function<void(TControl& sender, platform::TCanvas& canvas)> OnPaint;

    // Replaceable procedures; the defaults are DefaultHandler and Paint.
    std::function<void(TMessage& message)> WindowProc;
    std::function<void(platform::TCanvas& canvas)> PaintProc;
    void DefaultHandler(TMessage& message);

    // Told once when the control is destroyed (the animator detaches itself through it).
    int AddFreeNotification(std::function<void()> fn);
    void RemoveFreeNotification(int id);

    // Paints this control and its children; the canvas origin is the control's top-left.
    // `dirty` (in this control's coordinates, null: all) skips children outside it.
    void PaintTree(platform::TCanvas& canvas, const TRect* dirty = nullptr);
    // While the paint procedure runs: the part being painted (this control's coordinates), or
    // null when all of it is.
    const TRect* PaintingDirty() const { return FPaintingDirty; }
    // True when the control's paint leaves every pixel of its client area fully opaque, so
    // nothing beneath it ever shows there (a replaced paint procedure must keep to that).
    virtual bool PaintsOpaque() const { return false; }
    // The deepest visible, enabled control at (x, y) in this control's coordinates.
    TControl* ControlAt(int x, int y);

    // Keyboard: a key for the focused control (true: it used the key), and the action of
    // Enter or Space on it (true: it acted; the default is a click while enabled).
    virtual bool KeyDown(TKey /*key*/, TShiftState /*shift*/) { return false; }
    virtual bool KeyActivate();

    // For assistive technology. A control without a role is passed over (its children are
    // not). AccName and AccRole override what the control says of itself.
    std::string AccName;
    std::optional<TAccessibleRole> AccRole;
    std::optional<TAccessibleRole> AccessibleRole() const;
    std::string AccessibleName() const;
    virtual std::string AccessibleValue() const { return {}; }
    unsigned AccessibleState() const;  // platform::kAcc… flags
    // For one of a set of choices (a page dot): whether it is the chosen one. Set, the control
    // is told of as selectable, and as selected while it answers true.
    std::function<bool()> AccSelected;
    // Parts inside the control (a list's rows), appended with `parent` as their parent (the
    // control's own node, or its parent's for a control without a role); (ox, oy) is the
    // control's origin in its form. By default what OnAccessibleParts appends: an owner tells
    // of what someone else draws into the control (the animator's texts in its drawing box).
    virtual void AccessibleParts(std::vector<TAccessibleNode>& out, int parent, int ox,
                                 int oy) const;
    std::function<void(std::vector<TAccessibleNode>& out, int parent, int ox, int oy)>
        OnAccessibleParts;

protected:
    virtual void Paint(platform::TCanvas& canvas);
    // While the paint procedure runs: true when a visible child that paints opaque covers all
    // of the part being painted, so that a background drawn now would be painted over whole.
    bool HiddenByOpaqueChild() const;
    virtual void MouseEnter() {}
    virtual void MouseLeave() {}
    virtual void MouseDown(TMouseButton, TShiftState, int, int) {}
    virtual void MouseUp(TMouseButton, TShiftState, int, int) {}
    virtual void MouseMove(TShiftState, int, int) {}
    // True when the control used the wheel; otherwise its parent is asked.
    virtual bool MouseWheel(int /*notches*/, int /*x*/, int /*y*/) { return false; }
    virtual void Click() { Fire(OnClick, *this); }
    virtual void BoundsChanged() {}
    // False: the mouse passes through the control to what lies under it.
    virtual bool TakesMouse() const { return true; }
    virtual std::optional<TAccessibleRole> OwnAccessibleRole() const { return std::nullopt; }
    virtual std::string OwnAccessibleName() const { return Hint; }

private:
    friend class TForm;
    TControl* FParent = nullptr;
    std::vector<TControl*> FChildren;
    TRect FBounds;
    bool FVisible = true, FEnabled = true;
    TCursor FCursor = TCursor::Default;
    const TRect* FPaintingDirty = nullptr;
    int FNextNotify = 0;
    std::vector<std::pair<int, std::function<void()>>> FFreeNotify;
};

}  // namespace controls
