#include "platform/screen.h"

#include "platform/win32/win.h"
#include <dwmapi.h>

#include "platform/win32/system_library.h"
#include "platform/win32/wide.h"

namespace platform {

namespace {

class TWinScreen : public IScreen {
public:
    int ScreenWidth() override { return ::GetSystemMetrics(SM_CXSCREEN); }
    int ScreenHeight() override { return ::GetSystemMetrics(SM_CYSCREEN); }
    TForegroundWindow ForegroundWindow() override {
        TForegroundWindow out;
        HWND w = ::GetForegroundWindow();
        if (!w) return out;
        out.Exists = true;
        out.IsDesktop = w == ::GetDesktopWindow();
        RECT r;
        if (::GetWindowRect(w, &r)) out.Rect = TRect{r.left, r.top, r.right, r.bottom};
        wchar_t cls[256];
        const int n = ::GetClassNameW(w, cls, 256);
        if (n > 0) out.ClassName = Narrow(cls, static_cast<size_t>(n));
        return out;
    }
    bool IsCompositionEnabled() override {
        using Fn = HRESULT(WINAPI*)(BOOL*);
        HMODULE dwm = detail::LoadSystemLibrary(L"dwmapi.dll");
        if (!dwm) return false;
        auto fn = reinterpret_cast<Fn>(
            reinterpret_cast<void*>(::GetProcAddress(dwm, "DwmIsCompositionEnabled")));
        BOOL on = FALSE;
        const bool ok = fn && SUCCEEDED(fn(&on)) && on;
        ::FreeLibrary(dwm);
        return ok;
    }
};

}  // namespace

IScreen& RealScreen() {
    static TWinScreen screen;
    return screen;
}

}  // namespace platform
