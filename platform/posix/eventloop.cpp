#include "platform/eventloop.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <deque>
#include <map>
#include <mutex>
#include <vector>

#include "platform/clock.h"
#include "platform/common/eventloop_release.h"
#include "platform/posix/eventloop_internal.h"
#include "platform/socket.h"

namespace platform {

namespace {

struct TTimer {
    uint32_t Interval;
    uint64_t Due;
    std::function<void()> Tick;
    bool Running = false;
};

struct TSocketWatch {
    unsigned Events;
    SocketCallback Callback;
    bool Connecting;  // waiting for a non-blocking connect to complete
    bool WriteArmed;  // a kSockWrite is owed (after connect, or after a blocked send)
};

struct TLoop {
    std::mutex PostLock;
    std::deque<std::function<void()>> Posted;
    int WakeRead = -1, WakeWrite = -1;
    std::atomic<bool> QuitRequested{false};
    std::map<TimerId, TTimer> Timers;
    TimerId NextTimer = 1;
    std::map<SocketHandle, TSocketWatch> Sockets;
    std::map<int, std::function<void()>> Descriptors;

    TLoop() {
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) == 0) {
            WakeRead = fds[0];
            WakeWrite = fds[1];
        }
    }
    void Wake() {
        const char b = 1;
        [[maybe_unused]] ssize_t n = ::write(WakeWrite, &b, 1);
    }
    void DrainWake() {
        char buf[64];
        while (::read(WakeRead, buf, sizeof buf) > 0) {
        }
    }
};

TLoop& Loop() {
    static TLoop* loop = new TLoop;  // lives to the process end: other threads may still Post
    return *loop;
}

bool RunPosted() {
    TLoop& l = Loop();
    std::deque<std::function<void()>> batch;
    {
        std::lock_guard<std::mutex> lock(l.PostLock);
        batch.swap(l.Posted);
    }
    for (auto& work : batch) work();
    return !batch.empty();
}

bool RunDueTimers() {
    TLoop& l = Loop();
    const uint64_t now = MonotonicMs();
    std::vector<TimerId> due;
    for (auto& [id, t] : l.Timers)
        if (t.Due <= now && !t.Running) due.push_back(id);
    for (TimerId id : due) {
        auto it = l.Timers.find(id);
        if (it == l.Timers.end() || it->second.Running) continue;  // killed by an earlier tick
        it->second.Due = MonotonicMs() + it->second.Interval;
        it->second.Running = true;
        auto tick = it->second.Tick;  // the timer may be killed inside its own tick
        tick();
        it = l.Timers.find(id);
        if (it != l.Timers.end()) it->second.Running = false;
    }
    return !due.empty();
}

int NextTimerDelay(int cap) {
    TLoop& l = Loop();
    const uint64_t now = MonotonicMs();
    int delay = cap;
    for (const auto& [id, t] : l.Timers) {
        if (t.Running) continue;
        const int d = t.Due <= now ? 0 : static_cast<int>(t.Due - now);
        if (d < delay) delay = d;
    }
    return delay;
}

// One poll over everything watched; dispatches what is ready. True when anything ran.
bool PollOnce(int timeoutMs) {
    TLoop& l = Loop();
    std::vector<pollfd> fds;
    std::vector<int> kinds;  // 0 wake, 1 socket, 2 descriptor
    fds.push_back({l.WakeRead, POLLIN, 0});
    kinds.push_back(0);
    for (const auto& [s, w] : l.Sockets) {
        short ev = 0;
        if (w.Connecting || w.WriteArmed) ev |= POLLOUT;
        if (!w.Connecting && (w.Events & (kSockRead | kSockClose))) ev |= POLLIN;
        fds.push_back({static_cast<int>(s), ev, 0});
        kinds.push_back(1);
    }
    for (const auto& [fd, cb] : l.Descriptors) {
        fds.push_back({fd, POLLIN, 0});
        kinds.push_back(2);
    }
    {
        std::lock_guard<std::mutex> lock(l.PostLock);
        if (!l.Posted.empty()) timeoutMs = 0;
    }
    int n = ::poll(fds.data(), fds.size(), timeoutMs);
    if (n <= 0) return false;
    bool ran = false;
    for (size_t i = 0; i < fds.size(); ++i) {
        const short re = fds[i].revents;
        if (!re) continue;
        if (kinds[i] == 0) {
            l.DrainWake();
            continue;
        }
        if (kinds[i] == 2) {
            auto it = l.Descriptors.find(fds[i].fd);
            if (it == l.Descriptors.end()) continue;
            auto cb = it->second;
            cb();
            ran = true;
            continue;
        }
        const SocketHandle s = fds[i].fd;
        auto it = l.Sockets.find(s);
        if (it == l.Sockets.end()) continue;  // unwatched by an earlier callback
        TSocketWatch& w = it->second;
        unsigned events = 0;
        int error = 0;
        if (w.Connecting && (re & (POLLOUT | POLLERR | POLLHUP))) {
            socklen_t len = sizeof error;
            ::getsockopt(static_cast<int>(s), SOL_SOCKET, SO_ERROR, &error, &len);
            w.Connecting = false;
            events |= kSockConnect;
            if (error == 0)
                w.WriteArmed = (w.Events & kSockWrite) != 0;
            else
                w.WriteArmed = false;
        } else {
            if ((re & POLLOUT) && w.WriteArmed) {
                w.WriteArmed = false;
                if (w.Events & kSockWrite) events |= kSockWrite;
            }
            if (re & POLLIN) {
                if (w.Events & kSockRead)
                    events |= kSockRead;
                else if (w.Events & kSockClose)
                    events |= kSockClose;
            } else if (re & (POLLERR | POLLHUP)) {
                socklen_t len = sizeof error;
                ::getsockopt(static_cast<int>(s), SOL_SOCKET, SO_ERROR, &error, &len);
                events |= kSockClose;
                // Nothing more will come; stop polling it until the owner closes it.
                w.Events &= ~(kSockRead | kSockClose);
            }
        }
        if (!events) continue;
        error = SocketErrorFromSystem(error);  // Winsock's numbers on every platform
        auto cb = w.Callback;
        // Connect results are split from the write that Winsock sends right after them.
        if ((events & kSockConnect) && error == 0 && (w.Events & kSockWrite)) {
            it->second.WriteArmed = false;
            cb(kSockConnect, 0);
            auto again = l.Sockets.find(s);
            if (again != l.Sockets.end()) again->second.Callback(kSockWrite, 0);
        } else {
            cb(events, (events & (kSockConnect | kSockClose)) ? error : 0);
        }
        ran = true;
    }
    return ran;
}

