#include "tasks/taskdates.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "platform/calendar.h"
#include "platform/clock.h"
#include "tasks/taskerrors.h"

namespace tasks {

bool IsValidDate(int year, int month, int day) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1) return false;
    bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return day <= days[month - 1] + (month == 2 && leap ? 1 : 0);
}

TDateTime EncodeDateTime(int year, int month, int day, int hour, int minute, int second,
                         int millisecond) {
    if (!IsValidDate(year, month, day)) return 0;
    double days = static_cast<double>(platform::DayNumber(year, month, day));
    double time = (((hour * 60.0 + minute) * 60.0 + second) * 1000.0 + millisecond) / 86400000.0;
    // Before the epoch day numbers are negative and the time still counts forward.
    return days >= 0 ? days + time : days - time;
}

TDateParts DecodeDateTime(TDateTime value) {
    TDateParts p;
    double whole = std::trunc(value);
    long long ms = std::llround(std::fabs(value - whole) * 86400000.0);
    long long days = static_cast<long long>(whole);
    if (ms >= 86400000) {
        ms -= 86400000;
        days += value >= 0 ? 1 : -1;
    }
    platform::CivilDate(days, p.Year, p.Month, p.Day);
    p.Hour = static_cast<int>(ms / 3600000);
    p.Minute = static_cast<int>(ms / 60000 % 60);
    p.Second = static_cast<int>(ms / 1000 % 60);
    p.Millisecond = static_cast<int>(ms % 1000);
    return p;
}

TDateTime NowLocal() {
    platform::TSystemTime t = platform::Clock().LocalTime();
    return EncodeDateTime(t.Year, t.Month, t.Day, t.Hour, t.Minute, t.Second, t.Millisecond);
}

TDateTime TodayAt(int hour, int minute, int second) {
    platform::TSystemTime t = platform::Clock().LocalTime();
    return EncodeDateTime(t.Year, t.Month, t.Day, hour, minute, second, t.Millisecond);
}

std::string DateTimeToXml(TDateTime value) {
    TDateParts p = DecodeDateTime(value);
    char text[64];
    std::snprintf(text, sizeof text, "%.4d-%.2d-%.2dT%.2d:%.2d:%.2d.%.3d", p.Year, p.Month, p.Day,
                  p.Hour, p.Minute, p.Second, p.Millisecond);
    std::string result = text;
    int offset = platform::Clock().UtcOffsetMinutes();
    if (offset == 0) return result + "Z";
    int magnitude = std::abs(offset);
    std::snprintf(text, sizeof text, "%c%.2d:%.2d", offset < 0 ? '-' : '+', magnitude / 60,
                  magnitude % 60);
    return result + text;
}

TDateTime XmlToDateTime(const std::string& text) {
    auto fail = [&text]() -> TDateTime {
        throw ETaskError("'" + text + "' is not a valid date and time");
    };
    auto digits = [&text](size_t at, size_t count, int& out) {
        if (at + count > text.size()) return false;
        out = 0;
        for (size_t i = at; i < at + count; ++i) {
            if (text[i] < '0' || text[i] > '9') return false;
            out = out * 10 + (text[i] - '0');
        }
        return true;
    };
    int y, mo, d, h = 0, mi = 0, s = 0, ms = 0;
    if (!digits(0, 4, y) || text.size() < 10 || text[4] != '-' || !digits(5, 2, mo) ||
        text[7] != '-' || !digits(8, 2, d) || !IsValidDate(y, mo, d))
        return fail();
    size_t pos = 10;
    if (pos < text.size() && text[pos] == 'T') {
        if (!digits(11, 2, h) || text.size() < 19 || text[13] != ':' || !digits(14, 2, mi) ||
            text[16] != ':' || !digits(17, 2, s) || h > 23 || mi > 59 || s > 59)
            return fail();
        pos = 19;
        if (pos < text.size() && text[pos] == '.') {
            size_t start = ++pos;
            int scale = 100;
            while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
                ms += (text[pos] - '0') * scale;
                scale /= 10;
                ++pos;
            }
            if (pos == start) return fail();
        }
    }
    TDateTime value = EncodeDateTime(y, mo, d, h, mi, s, ms);
    if (pos == text.size()) return value;
    int offset = 0;
    if (text[pos] == 'Z' && pos + 1 == text.size()) {
        offset = 0;
    } else if ((text[pos] == '+' || text[pos] == '-') && pos + 6 == text.size() &&
               text[pos + 3] == ':') {
        int oh, om;
        if (!digits(pos + 1, 2, oh) || !digits(pos + 4, 2, om)) return fail();
        offset = (oh * 60 + om) * (text[pos] == '-' ? -1 : 1);
    } else {
        return fail();
    }
    int local = platform::Clock().UtcOffsetMinutes();
    return value + (local - offset) / 1440.0;
}

}  // namespace tasks
