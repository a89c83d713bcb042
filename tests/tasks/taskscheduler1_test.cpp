// The 1.0 adapter against the recording fake: the program's own task call by call with the
// trigger record's bytes, the record for each trigger type, reading back, and refusals.
#include "tasks/taskdates.h"
#include "tasks/taskscheduler1_internal.h"
#include "tests/tasks/task_fixture.h"

namespace {

using namespace tasks;
using platform::HResultOf;
using platform::TTaskTriggerRecord;
using tasktest::TAdapterTest;
using tasktest::TaskLogLines;

const char* kOwnTask = "VT Leapgate Task ( One Time )";
const char* kExe = "C:\\Program Files\\Vantrel\\Leapgate.exe";

class Scheduler1 : public TAdapterTest<false> {
protected:
    int CreateOwnTask() {
        return CreateNewTask_OnLogonEx(kOwnTask, kExe, "/leapgate", 10, 0, nullptr);
    }
};

std::vector<uint8_t> Bytes(std::initializer_list<int> values) {
    return std::vector<uint8_t>(values.begin(), values.end());
}

TEST_F(Scheduler1, OwnLogonTaskCallByCall) {
    ASSERT_EQ(CreateOwnTask(), 0);
    std::vector<std::string> expected = {
        "CoInitializeEx(0)",
        "CoCreateInstance(CTaskScheduler)",
        "ITaskScheduler.Delete(\"VT Leapgate Task ( One Time )\")",
        "ITaskScheduler.NewWorkItem(\"VT Leapgate Task ( One Time )\")",
        "ITask.SetApplicationName(\"C:\\Program Files\\Vantrel\\Leapgate.exe\")",
        "ITask.SetParameters(\"/leapgate\")",
        "ITask.SetWorkingDirectory(\"\")",
        "ITask.SetComment(\"\")",
        "ITask.SetPriority(5)",
        "ITask.GetFlags()",
        "ITask.SetFlags(8192)",
        "ITask.CreateTrigger()",
        "ITask.SetMaxRunTime(4294967295)",
        "ITask.SetIdleWait(65535, 65535)",
        "ITaskTrigger.SetTrigger(3000"
        "0000EA070C000800000000000000"
        "0A001E00"
        "000000000000000000000000"
        "07000000"
        "0000000000000000"
        "00000000)",
        "ITask.SetAccountInformation(\"tester\", null)",
        "ITask.SetCreator(\"tester\")",
        "ITask.QueryInterface(IPersistFile)",
        "IPersistFile.Save(null, true)",
    };
    EXPECT_EQ(Store().Calls, expected);
    EXPECT_TRUE(TaskLogLines().empty());

    platform::TStoredWorkItem1* item = Store().FindWorkItem(kOwnTask);
    ASSERT_NE(item, nullptr);
    ASSERT_EQ(item->Triggers.size(), 1u);
    auto bytes = item->Triggers[0].ToBytes();
    // Size 48; begin 2026-12-08; no end date; start 10:30; no durations or flags; at logon.
    EXPECT_EQ(
        std::vector<uint8_t>(bytes.begin(), bytes.end()),
        Bytes({48, 0, 0, 0, 0xEA, 0x07, 12, 0, 8, 0, 0, 0, 0, 0, 0, 0, 10, 0, 30, 0, 0, 0, 0, 0,
               0,  0, 0, 0, 0,    0,    0,  0, 7, 0, 0, 0, 0, 0, 0, 0, 0,  0, 0,  0, 0, 0, 0, 0}));
    EXPECT_EQ(item->Flags, 0x2000u);
    EXPECT_EQ(item->Account, "tester");
    EXPECT_EQ(item->MaxRunTime, 0xFFFFFFFFu);
    EXPECT_EQ(item->IdleMinutes, 65535);
    EXPECT_EQ(item->DeadlineMinutes, 65535);
}

TEST_F(Scheduler1, SystemAccountIsTheEmptyName) {
    Info.User = "system";
    ASSERT_EQ(CreateOwnTask(), 0);
    EXPECT_EQ(Calls({"ITask.SetAccountInformation", "ITask.SetCreator"}),
              (std::vector<std::string>{"ITask.SetAccountInformation(\"\", null)",
                                        "ITask.SetCreator(\"\")"}));
}

TEST_F(Scheduler1, NoUserNameNoTask) {
    Info.User = "";
    EXPECT_EQ(CreateOwnTask(), 1);
    EXPECT_FALSE(Store().Called("ITask.SetAccountInformation"));
    EXPECT_EQ(Store().FindWorkItem(kOwnTask), nullptr);
}

TEST_F(Scheduler1, ExistingWorkItemIsReplaced) {
    ASSERT_EQ(CreateOwnTask(), 0);
    ASSERT_EQ(CreateNewTask_OnLogonEx(kOwnTask, "C:\\new.exe", "", 0, 0, nullptr), 0);
    ASSERT_EQ(Store().WorkItems.size(), 1u);
    EXPECT_EQ(Store().WorkItems[0].ApplicationName, "C:\\new.exe");
    EXPECT_EQ(Store().WorkItems[0].Triggers.size(), 1u);
}

TEST_F(Scheduler1, TriggerRecordForEachType) {
    platform::TSystemTime now{2026, 12, 8, 10, 30, 15, 250, 2};
    TTaskInfo info;
    info.RunTime = EncodeDateTime(2027, 3, 4, 5, 6, 7);
    info.StartHour = 21;
    info.StartMinute = 45;
    info.DaysInterval = 2;
    info.WeeksInterval = 3;
    info.DaysOfWeek = 0x3E;
    info.DaysOfMonth = 0x40000001;
    info.MonthsOfYear = 0x0F0;

    info.TriggerTypeV1 = 0;
    TTaskTriggerRecord once = BuildTriggerRecord(info, now);
    EXPECT_EQ(once.TriggerSize, 48);
    EXPECT_EQ(once.BeginYear, 2027);
    EXPECT_EQ(once.BeginMonth, 3);
    EXPECT_EQ(once.BeginDay, 4);
    EXPECT_EQ(once.StartHour, 5);
    EXPECT_EQ(once.StartMinute, 6);

    info.TriggerTypeV1 = 1;
    TTaskTriggerRecord daily = BuildTriggerRecord(info, now);
    EXPECT_EQ(daily.BeginDay, 8);  // today
    EXPECT_EQ(daily.StartHour, 21);
    EXPECT_EQ(daily.StartMinute, 45);
    EXPECT_EQ(daily.ToBytes()[36], 2);
    EXPECT_EQ(daily.TriggerType, 1u);

    info.TriggerTypeV1 = 2;
    auto weekly = BuildTriggerRecord(info, now).ToBytes();
    EXPECT_EQ(weekly[36], 3);
    EXPECT_EQ(weekly[38], 0x3E);

    info.TriggerTypeV1 = 3;
    TTaskTriggerRecord monthly = BuildTriggerRecord(info, now);
    auto mb = monthly.ToBytes();
    EXPECT_EQ(monthly.BeginYear, 2027);
    EXPECT_EQ(Bytes({mb[36], mb[37], mb[38], mb[39], mb[40], mb[41]}),
              Bytes({0x01, 0x00, 0x00, 0x40, 0xF0, 0x00}));

    for (uint8_t type : {4, 5, 6, 7}) {
        info.TriggerTypeV1 = type;
        TTaskTriggerRecord r = BuildTriggerRecord(info, now);
        EXPECT_EQ(r.TriggerType, type);
        EXPECT_EQ(r.StartHour, 10);
        EXPECT_EQ(r.StartMinute, 30);
        EXPECT_EQ(r.TypeDword(), 0u);
        EXPECT_EQ(r.TypeWord(2), 0u);
    }
}

TEST_F(Scheduler1, BoundariesFillTheRecordButNoFlagEnforcesTheEnd) {
    platform::TSystemTime now{2026, 12, 8, 10, 30, 15, 250, 2};
    TTaskInfo info;
    info.TriggerTypeV1 = 7;
    info.Trigger.StartBoundary = EncodeDateTime(2026, 1, 2, 3, 4);
    info.Trigger.EndBoundary = EncodeDateTime(2028, 9, 10, 11, 12);
    TTaskTriggerRecord r = BuildTriggerRecord(info, now);
    EXPECT_EQ(r.BeginYear, 2026);
    EXPECT_EQ(r.BeginMonth, 1);
    EXPECT_EQ(r.BeginDay, 2);
    EXPECT_EQ(r.StartHour, 3);
    EXPECT_EQ(r.StartMinute, 4);
    EXPECT_EQ(r.EndYear, 2028);
    EXPECT_EQ(r.EndMonth, 9);
    EXPECT_EQ(r.EndDay, 10);
    EXPECT_EQ(r.Flags, 0u);
}

TEST_F(Scheduler1, MaximumRunTime) {
    EXPECT_EQ(MaxRunTimeOf(0), 0xFFFFFFFFu);
    EXPECT_EQ(MaxRunTimeOf(-5), 0xFFFFFFFFu);
    EXPECT_EQ(MaxRunTimeOf(1), 86400000u);
    EXPECT_EQ(MaxRunTimeOf(49), 49u * 86400000u);
    EXPECT_EQ(MaxRunTimeOf(50), 0xFFFFFFFEu);  // would wrap in 32 bits
    TTaskInfo info;
    info.General.Name = "Limited";
    info.ExecutionTimeLimitDays = 1;
    ASSERT_TRUE(Adapter().CreateNewTask(info, false));
    EXPECT_TRUE(Store().Called("ITask.SetMaxRunTime"));
    EXPECT_EQ(Calls({"ITask.SetMaxRunTime"})[0], "ITask.SetMaxRunTime(86400000)");
    EXPECT_EQ(info.ExecutionTimeLimitDays, 1);  // the caller's record keeps its days
}

TEST_F(Scheduler1, IdleTriggerWritesItsMinutesBackIntoTheRecord) {
    struct {
        int32_t delay, deadline, wantDelay, wantDeadline;
    } cases[] = {
        {600, -1, 10, 11},  // seconds to minutes; no deadline: one minute after the wait
        {59, -1, 0, 1},     // below a minute rounds down
        {-1, -1, 0, 1},     // no wait at all
        {600, 30, 10, 30},  // a deadline of the caller's own is kept
    };
    for (const auto& c : cases) {
        TTaskInfo info;
        info.General.Name = "Idle";
        info.TriggerTypeV1 = 5;
        info.Trigger.Delay = c.delay;
        info.Trigger.IdleDeadline = c.deadline;
        ASSERT_TRUE(Adapter().CreateNewTask(info, false));
        EXPECT_EQ(info.Trigger.Delay, c.wantDelay) << c.delay;
        EXPECT_EQ(info.Trigger.IdleDeadline, c.wantDeadline) << c.delay;
    }
    // Any other type leaves the record alone.
    TTaskInfo logon;
    logon.General.Name = "Logon";
    logon.TriggerTypeV1 = 7;
    logon.Trigger.Delay = 600;
    ASSERT_TRUE(Adapter().CreateNewTask(logon, false));
    EXPECT_EQ(logon.Trigger.Delay, 600);
    EXPECT_EQ(logon.Trigger.IdleDeadline, -1);
}

TEST_F(Scheduler1, FlagsFromTheRecord) {
    TTaskInfo info;
    info.General.Name = "Flags";
    info.AllowStartOnBatteries = false;
    info.StopIfGoingOnBatteries = true;
    info.DeleteWhenDone = true;
    info.IdleDuration = 5;
    info.IdleWaitTimeout = 10;
    info.StopOnIdleEnd = true;
    info.General.Hidden = true;
    info.WakeToRun = true;
    ASSERT_TRUE(Adapter().CreateNewTask(info, true));
    EXPECT_EQ(Store().FindWorkItem("Flags")->Flags,
              0x2000u | 0x40 | 0x80 | 0x2 | 0x10 | 0x20 | 0x200 | 0x1000);
    EXPECT_FALSE(Store().Called("ITask.CreateTrigger"));
}

TEST_F(Scheduler1, SetFlagKeepsExistingFlagsAndClearsOnlyItsOwn) {
    TTaskInfo info;
    info.General.Name = "Keep";
    ASSERT_TRUE(Adapter().CreateNewTask(info, true));
    platform::TPtr<platform::ITaskScheduler> scheduler = Adapter().IniTaskScheduler();
    platform::TPtr<platform::ITask> task;
    ASSERT_EQ(scheduler->Activate("Keep", task), 0);
    ASSERT_EQ(task->SetFlags(0x4 | 0x40 | 0x80 | 0x2 | 0x200), 0);
    info.TaskFlagsV1 = 0;
    ASSERT_TRUE(Adapter().SetFlag(task, info));
    uint32_t flags = 0;
    task->GetFlags(flags);
    EXPECT_EQ(flags, 0x4u | 0x200u);  // disabled and hidden stay; the others follow the record
}

TEST_F(Scheduler1, ReadBackWithOrWithoutJobExtension) {
    ASSERT_EQ(CreateOwnTask(), 0);
    std::unique_ptr<TTaskInfo> a = Adapter().GetTaskInfo(kOwnTask);
    std::unique_ptr<TTaskInfo> b = Adapter().GetTaskInfo(std::string(kOwnTask) + ".JOB");
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(a->General.Name, std::string(kOwnTask) + ".job");
    EXPECT_EQ(b->General.Name, std::string(kOwnTask) + ".JOB");
    EXPECT_EQ(Calls({"ITaskScheduler.Activate"}),
              (std::vector<std::string>{
                  "ITaskScheduler.Activate(\"VT Leapgate Task ( One Time ).job\")",
                  "ITaskScheduler.Activate(\"VT Leapgate Task ( One Time ).JOB\")"}));
    Store().Calls.clear();
    EXPECT_TRUE(Adapter().TaskIsExists(kOwnTask));  // the name goes unchanged
    EXPECT_EQ(
        Calls({"ITaskScheduler.Activate"}),
        std::vector<std::string>{"ITaskScheduler.Activate(\"VT Leapgate Task ( One Time )\")"});
    EXPECT_EQ(a->General.Path, "");
    EXPECT_EQ(a->General.Author, "tester");
    EXPECT_EQ(a->General.UserId, "tester");
    EXPECT_EQ(a->Action.Path, kExe);
    EXPECT_EQ(a->Action.Arguments, "/leapgate");
    ASSERT_EQ(a->Actions.size(), 1u);
    ASSERT_EQ(a->Triggers.size(), 1u);
    EXPECT_EQ(a->Trigger.TriggerType, 7);  // 1.0 numbering from the adapter itself
    EXPECT_EQ(a->TriggerTypeV1, 7);
    EXPECT_DOUBLE_EQ(a->Trigger.StartBoundary, EncodeDateTime(2026, 12, 8, 10, 30));
    EXPECT_EQ(a->Trigger.EndBoundary, 0);  // no end date in the record
    EXPECT_DOUBLE_EQ(a->RunTime, EncodeDateTime(2026, 12, 8, 10, 30));
    EXPECT_EQ(a->Trigger.Delay, 65535 * 60);
    EXPECT_EQ(a->IdleDuration, 65535);
    EXPECT_EQ(a->ExecutionTimeLimitDays, 0);  // no limit
    EXPECT_TRUE(a->TaskEnabled);
    EXPECT_TRUE(a->AllowStartOnBatteries);
    EXPECT_TRUE(TaskLogLines().empty());
}

TEST_F(Scheduler1, RecordRoundTripThroughTheWorkItem) {
    TTaskInfo info;
    info.General.Name = "Weekly";
    info.General.Description = "Comment";
    info.General.Author = "Maker";
    info.Action.Path = "C:\\w.exe";
    info.Action.Arguments = "-w";
    info.Action.WorkingDirectory = "C:\\";
    info.TriggerTypeV1 = 2;
    info.StartHour = 6;
    info.StartMinute = 15;
    info.WeeksInterval = 2;
    info.DaysOfWeek = 0x22;
    info.ExecutionTimeLimitDays = 2;
    info.IdleDuration = 3;
    info.IdleWaitTimeout = 4;
    info.AllowStartOnBatteries = false;
    info.StopIfGoingOnBatteries = true;
    info.DeleteWhenDone = true;
    info.WakeToRun = true;
    ASSERT_TRUE(Adapter().CreateNewTask(info, false));
    std::unique_ptr<TTaskInfo> read = GetTaskInfo("Weekly", "ignored", false);
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->General.Description, "Comment");
    EXPECT_EQ(read->General.Author, "Maker");
    EXPECT_EQ(read->Action.Path, "C:\\w.exe");
    EXPECT_EQ(read->Action.Arguments, "-w");
    EXPECT_EQ(read->Action.WorkingDirectory, "C:\\");
    EXPECT_EQ(read->TriggerTypeV1, 2);
    EXPECT_EQ(read->Trigger.TriggerType, 3);  // translated to 2.0 numbering
    EXPECT_EQ(read->StartHour, 6);
    EXPECT_EQ(read->StartMinute, 15);
    EXPECT_EQ(read->WeeksInterval, 2);
    EXPECT_EQ(read->DaysOfWeek, 0x22);
    EXPECT_EQ(read->ExecutionTimeLimitDays, 2);
    EXPECT_EQ(read->IdleDuration, 3);
    EXPECT_EQ(read->IdleWaitTimeout, 4);
    EXPECT_EQ(read->AllowStartOnBatteries, false);
    EXPECT_EQ(read->StopIfGoingOnBatteries, true);
    EXPECT_EQ(read->DeleteWhenDone, true);
    EXPECT_EQ(read->WakeToRun, true);
}

