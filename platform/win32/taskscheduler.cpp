// The Task Scheduler interfaces over the real COM objects: the COM library, the 2.0 service,
// folders, registered tasks and the definition's parts. Triggers and actions are in
// taskscheduler_triggers.cpp, the 1.0 objects in taskscheduler1.cpp.
#include "platform/taskscheduler_win32.h"

namespace platform {

using namespace comdetail;

namespace {

class TComRegistrationInfo : public IRegistrationInfo, TComHolder<::IRegistrationInfo> {
public:
    using TComHolder::TComHolder;
    LG_COM_BSTR(Author)
    LG_COM_BSTR(Description)
};

class TComPrincipal : public IPrincipal, TComHolder<::IPrincipal> {
public:
    using TComHolder::TComHolder;
    LG_COM_BSTR(UserId)
    LG_COM_VALUE(int32_t, TASK_RUNLEVEL_TYPE, RunLevel)
    LG_COM_VALUE(int32_t, TASK_LOGON_TYPE, LogonType)
};

class TComIdleSettings : public IIdleSettings, TComHolder<::IIdleSettings> {
public:
    using TComHolder::TComHolder;
    LG_COM_BSTR(WaitTimeout)
    LG_COM_BOOL(StopOnIdleEnd)
    LG_COM_BOOL(RestartOnIdle)
    LG_COM_BSTR(IdleDuration)
};

class TComTaskSettings : public ITaskSettings, TComHolder<::ITaskSettings> {
public:
    using TComHolder::TComHolder;
    LG_COM_BOOL(DisallowStartIfOnBatteries)
    LG_COM_BOOL(StopIfGoingOnBatteries)
    LG_COM_BOOL(Enabled)
    LG_COM_BOOL(Hidden)
    LG_COM_VALUE(int32_t, INT, Priority)
    LG_COM_BOOL(RunOnlyIfIdle)
    LG_COM_BOOL(WakeToRun)
    LG_COM_BOOL(AllowDemandStart)
    LG_COM_BOOL(StartWhenAvailable)
    LG_COM_BSTR(RestartInterval)
    LG_COM_VALUE(int32_t, INT, RestartCount)
    LG_COM_BSTR(ExecutionTimeLimit)
    LG_COM_BOOL(AllowHardTerminate)
    LG_COM_VALUE(int32_t, TASK_INSTANCES_POLICY, MultipleInstances)
    LG_COM_BSTR(DeleteExpiredTaskAfter)
    LG_COM_VALUE(int32_t, TASK_COMPATIBILITY, Compatibility)
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
    LG_COM_GET_BSTR(Name)
    LG_COM_GET_BSTR(Path)
    HResult get_Definition(TPtr<ITaskDefinition>& out) override {
        ::ITaskDefinition* com = nullptr;
        return Wrap<TComTaskDefinition>(FCom->get_Definition(&com), com, out);
    }
    LG_COM_BOOL(Enabled)
};

class TComTaskCollection : public IRegisteredTaskCollection,
                           TComHolder<::IRegisteredTaskCollection> {
public:
    using TComHolder::TComHolder;
    LG_COM_GET(int32_t, LONG, Count)
    HResult get_Item(int32_t index, TPtr<IRegisteredTask>& out) override {
        ::IRegisteredTask* com = nullptr;
        return Wrap<TComRegisteredTask>(FCom->get_Item(IndexVariant(index), &com), com, out);
    }
};

class TComTaskFolder;

class TComFolderCollection : public ITaskFolderCollection, TComHolder<::ITaskFolderCollection> {
public:
    using TComHolder::TComHolder;
    LG_COM_GET(int32_t, LONG, Count)
    HResult get_Item(int32_t index, TPtr<ITaskFolder>& out) override;
};

class TComTaskFolder : public ITaskFolder, TComHolder<::ITaskFolder> {
public:
    using TComHolder::TComHolder;
    LG_COM_GET_BSTR(Path)
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
