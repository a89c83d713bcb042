// The notification-area icon on Windows, with a hidden message window for its callbacks.
// clang-format off
#include "platform/win32/gdiplus.h"
#include <shellapi.h>
// clang-format on

#include "platform/tray.h"

#include <cstring>

#include "platform/win32/wide.h"

namespace platform {

namespace {
constexpr UINT kTrayMessage = WM_APP + 20;
const wchar_t kTrayClass[] = L"LeapgateTray";

HICON IconFromImage(const TImage& image) {
    if (image.Empty()) return nullptr;
    BITMAPV5HEADER h{};
    h.bV5Size = sizeof(h);
    h.bV5Width = image.Width();
    h.bV5Height = -image.Height();
    h.bV5Planes = 1;
    h.bV5BitCount = 32;
    h.bV5Compression = BI_BITFIELDS;
    h.bV5RedMask = 0x00FF0000;
    h.bV5GreenMask = 0x0000FF00;
    h.bV5BlueMask = 0x000000FF;
    h.bV5AlphaMask = 0xFF000000;
    void* bits = nullptr;
    HDC dc = GetDC(nullptr);
    HBITMAP color =
        CreateDIBSection(dc, reinterpret_cast<BITMAPINFO*>(&h), DIB_RGB_COLORS, &bits, nullptr, 0);
    ReleaseDC(nullptr, dc);
    if (!color) return nullptr;
    std::memcpy(bits, image.Pixels(), size_t(image.Width()) * image.Height() * 4);
    HBITMAP mask = CreateBitmap(image.Width(), image.Height(), 1, 1, nullptr);
    ICONINFO ii{TRUE, 0, 0, mask, color};
    HICON icon = CreateIconIndirect(&ii);
    DeleteObject(mask);
    DeleteObject(color);
    return icon;
}

}  // namespace

struct TTrayIcon::TImpl {
    TTrayIcon* Self = nullptr;
    HWND Hwnd = nullptr;
    HICON Icon = nullptr;
    bool OwnIcon = false;
    std::string Tip;
    bool Added = false;

    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
        auto* impl = reinterpret_cast<TImpl*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (impl && msg == kTrayMessage && (lp == WM_LBUTTONUP || lp == WM_LBUTTONDBLCLK)) {
            if (impl->Self->OnClick) impl->Self->OnClick();
            return 0;
        }
        return DefWindowProcW(hwnd, msg, wp, lp);
    }
    NOTIFYICONDATAW Data() {
        NOTIFYICONDATAW d{};
        d.cbSize = sizeof(d);
        d.hWnd = Hwnd;
        d.uID = 1;
        d.uFlags = NIF_ICON | NIF_MESSAGE | NIF_TIP;
        d.uCallbackMessage = kTrayMessage;
        d.hIcon = Icon ? Icon : LoadIconW(GetModuleHandleW(nullptr), L"MAINICON");
        if (!d.hIcon) d.hIcon = LoadIconW(nullptr, MAKEINTRESOURCEW(32512));
        std::wstring tip = Wide(Tip).substr(0, 127);
        std::copy(tip.begin(), tip.end(), d.szTip);
        return d;
    }
};

TTrayIcon::TTrayIcon() : F(std::make_unique<TImpl>()) {
    F->Self = this;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = TImpl::Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kTrayClass;
    RegisterClassExW(&wc);  // fails harmlessly when already registered
    F->Hwnd = CreateWindowExW(0, kTrayClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(F->Hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(F.get()));
}

TTrayIcon::~TTrayIcon() {
    Hide();
    if (F->OwnIcon && F->Icon) DestroyIcon(F->Icon);
    if (F->Hwnd) DestroyWindow(F->Hwnd);
}

void TTrayIcon::SetIcon(const TImage& icon) {
    if (F->OwnIcon && F->Icon) DestroyIcon(F->Icon);
    F->Icon = IconFromImage(icon);
    F->OwnIcon = F->Icon != nullptr;
    if (F->Added) {
        NOTIFYICONDATAW d = F->Data();
        Shell_NotifyIconW(NIM_MODIFY, &d);
    }
}

void TTrayIcon::SetTip(const std::string& tip) {
    F->Tip = tip;
}

void TTrayIcon::Show() {
    FVisible = true;
    if (F->Added) return;
    NOTIFYICONDATAW d = F->Data();
    F->Added = Shell_NotifyIconW(NIM_ADD, &d) != FALSE;
}

void TTrayIcon::Hide() {
    FVisible = false;
    if (!F->Added) return;
    NOTIFYICONDATAW d = F->Data();
    Shell_NotifyIconW(NIM_DELETE, &d);
    F->Added = false;
}

}  // namespace platform
