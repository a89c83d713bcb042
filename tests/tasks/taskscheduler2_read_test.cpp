// Reading tasks back through the 2.0 adapter: round trips, trigger order, look-ups by name and
// folder, and which operations create folders.
#include "tasks/taskdates.h"
#include "tests/tasks/task_fixture.h"

namespace {

using namespace tasks;
using tasktest::TAdapterTest;

class Scheduler2Read : public TAdapterTest<true> {};

TTaskInfo RichRecord() {
    TTaskInfo info;
    info.General.Name = "Rich";
    info.General.Path = "\\Korvo";
    info.General.Author = "Author";
    info.General.Description = "Does things";
    info.General.Hidden = true;
    info.General.RunLevel = 0;
    info.Trigger.TriggerType = 9;
    info.Trigger.Delay = 90;
    info.Trigger.RepeatInterval = 30;
    info.Trigger.RepeatDuration = 120;
    info.Trigger.StopAtDurationEnd = true;
    info.Trigger.ExecutionTimeLimit = 45;
    info.Trigger.StartBoundary = EncodeDateTime(2026, 5, 6, 7, 8, 9);
    info.Trigger.EndBoundary = EncodeDateTime(2027, 5, 6, 7, 8, 9);
    info.Trigger.Enabled = false;
    info.Action.Path = "C:\\x\\run.exe";
    info.Action.Arguments = "-a -b";
    info.Action.WorkingDirectory = "C:\\x";
    info.RunOnlyIfIdle = true;
    info.AllowStartOnBatteries = false;
    info.StopIfGoingOnBatteries = true;
    info.IdleDuration = 5;
    info.IdleWaitTimeout = 20;
    info.StopOnIdleEnd = true;
    info.RestartOnIdle = true;
    info.WakeToRun = true;
    info.AllowDemandStart = false;
    info.StartWhenAvailable = true;
    info.RestartInterval = 10;
    info.RestartCount = 4;
    info.ExecutionTimeLimitDays = 3;
    info.AllowHardTerminate = true;
    info.MultipleInstances = 2;
    info.Priority = 6;
    info.TaskEnabled = false;
    return info;
}

TEST_F(Scheduler2Read, RecordRoundTrip) {
    TTaskInfo written = RichRecord();
    ASSERT_TRUE(Adapter().CreateTask(written, false));
    std::unique_ptr<TTaskInfo> read = GetTaskInfo("Rich", "\\Korvo", false);
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->General.Name, "Rich");
    EXPECT_EQ(read->General.Path, "\\Korvo");
    EXPECT_EQ(read->General.Author, "Author");
    EXPECT_EQ(read->General.Description, "Does things");
    EXPECT_EQ(read->General.UserId, "tester");  // as the platform registered it
    EXPECT_EQ(read->General.Hidden, true);
    EXPECT_EQ(read->General.RunLevel, 0);
    EXPECT_EQ(read->General.Compatibility, 2);
    const TTaskTriger& w = written.Trigger;
    const TTaskTriger& r = read->Trigger;
    EXPECT_EQ(r.TriggerType, 9);
    EXPECT_EQ(r.Delay, w.Delay);
    EXPECT_EQ(r.RepeatInterval, w.RepeatInterval);
    EXPECT_EQ(r.RepeatDuration, w.RepeatDuration);
    EXPECT_EQ(r.StopAtDurationEnd, w.StopAtDurationEnd);
    EXPECT_EQ(r.ExecutionTimeLimit, w.ExecutionTimeLimit);
    EXPECT_EQ(r.Enabled, w.Enabled);
    EXPECT_NEAR(r.StartBoundary, w.StartBoundary, 1e-9);
    EXPECT_NEAR(r.EndBoundary, w.EndBoundary, 1e-9);
    EXPECT_EQ(r.StartBoundaryText, "2026-05-06T07:08:09.000+01:00");
    EXPECT_NEAR(read->RunTime, w.StartBoundary, 1e-9);
    EXPECT_EQ(read->StartHour, 7);  // split from the start boundary
    EXPECT_EQ(read->StartMinute, 8);
    EXPECT_EQ(read->StartSecond, 9);
    ASSERT_EQ(read->Triggers.size(), 1u);
    ASSERT_EQ(read->Actions.size(), 1u);
    EXPECT_EQ(read->Actions[0].Path, "C:\\x\\run.exe");
    EXPECT_EQ(read->Action.Arguments, "-a -b");
    EXPECT_EQ(read->Action.WorkingDirectory, "C:\\x");
    EXPECT_EQ(read->RunOnlyIfIdle, true);
    EXPECT_EQ(read->AllowStartOnBatteries, false);
    EXPECT_EQ(read->StopIfGoingOnBatteries, true);
    EXPECT_EQ(read->IdleDuration, 5);
    EXPECT_EQ(read->IdleWaitTimeout, 20);
    EXPECT_EQ(read->StopOnIdleEnd, true);
    EXPECT_EQ(read->RestartOnIdle, true);
    EXPECT_EQ(read->WakeToRun, true);
    EXPECT_EQ(read->AllowDemandStart, false);
    EXPECT_EQ(read->StartWhenAvailable, true);
    EXPECT_EQ(read->RestartInterval, 10);
    EXPECT_EQ(read->RestartCount, 4);
    EXPECT_EQ(read->ExecutionTimeLimitDays, 3);
    EXPECT_EQ(read->AllowHardTerminate, true);
    EXPECT_EQ(read->MultipleInstances, 2);
    EXPECT_EQ(read->Priority, 6);
    EXPECT_EQ(read->TaskEnabled, false);
    EXPECT_EQ(read->LogonType, 3);
    EXPECT_EQ(IsTaskEnabled("Rich", "\\Korvo"), 1);
}

