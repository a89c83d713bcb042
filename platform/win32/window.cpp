// Windows windows: borderless Win32 pop-ups painted double-buffered through GDI+. Their
// messages are dispatched by the thread's message loop (the event loop).
// clang-format off
#include "platform/win32/gdiplus.h"
#include <windowsx.h>
// clang-format on

#include "platform/window.h"

#include "platform/eventloop.h"
#include "platform/win32/accessible.h"
#include "platform/win32/wide.h"

namespace platform {

struct TWindow::TImpl {
    TWindow* Self = nullptr;
    HWND Hwnd = nullptr;
    HWND OwnerHwnd = nullptr;
    TWindow* OwnerWindow = nullptr;
    bool Tracking = false;
    HCURSOR Cursor = nullptr;
    // The back buffer: a DIB that GDI+ draws into directly as premultiplied ARGB.
    HDC BackDc = nullptr;
    HBITMAP BackDib = nullptr;
    HGDIOBJ BackOld = nullptr;
    std::unique_ptr<Gdiplus::Bitmap> BackBitmap;
    int BackW = 0, BackH = 0;
    ~TImpl() {
        if (Hwnd) {
            // Nothing of ours may answer the messages of the window's end.
            SetWindowLongPtrW(Hwnd, GWLP_USERDATA, 0);
            DestroyWindow(Hwnd);
        }
        FreeBack();
    }
    void FreeBack() {
        BackBitmap.reset();
        if (BackDc) {
            SelectObject(BackDc, BackOld);
            DeleteDC(BackDc);
        }
        if (BackDib) DeleteObject(BackDib);
        BackDc = nullptr;
        BackDib = nullptr;
    }
    bool EnsureBack(HDC dc);
    LRESULT Handle(UINT msg, WPARAM wp, LPARAM lp);
    void Paint();
};

namespace {

const wchar_t kClassName[] = L"LeapgateWindow";

LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
    }
    auto* impl = reinterpret_cast<TWindow::TImpl*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (impl && impl->Hwnd == hwnd) return impl->Handle(msg, wp, lp);
    return DefWindowProcW(hwnd, msg, wp, lp);
}

void RegisterOnce() {
    static bool done = false;
    if (done) return;
    done = true;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = WndProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    wc.hIcon = LoadIconW(wc.hInstance, L"MAINICON");
    wc.lpszClassName = kClassName;
    RegisterClassExW(&wc);
}

TShiftState ShiftOf(WPARAM wp) {
    TShiftState s = 0;
    if (wp & MK_SHIFT) s |= kShift;
    if (wp & MK_CONTROL) s |= kCtrl;
    if (GetKeyState(VK_MENU) < 0) s |= kAlt;
    if (wp & MK_LBUTTON) s |= kLeftButton;
    if (wp & MK_RBUTTON) s |= kRightButton;
    if (wp & MK_MBUTTON) s |= kMiddleButton;
    return s;
}

TKey KeyOf(WPARAM vk) {
    switch (vk) {
        case VK_TAB:
            return TKey::Tab;
        case VK_RETURN:
            return TKey::Enter;
        case VK_ESCAPE:
            return TKey::Escape;
        case VK_SPACE:
            return TKey::Space;
        case VK_LEFT:
            return TKey::Left;
        case VK_RIGHT:
            return TKey::Right;
        case VK_UP:
            return TKey::Up;
        case VK_DOWN:
            return TKey::Down;
        case VK_PRIOR:
            return TKey::PageUp;
        case VK_NEXT:
            return TKey::PageDown;
        case VK_HOME:
            return TKey::Home;
        case VK_END:
            return TKey::End;
        default:
            return TKey::Other;
    }
}

TShiftState KeyShift() {
    TShiftState s = 0;
    if (GetKeyState(VK_SHIFT) < 0) s |= kShift;
    if (GetKeyState(VK_CONTROL) < 0) s |= kCtrl;
    if (GetKeyState(VK_MENU) < 0) s |= kAlt;
    return s;
}

HCURSOR CursorOf(TCursor c) {
    const wchar_t* id = MAKEINTRESOURCEW(32512);  // arrow
    if (c == TCursor::Hand) id = MAKEINTRESOURCEW(32649);
    if (c == TCursor::IBeam) id = MAKEINTRESOURCEW(32513);
    if (c == TCursor::Wait) id = MAKEINTRESOURCEW(32514);
    if (c == TCursor::SizeAll) id = MAKEINTRESOURCEW(32646);
    return LoadCursorW(nullptr, id);
}

}  // namespace

