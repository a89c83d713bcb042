// The adapters over the real COM objects (Windows, and Wine in our test runs). Wine implements
// folders and tasks with time triggers; what it lacks (a logon trigger answers E_NOTIMPL, the
// 1.0 objects may be missing) is probed first and the case is skipped with the reason, never
// passed. On Linux, where the stand-in answers, these are skipped.
#include <algorithm>
#include <cmath>
#include <random>

#include "platform/taskscheduler.h"
#include "tasks/taskdates.h"
#include "tasks/taskerrors.h"
#include "tests/support/fakes.h"
#include "tests/support/task_log_helper.h"
#include "tests/tasks/task_fixture.h"

namespace {

using namespace tasks;
using platform::HResult;
using platform::TPtr;

std::string Hex(HResult hr) {
    return Hex8(hr);
}

class RealCom : public testing::Test {
protected:
    void SetUp() override {
        if (platform::RealTaskSchedulerPlatform().BackendName() != "com")
            GTEST_SKIP() << "the COM objects are the Windows backend";
        platform::SetServiceControl(&FServices);  // the service itself is checked on its own
        testsupport::ClearTaskLog();
        std::random_device random;
        FFolder = "\\LeapgateTest" + std::to_string(random() % 1000000);
    }
    void TearDown() override {
        if (TaskAdapter2()) {
            // Remove what a failed case may have left, then the folder.
            platform::TPtr<platform::ITaskService> service;
            platform::TPtr<platform::ITaskFolder> root;
            TaskAdapter2()->UpdateTaskFoler(service, root, "\\", true);
            if (root) root->DeleteFolder(FFolder.substr(1), 0);
        }
        FreeTaskAdapter();
        platform::SetServiceControl(nullptr);
        testsupport::ClearTaskLog();
    }
    // Creates a trigger of the type on a new definition, straight from the platform, and asks
    // for its repetition pattern, which the adapter always sets: what the platform lacks.
    HResult ProbeTrigger(int32_t type) {
        TPtr<platform::ITaskService> service;
        HResult hr = platform::TaskSchedulerPlatform().CoCreateInstance(service);
        if (platform::Failed(hr)) return hr;
        hr = service->Connect({}, {}, {}, {});
        if (platform::Failed(hr)) return hr;
        TPtr<platform::ITaskDefinition> definition;
        if (platform::Failed(hr = service->NewTask(0, definition))) return hr;
        TPtr<platform::ITriggerCollection> triggers;
        if (platform::Failed(hr = definition->get_Triggers(triggers))) return hr;
        TPtr<platform::ITrigger> trigger;
        if (platform::Failed(hr = triggers->Create(type, trigger))) return hr;
        TPtr<platform::IRepetitionPattern> repetition;
        return trigger->get_Repetition(repetition);
    }

    HResult ProbeRunLevel() {
        TPtr<platform::ITaskService> service;
        HResult hr = platform::TaskSchedulerPlatform().CoCreateInstance(service);
        if (platform::Failed(hr) || platform::Failed(hr = service->Connect({}, {}, {}, {})))
            return hr;
        TPtr<platform::ITaskDefinition> definition;
        if (platform::Failed(hr = service->NewTask(0, definition))) return hr;
        TPtr<platform::IPrincipal> principal;
        if (platform::Failed(hr = definition->get_Principal(principal))) return hr;
        return principal->put_RunLevel(1);
    }

