// Refusals by the 2.0 platform: each operation's result and its one line in
// "TaskException.log".
#include "tests/tasks/task_fixture.h"

namespace {

using namespace tasks;
using platform::HResultOf;
using tasktest::TAdapterTest;
using tasktest::TaskLogLines;

const char* kName = "VT Leapgate Task ( One Time )";
const platform::HResult kRefused = HResultOf(0x80070005u);

class Scheduler2Failure : public TAdapterTest<true> {
protected:
    int CreateOwnTask() {
        return CreateNewTask_OnLogonEx(kName, "C:\\L.exe", "/leapgate", 10, 0, nullptr);
    }
    void Refuse(const std::string& call, int nth = 0) { Store().Refuse(call, kRefused, nth); }
    std::vector<std::string> Line(const std::string& text) { return {text}; }
};

TEST_F(Scheduler2Failure, ServiceObjectMissingIsOnlyTraced) {
    Store().Refuse("CoCreateInstance", HResultOf(0x80040154u));  // class not registered
    EXPECT_EQ(CreateOwnTask(), 1);
    EXPECT_EQ(IsTaskExists(kName, "\\"), 1);
    EXPECT_EQ(DeleteTask(kName, "\\"), 1);
    EXPECT_EQ(SetTaskEnable(kName, true, "\\"), 1);
    EXPECT_EQ(GetTaskInfo(kName, "\\", false), nullptr);
    EXPECT_TRUE(TaskLogLines().empty());
}

TEST_F(Scheduler2Failure, UpdateTaskFolerConnectRefused) {
    Refuse("ITaskService.Connect");
    EXPECT_EQ(CreateOwnTask(), 1);
    EXPECT_EQ(TaskLogLines(), Line("UpdateTaskFoler.exception : Refused by the test"));
    EXPECT_FALSE(Store().Called("ITaskService.NewTask"));
}

TEST_F(Scheduler2Failure, UpdateTaskFolerCreateFolderRefused) {
    Refuse("ITaskFolder.CreateFolder");
    platform::TPtr<platform::ITaskService> service;
    platform::TPtr<platform::ITaskFolder> folder;
    Adapter().UpdateTaskFoler(service, folder, "\\New", false);
    EXPECT_EQ(service, nullptr);
    EXPECT_EQ(folder, nullptr);
    EXPECT_EQ(TaskLogLines(), Line("UpdateTaskFoler.exception : Refused by the test"));
}

TEST_F(Scheduler2Failure, MissingFolderLookUpIsSwallowed) {
    platform::TPtr<platform::ITaskService> service;
    platform::TPtr<platform::ITaskFolder> folder;
    Adapter().UpdateTaskFoler(service, folder, "\\Nope", true);
    EXPECT_EQ(service, nullptr);  // released with the missing folder
    EXPECT_EQ(folder, nullptr);
    EXPECT_TRUE(TaskLogLines().empty());
}

TEST_F(Scheduler2Failure, CreateTaskDefinitionRefused) {
    Refuse("ITaskService.NewTask");
    EXPECT_EQ(CreateOwnTask(), 1);
    EXPECT_EQ(TaskLogLines(), Line("CreateTaskDefinition.exception : Refused by the test"));
    EXPECT_FALSE(Store().Called("ITaskDefinition.get_Settings"));
}

TEST_F(Scheduler2Failure, RefusedSettingStopsTheLaterOnesButTheTaskIsRegistered) {
    Refuse("ITaskSettings.put_Priority");
    EXPECT_EQ(CreateOwnTask(), 0);
    EXPECT_EQ(TaskLogLines(), Line("SetTaskSettings.exception : Refused by the test"));
    EXPECT_EQ(Calls({"ITaskSettings.put_", "IIdleSettings."}),
              (std::vector<std::string>{
                  "ITaskSettings.put_DisallowStartIfOnBatteries(0)",
                  "ITaskSettings.put_StopIfGoingOnBatteries(0)", "ITaskSettings.put_Enabled(-1)",
                  "ITaskSettings.put_Hidden(0)", "ITaskSettings.put_Priority(5)"}));
    ASSERT_NE(Store().FindTask("\\", kName), nullptr);
    EXPECT_EQ(Store().FindTask("\\", kName)->Definition.Priority, 7);  // the platform's own
}

TEST_F(Scheduler2Failure, RefusedIdleSettingStopsTheRest) {
    Refuse("IIdleSettings.put_StopOnIdleEnd");
    EXPECT_EQ(CreateOwnTask(), 0);
    EXPECT_FALSE(Store().Called("IIdleSettings.put_RestartOnIdle"));
    EXPECT_FALSE(Store().Called("ITaskSettings.put_Compatibility"));
    EXPECT_EQ(TaskLogLines(), Line("SetTaskSettings.exception : Refused by the test"));
}

TEST_F(Scheduler2Failure, SetTaskTriggerRefused) {
    Refuse("ITriggerCollection.Create");
    EXPECT_EQ(CreateOwnTask(), 1);
    EXPECT_EQ(TaskLogLines(), Line("SetTaskTrigger.exception : Refused by the test"));
    EXPECT_FALSE(Store().Called("ITaskDefinition.get_Actions"));
    EXPECT_EQ(Store().FindTask("\\", kName), nullptr);
}

TEST_F(Scheduler2Failure, TypedTriggerRefused) {
    Store().Refuse("ITrigger.QueryInterface", platform::kENoInterface, 0, "No such interface", "");
    EXPECT_EQ(CreateOwnTask(), 1);
    EXPECT_EQ(TaskLogLines(), Line("SetTaskTrigger.exception : No such interface"));
    EXPECT_FALSE(Store().Called("ITrigger.put_Id"));
}

TEST_F(Scheduler2Failure, SetTaskActionRefused) {
    Refuse("IAction.QueryInterface");
    EXPECT_EQ(CreateOwnTask(), 1);
    EXPECT_EQ(TaskLogLines(), Line("SetTaskAction.exception : Refused by the test"));
    EXPECT_FALSE(Store().Called("ITaskDefinition.get_Principal"));
}

TEST_F(Scheduler2Failure, RegisterTaskComErrorCarriesCodeAndSource) {
    Store().Refuse("ITaskFolder.RegisterTaskDefinition", HResultOf(0x80041318u), 0,
                   "The task XML contains a value which is incorrectly formatted", "TaskScheduler");
    EXPECT_EQ(CreateOwnTask(), 1);
    EXPECT_EQ(TaskLogLines(),
              Line("RegisterTask.EOleException : The task XML contains a value which is "
                   "incorrectly formatted_80041318_TaskScheduler"));
}

TEST_F(Scheduler2Failure, RegisterTaskWithEmptySource) {
    Store().Refuse("IPrincipal.put_LogonType", kRefused, 0, "Access is denied", "");
    EXPECT_EQ(CreateOwnTask(), 1);
    EXPECT_EQ(TaskLogLines(), Line("RegisterTask.EOleException : Access is denied_80070005_"));
}

TEST_F(Scheduler2Failure, SuccessWithoutAnObjectIsAnOtherError) {
    // S_FALSE with no object: not a COM error, but the operation cannot go on.
    Store().Refuse("ITaskDefinition.get_Principal", platform::kSFalse);
    EXPECT_EQ(CreateOwnTask(), 1);
    EXPECT_EQ(TaskLogLines(),
              Line("RegisterTask.exception : The task scheduler returned no object"));
    tasktest::ClearTaskLog();
    Store().ClearRefusals();
    Store().Refuse("ITaskService.NewTask", platform::kSFalse);
    EXPECT_EQ(CreateOwnTask(), 1);
    EXPECT_EQ(TaskLogLines(),
              Line("CreateTaskDefinition.exception : The task scheduler returned no object"));
}

TEST_F(Scheduler2Failure, LookUpFailures) {
    ASSERT_EQ(CreateOwnTask(), 0);
    Refuse("ITaskFolder.GetTasks", 1);
    EXPECT_EQ(IsTaskExists(kName, "\\"), 1);
    EXPECT_EQ(TaskLogLines(), Line("GetRegisteredTask.exception : Refused by the test"));
    tasktest::ClearTaskLog();
    Refuse("ITaskFolder.get_Path", 1);
    EXPECT_EQ(GetTaskInfo(kName, "\\", false), nullptr);
    EXPECT_EQ(TaskLogLines(), Line("GetTaskInfo2.exception : Refused by the test"));
    tasktest::ClearTaskLog();
    Refuse("ITaskFolder.GetFolders", 1);
    EXPECT_EQ(GetTaskInfo("Elsewhere", "\\", true), nullptr);
    EXPECT_EQ(TaskLogLines(), Line("GetTaskInfo2.exception : Refused by the test"));
}

TEST_F(Scheduler2Failure, ReadingPartsFailsAlone) {
    ASSERT_EQ(CreateOwnTask(), 0);
    Refuse("IRegisteredTask.get_Definition", 1);
    EXPECT_EQ(IsTaskExists(kName, "\\"), 0);  // the record still comes back
    EXPECT_EQ(TaskLogLines(), Line("GetTaskInfo3.exception : Refused by the test"));

    tasktest::ClearTaskLog();
    Refuse("ITaskDefinition.get_Triggers", 1);
    Refuse("ITaskDefinition.get_Actions", 1);
    Refuse("ITaskDefinition.get_Settings", 1);
    std::unique_ptr<TTaskInfo> info = GetTaskInfo(kName, "\\", false);
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(TaskLogLines(),
              (std::vector<std::string>{"GetTaskTrigger.exception : Refused by the test",
                                        "GetTaskAction.exception : Refused by the test",
                                        "GetTaskSettings.exception : Refused by the test"}));
    EXPECT_TRUE(info->Triggers.empty());
    EXPECT_TRUE(info->Actions.empty());
    EXPECT_EQ(info->LogonType, 3);  // read after the failed parts
}

TEST_F(Scheduler2Failure, SetTaskEnableRefused) {
    ASSERT_EQ(CreateOwnTask(), 0);
    Refuse("IRegisteredTask.put_Enabled");
    EXPECT_EQ(SetTaskEnable(kName, false, "\\"), 1);
    EXPECT_EQ(TaskLogLines(), Line("SetTaskEnable.exception : Refused by the test"));
    EXPECT_EQ(Store().FindTask("\\", kName)->Definition.Enabled, platform::kVariantTrue);
}

TEST_F(Scheduler2Failure, DeleteTaskRefusedIsNotDone) {
    ASSERT_EQ(CreateOwnTask(), 0);
    Refuse("ITaskFolder.DeleteTask");
    EXPECT_EQ(DeleteTask(kName, "\\"), 1);
    EXPECT_EQ(TaskLogLines(),
              Line("DeleteTask.exception : VT Leapgate Task ( One Time )_Refused by the test"));
    EXPECT_NE(Store().FindTask("\\", kName), nullptr);
}

TEST_F(Scheduler2Failure, DeleteOfAMissingTaskIsDone) {
    EXPECT_EQ(DeleteTask(kName, "\\"), 0);
    EXPECT_FALSE(Store().Called("ITaskFolder.DeleteTask"));
    EXPECT_TRUE(TaskLogLines().empty());
}

TEST_F(Scheduler2Failure, SeveralFailuresGiveOneLineEach) {
    Refuse("ITaskService.NewTask");
    EXPECT_EQ(CreateOwnTask(), 1);
    EXPECT_EQ(CreateOwnTask(), 1);
    EXPECT_EQ(TaskLogLines().size(), 2u);
}

}  // namespace
