// The client side of a SOCKS handshake (SOCKS5 without authentication, SOCKS4 and SOCKS4a),
// as a small state machine that the connection feeds with the proxy's replies.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace download {

class TSocksHandshake {
public:
    enum TLevel { kSocks5, kSocks4, kSocks4a };
    enum TStatus { kNeedMore, kDone, kFailed };

    // "5", "4", "4A" (any case); empty means 5. False for anything else.
    static bool ParseLevel(const std::string& text, TLevel& level);

    // `targetIpv4` is the target's address (4 bytes, network order) for SOCKS4, empty
    // otherwise. Returns the first bytes to send.
    std::string Begin(TLevel level, const std::string& host, uint16_t port,
                      const std::string& targetIpv4);
    // Takes proxy bytes; appends what must be sent next to `out`. `consumed` tells how many of
    // the bytes belonged to the handshake (the rest already belongs to the tunnel).
    TStatus Feed(const char* data, size_t length, size_t& consumed, std::string& out);
    const std::string& Error() const { return FError; }

private:
    TStatus Fail(const std::string& text);
    std::string ConnectRequest() const;

    enum class TStep { kGreeting, kReply4, kReply5, kDone, kFailed };
    TLevel FLevel = kSocks5;
    TStep FStep = TStep::kGreeting;
    std::string FHost, FIpv4;
    uint16_t FPort = 0;
    std::string FBuffer;
    std::string FError;
};

}  // namespace download
