// A scriptable HTTP server on loopback for the faults a real server will not produce on demand:
// stalls in the middle of a header or a body, early closes and resets, bodies without a length,
// odd chunks, bad status lines, interim replies, redirect chains and loops, huge headers. Each
// request gets the next scripted response (or the handler's answer); every request is
// recorded with its header fields. It runs on threads of its own with blocking sockets, so it
// works inside a test program on Linux and under Wine alike. It can also play a SOCKS4/5 proxy
// in front of itself.
#pragma once
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/socket.h"

namespace testsupport {

struct TRecordedRequest {
    std::string RequestLine, Method, Target, Version;
    std::vector<std::pair<std::string, std::string>> Headers;  // names in lower case
    std::string Raw;                                           // the whole header as received
    int Connection = 0;       // 1 for the first connection the server accepted, and so on
    std::string SocksTarget;  // "host:port" asked of the SOCKS front, when it is on
    int SocksVersion = 0;

    bool Has(const std::string& lowerName) const;
    std::string Header(const std::string& lowerName) const;  // empty when missing
    std::string Range() const { return Header("range"); }
};

class TFaultResponse {
public:
    struct TAction {
        enum TKind { kSend, kPause, kStall, kClose, kReset } Kind;
        std::string Bytes;
        int Ms = 0;
    };

    TFaultResponse& Send(std::string bytes);
    TFaultResponse& Pause(int ms);
    TFaultResponse& Stall();     // until Release() or the server stops
    TFaultResponse& Close();     // orderly close now (the default after the last action)
    TFaultResponse& Reset();     // close with a reset
    TFaultResponse& KeepOpen();  // read the next request on this connection afterwards

    // A complete response with Content-Length; `extraHeaders` are whole lines with CR LF.
    static TFaultResponse Status(int code, const std::string& body = "",
                                 const std::string& extraHeaders = "",
                                 const std::string& version = "1.1");
    static TFaultResponse Redirect(int code, const std::string& location);
    // 200 or 206 for `content` according to a "Range" header like a file server.
    static TFaultResponse File(const TRecordedRequest& request, const std::string& content);

    std::vector<TAction> Actions;
    bool KeepAlive = false;
};

class TFaultServer {
public:
    using THandler = std::function<TFaultResponse(const TRecordedRequest&)>;

    explicit TFaultServer(bool ipv6 = false);
    ~TFaultServer();
    TFaultServer(const TFaultServer&) = delete;
    TFaultServer& operator=(const TFaultServer&) = delete;

    uint16_t Port() const { return FPort; }
    // "http://127.0.0.1:<port>" + path (or [::1] for an IPv6 server).
    std::string Url(const std::string& path = "/") const;
    std::string HostPort() const;

    void Enqueue(TFaultResponse response);  // answers the next request; before the handler
    // Answers when the queue is empty (else 404). The handler runs on the server's threads
    // until the server has stopped: what it refers to must be declared before the server.
    void SetHandler(THandler handler);
    // Makes every connection begin with a SOCKS handshake (version 4 or 5, 0 for none);
    // `refuse` answers it with a refusal.
    void SetSocks(int version, bool refuse = false);
    void Release();  // lets every stalled response go on
    // Sends `bytes` as soon as a connection is accepted and closes it, before any request: a
    // server that speaks first (or another protocol altogether).
    void SetGreeting(const std::string& bytes);

    std::vector<TRecordedRequest> Requests() const;
    size_t RequestCount() const;
    int Connections() const;
    void Stop();  // also done by the destructor

private:
    void AcceptLoop();
    void Serve(platform::SocketHandle s, int connection);
    bool ReadSocks(platform::SocketHandle s, std::string& pending, TRecordedRequest& request);
    bool ReadRequest(platform::SocketHandle s, std::string& pending, TRecordedRequest& request);
    bool Perform(platform::SocketHandle s, const TFaultResponse& response);
    TFaultResponse Next(const TRecordedRequest& request);

    bool FIpv6;
    uint16_t FPort = 0;
    platform::SocketHandle FListener = platform::kInvalidSocket;
    mutable std::mutex FLock;
    std::condition_variable FChanged;
    std::atomic<bool> FStopping{false};  // also read by the socket waits, without the lock
    uint64_t FReleases = 0;
    std::vector<TFaultResponse> FQueue;
    THandler FHandler;
    int FSocksVersion = 0;
    bool FSocksRefuse = false;
    std::string FGreeting;
    std::vector<TRecordedRequest> FRequests;
    int FConnections = 0;
    std::map<int, platform::SocketHandle> FOpen;
    std::thread FAcceptThread;
    std::vector<std::thread> FThreads;
};

}  // namespace testsupport
