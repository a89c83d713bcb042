// The Task Scheduler's COM interfaces (2.0: ITaskService and its family; 1.0: ITaskScheduler,
// ITask, ITaskTrigger, IPersistFile) under their platform names, as abstract C++ classes. Every
// method answers an HRESULT like the COM method it mirrors, so the task code sees exactly what
// the platform refused. Objects are handed out as shared pointers (release = reset).
//
// Value conventions: texts (BSTR) are UTF-8 here and converted at the COM boundary;
// VARIANT_BOOL is a 16-bit value (true -1, false 0); an optional VARIANT is TVariant, null
// (VT_NULL) or a text; the 1.0 trigger is the 48-byte TASK_TRIGGER record.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "platform/taskscheduler_trigger1.h"

namespace platform {

using HResult = int32_t;
using TBstr = std::string;
using TVariantBool = int16_t;
template <class T>
using TPtr = std::shared_ptr<T>;

inline constexpr TVariantBool kVariantTrue = -1;
inline constexpr TVariantBool kVariantFalse = 0;
inline TVariantBool ToVariantBool(bool value) {
    return value ? kVariantTrue : kVariantFalse;
}

inline constexpr HResult HResultOf(uint32_t code) {
    return static_cast<HResult>(code);
}
inline constexpr HResult kSOk = 0;
inline constexpr HResult kSFalse = 1;
inline constexpr HResult kENotImpl = HResultOf(0x80004001u);
inline constexpr HResult kENoInterface = HResultOf(0x80004002u);
inline constexpr HResult kEPointer = HResultOf(0x80004003u);
inline constexpr HResult kEFail = HResultOf(0x80004005u);
inline constexpr HResult kEAccessDenied = HResultOf(0x80070005u);
inline constexpr HResult kEInvalidArg = HResultOf(0x80070057u);
inline constexpr HResult kEFileNotFound = HResultOf(0x80070002u);   // ERROR_FILE_NOT_FOUND
inline constexpr HResult kEFileExists = HResultOf(0x80070050u);     // ERROR_FILE_EXISTS
inline constexpr HResult kEAlreadyExists = HResultOf(0x800700B7u);  // ERROR_ALREADY_EXISTS
inline bool Failed(HResult hr) {
    return hr < 0;
}
inline bool Succeeded(HResult hr) {
    return hr >= 0;
}

// An optional VARIANT argument: VT_NULL, or a BSTR.
struct TVariant {
    bool IsNull = true;
    std::string Text;
    static TVariant Null() { return {}; }
    static TVariant Str(std::string text) { return {false, std::move(text)}; }
};

// ---- Task Scheduler 2.0 ------------------------------------------------------------------

class ITaskFolder;
class ITaskFolderCollection;
class IRegisteredTask;
class IRegisteredTaskCollection;
class ITaskDefinition;
class IRegistrationInfo;
class IPrincipal;
class ITaskSettings;
class IIdleSettings;
class ITriggerCollection;
class ITrigger;
class IRepetitionPattern;
class ITimeTrigger;
class IDailyTrigger;
class IWeeklyTrigger;
class IMonthlyTrigger;
class IIdleTrigger;
class IRegistrationTrigger;
class IBootTrigger;
class ILogonTrigger;
class IActionCollection;
class IAction;
class IExecAction;
class IShowMessageAction;

class ITaskService {
public:
    virtual ~ITaskService() = default;
    virtual HResult Connect(const TVariant& server, const TVariant& user, const TVariant& domain,
                            const TVariant& password) = 0;
    virtual HResult GetFolder(const TBstr& path, TPtr<ITaskFolder>& folder) = 0;
    virtual HResult NewTask(uint32_t flags, TPtr<ITaskDefinition>& definition) = 0;
};

class ITaskFolder {
public:
    virtual ~ITaskFolder() = default;
    virtual HResult get_Path(TBstr& path) = 0;
    virtual HResult GetFolder(const TBstr& path, TPtr<ITaskFolder>& folder) = 0;
    virtual HResult GetFolders(int32_t flags, TPtr<ITaskFolderCollection>& folders) = 0;
    virtual HResult CreateFolder(const TBstr& name, const TVariant& sddl,
                                 TPtr<ITaskFolder>& folder) = 0;
    virtual HResult DeleteFolder(const TBstr& name, int32_t flags) = 0;
    virtual HResult GetTasks(int32_t flags, TPtr<IRegisteredTaskCollection>& tasks) = 0;
    virtual HResult DeleteTask(const TBstr& name, int32_t flags) = 0;
    virtual HResult RegisterTaskDefinition(const TBstr& path,
                                           const TPtr<ITaskDefinition>& definition, int32_t flags,
                                           const TVariant& userId, const TVariant& password,
                                           int32_t logonType, const TVariant& sddl,
                                           TPtr<IRegisteredTask>& task) = 0;
};

class ITaskFolderCollection {
public:
    virtual ~ITaskFolderCollection() = default;
    virtual HResult get_Count(int32_t& count) = 0;
    virtual HResult get_Item(int32_t index, TPtr<ITaskFolder>& folder) = 0;  // 1 … count
};

class IRegisteredTaskCollection {
public:
    virtual ~IRegisteredTaskCollection() = default;
    virtual HResult get_Count(int32_t& count) = 0;
    virtual HResult get_Item(int32_t index, TPtr<IRegisteredTask>& task) = 0;  // 1 … count
};

class IRegisteredTask {
public:
    virtual ~IRegisteredTask() = default;
    virtual HResult get_Name(TBstr& name) = 0;
    virtual HResult get_Path(TBstr& path) = 0;
    virtual HResult get_Definition(TPtr<ITaskDefinition>& definition) = 0;
    virtual HResult get_Enabled(TVariantBool& value) = 0;
    virtual HResult put_Enabled(const TVariantBool& value) = 0;
};

class ITaskDefinition {
public:
    virtual ~ITaskDefinition() = default;
    virtual HResult get_RegistrationInfo(TPtr<IRegistrationInfo>& info) = 0;
    virtual HResult get_Triggers(TPtr<ITriggerCollection>& triggers) = 0;
    virtual HResult get_Settings(TPtr<ITaskSettings>& settings) = 0;
    virtual HResult get_Principal(TPtr<IPrincipal>& principal) = 0;
    virtual HResult get_Actions(TPtr<IActionCollection>& actions) = 0;
};

class IRegistrationInfo {
public:
    virtual ~IRegistrationInfo() = default;
    virtual HResult get_Author(TBstr& value) = 0;
    virtual HResult put_Author(const TBstr& value) = 0;
    virtual HResult get_Description(TBstr& value) = 0;
    virtual HResult put_Description(const TBstr& value) = 0;
};

class IPrincipal {
public:
    virtual ~IPrincipal() = default;
    virtual HResult get_UserId(TBstr& value) = 0;
    virtual HResult put_UserId(const TBstr& value) = 0;
    virtual HResult get_RunLevel(int32_t& value) = 0;
    virtual HResult put_RunLevel(const int32_t& value) = 0;
    virtual HResult get_LogonType(int32_t& value) = 0;
    virtual HResult put_LogonType(const int32_t& value) = 0;
};

class ITaskSettings {
public:
    virtual ~ITaskSettings() = default;
    virtual HResult get_DisallowStartIfOnBatteries(TVariantBool& value) = 0;
    virtual HResult put_DisallowStartIfOnBatteries(const TVariantBool& value) = 0;
    virtual HResult get_StopIfGoingOnBatteries(TVariantBool& value) = 0;
    virtual HResult put_StopIfGoingOnBatteries(const TVariantBool& value) = 0;
    virtual HResult get_Enabled(TVariantBool& value) = 0;
    virtual HResult put_Enabled(const TVariantBool& value) = 0;
    virtual HResult get_Hidden(TVariantBool& value) = 0;
    virtual HResult put_Hidden(const TVariantBool& value) = 0;
    virtual HResult get_Priority(int32_t& value) = 0;
    virtual HResult put_Priority(const int32_t& value) = 0;
    virtual HResult get_RunOnlyIfIdle(TVariantBool& value) = 0;
    virtual HResult put_RunOnlyIfIdle(const TVariantBool& value) = 0;
    virtual HResult get_WakeToRun(TVariantBool& value) = 0;
    virtual HResult put_WakeToRun(const TVariantBool& value) = 0;
    virtual HResult get_AllowDemandStart(TVariantBool& value) = 0;
    virtual HResult put_AllowDemandStart(const TVariantBool& value) = 0;
    virtual HResult get_StartWhenAvailable(TVariantBool& value) = 0;
    virtual HResult put_StartWhenAvailable(const TVariantBool& value) = 0;
    virtual HResult get_RestartInterval(TBstr& value) = 0;
    virtual HResult put_RestartInterval(const TBstr& value) = 0;
    virtual HResult get_RestartCount(int32_t& value) = 0;
    virtual HResult put_RestartCount(const int32_t& value) = 0;
    virtual HResult get_ExecutionTimeLimit(TBstr& value) = 0;
    virtual HResult put_ExecutionTimeLimit(const TBstr& value) = 0;
    virtual HResult get_AllowHardTerminate(TVariantBool& value) = 0;
    virtual HResult put_AllowHardTerminate(const TVariantBool& value) = 0;
    virtual HResult get_MultipleInstances(int32_t& value) = 0;
    virtual HResult put_MultipleInstances(const int32_t& value) = 0;
    virtual HResult get_DeleteExpiredTaskAfter(TBstr& value) = 0;
    virtual HResult put_DeleteExpiredTaskAfter(const TBstr& value) = 0;
    virtual HResult get_Compatibility(int32_t& value) = 0;
    virtual HResult put_Compatibility(const int32_t& value) = 0;
    virtual HResult get_IdleSettings(TPtr<IIdleSettings>& idle) = 0;
};

class IIdleSettings {
public:
    virtual ~IIdleSettings() = default;
    virtual HResult get_WaitTimeout(TBstr& value) = 0;
    virtual HResult put_WaitTimeout(const TBstr& value) = 0;
    virtual HResult get_StopOnIdleEnd(TVariantBool& value) = 0;
    virtual HResult put_StopOnIdleEnd(const TVariantBool& value) = 0;
    virtual HResult get_RestartOnIdle(TVariantBool& value) = 0;
    virtual HResult put_RestartOnIdle(const TVariantBool& value) = 0;
    virtual HResult get_IdleDuration(TBstr& value) = 0;
    virtual HResult put_IdleDuration(const TBstr& value) = 0;
};

class ITriggerCollection {
public:
    virtual ~ITriggerCollection() = default;
    virtual HResult get_Count(int32_t& count) = 0;
    virtual HResult get_Item(int32_t index, TPtr<ITrigger>& trigger) = 0;  // 1 … count
    virtual HResult Create(int32_t type, TPtr<ITrigger>& trigger) = 0;
};

class IRepetitionPattern {
public:
    virtual ~IRepetitionPattern() = default;
    virtual HResult get_Interval(TBstr& value) = 0;
    virtual HResult put_Interval(const TBstr& value) = 0;
    virtual HResult get_Duration(TBstr& value) = 0;
    virtual HResult put_Duration(const TBstr& value) = 0;
    virtual HResult get_StopAtDurationEnd(TVariantBool& value) = 0;
    virtual HResult put_StopAtDurationEnd(const TVariantBool& value) = 0;
};

class ITrigger {
public:
    virtual ~ITrigger() = default;
    virtual HResult get_Type(int32_t& type) = 0;
    virtual HResult get_Id(TBstr& value) = 0;
    virtual HResult put_Id(const TBstr& value) = 0;
    virtual HResult get_Repetition(TPtr<IRepetitionPattern>& repetition) = 0;
    virtual HResult get_ExecutionTimeLimit(TBstr& value) = 0;
    virtual HResult put_ExecutionTimeLimit(const TBstr& value) = 0;
    virtual HResult get_StartBoundary(TBstr& value) = 0;
    virtual HResult put_StartBoundary(const TBstr& value) = 0;
    virtual HResult get_EndBoundary(TBstr& value) = 0;
    virtual HResult put_EndBoundary(const TBstr& value) = 0;
    virtual HResult get_Enabled(TVariantBool& value) = 0;
    virtual HResult put_Enabled(const TVariantBool& value) = 0;
    // QueryInterface for the typed triggers; E_NOINTERFACE when the trigger is of another kind.
    virtual HResult QueryInterface(TPtr<ITimeTrigger>& typed) = 0;
    virtual HResult QueryInterface(TPtr<IDailyTrigger>& typed) = 0;
    virtual HResult QueryInterface(TPtr<IWeeklyTrigger>& typed) = 0;
    virtual HResult QueryInterface(TPtr<IMonthlyTrigger>& typed) = 0;
    virtual HResult QueryInterface(TPtr<IIdleTrigger>& typed) = 0;
    virtual HResult QueryInterface(TPtr<IRegistrationTrigger>& typed) = 0;
    virtual HResult QueryInterface(TPtr<IBootTrigger>& typed) = 0;
    virtual HResult QueryInterface(TPtr<ILogonTrigger>& typed) = 0;
};

class ITimeTrigger : public virtual ITrigger {};
class IDailyTrigger : public virtual ITrigger {
public:
    virtual HResult get_DaysInterval(int16_t& value) = 0;
    virtual HResult put_DaysInterval(const int16_t& value) = 0;
};
class IWeeklyTrigger : public virtual ITrigger {
public:
    virtual HResult get_DaysOfWeek(int16_t& value) = 0;
    virtual HResult put_DaysOfWeek(const int16_t& value) = 0;
    virtual HResult get_WeeksInterval(int16_t& value) = 0;
    virtual HResult put_WeeksInterval(const int16_t& value) = 0;
};
class IMonthlyTrigger : public virtual ITrigger {
public:
    virtual HResult get_DaysOfMonth(int32_t& value) = 0;
    virtual HResult put_DaysOfMonth(const int32_t& value) = 0;
    virtual HResult get_MonthsOfYear(int16_t& value) = 0;
    virtual HResult put_MonthsOfYear(const int16_t& value) = 0;
};
class IIdleTrigger : public virtual ITrigger {};
class IRegistrationTrigger : public virtual ITrigger {};
class IBootTrigger : public virtual ITrigger {
public:
    virtual HResult get_Delay(TBstr& value) = 0;
    virtual HResult put_Delay(const TBstr& value) = 0;
};
class ILogonTrigger : public virtual ITrigger {
public:
    virtual HResult get_Delay(TBstr& value) = 0;
    virtual HResult put_Delay(const TBstr& value) = 0;
    virtual HResult get_UserId(TBstr& value) = 0;
    virtual HResult put_UserId(const TBstr& value) = 0;
};

class IActionCollection {
public:
    virtual ~IActionCollection() = default;
    virtual HResult get_Count(int32_t& count) = 0;
    virtual HResult get_Item(int32_t index, TPtr<IAction>& action) = 0;  // 1 … count
    virtual HResult Create(int32_t type, TPtr<IAction>& action) = 0;
};

class IAction {
public:
    virtual ~IAction() = default;
    virtual HResult get_Type(int32_t& type) = 0;
    virtual HResult QueryInterface(TPtr<IExecAction>& typed) = 0;
    virtual HResult QueryInterface(TPtr<IShowMessageAction>& typed) = 0;
};

class IExecAction : public virtual IAction {
public:
    virtual HResult get_Path(TBstr& value) = 0;
    virtual HResult put_Path(const TBstr& value) = 0;
    virtual HResult get_Arguments(TBstr& value) = 0;
    virtual HResult put_Arguments(const TBstr& value) = 0;
    virtual HResult get_WorkingDirectory(TBstr& value) = 0;
    virtual HResult put_WorkingDirectory(const TBstr& value) = 0;
};

class IShowMessageAction : public virtual IAction {
public:
    virtual HResult get_Title(TBstr& value) = 0;
    virtual HResult put_Title(const TBstr& value) = 0;
    virtual HResult get_MessageBody(TBstr& value) = 0;
    virtual HResult put_MessageBody(const TBstr& value) = 0;
};

// ---- Task Scheduler 1.0 ------------------------------------------------------------------

class IPersistFile {
public:
    virtual ~IPersistFile() = default;
    virtual HResult Save(const TVariant& fileName, bool remember) = 0;
};

class ITaskTrigger {
public:
    virtual ~ITaskTrigger() = default;
    virtual HResult SetTrigger(const TTaskTriggerRecord& trigger) = 0;
    virtual HResult GetTrigger(TTaskTriggerRecord& trigger) = 0;
};

class ITask {
public:
    virtual ~ITask() = default;
    virtual HResult CreateTrigger(uint16_t& index, TPtr<ITaskTrigger>& trigger) = 0;
    virtual HResult GetTriggerCount(uint16_t& count) = 0;
    virtual HResult GetTrigger(uint16_t index, TPtr<ITaskTrigger>& trigger) = 0;
    virtual HResult SetIdleWait(uint16_t idleMinutes, uint16_t deadlineMinutes) = 0;
    virtual HResult GetIdleWait(uint16_t& idleMinutes, uint16_t& deadlineMinutes) = 0;
    virtual HResult SetComment(const TBstr& comment) = 0;
    virtual HResult GetComment(TBstr& comment) = 0;
    virtual HResult SetCreator(const TBstr& creator) = 0;
    virtual HResult GetCreator(TBstr& creator) = 0;
    virtual HResult SetFlags(uint32_t flags) = 0;
    virtual HResult GetFlags(uint32_t& flags) = 0;
    virtual HResult SetAccountInformation(const TBstr& account, const TVariant& password) = 0;
    virtual HResult GetAccountInformation(TBstr& account) = 0;
    virtual HResult SetApplicationName(const TBstr& name) = 0;
    virtual HResult GetApplicationName(TBstr& name) = 0;
    virtual HResult SetParameters(const TBstr& parameters) = 0;
    virtual HResult GetParameters(TBstr& parameters) = 0;
    virtual HResult SetWorkingDirectory(const TBstr& folder) = 0;
    virtual HResult GetWorkingDirectory(TBstr& folder) = 0;
    virtual HResult SetPriority(uint32_t priority) = 0;
    virtual HResult GetPriority(uint32_t& priority) = 0;
    virtual HResult SetMaxRunTime(uint32_t milliseconds) = 0;
    virtual HResult GetMaxRunTime(uint32_t& milliseconds) = 0;
    virtual HResult QueryInterface(TPtr<IPersistFile>& file) = 0;
};

class ITaskScheduler {
public:
    virtual ~ITaskScheduler() = default;
    virtual HResult Activate(const TBstr& name, TPtr<ITask>& task) = 0;
    virtual HResult Delete(const TBstr& name) = 0;
    virtual HResult NewWorkItem(const TBstr& name, TPtr<ITask>& task) = 0;
};

// ---- COM library ---------------------------------------------------------------------------

class ITaskSchedulerPlatform {
public:
    virtual ~ITaskSchedulerPlatform() = default;
    virtual HResult CoInitializeEx(int32_t coInit) = 0;
    virtual HResult CoInitializeSecurity(int32_t authnServices, int32_t authnLevel,
                                         int32_t impLevel, int32_t capabilities) = 0;
    virtual void CoUninitialize() = 0;
    // CoCreateInstance of class TaskScheduler (2.0) and CTaskScheduler (1.0), in-process.
    virtual HResult CoCreateInstance(TPtr<ITaskService>& service) = 0;
    virtual HResult CoCreateInstance(TPtr<ITaskScheduler>& scheduler) = 0;
    // The description and source of a refusal the calling thread just received (the COM error
    // object when there is one, else the system's text for the code; the source may be empty).
    virtual void DescribeError(HResult hr, std::string& message, std::string& source) = 0;
    // "com" for the real Windows objects, "files" for the Linux stand-in, tests name theirs.
    virtual std::string BackendName() = 0;
};

ITaskSchedulerPlatform& TaskSchedulerPlatform();
void SetTaskSchedulerPlatform(ITaskSchedulerPlatform* platform);  // nullptr: the real one again
ITaskSchedulerPlatform& RealTaskSchedulerPlatform();

}  // namespace platform
