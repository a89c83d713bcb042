#include "platform/text.h"

#include <cerrno>
#include <cstdlib>
#include <optional>

namespace platform {

namespace {

// Decodes one UTF-8 sequence at `i`; invalid bytes come back as U+FFFD and advance by one.
char32_t DecodeOne(std::string_view s, size_t& i) {
    const auto b0 = static_cast<unsigned char>(s[i]);
    if (b0 < 0x80) {
        ++i;
        return b0;
    }
    int len = (b0 >= 0xF0 && b0 <= 0xF4) ? 4 : (b0 >= 0xE0) ? 3 : (b0 >= 0xC2 && b0 < 0xE0) ? 2 : 0;
    if (len == 0 || b0 > 0xF4 || i + len > s.size()) {
        ++i;
        return 0xFFFD;
    }
    char32_t cp = b0 & (0xFF >> (len + 1));
    for (int k = 1; k < len; ++k) {
        const auto b = static_cast<unsigned char>(s[i + k]);
        if ((b & 0xC0) != 0x80) {
            ++i;
            return 0xFFFD;
        }
        cp = (cp << 6) | (b & 0x3F);
    }
    static const char32_t kMin[5] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < kMin[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++i;
        return 0xFFFD;
    }
    i += len;
    return cp;
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

char32_t MapCase(char32_t c, bool upper) {
    if (upper) {
        if (c >= 'a' && c <= 'z') return c - 32;
        if (c < 0x80) return c;
        if ((c >= 0xE0 && c <= 0xFE && c != 0xF7)) return c - 32;
        if (c == 0xFF) return 0x178;
        if (c >= 0x100 && c <= 0x17F && c != 0x130 && c != 0x131 && c != 0x138 && c != 0x149 &&
            c != 0x178) {
            const bool pairEven = (c < 0x138) || (c >= 0x14A && c <= 0x177);
            if (pairEven ? (c & 1) : !(c & 1)) return c - 1;
            return c;
        }
        if (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2) return c - 32;
        if (c >= 0x430 && c <= 0x44F) return c - 32;
        if (c >= 0x450 && c <= 0x45F) return c - 80;
        return c;
    }
    if (c >= 'A' && c <= 'Z') return c + 32;
    if (c < 0x80) return c;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 32;
    if (c == 0x178) return 0xFF;
    // U+017F (long s) is a small letter without a capital of its own in these pairs: it ends
    // the block, and "the next code point" is already another block.
    if (c >= 0x100 && c <= 0x17E && c != 0x130 && c != 0x131 && c != 0x138 && c != 0x149) {
        const bool pairEven = (c < 0x138) || (c >= 0x14A && c <= 0x177);
        if (pairEven ? !(c & 1) : (c & 1)) return c + 1;
        return c;
    }
    if (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) return c + 32;  // 0x3A2 is no letter
    if (c >= 0x410 && c <= 0x42F) return c + 32;
    if (c >= 0x400 && c <= 0x40F) return c + 80;
    return c;
}

std::string MapText(std::string_view text, bool upper) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        const size_t start = i;
        const char32_t cp = DecodeOne(text, i);
        if (cp == 0xFFFD && i == start + 1 && static_cast<unsigned char>(text[start]) >= 0x80) {
            out += text[start];  // keep bytes that are not UTF-8 as they are
            continue;
        }
        AppendUtf8(out, MapCase(cp, upper));
    }
    return out;
}

bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

}  // namespace

std::u16string Utf8ToUtf16(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        char32_t cp = DecodeOne(text, i);
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (cp >> 10));
            out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
        } else {
            out += static_cast<char16_t>(cp);
        }
    }
    return out;
}

std::string Utf16ToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t cp = text[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD;
        }
        AppendUtf8(out, cp);
    }
    return out;
}

bool IsValidUtf8(std::string_view bytes) {
    for (size_t i = 0; i < bytes.size();) {
        const size_t start = i;
        if (DecodeOne(bytes, i) == 0xFFFD) {
            // A real U+FFFD is three bytes; an invalid byte advances by one.
            if (i != start + 3) return false;
        }
    }
    return true;
}

std::string DecodeWithBom(std::string_view bytes) {
    if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") {
        // The mark promises UTF-8, but the bytes behind it are not checked by anyone: invalid
        // sequences become U+FFFD, as the system's own conversion makes them.
        const std::string_view rest = bytes.substr(3);
        if (IsValidUtf8(rest)) return std::string(rest);
        return Utf16ToUtf8(Utf8ToUtf16(rest));
    }
    if (bytes.size() >= 2 &&
        (bytes.substr(0, 2) == "\xFF\xFE" || bytes.substr(0, 2) == "\xFE\xFF")) {
        const bool le = bytes[0] == '\xFF';
        std::u16string u;
        for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
            const auto a = static_cast<unsigned char>(bytes[i]);
            const auto b = static_cast<unsigned char>(bytes[i + 1]);
            u += static_cast<char16_t>(le ? (a | (b << 8)) : ((a << 8) | b));
        }
        return Utf16ToUtf8(u);
    }
    return AnsiToUtf8(bytes);
}

