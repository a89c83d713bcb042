// The console's control events arrive on a thread of the system's; they are handed to the
// event loop, which runs the program's handler on its own thread.
#include "platform/stop_request.h"

#include "platform/win32/win.h"

#include <mutex>

#include "platform/eventloop.h"

namespace platform {

namespace {

std::mutex gLock;
std::function<void()> gHandler;

BOOL WINAPI OnControl(DWORD type) {
    {
        std::lock_guard<std::mutex> lock(gLock);
        if (!gHandler) return FALSE;
    }
    TEventLoop::Post([] {
        std::function<void()> handler;
        {
            std::lock_guard<std::mutex> lock(gLock);
            handler = gHandler;
        }
        if (handler) handler();
    });
    // Closing the console (or logging off) ends the process once this returns: give the loop
    // a moment to put its work away and end by itself first.
    if (type == CTRL_CLOSE_EVENT || type == CTRL_LOGOFF_EVENT || type == CTRL_SHUTDOWN_EVENT)
        ::Sleep(4000);
    return TRUE;
}

}  // namespace

void WatchStopRequests(std::function<void()> handler) {
    bool install;
    {
        std::lock_guard<std::mutex> lock(gLock);
        install = !gHandler && handler;
        const bool remove = gHandler && !handler;
        gHandler = std::move(handler);
        if (remove) ::SetConsoleCtrlHandler(OnControl, FALSE);
    }
    if (install) ::SetConsoleCtrlHandler(OnControl, TRUE);
}

}  // namespace platform
