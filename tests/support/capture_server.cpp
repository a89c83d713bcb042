#include "tests/support/capture_server.h"

#include <chrono>

#include "platform/clock.h"
#include "platform/text.h"
#include "tests/support/socket_io.h"

namespace testsupport {

int64_t ContentLengthOf(const std::string& header) {
    const std::string lower = platform::LowerCase(header);
    const size_t at = lower.find("\r\ncontent-length:");
    if (at == std::string::npos) return -1;
    const size_t end = lower.find("\r\n", at + 2);
    int64_t n;
    return platform::ParseInt64(lower.substr(at + 17, end - at - 17), n) ? n : -1;
}

TCaptureServer::TCaptureServer(std::string reply, uint16_t port)
    : FReply(std::move(reply)), FPort(port) {
    platform::SocketsStartup();
    int error = 0;
    FListener = platform::SocketListenLoopback(false, FPort, &error);
    FThread = std::thread([this] { Serve(); });
}

TCaptureServer::~TCaptureServer() {
    FStopping = true;
    FThread.join();
    platform::SocketCloseDetached(FListener);
}

std::string TCaptureServer::Url(const std::string& pathAndQuery) const {
    return "http://127.0.0.1:" + std::to_string(FPort) + pathAndQuery;
}

std::vector<std::string> TCaptureServer::Requests() const {
    std::lock_guard<std::mutex> lock(FLock);
    return FRequests;
}

bool TCaptureServer::WaitForRequests(size_t count, int timeoutMs) const {
    const uint64_t end = platform::MonotonicMs() + static_cast<uint64_t>(timeoutMs);
    while (platform::MonotonicMs() < end) {
        if (Requests().size() >= count) return true;
        platform::SleepMs(5);
    }
    return Requests().size() >= count;
}

void TCaptureServer::Serve() {
    std::vector<platform::SocketHandle> held;
    for (;;) {
        const platform::SocketHandle s = AcceptUnless(FListener, FStopping);
        if (s == platform::kInvalidSocket) break;
        std::string data;
        char buf[4096];
        for (;;) {
            const size_t headerEnd = data.find("\r\n\r\n");
            if (headerEnd != std::string::npos) {
                const int64_t length = ContentLengthOf(data.substr(0, headerEnd + 2));
                if (static_cast<int64_t>(data.size() - headerEnd - 4) >=
                    std::max<int64_t>(length, 0))
                    break;
            }
            const int64_t n = RecvUnless(s, buf, sizeof buf, FStopping);
            if (n <= 0) break;
            data.append(buf, static_cast<size_t>(n));
        }
        {
            std::lock_guard<std::mutex> lock(FLock);
            FRequests.push_back(data);
        }
        if (FSilent) {
            held.push_back(s);
            continue;
        }
        SendAllUnless(s, FReply, FStopping);
        platform::SocketShutdownSend(s);
        platform::SleepMs(20);
        platform::SocketCloseDetached(s);
    }
    for (platform::SocketHandle s : held) platform::SocketCloseDetached(s);
}

}  // namespace testsupport
