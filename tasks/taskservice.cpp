// The task functions over the process-wide adapter.
#include "tasks/taskservice.h"

#include "platform/sysinfo.h"
#include "tasks/taskerrors.h"
#include "tasks/tasklog.h"

namespace tasks {

bool UseTaskScheduler2 = false;

namespace {

std::unique_ptr<TTaskSchedulerInterfaces2> gAdapter2;
std::unique_ptr<TTaskSchedulerInterfaces1> gAdapter1;

bool IsMissing(const char* text) {
    return text == nullptr || *text == '\0';
}

// 1.0 trigger numbering to 2.0: once, daily, weekly, monthly by date, monthly by day of week,
// idle, system start, logon.
int32_t TriggerTypeV1ToV2(int32_t type) {
    static const int32_t map[] = {1, 2, 3, 4, 5, 6, 8, 9};
    return type >= 0 && type <= 7 ? map[type] : type;
}

}  // namespace

bool IsTaskScheduler2Available() {
    platform::TOsVersion v = platform::SystemInfo().OsVersion();
    if (v.PlatformId != 2) return false;
    return (v.Major == 6 && v.Minor <= 4) || v.Major == 10;
}

void CreateTaskAdapter() {
    FreeTaskAdapter();
    if (UseTaskScheduler2)
        gAdapter2 = std::make_unique<TTaskSchedulerInterfaces2>();
    else
        gAdapter1 = std::make_unique<TTaskSchedulerInterfaces1>();
}

void FreeTaskAdapter() {
    gAdapter2.reset();
    gAdapter1.reset();
}

TTaskSchedulerInterfaces2* TaskAdapter2() {
    return gAdapter2.get();
}
TTaskSchedulerInterfaces1* TaskAdapter1() {
    return gAdapter1.get();
}

int IsTaskExists(const char* taskName, const std::string& folder) {
    AppLog("IsTaskExists");
    if (!CheckTaskServices()) {
        AppLog("CheckTaskServices False");
        return 1;
    }
    if (IsMissing(taskName)) {
        AppLog("taskName is nil");
        return 1;
    }
    bool found = false;
    if (UseTaskScheduler2) {
        if (gAdapter2) found = gAdapter2->IsTaskExists(taskName, folder, false);
    } else if (gAdapter1) {
        found = gAdapter1->TaskIsExists(taskName);
    }
    AppLog(std::string("IsTaskExists Leave : ") + taskName + "_" + (found ? "-1" : "0"));
    return found ? 0 : 1;
}

int IsTaskEnabled(const std::string& taskName, const std::string& folder) {
    std::unique_ptr<TTaskInfo> info = GetTaskInfo(taskName, folder, false);
    if (!info) return 1;
    return info->TaskEnabled ? 0 : 1;
}

std::unique_ptr<TTaskInfo> GetTaskInfo(const std::string& taskName, const std::string& folder,
                                       bool recursive) {
    if (!CheckTaskServices()) return nullptr;
    std::unique_ptr<TTaskInfo> info;
    if (UseTaskScheduler2) {
        if (gAdapter2) info = gAdapter2->GetTaskInfo1(taskName, folder, recursive);
    } else if (gAdapter1) {
        info = gAdapter1->GetTaskInfo(taskName);
        if (info) {
            info->Trigger.TriggerType = TriggerTypeV1ToV2(info->Trigger.TriggerType);
            for (auto& trigger : info->Triggers)
                trigger.TriggerType = TriggerTypeV1ToV2(trigger.TriggerType);
        }
    }
    if (info) SplitStartTime(*info);
    return info;
}

int CreateNewTask_OnLogonEx(const char* taskName, const char* appPath, const char* params,
                            int32_t delayMinutes, int32_t delaySeconds, TTaskInfo* info) {
    Trace("CreateNewTask_OnLogonEx");
    int result = 1;
    if (!CheckTaskServices() || IsMissing(taskName)) return 1;
    std::unique_ptr<TTaskInfo> own;
    if (!info) {
        own = std::make_unique<TTaskInfo>();
        info = own.get();
    }
    info->General.Name = taskName;
    info->Action.Path = appPath ? appPath : "";
    info->Action.Arguments = params ? params : "";
    if (delayMinutes >= 0 && delayMinutes < 60 && delaySeconds >= 0 && delaySeconds < 60)
        info->Trigger.Delay = delayMinutes * 60 + delaySeconds;
    if (UseTaskScheduler2) {
        info->Trigger.TriggerType = 9;  // at logon
        if (gAdapter2 && gAdapter2->CreateTask(*info, false)) result = 0;
    } else {
        info->TriggerTypeV1 = 7;  // at logon
        if (gAdapter1 && gAdapter1->CreateNewTask(*info, false)) result = 0;
    }
    Trace("CreateNewTask_OnLogonEx Leave : " + Hex8(static_cast<uint32_t>(result)));
    return result;
}

int SetTaskEnable(const std::string& taskName, bool enable, const std::string& folder) {
    if (!CheckTaskServices()) return 1;
    bool done = false;
    if (UseTaskScheduler2) {
        if (gAdapter2) done = gAdapter2->SetTaskEnable(taskName, folder, enable);
    } else if (gAdapter1) {
        done = gAdapter1->SetTaskEnable(taskName, enable);
    }
    return done ? 0 : 1;
}

int DeleteTask(const char* taskName, const std::string& folder) {
    if (!CheckTaskServices() || IsMissing(taskName)) return 1;
    bool done = false;
    if (UseTaskScheduler2) {
        if (gAdapter2) done = gAdapter2->DeleteTask(taskName, folder);
    } else if (gAdapter1) {
        done = gAdapter1->DeleteTask(taskName);
    }
    return done ? 0 : 1;
}

}  // namespace tasks