bool TWindow::TImpl::EnsureBack(HDC dc) {
    if (BackDc && BackW == Self->FWidth && BackH == Self->FHeight) return true;
    FreeBack();
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = Self->FWidth;
    bi.bmiHeader.biHeight = -Self->FHeight;  // top-down, as GDI+ lays rows out
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    BackDib = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!BackDib) return false;
    BackDc = CreateCompatibleDC(dc);
    BackOld = SelectObject(BackDc, BackDib);
    BackBitmap = std::make_unique<Gdiplus::Bitmap>(Self->FWidth, Self->FHeight, Self->FWidth * 4,
                                                   PixelFormat32bppPARGB, static_cast<BYTE*>(bits));
    BackW = Self->FWidth;
    BackH = Self->FHeight;
    return true;
}

void TWindow::TImpl::Paint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(Hwnd, &ps);
    RECT r = ps.rcPaint;
    if (r.right > r.left && r.bottom > r.top && win32gui::EnsureGdiPlus() && EnsureBack(dc)) {
        {
            Gdiplus::Graphics g(BackBitmap.get());
            win32gui::TGdiPlusCanvas canvas(&g, Self->FWidth, Self->FHeight);
            TRect dirty{r.left, r.top, r.right, r.bottom};
            canvas.IntersectClip(
                {float(r.left), float(r.top), float(r.right - r.left), float(r.bottom - r.top)});
            if (Self->OnPaint) Self->OnPaint(canvas, dirty);
        }
        BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, BackDc, r.left, r.top,
               SRCCOPY);
    }
    EndPaint(Hwnd, &ps);
}

LRESULT TWindow::TImpl::Handle(UINT msg, WPARAM wp, LPARAM lp) {
    TWindow& w = *Self;
    int x = GET_X_LPARAM(lp), y = GET_Y_LPARAM(lp);
    auto button = [&](TMouseButton b, auto& handler) {
        if (handler) handler(b, ShiftOf(wp), x, y);
        return 0;
    };
    switch (msg) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT:
            Paint();
            return 0;
        case WM_SETCURSOR:
            if (LOWORD(lp) == HTCLIENT) {
                ::SetCursor(Cursor ? Cursor : CursorOf(TCursor::Default));
                return TRUE;
            }
            break;
        case WM_MOUSEMOVE:
            if (!Tracking) {
                TRACKMOUSEEVENT t{sizeof(t), TME_LEAVE, Hwnd, 0};
                Tracking = TrackMouseEvent(&t) != FALSE;
            }
            if (w.OnMouseMove) w.OnMouseMove(ShiftOf(wp), x, y);
            return 0;
        case WM_MOUSELEAVE:
            Tracking = false;
            if (w.OnMouseLeave) w.OnMouseLeave();
            return 0;
        case WM_LBUTTONDOWN:
            return button(TMouseButton::Left, w.OnMouseDown);
        case WM_RBUTTONDOWN:
            return button(TMouseButton::Right, w.OnMouseDown);
        case WM_MBUTTONDOWN:
            return button(TMouseButton::Middle, w.OnMouseDown);
        case WM_LBUTTONUP:
            return button(TMouseButton::Left, w.OnMouseUp);
        case WM_RBUTTONUP:
            return button(TMouseButton::Right, w.OnMouseUp);
        case WM_MBUTTONUP:
            return button(TMouseButton::Middle, w.OnMouseUp);
        case WM_LBUTTONDBLCLK:
            return button(TMouseButton::Left, w.OnDoubleClick ? w.OnDoubleClick : w.OnMouseDown);
        case WM_MOUSEWHEEL: {
            POINT p{x, y};  // screen coordinates for this message
            ScreenToClient(Hwnd, &p);
            if (w.OnMouseWheel)
                w.OnMouseWheel(GET_WHEEL_DELTA_WPARAM(wp) / WHEEL_DELTA,
                               ShiftOf(GET_KEYSTATE_WPARAM(wp)), p.x, p.y);
            return 0;
        }
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            // A disabled window (the owner of a modal one) that is still active gets the keys
            // as system keys, since none has the focus: they are not for it.
            if (w.OnKeyDown && IsWindowEnabled(Hwnd)) w.OnKeyDown(KeyOf(wp), KeyShift());
            // Alt combinations stay the system's (Alt+F4, the window menu); we only listen.
            if (msg == WM_KEYDOWN) return 0;
            break;
        case WM_GETOBJECT:
            // Our own object for the client area only; the window part stays the system's.
            if (LONG(lp) == LONG(OBJID_CLIENT) && w.OnAccessibleTree)
                if (LRESULT r = detail::AnswerClientObject(Hwnd, wp)) return r;
            break;
        case WM_CLOSE:
            w.Close();
            return 0;
        default:
            break;
    }
    return DefWindowProcW(Hwnd, msg, wp, lp);
}

bool TWindow::Available() {
    return true;
}

TWindow* detail::WindowOfHandle(HWND hwnd) {
    if (!hwnd || !IsWindow(hwnd)) return nullptr;
    wchar_t cls[64];
    if (GetClassNameW(hwnd, cls, 64) == 0 || lstrcmpW(cls, kClassName) != 0) return nullptr;
    auto* impl = reinterpret_cast<TWindow::TImpl*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    return impl && impl->Hwnd == hwnd ? impl->Self : nullptr;
}