TEST_F(Scheduler1, EnableDisableAndDelete) {
    ASSERT_EQ(CreateOwnTask(), 0);
    EXPECT_EQ(IsTaskExists(kOwnTask, "\\"), 0);
    EXPECT_EQ(SetTaskEnable(kOwnTask, false, "\\"), 0);
    EXPECT_EQ(Store().FindWorkItem(kOwnTask)->Flags & 0x4u, 0x4u);
    EXPECT_EQ(IsTaskEnabled(kOwnTask, "\\"), 1);
    EXPECT_EQ(SetTaskEnable(kOwnTask, true, "\\"), 0);
    EXPECT_EQ(IsTaskEnabled(kOwnTask, "\\"), 0);
    EXPECT_EQ(SetTaskEnable("Missing", true, "\\"), 1);
    EXPECT_EQ(DeleteTask(kOwnTask, "\\"), 0);
    EXPECT_EQ(IsTaskExists(kOwnTask, "\\"), 1);
    EXPECT_EQ(DeleteTask(kOwnTask, "\\"), 0);  // missing: as good as deleted
    EXPECT_TRUE(TaskLogLines().empty());
}

TEST_F(Scheduler1, TriggerTypesAreTranslatedToThe20Numbering) {
    for (auto [v1, v2] : {std::pair{0, 1}, std::pair{1, 2}, std::pair{2, 3}, std::pair{3, 4},
                          std::pair{4, 5}, std::pair{5, 6}, std::pair{6, 8}, std::pair{7, 9}}) {
        platform::TStoredWorkItem1 item;
        item.Name = "T" + std::to_string(v1);
        TTaskTriggerRecord r;
        r.TriggerSize = 48;
        r.TriggerType = static_cast<uint32_t>(v1);
        item.Triggers.push_back(r);
        Store().WorkItems.push_back(item);
        std::unique_ptr<TTaskInfo> read = GetTaskInfo(item.Name, "", false);
        ASSERT_NE(read, nullptr);
        EXPECT_EQ(read->Trigger.TriggerType, v2) << v1;
        EXPECT_EQ(read->Triggers[0].TriggerType, v2) << v1;
        EXPECT_EQ(read->Trigger.StartBoundary, 0);  // the record holds no date
    }
}