    testsupport::TTaskLogLock FLock;
    tasktest::TFakeServiceControl FServices;
    std::string FFolder;
};

TEST_F(RealCom, FoldersAreCreatedOnlyWhenAsked) {
    UseTaskScheduler2 = true;
    CreateTaskAdapter();
    TPtr<platform::ITaskService> service;
    TPtr<platform::ITaskFolder> folder;
    TaskAdapter2()->UpdateTaskFoler(service, folder, FFolder, true);
    EXPECT_EQ(folder, nullptr);
    TaskAdapter2()->UpdateTaskFoler(service, folder, FFolder.substr(1), false);
    ASSERT_NE(folder, nullptr) << testing::PrintToString(testsupport::TaskLogLines());
    std::string path;
    ASSERT_EQ(folder->get_Path(path), 0);
    EXPECT_EQ(path, FFolder);
    folder.reset();
    TaskAdapter2()->UpdateTaskFoler(service, folder, FFolder, true);
    EXPECT_NE(folder, nullptr);
    EXPECT_TRUE(testsupport::TaskLogLines().empty());
}

// Registers, reads back and deletes a task with a trigger of the given time kind (1 one time,
// 2 daily), or skips when the platform has no such trigger.
void TimeTriggerRoundTrip(const std::string& folder, int32_t type, HResult probe) {
    if (probe == platform::kENotImpl)
        GTEST_SKIP() << "trigger type " << type
                     << " (its repetition pattern, or the principal's run level) answers "
                        "E_NOTIMPL here";
    ASSERT_EQ(probe, 0) << Hex(probe);
    TTaskInfo info;
    info.General.Name = "Leapgate Once";
    info.General.Path = folder;
    info.General.Description = "test task";
    info.Action.Path = "C:\\windows\\system32\\notepad.exe";
    info.Action.Arguments = "/leapgate";
    info.Trigger.TriggerType = type;
    info.RunTime = std::floor(NowLocal()) + 30 + 0.25;  // a month ahead, 06:00
    info.StartHour = 6;
    info.DaysInterval = 2;
    bool created = TaskAdapter2()->CreateTask(info, false);
    auto lines = testsupport::TaskLogLines();
    ASSERT_TRUE(created) << testing::PrintToString(lines);

    EXPECT_EQ(IsTaskExists("leapgate once", folder), 0);
    std::unique_ptr<TTaskInfo> read = GetTaskInfo("Leapgate Once", folder, false);
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->General.Name, "Leapgate Once");
    EXPECT_EQ(read->General.Path, folder);
    EXPECT_EQ(read->General.Description, "test task");
    EXPECT_EQ(read->Action.Path, info.Action.Path);
    EXPECT_EQ(read->Action.Arguments, "/leapgate");
    ASSERT_EQ(read->Triggers.size(), 1u);
    EXPECT_EQ(read->Trigger.TriggerType, type);
    if (type == 1) {
        EXPECT_NEAR(read->Trigger.StartBoundary, info.RunTime, 1.5 / 86400);
    }
    if (type == 2) {
        EXPECT_EQ(read->StartHour, 6);
        EXPECT_EQ(read->DaysInterval, 2);
    }
    EXPECT_EQ(IsTaskEnabled("Leapgate Once", folder), 0);

    EXPECT_EQ(DeleteTask("Leapgate Once", folder), 0);
    EXPECT_EQ(IsTaskExists("Leapgate Once", folder), 1);
    EXPECT_EQ(DeleteTask("Leapgate Once", folder), 0);  // missing: done
}

TEST_F(RealCom, TaskWithoutTriggerIsRegisteredReadAndDeleted) {
    UseTaskScheduler2 = true;
    CreateTaskAdapter();
    HResult probe = ProbeRunLevel();
    if (probe == platform::kENotImpl)
        GTEST_SKIP() << "IPrincipal.put_RunLevel answers E_NOTIMPL here, so nothing registers";
    ASSERT_EQ(probe, 0) << Hex(probe);
    TTaskInfo info;
    info.General.Name = "Leapgate Plain";
    info.General.Path = FFolder;
    info.General.Description = "no trigger";
    info.Action.Path = "C:\\windows\\notepad.exe";
    info.Action.Arguments = "/leapgate";
    ASSERT_TRUE(TaskAdapter2()->CreateTask(info, true))
        << testing::PrintToString(testsupport::TaskLogLines());
    EXPECT_EQ(IsTaskExists("LEAPGATE PLAIN", FFolder), 0);
    std::unique_ptr<TTaskInfo> read = GetTaskInfo("Leapgate Plain", FFolder, false);
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->General.Name, "Leapgate Plain");
    EXPECT_EQ(read->General.Path, FFolder);
    EXPECT_EQ(read->General.Description, "no trigger");
    EXPECT_EQ(read->Action.Path, info.Action.Path);
    EXPECT_EQ(read->Action.Arguments, "/leapgate");
    EXPECT_TRUE(read->Triggers.empty());
    // Found from the root only when searching below it.
    EXPECT_EQ(GetTaskInfo("Leapgate Plain", "\\", false), nullptr);
    std::unique_ptr<TTaskInfo> deep = GetTaskInfo("Leapgate Plain", "\\", true);
    ASSERT_NE(deep, nullptr);
    EXPECT_EQ(deep->General.Path, FFolder);
    EXPECT_EQ(SetTaskEnable("leapgate plain", false, FFolder), 1);  // exact name only
    EXPECT_EQ(DeleteTask("Leapgate Plain", FFolder), 0);
    EXPECT_EQ(IsTaskExists("Leapgate Plain", FFolder), 1);
    EXPECT_EQ(DeleteTask("Leapgate Plain", FFolder), 0);
}

TEST_F(RealCom, OneTimeTriggerTask) {
    UseTaskScheduler2 = true;
    CreateTaskAdapter();
    HResult runLevel = ProbeRunLevel();
    TimeTriggerRoundTrip(FFolder, 1, platform::Failed(runLevel) ? runLevel : ProbeTrigger(1));
}

TEST_F(RealCom, DailyTriggerTask) {
    UseTaskScheduler2 = true;
    CreateTaskAdapter();
    HResult runLevel = ProbeRunLevel();
    TimeTriggerRoundTrip(FFolder, 2, platform::Failed(runLevel) ? runLevel : ProbeTrigger(2));
}