std::string UpperCase(std::string_view text) {
    return MapText(text, true);
}
std::string LowerCase(std::string_view text) {
    return MapText(text, false);
}
bool SameText(std::string_view a, std::string_view b) {
    return UpperCase(a) == UpperCase(b);
}

size_t FindNoCase(std::string_view text, std::string_view needle, size_t from) {
    // Case mapping keeps the byte length of ASCII; for other letters compare mapped copies and
    // walk the original positions alongside.
    if (needle.empty()) return from <= text.size() ? from : std::string_view::npos;
    const std::string upNeedle = UpperCase(needle);
    for (size_t i = from; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;  // not a char start
        // Take as many characters of text as needle has bytes after mapping.
        size_t j = i;
        std::string cand;
        while (j < text.size() && cand.size() < upNeedle.size()) {
            size_t k = j;
            DecodeOne(text, k);
            cand += UpperCase(text.substr(j, k - j));
            j = k;
        }
        if (cand == upNeedle) return i;
    }
    return std::string_view::npos;
}

std::string ReplaceFirstNoCase(std::string_view text, std::string_view needle,
                               std::string_view with) {
    const size_t pos = FindNoCase(text, needle);
    if (pos == std::string_view::npos || needle.empty()) return std::string(text);
    // The match spans as many source characters as the needle has.
    size_t end = pos;
    const std::string upNeedle = UpperCase(needle);
    std::string cand;
    while (end < text.size() && cand.size() < upNeedle.size()) {
        size_t k = end;
        DecodeOne(text, k);
        cand += UpperCase(text.substr(end, k - end));
        end = k;
    }
    return std::string(text.substr(0, pos)) + std::string(with) + std::string(text.substr(end));
}

std::string ReplaceAll(std::string_view text, std::string_view needle, std::string_view with) {
    if (needle.empty()) return std::string(text);
    std::string out;
    size_t pos = 0;
    for (;;) {
        const size_t hit = text.find(needle, pos);
        if (hit == std::string_view::npos) break;
        out.append(text.substr(pos, hit - pos));
        out.append(with);
        pos = hit + needle.size();
    }
    out.append(text.substr(pos));
    return out;
}

std::string Trim(std::string_view text) {
    return TrimRight(TrimLeft(text));
}

std::string TrimLeft(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    return std::string(text.substr(i));
}

std::string TrimRight(std::string_view text) {
    size_t n = text.size();
    while (n > 0 && IsBlank(text[n - 1])) --n;
    return std::string(text.substr(0, n));
}

namespace {

// A number's text trimmed, with its sign (if any) taken off the front.
struct TSignedText {
    std::string Text;
    size_t Start = 0;  // of what follows the sign
    bool Negative = false;
};

std::optional<TSignedText> SignedText(std::string_view text) {
    TSignedText s{Trim(text)};
    if (s.Text.empty()) return std::nullopt;
    if (s.Text[0] == '+' || s.Text[0] == '-') {
        s.Negative = s.Text[0] == '-';
        s.Start = 1;
    }
    return s;
}

}  // namespace

bool ParseInt64(std::string_view text, int64_t& out) {
    const auto s = SignedText(text);
    if (!s) return false;
    const std::string& t = s->Text;
    size_t i = s->Start;
    const bool neg = s->Negative;
    if (i >= t.size()) return false;
    uint64_t v = 0;
    const uint64_t limit = neg ? 9223372036854775808ull : 9223372036854775807ull;
    for (; i < t.size(); ++i) {
        if (t[i] < '0' || t[i] > '9') return false;
        const uint64_t d = static_cast<uint64_t>(t[i] - '0');
        if (v > (limit - d) / 10) return false;
        v = v * 10 + d;
    }
    out = neg ? static_cast<int64_t>(0 - v) : static_cast<int64_t>(v);
    return true;
}

bool ParseInt32Loose(std::string_view text, int32_t& out) {
    const auto s = SignedText(text);
    if (!s) return false;
    const std::string& t = s->Text;
    size_t i = s->Start;
    const bool neg = s->Negative;
    int base = 10;
    if (t.compare(i, 2, "0x") == 0 || t.compare(i, 2, "0X") == 0) {
        base = 16;
        i += 2;
    } else if (i < t.size() && t[i] == '$') {
        base = 16;
        i += 1;
    }
    if (i >= t.size()) return false;
    uint64_t v = 0;
    for (; i < t.size(); ++i) {
        const char c = t[i];
        int d;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        else
            return false;
        v = v * base + d;
        if (v > 0xFFFFFFFFull) return false;
    }
    if (base == 10) {
        if ((!neg && v > 2147483647ull) || (neg && v > 2147483648ull)) return false;
        out = neg ? static_cast<int32_t>(-static_cast<int64_t>(v)) : static_cast<int32_t>(v);
    } else {
        // Hexadecimal covers the whole 32-bit pattern, as Delphi's StrToInt does.
        // Negate as unsigned: "-0x80000000" is INT32_MIN, and negating that as a signed value
        // would overflow.
        const auto bits = static_cast<uint32_t>(v);
        out = static_cast<int32_t>(neg ? 0u - bits : bits);
    }
    return true;
}

}  // namespace platform
