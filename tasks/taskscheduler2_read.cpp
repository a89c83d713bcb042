// Task Scheduler 2.0 adapter: finding and reading tasks back into records.
#include "platform/text.h"
#include "tasks/taskdates.h"
#include "tasks/taskerrors.h"
#include "tasks/tasklog.h"
#include "tasks/taskscheduler2.h"

namespace tasks {

using namespace platform;

namespace {

// Minutes of a duration text; an empty text leaves the value alone.
void ReadMinutes(const std::string& text, int32_t& minutes) {
    if (!text.empty()) minutes = DurationToSeconds(text) / 60;
}

}  // namespace

TPtr<IRegisteredTask> TTaskSchedulerInterfaces2::FindTask(
    const TPtr<ITaskFolder>& folder, const std::function<bool(const std::string&)>& matches) {
    TPtr<IRegisteredTaskCollection> tasks;
    OleCheck(Deref(folder).GetTasks(1, tasks));  // hidden tasks too
    int32_t count = 0;
    OleCheck(Deref(tasks).get_Count(count));
    for (int32_t i = 1; i <= count; ++i) {
        TPtr<IRegisteredTask> task;
        OleCheck(tasks->get_Item(i, task));
        TBstr taskName;
        OleCheck(Deref(task).get_Name(taskName));
        if (matches(taskName)) return task;
    }
    return nullptr;
}

TPtr<IRegisteredTask> TTaskSchedulerInterfaces2::GetRegisteredTask(
    const std::string& name, const TPtr<ITaskFolder>& folder) {
    try {
        return FindTask(folder,
                        [&name](const std::string& taskName) { return SameText(taskName, name); });
    } catch (const std::exception& e) {
        LogStepFailure("GetRegisteredTask", e);
    }
    return nullptr;
}

void TTaskSchedulerInterfaces2::GetTaskInfo3(const TPtr<IRegisteredTask>& task, TTaskInfo& info) {
    try {
        Trace("TTaskSchedulerInterfaces2.GetTaskInfo3");
        AppLog("TTaskSchedulerInterfaces2.GetTaskInfo3");
        TPtr<ITaskDefinition> definition;
        OleCheck(Deref(task).get_Definition(definition));
        OleCheck(task->get_Name(info.General.Name));
        TPtr<IRegistrationInfo> registration;
        OleCheck(Deref(definition).get_RegistrationInfo(registration));
        OleCheck(Deref(registration).get_Author(info.General.Author));
        OleCheck(registration->get_Description(info.General.Description));
        TPtr<IPrincipal> principal;
        OleCheck(definition->get_Principal(principal));
        OleCheck(Deref(principal).get_UserId(info.General.UserId));
        OleCheck(principal->get_RunLevel(info.General.RunLevel));
        GetTaskTrigger(definition, info, false);
        GetTaskAction(definition, info);
        GetTaskSettings(definition, info);
        TVariantBool enabled = kVariantFalse;
        OleCheck(task->get_Enabled(enabled));
        info.TaskEnabled = enabled != kVariantFalse;
        OleCheck(principal->get_LogonType(info.LogonType));
        Trace("TTaskSchedulerInterfaces2.GetTaskInfo3 Leave");
    } catch (const std::exception& e) {
        LogStepFailure("GetTaskInfo3", e);
    }
}

std::shared_ptr<TTaskInfo> TTaskSchedulerInterfaces2::GetTaskInfo2(const std::string& name,
                                                                   const TPtr<ITaskFolder>& folder,
                                                                   TTaskInfoList* list,
                                                                   bool recursive) {
    std::shared_ptr<TTaskInfo> result;
    try {
        AppLog("TTaskSchedulerInterfaces2.GetTaskInfo2 : " + name);
        if (TPtr<IRegisteredTask> task = GetRegisteredTask(name, folder)) {
            auto info = std::make_shared<TTaskInfo>();
            OleCheck(folder->get_Path(info->General.Path));
            GetTaskInfo3(task, *info);
            if (list) list->push_back(info);
            result = info;
        }
        if ((recursive && !result) || list) {
            TPtr<ITaskFolderCollection> folders;
            OleCheck(Deref(folder).GetFolders(0, folders));
            int32_t count = 0;
            OleCheck(Deref(folders).get_Count(count));
            for (int32_t i = 1; i <= count; ++i) {
                TPtr<ITaskFolder> subfolder;
                OleCheck(folders->get_Item(i, subfolder));
                auto found = GetTaskInfo2(name, subfolder, list, recursive);
                if (found && !result) result = found;
                if (result && !list) break;
            }
        }
    } catch (const std::exception& e) {
        LogStepFailure("GetTaskInfo2", e);
        result.reset();
    }
    return result;
}

std::unique_ptr<TTaskInfo> TTaskSchedulerInterfaces2::GetTaskInfo1(const std::string& name,
                                                                   const std::string& folderPath,
                                                                   bool recursive) {
    try {
        AppLog("TTaskSchedulerInterfaces2.GetTaskInfo1 : " + name);
        TPtr<ITaskService> service;
        TPtr<ITaskFolder> folder;
        UpdateTaskFoler(service, folder, folderPath, true);
        if (!folder) return nullptr;
        std::shared_ptr<TTaskInfo> found = GetTaskInfo2(name, folder, nullptr, recursive);
        if (!found) return nullptr;
        return std::make_unique<TTaskInfo>(*found);
    } catch (const std::exception& e) {
        LogStepFailure("GetTaskInfo1", e);
        return nullptr;
    }
}

bool TTaskSchedulerInterfaces2::IsTaskExists(const std::string& name, const std::string& folderPath,
                                             bool recursive) {
    return GetTaskInfo1(name, folderPath, recursive) != nullptr;
}

bool TTaskSchedulerInterfaces2::GetTaskTrigger(const TPtr<ITaskDefinition>& definition,
                                               TTaskInfo& info, bool countOnly) {
    return RunStep("GetTaskTrigger", [&]() -> bool {
        Trace(std::string("TTaskSchedulerInterfaces2.GetTaskTrigger : ") +
              (countOnly ? "-1" : "0"));
        TPtr<ITriggerCollection> triggers;
        OleCheck(Deref(definition).get_Triggers(triggers));
        int32_t count = 0;
        OleCheck(Deref(triggers).get_Count(count));
        if (countOnly) return count > 0;
        bool any = false;
        // Last to first, so that the record's own trigger ends as the first one's values.
        for (int32_t item = count; item >= 1; --item) {
            TPtr<ITrigger> trigger;
            OleCheck(triggers->get_Item(item, trigger));
            ITrigger& base = Deref(trigger);
            // Each trigger starts from the defaults, so no value of a later trigger leaks in.
            TTaskTriger t;
            OleCheck(base.get_Type(t.TriggerType));
            TPtr<IRepetitionPattern> repetition;
            OleCheck(base.get_Repetition(repetition));
            TVariantBool flag = kVariantFalse;
            OleCheck(Deref(repetition).get_StopAtDurationEnd(flag));
            t.StopAtDurationEnd = flag != kVariantFalse;
            TBstr text;
            OleCheck(repetition->get_Interval(text));
            ReadMinutes(text, t.RepeatInterval);
            OleCheck(repetition->get_Duration(text));
            ReadMinutes(text, t.RepeatDuration);
            OleCheck(base.get_Enabled(flag));
            t.Enabled = flag != kVariantFalse;
            TBstr limit, start, end, delay;
            OleCheck(base.get_ExecutionTimeLimit(limit));
            OleCheck(base.get_StartBoundary(start));
            OleCheck(base.get_EndBoundary(end));
            switch (t.TriggerType) {
                case 2: {
                    TPtr<IDailyTrigger> daily;
                    OleCheck(base.QueryInterface(daily));
                    int16_t days = 0;
                    OleCheck(Deref(daily).get_DaysInterval(days));
                    info.DaysInterval = days;
                    break;
                }
                case 3: {
                    TPtr<IWeeklyTrigger> weekly;
                    OleCheck(base.QueryInterface(weekly));
                    int16_t days = 0, weeks = 0;
                    OleCheck(Deref(weekly).get_DaysOfWeek(days));
                    OleCheck(weekly->get_WeeksInterval(weeks));
                    info.DaysOfWeek = static_cast<uint16_t>(days);
                    info.WeeksInterval = weeks;
                    break;
                }
                case 4: {
                    TPtr<IMonthlyTrigger> monthly;
                    OleCheck(base.QueryInterface(monthly));
                    int16_t months = 0;
                    OleCheck(Deref(monthly).get_DaysOfMonth(info.DaysOfMonth));
                    OleCheck(monthly->get_MonthsOfYear(months));
                    info.MonthsOfYear = static_cast<uint16_t>(months);
                    break;
                }
                case 8: {
                    TPtr<IBootTrigger> boot;
                    OleCheck(base.QueryInterface(boot));
                    OleCheck(Deref(boot).get_Delay(delay));
                    break;
                }
                case 9: {
                    TPtr<ILogonTrigger> logon;
                    OleCheck(base.QueryInterface(logon));
                    OleCheck(Deref(logon).get_Delay(delay));
                    break;
                }
                default:
                    break;
            }
            if (!delay.empty()) t.Delay = DurationToSeconds(delay);
            if (!start.empty()) {
                t.StartBoundary = XmlToDateTime(start);
                t.StartBoundaryText = start;
                info.RunTime = t.StartBoundary;
            }
            if (!end.empty()) t.EndBoundary = XmlToDateTime(end);
            ReadMinutes(limit, t.ExecutionTimeLimit);
            info.Trigger = t;
            info.AddTrigger(t);
            any = true;
        }
        Trace("TTaskSchedulerInterfaces2.GetTaskTrigger Leave");
        return any;
    });
}

void TTaskSchedulerInterfaces2::GetTaskSettings(const TPtr<ITaskDefinition>& definition,
                                                TTaskInfo& info) {
    try {
        TPtr<ITaskSettings> settings;
        OleCheck(Deref(definition).get_Settings(settings));
        ITaskSettings& s = Deref(settings);
        TVariantBool flag = kVariantFalse;
        auto readFlag = [&flag](HResult hr, bool& field) {
            OleCheck(hr);
            field = flag != kVariantFalse;
        };
        readFlag(s.get_DisallowStartIfOnBatteries(flag), info.AllowStartOnBatteries);
        info.AllowStartOnBatteries = !info.AllowStartOnBatteries;
        readFlag(s.get_StopIfGoingOnBatteries(flag), info.StopIfGoingOnBatteries);
        readFlag(s.get_Enabled(flag), info.TaskEnabled);
        readFlag(s.get_Hidden(flag), info.General.Hidden);
        int32_t number = 0;
        OleCheck(s.get_Priority(number));
        info.Priority = static_cast<int16_t>(number);
        readFlag(s.get_RunOnlyIfIdle(flag), info.RunOnlyIfIdle);
        readFlag(s.get_WakeToRun(flag), info.WakeToRun);
        readFlag(s.get_AllowDemandStart(flag), info.AllowDemandStart);
        readFlag(s.get_StartWhenAvailable(flag), info.StartWhenAvailable);
        TBstr text;
        OleCheck(s.get_RestartInterval(text));
        ReadMinutes(text, info.RestartInterval);
        OleCheck(s.get_RestartCount(info.RestartCount));
        OleCheck(s.get_ExecutionTimeLimit(text));
        if (!text.empty()) info.ExecutionTimeLimitDays = DurationToSeconds(text) / 86400;
        readFlag(s.get_AllowHardTerminate(flag), info.AllowHardTerminate);
        OleCheck(s.get_MultipleInstances(info.MultipleInstances));
        TPtr<IIdleSettings> idle;
        OleCheck(s.get_IdleSettings(idle));
        OleCheck(Deref(idle).get_WaitTimeout(text));
        ReadMinutes(text, info.IdleWaitTimeout);
        readFlag(idle->get_StopOnIdleEnd(flag), info.StopOnIdleEnd);
        readFlag(idle->get_RestartOnIdle(flag), info.RestartOnIdle);
        OleCheck(idle->get_IdleDuration(text));
        ReadMinutes(text, info.IdleDuration);
        OleCheck(s.get_Compatibility(info.General.Compatibility));
    } catch (const std::exception& e) {
        LogStepFailure("GetTaskSettings", e);
    }
}

void TTaskSchedulerInterfaces2::GetTaskAction(const TPtr<ITaskDefinition>& definition,
                                              TTaskInfo& info) {
    try {
        Trace("TTaskSchedulerInterfaces2.GetTaskAction");
        TPtr<IActionCollection> actions;
        OleCheck(Deref(definition).get_Actions(actions));
        int32_t count = 0;
        OleCheck(Deref(actions).get_Count(count));
        for (int32_t item = count; item >= 1; --item) {
            Trace(std::to_string(count));
            Trace("pAction.QueryInterface");
            TPtr<IAction> action;
            OleCheck(actions->get_Item(item, action));
            TTaskAction a;
            OleCheck(Deref(action).get_Type(a.ActionType));
            if (a.ActionType == 0) {
                TPtr<IExecAction> exec;
                OleCheck(action->QueryInterface(exec));
                OleCheck(Deref(exec).get_Path(a.Path));
                OleCheck(exec->get_Arguments(a.Arguments));
                OleCheck(exec->get_WorkingDirectory(a.WorkingDirectory));
            } else if (a.ActionType == 7) {
                TPtr<IShowMessageAction> message;
                OleCheck(action->QueryInterface(message));
                OleCheck(Deref(message).get_Title(a.Title));
                OleCheck(message->get_MessageBody(a.MessageBody));
            }
            info.Action = a;
            info.AddAction(a);
        }
        Trace("TTaskSchedulerInterfaces2.GetTaskAction leave");
    } catch (const std::exception& e) {
        LogStepFailure("GetTaskAction", e);
    }
}

}  // namespace tasks