TEST_F(Scheduler2Read, DefaultRecordRoundTripKeepsItsNoneValues) {
    ASSERT_EQ(CreateNewTask_OnLogonEx("Plain", "C:\\p.exe", "/leapgate", 10, 0, nullptr), 0);
    std::unique_ptr<TTaskInfo> read = GetTaskInfo("Plain", "", false);
    ASSERT_NE(read, nullptr);
    TTaskInfo fresh;
    EXPECT_EQ(read->IdleDuration, fresh.IdleDuration);
    EXPECT_EQ(read->IdleWaitTimeout, fresh.IdleWaitTimeout);
    EXPECT_EQ(read->RestartInterval, fresh.RestartInterval);
    EXPECT_EQ(read->RestartCount, fresh.RestartCount);
    EXPECT_EQ(read->ExecutionTimeLimitDays, 0);
    EXPECT_EQ(read->Trigger.RepeatInterval, -1);
    EXPECT_EQ(read->Trigger.ExecutionTimeLimit, -1);
    EXPECT_EQ(read->Trigger.StartBoundary, 0);
    EXPECT_EQ(read->Trigger.EndBoundary, 0);
    EXPECT_EQ(read->Trigger.Delay, 600);
    EXPECT_EQ(read->RunTime, 0);
    EXPECT_EQ(read->General.Path, "\\");
    EXPECT_EQ(IsTaskEnabled("Plain", "\\"), 0);
}

TEST_F(Scheduler2Read, ThreeTriggersComeBackLastFirstWithTheFirstInTrigger) {
    platform::TStoredTask2 task;
    task.Name = "Three";
    for (auto [type, delay, start] :
         {std::tuple{9, "PT1M0S", ""}, std::tuple{2, "", "2026-01-01T05:00:00"},
          std::tuple{8, "PT30S", ""}}) {
        platform::TStoredTrigger2 t;
        t.Type = type;
        t.Delay = delay;
        t.StartBoundary = start;
        task.Definition.Triggers.push_back(t);
    }
    Store().Folders[0].Tasks.push_back(task);
    std::unique_ptr<TTaskInfo> read = GetTaskInfo("Three", "\\", false);
    ASSERT_NE(read, nullptr);
    ASSERT_EQ(read->Triggers.size(), 3u);
    EXPECT_EQ(read->Triggers[0].TriggerType, 8);
    EXPECT_EQ(read->Triggers[1].TriggerType, 2);
    EXPECT_EQ(read->Triggers[2].TriggerType, 9);
    EXPECT_EQ(read->Trigger.TriggerType, 9);
    EXPECT_EQ(read->Trigger.Delay, 60);
    // No value of a later trigger leaks into an earlier one.
    EXPECT_EQ(read->Trigger.StartBoundary, 0);
    EXPECT_EQ(read->Triggers[1].Delay, -1);
    EXPECT_EQ(read->Triggers[0].Delay, 30);
    EXPECT_DOUBLE_EQ(read->RunTime, EncodeDateTime(2026, 1, 1, 5));
}

TEST_F(Scheduler2Read, BadStartBoundaryFailsTheTriggerRead) {
    platform::TStoredTask2 task;
    task.Name = "Bad";
    platform::TStoredTrigger2 t;
    t.Type = 1;
    t.StartBoundary = "tomorrow";
    task.Definition.Triggers.push_back(t);
    Store().Folders[0].Tasks.push_back(task);
    std::unique_ptr<TTaskInfo> read = GetTaskInfo("Bad", "\\", false);
    ASSERT_NE(read, nullptr);
    EXPECT_TRUE(read->Triggers.empty());
    EXPECT_EQ(tasktest::TaskLogLines(),
              std::vector<std::string>{
                  "GetTaskTrigger.exception : 'tomorrow' is not a valid date and time"});
}

