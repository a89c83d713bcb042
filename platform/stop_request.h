// Requests from outside to end a console program: SIGINT and SIGTERM on Linux; Ctrl-C,
// Ctrl-Break and closing the console on Windows. A program that has work to put away first
// (a download's state file) takes them over and ends by itself.
#pragma once
#include <functional>

namespace platform {

// From now on such a request no longer ends the process: `handler` runs on the event loop's
// thread instead (posted, once per request). An empty handler gives the requests back to the
// system's default, which ends the process.
void WatchStopRequests(std::function<void()> handler);

}  // namespace platform