TEST_F(RealCom, OwnLogonTask) {
    UseTaskScheduler2 = true;
    CreateTaskAdapter();
    HResult probe = ProbeRunLevel();
    if (platform::Succeeded(probe)) probe = ProbeTrigger(9);
    if (probe == platform::kENotImpl)
        GTEST_SKIP() << "logon triggers (or the run level) answer E_NOTIMPL here (" << Hex(probe)
                     << ")";
    ASSERT_EQ(probe, 0) << Hex(probe);
    const std::string name = "Leapgate Logon " + FFolder.substr(1);
    TTaskInfo info;
    info.General.Path = FFolder;
    ASSERT_EQ(CreateNewTask_OnLogonEx(name.c_str(), "C:\\windows\\notepad.exe", "/leapgate", 10, 0,
                                      &info),
              0)
        << testing::PrintToString(testsupport::TaskLogLines());
    std::unique_ptr<TTaskInfo> read = GetTaskInfo(name, FFolder, false);
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->Trigger.TriggerType, 9);
    EXPECT_EQ(read->Trigger.Delay, 600);
    EXPECT_EQ(DeleteTask(name.c_str(), FFolder), 0);
}

// Wine registers a daily task given through the interfaces directly (our wrappers, not our
// adapter, whose fixed call order asks for what Wine lacks); the adapter finds, reads and
// deletes it.
TEST_F(RealCom, PlatformRegisteredTaskIsFoundReadAndDeletedByUs) {
    UseTaskScheduler2 = true;
    CreateTaskAdapter();
    TPtr<platform::ITaskService> service;
    TPtr<platform::ITaskFolder> folder;
    TaskAdapter2()->UpdateTaskFoler(service, folder, FFolder, false);
    ASSERT_NE(folder, nullptr);
    TPtr<platform::ITaskDefinition> definition;
    ASSERT_EQ(service->NewTask(0, definition), 0);
    TPtr<platform::IRegistrationInfo> registration;
    ASSERT_EQ(definition->get_RegistrationInfo(registration), 0);
    ASSERT_EQ(registration->put_Description("made by the platform"), 0);
    TPtr<platform::ITriggerCollection> triggers;
    ASSERT_EQ(definition->get_Triggers(triggers), 0);
    TPtr<platform::ITrigger> trigger;
    ASSERT_EQ(triggers->Create(2, trigger), 0);
    TPtr<platform::IDailyTrigger> daily;
    ASSERT_EQ(trigger->QueryInterface(daily), 0);
    ASSERT_EQ(daily->put_StartBoundary("2030-01-02T06:00:00"), 0);
    ASSERT_EQ(daily->put_DaysInterval(2), 0);
    TPtr<platform::IActionCollection> actions;
    ASSERT_EQ(definition->get_Actions(actions), 0);
    TPtr<platform::IAction> action;
    ASSERT_EQ(actions->Create(0, action), 0);
    TPtr<platform::IExecAction> exec;
    ASSERT_EQ(action->QueryInterface(exec), 0);
    ASSERT_EQ(exec->put_Path("C:\\windows\\notepad.exe"), 0);
    ASSERT_EQ(exec->put_Arguments("/leapgate"), 0);
    TPtr<platform::IRegisteredTask> registered;
    HResult hr = folder->RegisterTaskDefinition(
        "Leapgate Daily", definition, 6, platform::TVariant::Null(), platform::TVariant::Null(), 3,
        platform::TVariant::Str(""), registered);
    ASSERT_EQ(hr, 0) << Hex(hr);
    ASSERT_NE(registered, nullptr);
    std::string name;
    ASSERT_EQ(registered->get_Name(name), 0);
    EXPECT_EQ(name, "Leapgate Daily");
    // The adapter looks tasks up by walking the folder's collection.
    TPtr<platform::IRegisteredTaskCollection> tasks;
    ASSERT_EQ(folder->GetTasks(1, tasks), 0);
    int32_t count = 0;
    hr = tasks->get_Count(count);
    if (hr == platform::kENotImpl) {
        EXPECT_EQ(folder->DeleteTask("Leapgate Daily", 0), 0);
        GTEST_SKIP() << "registered-task collections do not count here (E_NOTIMPL), so the "
                        "adapter cannot find the task it would read or delete";
    }
    ASSERT_EQ(hr, 0) << Hex(hr);
    folder.reset();
    service.reset();

    EXPECT_EQ(IsTaskExists("leapgate daily", FFolder), 0)
        << testing::PrintToString(testsupport::TaskLogLines());
    std::unique_ptr<TTaskInfo> read = GetTaskInfo("Leapgate Daily", FFolder, false);
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->General.Name, "Leapgate Daily");
    EXPECT_EQ(read->General.Path, FFolder);
    EXPECT_EQ(read->General.Description, "made by the platform");
    EXPECT_EQ(read->Action.Path, "C:\\windows\\notepad.exe");
    EXPECT_EQ(read->Action.Arguments, "/leapgate");
    EXPECT_TRUE(read->TaskEnabled);
    if (ProbeTrigger(2) == 0) {
        ASSERT_EQ(read->Triggers.size(), 1u);
        EXPECT_EQ(read->Trigger.TriggerType, 2);
        EXPECT_EQ(read->DaysInterval, 2);
        EXPECT_EQ(read->StartHour, 6);
    } else {
        // The trigger read stops at the missing repetition pattern, and says so.
        EXPECT_TRUE(read->Triggers.empty());
        auto lines = testsupport::TaskLogLines();
        EXPECT_NE(
            std::find(lines.begin(), lines.end(), "GetTaskTrigger.exception : Not implemented"),
            lines.end())
            << testing::PrintToString(lines);
    }
    EXPECT_EQ(DeleteTask("Leapgate Daily", FFolder), 0);
    EXPECT_EQ(IsTaskExists("Leapgate Daily", FFolder), 1);
    EXPECT_EQ(DeleteTask("Leapgate Daily", FFolder), 0);
}

