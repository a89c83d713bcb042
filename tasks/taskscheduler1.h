// Carries a TTaskInfo to and from the Task Scheduler 1.0 interfaces, for systems without the
// 2.0 ones. Work items live in one flat list (no folders). Like the 2.0 adapter it keeps no
// connection: every operation creates the scheduler object afresh.
#pragma once
#include <memory>
#include <string>

#include "platform/taskscheduler.h"
#include "tasks/taskglobal.h"

namespace tasks {

// 1.0 task flags.
inline constexpr uint32_t kTaskFlagDeleteWhenDone = 0x2;
inline constexpr uint32_t kTaskFlagDisabled = 0x4;
inline constexpr uint32_t kTaskFlagStartOnlyIfIdle = 0x10;
inline constexpr uint32_t kTaskFlagKillOnIdleEnd = 0x20;
inline constexpr uint32_t kTaskFlagDontStartIfOnBatteries = 0x40;
inline constexpr uint32_t kTaskFlagKillIfGoingOnBatteries = 0x80;
inline constexpr uint32_t kTaskFlagHidden = 0x200;
inline constexpr uint32_t kTaskFlagSystemRequired = 0x1000;
inline constexpr uint32_t kTaskFlagRunOnlyIfLoggedOn = 0x2000;

class TTaskSchedulerInterfaces1 {
public:
    TTaskSchedulerInterfaces1();
    ~TTaskSchedulerInterfaces1();
    TTaskSchedulerInterfaces1(const TTaskSchedulerInterfaces1&) = delete;
    TTaskSchedulerInterfaces1& operator=(const TTaskSchedulerInterfaces1&) = delete;

    platform::TPtr<platform::ITaskScheduler> IniTaskScheduler();
    bool CreateNewTask(TTaskInfo& info, bool noTrigger);
    bool SetTaskInfo(const platform::TPtr<platform::ITask>& task, TTaskInfo& info);
    bool SetFlag(const platform::TPtr<platform::ITask>& task, TTaskInfo& info);
    bool SetTaskTrigger(const platform::TPtr<platform::ITask>& task, TTaskInfo& info);
    bool RegisterTask(const platform::TPtr<platform::ITask>& task, TTaskInfo* info);
    std::unique_ptr<TTaskInfo> GetTaskInfo(const std::string& name);
    bool TaskIsExists(const std::string& name);
    bool SetTaskEnable(const std::string& name, bool enable);
    bool DeleteTask(const std::string& name);

private:
    bool FComInitialized = false;
};

}  // namespace tasks