TWindow::TWindow(const TOptions& o) : F(std::make_unique<TImpl>()) {
    RegisterOnce();
    F->Self = this;
    FWidth = std::max(1, o.ClientWidth);
    FHeight = std::max(1, o.ClientHeight);
    F->OwnerWindow = o.Owner;
    F->OwnerHwnd = o.Owner ? static_cast<HWND>(o.Owner->NativeHandle()) : nullptr;
    DWORD style = WS_POPUP | WS_CLIPCHILDREN | (o.ToolWindow ? 0 : WS_MINIMIZEBOX | WS_SYSMENU);
    DWORD ex = o.ToolWindow ? WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE : 0;
    // Set before the window exists: the creation messages already look for the instance.
    F->Hwnd = nullptr;
    HWND hwnd = CreateWindowExW(ex, kClassName, Wide(o.Caption).c_str(), style, 0, 0, FWidth,
                                FHeight, F->OwnerHwnd, nullptr, GetModuleHandleW(nullptr), F.get());
    F->Hwnd = hwnd;
}

TWindow::~TWindow() {
    // A run still going would wait for a window that is no more; the system's window goes with
    // F, after this.
    EndModal(2);
}

void TWindow::Show() {
    ShowWindow(F->Hwnd, F->OwnerHwnd && GetWindowLongW(F->Hwnd, GWL_EXSTYLE) & WS_EX_NOACTIVATE
                            ? SW_SHOWNOACTIVATE
                            : SW_SHOW);
    UpdateWindow(F->Hwnd);
}
void TWindow::Hide() {
    ShowWindow(F->Hwnd, SW_HIDE);
}
bool TWindow::Visible() const {
    return IsWindowVisible(F->Hwnd) != FALSE;
}

void TWindow::ResizeNative() {
    SetWindowPos(F->Hwnd, nullptr, 0, 0, FWidth, FHeight,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TWindow::SetCaption(const std::string& caption) {
    SetWindowTextW(F->Hwnd, Wide(caption).c_str());
}

void TWindow::SetPosition(int left, int top) {
    SetWindowPos(F->Hwnd, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

TRect TWindow::ScreenRect() const {
    POINT p{0, 0};
    ClientToScreen(F->Hwnd, &p);
    return {p.x, p.y, p.x + FWidth, p.y + FHeight};
}

void TWindow::CenterOnScreen() {
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    SetPosition(work.left + (work.right - work.left - FWidth) / 2,
                work.top + (work.bottom - work.top - FHeight) / 2);
}

void TWindow::SetStayOnTop(bool on) {
    SetWindowPos(F->Hwnd, on ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TWindow::BringToFront() {
    SetForegroundWindow(F->Hwnd);
    BringWindowToTop(F->Hwnd);
}

void TWindow::Minimize() {
    ShowWindow(F->Hwnd, SW_MINIMIZE);
}

void TWindow::StartMoveDrag() {
    ::ReleaseCapture();
    SendMessageW(F->Hwnd, WM_SYSCOMMAND, SC_MOVE | HTCAPTION, 0);
}

void TWindow::SetCapture() {
    ::SetCapture(F->Hwnd);
}
void TWindow::ReleaseCapture() {
    if (GetCapture() == F->Hwnd) ::ReleaseCapture();
}

void TWindow::SetCursor(TCursor cursor) {
    F->Cursor = CursorOf(cursor);
    POINT p;
    GetCursorPos(&p);
    if (WindowFromPoint(p) == F->Hwnd) ::SetCursor(F->Cursor);
}

void TWindow::SetEnabled(bool enabled) {
    EnableWindow(F->Hwnd, enabled ? TRUE : FALSE);
}
bool TWindow::Enabled() const {
    return IsWindowEnabled(F->Hwnd) != FALSE;
}

void TWindow::Invalidate(const TRect* rect) {
    if (rect) {
        RECT r{rect->Left, rect->Top, rect->Right, rect->Bottom};
        InvalidateRect(F->Hwnd, &r, FALSE);
    } else {
        InvalidateRect(F->Hwnd, nullptr, FALSE);
    }
}

void TWindow::Update() {
    UpdateWindow(F->Hwnd);
}

void TWindow::EnterModal() {
    if (F->OwnerHwnd) {
        EnableWindow(F->OwnerHwnd, FALSE);
        CenterOn(*F->OwnerWindow);
    }
    Show();
    SetForegroundWindow(F->Hwnd);
}

void TWindow::LeaveModal() {
    // The owner is enabled before this window hides, so the system activates the owner.
    if (F->OwnerHwnd) EnableWindow(F->OwnerHwnd, TRUE);
    Hide();
    if (F->OwnerHwnd) SetForegroundWindow(F->OwnerHwnd);
}

void* TWindow::NativeHandle() const {
    return F->Hwnd;
}

}  // namespace platform
