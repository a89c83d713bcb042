// Writing tasks through the 2.0 adapter, checked call by call against the recording fake.
#include "tasks/taskdates.h"
#include "tests/tasks/task_fixture.h"

namespace {

using namespace tasks;
using tasktest::TAdapterTest;

const char* kOwnTask = "VT Leapgate Task ( One Time )";
const char* kExe = "C:\\Program Files\\Vantrel\\Leapgate.exe";

class Scheduler2Create : public TAdapterTest<true> {};

TEST_F(Scheduler2Create, OwnLogonTaskCallByCall) {
    ASSERT_EQ(CreateNewTask_OnLogonEx(kOwnTask, kExe, "/leapgate", 10, 0, nullptr), 0);
    std::vector<std::string> expected = {
        "CoInitializeEx(0)",
        "CoInitializeSecurity(-1, 6, 3, 0)",
        "CoCreateInstance(TaskScheduler)",
        "ITaskService.Connect(null, null, null, null)",
        "ITaskService.GetFolder(\"\\\")",
        "ITaskService.NewTask(0)",
        "ITaskDefinition.get_RegistrationInfo()",
        "IRegistrationInfo.put_Author(\"tester\")",
        "IRegistrationInfo.put_Description(\"\")",
        "ITaskDefinition.get_Settings()",
        "ITaskSettings.put_DisallowStartIfOnBatteries(0)",
        "ITaskSettings.put_StopIfGoingOnBatteries(0)",
        "ITaskSettings.put_Enabled(-1)",
        "ITaskSettings.put_Hidden(0)",
        "ITaskSettings.put_Priority(5)",
        "ITaskSettings.put_RunOnlyIfIdle(0)",
        "ITaskSettings.put_WakeToRun(0)",
        "ITaskSettings.put_AllowDemandStart(-1)",
        "ITaskSettings.put_StartWhenAvailable(0)",
        "ITaskSettings.put_RestartInterval(\"\")",
        "ITaskSettings.put_RestartCount(-1)",
        "ITaskSettings.put_ExecutionTimeLimit(\"PT0S\")",
        "ITaskSettings.put_AllowHardTerminate(0)",
        "ITaskSettings.put_MultipleInstances(0)",
        "ITaskSettings.get_IdleSettings()",
        "IIdleSettings.put_WaitTimeout(\"\")",
        "IIdleSettings.put_StopOnIdleEnd(0)",
        "IIdleSettings.put_RestartOnIdle(0)",
        "IIdleSettings.put_IdleDuration(\"\")",
        "ITaskSettings.put_Compatibility(2)",
        "ITaskDefinition.get_Triggers()",
        "ITriggerCollection.Create(9)",
        "ITrigger.put_Enabled(-1)",
        "ITrigger.get_Repetition()",
        "IRepetitionPattern.put_StopAtDurationEnd(0)",
        "ITrigger.QueryInterface(ILogonTrigger)",
        "ITrigger.put_Id(\"Trigger1\")",
        "ITrigger.put_EndBoundary(\"\")",
        "ILogonTrigger.put_Delay(\"PT10M0S\")",
        "ITaskDefinition.get_Actions()",
        "IActionCollection.Create(0)",
        "IAction.QueryInterface(IExecAction)",
        "IExecAction.put_Path(\"C:\\Program Files\\Vantrel\\Leapgate.exe\")",
        "IExecAction.put_Arguments(\"/leapgate\")",
        "IExecAction.put_WorkingDirectory(\"\")",
        "ITaskDefinition.get_Principal()",
        "IPrincipal.put_RunLevel(1)",
        "IPrincipal.put_LogonType(3)",
        "ITaskFolder.RegisterTaskDefinition(\"VT Leapgate Task ( One Time )\", 6, null, null, 3, "
        "\"\")",
    };
    EXPECT_EQ(Store().Calls, expected);
    EXPECT_TRUE(tasktest::TaskLogLines().empty());

    // What the platform keeps: one task in the root folder.
    platform::TStoredTask2* task = Store().FindTask("\\", kOwnTask);
    ASSERT_NE(task, nullptr);
    const platform::TStoredDefinition2& d = task->Definition;
    ASSERT_EQ(d.Triggers.size(), 1u);
    EXPECT_EQ(d.Triggers[0].Type, 9);
    EXPECT_EQ(d.Triggers[0].Id, "Trigger1");
    EXPECT_EQ(d.Triggers[0].Delay, "PT10M0S");
    EXPECT_EQ(d.Triggers[0].StartBoundary, "");
    EXPECT_EQ(d.Triggers[0].Interval, "");
    ASSERT_EQ(d.Actions.size(), 1u);
    EXPECT_EQ(d.Actions[0].Path, kExe);
    EXPECT_EQ(d.Actions[0].Arguments, "/leapgate");
    EXPECT_EQ(d.RunLevel, 1);
    EXPECT_EQ(d.LogonType, 3);
    EXPECT_EQ(d.Author, "tester");
}

TEST_F(Scheduler2Create, RegisteringTwiceUpdatesTheTask) {
    ASSERT_EQ(CreateNewTask_OnLogonEx(kOwnTask, kExe, "/leapgate", 10, 0, nullptr), 0);
    ASSERT_EQ(CreateNewTask_OnLogonEx(kOwnTask, kExe, "/other", 1, 2, nullptr), 0);
    ASSERT_EQ(Store().Folders[0].Tasks.size(), 1u);
    EXPECT_EQ(Store().Folders[0].Tasks[0].Definition.Actions[0].Arguments, "/other");
    EXPECT_EQ(Store().Folders[0].Tasks[0].Definition.Triggers[0].Delay, "PT1M2S");
}

TEST_F(Scheduler2Create, DelayOutsideItsRangeGivesNoDelay) {
    for (auto [minutes, seconds] :
         {std::pair{60, 0}, std::pair{0, -1}, std::pair{-1, 0}, std::pair{0, 60}}) {
        Store().Calls.clear();
        ASSERT_EQ(CreateNewTask_OnLogonEx(kOwnTask, kExe, "/leapgate", minutes, seconds, nullptr),
                  0);
        EXPECT_EQ(Store().CountOf("ILogonTrigger.put_Delay"), 1);
        EXPECT_EQ(Calls({"ILogonTrigger.put_Delay"})[0], "ILogonTrigger.put_Delay(\"\")")
            << minutes << ":" << seconds;
    }
    Store().Calls.clear();
    ASSERT_EQ(CreateNewTask_OnLogonEx(kOwnTask, kExe, "", 59, 59, nullptr), 0);
    EXPECT_EQ(Calls({"ILogonTrigger.put_Delay"})[0], "ILogonTrigger.put_Delay(\"PT59M59S\")");
}

TEST_F(Scheduler2Create, GivenRecordIsUsedAndFilledIn) {
    TTaskInfo info;
    info.General.Author = "Builder";
    info.General.Description = "Starts the offer";
    info.Action.WorkingDirectory = "  C:\\Work\t";
    ASSERT_EQ(CreateNewTask_OnLogonEx("Mine", "  C:\\a.exe ", " /x ", 0, 5, &info), 0);
    EXPECT_EQ(info.General.Name, "Mine");
    EXPECT_EQ(info.Trigger.TriggerType, 9);
    EXPECT_EQ(info.Trigger.Delay, 5);
    EXPECT_EQ(info.General.UserId, "tester");  // filled, though not passed to the platform
    EXPECT_TRUE(Store().Called("IRegistrationInfo.put_Author"));
    EXPECT_EQ(Calls({"IRegistrationInfo.put_Author"})[0],
              "IRegistrationInfo.put_Author(\"Builder\")");
    // Paths and arguments go without their surrounding blanks.
    EXPECT_EQ(Calls({"IExecAction.put_"}),
              (std::vector<std::string>{"IExecAction.put_Path(\"C:\\a.exe\")",
                                        "IExecAction.put_Arguments(\"/x\")",
                                        "IExecAction.put_WorkingDirectory(\"C:\\Work\")"}));
}

TEST_F(Scheduler2Create, OneTimeTriggerEndsOneSecondAfterItsRunTime) {
    TTaskInfo info;
    info.General.Name = "Once";
    info.Action.Path = "C:\\a.exe";
    info.Trigger.TriggerType = 1;
    info.RunTime = EncodeDateTime(2027, 1, 2, 3, 4, 5, 600);
    ASSERT_TRUE(Adapter().CreateTask(info, false));
    EXPECT_EQ(
        Calls({"ITrigger.put_", "ITaskSettings.put_DeleteExpiredTaskAfter"}),
        (std::vector<std::string>{"ITaskSettings.put_DeleteExpiredTaskAfter(\"PT0S\")",
                                  "ITrigger.put_Enabled(-1)", "ITrigger.put_Id(\"Trigger1\")",
                                  "ITrigger.put_StartBoundary(\"2027-01-02T03:04:05.600+01:00\")",
                                  "ITrigger.put_EndBoundary(\"2027-01-02T03:04:06.600+01:00\")"}));
}

TEST_F(Scheduler2Create, CalendarTriggersStartTodayAtTheRecordsTime) {
    TTaskInfo info;
    info.General.Name = "Calendar";
    info.Action.Path = "C:\\a.exe";
    info.StartHour = 6;
    info.StartMinute = 7;
    info.StartSecond = 8;
    info.DaysInterval = 3;
    info.WeeksInterval = 2;
    info.DaysOfWeek = 0x41;  // Sunday and Saturday
    info.DaysOfMonth = 0x10001;
    info.MonthsOfYear = 0x801;
    const std::string start = "ITrigger.put_StartBoundary(\"2026-12-08T06:07:08.250+01:00\")";
    info.Trigger.TriggerType = 2;
    ASSERT_TRUE(Adapter().CreateTask(info, false));
    EXPECT_EQ(Calls({"ITrigger.put_StartBoundary", "IDailyTrigger."}),
              (std::vector<std::string>{start, "IDailyTrigger.put_DaysInterval(3)"}));
    Store().Calls.clear();
    info.Trigger.TriggerType = 3;
    ASSERT_TRUE(Adapter().CreateTask(info, false));
    EXPECT_EQ(Calls({"ITrigger.put_StartBoundary", "IWeeklyTrigger."}),
              (std::vector<std::string>{start, "IWeeklyTrigger.put_DaysOfWeek(65)",
                                        "IWeeklyTrigger.put_WeeksInterval(2)"}));
    Store().Calls.clear();
    info.Trigger.TriggerType = 4;
    ASSERT_TRUE(Adapter().CreateTask(info, false));
    EXPECT_EQ(Calls({"ITrigger.put_StartBoundary", "IMonthlyTrigger."}),
              (std::vector<std::string>{start, "IMonthlyTrigger.put_DaysOfMonth(65537)",
                                        "IMonthlyTrigger.put_MonthsOfYear(2049)"}));
}

TEST_F(Scheduler2Create, IdleBootAndOtherTriggers) {
    TTaskInfo info;
    info.General.Name = "Kinds";
    info.Action.Path = "C:\\a.exe";
    info.Trigger.StartBoundary = EncodeDateTime(2026, 1, 1, 9);
    info.Trigger.ExecutionTimeLimit = 90;
    info.Trigger.RepeatInterval = 15;
    info.Trigger.RepeatDuration = 60;
    info.Trigger.Delay = 30;
    info.Trigger.TriggerType = 8;
    ASSERT_TRUE(Adapter().CreateTask(info, false));
    EXPECT_EQ(
        Calls({"ITrigger.put_", "IRepetitionPattern.", "IBootTrigger."}),
        (std::vector<std::string>{
            "ITrigger.put_Enabled(-1)", "IRepetitionPattern.put_StopAtDurationEnd(0)",
            "IRepetitionPattern.put_Interval(\"PT15M0S\")",
            "IRepetitionPattern.put_Duration(\"PT1H0S\")", "ITrigger.put_Id(\"Trigger1\")",
            "IBootTrigger.put_Delay(\"PT30S\")",
            "ITrigger.put_StartBoundary(\"2026-01-01T09:00:00.000+01:00\")",
            "ITrigger.put_EndBoundary(\"\")", "ITrigger.put_ExecutionTimeLimit(\"PT1H30M0S\")"}));
    for (int type : {0, 5, 7}) {
        Store().Calls.clear();
        info.Trigger.TriggerType = type;
        EXPECT_TRUE(Adapter().CreateTask(info, false)) << type;
        // No typed interface for event and day-of-week triggers; registration has no extras.
        EXPECT_EQ(Store().CountOf("ITrigger.QueryInterface"), type == 7 ? 1 : 0) << type;
        EXPECT_FALSE(Store().Called("ITrigger.put_StartBoundary")) << type;
    }
    Store().Calls.clear();
    ASSERT_TRUE(Adapter().CreateTask(info, true));  // no trigger at all
    EXPECT_FALSE(Store().Called("ITaskDefinition.get_Triggers"));
}

TEST_F(Scheduler2Create, RestartSettingsWhenBothAreGiven) {
    TTaskInfo info;
    info.General.Name = "Restart";
    info.Action.Path = "C:\\a.exe";
    info.RestartCount = 3;
    info.RestartInterval = 5;
    info.IdleWaitTimeout = 2;
    info.IdleDuration = 1;
    info.ExecutionTimeLimitDays = 2;
    ASSERT_TRUE(Adapter().CreateTask(info, false));
    EXPECT_EQ(Calls({"ITaskSettings.put_Restart", "ITaskSettings.put_ExecutionTimeLimit",
                     "IIdleSettings.put_WaitTimeout", "IIdleSettings.put_IdleDuration"}),
              (std::vector<std::string>{"ITaskSettings.put_RestartInterval(\"PT5M0S\")",
                                        "ITaskSettings.put_RestartCount(3)",
                                        "ITaskSettings.put_ExecutionTimeLimit(\"P2DT0S\")",
                                        "IIdleSettings.put_WaitTimeout(\"PT2M0S\")",
                                        "IIdleSettings.put_IdleDuration(\"PT1M0S\")"}));
    Store().Calls.clear();
    info.RestartInterval = 0;  // one of the two missing: none
    ASSERT_TRUE(Adapter().CreateTask(info, false));
    EXPECT_EQ(Calls({"ITaskSettings.put_Restart"}),
              (std::vector<std::string>{"ITaskSettings.put_RestartInterval(\"\")",
                                        "ITaskSettings.put_RestartCount(-1)"}));
}

TEST_F(Scheduler2Create, MessageActionAndUnsupportedActions) {
    TTaskInfo info;
    info.General.Name = "Message";
    info.Action.ActionType = 7;
    info.Action.Title = " Hello ";
    info.Action.MessageBody = "Body";
    ASSERT_TRUE(Adapter().CreateTask(info, true));
    EXPECT_EQ(Calls({"IShowMessageAction."}),
              (std::vector<std::string>{"IShowMessageAction.put_Title(\" Hello \")",
                                        "IShowMessageAction.put_MessageBody(\"Body\")"}));
    Store().Calls.clear();
    info.General.Name = "Mail";
    info.Action.ActionType = 6;  // e-mail: created, not filled, not registered
    EXPECT_FALSE(Adapter().CreateTask(info, true));
    EXPECT_TRUE(Store().Called("IActionCollection.Create"));
    EXPECT_FALSE(Store().Called("IAction.QueryInterface"));
    EXPECT_FALSE(Store().Called("ITaskFolder.RegisterTaskDefinition"));
    EXPECT_TRUE(tasktest::TaskLogLines().empty());
}

TEST_F(Scheduler2Create, FolderIsCreatedBelowTheRootWhenMissing) {
    TTaskInfo info;
    info.General.Name = "Nested";
    info.General.Path = "Sub";  // used as \Sub
    info.Action.Path = "C:\\a.exe";
    ASSERT_TRUE(Adapter().CreateTask(info, false));
    EXPECT_EQ(Calls({"ITaskService.GetFolder", "ITaskFolder.CreateFolder"}),
              (std::vector<std::string>{"ITaskService.GetFolder(\"\\Sub\")",
                                        "ITaskService.GetFolder(\"\\\")",
                                        "ITaskFolder.CreateFolder(\"Sub\", \"\")"}));
    ASSERT_NE(Store().FindTask("\\Sub", "Nested"), nullptr);
    Store().Calls.clear();
    ASSERT_TRUE(Adapter().CreateTask(info, false));  // found now: no second folder
    EXPECT_FALSE(Store().Called("ITaskFolder.CreateFolder"));
    EXPECT_EQ(Store().Folders.size(), 2u);
}

}  // namespace
