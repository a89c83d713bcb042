// Signals reach the loop through a pipe: the handler may only write(), and the loop reads the
// byte and runs the program's handler as any other event.
#include "platform/stop_request.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>

#include "platform/eventloop.h"

namespace platform {

namespace {

int gPipe[2] = {-1, -1};
std::function<void()> gHandler;

void OnSignal(int) {
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] ssize_t n = ::write(gPipe[1], &byte, 1);
    errno = saved;
}

void Drain() {
    char buffer[64];
    int requests = 0;
    ssize_t n;
    while ((n = ::read(gPipe[0], buffer, sizeof buffer)) > 0) requests += static_cast<int>(n);
    for (int i = 0; i < requests && gHandler; ++i) {
        auto handler = gHandler;  // it may give the requests back while it runs
        handler();
    }
}

void Install(void (*action)(int)) {
    struct sigaction sa {};
    sa.sa_handler = action;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &sa, nullptr);
    ::sigaction(SIGTERM, &sa, nullptr);
}

}  // namespace

void WatchStopRequests(std::function<void()> handler) {
    if (!handler) {
        Install(SIG_DFL);
        gHandler = nullptr;
        if (gPipe[0] >= 0) TEventLoop::UnwatchDescriptor(gPipe[0]);
        return;
    }
    if (gPipe[0] < 0) {
        if (::pipe(gPipe) != 0) return;
        for (int fd : gPipe) {
            ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
            ::fcntl(fd, F_SETFD, FD_CLOEXEC);
        }
    }
    gHandler = std::move(handler);
    TEventLoop::WatchDescriptor(gPipe[0], Drain);
    Install(OnSignal);
}

}  // namespace platform