TEST_F(Scheduler1, RefusalsAndTheirLines) {
    const platform::HResult denied = HResultOf(0x80070005u);
    Store().Refuse("ITask.GetFlags", denied, 1, "Access is denied", "");
    EXPECT_EQ(CreateOwnTask(), 0);  // a failed SetFlag does not stop the creation
    EXPECT_EQ(TaskLogLines(),
              std::vector<std::string>{"SetFlag.EOleException : Access is denied_80070005_"});
    tasktest::ClearTaskLog();

    Store().ClearRefusals();
    Store().Refuse("ITask.GetFlags", denied, 1, "Access is denied", "mstask");
    EXPECT_EQ(GetTaskInfo(kOwnTask, "", false), nullptr);
    EXPECT_EQ(TaskLogLines(), std::vector<std::string>{
                                  "GetTaskInfo.EOleException : Access is denied_80070005_mstask"});
    tasktest::ClearTaskLog();

    Store().ClearRefusals();
    Store().Refuse("ITask.GetFlags", denied, 1, "Access is denied", "");
    EXPECT_EQ(SetTaskEnable(kOwnTask, false, ""), 1);
    EXPECT_EQ(TaskLogLines(),
              std::vector<std::string>{"SetTaskEnable.EOleException : Access is denied_80070005_"});
    tasktest::ClearTaskLog();

    Store().ClearRefusals();
    Store().Refuse("ITask.GetIdleWait", denied, 0, "Access is denied", "");
    EXPECT_EQ(GetTaskInfo(kOwnTask, "", false), nullptr);
    EXPECT_EQ(TaskLogLines(),
              std::vector<std::string>{"GetTaskInfo.EOleException : Access is denied_80070005_"});
}

