// Linux windows: Xlib top-level windows painted through a Cairo back buffer. The X connection's
// descriptor is watched by the event loop; events Xlib has already read are drained after every
// batch so none waits for the next wake-up.
// clang-format off
// Our headers come first: Xlib defines macros (None, Bool) that clash with plain names.
#include "platform/eventloop.h"
#include "platform/posix/canvas_cairo.h"
#include "platform/window.h"

#include "platform/clock.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/cursorfont.h>
#include <X11/keysym.h>
#include <X11/Xproto.h>
#include <cairo-xlib.h>
// clang-format on

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

namespace platform {
namespace {

struct TDisplay {
    Display* Dpy = nullptr;
    Atom WmDelete = 0, WmProtocols = 0, MotifHints = 0, NetWmState = 0, NetWmStateAbove = 0,
         NetMoveResize = 0, NetWmStateSkipTaskbar = 0, NetWmPid = 0;
    std::map<::Window, TWindow::TImpl*> Windows;
    std::map<TCursor, Cursor> Cursors;
    bool DrainPosted = false;
    bool Refused = false;  // the display named could not be opened
};

TDisplay& X() {
    static TDisplay d;
    return d;
}

void DrainEvents();

// Giving a window the focus races with the window manager and with the user: the window can be
// unmapped again by the time the server sees the request. That refusal is harmless; every other
// error goes to the handler that was there before.
XErrorHandler PreviousErrorHandler = nullptr;
int ErrorHandler(Display* dpy, XErrorEvent* e) {
    if (e->request_code == X_SetInputFocus) return 0;
    return PreviousErrorHandler ? PreviousErrorHandler(dpy, e) : 0;
}

// Whether a local X server's socket is there, for a DISPLAY such as ":1" or "unix:1.0". A
// server that is there but turns a connection away is busy and worth a second try; one whose
// socket is missing will not come, and a program without a display must end at once.
bool LocalServerSocketExists(const std::string& name) {
    const size_t colon = name.rfind(':');
    if (colon == std::string::npos) return false;
    const std::string host = name.substr(0, colon);
    if (!host.empty() && host != "unix") return false;
    const std::string number = name.substr(colon + 1, name.find('.', colon) - colon - 1);
    if (number.empty() || number.find_first_not_of("0123456789") != std::string::npos) return false;
    struct stat st {};
    return ::stat(("/tmp/.X11-unix/X" + number).c_str(), &st) == 0 && S_ISSOCK(st.st_mode);
}

Display* OpenDisplay() {
    TDisplay& x = X();
    if (x.Dpy || x.Refused) return x.Dpy;
    const char* name = std::getenv("DISPLAY");
    if (!name || !*name) return nullptr;
    x.Dpy = XOpenDisplay(nullptr);
    // A busy X server can turn a connection away for a moment; a window that silently never
    // appears is worse than a short wait.
    for (int attempt = 1; attempt < 20 && !x.Dpy && LocalServerSocketExists(name); ++attempt) {
        platform::SleepMs(100);
        x.Dpy = XOpenDisplay(nullptr);
    }
    if (!x.Dpy) {
        x.Refused = true;  // asked once per process: every later question has the same answer
        return nullptr;
    }
    x.WmDelete = XInternAtom(x.Dpy, "WM_DELETE_WINDOW", False);
    x.WmProtocols = XInternAtom(x.Dpy, "WM_PROTOCOLS", False);
    x.MotifHints = XInternAtom(x.Dpy, "_MOTIF_WM_HINTS", False);
    x.NetWmState = XInternAtom(x.Dpy, "_NET_WM_STATE", False);
    x.NetWmStateAbove = XInternAtom(x.Dpy, "_NET_WM_STATE_ABOVE", False);
    x.NetWmStateSkipTaskbar = XInternAtom(x.Dpy, "_NET_WM_STATE_SKIP_TASKBAR", False);
    x.NetMoveResize = XInternAtom(x.Dpy, "_NET_WM_MOVERESIZE", False);
    x.NetWmPid = XInternAtom(x.Dpy, "_NET_WM_PID", False);
    PreviousErrorHandler = XSetErrorHandler(ErrorHandler);
    TEventLoop::WatchDescriptor(ConnectionNumber(x.Dpy), [] { DrainEvents(); });
    return x.Dpy;
}

// Events Xlib read while we waited for a reply sit in its queue where poll() cannot see them.
void ScheduleDrain() {
    TDisplay& x = X();
    if (!x.Dpy || x.DrainPosted) return;
    XFlush(x.Dpy);
    if (XEventsQueued(x.Dpy, QueuedAlready) == 0) return;
    x.DrainPosted = true;
    TEventLoop::Post([] {
        X().DrainPosted = false;
        DrainEvents();
    });
}

}  // namespace

struct TWindow::TImpl {
    TWindow* Owner = nullptr;
    TWindow* OwnerWindow = nullptr;
    ::Window Win = 0;
    bool Visible = false, Enabled = true, ToolWindow = false, StayOnTop = false;
    bool FocusOnMap = false;  // shown: take the keyboard once the server has mapped it
    TRect Dirty;
    bool PaintPosted = false;
    cairo_surface_t* Back = nullptr;
    unsigned long LastClickTime = 0;
    unsigned LastClickButton = 0;
    int LastClickX = -100, LastClickY = -100;

