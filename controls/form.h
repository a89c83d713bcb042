// A form: the client area of a top-level window holding controls. It routes the window's mouse
// input to the control under the mouse (enter/leave, capture while a button is held, clicks),
// shows control hints, paints the controls double-buffered and can be painted into any canvas
// without a window (screenshots, tests).
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
    THintWindow& HintWindow() { return FHints.Window(); }
    TControl* HotControl() const { return FHot; }
    TCursor CurrentCursor() const { return FCursor; }

    // Paints the form (or only what meets `dirty`) into a canvas of its size.
    void PaintTo(platform::TCanvas& canvas, const TRect* dirty = nullptr);

    std::function<void()> OnShow, OnClose;

protected:
    void Paint(platform::TCanvas& canvas) override;

private:
    void SetHot(TControl* control);
    void Send(TControl& c, TMessageKind kind, TMouseButton b, TShiftState s, int x, int y);
    void UpdateCursor();
    void CancelHint() { FHints.RequestHide(); }
    void FireClose();

    std::unique_ptr<platform::TWindow> FWindow;
    TRect FDirty;
    TControl* FHot = nullptr;
    TControl* FCaptured = nullptr;
    bool FMouseLost = false;  // LoseMouse ran while a release was being delivered
    TCursor FCursor = TCursor::Default;
    THintScheduler FHints;
};

}  // namespace controls
