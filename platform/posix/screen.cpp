// The stand-in's screen: the X server's root window and its active window (as the window
// manager announces it), when a display is reachable.
#include "platform/screen.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace platform {

namespace {

// The foreground window may vanish between two questions about it; Xlib's default answer to
// that error is to end the process. While we ask, such errors only make the answer empty.
int IgnoreXError(Display*, XErrorEvent*) {
    return 0;
}

class TQuietErrors {
public:
    explicit TQuietErrors(Display* d) : FDisplay(d), FOld(::XSetErrorHandler(IgnoreXError)) {}
    ~TQuietErrors() {
        ::XSync(FDisplay, False);
        ::XSetErrorHandler(FOld);
    }

private:
    Display* FDisplay;
    XErrorHandler FOld;
};

class TX11Screen : public IScreen {
public:
    int ScreenWidth() override { return Query().Width; }
    int ScreenHeight() override { return Query().Height; }
    bool IsCompositionEnabled() override {
        Display* d = Connection();
        if (!d) return false;
        const Atom cm = ::XInternAtom(d, "_NET_WM_CM_S0", False);
        return ::XGetSelectionOwner(d, cm) != None;
    }
    TForegroundWindow ForegroundWindow() override {
        TForegroundWindow out;
        Display* d = Connection();
        if (!d) return out;
        std::optional<TQuietErrors> quiet(std::in_place, d);
        const Window root = DefaultRootWindow(d);
        const Atom active = ::XInternAtom(d, "_NET_ACTIVE_WINDOW", True);
        Window w = 0;
        if (active != None) {
            Atom type;
            int format;
            unsigned long count = 0, after = 0;
            unsigned char* data = nullptr;
            if (::XGetWindowProperty(d, root, active, 0, 1, False, XA_WINDOW, &type, &format,
                                     &count, &after, &data) == Success &&
                data && count == 1)
                w = *reinterpret_cast<Window*>(data);
            if (data) ::XFree(data);
        }
        if (w == 0) {
            int revert;
            ::XGetInputFocus(d, &w, &revert);
            if (w == PointerRoot || w == None) w = 0;
        }
        if (w != 0) {
            out.Exists = true;
            out.IsDesktop = w == root;
            XWindowAttributes a;
            if (::XGetWindowAttributes(d, w, &a)) {
                int x = 0, y = 0;
                Window child;
                ::XTranslateCoordinates(d, w, root, 0, 0, &x, &y, &child);
                out.Rect = TRect{x, y, x + a.width, y + a.height};
            }
            XClassHint hint{nullptr, nullptr};
            if (::XGetClassHint(d, w, &hint)) {
                out.ClassName = hint.res_class ? std::string(hint.res_class).substr(0, 255) : "";
                if (hint.res_name) ::XFree(hint.res_name);
                if (hint.res_class) ::XFree(hint.res_class);
            }
        }
        quiet.reset();
        return out;
    }

private:
    struct TSize {
        int Width = 0, Height = 0;
    };
    TSize Query() {
        TSize s;
        if (Display* d = Connection()) {
            s.Width = DisplayWidth(d, DefaultScreen(d));
            s.Height = DisplayHeight(d, DefaultScreen(d));
        }
        return s;
    }

    // One connection for every question of a start (the decision asks up to four in a row, and
    // each new connection is a round trip through the server's handshake), kept for the display
    // it was opened for; another DISPLAY gets a connection of its own.
    Display* Connection() {
        const char* env = std::getenv("DISPLAY");
        const std::string name = env ? env : "";
        if (FDisplay && name == FName) return FDisplay;
        if (FDisplay) ::XCloseDisplay(FDisplay);
        FName = name;
        FDisplay = name.empty() ? nullptr : ::XOpenDisplay(nullptr);
        return FDisplay;
    }

    Display* FDisplay = nullptr;
    std::string FName;
};

}  // namespace

IScreen& RealScreen() {
    static TX11Screen screen;
    return screen;
}

}  // namespace platform
