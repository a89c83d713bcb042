#include "tasks/taskglobal.h"

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
    int64_t sum = 0;
    std::string number;
    for (char c : text) {
        if (c >= '0' && c <= '9') {
            number += c;
            continue;
        }
        if (!number.empty()) {
            int64_t unit = c == 'D' ? 86400 : c == 'H' ? 3600 : c == 'M' ? 60 : c == 'S' ? 1 : 0;
            // A number too long to read counts as 0, like any unreadable number.
            int64_t value = number.size() > 12 ? 0 : std::stoll(number);
            sum += value * unit;
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
