// Local date-times as day numbers since 1899-12-30 (time of day as the fraction), and their
// XML Schema text form as the Task Scheduler 2.0 interfaces exchange it.
#pragma once
#include <string>

#include "tasks/taskglobal.h"

namespace tasks {

struct TDateParts {
    int Year = 1899, Month = 12, Day = 30, Hour = 0, Minute = 0, Second = 0, Millisecond = 0;
};

bool IsValidDate(int year, int month, int day);
// 0 for a date that does not exist.
TDateTime EncodeDateTime(int year, int month, int day, int hour = 0, int minute = 0, int second = 0,
                         int millisecond = 0);
TDateParts DecodeDateTime(TDateTime value);
TDateTime NowLocal();                                 // from the platform clock
TDateTime TodayAt(int hour, int minute, int second);  // with the current milliseconds

// "yyyy-mm-ddThh:nn:ss.zzz" and the local offset ("+hh:mm", "-hh:mm", or "Z" when zero).
std::string DateTimeToXml(TDateTime value);
// Reads such a text into local time: a text with an offset is moved to the local offset, one
// without is taken as local already. Throws ETaskError for a text that is no date-time.
TDateTime XmlToDateTime(const std::string& text);

}  // namespace tasks
