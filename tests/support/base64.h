// Decoding the Base64 the reports are sent in (line breaks and padding skipped).
#pragma once
#include <string>

namespace testsupport {

inline std::string Base64Decode(const std::string& b64) {
    static const std::string a = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    int val = 0, bits = -8;
    for (char c : b64) {
        const size_t p = a.find(c);
        if (p == std::string::npos) continue;
        val = (val << 6) + static_cast<int>(p);
        bits += 6;
        if (bits >= 0) {
            out += static_cast<char>((val >> bits) & 0xFF);
            bits -= 8;
        }
    }
    return out;
}

}  // namespace testsupport