bool TaskIsExistsPlain(const TPtr<platform::ITaskScheduler>& scheduler, const std::string& name) {
    TPtr<platform::ITask> task;
    return platform::Succeeded(scheduler->Activate(name, task));
}

TEST_F(RealCom, Scheduler10WorkItem) {
    UseTaskScheduler2 = false;
    CreateTaskAdapter();
    TPtr<platform::ITaskScheduler> scheduler = TaskAdapter1()->IniTaskScheduler();
    if (!scheduler) GTEST_SKIP() << "the 1.0 scheduler object cannot be created here";
    const std::string name = "Leapgate10 " + FFolder.substr(1);
    TPtr<platform::ITask> probe;
    HResult hr = scheduler->NewWorkItem(name, probe);
    if (hr == platform::kENotImpl) GTEST_SKIP() << "NewWorkItem answers E_NOTIMPL here";
    ASSERT_EQ(hr, 0) << Hex(hr);
    probe.reset();

    TTaskInfo info;
    info.General.Name = name;
    info.Action.Path = "C:\\windows\\notepad.exe";
    info.Action.Arguments = "/leapgate";
    info.TriggerTypeV1 = 0;  // once
    info.RunTime = EncodeDateTime(2030, 6, 7, 8, 9);
    bool created = TaskAdapter1()->CreateNewTask(info, false);
    if (!created) {
        // Say which step Wine refused rather than pass or fail blindly.
        TPtr<platform::ITask> task;
        HResult active = scheduler->Activate(name, task);
        GTEST_SKIP() << "the work item could not be saved here (Activate " << Hex(active)
                     << "); log: " << testing::PrintToString(testsupport::TaskLogLines());
    }
    EXPECT_EQ(IsTaskExists(name.c_str(), ""), 0);
    std::unique_ptr<TTaskInfo> read = GetTaskInfo(name, "", false);
    if (!read) {
        TPtr<platform::ITask> task;
        HResult withExtension = scheduler->Activate(name + ".job", task);
        if (platform::Failed(withExtension) && TaskIsExistsPlain(scheduler, name)) {
            // What does work here: it exists, and it is deleted.
            EXPECT_EQ(DeleteTask(name.c_str(), ""), 0);
            EXPECT_EQ(IsTaskExists(name.c_str(), ""), 1);
        }
        if (platform::Failed(withExtension) && !TaskIsExistsPlain(scheduler, name))
            GTEST_SKIP() << "Activate does not take the name with \".job\" here ("
                         << Hex(withExtension) << ")";
        FAIL() << testing::PrintToString(testsupport::TaskLogLines());
    }
    EXPECT_EQ(read->Action.Path, info.Action.Path);
    EXPECT_EQ(read->Action.Arguments, "/leapgate");
    EXPECT_EQ(read->TriggerTypeV1, 0);
    EXPECT_EQ(read->Trigger.TriggerType, 1);
    EXPECT_DOUBLE_EQ(read->RunTime, info.RunTime);
    EXPECT_EQ(DeleteTask(name.c_str(), ""), 0);
    EXPECT_EQ(IsTaskExists(name.c_str(), ""), 1);
}

TEST_F(RealCom, SchedulerServiceCheck) {
    platform::SetServiceControl(nullptr);  // the real service control manager
    bool running = IsTaskServiceRunning();
    bool checked = CheckTaskServices();
    if (!checked)
        GTEST_SKIP() << "the task scheduler service cannot be started here (running before: "
                     << running << ")";
    EXPECT_TRUE(IsTaskServiceRunning());
}

}  // namespace
