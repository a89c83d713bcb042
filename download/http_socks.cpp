#include "download/http_socks.h"

#include "platform/text.h"

namespace download {

namespace {

// IPv4 or IPv6 literal bytes, or empty for a name.
std::string LiteralBytes(const std::string& host, unsigned char& type) {
    std::string out;
    unsigned value = 0, dots = 0, digits = 0;
    bool ipv4 = !host.empty();
    for (char c : host) {
        if (c >= '0' && c <= '9') {
            value = value * 10 + static_cast<unsigned>(c - '0');
            if (value > 255 || ++digits > 3) ipv4 = false;
        } else if (c == '.' && digits > 0) {
            out += static_cast<char>(value);
            value = digits = 0;
            ++dots;
        } else {
            ipv4 = false;
        }
        if (!ipv4) break;
    }
    if (ipv4 && dots == 3 && digits > 0) {
        out += static_cast<char>(value);
        type = 1;
        return out;
    }
    type = 3;
    return std::string();
}

}  // namespace

bool TSocksHandshake::ParseLevel(const std::string& text, TLevel& level) {
    std::string t = platform::UpperCase(platform::Trim(text));
    if (t.empty() || t == "5")
        level = kSocks5;
    else if (t == "4")
        level = kSocks4;
    else if (t == "4A")
        level = kSocks4a;
    else
        return false;
    return true;
}

std::string TSocksHandshake::Begin(TLevel level, const std::string& host, uint16_t port,
                                   const std::string& targetIpv4) {
    FLevel = level;
    FHost = host;
    FPort = port;
    FIpv4 = targetIpv4;
    FBuffer.clear();
    if (level == kSocks5) {
        FStep = TStep::kGreeting;
        return std::string("\x05\x01\x00", 3);  // version 5, one method: no authentication
    }
    FStep = TStep::kReply4;
    std::string out("\x04\x01", 2);
    out += static_cast<char>(port >> 8);
    out += static_cast<char>(port & 0xFF);
    if (level == kSocks4a) {
        out += std::string("\x00\x00\x00\x01", 4);  // "resolve the name for me"
        out += '\0';                                // empty user id
        out += host;
        out += '\0';
    } else {
        out += targetIpv4;
        out += '\0';
    }
    return out;
}

std::string TSocksHandshake::ConnectRequest() const {
    std::string out("\x05\x01\x00", 3);
    unsigned char type = 3;
    std::string literal = LiteralBytes(FHost, type);
    out += static_cast<char>(type);
    if (type == 1) {
        out += literal;
    } else {
        out += static_cast<char>(FHost.size());
        out += FHost;
    }
    out += static_cast<char>(FPort >> 8);
    out += static_cast<char>(FPort & 0xFF);
    return out;
}

TSocksHandshake::TStatus TSocksHandshake::Fail(const std::string& text) {
    FStep = TStep::kFailed;
    FError = text;
    return kFailed;
}

TSocksHandshake::TStatus TSocksHandshake::Feed(const char* data, size_t length, size_t& consumed,
                                               std::string& out) {
    consumed = 0;
    auto need = [&](size_t total) {
        // Takes bytes until the buffer holds `total`, never more than the reply needs.
        size_t take = total > FBuffer.size() ? total - FBuffer.size() : 0;
        if (take > length - consumed) take = length - consumed;
        FBuffer.append(data + consumed, take);
        consumed += take;
        return FBuffer.size() >= total;
    };
    while (true) {
        switch (FStep) {
            case TStep::kGreeting:
                if (!need(2)) return kNeedMore;
                if (FBuffer[0] != 5) return Fail("SOCKS5: the proxy did not answer as SOCKS5");
                if (FBuffer[1] != 0)
                    return Fail("SOCKS5: the proxy requires an authentication method");
                FBuffer.clear();
                // The request carries a name's length in one byte: a longer name would be sent
                // cut, and the proxy would connect somewhere else.
                if (FHost.size() > 255)
                    return Fail("SOCKS5: the host name is longer than 255 bytes");
                out += ConnectRequest();
                FStep = TStep::kReply5;
                continue;
            case TStep::kReply5: {
                if (!need(5)) return kNeedMore;
                if (FBuffer[0] != 5) return Fail("SOCKS5: bad reply from the proxy");
                unsigned char rep = static_cast<unsigned char>(FBuffer[1]);
                if (rep != 0)
                    return Fail("SOCKS5: the proxy refused the connection (reply " +
                                std::to_string(rep) + ")");
                unsigned char type = static_cast<unsigned char>(FBuffer[3]);
                size_t total = type == 1   ? 4 + 4 + 2
                               : type == 4 ? 4 + 16 + 2
                               : type == 3 ? 4 + 1 + static_cast<unsigned char>(FBuffer[4]) + 2
                                           : 0;
                if (total == 0) return Fail("SOCKS5: bad address type in the reply");
                if (!need(total)) return kNeedMore;
                FStep = TStep::kDone;
                return kDone;
            }
            case TStep::kReply4: {
                if (!need(8)) return kNeedMore;
                unsigned char rep = static_cast<unsigned char>(FBuffer[1]);
                if (FBuffer[0] != 0 || rep != 0x5A)
                    return Fail("SOCKS4: the proxy refused the connection (reply " +
                                std::to_string(rep) + ")");
                FStep = TStep::kDone;
                return kDone;
            }
            case TStep::kDone:
                return kDone;
            case TStep::kFailed:
                return kFailed;
        }
    }
}

}  // namespace download
