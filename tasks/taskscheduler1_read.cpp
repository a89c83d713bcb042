// Task Scheduler 1.0 adapter: the trigger record, and reading a work item back.
#include "platform/text.h"
#include "tasks/taskdates.h"
#include "tasks/taskerrors.h"
#include "tasks/tasklog.h"
#include "tasks/taskscheduler1.h"
#include "tasks/taskscheduler1_internal.h"

namespace tasks {

using namespace platform;

namespace {

void SetBegin(TTaskTriggerRecord& r, TDateTime value, bool withDate) {
    TDateParts p = DecodeDateTime(value);
    if (withDate) {
        r.BeginYear = static_cast<uint16_t>(p.Year);
        r.BeginMonth = static_cast<uint16_t>(p.Month);
        r.BeginDay = static_cast<uint16_t>(p.Day);
    }
    r.StartHour = static_cast<uint16_t>(p.Hour);
    r.StartMinute = static_cast<uint16_t>(p.Minute);
}

// A date the record does not hold (no end date: all zero) reads as "not set".
TDateTime RecordDate(uint16_t year, uint16_t month, uint16_t day, uint16_t hour, uint16_t minute) {
    if (!IsValidDate(year, month, day) || hour > 23 || minute > 59) return 0;
    return EncodeDateTime(year, month, day, hour, minute, 0, 0);
}

}  // namespace

uint32_t MaxRunTimeOf(int32_t days) {
    if (days < 1) return 0xFFFFFFFFu;
    uint64_t ms = static_cast<uint64_t>(days) * 86400000u;
    return ms >= 0xFFFFFFFFu ? 0xFFFFFFFEu : static_cast<uint32_t>(ms);
}

TTaskTriggerRecord BuildTriggerRecord(const TTaskInfo& info, const TSystemTime& now) {
    TTaskTriggerRecord r;
    r.TriggerSize = kTaskTriggerSize;
    r.BeginYear = static_cast<uint16_t>(now.Year);
    r.BeginMonth = static_cast<uint16_t>(now.Month);
    r.BeginDay = static_cast<uint16_t>(now.Day);
    r.StartHour = static_cast<uint16_t>(now.Hour);
    r.StartMinute = static_cast<uint16_t>(now.Minute);
    if (info.Trigger.StartBoundary != 0) SetBegin(r, info.Trigger.StartBoundary, true);
    if (info.Trigger.EndBoundary != 0) {
        TDateParts end = DecodeDateTime(info.Trigger.EndBoundary);
        r.EndYear = static_cast<uint16_t>(end.Year);
        r.EndMonth = static_cast<uint16_t>(end.Month);
        r.EndDay = static_cast<uint16_t>(end.Day);
    }
    r.TriggerType = info.TriggerTypeV1;
    switch (info.TriggerTypeV1) {
        case 0:  // once
            SetBegin(r, info.RunTime, true);
            break;
        case 1:  // daily
            r.StartHour = static_cast<uint16_t>(info.StartHour);
            r.StartMinute = static_cast<uint16_t>(info.StartMinute);
            r.SetTypeWord(0, static_cast<uint16_t>(info.DaysInterval));
            break;
        case 2:  // weekly
            r.StartHour = static_cast<uint16_t>(info.StartHour);
            r.StartMinute = static_cast<uint16_t>(info.StartMinute);
            r.SetTypeWord(0, static_cast<uint16_t>(info.WeeksInterval));
            r.SetTypeWord(1, static_cast<uint16_t>(info.DaysOfWeek));
            break;
        case 3:  // monthly by date
            SetBegin(r, info.RunTime, true);
            r.SetTypeDword(static_cast<uint32_t>(info.DaysOfMonth));
            r.SetTypeWord(2, static_cast<uint16_t>(info.MonthsOfYear));
            break;
        default:  // 4 monthly by day of week, 5 idle, 6 system start, 7 logon: nothing more
            break;
    }
    return r;
}

std::unique_ptr<TTaskInfo> TTaskSchedulerInterfaces1::GetTaskInfo(const std::string& name) {
    try {
        Trace("TTaskSchedulerInterfaces1.GetTaskInfo : " + name);
        TPtr<ITaskScheduler> scheduler = IniTaskScheduler();
        if (!scheduler) return nullptr;
        std::string fullName = name;
        if (fullName.size() < 4 || !SameText(fullName.substr(fullName.size() - 4), ".job"))
            fullName += ".job";
        TPtr<ITask> task;
        HResult hr = scheduler->Activate(fullName, task);
        Trace("TaskScheduler.Activate " + kFullWidthColon + " " + Hex8(hr));
        if (Failed(hr) || !task) return nullptr;

        auto info = std::make_unique<TTaskInfo>();
        uint32_t flags = 0;
        OleCheck(task->GetFlags(flags));
        info->TaskEnabled = (flags & kTaskFlagDisabled) == 0;
        info->General.Name = fullName;
        info->General.Path.clear();
        Trace("vTask.GetCreator : " + Hex8(task->GetCreator(info->General.Author)));
        Trace("vTask.GetComment : " + Hex8(task->GetComment(info->General.Description)));
        Trace("vTask.GetAccountInformation : " +
              Hex8(task->GetAccountInformation(info->General.UserId)));
        info->General.Hidden = (flags & kTaskFlagHidden) != 0;

        uint16_t idle = 0, deadline = 0, count = 0;
        OleCheck(task->GetIdleWait(idle, deadline));
        OleCheck(task->GetTriggerCount(count));
        Trace("vTask.GetTriggerCount : " + std::to_string(count));
        TTaskTriggerRecord last;
        bool haveLast = false;
        for (int index = count - 1; index >= 0; --index) {
            TPtr<ITaskTrigger> trigger;
            hr = task->GetTrigger(static_cast<uint16_t>(index), trigger);
            Trace("TaskScheduler.Activate " + kFullWidthColon + " " + Hex8(hr));
            if (Failed(hr) || !trigger) continue;
            TTaskTriggerRecord r;
            OleCheck(trigger->GetTrigger(r));
            TTaskTriger t;
            t.TriggerType = static_cast<int32_t>(r.TriggerType);
            t.Delay = idle * 60;
            t.IdleDeadline = deadline;
            t.RepeatInterval = static_cast<int32_t>(r.MinutesInterval);
            t.RepeatDuration = static_cast<int32_t>(r.MinutesDuration);
            t.StopAtDurationEnd = (r.Flags & 0x2) != 0;
            t.StartBoundary =
                RecordDate(r.BeginYear, r.BeginMonth, r.BeginDay, r.StartHour, r.StartMinute);
            t.EndBoundary = RecordDate(r.EndYear, r.EndMonth, r.EndDay, r.StartHour, r.StartMinute);
            info->Trigger = t;
            info->AddTrigger(t);
            last = r;
            haveLast = true;
        }

        Trace("vTask.GetApplicationName : " + Hex8(task->GetApplicationName(info->Action.Path)));
        Trace("vTask.GetParameters : " + Hex8(task->GetParameters(info->Action.Arguments)));
        Trace("vTask.GetWorkingDirectory : " +
              Hex8(task->GetWorkingDirectory(info->Action.WorkingDirectory)));

        info->AllowStartOnBatteries = (flags & kTaskFlagDontStartIfOnBatteries) == 0;
        info->StopIfGoingOnBatteries = (flags & kTaskFlagKillIfGoingOnBatteries) != 0;
        info->StopOnIdleEnd = (flags & kTaskFlagKillOnIdleEnd) != 0;
        info->WakeToRun = (flags & kTaskFlagSystemRequired) != 0;
        info->DeleteWhenDone = (flags & kTaskFlagDeleteWhenDone) != 0;
        info->IdleDuration = idle;
        info->IdleWaitTimeout = deadline;
        uint32_t maxRunTime = 0;
        OleCheck(task->GetMaxRunTime(maxRunTime));
        // 0xFFFFFFFF is "no limit", which the record says with 0.
        info->ExecutionTimeLimitDays =
            maxRunTime == 0xFFFFFFFFu ? 0 : static_cast<int32_t>(maxRunTime / 86400000u);

        if (haveLast) {
            info->TriggerTypeV1 = static_cast<uint8_t>(last.TriggerType);
            if (last.TriggerType == 1) {
                info->DaysInterval = last.TypeWord(0);
            } else if (last.TriggerType == 2) {
                info->WeeksInterval = last.TypeWord(0);
                info->DaysOfWeek = last.TypeWord(1);
            } else if (last.TriggerType == 3) {
                info->DaysOfMonth = static_cast<int32_t>(last.TypeDword());
                info->MonthsOfYear = last.TypeWord(2);
            }
            info->RunTime = RecordDate(last.BeginYear, last.BeginMonth, last.BeginDay,
                                       last.StartHour, last.StartMinute);
        }
        info->AddAction(info->Action);
        Trace("TTaskSchedulerInterfaces1.GetTaskInfo Leave");
        return info;
    } catch (const std::exception& e) {
        LogFailure1("GetTaskInfo", e);
        return nullptr;
    }
}

}  // namespace tasks
