// Task Scheduler 2.0 adapter: connecting, folders, and writing a task.
#include "tasks/taskscheduler2.h"

#include "platform/text.h"
#include "tasks/taskdates.h"
#include "tasks/taskerrors.h"
#include "tasks/tasklog.h"

namespace tasks {

using namespace platform;

namespace {

// Durations of record values in minutes or days; a negative value gives the empty text.
std::string MinutesText(int32_t minutes) {
    return minutes < 0 ? std::string() : SecondsToDuration(int64_t{minutes} * 60);
}
std::string DaysText(int32_t days) {
    return days < 0 ? std::string() : SecondsToDuration(int64_t{days} * 86400);
}
TVariantBool VB(bool value) {
    return ToVariantBool(value);
}

}  // namespace

TTaskSchedulerInterfaces2::TTaskSchedulerInterfaces2() {
    auto& com = TaskSchedulerPlatform();
    HResult hr = com.CoInitializeEx(0);  // the multithreaded apartment
    Trace("TTaskSchedulerInterfaces2.Create :" + std::to_string(hr));
    // Only a successful initialisation is balanced by CoUninitialize: a thread that already
    // lives in another apartment must not lose its COM library to us.
    FComInitialized = Succeeded(hr);
    // Packet privacy (6), impersonate (3), no capabilities.
    hr = com.CoInitializeSecurity(-1, 6, 3, 0);
    Trace("TTaskSchedulerInterfaces2.Create :" + std::to_string(hr));
}

TTaskSchedulerInterfaces2::~TTaskSchedulerInterfaces2() {
    if (FComInitialized) TaskSchedulerPlatform().CoUninitialize();
}

void TTaskSchedulerInterfaces2::UpdateTaskFoler(TPtr<ITaskService>& service,
                                                TPtr<ITaskFolder>& folder, std::string folderPath,
                                                bool openOnly) {
    service.reset();
    folder.reset();
    AppLog("TTaskSchedulerInterfaces2.UpdateTaskFoler :" + folderPath);
    Trace("TTaskSchedulerInterfaces2.UpdateTaskFoler : " + folderPath);
    try {
        if (folderPath.empty())
            folderPath = "\\";
        else if (folderPath[0] != '\\')
            folderPath = "\\" + folderPath;
        HResult hr = TaskSchedulerPlatform().CoCreateInstance(service);
        if (Failed(hr) || !service) {
            Trace("CoCreateInstance : " + Hex8(hr));
            service.reset();
            return;
        }
        OleCheck(service->Connect(TVariant::Null(), TVariant::Null(), TVariant::Null(),
                                  TVariant::Null()));
        if (Failed(service->GetFolder(folderPath, folder))) folder.reset();
        if (folder || openOnly) {
            if (!folder) service.reset();
            return;
        }
        std::string name = folderPath.substr(1);
        OleCheck(service->GetFolder("\\", folder));
        TPtr<ITaskFolder> created;
        OleCheck(Deref(folder).CreateFolder(name, TVariant::Str(""), created));
        Deref(created);
        folder = created;
    } catch (const std::exception& e) {
        LogStepFailure("UpdateTaskFoler", e);
        Trace(std::string("TTaskSchedulerInterfaces2.UpdateTaskFoler : except :") + e.what());
        service.reset();
        folder.reset();
    }
}

bool TTaskSchedulerInterfaces2::CreateTaskDefinition(TPtr<ITaskDefinition>& definition,
                                                     const TPtr<ITaskService>& service,
                                                     TTaskInfo& info) {
    definition.reset();
    try {
        Trace("TTaskSchedulerInterfaces2.CreateTaskDefinition");
        OleCheck(Deref(service).NewTask(0, definition));
        TPtr<IRegistrationInfo> registration;
        OleCheck(Deref(definition).get_RegistrationInfo(registration));
        if (info.General.Author.empty()) info.General.Author = GetTaskUserName();
        OleCheck(Deref(registration).put_Author(info.General.Author));
        OleCheck(registration->put_Description(info.General.Description));
        Trace("TTaskSchedulerInterfaces2.CreateTaskDefinition Leave");
        return true;
    } catch (const std::exception& e) {
        LogStepFailure("CreateTaskDefinition", e);
        definition.reset();
        return false;
    }
}

bool TTaskSchedulerInterfaces2::SetTaskSettings(const TPtr<ITaskDefinition>& definition,
                                                TTaskInfo& info) {
    return RunStep("SetTaskSettings", [&]() -> bool {
        TPtr<ITaskSettings> settings;
        OleCheck(Deref(definition).get_Settings(settings));
        ITaskSettings& s = Deref(settings);
        OleCheck(s.put_DisallowStartIfOnBatteries(VB(!info.AllowStartOnBatteries)));
        OleCheck(s.put_StopIfGoingOnBatteries(VB(info.StopIfGoingOnBatteries)));
        OleCheck(s.put_Enabled(VB(info.TaskEnabled)));
        OleCheck(s.put_Hidden(VB(info.General.Hidden)));
        OleCheck(s.put_Priority(info.Priority));
        OleCheck(s.put_RunOnlyIfIdle(VB(info.RunOnlyIfIdle)));
        OleCheck(s.put_WakeToRun(VB(info.WakeToRun)));
        OleCheck(s.put_AllowDemandStart(VB(info.AllowDemandStart)));
        OleCheck(s.put_StartWhenAvailable(VB(info.StartWhenAvailable)));
        if (info.RestartCount > 0 && info.RestartInterval > 0) {
            OleCheck(s.put_RestartInterval(MinutesText(info.RestartInterval)));
            OleCheck(s.put_RestartCount(info.RestartCount));
        } else {
            OleCheck(s.put_RestartInterval(""));
            OleCheck(s.put_RestartCount(-1));
        }
        OleCheck(s.put_ExecutionTimeLimit(DaysText(info.ExecutionTimeLimitDays)));
        OleCheck(s.put_AllowHardTerminate(VB(info.AllowHardTerminate)));
        OleCheck(s.put_MultipleInstances(info.MultipleInstances));
        TPtr<IIdleSettings> idle;
        OleCheck(s.get_IdleSettings(idle));
        OleCheck(Deref(idle).put_WaitTimeout(MinutesText(info.IdleWaitTimeout)));
        OleCheck(idle->put_StopOnIdleEnd(VB(info.StopOnIdleEnd)));
        OleCheck(idle->put_RestartOnIdle(VB(info.RestartOnIdle)));
        OleCheck(idle->put_IdleDuration(MinutesText(info.IdleDuration)));
        if (info.Trigger.TriggerType == 1) OleCheck(s.put_DeleteExpiredTaskAfter("PT0S"));
        OleCheck(s.put_Compatibility(info.General.Compatibility));
        return true;
    });
}

bool TTaskSchedulerInterfaces2::SetTaskTrigger(TTaskInfo& info,
                                               const TPtr<ITaskDefinition>& definition) {
    return RunStep("SetTaskTrigger", [&]() -> bool {
        Trace("TTaskSchedulerInterfaces2.SetTaskTrigger");
        const TTaskTriger& t = info.Trigger;
        TPtr<ITriggerCollection> triggers;
        OleCheck(Deref(definition).get_Triggers(triggers));
        TPtr<ITrigger> trigger;
        OleCheck(Deref(triggers).Create(t.TriggerType, trigger));
        OleCheck(Deref(trigger).put_Enabled(VB(t.Enabled)));
        TPtr<IRepetitionPattern> repetition;
        OleCheck(trigger->get_Repetition(repetition));
        OleCheck(Deref(repetition).put_StopAtDurationEnd(VB(t.StopAtDurationEnd)));
        if (t.RepeatInterval > 0) OleCheck(repetition->put_Interval(MinutesText(t.RepeatInterval)));
        if (t.RepeatDuration > 0) OleCheck(repetition->put_Duration(MinutesText(t.RepeatDuration)));

        // Daily, weekly and monthly triggers start today at the record's time of day.
        auto startToday = [&info](ITrigger& typed) {
            OleCheck(typed.put_StartBoundary(
                DateTimeToXml(TodayAt(info.StartHour, info.StartMinute, info.StartSecond))));
        };
        auto boundaries = [&t](ITrigger& typed) {
            if (t.StartBoundary != 0)
                OleCheck(typed.put_StartBoundary(DateTimeToXml(t.StartBoundary)));
            OleCheck(typed.put_EndBoundary(t.EndBoundary != 0 ? DateTimeToXml(t.EndBoundary) : ""));
        };
        auto timeLimit = [&t](ITrigger& typed) {
            if (t.ExecutionTimeLimit > 0)
                OleCheck(typed.put_ExecutionTimeLimit(MinutesText(t.ExecutionTimeLimit)));
        };
        auto typedTrigger = [&trigger](auto& typed) -> decltype(*typed)& {
            OleCheck(trigger->QueryInterface(typed));
            auto& object = Deref(typed);
            OleCheck(object.put_Id("Trigger1"));
            return object;
        };
        switch (t.TriggerType) {
            case 1: {
                TPtr<ITimeTrigger> typed;
                auto& time = typedTrigger(typed);
                OleCheck(time.put_StartBoundary(DateTimeToXml(info.RunTime)));
                OleCheck(time.put_EndBoundary(DateTimeToXml(info.RunTime + 1.0 / 86400)));
                break;
            }
            case 2: {
                TPtr<IDailyTrigger> typed;
                auto& daily = typedTrigger(typed);
                startToday(daily);
                OleCheck(daily.put_DaysInterval(static_cast<int16_t>(info.DaysInterval)));
                break;
            }
            case 3: {
                TPtr<IWeeklyTrigger> typed;
                auto& weekly = typedTrigger(typed);
                startToday(weekly);
                OleCheck(weekly.put_DaysOfWeek(static_cast<int16_t>(info.DaysOfWeek)));
                OleCheck(weekly.put_WeeksInterval(static_cast<int16_t>(info.WeeksInterval)));
                break;
            }
            case 4: {
                TPtr<IMonthlyTrigger> typed;
                auto& monthly = typedTrigger(typed);
                startToday(monthly);
                OleCheck(monthly.put_DaysOfMonth(info.DaysOfMonth));
                OleCheck(monthly.put_MonthsOfYear(static_cast<int16_t>(info.MonthsOfYear)));
                break;
            }
            case 6: {
                TPtr<IIdleTrigger> typed;
                auto& idle = typedTrigger(typed);
                boundaries(idle);
                timeLimit(idle);
                break;
            }
            case 7: {
                TPtr<IRegistrationTrigger> typed;
                typedTrigger(typed);
                break;
            }
            case 8: {
                TPtr<IBootTrigger> typed;
                auto& boot = typedTrigger(typed);
                OleCheck(boot.put_Delay(SecondsToDuration(t.Delay)));
                boundaries(boot);
                timeLimit(boot);
                break;
            }
            case 9: {
                TPtr<ILogonTrigger> typed;
                auto& logon = typedTrigger(typed);
                boundaries(logon);
                OleCheck(logon.put_Delay(SecondsToDuration(t.Delay)));
                timeLimit(logon);
                break;
            }
            default:
                break;
        }
        Trace("TTaskSchedulerInterfaces2.SetTaskTrigger Leave");
        return true;
    });
}

bool TTaskSchedulerInterfaces2::SetTaskAction(const TPtr<ITaskDefinition>& definition,
                                              TTaskInfo& info) {
    return RunStep("SetTaskAction", [&]() -> bool {
        Trace("TTaskSchedulerInterfaces2.SetTaskAction");
        TPtr<IActionCollection> actions;
        OleCheck(Deref(definition).get_Actions(actions));
        TPtr<IAction> action;
        OleCheck(Deref(actions).Create(info.Action.ActionType, action));
        if (info.Action.ActionType == 0) {
            TPtr<IExecAction> exec;
            OleCheck(Deref(action).QueryInterface(exec));
            OleCheck(Deref(exec).put_Path(Trim(info.Action.Path)));
            OleCheck(exec->put_Arguments(Trim(info.Action.Arguments)));
            OleCheck(exec->put_WorkingDirectory(Trim(info.Action.WorkingDirectory)));
        } else if (info.Action.ActionType == 7) {
            TPtr<IShowMessageAction> message;
            OleCheck(Deref(action).QueryInterface(message));
            OleCheck(Deref(message).put_Title(info.Action.Title));
            OleCheck(message->put_MessageBody(info.Action.MessageBody));
        } else {
            return false;
        }
        Trace("TTaskSchedulerInterfaces2.SetTaskAction Leave");
        return true;
    });
}

bool TTaskSchedulerInterfaces2::RegisterTask(const TPtr<ITaskFolder>& folder,
                                             const TPtr<ITaskDefinition>& definition,
                                             TTaskInfo& info) {
    try {
        Trace("TTaskSchedulerInterfaces2.RegisterTask");
        TPtr<IPrincipal> principal;
        OleCheck(Deref(definition).get_Principal(principal));
        // The name is kept in the record only; the task runs as whoever registers it.
        if (info.General.UserId.empty()) info.General.UserId = GetTaskUserName();
        OleCheck(Deref(principal).put_RunLevel(info.General.RunLevel));
        OleCheck(principal->put_LogonType(info.LogonType));
        TPtr<IRegisteredTask> registered;
        OleCheck(Deref(folder).RegisterTaskDefinition(
            info.General.Name, definition, info.CreationFlags, TVariant::Null(), TVariant::Null(),
            info.LogonType, TVariant::Str(""), registered));
        Trace("TTaskSchedulerInterfaces2.RegisterTask Leave");
        return registered != nullptr;
    } catch (const EOleException& e) {
        LogTaskException("RegisterTask.EOleException : " + OleErrorTail(e));
        return false;
    } catch (const std::exception& e) {
        return LogStepFailure("RegisterTask", e);
    }
}

bool TTaskSchedulerInterfaces2::CreateTask(TTaskInfo& info, bool noTrigger) {
    return RunStep("CreateTask", [&]() -> bool {
        Trace("TTaskSchedulerInterfaces2.CreateTask");
        TPtr<ITaskService> service;
        TPtr<ITaskFolder> folder;
        UpdateTaskFoler(service, folder, info.General.Path, false);
        if (!folder) return false;
        TPtr<ITaskDefinition> definition;
        if (!CreateTaskDefinition(definition, service, info)) return false;
        SetTaskSettings(definition, info);  // a refused setting leaves the platform's default
        if (!noTrigger && !SetTaskTrigger(info, definition)) return false;
        if (!SetTaskAction(definition, info)) return false;
        if (!RegisterTask(folder, definition, info)) return false;
        Trace("TTaskSchedulerInterfaces2.CreateTask Leave");
        return true;
    });
}

bool TTaskSchedulerInterfaces2::SetTaskEnable(const std::string& name,
                                              const std::string& folderPath, bool enable) {
    TPtr<ITaskService> service;
    TPtr<ITaskFolder> folder;
    UpdateTaskFoler(service, folder, folderPath, false);
    Trace("TTaskSchedulerInterfaces2.SetTaskEnable");
    if (!folder) return false;
    return RunStep("SetTaskEnable", [&]() -> bool {
        // The exact name, unlike the look-up by name.
        TPtr<IRegisteredTask> task =
            FindTask(folder, [&name](const std::string& taskName) { return taskName == name; });
        if (task) OleCheck(task->put_Enabled(VB(enable)));
        Trace("TTaskSchedulerInterfaces2.SetTaskEnable Leave");
        return task != nullptr;
    });
}

bool TTaskSchedulerInterfaces2::DeleteTask(const std::string& name, const std::string& folderPath) {
    TPtr<ITaskService> service;
    TPtr<ITaskFolder> folder;
    UpdateTaskFoler(service, folder, folderPath, false);
    if (!folder) return false;
    try {
        if (IsTaskExists(name, folderPath, false)) OleCheck(folder->DeleteTask(name, 0));
        return true;
    } catch (const std::exception& e) {
        LogTaskException("DeleteTask.exception : " + name + "_" + e.what());
        // The task is still there: answering "done" would hide it from the caller.
        return false;
    }
}

}  // namespace tasks
