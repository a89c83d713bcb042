#include "tests/support/socket_io.h"

namespace testsupport {

namespace {
constexpr int kSliceMs = 50;

// Waits in slices until the socket is ready; false once `stop` is set.
bool WaitUnless(platform::SocketHandle s, unsigned events, const std::atomic<bool>& stop) {
    while (!stop.load()) {
        if (platform::SocketWait(s, events, kSliceMs)) return true;
    }
    return false;
}
}  // namespace

platform::SocketHandle AcceptUnless(platform::SocketHandle listener,
                                    const std::atomic<bool>& stop) {
    // A connection may vanish between the wait and the accept: that accept must not block.
    platform::SocketSetNonBlocking(listener);
    while (WaitUnless(listener, platform::kSockRead, stop)) {
        int error = 0;
        platform::SocketHandle s = platform::SocketAccept(listener, &error);
        if (s != platform::kInvalidSocket) {
            platform::SocketSetNonBlocking(s);
            return s;
        }
        // A connection that went away between the wait and the accept: wait again.
        if (error != platform::kWsaEWouldBlock && error != platform::kWsaEConnReset &&
            error != platform::kWsaEConnAborted)
            return platform::kInvalidSocket;
    }
    return platform::kInvalidSocket;
}

bool SendAllUnless(platform::SocketHandle s, const std::string& bytes,
                   const std::atomic<bool>& stop) {
    size_t sent = 0;
    while (sent < bytes.size()) {
        int error = 0;
        const int64_t n = platform::SocketSend(s, bytes.data() + sent, bytes.size() - sent, &error);
        if (n > 0) {
            sent += static_cast<size_t>(n);
        } else if (n < 0 && error == platform::kWsaEWouldBlock) {
            if (!WaitUnless(s, platform::kSockWrite, stop)) return false;
        } else {
            return false;
        }
    }
    return true;
}

int64_t RecvUnless(platform::SocketHandle s, char* buffer, size_t size,
                   const std::atomic<bool>& stop) {
    for (;;) {
        int error = 0;
        const int64_t n = platform::SocketRecv(s, buffer, size, &error);
        if (n >= 0) return n;
        if (error != platform::kWsaEWouldBlock || !WaitUnless(s, platform::kSockRead, stop))
            return -1;
    }
}

}  // namespace testsupport