    ~TImpl() {
        if (Back) cairo_surface_destroy(Back);
        if (Win) {
            X().Windows.erase(Win);
            XDestroyWindow(X().Dpy, Win);
            XFlush(X().Dpy);
        }
    }
    void AddDirty(const TRect& r) {
        if (r.Width() <= 0 || r.Height() <= 0) return;
        if (Dirty.Width() <= 0 || Dirty.Height() <= 0) {
            Dirty = r;
        } else {
            Dirty.Left = std::min(Dirty.Left, r.Left);
            Dirty.Top = std::min(Dirty.Top, r.Top);
            Dirty.Right = std::max(Dirty.Right, r.Right);
            Dirty.Bottom = std::max(Dirty.Bottom, r.Bottom);
        }
    }
    void Paint();
    void Handle(XEvent& e);
};

namespace {

void DrainEvents() {
    TDisplay& x = X();
    if (!x.Dpy) return;
    while (XPending(x.Dpy)) {
        XEvent e;
        XNextEvent(x.Dpy, &e);
        auto it = x.Windows.find(e.xany.window);
        if (it != x.Windows.end()) it->second->Handle(e);
    }
}

TShiftState ShiftOf(unsigned state) {
    TShiftState s = 0;
    if (state & ShiftMask) s |= kShift;
    if (state & ControlMask) s |= kCtrl;
    if (state & Mod1Mask) s |= kAlt;
    if (state & Button1Mask) s |= kLeftButton;
    if (state & Button3Mask) s |= kRightButton;
    if (state & Button2Mask) s |= kMiddleButton;
    return s;
}

TKey KeyOf(KeySym sym) {
    switch (sym) {
        case XK_Tab:
        case XK_ISO_Left_Tab:
        case XK_KP_Tab:
            return TKey::Tab;
        case XK_Return:
        case XK_KP_Enter:
            return TKey::Enter;
        case XK_Escape:
            return TKey::Escape;
        case XK_space:
        case XK_KP_Space:
            return TKey::Space;
        case XK_Left:
        case XK_KP_Left:
            return TKey::Left;
        case XK_Right:
        case XK_KP_Right:
            return TKey::Right;
        case XK_Up:
        case XK_KP_Up:
            return TKey::Up;
        case XK_Down:
        case XK_KP_Down:
            return TKey::Down;
        case XK_Page_Up:
        case XK_KP_Page_Up:
            return TKey::PageUp;
        case XK_Page_Down:
        case XK_KP_Page_Down:
            return TKey::PageDown;
        case XK_Home:
        case XK_KP_Home:
            return TKey::Home;
        case XK_End:
        case XK_KP_End:
            return TKey::End;
        default:
            return TKey::Other;
    }
}

bool ButtonOf(unsigned b, TMouseButton& out) {
    if (b == Button1)
        out = TMouseButton::Left;
    else if (b == Button3)
        out = TMouseButton::Right;
    else if (b == Button2)
        out = TMouseButton::Middle;
    else
        return false;
    return true;
}

void SendNetWmState(::Window w, bool add, Atom state) {
    TDisplay& x = X();
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = w;
    e.xclient.message_type = x.NetWmState;
    e.xclient.format = 32;
    e.xclient.data.l[0] = add ? 1 : 0;
    e.xclient.data.l[1] = long(state);
    e.xclient.data.l[3] = 1;
    XSendEvent(x.Dpy, DefaultRootWindow(x.Dpy), False,
               SubstructureRedirectMask | SubstructureNotifyMask, &e);
}

}  // namespace

void TWindow::TImpl::Paint() {
    PaintPosted = false;
    if (!Visible || Dirty.Width() <= 0 || Dirty.Height() <= 0) return;
    TRect dirty = Dirty;
    Dirty = {};
    if (!Back || cairo_image_surface_get_width(Back) != Owner->FWidth ||
        cairo_image_surface_get_height(Back) != Owner->FHeight) {
        if (Back) cairo_surface_destroy(Back);
        Back = cairo_image_surface_create(CAIRO_FORMAT_RGB24, std::max(1, Owner->FWidth),
                                          std::max(1, Owner->FHeight));
        dirty = {0, 0, Owner->FWidth, Owner->FHeight};
    }
    cairo_t* cr = cairo_create(Back);
    {
        posixgui::TCairoCanvas canvas(cr, Owner->FWidth, Owner->FHeight);
        canvas.IntersectClip(
            {float(dirty.Left), float(dirty.Top), float(dirty.Width()), float(dirty.Height())});
        if (Owner->OnPaint) Owner->OnPaint(canvas, dirty);
    }
    cairo_destroy(cr);
    Display* dpy = X().Dpy;
    cairo_surface_t* target = cairo_xlib_surface_create(
        dpy, Win, DefaultVisual(dpy, DefaultScreen(dpy)), Owner->FWidth, Owner->FHeight);
    cairo_t* out = cairo_create(target);
    cairo_rectangle(out, dirty.Left, dirty.Top, dirty.Width(), dirty.Height());
    cairo_clip(out);
    cairo_set_source_surface(out, Back, 0, 0);
    cairo_set_operator(out, CAIRO_OPERATOR_SOURCE);
    cairo_paint(out);
    cairo_destroy(out);
    cairo_surface_destroy(target);
    XFlush(dpy);
}

void TWindow::TImpl::Handle(XEvent& e) {
    TWindow& w = *Owner;
    switch (e.type) {
        case Expose:
            AddDirty({e.xexpose.x, e.xexpose.y, e.xexpose.x + e.xexpose.width,
                      e.xexpose.y + e.xexpose.height});
            if (e.xexpose.count == 0) Paint();
            break;
        case MotionNotify:
            if (Enabled && w.OnMouseMove)
                w.OnMouseMove(ShiftOf(e.xmotion.state), e.xmotion.x, e.xmotion.y);
            break;
        case LeaveNotify:
            if (Enabled && e.xcrossing.mode == NotifyNormal && w.OnMouseLeave) w.OnMouseLeave();
            break;
        case ButtonPress: {
            if (e.xbutton.button == Button4 || e.xbutton.button == Button5) {
                if (Enabled && w.OnMouseWheel)
                    w.OnMouseWheel(e.xbutton.button == Button4 ? 1 : -1, ShiftOf(e.xbutton.state),
                                   e.xbutton.x, e.xbutton.y);
                break;
            }
            TMouseButton b;
            if (!Enabled || !ButtonOf(e.xbutton.button, b)) break;
            bool dbl =
                e.xbutton.button == LastClickButton && e.xbutton.time - LastClickTime < 500 &&
                std::abs(e.xbutton.x - LastClickX) < 4 && std::abs(e.xbutton.y - LastClickY) < 4;
            LastClickButton = e.xbutton.button;
            LastClickTime = dbl ? 0 : e.xbutton.time;
            LastClickX = e.xbutton.x;
            LastClickY = e.xbutton.y;
            auto& handler = dbl && w.OnDoubleClick ? w.OnDoubleClick : w.OnMouseDown;
            if (handler) handler(b, ShiftOf(e.xbutton.state), e.xbutton.x, e.xbutton.y);
            break;
        }
        case ButtonRelease: {
            TMouseButton b;
            if (!Enabled || !ButtonOf(e.xbutton.button, b)) break;
            if (w.OnMouseUp) w.OnMouseUp(b, ShiftOf(e.xbutton.state), e.xbutton.x, e.xbutton.y);
            break;
        }
        case KeyPress: {
            if (!Enabled || !w.OnKeyDown) break;
            // The unshifted symbol: Shift+Tab is Tab with the shift state, not ISO_Left_Tab.
            const TKey key = KeyOf(XLookupKeysym(&e.xkey, 0));
            w.OnKeyDown(key, ShiftOf(e.xkey.state));
            break;
        }
        case MapNotify:
            if (FocusOnMap && Visible) {
                FocusOnMap = false;
                XSetInputFocus(X().Dpy, Win, RevertToParent, CurrentTime);
            }
            break;
        case ClientMessage:
            if (Atom(e.xclient.data.l[0]) == X().WmDelete) w.Close();
            break;
        default:
            break;
    }
}

bool TWindow::Available() {
    return OpenDisplay() != nullptr;
}

TWindow::TWindow(const TOptions& o) : F(std::make_unique<TImpl>()) {
    F->Owner = this;
    FWidth = std::max(1, o.ClientWidth);
    FHeight = std::max(1, o.ClientHeight);
    F->ToolWindow = o.ToolWindow;
    F->OwnerWindow = o.Owner;
    Display* dpy = OpenDisplay();
    if (!dpy) return;  // no display: the window exists only as state
    TDisplay& x = X();
    XSetWindowAttributes a{};
    a.override_redirect = o.ToolWindow ? True : False;
    a.background_pixel = BlackPixel(dpy, DefaultScreen(dpy));
    a.event_mask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                   LeaveWindowMask | StructureNotifyMask | KeyPressMask | FocusChangeMask;
    F->Win = XCreateWindow(dpy, DefaultRootWindow(dpy), 0, 0, unsigned(FWidth), unsigned(FHeight),
                           0, CopyFromParent, InputOutput, CopyFromParent,
                           CWOverrideRedirect | CWBackPixel | CWEventMask, &a);
    x.Windows[F->Win] = F.get();
    XSetWMProtocols(dpy, F->Win, &x.WmDelete, 1);
    long hints[5] = {2, 0, 0, 0, 0};  // decorations: none
    XChangeProperty(dpy, F->Win, x.MotifHints, x.MotifHints, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(hints), 5);
    if (o.Owner && o.Owner->F->Win) XSetTransientForHint(dpy, F->Win, o.Owner->F->Win);
    // Who we are for the window manager, the session and assistive technology: the class, that
    // the window takes keyboard input (tool windows never do), and the process behind it.
    XClassHint cls{const_cast<char*>("leapgate"), const_cast<char*>("Leapgate")};
    XSetClassHint(dpy, F->Win, &cls);
    XWMHints wm{};
    wm.flags = InputHint | StateHint;
    wm.input = o.ToolWindow ? False : True;
    wm.initial_state = NormalState;
    XSetWMHints(dpy, F->Win, &wm);
    long pid = long(::getpid());
    XChangeProperty(dpy, F->Win, x.NetWmPid, XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(&pid), 1);
    char host[256] = {};
    if (::gethostname(host, sizeof host - 1) == 0)
        XChangeProperty(dpy, F->Win, XA_WM_CLIENT_MACHINE, XA_STRING, 8, PropModeReplace,
                        reinterpret_cast<unsigned char*>(host), int(std::strlen(host)));
    SetCaption(o.Caption);
    ScheduleDrain();
}

TWindow::~TWindow() {
    // A run still going would wait for a window that is no more; the system's window goes with
    // F, after this.
    EndModal(2);
}

void TWindow::Show() {
    if (F->Visible) return;
    F->Visible = true;
    if (!F->Win) return;
    F->FocusOnMap = !F->ToolWindow;
    XMapRaised(X().Dpy, F->Win);
    F->AddDirty({0, 0, FWidth, FHeight});
    ScheduleDrain();
}

void TWindow::Hide() {
    if (!F->Visible) return;
    F->Visible = false;
    if (!F->Win) return;
    XUnmapWindow(X().Dpy, F->Win);
    ScheduleDrain();
}

bool TWindow::Visible() const {
    return F->Visible;
}

void TWindow::ResizeNative() {
    if (F->Win) XResizeWindow(X().Dpy, F->Win, unsigned(FWidth), unsigned(FHeight));
}

void TWindow::SetCaption(const std::string& caption) {
    if (!F->Win) return;
    Display* dpy = X().Dpy;
    XStoreName(dpy, F->Win, caption.c_str());
    XChangeProperty(dpy, F->Win, XInternAtom(dpy, "_NET_WM_NAME", False),
                    XInternAtom(dpy, "UTF8_STRING", False), 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(caption.data()), int(caption.size()));
}

void TWindow::SetPosition(int left, int top) {
    if (!F->Win) return;
    XMoveWindow(X().Dpy, F->Win, left, top);
    ScheduleDrain();
}

TRect TWindow::ScreenRect() const {
    if (!F->Win) return {0, 0, FWidth, FHeight};
    Display* dpy = X().Dpy;
    int x = 0, y = 0;
    ::Window child;
    XTranslateCoordinates(dpy, F->Win, DefaultRootWindow(dpy), 0, 0, &x, &y, &child);
    ScheduleDrain();
    return {x, y, x + FWidth, y + FHeight};
}

void TWindow::CenterOnScreen() {
    if (!F->Win) return;
    Display* dpy = X().Dpy;
    int sw = DisplayWidth(dpy, DefaultScreen(dpy)), sh = DisplayHeight(dpy, DefaultScreen(dpy));
    SetPosition((sw - FWidth) / 2, (sh - FHeight) / 2);
}

void TWindow::SetStayOnTop(bool on) {
    F->StayOnTop = on;
    if (!F->Win) return;
    if (F->Visible) {
        SendNetWmState(F->Win, on, X().NetWmStateAbove);
    } else if (on) {
        Atom a = X().NetWmStateAbove;
        XChangeProperty(X().Dpy, F->Win, X().NetWmState, XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<unsigned char*>(&a), 1);
    }
    if (on) XRaiseWindow(X().Dpy, F->Win);
    ScheduleDrain();
}

void TWindow::BringToFront() {
    if (!F->Win) return;
    XRaiseWindow(X().Dpy, F->Win);
    XSetInputFocus(X().Dpy, F->Win, RevertToParent, CurrentTime);
    ScheduleDrain();
}

void TWindow::Minimize() {
    if (!F->Win) return;
    XIconifyWindow(X().Dpy, F->Win, DefaultScreen(X().Dpy));
    ScheduleDrain();
}

void TWindow::StartMoveDrag() {
    if (!F->Win) return;
    Display* dpy = X().Dpy;
    XUngrabPointer(dpy, CurrentTime);
    ::Window root, child;
    int rx = 0, ry = 0, wx = 0, wy = 0;
    unsigned mask = 0;
    XQueryPointer(dpy, F->Win, &root, &child, &rx, &ry, &wx, &wy, &mask);
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = F->Win;
    e.xclient.message_type = X().NetMoveResize;
    e.xclient.format = 32;
    e.xclient.data.l[0] = rx;
    e.xclient.data.l[1] = ry;
    e.xclient.data.l[2] = 8;  // move
    e.xclient.data.l[3] = Button1;
    e.xclient.data.l[4] = 1;
    XSendEvent(dpy, DefaultRootWindow(dpy), False,
               SubstructureRedirectMask | SubstructureNotifyMask, &e);
    ScheduleDrain();
}

void TWindow::SetCapture() {
    if (!F->Win || !F->Visible) return;
    XGrabPointer(X().Dpy, F->Win, False, ButtonPressMask | ButtonReleaseMask | PointerMotionMask,
                 GrabModeAsync, GrabModeAsync, None, None, CurrentTime);
    ScheduleDrain();
}

void TWindow::ReleaseCapture() {
    if (!F->Win) return;
    XUngrabPointer(X().Dpy, CurrentTime);
    ScheduleDrain();
}

void TWindow::SetCursor(TCursor cursor) {
    if (!F->Win) return;
    TDisplay& x = X();
    auto it = x.Cursors.find(cursor);
    if (it == x.Cursors.end()) {
        unsigned shape = XC_left_ptr;
        if (cursor == TCursor::Hand) shape = XC_hand2;
        if (cursor == TCursor::IBeam) shape = XC_xterm;
        if (cursor == TCursor::Wait) shape = XC_watch;
        if (cursor == TCursor::SizeAll) shape = XC_fleur;
        it = x.Cursors.emplace(cursor, XCreateFontCursor(x.Dpy, shape)).first;
    }
    XDefineCursor(x.Dpy, F->Win, it->second);
    ScheduleDrain();
}

void TWindow::SetEnabled(bool enabled) {
    F->Enabled = enabled;
}
bool TWindow::Enabled() const {
    return F->Enabled;
}

void TWindow::Invalidate(const TRect* rect) {
    F->AddDirty(rect ? *rect : TRect{0, 0, FWidth, FHeight});
    if (F->PaintPosted || !F->Visible || !F->Win) return;
    F->PaintPosted = true;
    TImpl* impl = F.get();
    ::Window win = F->Win;
    TEventLoop::Post([impl, win] {
        // The window may be gone by now: look it up again.
        auto it = X().Windows.find(win);
        if (it != X().Windows.end() && it->second == impl) impl->Paint();
    });
}

void TWindow::Update() {
    if (F->Win && F->Visible) F->Paint();
}

void TWindow::EnterModal() {
    TWindow* owner = F->OwnerWindow;
    if (owner) owner->SetEnabled(false);
    Show();
    if (owner) CenterOn(*owner);
}

void TWindow::LeaveModal() {
    if (TWindow* owner = F->OwnerWindow) {
        owner->SetEnabled(true);
        owner->BringToFront();
    }
    Hide();
}

void* TWindow::NativeHandle() const {
    return reinterpret_cast<void*>(F->Win);
}

}  // namespace platform
