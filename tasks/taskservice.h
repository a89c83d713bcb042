// The task functions the rest of the program uses: check (and start) the task scheduler
// service, choose the adapter for the platform's Task Scheduler generation, and ask for, read,
// create, enable or delete a task. None of them raises; the integer ones answer 0 for done (or
// yes) and 1 for not done (or no).
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "tasks/taskglobal.h"
#include "tasks/taskscheduler1.h"
#include "tasks/taskscheduler2.h"

namespace tasks {

inline constexpr const char* kTaskServiceName = "Schedule";

// Chosen once at start-up from IsTaskScheduler2Available.
extern bool UseTaskScheduler2;

// NT family with version 6.0 to 6.4 or 10.x.
bool IsTaskScheduler2Available();
// Start-up: creates the process-wide adapter of the generation UseTaskScheduler2 names.
void CreateTaskAdapter();
// Shut-down: frees the adapter (the task functions then answer "not done").
void FreeTaskAdapter();
TTaskSchedulerInterfaces2* TaskAdapter2();  // the 2.0 adapter, or none
TTaskSchedulerInterfaces1* TaskAdapter1();  // the 1.0 adapter, or none

// True when the task scheduler service runs, after trying to start it.
bool CheckTaskServices();
bool IsTaskServiceRunning();
bool StartTaskService();
bool ChangeServiceStartType(const std::string& serviceName, uint32_t startType,
                            const std::string& description = {});

// A null task name is a missing one. The folder is ignored by the 1.0 interfaces.
int IsTaskExists(const char* taskName, const std::string& folder);
int IsTaskEnabled(const std::string& taskName, const std::string& folder);
// A new record (the caller owns it) with the start time split, or none.
std::unique_ptr<TTaskInfo> GetTaskInfo(const std::string& taskName, const std::string& folder,
                                       bool recursive);
// Registers a task that runs AppPath with Params at each logon, after the delay when both of
// its parts lie in 0 … 59. Info, when given, is the record to use (and is filled in).
int CreateNewTask_OnLogonEx(const char* taskName, const char* appPath, const char* params,
                            int32_t delayMinutes, int32_t delaySeconds, TTaskInfo* info);
int SetTaskEnable(const std::string& taskName, bool enable, const std::string& folder);
int DeleteTask(const char* taskName, const std::string& folder);

}  // namespace tasks
