// Carries a TTaskInfo to and from the Task Scheduler 2.0 interfaces. No connection is kept:
// every operation creates the task service, connects, finds its folder and lets everything go
// before it returns. Every operation catches its own failures, writes one line for each to
// "TaskException.log" and answers false or none.
#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/taskscheduler.h"
#include "tasks/taskglobal.h"

namespace tasks {

using TTaskInfoList = std::vector<std::shared_ptr<TTaskInfo>>;

class TTaskSchedulerInterfaces2 {
public:
    TTaskSchedulerInterfaces2();
    ~TTaskSchedulerInterfaces2();
    TTaskSchedulerInterfaces2(const TTaskSchedulerInterfaces2&) = delete;
    TTaskSchedulerInterfaces2& operator=(const TTaskSchedulerInterfaces2&) = delete;

    // Opens FolderPath ("\" when empty; a leading "\" is added); creates it below the root
    // unless OpenOnly. Both out values are none when the folder could not be had.
    void UpdateTaskFoler(platform::TPtr<platform::ITaskService>& service,
                         platform::TPtr<platform::ITaskFolder>& folder, std::string folderPath,
                         bool openOnly);
    bool CreateTaskDefinition(platform::TPtr<platform::ITaskDefinition>& definition,
                              const platform::TPtr<platform::ITaskService>& service,
                              TTaskInfo& info);
    bool SetTaskSettings(const platform::TPtr<platform::ITaskDefinition>& definition,
                         TTaskInfo& info);
    bool SetTaskTrigger(TTaskInfo& info,
                        const platform::TPtr<platform::ITaskDefinition>& definition);
    bool SetTaskAction(const platform::TPtr<platform::ITaskDefinition>& definition,
                       TTaskInfo& info);
    bool RegisterTask(const platform::TPtr<platform::ITaskFolder>& folder,
                      const platform::TPtr<platform::ITaskDefinition>& definition, TTaskInfo& info);
    bool CreateTask(TTaskInfo& info, bool noTrigger);

    platform::TPtr<platform::IRegisteredTask> GetRegisteredTask(
        const std::string& name, const platform::TPtr<platform::ITaskFolder>& folder);
    void GetTaskInfo3(const platform::TPtr<platform::IRegisteredTask>& task, TTaskInfo& info);
    std::shared_ptr<TTaskInfo> GetTaskInfo2(const std::string& name,
                                            const platform::TPtr<platform::ITaskFolder>& folder,
                                            TTaskInfoList* list, bool recursive);
    std::unique_ptr<TTaskInfo> GetTaskInfo1(const std::string& name, const std::string& folderPath,
                                            bool recursive);
    bool IsTaskExists(const std::string& name, const std::string& folderPath, bool recursive);
    bool GetTaskTrigger(const platform::TPtr<platform::ITaskDefinition>& definition,
                        TTaskInfo& info, bool countOnly);
    void GetTaskSettings(const platform::TPtr<platform::ITaskDefinition>& definition,
                         TTaskInfo& info);
    void GetTaskAction(const platform::TPtr<platform::ITaskDefinition>& definition,
                       TTaskInfo& info);

    bool SetTaskEnable(const std::string& name, const std::string& folderPath, bool enable);
    bool DeleteTask(const std::string& name, const std::string& folderPath);

private:
    // The first task of `folder`, hidden ones too, whose name `matches`; null when none does. A
    // refused call throws as OleCheck does.
    static platform::TPtr<platform::IRegisteredTask> FindTask(
        const platform::TPtr<platform::ITaskFolder>& folder,
        const std::function<bool(const std::string& taskName)>& matches);

    bool FComInitialized = false;
};

}  // namespace tasks
