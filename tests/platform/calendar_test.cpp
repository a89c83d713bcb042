// The calendar that the settings, the task records and the download texts share: checked
// against a plain day-by-day walk over every date the program can store.
#include "platform/calendar.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

TEST(Calendar, FixedPointsOfTheDayNumbers) {
    const struct {
        int Year, Month, Day;
        int64_t Number;
    } rows[] = {
        {1899, 12, 30, 0},    {1899, 12, 29, -1},  {1900, 1, 1, 2},        {1970, 1, 1, 25569},
        {2000, 2, 29, 36585}, {2000, 3, 1, 36586}, {1, 1, 1, -693593},     {9999, 12, 31, 2958465},
        {1900, 3, 1, 61},     {2100, 3, 1, 73110}, {1600, 2, 29, -109512},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(DayNumber(r.Year, r.Month, r.Day), r.Number) << r.Year << "-" << r.Month;
        int y = 0, m = 0, d = 0;
        CivilDate(r.Number, y, m, d);
        EXPECT_EQ(y * 10000 + m * 100 + d, r.Year * 10000 + r.Month * 100 + r.Day) << r.Number;
    }
}

TEST(Calendar, EveryDayFromYearOneToTheLastStorableDayFollowsTheOneBefore) {
    // A reference that knows nothing of eras: months of fixed length, leap years by the rule.
    auto leap = [](int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; };
    static const int lengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    int y = 1, m = 1, d = 1;
    int64_t n = DayNumber(1, 1, 1);
    int failures = 0;
    while (y <= 9999 && failures < 5) {
        int cy = 0, cm = 0, cd = 0;
        CivilDate(n, cy, cm, cd);
        if (cy != y || cm != m || cd != d || DayNumber(y, m, d) != n) {
            ADD_FAILURE() << n << ": " << y << "-" << m << "-" << d << " vs " << cy << "-" << cm
                          << "-" << cd;
            ++failures;
        }
        ++n;
        if (++d > lengths[m - 1] + (m == 2 && leap(y) ? 1 : 0)) {
            d = 1;
            if (++m > 12) {
                m = 1;
                ++y;
            }
        }
    }
    EXPECT_EQ(n - 1, 2958465);  // the walk ended on 9999-12-31
}

}  // namespace
}  // namespace platform
