#include "tests/support/faultserver.h"

#include <chrono>

#include "platform/text.h"
#include "tests/support/socket_io.h"

namespace testsupport {

namespace {

using platform::SocketHandle;

// Reads until `pending` holds at least `count` bytes.
bool RecvAtLeast(SocketHandle s, std::string& pending, size_t count,
                 const std::atomic<bool>& stop) {
    char buffer[8192];
    while (pending.size() < count) {
        const int64_t n = RecvUnless(s, buffer, sizeof buffer, stop);
        if (n <= 0) return false;
        pending.append(buffer, static_cast<size_t>(n));
    }
    return true;
}

const char* ReasonFor(int code) {
    switch (code) {
        case 200:
            return "OK";
        case 206:
            return "Partial Content";
        case 301:
            return "Moved Permanently";
        case 302:
            return "Found";
        case 303:
            return "See Other";
        case 307:
            return "Temporary Redirect";
        case 308:
            return "Permanent Redirect";
        case 404:
            return "Not Found";
        case 416:
            return "Requested Range Not Satisfiable";
        case 500:
            return "Internal Server Error";
        default:
            return "Status";
    }
}

}  // namespace

bool TRecordedRequest::Has(const std::string& lowerName) const {
    for (const auto& [name, value] : Headers)
        if (name == lowerName) return true;
    return false;
}

std::string TRecordedRequest::Header(const std::string& lowerName) const {
    for (const auto& [name, value] : Headers)
        if (name == lowerName) return value;
    return std::string();
}

TFaultResponse& TFaultResponse::Send(std::string bytes) {
    Actions.push_back({TAction::kSend, std::move(bytes), 0});
    return *this;
}
TFaultResponse& TFaultResponse::Pause(int ms) {
    Actions.push_back({TAction::kPause, "", ms});
    return *this;
}
TFaultResponse& TFaultResponse::Stall() {
    Actions.push_back({TAction::kStall, "", 0});
    return *this;
}
TFaultResponse& TFaultResponse::Close() {
    Actions.push_back({TAction::kClose, "", 0});
    return *this;
}
TFaultResponse& TFaultResponse::Reset() {
    Actions.push_back({TAction::kReset, "", 0});
    return *this;
}
TFaultResponse& TFaultResponse::KeepOpen() {
    KeepAlive = true;
    return *this;
}

TFaultResponse TFaultResponse::Status(int code, const std::string& body,
                                      const std::string& extraHeaders, const std::string& version) {
    TFaultResponse r;
    r.Send("HTTP/" + version + " " + std::to_string(code) + " " + ReasonFor(code) + "\r\n" +
           "Content-Length: " + std::to_string(body.size()) + "\r\n" + extraHeaders + "\r\n" +
           body);
    return r;
}

TFaultResponse TFaultResponse::Redirect(int code, const std::string& location) {
    return Status(code, "", "Location: " + location + "\r\n");
}

TFaultResponse TFaultResponse::File(const TRecordedRequest& request, const std::string& content) {
    std::string range = request.Range();
    const int64_t size = static_cast<int64_t>(content.size());
    if (range.rfind("bytes=", 0) != 0) return Status(200, content, "Accept-Ranges: bytes\r\n");
    std::string bytes = range.substr(6);
    size_t dash = bytes.find('-');
    int64_t first = 0, last = size - 1;
    platform::ParseInt64(bytes.substr(0, dash), first);
    if (dash != std::string::npos && dash + 1 < bytes.size())
        platform::ParseInt64(bytes.substr(dash + 1), last);
    if (last >= size) last = size - 1;
    if (first >= size || first > last)
        return Status(416, "", "Content-Range: bytes */" + std::to_string(size) + "\r\n");
    return Status(206,
                  content.substr(static_cast<size_t>(first), static_cast<size_t>(last - first + 1)),
                  "Content-Range: bytes " + std::to_string(first) + "-" + std::to_string(last) +
                      "/" + std::to_string(size) + "\r\n");
}

TFaultServer::TFaultServer(bool ipv6) : FIpv6(ipv6) {
    platform::SocketsStartup();
    int error = 0;
    FListener = platform::SocketListenLoopback(ipv6, FPort, &error);
    if (FListener != platform::kInvalidSocket)
        FAcceptThread = std::thread([this] { AcceptLoop(); });
}

TFaultServer::~TFaultServer() {
    Stop();
}

std::string TFaultServer::HostPort() const {
    return (FIpv6 ? "[::1]:" : "127.0.0.1:") + std::to_string(FPort);
}

std::string TFaultServer::Url(const std::string& path) const {
    return "http://" + HostPort() + path;
}

void TFaultServer::Enqueue(TFaultResponse response) {
    std::lock_guard<std::mutex> lock(FLock);
    FQueue.push_back(std::move(response));
}

void TFaultServer::SetHandler(THandler handler) {
    std::lock_guard<std::mutex> lock(FLock);
    FHandler = std::move(handler);
}

void TFaultServer::SetSocks(int version, bool refuse) {
    std::lock_guard<std::mutex> lock(FLock);
    FSocksVersion = version;
    FSocksRefuse = refuse;
}

void TFaultServer::SetGreeting(const std::string& bytes) {
    std::lock_guard<std::mutex> lock(FLock);
    FGreeting = bytes;
}

void TFaultServer::Release() {
    std::lock_guard<std::mutex> lock(FLock);
    ++FReleases;
    FChanged.notify_all();
}

std::vector<TRecordedRequest> TFaultServer::Requests() const {
    std::lock_guard<std::mutex> lock(FLock);
    return FRequests;
}

size_t TFaultServer::RequestCount() const {
    std::lock_guard<std::mutex> lock(FLock);
    return FRequests.size();
}

int TFaultServer::Connections() const {
    std::lock_guard<std::mutex> lock(FLock);
    return FConnections;
}

void TFaultServer::Stop() {
    {
        std::lock_guard<std::mutex> lock(FLock);
        if (FStopping) return;
        FStopping = true;
        FChanged.notify_all();
        for (auto& [id, s] : FOpen) platform::SocketShutdown(s);
    }
    // Every thread notices the flag within a wait slice; the listener is closed only once no
    // thread uses it, so its handle cannot be handed out again while a call still waits on it.
    if (FAcceptThread.joinable()) FAcceptThread.join();
    platform::SocketCloseDetached(FListener);
    FListener = platform::kInvalidSocket;
    for (auto& t : FThreads) t.join();
    FThreads.clear();
}

void TFaultServer::AcceptLoop() {
    for (;;) {
        SocketHandle s = AcceptUnless(FListener, FStopping);
        if (s == platform::kInvalidSocket) return;  // stopping, or the listener failed
        std::lock_guard<std::mutex> lock(FLock);
        if (FStopping) {
            platform::SocketCloseDetached(s);
            return;
        }
        int connection = ++FConnections;
        FOpen[connection] = s;
        FThreads.emplace_back([this, s, connection] { Serve(s, connection); });
    }
}

TFaultResponse TFaultServer::Next(const TRecordedRequest& request) {
    THandler handler;
    {
        std::lock_guard<std::mutex> lock(FLock);
        if (!FQueue.empty()) {
            TFaultResponse r = FQueue.front();
            FQueue.erase(FQueue.begin());
            return r;
        }
        handler = FHandler;
    }
    return handler ? handler(request) : TFaultResponse::Status(404, "no script\n");
}

void TFaultServer::Serve(SocketHandle s, int connection) {
    std::string pending;
    std::string socksTarget;
    int socksVersion = 0;
    bool ok = true;
    std::string greeting;
    {
        std::lock_guard<std::mutex> lock(FLock);
        socksVersion = FSocksVersion;
        greeting = FGreeting;
    }
    if (!greeting.empty()) {
        SendAllUnless(s, greeting, FStopping);
        ok = false;
    }
    TRecordedRequest socks;
    if (socksVersion) ok = ReadSocks(s, pending, socks);
    bool reset = false;
    while (ok) {
        TRecordedRequest request;
        request.Connection = connection;
        request.SocksTarget = socks.SocksTarget;
        request.SocksVersion = socks.SocksVersion;
        if (!ReadRequest(s, pending, request)) break;
        {
            std::lock_guard<std::mutex> lock(FLock);
            FRequests.push_back(request);
        }
        TFaultResponse response = Next(request);
        ok = Perform(s, response) && response.KeepAlive;
        for (const auto& a : response.Actions)
            if (a.Kind == TFaultResponse::TAction::kReset) reset = true;
    }
    std::lock_guard<std::mutex> lock(FLock);
    FOpen.erase(connection);
    if (reset)
        platform::SocketCloseAbortive(s);
    else
        platform::SocketCloseDetached(s);
}

bool TFaultServer::ReadSocks(SocketHandle s, std::string& pending, TRecordedRequest& request) {
    bool refuse;
    {
        std::lock_guard<std::mutex> lock(FLock);
        refuse = FSocksRefuse;
    }
    if (!RecvAtLeast(s, pending, 1, FStopping)) return false;
    if (pending[0] == 5) {
        if (!RecvAtLeast(s, pending, 2, FStopping)) return false;
        size_t greeting = 2 + static_cast<unsigned char>(pending[1]);
        if (!RecvAtLeast(s, pending, greeting, FStopping)) return false;
        pending.erase(0, greeting);
        if (!SendAllUnless(s, std::string("\x05\x00", 2), FStopping) ||
            !RecvAtLeast(s, pending, 5, FStopping))
            return false;
        unsigned char type = static_cast<unsigned char>(pending[3]);
        size_t addressLength = type == 1   ? 4
                               : type == 4 ? 16
                                           : 1 + static_cast<unsigned char>(pending[4]);
        size_t total = 4 + addressLength + 2;
        if (!RecvAtLeast(s, pending, total, FStopping)) return false;
        std::string host;
        if (type == 1) {
            for (int i = 0; i < 4; ++i)
                host += (i ? "." : "") + std::to_string(static_cast<unsigned char>(pending[4 + i]));
        } else if (type == 3) {
            host = pending.substr(5, addressLength - 1);
        } else {
            host = "ipv6";
        }
        unsigned port = static_cast<unsigned char>(pending[total - 2]) * 256u +
                        static_cast<unsigned char>(pending[total - 1]);
        pending.erase(0, total);
        request.SocksVersion = 5;
        request.SocksTarget = host + ":" + std::to_string(port);
        std::string reply("\x05\x00\x00\x01\x7f\x00\x00\x01\x00\x50", 10);
        if (refuse) reply[1] = 5;
        return SendAllUnless(s, reply, FStopping) && !refuse;
    }
    if (pending[0] != 4 || !RecvAtLeast(s, pending, 9, FStopping)) return false;
    size_t userEnd;
    while ((userEnd = pending.find('\0', 8)) == std::string::npos)
        if (!RecvAtLeast(s, pending, pending.size() + 1, FStopping)) return false;
    unsigned port =
        static_cast<unsigned char>(pending[2]) * 256u + static_cast<unsigned char>(pending[3]);
    std::string host;
    for (int i = 0; i < 4; ++i)
        host += (i ? "." : "") + std::to_string(static_cast<unsigned char>(pending[4 + i]));
    size_t end = userEnd + 1;
    request.SocksVersion = 4;
    if (pending.compare(4, 3, std::string(3, '\0')) == 0 && pending[7] != 0) {  // SOCKS4a
        size_t hostEnd;
        while ((hostEnd = pending.find('\0', end)) == std::string::npos)
            if (!RecvAtLeast(s, pending, pending.size() + 1, FStopping)) return false;
        host = pending.substr(end, hostEnd - end);
        end = hostEnd + 1;
        request.SocksVersion = 41;
    }
    pending.erase(0, end);
    request.SocksTarget = host + ":" + std::to_string(port);
    std::string reply("\x00\x5a\x00\x00\x00\x00\x00\x00", 8);
    if (refuse) reply[1] = 0x5b;
    return SendAllUnless(s, reply, FStopping) && !refuse;
}

bool TFaultServer::ReadRequest(SocketHandle s, std::string& pending, TRecordedRequest& request) {
    size_t end;
    while ((end = pending.find("\r\n\r\n")) == std::string::npos)
        if (!RecvAtLeast(s, pending, pending.size() + 1, FStopping)) return false;
    request.Raw = pending.substr(0, end + 4);
    pending.erase(0, end + 4);
    size_t lineEnd = request.Raw.find("\r\n");
    request.RequestLine = request.Raw.substr(0, lineEnd);
    size_t sp1 = request.RequestLine.find(' ');
    size_t sp2 = request.RequestLine.rfind(' ');
    request.Method = request.RequestLine.substr(0, sp1);
    if (sp1 != std::string::npos && sp2 > sp1) {
        request.Target = request.RequestLine.substr(sp1 + 1, sp2 - sp1 - 1);
        request.Version = request.RequestLine.substr(sp2 + 1);
    }
    size_t pos = lineEnd + 2;
    while (pos < end + 2) {
        size_t next = request.Raw.find("\r\n", pos);
        std::string line = request.Raw.substr(pos, next - pos);
        size_t colon = line.find(':');
        if (colon != std::string::npos)
            request.Headers.emplace_back(platform::LowerCase(line.substr(0, colon)),
                                         platform::Trim(line.substr(colon + 1)));
        pos = next + 2;
    }
    return true;
}

bool TFaultServer::Perform(SocketHandle s, const TFaultResponse& response) {
    for (const auto& action : response.Actions) {
        switch (action.Kind) {
            case TFaultResponse::TAction::kSend:
                if (!SendAllUnless(s, action.Bytes, FStopping)) return false;
                break;
            case TFaultResponse::TAction::kPause: {
                std::unique_lock<std::mutex> lock(FLock);
                FChanged.wait_for(lock, std::chrono::milliseconds(action.Ms),
                                  [&] { return FStopping.load(); });
                if (FStopping) return false;
                break;
            }
            case TFaultResponse::TAction::kStall: {
                std::unique_lock<std::mutex> lock(FLock);
                uint64_t seen = FReleases;
                FChanged.wait(lock, [&] { return FStopping.load() || FReleases != seen; });
                if (FStopping) return false;
                break;
            }
            case TFaultResponse::TAction::kClose:
            case TFaultResponse::TAction::kReset:
                return false;
        }
    }
    return true;
}

}  // namespace testsupport
