// A form: the client area of a top-level window holding controls. It routes the window's mouse
// input to the control under the mouse (enter/leave, capture while a button is held, clicks),
// and its keys along a focus order (Tab and Shift+Tab, Enter and Space on the focused control,
// Enter for the default control, Esc for the cancel control), shows control hints, paints the
// controls double-buffered with a focus ring once the keyboard is used, describes its controls
// for assistive technology, and can be painted into any canvas without a window (screenshots,
// tests).
#pragma once
#include <memory>

#include "controls/control.h"
#include "controls/hintscheduler.h"
#include "platform/eventloop.h"

namespace controls {

class TForm : public TControl {
public:
    TForm(int clientWidth, int clientHeight, const std::string& caption = {});
    ~TForm() override;

    TColor Color = Rgb(31, 31, 31);
    // The form skin's border line, drawn over everything (clNone: none).
    TColor BorderColor = clNone;
    std::string Caption;
    TForm* Owner = nullptr;  // set before the window is made

    // The form's window, made on first use.
    platform::TWindow& Window();
    bool HasWindow() const { return FWindow != nullptr; }
    void ShowWindow();
    void HideWindow();
    int ShowModal();
    void CloseModal(int result);
    void StartMoveDrag();

    // Control bookkeeping (called by the controls).
    void InvalidateRect(const TRect& rect);
    void UpdateNow();
    void CursorChanged(TControl& control);
    void ControlStateChanged(TControl& control);
    void ControlRemoved(TControl& control);
    bool NeedsPaint() const { return !FDirty.IsEmpty(); }
    TRect DirtyRect() const { return FDirty; }  // what the next paint covers at least

    // Mouse input in client coordinates (from the window, or injected by tests).
    void HandleMouseMove(TShiftState shift, int x, int y);
    void HandleMouseDown(TMouseButton button, TShiftState shift, int x, int y);
    void HandleMouseUp(TMouseButton button, TShiftState shift, int x, int y);
    void HandleDoubleClick(TMouseButton button, TShiftState shift, int x, int y);
    void HandleMouseLeave();
    // A window opened over this one takes the mouse: nothing here looks hovered or pressed
    // until the mouse moves over the form again (also when this happens inside a click).
    void LoseMouse();
    void HandleMouseWheel(int notches, TShiftState shift, int x, int y);
    // Keys (from the window, or injected by tests).
    void HandleKeyDown(TKey key, TShiftState shift);
    THintWindow& HintWindow() { return FHints.Window(); }
    TControl* HotControl() const { return FHot; }
    TCursor CurrentCursor() const { return FCursor; }

    // Paints the form (or only what meets `dirty`) into a canvas of its size.
    void PaintTo(platform::TCanvas& canvas, const TRect* dirty = nullptr);

    std::function<void()> OnShow, OnClose;

    // The controls Tab visits, in order; a hidden or disabled one is passed over.
    void SetFocusOrder(std::vector<TControl*> order);
    const std::vector<TControl*>& FocusOrder() const { return FFocusOrder; }
    bool InFocusOrder(const TControl* control) const;
    TControl* Focused() const { return FFocus; }
    void SetFocus(TControl* control);  // null: none
    // Moves the focus to the next (or previous) control that can take it; false if none can.
    bool FocusNext(bool backward = false);
    bool CanFocus(const TControl* control) const;
    bool FocusRingShown() const { return FRingShown; }
    TControl* DefaultControl = nullptr;  // Enter, when the focused control does not act on it
    TControl* CancelControl = nullptr;   // Esc
    TColor FocusRingColor = platform::MakeArgb(200, 238, 238, 238);
    static constexpr int kFocusRingGap = 2;  // between the control and its ring
    // Keys neither the focus order nor the focused control used; true: used.
    std::function<bool(TKey key, TShiftState shift)> OnKeyDown;

    // The controls that have a role, in painting order, with their parts (a list's rows);
    // `owners` receives the control behind each node.
    std::vector<TAccessibleNode> AccessibleTree(std::vector<TControl*>* owners = nullptr) const;
    TAccessibleRole Role = TAccessibleRole::Client;

protected:
    void Paint(platform::TCanvas& canvas) override;

private:
    void SetHot(TControl* control);
    void Send(TControl& c, TMessageKind kind, TMouseButton b, TShiftState s, int x, int y);
    void UpdateCursor();
    void CancelHint() { FHints.RequestHide(); }
    void FireClose();
    void InvalidateRing();
    TRect RingRect() const;
    void AddAccessible(const TControl& c, int parent, std::vector<TAccessibleNode>& out,
                       std::vector<TControl*>* owners) const;

    std::unique_ptr<platform::TWindow> FWindow;
    TRect FDirty;
    TControl* FHot = nullptr;
    TControl* FCaptured = nullptr;
    bool FMouseLost = false;  // LoseMouse ran while a release was being delivered
    TCursor FCursor = TCursor::Default;
    THintScheduler FHints;
    std::vector<TControl*> FFocusOrder;
    TControl* FFocus = nullptr;
    bool FRingShown = false;
    std::vector<TControl*> FAccessibleOwners;  // behind the nodes of the last tree given out
};

}  // namespace controls
