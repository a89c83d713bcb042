// A SOCKS proxy's replies, byte by byte from the input. The first bytes choose the level, the
// host name's length and the size of the reads; what must hold: the handshake never takes more
// bytes than it was given, never asks to send a request whose name length byte is not the
// name's length, and once it has ended it stays ended.
#include <cstdint>
#include <string>

#include "download/http_socks.h"
#include "fuzz/fuzz_check.h"

using download::TSocksHandshake;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) return 0;
    const TSocksHandshake::TLevel level = static_cast<TSocksHandshake::TLevel>(data[0] % 3);
    const size_t hostLength = 1 + static_cast<size_t>(data[1]) * 2;  // up to 511: past one byte
    const size_t piece = 1 + data[2] % 16;
    const std::string host(hostLength, 'h');
    TSocksHandshake socks;
    const std::string first = socks.Begin(
        level, host, 443,
        level == TSocksHandshake::kSocks4 ? std::string("\x7F\x00\x00\x01", 4) : std::string());
    FUZZ_CHECK(!first.empty(), "a handshake starts with bytes to send");
    const char* replies = reinterpret_cast<const char*>(data + 3);
    const size_t length = size - 3;
    TSocksHandshake::TStatus last = TSocksHandshake::kNeedMore;
    for (size_t at = 0; at < length; at += piece) {
        const size_t n = length - at < piece ? length - at : piece;
        size_t consumed = 0;
        std::string out;
        const TSocksHandshake::TStatus status = socks.Feed(replies + at, n, consumed, out);
        FUZZ_CHECK(consumed <= n, "never takes more than it was given");
        if (last != TSocksHandshake::kNeedMore)
            FUZZ_CHECK(status == last && out.empty(), "an ended handshake stays ended");
        if (level == TSocksHandshake::kSocks5 && out.size() >= 5 && out[3] == 3) {
            FUZZ_CHECK(static_cast<unsigned char>(out[4]) == host.size(),
                       "the name length byte is the name's length");
        }
        if (status == TSocksHandshake::kFailed)
            FUZZ_CHECK(!socks.Error().empty(), "a failure says why");
        last = status;
    }
    return 0;
}
