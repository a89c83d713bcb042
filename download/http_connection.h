// One TCP connection of the HTTP client over the event loop: connecting through the list of
// addresses a lookup gave, an optional SOCKS handshake, optional TLS, buffered sending, and
// received bytes handed on straight from the receive buffer.
#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "download/http_socks.h"
#include "platform/eventloop_scope.h"
#include "platform/socket.h"
#include "platform/tls.h"

namespace download {

class THttpConnection {
public:
    struct TSocksSettings {
        TSocksHandshake::TLevel Level = TSocksHandshake::kSocks5;
        std::string Host;
        uint16_t Port = 0;
        std::string TargetIpv4;  // SOCKS4 only
    };

    THttpConnection();
    ~THttpConnection();
    THttpConnection(const THttpConnection&) = delete;
    THttpConnection& operator=(const THttpConnection&) = delete;

    // Any of these may destroy the connection; it touches nothing of itself afterwards.
    std::function<void()> OnConnected;  // TCP (and SOCKS) ready
    std::function<void()> OnTlsReady;
    std::function<void(const char* data, size_t length)> OnData;
    std::function<void(int error)> OnClosed;  // 0: the peer closed in order
    // Connecting failed: `immediate` when the connect call itself refused, otherwise the
    // connection reported the error when it completed.
    std::function<void(int error, bool immediate)> OnConnectFailed;
    std::function<void(int code, const std::string& reason)> OnFailed;  // SOCKS or TLS

    // The receive buffer of the sockets Connect opens; 0 leaves the system's.
    int ReceiveBuffer = 0;
    void Connect(std::vector<platform::TSockAddr> addresses, const TSocksSettings* socks);
    // Starts a TLS handshake over the open connection; false with a reason at once when TLS
    // cannot be set up (library missing).
    bool StartTls(const std::string& host, std::string* error);
    void Send(const std::string& data);
    void Close();
    bool IsOpen() const { return FSocket != platform::kInvalidSocket; }
    bool Ready() const { return FPhase == TPhase::kOpen; }
    int SocketReceiveBuffer() const {
        return IsOpen() ? platform::SocketReceiveBuffer(FSocket) : -1;
    }

private:
    enum class TPhase { kIdle, kConnecting, kSocks, kOpen, kTls };
    void TryNextAddress();
    void OnSocket(unsigned events, int error);
    void HandleReadable(bool toTheEnd);
    // Handles bytes from the socket; false when the connection was closed or destroyed meanwhile.
    bool HandleBytes(const char* data, size_t length);
    bool HandleTlsInput(const char* data, size_t length);
    void Flush();
    void FlushTls();
    void Fail(int code, const std::string& reason);
    void Closed(int error);

    platform::SocketHandle FSocket = platform::kInvalidSocket;
    std::vector<platform::TSockAddr> FAddresses;
    size_t FNextAddress = 0;
    int FLastError = 0;
    bool FLastImmediate = false;
    TPhase FPhase = TPhase::kIdle;
    bool FUseSocks = false;
    TSocksSettings FSocks;
    TSocksHandshake FSocksHandshake;
    std::unique_ptr<platform::TTlsClient> FTls;
    bool FTlsReady = false;
    std::string FOut;
    size_t FOutSent = 0;
    std::vector<char> FBuffer;
    std::vector<char> FPlain;
    platform::TLoopScope FSocketScope;  // revoked whenever the socket is closed or replaced
};

}  // namespace download
