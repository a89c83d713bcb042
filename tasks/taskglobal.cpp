#include "tasks/taskglobal.h"

#include <cstdint>

#include "log/logfile.h"
#include "platform/sysinfo.h"
#include "platform/text.h"
#include "tasks/taskdates.h"

namespace tasks {

void SplitStartTime(TTaskInfo& info) {
    TDateParts parts = DecodeDateTime(info.Trigger.StartBoundary);
    info.StartHour = parts.Hour;
    info.StartMinute = parts.Minute;
    info.StartSecond = parts.Second;
}

std::string SecondsToDuration(int64_t seconds) {
    if (seconds < 0) return {};
    int64_t days = seconds / 86400;
    int64_t hours = (seconds / 3600) % 24;
    int64_t minutes = (seconds / 60) % 60;
    std::string text = "P";
    if (days != 0) text += std::to_string(days) + "D";
    text += "T";
    if (hours != 0) text += std::to_string(hours) + "H";
    if (minutes != 0) text += std::to_string(minutes) + "M";
    text += std::to_string(seconds % 60) + "S";
    return text;
}

int32_t DurationToSeconds(const std::string& text) {
    // The sum is kept in 64 bits and held at the largest 32-bit value: a duration past 68 years
    // is "as long as can be said", never a wrapped negative or small number.
    constexpr int64_t kMax = INT32_MAX;
    int64_t sum = 0;
    std::string number;
    for (char c : text) {
        if (c >= '0' && c <= '9') {
            number += c;
            continue;
        }
        if (!number.empty()) {
            int64_t unit = c == 'D' ? 86400 : c == 'H' ? 3600 : c == 'M' ? 60 : c == 'S' ? 1 : 0;
            // Leading zeros carry no value; a number past 64 bits cannot be read and counts as 0,
            // like any unreadable number.
            const size_t first = number.find_first_not_of('0');
            const std::string digits = first == std::string::npos ? "0" : number.substr(first);
            int64_t value = 0;
            if (digits.size() < 19 || (digits.size() == 19 && digits <= "9223372036854775807"))
                value = std::stoll(digits);
            if (unit != 0 && value != 0)
                sum = value > (kMax - sum) / unit ? kMax : sum + value * unit;
        }
        number.clear();
    }
    return static_cast<int32_t>(sum);
}

std::string GetTaskUserName() {
    logs::LogTrace("GetTaskUserName");
    std::string name = platform::SystemInfo().UserName();
    // The platform call fills a buffer of 260 characters; a longer name does not fit.
    if (platform::Utf8ToUtf16(name).size() > 259) name.clear();
    logs::LogTrace("GetTaskUserName :" + name);
    return name;
}

}  // namespace tasks
