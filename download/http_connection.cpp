#include "download/http_connection.h"

#include "download/http_types.h"

namespace download {

using platform::TEventLoop;

namespace {
constexpr size_t kReceiveBufferSize = 256 * 1024;
constexpr int kReadsPerNotification = 8;
}  // namespace

THttpConnection::THttpConnection() = default;

THttpConnection::~THttpConnection() {
    Close();
}

void THttpConnection::Connect(std::vector<platform::TSockAddr> addresses,
                              const TSocksSettings* socks) {
    Close();
    FAddresses = std::move(addresses);
    FNextAddress = 0;
    FLastError = platform::kWsaHostNotFound;
    FLastImmediate = true;
    FUseSocks = socks != nullptr;
    if (socks) FSocks = *socks;
    FPhase = TPhase::kConnecting;
    TryNextAddress();
}

void THttpConnection::TryNextAddress() {
    while (FNextAddress < FAddresses.size()) {
        const platform::TSockAddr& address = FAddresses[FNextAddress++];
        int error = 0;
        FSocket = platform::SocketOpen(address.Family, &error);
        if (FSocket == platform::kInvalidSocket) {
            FLastError = error;
            FLastImmediate = true;
            continue;
        }
        if (ReceiveBuffer > 0) platform::SocketSetReceiveBuffer(FSocket, ReceiveBuffer);
        platform::SocketHandle s = FSocket;
        FSocketScope.Revoke();
        TEventLoop::WatchSocket(
            s,
            platform::kSockRead | platform::kSockWrite | platform::kSockConnect |
                platform::kSockClose,
            FSocketScope.Bind([this](unsigned events, int e) { OnSocket(events, e); }));
        int rc = platform::SocketConnect(s, address);
        // Even a connect that completes at once is reported by a notification, so both ways
        // continue in OnSocket.
        if (rc == 0 || rc == platform::kWsaEWouldBlock) return;
        platform::SocketClose(s);
        FSocket = platform::kInvalidSocket;
        FLastError = rc;
        FLastImmediate = true;
    }
    FPhase = TPhase::kIdle;
    if (OnConnectFailed) OnConnectFailed(FLastError, FLastImmediate);
}

void THttpConnection::OnSocket(unsigned events, int error) {
    error = platform::SocketErrorFromSystem(error);
    const auto socket = FSocketScope.Mark();
    if (FPhase == TPhase::kConnecting && !(events & platform::kSockConnect)) {
        // A socket that is still connecting has nothing to read or close. Such a notification
        // is a late one meant for an earlier socket that had the same handle (Winsock reuses
        // handles at once, and its notifications are queued messages).
        return;
    }
    if (events & platform::kSockConnect) {
        if (FPhase != TPhase::kConnecting) return;
        if (error != 0) {
            platform::SocketClose(FSocket);
            FSocket = platform::kInvalidSocket;
            FLastError = error;
            FLastImmediate = false;
            TryNextAddress();
            return;
        }
        if (FUseSocks) {
            FPhase = TPhase::kSocks;
            FOut +=
                FSocksHandshake.Begin(FSocks.Level, FSocks.Host, FSocks.Port, FSocks.TargetIpv4);
            Flush();
        } else {
            FPhase = TPhase::kOpen;
            if (OnConnected) OnConnected();
        }
        if (socket.Revoked()) return;
    }
    if (events & platform::kSockWrite) {
        Flush();
        if (socket.Revoked()) return;
    }
    // A close is believed only when reading confirms it: the socket reads to its end (or its
    // error) first, and a late close meant for an earlier socket with the same handle finds
    // nothing to end.
    if (events & (platform::kSockRead | platform::kSockClose))
        HandleReadable((events & platform::kSockClose) != 0);
}

void THttpConnection::HandleReadable(bool toTheEnd) {
    if (FBuffer.empty()) FBuffer.resize(kReceiveBufferSize);
    const auto socket = FSocketScope.Mark();
    platform::SocketHandle s = FSocket;
    for (int i = 0; toTheEnd || i < kReadsPerNotification; ++i) {
        int error = 0;
        int64_t n = platform::SocketRecv(s, FBuffer.data(), FBuffer.size(), &error);
        if (n == 0) {
            Closed(0);
            return;
        }
        if (n < 0) {
            if (error != platform::kWsaEWouldBlock) Closed(error);
            return;
        }
        if (!HandleBytes(FBuffer.data(), static_cast<size_t>(n))) return;
        if (socket.Revoked()) return;
        // Even after a short read the socket is read once more, until it would block: a peer
        // that closed right behind its last bytes is seen now, without waiting for a close
        // notification that Winsock sends only once (and Wine not always).
    }
}

bool THttpConnection::HandleBytes(const char* data, size_t length) {
    const auto socket = FSocketScope.Mark();
    if (FPhase == TPhase::kSocks) {
        size_t consumed = 0;
        std::string reply;
        auto status = FSocksHandshake.Feed(data, length, consumed, reply);
        if (status == TSocksHandshake::kFailed) {
            Fail(kHttpErrSocks, FSocksHandshake.Error());
            return false;
        }
        if (!reply.empty()) {
            FOut += reply;
            Flush();
        }
        if (status == TSocksHandshake::kNeedMore) return true;
        FPhase = TPhase::kOpen;
        if (OnConnected) OnConnected();
        if (socket.Revoked()) return false;
        data += consumed;
        length -= consumed;
        if (length == 0) return true;
    }
    if (FTls) return HandleTlsInput(data, length);
    if (OnData) OnData(data, length);
    return !socket.Revoked();
}

bool THttpConnection::HandleTlsInput(const char* data, size_t length) {
    const auto socket = FSocketScope.Mark();
    FTls->PutInput(data, length);
    std::string error;
    if (!FTlsReady) {
        auto status = FTls->Handshake(&error);
        FlushTls();
        if (status == platform::TTlsClient::kFailed || status == platform::TTlsClient::kClosed) {
            Fail(kHttpErrTls, "TLS handshake failed: " + (error.empty() ? "closed" : error));
            return false;
        }
        if (status == platform::TTlsClient::kWantInput) return true;
        FTlsReady = true;
        FPhase = TPhase::kOpen;
        if (OnTlsReady) OnTlsReady();
        if (socket.Revoked()) return false;
    }
    if (FPlain.empty()) FPlain.resize(kReceiveBufferSize);
    while (true) {
        size_t read = 0;
        auto status = FTls->Read(FPlain.data(), FPlain.size(), &read, &error);
        if (status == platform::TTlsClient::kOk) {
            if (OnData) OnData(FPlain.data(), read);
            if (socket.Revoked()) return false;
            continue;
        }
        FlushTls();
        if (status == platform::TTlsClient::kWantInput) return true;
        if (status == platform::TTlsClient::kClosed) {
            Closed(0);
        } else {
            Fail(kHttpErrTls, "TLS error: " + error);
        }
        return false;
    }
}

bool THttpConnection::StartTls(const std::string& host, std::string* error) {
    FTls = platform::TTlsClient::Create(host, error);
    if (!FTls) return false;
    FTlsReady = false;
    FPhase = TPhase::kTls;
    std::string handshakeError;
    FTls->Handshake(&handshakeError);  // produces the client's first flight
    FlushTls();
    return true;
}

void THttpConnection::Send(const std::string& data) {
    if (FTls && FTlsReady) {
        std::string error;
        FTls->Write(data.data(), data.size(), &error);
        FlushTls();
        return;
    }
    FOut += data;
    Flush();
}

void THttpConnection::FlushTls() {
    if (!FTls) return;
    FTls->TakeOutput(FOut);
    Flush();
}

void THttpConnection::Flush() {
    if (FSocket == platform::kInvalidSocket || FPhase == TPhase::kConnecting) return;
    while (FOutSent < FOut.size()) {
        int error = 0;
        int64_t n =
            platform::SocketSend(FSocket, FOut.data() + FOutSent, FOut.size() - FOutSent, &error);
        if (n < 0) {
            if (error == platform::kWsaEWouldBlock) return;  // a kSockWrite brings us back
            // The read side reports the broken connection; make sure it is not missed.
            FOut.clear();
            FOutSent = 0;
            FSocketScope.Post([this, error]() { Closed(error); });
            return;
        }
        FOutSent += static_cast<size_t>(n);
    }
    FOut.clear();
    FOutSent = 0;
}

void THttpConnection::Close() {
    FSocketScope.Revoke();
    if (FSocket != platform::kInvalidSocket) platform::SocketClose(FSocket);
    FSocket = platform::kInvalidSocket;
    FPhase = TPhase::kIdle;
    FTls.reset();
    FTlsReady = false;
    FOut.clear();
    FOutSent = 0;
}

void THttpConnection::Closed(int error) {
    Close();
    if (OnClosed) OnClosed(error);
}

void THttpConnection::Fail(int code, const std::string& reason) {
    Close();
    if (OnFailed) OnFailed(code, reason);
}

}  // namespace download
