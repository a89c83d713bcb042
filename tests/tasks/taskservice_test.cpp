// The task service functions: choice of generation, the scheduler service check, and the
// rules every function keeps whatever the adapter.
#include <algorithm>

#include "tests/tasks/task_fixture.h"

namespace {

using namespace tasks;
using tasktest::TTaskTest;

class TaskService : public TTaskTest {
protected:
    void UseGeneration(bool v2) {
        UseTaskScheduler2 = v2;
        CreateTaskAdapter();
        Store().Calls.clear();
    }
    // Every task function on task "T" in the root answers "not done".
    void ExpectEveryFunctionNotDone() {
        EXPECT_EQ(IsTaskExists("T", "\\"), 1);
        EXPECT_EQ(IsTaskEnabled("T", "\\"), 1);
        EXPECT_EQ(GetTaskInfo("T", "\\", false), nullptr);
        EXPECT_EQ(CreateNewTask_OnLogonEx("T", "C:\\a.exe", "", 0, 0, nullptr), 1);
        EXPECT_EQ(SetTaskEnable("T", true, "\\"), 1);
        EXPECT_EQ(DeleteTask("T", "\\"), 1);
    }
    std::vector<std::string> TaskPlatformCalls() {
        // Everything but the COM library set-up of the adapter's construction.
        std::vector<std::string> out;
        for (auto& c : Store().Calls)
            if (c.rfind("CoInitialize", 0) != 0) out.push_back(c);
        return out;
    }
};

TEST_F(TaskService, GenerationFromTheOsVersion) {
    auto v2 = [this](uint32_t platform, uint32_t major, uint32_t minor) {
        Info.Version = {platform, major, minor, 0};
        return IsTaskScheduler2Available();
    };
    EXPECT_TRUE(v2(2, 6, 0));
    EXPECT_TRUE(v2(2, 6, 1));
    EXPECT_TRUE(v2(2, 6, 2));
    EXPECT_TRUE(v2(2, 6, 4));
    EXPECT_TRUE(v2(2, 10, 0));
    EXPECT_FALSE(v2(2, 6, 5));
    EXPECT_FALSE(v2(2, 5, 1));
    EXPECT_FALSE(v2(2, 5, 2));
    EXPECT_FALSE(v2(2, 7, 0));
    EXPECT_FALSE(v2(2, 11, 0));
    EXPECT_FALSE(v2(1, 6, 0));  // 9x family
    EXPECT_FALSE(v2(1, 10, 0));
}

TEST_F(TaskService, AdapterOfTheChosenGenerationLivesUntilFreed) {
    UseGeneration(true);
    EXPECT_NE(TaskAdapter2(), nullptr);
    EXPECT_EQ(TaskAdapter1(), nullptr);
    UseGeneration(false);
    EXPECT_EQ(TaskAdapter2(), nullptr);
    EXPECT_NE(TaskAdapter1(), nullptr);
    FreeTaskAdapter();
    EXPECT_EQ(TaskAdapter1(), nullptr);
    EXPECT_TRUE(Store().Called("CoUninitialize"));
}

TEST_F(TaskService, ComLibraryIsReleasedOnlyWhenWeInitialisedIt) {
    Store().Refuse("CoInitializeEx", platform::HResultOf(0x80010106u));  // changed mode
    UseTaskScheduler2 = true;
    CreateTaskAdapter();
    EXPECT_TRUE(Store().Called("CoInitializeSecurity"));  // construction goes on
    FreeTaskAdapter();
    EXPECT_FALSE(Store().Called("CoUninitialize"));
}

TEST_F(TaskService, WithoutAnAdapterEverythingIsNotDone) {
    FreeTaskAdapter();
    for (bool v2 : {true, false}) {
        UseTaskScheduler2 = v2;
        SCOPED_TRACE(v2);
        ExpectEveryFunctionNotDone();
    }
    EXPECT_TRUE(Store().Calls.empty());
}

TEST_F(TaskService, EmptyOrMissingNamesDoNotReachThePlatform) {
    for (bool v2 : {true, false}) {
        UseGeneration(v2);
        EXPECT_EQ(IsTaskExists("", "\\"), 1);
        EXPECT_EQ(IsTaskExists(nullptr, "\\"), 1);
        EXPECT_EQ(DeleteTask("", "\\"), 1);
        EXPECT_EQ(DeleteTask(nullptr, "\\"), 1);
        EXPECT_EQ(CreateNewTask_OnLogonEx("", "C:\\a.exe", "", 0, 0, nullptr), 1);
        EXPECT_EQ(CreateNewTask_OnLogonEx(nullptr, "C:\\a.exe", "", 0, 0, nullptr), 1);
        EXPECT_TRUE(TaskPlatformCalls().empty()) << v2;
        // Enabling asks the platform anyway.
        EXPECT_EQ(SetTaskEnable("", true, "\\"), 1);
        EXPECT_FALSE(TaskPlatformCalls().empty()) << v2;
    }
}

TEST_F(TaskService, RunningServiceIsOnlyQueried) {
    EXPECT_TRUE(CheckTaskServices());
    EXPECT_EQ(Services.Calls, (std::vector<std::string>{"OpenSCManager:1", "OpenService:Schedule:4",
                                                        "QueryServiceStatus", "CloseServiceHandle",
                                                        "CloseServiceHandle"}));
    EXPECT_EQ(Services.OpenHandles, 0);
}

TEST_F(TaskService, StoppedServiceIsSetToAutomaticAndStarted) {
    Services.State = platform::kServiceStopped;
    UseGeneration(true);
    EXPECT_EQ(CreateNewTask_OnLogonEx("T", "C:\\a.exe", "", 0, 0, nullptr), 0);
    EXPECT_EQ(Services.State, platform::kServiceRunning);
    EXPECT_EQ(Services.StartType, 2u);
    std::vector<std::string> expected = {
        // Is it running?
        "OpenSCManager:1", "OpenService:Schedule:4", "QueryServiceStatus", "CloseServiceHandle",
        "CloseServiceHandle",
        // Automatic start, leaving the service type and error control alone.
        "OpenSCManager:983103", "LockServiceDatabase", "OpenService:Schedule:2",
        "ChangeServiceConfig:4294967295:2:4294967295",
        "ChangeServiceDescription:", "CloseServiceHandle", "UnlockServiceDatabase",
        "CloseServiceHandle",
        // Start it.
        "OpenSCManager:1", "OpenService:Schedule:4", "QueryServiceStatus", "CloseServiceHandle",
        "CloseServiceHandle", "OpenSCManager:1", "OpenService:Schedule:16", "StartService",
        "CloseServiceHandle", "CloseServiceHandle"};
    EXPECT_EQ(Services.Calls, expected);
    EXPECT_EQ(Services.OpenHandles, 0);
    Services.Calls.clear();
    EXPECT_EQ(IsTaskExists("T", "\\"), 0);  // running now: nothing is changed again
    EXPECT_EQ(Services.Calls.size(), 5u);
}

TEST_F(TaskService, ServiceThatCannotStartStopsEveryFunction) {
    Services.State = platform::kServiceStopped;
    Services.StartWorks = false;
    UseGeneration(true);
    EXPECT_FALSE(CheckTaskServices());
    ExpectEveryFunctionNotDone();
    EXPECT_TRUE(TaskPlatformCalls().empty());
}

TEST_F(TaskService, StartTypeChangeFailuresAreIgnored) {
    Services.State = platform::kServiceStopped;
    Services.Failures["ChangeServiceConfig"] = 5;
    Services.Failures["LockServiceDatabase"] = 5;
    EXPECT_TRUE(CheckTaskServices());
    EXPECT_EQ(Services.State, platform::kServiceRunning);
    EXPECT_FALSE(ChangeServiceStartType("Schedule", 2));
}

TEST_F(TaskService, ChangeServiceStartTypeRules) {
    EXPECT_TRUE(ChangeServiceStartType("Schedule", 3));
    EXPECT_EQ(Services.StartType, 3u);
    EXPECT_TRUE(ChangeServiceStartType("Schedule", 9));  // unknown: boot start
    EXPECT_EQ(Services.StartType, 0u);
    // A database locked by someone else is asked about and the change goes on.
    Services.Failures["LockServiceDatabase"] = platform::kErrorServiceDatabaseLocked;
    Services.Calls.clear();
    EXPECT_TRUE(ChangeServiceStartType("Schedule", 2, "Runs tasks"));
    EXPECT_EQ(Services.StartType, 2u);
    EXPECT_EQ(Services.Calls[2], "QueryServiceLockStatus");
    EXPECT_EQ(std::count(Services.Calls.begin(), Services.Calls.end(), "UnlockServiceDatabase"), 0);
    EXPECT_NE(std::find(Services.Calls.begin(), Services.Calls.end(),
                        "ChangeServiceDescription:Runs tasks"),
              Services.Calls.end());
    Services.Failures["QueryServiceLockStatus"] = 5;
    EXPECT_FALSE(ChangeServiceStartType("Schedule", 2));
    Services.Failures.clear();
    Services.Failures["OpenSCManager"] = 5;
    EXPECT_FALSE(ChangeServiceStartType("Schedule", 2));
}

TEST_F(TaskService, ControlManagerUnreachable) {
    // Refused with an error: not running, and it cannot be started.
    Services.Failures["OpenSCManager"] = 5;
    EXPECT_FALSE(IsTaskServiceRunning());
    EXPECT_FALSE(CheckTaskServices());
    // Refused without an error code: taken as running.
    Services.Failures["OpenSCManager"] = 0;
    EXPECT_TRUE(IsTaskServiceRunning());
    EXPECT_TRUE(StartTaskService());
}

TEST_F(TaskService, ServiceMissingFromTheManager) {
    Services.Failures["OpenService"] = 1060;
    EXPECT_FALSE(IsTaskServiceRunning());
    EXPECT_FALSE(StartTaskService());
    EXPECT_EQ(Services.OpenHandles, 0);
}

TEST_F(TaskService, NineXFamilyUsesTheAgentWindow) {
    Info.Version = {1, 4, 10, 0};
    Services.AgentWindow = true;
    EXPECT_TRUE(IsTaskServiceRunning());
    EXPECT_EQ(Services.Calls,
              std::vector<std::string>{"FindWindow:SAGEWINDOWCLASS:SYSTEM AGENT COM WINDOW"});
    Services.AgentWindow = false;
    Services.Calls.clear();
    EXPECT_TRUE(StartTaskService());
    EXPECT_EQ(Services.Calls.back(), "CreateProcess:C:\\Windows\\mstask.exe:528");
    Services.Failures["SearchPath"] = 2;
    EXPECT_FALSE(StartTaskService());
}

TEST_F(TaskService, IsTaskExistsIgnoresTheFolderOn10) {
    UseGeneration(false);
    ASSERT_EQ(CreateNewTask_OnLogonEx("Flat", "C:\\a.exe", "", 0, 0, nullptr), 0);
    EXPECT_EQ(IsTaskExists("Flat", "\\Any\\Folder"), 0);
    EXPECT_EQ(DeleteTask("Flat", "\\Other"), 0);
    EXPECT_EQ(IsTaskExists("Flat", ""), 1);
}

TEST_F(TaskService, OwnTaskIsFoundAndRemovedAsTheOfferDoes) {
    for (bool v2 : {true, false}) {
        UseGeneration(v2);
        const char* name = "VT Leapgate Task ( One Time )";
        ASSERT_EQ(CreateNewTask_OnLogonEx(name, "C:\\L.exe", "/leapgate", 10, 0, nullptr), 0);
        ASSERT_EQ(IsTaskExists(name, "\\"), 0) << v2;
        ASSERT_EQ(DeleteTask(name, "\\"), 0) << v2;
        EXPECT_EQ(IsTaskExists(name, "\\"), 1) << v2;
    }
    EXPECT_TRUE(tasktest::TaskLogLines().empty());
}

}  // namespace