TEST_F(Scheduler2Read, NamesAreFoundWithoutCaseButEnabledOnlyWithIt) {
    ASSERT_EQ(CreateNewTask_OnLogonEx("Leapgate Task", "C:\\p.exe", "", 0, 0, nullptr), 0);
    EXPECT_EQ(IsTaskExists("LEAPGATE task", "\\"), 0);
    std::unique_ptr<TTaskInfo> read = GetTaskInfo("leapgate task", "\\", false);
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->General.Name, "Leapgate Task");  // the registered spelling
    EXPECT_EQ(SetTaskEnable("leapgate task", false, "\\"), 1);
    EXPECT_EQ(IsTaskEnabled("Leapgate Task", "\\"), 0);
    EXPECT_EQ(SetTaskEnable("Leapgate Task", false, "\\"), 0);
    EXPECT_EQ(IsTaskEnabled("Leapgate Task", "\\"), 1);
    EXPECT_EQ(SetTaskEnable("Leapgate Task", true, "\\"), 0);
    EXPECT_EQ(IsTaskEnabled("Leapgate Task", "\\"), 0);
    EXPECT_EQ(IsTaskEnabled("Missing", "\\"), 1);
    EXPECT_TRUE(tasktest::TaskLogLines().empty());
}

TEST_F(Scheduler2Read, LookUpsNeverCreateFoldersButChangesDo) {
    EXPECT_EQ(IsTaskExists("T", "\\Nope"), 1);
    EXPECT_EQ(GetTaskInfo("T", "Nope", true), nullptr);
    EXPECT_EQ(IsTaskEnabled("T", "\\Nope"), 1);
    EXPECT_FALSE(Store().Called("ITaskFolder.CreateFolder"));
    EXPECT_EQ(Store().FindFolder("\\Nope"), nullptr);

    EXPECT_EQ(SetTaskEnable("T", true, "Made1"), 1);  // no such task, but the folder is made
    EXPECT_NE(Store().FindFolder("\\Made1"), nullptr);
    EXPECT_EQ(DeleteTask("T", "\\Made2"), 0);
    EXPECT_NE(Store().FindFolder("\\Made2"), nullptr);
    EXPECT_EQ(Store().CountOf("ITaskFolder.CreateFolder"), 2);
}

TEST_F(Scheduler2Read, RecursiveSearchFindsTasksInSubfolders) {
    TTaskInfo info;
    info.General.Name = "Deep";
    info.General.Path = "\\A\\B";
    info.Action.Path = "C:\\d.exe";
    ASSERT_TRUE(Adapter().CreateTask(info, true));
    EXPECT_EQ(IsTaskExists("Deep", "\\"), 1);
    EXPECT_EQ(GetTaskInfo("Deep", "\\", false), nullptr);
    std::unique_ptr<TTaskInfo> found = GetTaskInfo("Deep", "\\", true);
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->General.Path, "\\A\\B");
    EXPECT_EQ(Adapter().IsTaskExists("deep", "\\A", true), true);
}

TEST_F(Scheduler2Read, ListCollectsEveryMatchInTheTree) {
    for (const char* folder : {"\\", "\\One", "\\One\\Two", "\\Three"}) {
        TTaskInfo info;
        info.General.Name = "Same";
        info.General.Path = folder;
        info.Action.Path = "C:\\s.exe";
        ASSERT_TRUE(Adapter().CreateTask(info, true)) << folder;
    }
    platform::TPtr<platform::ITaskService> service;
    platform::TPtr<platform::ITaskFolder> root;
    Adapter().UpdateTaskFoler(service, root, "\\", true);
    ASSERT_NE(root, nullptr);
    TTaskInfoList list;
    std::shared_ptr<TTaskInfo> first = Adapter().GetTaskInfo2("same", root, &list, false);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->General.Path, "\\");
    ASSERT_EQ(list.size(), 4u);
    std::vector<std::string> paths;
    for (auto& item : list) paths.push_back(item->General.Path);
    EXPECT_EQ(paths, (std::vector<std::string>{"\\", "\\One", "\\One\\Two", "\\Three"}));
}

TEST_F(Scheduler2Read, DeleteRemovesOnlyTheNamedTask) {
    ASSERT_EQ(CreateNewTask_OnLogonEx("Keep", "C:\\k.exe", "", 0, 0, nullptr), 0);
    ASSERT_EQ(CreateNewTask_OnLogonEx("Drop", "C:\\d.exe", "", 0, 0, nullptr), 0);
    EXPECT_EQ(DeleteTask("drop", "\\"), 0);
    EXPECT_EQ(IsTaskExists("Drop", "\\"), 1);
    EXPECT_EQ(IsTaskExists("Keep", "\\"), 0);
    EXPECT_EQ(Calls({"ITaskFolder.DeleteTask"}),
              std::vector<std::string>{"ITaskFolder.DeleteTask(\"drop\", 0)"});
}

}  // namespace
