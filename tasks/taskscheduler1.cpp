// Task Scheduler 1.0 adapter: the scheduler object, writing a work item, enabling and deleting.
#include "tasks/taskscheduler1.h"

#include "platform/clock.h"
#include "platform/text.h"
#include "tasks/taskdates.h"
#include "tasks/taskerrors.h"
#include "tasks/tasklog.h"
#include "tasks/taskscheduler1_internal.h"

namespace tasks {

using namespace platform;

void LogFailure1(const std::string& operation, const std::exception& e) {
    if (auto* ole = dynamic_cast<const EOleException*>(&e)) {
        LogTaskException(operation + ".EOleException : " + OleErrorTail(*ole));
    } else if (operation == "IniTaskScheduler") {
        LogTaskException(operation + " :" + e.what());
    } else {
        LogTaskException(operation + " : " + e.what());
    }
}

TTaskSchedulerInterfaces1::TTaskSchedulerInterfaces1() {
    // The 1.0 objects need the COM library on this thread like the 2.0 ones do.
    FComInitialized = Succeeded(TaskSchedulerPlatform().CoInitializeEx(0));
}

TTaskSchedulerInterfaces1::~TTaskSchedulerInterfaces1() {
    Trace("TTaskSchedulerInterfaces1.Destroy");
    if (FComInitialized) TaskSchedulerPlatform().CoUninitialize();
    Trace("TTaskSchedulerInterfaces1.Destroy Leave");
}

TPtr<ITaskScheduler> TTaskSchedulerInterfaces1::IniTaskScheduler() {
    try {
        Trace("TTaskSchedulerInterfaces1.IniTaskScheduler");
        TPtr<ITaskScheduler> scheduler;
        HResult hr = TaskSchedulerPlatform().CoCreateInstance(scheduler);
        if (hr != kSOk || !scheduler) {
            Trace("TTaskSchedulerInterfaces1.IniTaskScheduler.CoCreateInstance : " + Hex8(hr));
            return nullptr;
        }
        Trace("TTaskSchedulerInterfaces1.IniTaskScheduler Leave");
        return scheduler;
    } catch (const std::exception& e) {
        LogFailure1("IniTaskScheduler", e);
        return nullptr;
    }
}

bool TTaskSchedulerInterfaces1::CreateNewTask(TTaskInfo& info, bool noTrigger) {
    try {
        Trace("TTaskSchedulerInterfaces1.CreateNewTask : " + info.General.Name);
        TPtr<ITaskScheduler> scheduler = IniTaskScheduler();
        if (!scheduler) return false;
        try {
            // A work item of the same name is replaced: remove it first, whatever the answer.
            HResult hr = scheduler->Delete(info.General.Name);
            Trace("vTaskScheduler.Delete : " + Hex8(hr));
            TPtr<ITask> task;
            hr = scheduler->NewWorkItem(info.General.Name, task);
            if (Failed(hr) || !task) {
                Trace("vTaskScheduler.NewWorkItem : " + Hex8(hr));
                return false;
            }
            SetTaskInfo(task, info);
            if (!noTrigger && !SetTaskTrigger(task, info)) return false;
            bool result = RegisterTask(task, &info);
            Trace("TTaskSchedulerInterfaces1.CreateNewTask Leave");
            return result;
        } catch (const std::exception& e) {
            Trace(std::string("TTaskSchedulerInterfaces1.CreateTask :") + e.what());
            return false;
        }
    } catch (const std::exception& e) {
        LogFailure1("CreateTask", e);
        return false;
    }
}

bool TTaskSchedulerInterfaces1::SetTaskInfo(const TPtr<ITask>& task, TTaskInfo& info) {
    try {
        Trace("TTaskSchedulerInterfaces1.SetTaskInfo : " + info.General.Name);
        ITask& t = Deref(task);
        // Each result is only traced: a refused text leaves the platform's default.
        Trace("Task.SetApplicationName : " + Hex8(t.SetApplicationName(info.Action.Path)));
        Trace("Task.SetParameters : " + Hex8(t.SetParameters(info.Action.Arguments)));
        Trace("Task.SetWorkingDirectory : " +
              Hex8(t.SetWorkingDirectory(info.Action.WorkingDirectory)));
        Trace("Task.SetComment : " + Hex8(t.SetComment(info.General.Description)));
        Trace("Task.SetPriority : " + Hex8(t.SetPriority(static_cast<uint16_t>(info.Priority))));
        bool result = SetFlag(task, info);
        Trace("TTaskSchedulerInterfaces1.SetTaskInfo Leave");
        return result;
    } catch (const std::exception& e) {
        LogFailure1("SetTaskInfo", e);
        return false;
    }
}

bool TTaskSchedulerInterfaces1::SetFlag(const TPtr<ITask>& task, TTaskInfo& info) {
    try {
        Trace("TTaskSchedulerInterfaces1.SetFlag");
        ITask& t = Deref(task);
        uint32_t flags = 0;
        OleCheck(t.GetFlags(flags));
        flags |= static_cast<uint32_t>(info.TaskFlagsV1);
        auto apply = [&flags](bool on, uint32_t flag) {
            flags = on ? flags | flag : flags & ~flag;
        };
        apply(!info.AllowStartOnBatteries, kTaskFlagDontStartIfOnBatteries);
        apply(info.StopIfGoingOnBatteries, kTaskFlagKillIfGoingOnBatteries);
        apply(info.DeleteWhenDone, kTaskFlagDeleteWhenDone);
        if (info.IdleDuration > 0 && info.IdleWaitTimeout > 0) flags |= kTaskFlagStartOnlyIfIdle;
        if (info.StopOnIdleEnd) flags |= kTaskFlagKillOnIdleEnd;
        if (info.General.Hidden) flags |= kTaskFlagHidden;
        if (info.WakeToRun) flags |= kTaskFlagSystemRequired;
        HResult hr = t.SetFlags(flags);
        Trace("Task.SetFlags : " + Hex8(hr));
        Trace("TTaskSchedulerInterfaces1.SetFlag Leave");
        return Succeeded(hr);
    } catch (const std::exception& e) {
        LogFailure1("SetFlag", e);
        return false;
    }
}

bool TTaskSchedulerInterfaces1::SetTaskTrigger(const TPtr<ITask>& task, TTaskInfo& info) {
    try {
        Trace("TTaskSchedulerInterfaces1.SetTaskTrigger :" + info.General.Name);
        ITask& t = Deref(task);
        uint16_t index = 0;
        TPtr<ITaskTrigger> trigger;
        HResult hr = t.CreateTrigger(index, trigger);
        Trace("pTask.CreateTrigger " + kFullWidthColon + " " + Hex8(hr));
        if (Failed(hr) || !trigger) return false;
        TTaskTriggerRecord record = BuildTriggerRecord(info, Clock().LocalTime());
        // Both only traced: a scheduler that keeps no run time or idle wait still gets the
        // trigger.
        Trace("Task.SetMaxRunTime : " +
              Hex8(t.SetMaxRunTime(MaxRunTimeOf(info.ExecutionTimeLimitDays))));
        // The low 16 bits, so "none" (-1) becomes 65,535 minutes.
        Trace("Task.SetIdleWait : " +
              Hex8(t.SetIdleWait(static_cast<uint16_t>(info.IdleDuration),
                                 static_cast<uint16_t>(info.IdleWaitTimeout))));
        if (info.TriggerTypeV1 == 5) {
            // An idle trigger keeps its wait in whole minutes: the caller's record says what
            // the work item now holds, and a missing deadline reads as one minute after it.
            TTaskTriger& t1 = info.Trigger;
            t1.Delay = t1.Delay < 0 ? 0 : t1.Delay / 60;
            if (t1.IdleDeadline < 0) t1.IdleDeadline = t1.Delay + 1;
        }
        hr = trigger->SetTrigger(record);
        Trace("vTaskTrigger.SetTrigger " + kFullWidthColon + " " + Hex8(hr));
        Trace("TTaskSchedulerInterfaces1.SetTaskTrigger Leave");
        return Succeeded(hr);
    } catch (const std::exception& e) {
        LogFailure1("SetTaskTrigger", e);
        return false;
    }
}

bool TTaskSchedulerInterfaces1::RegisterTask(const TPtr<ITask>& task, TTaskInfo* info) {
    try {
        Trace("TTaskSchedulerInterfaces1.RegisterTask");
        if (!task) return false;
        std::string user = GetTaskUserName();
        if (user.empty()) return false;
        // The local system account is named by the empty text.
        std::string account = UpperCase(user) == "SYSTEM" ? std::string() : user;
        HResult hr = task->SetAccountInformation(account, TVariant::Null());
        Trace("pTask.SetAccountInformation " + kFullWidthColon + " " + Hex8(hr));
        if (Failed(hr)) return false;
        if (info) {
            if (info->General.Author.empty()) info->General.Author = account;
            hr = task->SetCreator(info->General.Author);
            Trace("pTask.SetCreator " + kFullWidthColon + " " + Hex8(hr));
        }
        TPtr<IPersistFile> file;
        hr = task->QueryInterface(file);
        Trace("pTask.QueryInterface " + kFullWidthColon + " " + Hex8(hr));
        bool result = false;
        if (Succeeded(hr) && file) result = Succeeded(file->Save(TVariant::Null(), true));
        Trace("TTaskSchedulerInterfaces1.RegisterTask Leave");
        return result;
    } catch (const std::exception& e) {
        LogFailure1("RegisterTask", e);
        return false;
    }
}

bool TTaskSchedulerInterfaces1::TaskIsExists(const std::string& name) {
    try {
        Trace("TTaskSchedulerInterfaces1.TaskIsExists : " + name);
        TPtr<ITaskScheduler> scheduler = IniTaskScheduler();
        if (!scheduler) return false;
        TPtr<ITask> task;
        HResult hr = scheduler->Activate(name, task);
        Trace("TaskScheduler.Activate " + kFullWidthColon + " " + Hex8(hr));
        Trace("TTaskSchedulerInterfaces1.TaskIsExists Leave");
        return Succeeded(hr) && task;
    } catch (const std::exception& e) {
        LogFailure1("TaskIsExists", e);
        return false;
    }
}

bool TTaskSchedulerInterfaces1::SetTaskEnable(const std::string& name, bool enable) {
    try {
        TPtr<ITaskScheduler> scheduler = IniTaskScheduler();
        if (!scheduler) return false;
        TPtr<ITask> task;
        HResult hr = scheduler->Activate(name, task);
        Trace("TaskScheduler.Activate " + kFullWidthColon + " " + Hex8(hr));
        if (Failed(hr) || !task) return false;
        uint32_t flags = 0;
        OleCheck(task->GetFlags(flags));
        flags = enable ? flags & ~kTaskFlagDisabled : flags | kTaskFlagDisabled;
        OleCheck(task->SetFlags(flags));
        return RegisterTask(task, nullptr);
    } catch (const std::exception& e) {
        LogFailure1("SetTaskEnable", e);
        return false;
    }
}

bool TTaskSchedulerInterfaces1::DeleteTask(const std::string& name) {
    try {
        Trace("TTaskSchedulerInterfaces1.DeleteTask : " + name);
        TPtr<ITaskScheduler> scheduler = IniTaskScheduler();
        if (!scheduler) return false;
        HResult hr = scheduler->Delete(name);
        Trace("vTaskScheduler.Delete " + kFullWidthColon + " " + Hex8(hr));
        Trace("TTaskSchedulerInterfaces1.DeleteTask Leave");
        // A missing work item is as good as deleted; any other refusal leaves it in place.
        return Succeeded(hr) || hr == kEFileNotFound;
    } catch (const std::exception& e) {
        LogFailure1("DeleteTask", e);
        return false;
    }
}

}  // namespace tasks
