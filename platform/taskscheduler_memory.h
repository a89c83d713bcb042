// An implementation of the Task Scheduler interfaces over plain records held in memory. The
// Linux stand-in persists its store as files; the tests' recording fake watches and refuses
// calls through the store's OnCall hook. The behaviour follows the real service where our code
// depends on it: names and folders are found without regard to case, a missing task or folder
// is ERROR_FILE_NOT_FOUND, registering over an existing task needs the update flag, a 1.0 work
// item is only stored when it is saved.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/taskscheduler.h"
#include "platform/text.h"

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
inline std::string NormalizeTaskFolderPath(std::string path) {
    std::string out;
    for (char c : path) {
        if (c == '/') c = '\\';
        if (c == '\\' && !out.empty() && out.back() == '\\') continue;
        out += c;
    }
    if (out.empty() || out[0] != '\\') out.insert(out.begin(), '\\');
    if (out.size() > 1 && out.back() == '\\') out.pop_back();
    return out;
}

inline std::string ParentTaskFolderPath(const std::string& path) {
    size_t cut = path.rfind('\\');
    return cut == 0 || cut == std::string::npos ? "\\" : path.substr(0, cut);
}

// Work items are named with or without their ".job" extension.
inline std::string WorkItemBaseName(const std::string& name) {
    if (name.size() >= 4 && SameText(name.substr(name.size() - 4), ".job"))
        return name.substr(0, name.size() - 4);
    return name;
}

class TMemoryTaskStore {
public:
    virtual ~TMemoryTaskStore() = default;
    // Every interface call passes here first with its name ("ITaskFolder.GetFolder") and its
    // arguments as text; a failure code refuses the call before it has any effect.
    virtual HResult OnCall(const std::string& call, const std::string& args) {
        (void)call;
        (void)args;
        return kSOk;
    }
    virtual void Load() {}    // re-read persisted state (a new scheduler object was created)
    virtual void Commit() {}  // persist after a change
    virtual void DescribeError(HResult hr, std::string& message, std::string& source) {
        source.clear();
        switch (static_cast<uint32_t>(hr)) {
            case 0x80070002u:
                message = "The system cannot find the file specified";
                break;
            case 0x80070050u:
                message = "The file exists";
                break;
            case 0x800700B7u:
                message = "Cannot create a file when that file already exists";
                break;
            case 0x80070057u:
                message = "The parameter is incorrect";
                break;
            case 0x80004002u:
                message = "No such interface supported";
                break;
            case 0x80004001u:
                message = "Not implemented";
                break;
            case 0x80070005u:
                message = "Access is denied";
                break;
            default:
                message = "Unspecified error";
        }
    }
    virtual std::string BackendName() { return "memory"; }

    std::string DefaultUser;  // the principal a task registered without a user runs as
    std::vector<TStoredFolder2> Folders{TStoredFolder2{"\\", {}}};
    std::vector<TStoredWorkItem1> WorkItems;

    TStoredFolder2* FindFolder(const std::string& path) {
        std::string want = NormalizeTaskFolderPath(path);
        for (auto& folder : Folders)
            if (SameText(folder.Path, want)) return &folder;
        return nullptr;
    }
    TStoredTask2* FindTask(const std::string& folderPath, const std::string& name) {
        TStoredFolder2* folder = FindFolder(folderPath);
        if (!folder) return nullptr;
        for (auto& task : folder->Tasks)
            if (SameText(task.Name, name)) return &task;
        return nullptr;
    }
    TStoredWorkItem1* FindWorkItem(const std::string& name) {
        std::string base = WorkItemBaseName(name);
        for (auto& item : WorkItems)
            if (SameText(item.Name, base)) return &item;
        return nullptr;
    }
};

// Call arguments as the recording shows them: texts quoted, VT_NULL as null.
inline std::string CallArg(const std::string& text) {
    return "\"" + text + "\"";
}
inline std::string CallArg(const TVariant& v) {
    return v.IsNull ? "null" : CallArg(v.Text);
}
inline std::string CallArg(int64_t value) {
    return std::to_string(value);
}
inline std::string CallArg(int32_t value) {
    return std::to_string(value);
}
inline std::string CallArg(int16_t value) {
    return std::to_string(value);
}
inline std::string CallArg(uint32_t value) {
    return std::to_string(value);
}
inline std::string CallArg(uint16_t value) {
    return std::to_string(value);
}

// Base of every in-memory object: one store, and the hook every call passes through.
class TMemoryObject {
public:
    explicit TMemoryObject(std::shared_ptr<TMemoryTaskStore> store) : FStore(std::move(store)) {}

protected:
    HResult Call(const std::string& name, const std::string& args = {}) {
        return FStore->OnCall(name, args);
    }
    std::shared_ptr<TMemoryTaskStore> FStore;
};

// A property kept in a field reached by an expression, both directions through the hook.
#define LG_MEM_PROP(IFACE, T, N, FIELD)                                     \
    HResult get_##N(T& value) override {                                    \
        if (HResult hr = Call(IFACE ".get_" #N)) return hr;                 \
        value = FIELD;                                                      \
        return kSOk;                                                        \
    }                                                                       \
    HResult put_##N(const T& value) override {                              \
        if (HResult hr = Call(IFACE ".put_" #N, CallArg(value))) return hr; \
        FIELD = value;                                                      \
        return kSOk;                                                        \
    }

}  // namespace platform