TEST_F(Scheduler1, TracedRefusalsWriteNoLine) {
    Store().Refuse("ITask.SetComment", HResultOf(0x80070057u));
    Store().Refuse("ITask.SetPriority", HResultOf(0x80070057u));
    Store().Refuse("ITask.SetMaxRunTime", HResultOf(0x80004001u));
    Store().Refuse("ITask.SetIdleWait", HResultOf(0x80004001u));
    EXPECT_EQ(CreateOwnTask(), 0);  // only traced
    EXPECT_TRUE(Store().Called("ITaskTrigger.SetTrigger"));
    Store().Refuse("ITaskTrigger.SetTrigger", HResultOf(0x80070057u));
    EXPECT_EQ(CreateOwnTask(), 1);
    Store().ClearRefusals();
    Store().Refuse("IPersistFile.Save", HResultOf(0x80070005u));
    EXPECT_EQ(CreateOwnTask(), 1);
    Store().ClearRefusals();
    Store().Refuse("ITask.QueryInterface", platform::kENoInterface);
    EXPECT_EQ(CreateOwnTask(), 1);
    Store().ClearRefusals();
    Store().Calls.clear();
    Store().Refuse("ITask.SetAccountInformation", HResultOf(0x80070005u));
    EXPECT_EQ(CreateOwnTask(), 1);
    EXPECT_FALSE(Store().Called("ITask.SetCreator"));
    Store().ClearRefusals();
    Store().Refuse("ITaskScheduler.NewWorkItem", HResultOf(0x80070050u));
    EXPECT_EQ(CreateOwnTask(), 1);
    Store().ClearRefusals();
    Store().Refuse("ITask.CreateTrigger", HResultOf(0x8007000Eu));
    EXPECT_EQ(CreateOwnTask(), 1);
    Store().ClearRefusals();
    Store().Refuse("CoCreateInstance", HResultOf(0x80040154u));
    EXPECT_EQ(CreateOwnTask(), 1);
    EXPECT_EQ(IsTaskExists(kOwnTask, ""), 1);
    EXPECT_EQ(DeleteTask(kOwnTask, ""), 1);
    EXPECT_TRUE(TaskLogLines().empty());
}

TEST_F(Scheduler1, DeleteRefusedForAnotherReasonIsNotDone) {
    ASSERT_EQ(CreateOwnTask(), 0);
    Store().Refuse("ITaskScheduler.Delete", HResultOf(0x80070005u));
    EXPECT_EQ(DeleteTask(kOwnTask, ""), 1);
    EXPECT_NE(Store().FindWorkItem(kOwnTask), nullptr);
}

}  // namespace
