// The Task Scheduler interfaces over plain records held in memory. The Linux stand-in persists
// its store as files; the tests' recording fake watches and refuses calls through the store's
// OnCall hook. The behaviour follows the real service where our code depends on it: names and
// folders are found without regard to case, a missing task or folder is ERROR_FILE_NOT_FOUND,
// registering over an existing task needs the update flag, a 1.0 work item is only stored when
// it is saved.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/taskscheduler.h"

namespace platform {

struct TStoredTrigger2 {
    int32_t Type = 0;
    std::string Id, StartBoundary, EndBoundary, ExecutionTimeLimit, Interval, Duration, Delay,
        UserId;
    TVariantBool Enabled = kVariantTrue;
    TVariantBool StopAtDurationEnd = kVariantFalse;
    int16_t DaysInterval = 1, DaysOfWeek = 0, WeeksInterval = 1, MonthsOfYear = 0;
    int32_t DaysOfMonth = 0;
};

struct TStoredAction2 {
    int32_t Type = 0;
    std::string Path, Arguments, WorkingDirectory, Title, MessageBody;
};

// A task definition with the platform's own defaults for a new task.
struct TStoredDefinition2 {
    std::string Author, Description, UserId;
    int32_t RunLevel = 0, LogonType = 3;
    TVariantBool DisallowStartIfOnBatteries = kVariantTrue, StopIfGoingOnBatteries = kVariantTrue,
                 Enabled = kVariantTrue, Hidden = kVariantFalse, RunOnlyIfIdle = kVariantFalse,
                 WakeToRun = kVariantFalse, AllowDemandStart = kVariantTrue,
                 StartWhenAvailable = kVariantFalse, AllowHardTerminate = kVariantTrue,
                 StopOnIdleEnd = kVariantTrue, RestartOnIdle = kVariantFalse;
    int32_t Priority = 7, RestartCount = 0, MultipleInstances = 2, Compatibility = 2;
    std::string RestartInterval, ExecutionTimeLimit = "PT72H", DeleteExpiredTaskAfter,
                                 WaitTimeout = "PT1H", IdleDuration = "PT10M";
    std::vector<TStoredTrigger2> Triggers;
    std::vector<TStoredAction2> Actions;
};

struct TStoredTask2 {
    std::string Name;
    TStoredDefinition2 Definition;
};

struct TStoredFolder2 {
    std::string Path;  // "\" for the root, else "\A\B"
    std::vector<TStoredTask2> Tasks;
};

struct TStoredWorkItem1 {
    std::string Name;  // without ".job"
    std::string ApplicationName, Parameters, WorkingDirectory, Comment, Creator, Account;
    uint32_t Flags = 0, Priority = 0x20, MaxRunTime = 259200000;
    uint16_t IdleMinutes = 10, DeadlineMinutes = 60;
    std::vector<TTaskTriggerRecord> Triggers;
};

// "\"-rooted folder path without a trailing separator; "" and "\" are the root.
std::string NormalizeTaskFolderPath(const std::string& path);
std::string ParentTaskFolderPath(const std::string& path);
// Work items are named with or without their ".job" extension.
std::string WorkItemBaseName(const std::string& name);
// A 1.0 trigger record's 48 bytes as 96 upper-case hexadecimal digits, and back.
std::string TriggerRecordHex(const TTaskTriggerRecord& record);
bool TriggerRecordOfHex(const std::string& hex, TTaskTriggerRecord& record);

class TMemoryTaskStore {
public:
    virtual ~TMemoryTaskStore() = default;
    // Every interface call passes here first with its name ("ITaskFolder.GetFolder") and its
    // arguments as text; a failure code refuses the call before it has any effect.
    virtual HResult OnCall(const std::string& call, const std::string& args);
    virtual void Load() {}    // re-read persisted state (a new scheduler object was created)
    virtual void Commit() {}  // persist after a change
    virtual void DescribeError(HResult hr, std::string& message, std::string& source);
    virtual std::string BackendName() { return "memory"; }

    TStoredFolder2* FindFolder(const std::string& path);
    TStoredTask2* FindTask(const std::string& folderPath, const std::string& name);
    TStoredWorkItem1* FindWorkItem(const std::string& name);

    std::string DefaultUser;  // the principal a task registered without a user runs as
    std::vector<TStoredFolder2> Folders{TStoredFolder2{"\\", {}}};
    std::vector<TStoredWorkItem1> WorkItems;
};

// The COM library in front of a store: every scheduler object it creates re-reads the store.
class TMemTaskSchedulerPlatform : public ITaskSchedulerPlatform {
public:
    explicit TMemTaskSchedulerPlatform(std::shared_ptr<TMemoryTaskStore> store);
    HResult CoInitializeEx(int32_t coInit) override;
    HResult CoInitializeSecurity(int32_t authnServices, int32_t authnLevel, int32_t impLevel,
                                 int32_t capabilities) override;
    void CoUninitialize() override;
    HResult CoCreateInstance(TPtr<ITaskService>& service) override;
    HResult CoCreateInstance(TPtr<ITaskScheduler>& scheduler) override;
    void DescribeError(HResult hr, std::string& message, std::string& source) override;
    std::string BackendName() override;
    const std::shared_ptr<TMemoryTaskStore>& Store() const { return FStore; }

private:
    std::shared_ptr<TMemoryTaskStore> FStore;
};

}  // namespace platform
