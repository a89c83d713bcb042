// The Task Scheduler interfaces over the real COM objects: the COM library, the 2.0 service,
// folders, registered tasks and the definition's parts. Triggers and actions are in
// taskscheduler_triggers.cpp, the 1.0 objects in taskscheduler1.cpp.
#include "platform/win32/taskscheduler_com.h"

namespace platform {

using namespace comdetail;

namespace {

class TComRegistrationInfo : public IRegistrationInfo, TComHolder<::IRegistrationInfo> {
public:
    using TComHolder::TComHolder;
    HResult get_Author(TBstr& value) override {
        return GetBstr(FCom, &::IRegistrationInfo::get_Author, value);
    }
    HResult put_Author(const TBstr& value) override {
        return PutBstr(FCom, &::IRegistrationInfo::put_Author, value);
    }
    HResult get_Description(TBstr& value) override {
        return GetBstr(FCom, &::IRegistrationInfo::get_Description, value);
    }
    HResult put_Description(const TBstr& value) override {
        return PutBstr(FCom, &::IRegistrationInfo::put_Description, value);
    }
};

class TComPrincipal : public IPrincipal, TComHolder<::IPrincipal> {
public:
    using TComHolder::TComHolder;
    HResult get_UserId(TBstr& value) override {
        return GetBstr(FCom, &::IPrincipal::get_UserId, value);
    }
    HResult put_UserId(const TBstr& value) override {
        return PutBstr(FCom, &::IPrincipal::put_UserId, value);
    }
    HResult get_RunLevel(int32_t& value) override {
        return GetValue<TASK_RUNLEVEL_TYPE>(FCom, &::IPrincipal::get_RunLevel, value);
    }
    HResult put_RunLevel(const int32_t& value) override {
        return PutValue<TASK_RUNLEVEL_TYPE>(FCom, &::IPrincipal::put_RunLevel, value);
    }
    HResult get_LogonType(int32_t& value) override {
        return GetValue<TASK_LOGON_TYPE>(FCom, &::IPrincipal::get_LogonType, value);
    }
    HResult put_LogonType(const int32_t& value) override {
        return PutValue<TASK_LOGON_TYPE>(FCom, &::IPrincipal::put_LogonType, value);
    }
};

class TComIdleSettings : public IIdleSettings, TComHolder<::IIdleSettings> {
public:
    using TComHolder::TComHolder;
    HResult get_WaitTimeout(TBstr& value) override {
        return GetBstr(FCom, &::IIdleSettings::get_WaitTimeout, value);
    }
    HResult put_WaitTimeout(const TBstr& value) override {
        return PutBstr(FCom, &::IIdleSettings::put_WaitTimeout, value);
    }
    HResult get_StopOnIdleEnd(TVariantBool& value) override {
        return GetValue<VARIANT_BOOL>(FCom, &::IIdleSettings::get_StopOnIdleEnd, value);
    }
    HResult put_StopOnIdleEnd(const TVariantBool& value) override {
        return PutValue<VARIANT_BOOL>(FCom, &::IIdleSettings::put_StopOnIdleEnd, value);
    }
    HResult get_RestartOnIdle(TVariantBool& value) override {
        return GetValue<VARIANT_BOOL>(FCom, &::IIdleSettings::get_RestartOnIdle, value);
    }
    HResult put_RestartOnIdle(const TVariantBool& value) override {
        return PutValue<VARIANT_BOOL>(FCom, &::IIdleSettings::put_RestartOnIdle, value);
    }
    HResult get_IdleDuration(TBstr& value) override {
        return GetBstr(FCom, &::IIdleSettings::get_IdleDuration, value);
    }
    HResult put_IdleDuration(const TBstr& value) override {
        return PutBstr(FCom, &::IIdleSettings::put_IdleDuration, value);
    }
};

class TComTaskSettings : public ITaskSettings, TComHolder<::ITaskSettings> {
public:
    using TComHolder::TComHolder;
    HResult get_DisallowStartIfOnBatteries(TVariantBool& value) override {
        return GetValue<VARIANT_BOOL>(FCom, &::ITaskSettings::get_DisallowStartIfOnBatteries,
                                      value);
    }
    HResult put_DisallowStartIfOnBatteries(const TVariantBool& value) override {
        return PutValue<VARIANT_BOOL>(FCom, &::ITaskSettings::put_DisallowStartIfOnBatteries,
                                      value);
    }
    HResult get_StopIfGoingOnBatteries(TVariantBool& value) override {
        return GetValue<VARIANT_BOOL>(FCom, &::ITaskSettings::get_StopIfGoingOnBatteries, value);
    }
    HResult put_StopIfGoingOnBatteries(const TVariantBool& value) override {
        return PutValue<VARIANT_BOOL>(FCom, &::ITaskSettings::put_StopIfGoingOnBatteries, value);
    }
    HResult get_Enabled(TVariantBool& value) override {
        return GetValue<VARIANT_BOOL>(FCom, &::ITaskSettings::get_Enabled, value);
    }
    HResult put_Enabled(const TVariantBool& value) override {
        return PutValue<VARIANT_BOOL>(FCom, &::ITaskSettings::put_Enabled, value);
    }
    HResult get_Hidden(TVariantBool& value) override {
        return GetValue<VARIANT_BOOL>(FCom, &::ITaskSettings::get_Hidden, value);
    }
    HResult put_Hidden(const TVariantBool& value) override {
        return PutValue<VARIANT_BOOL>(FCom, &::ITaskSettings::put_Hidden, value);
    }
    HResult get_Priority(int32_t& value) override {
        return GetValue<INT>(FCom, &::ITaskSettings::get_Priority, value);
    }
    HResult put_Priority(const int32_t& value) override {
        return PutValue<INT>(FCom, &::ITaskSettings::put_Priority, value);
    }
    HResult get_RunOnlyIfIdle(TVariantBool& value) override {
        return GetValue<VARIANT_BOOL>(FCom, &::ITaskSettings::get_RunOnlyIfIdle, value);
    }
    HResult put_RunOnlyIfIdle(const TVariantBool& value) override {
        return PutValue<VARIANT_BOOL>(FCom, &::ITaskSettings::put_RunOnlyIfIdle, value);
    }
    HResult get_WakeToRun(TVariantBool& value) override {
        return GetValue<VARIANT_BOOL>(FCom, &::ITaskSettings::get_WakeToRun, value);
    }
    HResult put_WakeToRun(const TVariantBool& value) override {
        return PutValue<VARIANT_BOOL>(FCom, &::ITaskSettings::put_WakeToRun, value);
    }
    HResult get_AllowDemandStart(TVariantBool& value) override {
        return GetValue<VARIANT_BOOL>(FCom, &::ITaskSettings::get_AllowDemandStart, value);
    }
    HResult put_AllowDemandStart(const TVariantBool& value) override {
        return PutValue<VARIANT_BOOL>(FCom, &::ITaskSettings::put_AllowDemandStart, value);
    }
    HResult get_StartWhenAvailable(TVariantBool& value) override {
        return GetValue<VARIANT_BOOL>(FCom, &::ITaskSettings::get_StartWhenAvailable, value);
    }
    HResult put_StartWhenAvailable(const TVariantBool& value) override {
        return PutValue<VARIANT_BOOL>(FCom, &::ITaskSettings::put_StartWhenAvailable, value);
    }
    HResult get_RestartInterval(TBstr& value) override {
        return GetBstr(FCom, &::ITaskSettings::get_RestartInterval, value);
    }
    HResult put_RestartInterval(const TBstr& value) override {
        return PutBstr(FCom, &::ITaskSettings::put_RestartInterval, value);
    }
    HResult get_RestartCount(int32_t& value) override {
        return GetValue<INT>(FCom, &::ITaskSettings::get_RestartCount, value);
    }
    HResult put_RestartCount(const int32_t& value) override {
        return PutValue<INT>(FCom, &::ITaskSettings::put_RestartCount, value);
    }
    HResult get_ExecutionTimeLimit(TBstr& value) override {
        return GetBstr(FCom, &::ITaskSettings::get_ExecutionTimeLimit, value);
    }
    HResult put_ExecutionTimeLimit(const TBstr& value) override {
        return PutBstr(FCom, &::ITaskSettings::put_ExecutionTimeLimit, value);
    }
    HResult get_AllowHardTerminate(TVariantBool& value) override {
        return GetValue<VARIANT_BOOL>(FCom, &::ITaskSettings::get_AllowHardTerminate, value);
    }
    HResult put_AllowHardTerminate(const TVariantBool& value) override {
        return PutValue<VARIANT_BOOL>(FCom, &::ITaskSettings::put_AllowHardTerminate, value);
    }
    HResult get_MultipleInstances(int32_t& value) override {
        return GetValue<TASK_INSTANCES_POLICY>(FCom, &::ITaskSettings::get_MultipleInstances,
                                               value);
    }
    HResult put_MultipleInstances(const int32_t& value) override {
        return PutValue<TASK_INSTANCES_POLICY>(FCom, &::ITaskSettings::put_MultipleInstances,
                                               value);
    }
    HResult get_DeleteExpiredTaskAfter(TBstr& value) override {
        return GetBstr(FCom, &::ITaskSettings::get_DeleteExpiredTaskAfter, value);
    }
    HResult put_DeleteExpiredTaskAfter(const TBstr& value) override {
        return PutBstr(FCom, &::ITaskSettings::put_DeleteExpiredTaskAfter, value);
    }
    HResult get_Compatibility(int32_t& value) override {
        return GetValue<TASK_COMPATIBILITY>(FCom, &::ITaskSettings::get_Compatibility, value);
    }
    HResult put_Compatibility(const int32_t& value) override {
        return PutValue<TASK_COMPATIBILITY>(FCom, &::ITaskSettings::put_Compatibility, value);
    }
    HResult get_IdleSettings(TPtr<IIdleSettings>& idle) override {
        ::IIdleSettings* com = nullptr;
        return Wrap<TComIdleSettings>(FCom->get_IdleSettings(&com), com, idle);
    }
};

class TComTaskDefinition : public ITaskDefinition, TComHolder<::ITaskDefinition> {
public:
    using TComHolder::TComHolder;
    ::ITaskDefinition* Com() const { return FCom; }
    HResult get_RegistrationInfo(TPtr<IRegistrationInfo>& out) override {
        ::IRegistrationInfo* com = nullptr;
        return Wrap<TComRegistrationInfo>(FCom->get_RegistrationInfo(&com), com, out);
    }
    HResult get_Triggers(TPtr<ITriggerCollection>& out) override {
        ::ITriggerCollection* com = nullptr;
        return WrapWith(FCom->get_Triggers(&com), com, out, WrapTriggerCollection);
    }
    HResult get_Settings(TPtr<ITaskSettings>& out) override {
        ::ITaskSettings* com = nullptr;
        return Wrap<TComTaskSettings>(FCom->get_Settings(&com), com, out);
    }
    HResult get_Principal(TPtr<IPrincipal>& out) override {
        ::IPrincipal* com = nullptr;
        return Wrap<TComPrincipal>(FCom->get_Principal(&com), com, out);
    }
    HResult get_Actions(TPtr<IActionCollection>& out) override {
        ::IActionCollection* com = nullptr;
        return WrapWith(FCom->get_Actions(&com), com, out, WrapActionCollection);
    }
};

class TComRegisteredTask : public IRegisteredTask, TComHolder<::IRegisteredTask> {
public:
    using TComHolder::TComHolder;
    HResult get_Name(TBstr& value) override {
        return GetBstr(FCom, &::IRegisteredTask::get_Name, value);
    }
    HResult get_Path(TBstr& value) override {
        return GetBstr(FCom, &::IRegisteredTask::get_Path, value);
    }
    HResult get_Definition(TPtr<ITaskDefinition>& out) override {
        ::ITaskDefinition* com = nullptr;
        return Wrap<TComTaskDefinition>(FCom->get_Definition(&com), com, out);
    }
    HResult get_Enabled(TVariantBool& value) override {
        return GetValue<VARIANT_BOOL>(FCom, &::IRegisteredTask::get_Enabled, value);
    }
    HResult put_Enabled(const TVariantBool& value) override {
        return PutValue<VARIANT_BOOL>(FCom, &::IRegisteredTask::put_Enabled, value);
    }
};

class TComTaskCollection : public IRegisteredTaskCollection,
                           TComHolder<::IRegisteredTaskCollection> {
public:
    using TComHolder::TComHolder;
    HResult get_Count(int32_t& value) override {
        return GetValue<LONG>(FCom, &::IRegisteredTaskCollection::get_Count, value);
    }
    HResult get_Item(int32_t index, TPtr<IRegisteredTask>& out) override {
        ::IRegisteredTask* com = nullptr;
        return Wrap<TComRegisteredTask>(FCom->get_Item(IndexVariant(index), &com), com, out);
    }
};

class TComTaskFolder;

class TComFolderCollection : public ITaskFolderCollection, TComHolder<::ITaskFolderCollection> {
public:
    using TComHolder::TComHolder;
    HResult get_Count(int32_t& value) override {
        return GetValue<LONG>(FCom, &::ITaskFolderCollection::get_Count, value);
    }
    HResult get_Item(int32_t index, TPtr<ITaskFolder>& out) override;
};

class TComTaskFolder : public ITaskFolder, TComHolder<::ITaskFolder> {
public:
    using TComHolder::TComHolder;
    HResult get_Path(TBstr& value) override {
        return GetBstr(FCom, &::ITaskFolder::get_Path, value);
    }
    HResult GetFolder(const TBstr& path, TPtr<ITaskFolder>& out) override {
        ::ITaskFolder* com = nullptr;
        return Wrap<TComTaskFolder>(FCom->GetFolder(TBstrArg(path), &com), com, out);
    }
    HResult GetFolders(int32_t flags, TPtr<ITaskFolderCollection>& out) override {
        ::ITaskFolderCollection* com = nullptr;
        return Wrap<TComFolderCollection>(FCom->GetFolders(flags, &com), com, out);
    }
    HResult CreateFolder(const TBstr& name, const TVariant& sddl, TPtr<ITaskFolder>& out) override {
        ::ITaskFolder* com = nullptr;
        TVariantArg sd(sddl);
        return Wrap<TComTaskFolder>(FCom->CreateFolder(TBstrArg(name), sd, &com), com, out);
    }
    HResult DeleteFolder(const TBstr& name, int32_t flags) override {
        return FCom->DeleteFolder(TBstrArg(name), flags);
    }
    HResult GetTasks(int32_t flags, TPtr<IRegisteredTaskCollection>& out) override {
        ::IRegisteredTaskCollection* com = nullptr;
        return Wrap<TComTaskCollection>(FCom->GetTasks(flags, &com), com, out);
    }
    HResult DeleteTask(const TBstr& name, int32_t flags) override {
        return FCom->DeleteTask(TBstrArg(name), flags);
    }
    HResult RegisterTaskDefinition(const TBstr& path, const TPtr<ITaskDefinition>& definition,
                                   int32_t flags, const TVariant& userId, const TVariant& password,
                                   int32_t logonType, const TVariant& sddl,
                                   TPtr<IRegisteredTask>& out) override {
        auto* def = dynamic_cast<TComTaskDefinition*>(definition.get());
        if (!def) return E_INVALIDARG;
        TVariantArg user(userId), pass(password), sd(sddl);
        ::IRegisteredTask* com = nullptr;
        HRESULT hr =
            FCom->RegisterTaskDefinition(TBstrArg(path), def->Com(), flags, user, pass,
                                         static_cast<TASK_LOGON_TYPE>(logonType), sd, &com);
        return Wrap<TComRegisteredTask>(hr, com, out);
    }
};

HResult TComFolderCollection::get_Item(int32_t index, TPtr<ITaskFolder>& out) {
    ::ITaskFolder* com = nullptr;
    return Wrap<TComTaskFolder>(FCom->get_Item(IndexVariant(index), &com), com, out);
}

class TComTaskService : public ITaskService, TComHolder<::ITaskService> {
public:
    using TComHolder::TComHolder;
    HResult Connect(const TVariant& server, const TVariant& user, const TVariant& domain,
                    const TVariant& password) override {
        TVariantArg s(server), u(user), d(domain), p(password);
        return FCom->Connect(s, u, d, p);
    }
    HResult GetFolder(const TBstr& path, TPtr<ITaskFolder>& out) override {
        ::ITaskFolder* com = nullptr;
        return Wrap<TComTaskFolder>(FCom->GetFolder(TBstrArg(path), &com), com, out);
    }
    HResult NewTask(uint32_t flags, TPtr<ITaskDefinition>& out) override {
        ::ITaskDefinition* com = nullptr;
        return Wrap<TComTaskDefinition>(FCom->NewTask(flags, &com), com, out);
    }
};

class TComTaskSchedulerPlatform : public ITaskSchedulerPlatform {
public:
    HResult CoInitializeEx(int32_t coInit) override {
        return ::CoInitializeEx(nullptr, static_cast<DWORD>(coInit));
    }
    HResult CoInitializeSecurity(int32_t authnServices, int32_t authnLevel, int32_t impLevel,
                                 int32_t capabilities) override {
        return ::CoInitializeSecurity(nullptr, authnServices, nullptr, nullptr,
                                      static_cast<DWORD>(authnLevel), static_cast<DWORD>(impLevel),
                                      nullptr, static_cast<DWORD>(capabilities), nullptr);
    }
    void CoUninitialize() override { ::CoUninitialize(); }
    HResult CoCreateInstance(TPtr<ITaskService>& service) override {
        ::ITaskService* com = nullptr;
        HRESULT hr = ::CoCreateInstance(kClsidTaskScheduler, nullptr, CLSCTX_INPROC_SERVER,
                                        kIidTaskService, reinterpret_cast<void**>(&com));
        return Wrap<TComTaskService>(hr, com, service);
    }
    HResult CoCreateInstance(TPtr<platform::ITaskScheduler>& scheduler) override {
        ::ITaskScheduler* com = nullptr;
        HRESULT hr = ::CoCreateInstance(kClsidCTaskScheduler, nullptr, CLSCTX_INPROC_SERVER,
                                        kIidTaskScheduler1, reinterpret_cast<void**>(&com));
        return WrapWith(hr, com, scheduler, WrapTaskScheduler);
    }
    void DescribeError(HResult hr, std::string& message, std::string& source) override {
        message.clear();
        source.clear();
        IErrorInfo* info = nullptr;
        if (::GetErrorInfo(0, &info) == S_OK && info) {
            BSTR text = nullptr;
            if (SUCCEEDED(info->GetDescription(&text))) message = TakeBstr(text);
            text = nullptr;
            if (SUCCEEDED(info->GetSource(&text))) source = TakeBstr(text);
            info->Release();
        }
        if (message.empty()) {
            wchar_t* buffer = nullptr;
            DWORD length =
                FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                   FORMAT_MESSAGE_IGNORE_INSERTS,
                               nullptr, static_cast<DWORD>(hr), 0,
                               reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
            if (length && buffer) message = Narrow(buffer, length);
            if (buffer) LocalFree(buffer);
        }
        // The system's texts end with a full stop and a line break; the log line goes on.
        while (!message.empty() &&
               (static_cast<unsigned char>(message.back()) <= ' ' || message.back() == '.'))
            message.pop_back();
        if (message.empty()) {
            char text[32];
            wsprintfA(text, "OLE error %08X", static_cast<unsigned>(hr));
            message = text;
        }
    }
    std::string BackendName() override { return "com"; }
};

}  // namespace

ITaskSchedulerPlatform& RealTaskSchedulerPlatform() {
    static TComTaskSchedulerPlatform real;
    return real;
}

}  // namespace platform
