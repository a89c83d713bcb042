// The one civil calendar of the program: day numbers as the settings files, the reports and the
// Task Scheduler records store them (day 0 is 1899-12-30), over the proleptic Gregorian calendar.
#pragma once
#include <cstdint>

namespace platform {

constexpr int64_t kUnixEpochDayNumber = 25569;  // 1970-01-01

// The day number of a civil date. Callers check the date first where it comes from outside;
// for a valid date the result is exact for any year that fits.
int64_t DayNumber(int64_t year, int month, int day);
// The civil date of a day number (the inverse of DayNumber).
void CivilDate(int64_t dayNumber, int& year, int& month, int& day);

}  // namespace platform