bool Turn(int timeoutMs) {
    bool ran = RunPosted();
    const int wait = ran ? 0 : NextTimerDelay(timeoutMs);
    ran |= PollOnce(wait);
    ran |= RunDueTimers();
    ran |= RunPosted();
    detail::EndOfTurn();
    return ran;
}

void ProcessPending() {
    // Bounded, so that a descriptor that stays readable cannot hold the caller forever.
    for (int i = 0; i < 64 && Turn(0); ++i) {
    }
}

}  // namespace

namespace detail {
void ArmSocketWrite(SocketHandle socket) {
    auto it = Loop().Sockets.find(socket);
    if (it != Loop().Sockets.end()) it->second.WriteArmed = true;
}
}  // namespace detail

void TEventLoop::Post(std::function<void()> work) {
    TLoop& l = Loop();
    {
        std::lock_guard<std::mutex> lock(l.PostLock);
        l.Posted.push_back(std::move(work));
    }
    l.Wake();
}

TimerId TEventLoop::SetTimer(uint32_t intervalMs, std::function<void()> tick) {
    TLoop& l = Loop();
    const TimerId id = l.NextTimer++;
    if (intervalMs == 0) intervalMs = 1;
    l.Timers[id] = TTimer{intervalMs, MonotonicMs() + intervalMs, std::move(tick)};
    return id;
}

void TEventLoop::KillTimer(TimerId id) {
    Loop().Timers.erase(id);
}

void TEventLoop::RestartTimer(TimerId id) {
    auto it = Loop().Timers.find(id);
    if (it != Loop().Timers.end()) it->second.Due = MonotonicMs() + it->second.Interval;
}

void TEventLoop::WatchSocket(SocketHandle socket, unsigned events, SocketCallback callback) {
    TLoop& l = Loop();
    auto it = l.Sockets.find(socket);
    const bool wasArmed = it != l.Sockets.end() && it->second.WriteArmed;
    l.Sockets[socket] =
        TSocketWatch{events, std::move(callback), (events & kSockConnect) != 0,
                     wasArmed || ((events & kSockWrite) && !(events & kSockConnect))};
}

void TEventLoop::UnwatchSocket(SocketHandle socket) {
    Loop().Sockets.erase(socket);
}

void TEventLoop::WatchDescriptor(int fd, std::function<void()> readable) {
    Loop().Descriptors[fd] = std::move(readable);
}

void TEventLoop::UnwatchDescriptor(int fd) {
    Loop().Descriptors.erase(fd);
}

void TEventLoop::ProcessMessages() {
    detail::TLoopEntry entry;
    ProcessPending();
}

void TEventLoop::WaitAndProcess(uint32_t timeoutMs) {
    detail::TLoopEntry entry;
    Turn(static_cast<int>(timeoutMs));
    ProcessPending();
}

void TEventLoop::Run() {
    detail::TLoopEntry entry;
    TLoop& l = Loop();
    while (!l.QuitRequested.load()) Turn(1000);
    l.QuitRequested = false;
}

void TEventLoop::Quit() {
    Loop().QuitRequested = true;
    Loop().Wake();
}

bool TEventLoop::RunUntil(const std::function<bool()>& done, uint32_t timeoutMs) {
    detail::TLoopEntry entry;
    const uint64_t end = MonotonicMs() + timeoutMs;
    while (!done()) {
        const uint64_t now = MonotonicMs();
        if (now >= end) return done();
        Turn(static_cast<int>(std::min<uint64_t>(end - now, 50)));
    }
    return true;
}

}  // namespace platform
