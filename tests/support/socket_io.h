// Blocking-style socket calls for the test servers' threads that give up as soon as their
// server stops. A thread blocked inside a system call is not reliably woken when another
// thread shuts its socket down (under Wine it sometimes sleeps on for good), so the servers use
// non-blocking sockets and wait in short slices, looking at their stop flag in between.
#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/socket.h"

namespace testsupport {

// The next connection, non-blocking; kInvalidSocket once `stop` is set or the listener fails.
platform::SocketHandle AcceptUnless(platform::SocketHandle listener, const std::atomic<bool>& stop);
// Everything, or false on a failure, a close or `stop`.
bool SendAllUnless(platform::SocketHandle s, const std::string& bytes,
                   const std::atomic<bool>& stop);
// Some bytes (> 0), 0 when the peer closed, -1 on a failure or `stop`.
int64_t RecvUnless(platform::SocketHandle s, char* buffer, size_t size,
                   const std::atomic<bool>& stop);

}  // namespace testsupport
