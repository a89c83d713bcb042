// A loopback server that records whole requests, body included, and answers each with a fixed
// reply: the statistics server of the tests.
#pragma once
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/socket.h"

namespace testsupport {

class TCaptureServer {
public:
    // `port` 0 picks a free port; a fixed one stands in for a server whose address is built in.
    explicit TCaptureServer(std::string reply = "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok",
                            uint16_t port = 0);
    bool Listening() const { return FListener != platform::kInvalidSocket; }
    ~TCaptureServer();
    TCaptureServer(const TCaptureServer&) = delete;
    TCaptureServer& operator=(const TCaptureServer&) = delete;

    uint16_t Port() const { return FPort; }
    std::string Url(const std::string& pathAndQuery) const;
    std::vector<std::string> Requests() const;  // raw bytes: request line, header, body
    bool WaitForRequests(size_t count, int timeoutMs) const;
    // From now on every request is recorded and never answered: its connection stays open,
    // silent, until the server stops (a statistics server that has hung).
    void NeverAnswer() { FSilent = true; }

private:
    void Serve();
    std::string FReply;
    uint16_t FPort = 0;
    platform::SocketHandle FListener = platform::kInvalidSocket;
    mutable std::mutex FLock;
    std::vector<std::string> FRequests;
    std::atomic<bool> FStopping{false};
    std::atomic<bool> FSilent{false};
    std::thread FThread;
};

// The content length a raw request's header announces, or -1.
int64_t ContentLengthOf(const std::string& header);

}  // namespace testsupport
