// The user-interface thread's event loop: posted work (from any thread), periodic timers,
// socket notifications, nested processing of pending events and quitting. On Windows it is the
// thread's message loop with a hidden message window (SetTimer, WSAAsyncSelect); on Linux
// poll() over the sockets, other descriptors and a wake pipe.
//
// All functions except Post and Quit must be called on the loop's thread (the thread that first
// used the loop). Callbacks run on that thread.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>

namespace platform {

using SocketHandle = intptr_t;
inline constexpr SocketHandle kInvalidSocket = -1;

// Socket notifications, Winsock style: kSockConnect once when a non-blocking connect completes
// (error 0 or the failure), kSockRead while data (or the peer's close) can be read — the
// receiver reads until the call would block —, kSockWrite once after connecting and again
// after a send that would have blocked, kSockClose when the peer closed or the connection broke.
enum : unsigned {
    kSockRead = 1,
    kSockWrite = 2,
    kSockConnect = 4,
    kSockClose = 8,
};
using SocketCallback = std::function<void(unsigned events, int error)>;
using TimerId = uint32_t;

class TEventLoop {
public:
    // Runs `work` on the loop's thread, after the events already pending. Any thread.
    static void Post(std::function<void()> work);
    // Periodic timer; the first tick comes after `intervalMs`. A tick is not queued twice.
    static TimerId SetTimer(uint32_t intervalMs, std::function<void()> tick);
    static void KillTimer(TimerId id);  // safe with an id that is already gone
    // The timer's next tick comes a whole interval from now; a tick that calls it for its own
    // timer makes the interval count from the tick's end. Nothing for an id that is gone.
    static void RestartTimer(TimerId id);
    // Notifications for `events` on the socket replace any earlier registration.
    static void WatchSocket(SocketHandle socket, unsigned events, SocketCallback callback);
    static void UnwatchSocket(SocketHandle socket);
    // Handles every event that is pending now, without waiting (Application.ProcessMessages).
    static void ProcessMessages();
    // Waits for one event or until `timeoutMs` passed, handles what is pending, and returns.
    static void WaitAndProcess(uint32_t timeoutMs);
    // Runs until Quit.
    static void Run();
    // Makes Run return (any thread). A Quit before Run makes Run return at once.
    static void Quit();
    // Runs until `done` returns true or the timeout passes; true when `done` became true.
    // For tests and modal waits.
    static bool RunUntil(const std::function<bool()>& done, uint32_t timeoutMs);
    // Keeps `object` until the outermost loop call on the stack has finished its current turn:
    // never inside a handler, never inside a nested ProcessMessages, WaitAndProcess or
    // RunUntil. An object that its owner drops from inside the object's own callback stays
    // valid until that callback (and whatever called it) has returned. Released in the order
    // asked; what a destructor releases in turn goes in the same pass.
    static void ReleaseLater(std::shared_ptr<void> object);
    template <class T>
    static void ReleaseLater(std::unique_ptr<T> object) {
        if (object) ReleaseLater(std::shared_ptr<void>(std::move(object)));
    }
    // Loop calls (Run, ProcessMessages, WaitAndProcess, RunUntil) on the stack now; 0 outside.
    static int Depth();
    // Linux only: a descriptor (such as the X server connection) watched for reading.
    static void WatchDescriptor(int fd, std::function<void()> readable);
    static void UnwatchDescriptor(int fd);
};

}  // namespace platform
