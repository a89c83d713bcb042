// The task record's defaults, the duration texts, the user name and the date-time helpers.
#include "tasks/taskglobal.h"

#include <gtest/gtest.h>

#include "tasks/taskdates.h"
#include "tasks/taskerrors.h"
#include "tests/support/fakes.h"

namespace {

using namespace tasks;

TEST(TaskInfo, NewRecordHasTheDocumentedDefaults) {
    TTaskInfo info;
    EXPECT_EQ(info.General.Path, "\\");
    EXPECT_EQ(info.General.RunLevel, 1);
    EXPECT_EQ(info.General.Compatibility, 2);
    EXPECT_FALSE(info.General.Hidden);
    EXPECT_TRUE(info.TaskEnabled);
    EXPECT_EQ(info.LogonType, 3);
    EXPECT_EQ(info.CreationFlags, 6);
    EXPECT_EQ(info.Priority, 5);
    EXPECT_EQ(info.DaysOfMonth, 2147483647);
    EXPECT_EQ(info.MonthsOfYear, 4095);
    EXPECT_EQ(info.TaskFlagsV1, 8192);
    EXPECT_EQ(info.Trigger.Delay, -1);
    EXPECT_EQ(info.Trigger.TriggerType, 0);
    EXPECT_EQ(info.Trigger.IdleDeadline, -1);
    EXPECT_EQ(info.Trigger.RepeatInterval, -1);
    EXPECT_EQ(info.Trigger.RepeatDuration, -1);
    EXPECT_EQ(info.Trigger.ExecutionTimeLimit, -1);
    EXPECT_TRUE(info.Trigger.Enabled);
    EXPECT_EQ(info.Trigger.StartBoundary, 0);
    EXPECT_TRUE(info.AllowStartOnBatteries);
    EXPECT_TRUE(info.AllowDemandStart);
    EXPECT_EQ(info.IdleDuration, -1);
    EXPECT_EQ(info.IdleWaitTimeout, -1);
    EXPECT_EQ(info.RestartInterval, -1);
    EXPECT_EQ(info.RestartCount, -1);
    EXPECT_EQ(info.ExecutionTimeLimitDays, 0);
    EXPECT_EQ(info.DaysInterval, 1);
    EXPECT_EQ(info.WeeksInterval, 1);
    EXPECT_EQ(info.MultipleInstances, 0);
    EXPECT_EQ(info.TriggerTypeV1, 0);
    EXPECT_EQ(info.Action.ActionType, 0);
    EXPECT_TRUE(info.Triggers.empty());
    EXPECT_TRUE(info.Actions.empty());
}

TEST(TaskInfo, AddTriggerAndAddActionStoreCopies) {
    TTaskInfo info;
    info.Trigger.TriggerType = 9;
    info.AddTrigger(info.Trigger);
    info.Trigger.TriggerType = 2;  // changing the source afterwards leaves the copy alone
    info.AddTrigger(info.Trigger);
    info.Action.Path = "a.exe";
    info.AddAction(info.Action);
    info.Action.Path = "b.exe";
    ASSERT_EQ(info.Triggers.size(), 2u);
    EXPECT_EQ(info.Triggers[0].TriggerType, 9);
    EXPECT_EQ(info.Triggers[1].TriggerType, 2);
    ASSERT_EQ(info.Actions.size(), 1u);
    EXPECT_EQ(info.Actions[0].Path, "a.exe");
}

TEST(TaskInfo, SplitStartTimeTakesTheTimeOfTheStartBoundary) {
    TTaskInfo info;
    info.Trigger.StartBoundary = EncodeDateTime(2026, 3, 4, 17, 45, 59);
    SplitStartTime(info);
    EXPECT_EQ(info.StartHour, 17);
    EXPECT_EQ(info.StartMinute, 45);
    EXPECT_EQ(info.StartSecond, 59);
    info.Trigger.StartBoundary = 0;
    SplitStartTime(info);
    EXPECT_EQ(info.StartHour, 0);
    EXPECT_EQ(info.StartMinute, 0);
    EXPECT_EQ(info.StartSecond, 0);
}

TEST(Duration, SecondsToDurationTable) {
    EXPECT_EQ(SecondsToDuration(0), "PT0S");
    EXPECT_EQ(SecondsToDuration(600), "PT10M0S");
    EXPECT_EQ(SecondsToDuration(3600), "PT1H0S");
    EXPECT_EQ(SecondsToDuration(86400), "P1DT0S");
    EXPECT_EQ(SecondsToDuration(90061), "P1DT1H1M1S");
    EXPECT_EQ(SecondsToDuration(59), "PT59S");
    EXPECT_EQ(SecondsToDuration(86399), "PT23H59M59S");
    EXPECT_EQ(SecondsToDuration(400 * 86400LL), "P400DT0S");
    EXPECT_EQ(SecondsToDuration(-1), "");
    EXPECT_EQ(SecondsToDuration(INT64_MIN), "");
}

TEST(Duration, DurationToSecondsReadsWhatTheInterfacesWrite) {
    EXPECT_EQ(DurationToSeconds("PT10M0S"), 600);
    EXPECT_EQ(DurationToSeconds("P1DT2H"), 93600);
    EXPECT_EQ(DurationToSeconds("PT72H"), 259200);
    EXPECT_EQ(DurationToSeconds(""), 0);
    EXPECT_EQ(DurationToSeconds("PT"), 0);
    EXPECT_EQ(DurationToSeconds("P"), 0);
    for (int64_t s : {0LL, 1LL, 59LL, 60LL, 3599LL, 86400LL, 90061LL, 1000000LL})
        EXPECT_EQ(DurationToSeconds(SecondsToDuration(s)), s) << s;
}

TEST(Duration, DurationToSecondsQuirks) {
    EXPECT_EQ(DurationToSeconds("P1M"), 60);          // a month counts as a minute
    EXPECT_EQ(DurationToSeconds("P1Y2W3D"), 259200);  // years and weeks are skipped
    EXPECT_EQ(DurationToSeconds("PT1.5S"), 5);        // only the digits after the point
    EXPECT_EQ(DurationToSeconds("PT5"), 0);           // a number without a unit is dropped
    EXPECT_EQ(DurationToSeconds("pt5s"), 0);          // units are upper case only
    EXPECT_EQ(DurationToSeconds("PT99999999999999999999S"), 0);  // unreadable number
}

TEST(Duration, LongNumbersAreReadWholeAndTheSumStopsAtTheLargestValue) {
    // Numbers of any length with leading zeros read as their value.
    EXPECT_EQ(DurationToSeconds("PT0000000000000600S"), 600);
    EXPECT_EQ(DurationToSeconds("PT000000000000000000000000010M"), 600);
    // A sum past 32 bits stays at the largest value instead of wrapping.
    EXPECT_EQ(DurationToSeconds("PT2147483647S"), INT32_MAX);
    EXPECT_EQ(DurationToSeconds("PT2147483648S"), INT32_MAX);
    EXPECT_EQ(DurationToSeconds("PT4294967297S"), INT32_MAX);
    EXPECT_EQ(DurationToSeconds("P24856D"), INT32_MAX);  // 24,856 days: just past 2^31 s
    EXPECT_EQ(DurationToSeconds("P24855D"), 24855 * 86400);
    EXPECT_EQ(DurationToSeconds("P9223372036854775807DT1S"), INT32_MAX);
    EXPECT_EQ(DurationToSeconds("PT2147483646S1S1S"), INT32_MAX);
    EXPECT_EQ(DurationToSeconds("PT9223372036854775808S"), 0);  // past 64 bits: unreadable
    EXPECT_EQ(DurationToSeconds("PT9223372036854775808S5S"), 5);
}

TEST(TaskUserName, ComesFromThePlatformAndIsEmptyWhenTooLong) {
    testsupport::TFakeSystemInfo info;
    testsupport::TScopedSystemInfo scoped(info);
    info.User = "Jörg";
    EXPECT_EQ(GetTaskUserName(), "Jörg");
    info.User = "";
    EXPECT_EQ(GetTaskUserName(), "");
    info.User = std::string(259, 'u');
    EXPECT_EQ(GetTaskUserName(), info.User);
    info.User = std::string(260, 'u');  // does not fit the buffer of 260 characters
    EXPECT_EQ(GetTaskUserName(), "");
}

TEST(TaskDates, EncodeAndDecodeDayNumbers) {
    EXPECT_EQ(EncodeDateTime(1899, 12, 30), 0);
    EXPECT_EQ(EncodeDateTime(1900, 1, 1), 2);
    EXPECT_EQ(EncodeDateTime(2000, 1, 1), 36526);
    EXPECT_DOUBLE_EQ(EncodeDateTime(2000, 1, 1, 12), 36526.5);
    EXPECT_EQ(EncodeDateTime(2026, 2, 29), 0);  // no such day
    EXPECT_NE(EncodeDateTime(2024, 2, 29), 0);
    TDateParts p = DecodeDateTime(EncodeDateTime(2026, 12, 31, 23, 59, 59, 999));
    EXPECT_EQ(p.Year, 2026);
    EXPECT_EQ(p.Month, 12);
    EXPECT_EQ(p.Day, 31);
    EXPECT_EQ(p.Hour, 23);
    EXPECT_EQ(p.Minute, 59);
    EXPECT_EQ(p.Second, 59);
    EXPECT_EQ(p.Millisecond, 999);
}

TEST(TaskDates, XmlTextCarriesTheLocalOffset) {
    testsupport::TFakeClock clock;
    testsupport::TScopedClock scoped(clock);
    TDateTime t = EncodeDateTime(2026, 7, 1, 8, 5, 3, 7);
    clock.Offset = 120;
    EXPECT_EQ(DateTimeToXml(t), "2026-07-01T08:05:03.007+02:00");
    clock.Offset = -330;
    EXPECT_EQ(DateTimeToXml(t), "2026-07-01T08:05:03.007-05:30");
    clock.Offset = 0;
    EXPECT_EQ(DateTimeToXml(t), "2026-07-01T08:05:03.007Z");
}

TEST(TaskDates, XmlTextIsReadIntoLocalTime) {
    testsupport::TFakeClock clock;
    testsupport::TScopedClock scoped(clock);
    clock.Offset = 60;
    TDateTime t = EncodeDateTime(2026, 7, 1, 8, 5, 3, 7);
    EXPECT_DOUBLE_EQ(XmlToDateTime(DateTimeToXml(t)), t);
    // Without an offset the text is local time already.
    EXPECT_DOUBLE_EQ(XmlToDateTime("2026-07-01T08:05:03"), EncodeDateTime(2026, 7, 1, 8, 5, 3));
    // UTC and another offset are moved to the local offset.
    EXPECT_NEAR(XmlToDateTime("2026-07-01T07:05:03Z"), EncodeDateTime(2026, 7, 1, 8, 5, 3), 1e-9);
    EXPECT_NEAR(XmlToDateTime("2026-07-01T23:30:00-01:00"), EncodeDateTime(2026, 7, 2, 1, 30),
                1e-9);
    EXPECT_DOUBLE_EQ(XmlToDateTime("2026-07-01"), EncodeDateTime(2026, 7, 1));
    for (const char* bad : {"", "2026", "2026-13-01T00:00:00", "2026-07-01T25:00:00",
                            "2026-07-01T08:05", "2026-07-01T08:05:03+0100", "yesterday",
                            "2026-07-01T08:05:03.", "2026-07-01T08:05:03Zjunk"})
        EXPECT_THROW(XmlToDateTime(bad), ETaskError) << bad;
}

}  // namespace
