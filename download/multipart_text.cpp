#include "download/multipart_text.h"

#include "platform/calendar.h"
#include "platform/clock.h"
#include "platform/text.h"

namespace download {

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::string DecodeDocName(const std::string& name) {
    std::string bytes;
    for (size_t i = 0; i < name.size() && name[i] != '&'; ++i) {
        char c = name[i];
        if (c == '+') {
            bytes += ' ';
        } else if (c == '%' && i + 2 < name.size() && HexValue(name[i + 1]) >= 0 &&
                   HexValue(name[i + 2]) >= 0) {
            bytes += static_cast<char>(HexValue(name[i + 1]) * 16 + HexValue(name[i + 2]));
            i += 2;
        } else {
            bytes += c;
        }
    }
    return platform::IsValidUtf8(bytes) ? bytes : platform::AnsiToUtf8(bytes);
}

double NowDays() {
    const platform::TSystemTime t = platform::Clock().LocalTime();
    const double fraction =
        (t.Hour * 3600000.0 + t.Minute * 60000.0 + t.Second * 1000.0 + t.Millisecond) / 86400000.0;
    return static_cast<double>(platform::DayNumber(t.Year, t.Month, t.Day)) + fraction;
}

int64_t ContentRangeTotal(const std::string& headerLine) {
    size_t colon = headerLine.find(':');
    if (colon == std::string::npos) return -1;
    if (platform::LowerCase(platform::Trim(headerLine.substr(0, colon))) != "content-range")
        return -1;
    size_t slash = headerLine.find('/', colon);
    if (slash == std::string::npos) return -1;
    int64_t total = -1;
    if (!platform::ParseInt64(headerLine.substr(slash + 1), total)) return -1;
    return total;
}

}  // namespace download
