// The thread's message loop with a hidden message-only window that receives posted work,
// timers and socket notifications (WSAAsyncSelect).
#include "platform/eventloop.h"

#include "platform/win32/win.h"
#include "platform/common/eventloop_release.h"

#include <atomic>
#include <deque>
#include <map>
#include <mutex>

namespace platform {

namespace {

constexpr UINT kMsgPost = WM_APP + 1;
constexpr UINT kMsgQuit = WM_APP + 3;
// Each socket registration gets a message number of its own from this range, so a
// notification still queued for a closed socket never reaches a new socket that the system
// gave the same handle.
constexpr UINT kMsgSocketFirst = WM_APP + 16;
constexpr UINT kMsgSocketCount = 4096;

struct TTimer {
    UINT Interval;
    std::function<void()> Tick;
    bool Running = false;
};

struct TLoop {
    std::mutex PostLock;
    std::deque<std::function<void()>> Posted;
    std::atomic<HWND> Window{nullptr};
    std::atomic<bool> QuitRequested{false};
    std::map<TimerId, TTimer> Timers;
    TimerId NextTimer = 1;
    struct TSocketWatch {
        SocketCallback Callback;
        UINT Message;
    };
    std::map<SocketHandle, TSocketWatch> Sockets;
    UINT NextSocketMessage = 0;
};

TLoop& Loop() {
    static TLoop* loop = new TLoop;  // lives to the process end: other threads may still Post
    return *loop;
}

void RunOnePosted() {
    std::function<void()> work;
    {
        std::lock_guard<std::mutex> lock(Loop().PostLock);
        if (Loop().Posted.empty()) return;
        work = std::move(Loop().Posted.front());
        Loop().Posted.pop_front();
    }
    work();
}

void RunTimer(TimerId id) {
    auto it = Loop().Timers.find(id);
    if (it == Loop().Timers.end() || it->second.Running) return;
    it->second.Running = true;
    auto tick = it->second.Tick;  // the timer may be killed inside its own tick
    tick();
    it = Loop().Timers.find(id);
    if (it != Loop().Timers.end()) it->second.Running = false;
}

void RunSocket(SocketHandle s, UINT msg, LPARAM lParam) {
    auto it = Loop().Sockets.find(s);
    // A notification that outlived its registration, or one of an earlier socket that had
    // the same handle.
    if (it == Loop().Sockets.end() || it->second.Message != msg) return;
    const int event = WSAGETSELECTEVENT(lParam);
    const int error = WSAGETSELECTERROR(lParam);
    unsigned events = 0;
    if (event & FD_READ) events |= kSockRead;
    if (event & FD_WRITE) events |= kSockWrite;
    if (event & FD_CONNECT) events |= kSockConnect;
    if (event & FD_CLOSE) events |= kSockClose;
    auto cb = it->second.Callback;
    if (events) cb(events, error);
}

LRESULT CALLBACK LoopProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case kMsgPost:
            RunOnePosted();
            return 0;
        case kMsgQuit:
            return 0;  // only wakes the loop; the flag says the rest
        case WM_TIMER:
            RunTimer(static_cast<TimerId>(wParam));
            return 0;
        default:
            if (msg >= kMsgSocketFirst && msg < kMsgSocketFirst + kMsgSocketCount) {
                RunSocket(static_cast<SocketHandle>(wParam), msg, lParam);
                return 0;
            }
            return ::DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

// The window belongs to the thread that first uses the loop for anything but Post.
HWND Window() {
    TLoop& l = Loop();
    if (HWND w = l.Window.load()) return w;
    WNDCLASSW wc{};
    wc.lpfnWndProc = LoopProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"LeapgateEventLoop";
    ::RegisterClassW(&wc);
    HWND w = ::CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                               wc.hInstance, nullptr);
    l.Window.store(w);
    // Work posted before the window existed still needs its wake-up messages.
    size_t pending;
    {
        std::lock_guard<std::mutex> lock(l.PostLock);
        pending = l.Posted.size();
    }
    for (size_t i = 0; i < pending; ++i) ::PostMessageW(w, kMsgPost, 0, 0);
    return w;
}

bool Dispatch(MSG& m) {
    if (m.message == WM_QUIT) {
        Loop().QuitRequested = true;
        return false;
    }
    ::TranslateMessage(&m);
    ::DispatchMessageW(&m);
    detail::EndOfTurn();
    return true;
}

void ProcessPending() {
    Window();
    MSG m;
    while (::PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
        if (!Dispatch(m)) {
            // Leave the quit for the loop that owns it.
            ::PostQuitMessage(static_cast<int>(m.wParam));
            Loop().QuitRequested = false;
            break;
        }
    }
    // Messages sent from other threads are handled inside PeekMessage, outside any Dispatch.
    detail::EndOfTurn();
}

void WaitAndProcessPending(uint32_t timeoutMs) {
    Window();
    ::MsgWaitForMultipleObjectsEx(0, nullptr, timeoutMs, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    ProcessPending();
}

}  // namespace

void TEventLoop::Post(std::function<void()> work) {
    TLoop& l = Loop();
    {
        std::lock_guard<std::mutex> lock(l.PostLock);
        l.Posted.push_back(std::move(work));
    }
    if (HWND w = l.Window.load()) ::PostMessageW(w, kMsgPost, 0, 0);
}

TimerId TEventLoop::SetTimer(uint32_t intervalMs, std::function<void()> tick) {
    TLoop& l = Loop();
    const TimerId id = l.NextTimer++;
    const UINT interval = intervalMs == 0 ? 1 : intervalMs;
    l.Timers[id] = TTimer{interval, std::move(tick)};
    ::SetTimer(Window(), id, interval, nullptr);
    return id;
}

void TEventLoop::RestartTimer(TimerId id) {
    auto it = Loop().Timers.find(id);
    // Setting a timer the window already has starts its count again.
    if (it != Loop().Timers.end()) ::SetTimer(Window(), id, it->second.Interval, nullptr);
}

void TEventLoop::KillTimer(TimerId id) {
    if (Loop().Timers.erase(id)) ::KillTimer(Window(), id);
}

void TEventLoop::WatchSocket(SocketHandle socket, unsigned events, SocketCallback callback) {
    long mask = 0;
    if (events & kSockRead) mask |= FD_READ;
    if (events & kSockWrite) mask |= FD_WRITE;
    if (events & kSockConnect) mask |= FD_CONNECT;
    if (events & kSockClose) mask |= FD_CLOSE;
    TLoop& l = Loop();
    auto it = l.Sockets.find(socket);
    UINT message;
    if (it != l.Sockets.end()) {
        message = it->second.Message;  // the same registration: queued notifications still count
    } else {
        message = kMsgSocketFirst + l.NextSocketMessage;
        l.NextSocketMessage = (l.NextSocketMessage + 1) % kMsgSocketCount;
    }
    l.Sockets[socket] = {std::move(callback), message};
    ::WSAAsyncSelect(static_cast<SOCKET>(socket), Window(), message, mask);
}

void TEventLoop::UnwatchSocket(SocketHandle socket) {
    if (Loop().Sockets.erase(socket)) ::WSAAsyncSelect(static_cast<SOCKET>(socket), Window(), 0, 0);
}

void TEventLoop::WatchDescriptor(int, std::function<void()>) {}
void TEventLoop::UnwatchDescriptor(int) {}

void TEventLoop::ProcessMessages() {
    detail::TLoopEntry entry;
    ProcessPending();
}

void TEventLoop::WaitAndProcess(uint32_t timeoutMs) {
    detail::TLoopEntry entry;
    WaitAndProcessPending(timeoutMs);
}

void TEventLoop::Run() {
    detail::TLoopEntry entry;
    Window();
    TLoop& l = Loop();
    MSG m;
    while (!l.QuitRequested.load()) {
        const BOOL r = ::GetMessageW(&m, nullptr, 0, 0);
        if (r <= 0) break;
        Dispatch(m);
    }
    l.QuitRequested = false;
}

void TEventLoop::Quit() {
    TLoop& l = Loop();
    l.QuitRequested = true;
    if (HWND w = l.Window.load()) ::PostMessageW(w, kMsgQuit, 0, 0);
}

bool TEventLoop::RunUntil(const std::function<bool()>& done, uint32_t timeoutMs) {
    detail::TLoopEntry entry;
    Window();
    const ULONGLONG end = ::GetTickCount64() + timeoutMs;
    while (!done()) {
        const ULONGLONG now = ::GetTickCount64();
        if (now >= end) return done();
        WaitAndProcessPending(static_cast<uint32_t>(std::min<ULONGLONG>(end - now, 50)));
    }
    return true;
}

}  // namespace platform
