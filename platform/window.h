// Borderless top-level windows with double-buffered painting, mouse input, cursor, capture,
// drag-move by the system's move command, stay-on-top, minimising and modal runs with the
// owner disabled, keyboard input, and the window's part for assistive technology. Windows:
// Win32 + GDI+; Linux: Xlib + Cairo. Messages are handled by the thread's event loop
// (platform/eventloop.h).
#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/canvas.h"
#include "platform/screen.h"

namespace platform {

enum class TCursor { Default, Arrow, Hand, IBeam, Wait, SizeAll };
enum class TMouseButton { Left, Right, Middle };
using TShiftState = unsigned;
enum : unsigned {
    kShift = 1,
    kCtrl = 2,
    kAlt = 4,
    kLeftButton = 8,
    kRightButton = 16,
    kMiddleButton = 32,
};

// The keys the windows act on; every other key arrives as Other.
enum class TKey {
    Other,
    Tab,
    Enter,
    Escape,
    Space,
    Left,
    Right,
    Up,
    Down,
    PageUp,
    PageDown,
    Home,
    End,
};

// What assistive technology is told about one part of a window's client area.
enum class TAccessibleRole {
    Client,
    Dialog,
    Button,
    Link,
    StaticText,
    ProgressBar,
    List,
    ListItem
};
enum : unsigned {
    kAccFocused = 1,
    kAccDisabled = 2,
    kAccInvisible = 4,
    kAccFocusable = 8,
    kAccOffscreen = 16,
    kAccSelectable = 32,  // one of a set of choices (a page dot)
    kAccSelected = 64,    // the chosen one of them
};
struct TAccessibleNode {
    TAccessibleRole Role = TAccessibleRole::StaticText;
    std::string Name;
    std::string Value;   // a progress bar's "42%"
    unsigned State = 0;  // kAcc… flags
    TRect Bounds;        // client coordinates
    int Parent = -1;     // index of the containing node; -1: the window's client area
};

class TWindow {
public:
    struct TOptions {
        int ClientWidth = 100, ClientHeight = 100;
        std::string Caption;
        TWindow* Owner = nullptr;  // stays above it; disabled while this runs modally
        bool ToolWindow = false;   // no taskbar button (hint windows, the tray stand-in)
    };
    explicit TWindow(const TOptions& options);
    ~TWindow();
    TWindow(const TWindow&) = delete;
    TWindow& operator=(const TWindow&) = delete;

    // False when there is no display to open windows on (Linux without $DISPLAY).
    static bool Available();

    void Show();
    void Hide();
    bool Visible() const;
    void SetClientSize(int width, int height);
    int ClientWidth() const;
    int ClientHeight() const;
    void SetCaption(const std::string& caption);
    void SetPosition(int left, int top);  // screen coordinates of the client area
    TRect ScreenRect() const;             // client area on the screen
    void CenterOnScreen();
    void CenterOn(const TWindow& owner);
    void SetStayOnTop(bool on);
    void BringToFront();
    void Minimize();
    // Hands the mouse to the system's move command, so the user drags the window.
    void StartMoveDrag();
    void SetCapture();
    void ReleaseCapture();
    void SetCursor(TCursor cursor);
    void SetEnabled(bool enabled);
    bool Enabled() const;
    // Asks for a repaint of `rect` (client coordinates; null: all) and paints pending parts now.
    void Invalidate(const TRect* rect = nullptr);
    void Update();
    // Shows the window, disables the owner and runs the event loop until EndModal.
    int ShowModal();
    void EndModal(int result);
    bool InModal() const;
    void Close();  // OnClose, then hidden (ends a modal run with result 2 when none was set)

    // Painting into the back buffer; the canvas is clipped to the dirty part.
    std::function<void(TCanvas& canvas, const TRect& dirty)> OnPaint;
    std::function<void(TMouseButton button, TShiftState shift, int x, int y)> OnMouseDown;
    std::function<void(TMouseButton button, TShiftState shift, int x, int y)> OnMouseUp;
    std::function<void(TMouseButton button, TShiftState shift, int x, int y)> OnDoubleClick;
    std::function<void(TShiftState shift, int x, int y)> OnMouseMove;
    std::function<void()> OnMouseLeave;
    // The wheel turned by `notches` (positive: away from the user) with the mouse at (x, y).
    std::function<void(int notches, TShiftState shift, int x, int y)> OnMouseWheel;
    std::function<void()> OnClose;
    // A key pressed while the window has the keyboard focus (repeats included).
    std::function<void(TKey key, TShiftState shift)> OnKeyDown;
    // The parts of the client area for assistive technology, asked for when it looks; the
    // window's own name and role are its caption and `Role`.
    std::function<std::vector<TAccessibleNode>()> OnAccessibleTree;
    // Asks for the default action of node `index` of the last tree (a click); false when the
    // node cannot act (hidden, disabled, or nothing to do).
    std::function<bool(int index)> OnAccessibleAction;
    TAccessibleRole Role = TAccessibleRole::Client;

    void* NativeHandle() const;  // HWND or X11 Window

    struct TImpl;

private:
    // The system's part of a modal run, in the order each system wants: the owner disabled, this
    // window shown, centred on the owner and activated; afterwards the owner enabled again,
    // this window hidden and the owner activated.
    void EnterModal();
    void LeaveModal();
    // Gives the system's window the client size FWidth × FHeight.
    void ResizeNative();

    std::unique_ptr<TImpl> F;     // the system's window; destroyed before the events above
    int FWidth = 1, FHeight = 1;  // never less than a pixel
    bool FModal = false;
    int FModalResult = 0;
};

}  // namespace platform
