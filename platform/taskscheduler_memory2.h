// The in-memory Task Scheduler 2.0 objects (see taskscheduler_memory.h).
#pragma once
#include "platform/taskscheduler_memory.h"

namespace platform {

using TDefinitionData = std::shared_ptr<TStoredDefinition2>;

class TMemRegistrationInfo : public IRegistrationInfo, TMemoryObject {
public:
    TMemRegistrationInfo(std::shared_ptr<TMemoryTaskStore> s, TDefinitionData d)
        : TMemoryObject(std::move(s)), D(std::move(d)) {}
    LG_MEM_PROP("IRegistrationInfo", TBstr, Author, D->Author)
    LG_MEM_PROP("IRegistrationInfo", TBstr, Description, D->Description)
    TDefinitionData D;
};

class TMemPrincipal : public IPrincipal, TMemoryObject {
public:
    TMemPrincipal(std::shared_ptr<TMemoryTaskStore> s, TDefinitionData d)
        : TMemoryObject(std::move(s)), D(std::move(d)) {}
    LG_MEM_PROP("IPrincipal", TBstr, UserId, D->UserId)
    LG_MEM_PROP("IPrincipal", int32_t, RunLevel, D->RunLevel)
    LG_MEM_PROP("IPrincipal", int32_t, LogonType, D->LogonType)
    TDefinitionData D;
};

class TMemIdleSettings : public IIdleSettings, TMemoryObject {
public:
    TMemIdleSettings(std::shared_ptr<TMemoryTaskStore> s, TDefinitionData d)
        : TMemoryObject(std::move(s)), D(std::move(d)) {}
    LG_MEM_PROP("IIdleSettings", TBstr, WaitTimeout, D->WaitTimeout)
    LG_MEM_PROP("IIdleSettings", TVariantBool, StopOnIdleEnd, D->StopOnIdleEnd)
    LG_MEM_PROP("IIdleSettings", TVariantBool, RestartOnIdle, D->RestartOnIdle)
    LG_MEM_PROP("IIdleSettings", TBstr, IdleDuration, D->IdleDuration)
    TDefinitionData D;
};

class TMemTaskSettings : public ITaskSettings, TMemoryObject {
public:
    TMemTaskSettings(std::shared_ptr<TMemoryTaskStore> s, TDefinitionData d)
        : TMemoryObject(std::move(s)), D(std::move(d)) {}
    LG_MEM_PROP("ITaskSettings", TVariantBool, DisallowStartIfOnBatteries,
                D->DisallowStartIfOnBatteries)
    LG_MEM_PROP("ITaskSettings", TVariantBool, StopIfGoingOnBatteries, D->StopIfGoingOnBatteries)
    LG_MEM_PROP("ITaskSettings", TVariantBool, Enabled, D->Enabled)
    LG_MEM_PROP("ITaskSettings", TVariantBool, Hidden, D->Hidden)
    LG_MEM_PROP("ITaskSettings", int32_t, Priority, D->Priority)
    LG_MEM_PROP("ITaskSettings", TVariantBool, RunOnlyIfIdle, D->RunOnlyIfIdle)
    LG_MEM_PROP("ITaskSettings", TVariantBool, WakeToRun, D->WakeToRun)
    LG_MEM_PROP("ITaskSettings", TVariantBool, AllowDemandStart, D->AllowDemandStart)
    LG_MEM_PROP("ITaskSettings", TVariantBool, StartWhenAvailable, D->StartWhenAvailable)
    LG_MEM_PROP("ITaskSettings", TBstr, RestartInterval, D->RestartInterval)
    LG_MEM_PROP("ITaskSettings", int32_t, RestartCount, D->RestartCount)
    LG_MEM_PROP("ITaskSettings", TBstr, ExecutionTimeLimit, D->ExecutionTimeLimit)
    LG_MEM_PROP("ITaskSettings", TVariantBool, AllowHardTerminate, D->AllowHardTerminate)
    LG_MEM_PROP("ITaskSettings", int32_t, MultipleInstances, D->MultipleInstances)
    LG_MEM_PROP("ITaskSettings", TBstr, DeleteExpiredTaskAfter, D->DeleteExpiredTaskAfter)
    LG_MEM_PROP("ITaskSettings", int32_t, Compatibility, D->Compatibility)
    HResult get_IdleSettings(TPtr<IIdleSettings>& idle) override {
        idle.reset();
        if (HResult hr = Call("ITaskSettings.get_IdleSettings")) return hr;
        idle = std::make_shared<TMemIdleSettings>(FStore, D);
        return kSOk;
    }
    TDefinitionData D;
};

class TMemRepetition : public IRepetitionPattern, TMemoryObject {
public:
    TMemRepetition(std::shared_ptr<TMemoryTaskStore> s, TDefinitionData d, size_t i)
        : TMemoryObject(std::move(s)), D(std::move(d)), I(i) {}
    LG_MEM_PROP("IRepetitionPattern", TBstr, Interval, D->Triggers[I].Interval)
    LG_MEM_PROP("IRepetitionPattern", TBstr, Duration, D->Triggers[I].Duration)
    LG_MEM_PROP("IRepetitionPattern", TVariantBool, StopAtDurationEnd,
                D->Triggers[I].StopAtDurationEnd)
    TDefinitionData D;
    size_t I;
};

// One object answers every typed trigger interface; QueryInterface admits only its own kind.
class TMemTrigger : public ITimeTrigger,
                    public IDailyTrigger,
                    public IWeeklyTrigger,
                    public IMonthlyTrigger,
                    public IIdleTrigger,
                    public IRegistrationTrigger,
                    public IBootTrigger,
                    public ILogonTrigger,
                    public std::enable_shared_from_this<TMemTrigger>,
                    TMemoryObject {
public:
    TMemTrigger(std::shared_ptr<TMemoryTaskStore> s, TDefinitionData d, size_t i)
        : TMemoryObject(std::move(s)), D(std::move(d)), I(i) {}
    TStoredTrigger2& T() { return D->Triggers[I]; }

    HResult get_Type(int32_t& type) override {
        if (HResult hr = Call("ITrigger.get_Type")) return hr;
        type = T().Type;
        return kSOk;
    }
    HResult get_Repetition(TPtr<IRepetitionPattern>& repetition) override {
        repetition.reset();
        if (HResult hr = Call("ITrigger.get_Repetition")) return hr;
        repetition = std::make_shared<TMemRepetition>(FStore, D, I);
        return kSOk;
    }
    LG_MEM_PROP("ITrigger", TBstr, Id, T().Id)
    LG_MEM_PROP("ITrigger", TBstr, ExecutionTimeLimit, T().ExecutionTimeLimit)
    LG_MEM_PROP("ITrigger", TBstr, StartBoundary, T().StartBoundary)
    LG_MEM_PROP("ITrigger", TBstr, EndBoundary, T().EndBoundary)
    LG_MEM_PROP("ITrigger", TVariantBool, Enabled, T().Enabled)
    LG_MEM_PROP("IDailyTrigger", int16_t, DaysInterval, T().DaysInterval)
    LG_MEM_PROP("IWeeklyTrigger", int16_t, DaysOfWeek, T().DaysOfWeek)
    LG_MEM_PROP("IWeeklyTrigger", int16_t, WeeksInterval, T().WeeksInterval)
    LG_MEM_PROP("IMonthlyTrigger", int32_t, DaysOfMonth, T().DaysOfMonth)
    LG_MEM_PROP("IMonthlyTrigger", int16_t, MonthsOfYear, T().MonthsOfYear)
    // IBootTrigger and ILogonTrigger share the property.
    HResult get_Delay(TBstr& value) override {
        if (HResult hr = Call(DelayOwner("get_Delay").c_str())) return hr;
        value = T().Delay;
        return kSOk;
    }
    HResult put_Delay(const TBstr& value) override {
        if (HResult hr = Call(DelayOwner("put_Delay").c_str(), CallArg(value))) return hr;
        T().Delay = value;
        return kSOk;
    }
    LG_MEM_PROP("ILogonTrigger", TBstr, UserId, T().UserId)

    HResult QueryInterface(TPtr<ITimeTrigger>& t) override { return Query(t, 1, "ITimeTrigger"); }
    HResult QueryInterface(TPtr<IDailyTrigger>& t) override { return Query(t, 2, "IDailyTrigger"); }
    HResult QueryInterface(TPtr<IWeeklyTrigger>& t) override {
        return Query(t, 3, "IWeeklyTrigger");
    }
    HResult QueryInterface(TPtr<IMonthlyTrigger>& t) override {
        return Query(t, 4, "IMonthlyTrigger");
    }
    HResult QueryInterface(TPtr<IIdleTrigger>& t) override { return Query(t, 6, "IIdleTrigger"); }
    HResult QueryInterface(TPtr<IRegistrationTrigger>& t) override {
        return Query(t, 7, "IRegistrationTrigger");
    }
    HResult QueryInterface(TPtr<IBootTrigger>& t) override { return Query(t, 8, "IBootTrigger"); }
    HResult QueryInterface(TPtr<ILogonTrigger>& t) override { return Query(t, 9, "ILogonTrigger"); }

private:
    std::string DelayOwner(const char* method) {
        return std::string(T().Type == 8 ? "IBootTrigger." : "ILogonTrigger.") + method;
    }
    template <class I>
    HResult Query(TPtr<I>& out, int32_t kind, const char* name) {
        out.reset();
        if (HResult hr = Call("ITrigger.QueryInterface", name)) return hr;
        if (T().Type != kind) return kENoInterface;
        out = TPtr<I>(shared_from_this(), static_cast<I*>(this));
        return kSOk;
    }
    TDefinitionData D;
    size_t I;
};

class TMemTriggerCollection : public ITriggerCollection, TMemoryObject {
public:
    TMemTriggerCollection(std::shared_ptr<TMemoryTaskStore> s, TDefinitionData d)
        : TMemoryObject(std::move(s)), D(std::move(d)) {}
    HResult get_Count(int32_t& count) override {
        if (HResult hr = Call("ITriggerCollection.get_Count")) return hr;
        count = static_cast<int32_t>(D->Triggers.size());
        return kSOk;
    }
    HResult get_Item(int32_t index, TPtr<ITrigger>& trigger) override {
        trigger.reset();
        if (HResult hr = Call("ITriggerCollection.get_Item", CallArg(index))) return hr;
        if (index < 1 || index > static_cast<int32_t>(D->Triggers.size())) return kEInvalidArg;
        trigger = TPtr<ITimeTrigger>(std::make_shared<TMemTrigger>(FStore, D, index - 1));
        return kSOk;
    }
    HResult Create(int32_t type, TPtr<ITrigger>& trigger) override {
        trigger.reset();
        if (HResult hr = Call("ITriggerCollection.Create", CallArg(type))) return hr;
        if (type < 0 || type > 11) return kEInvalidArg;
        TStoredTrigger2 t;
        t.Type = type;
        D->Triggers.push_back(t);
        trigger =
            TPtr<ITimeTrigger>(std::make_shared<TMemTrigger>(FStore, D, D->Triggers.size() - 1));
        return kSOk;
    }
    TDefinitionData D;
};

class TMemAction : public IExecAction,
                   public IShowMessageAction,
                   public std::enable_shared_from_this<TMemAction>,
                   TMemoryObject {
public:
    TMemAction(std::shared_ptr<TMemoryTaskStore> s, TDefinitionData d, size_t i)
        : TMemoryObject(std::move(s)), D(std::move(d)), I(i) {}
    TStoredAction2& A() { return D->Actions[I]; }
    HResult get_Type(int32_t& type) override {
        if (HResult hr = Call("IAction.get_Type")) return hr;
        type = A().Type;
        return kSOk;
    }
    LG_MEM_PROP("IExecAction", TBstr, Path, A().Path)
    LG_MEM_PROP("IExecAction", TBstr, Arguments, A().Arguments)
    LG_MEM_PROP("IExecAction", TBstr, WorkingDirectory, A().WorkingDirectory)
    LG_MEM_PROP("IShowMessageAction", TBstr, Title, A().Title)
    LG_MEM_PROP("IShowMessageAction", TBstr, MessageBody, A().MessageBody)
    HResult QueryInterface(TPtr<IExecAction>& t) override { return Query(t, 0, "IExecAction"); }
    HResult QueryInterface(TPtr<IShowMessageAction>& t) override {
        return Query(t, 7, "IShowMessageAction");
    }

private:
    template <class I>
    HResult Query(TPtr<I>& out, int32_t kind, const char* name) {
        out.reset();
        if (HResult hr = Call("IAction.QueryInterface", name)) return hr;
        if (A().Type != kind) return kENoInterface;
        out = TPtr<I>(shared_from_this(), static_cast<I*>(this));
        return kSOk;
    }
    TDefinitionData D;
    size_t I;
};

class TMemActionCollection : public IActionCollection, TMemoryObject {
public:
    TMemActionCollection(std::shared_ptr<TMemoryTaskStore> s, TDefinitionData d)
        : TMemoryObject(std::move(s)), D(std::move(d)) {}
    HResult get_Count(int32_t& count) override {
        if (HResult hr = Call("IActionCollection.get_Count")) return hr;
        count = static_cast<int32_t>(D->Actions.size());
        return kSOk;
    }
    HResult get_Item(int32_t index, TPtr<IAction>& action) override {
        action.reset();
        if (HResult hr = Call("IActionCollection.get_Item", CallArg(index))) return hr;
        if (index < 1 || index > static_cast<int32_t>(D->Actions.size())) return kEInvalidArg;
        action = TPtr<IExecAction>(std::make_shared<TMemAction>(FStore, D, index - 1));
        return kSOk;
    }
    HResult Create(int32_t type, TPtr<IAction>& action) override {
        action.reset();
        if (HResult hr = Call("IActionCollection.Create", CallArg(type))) return hr;
        if (type != 0 && type != 5 && type != 6 && type != 7) return kEInvalidArg;
        TStoredAction2 a;
        a.Type = type;
        D->Actions.push_back(a);
        action = TPtr<IExecAction>(std::make_shared<TMemAction>(FStore, D, D->Actions.size() - 1));
        return kSOk;
    }
    TDefinitionData D;
};

class TMemTaskDefinition : public ITaskDefinition, TMemoryObject {
public:
    TMemTaskDefinition(std::shared_ptr<TMemoryTaskStore> s, TDefinitionData d)
        : TMemoryObject(std::move(s)), D(std::move(d)) {}
    HResult get_RegistrationInfo(TPtr<IRegistrationInfo>& out) override {
        return Get("ITaskDefinition.get_RegistrationInfo", out,
                   [&] { return std::make_shared<TMemRegistrationInfo>(FStore, D); });
    }
    HResult get_Triggers(TPtr<ITriggerCollection>& out) override {
        return Get("ITaskDefinition.get_Triggers", out,
                   [&] { return std::make_shared<TMemTriggerCollection>(FStore, D); });
    }
    HResult get_Settings(TPtr<ITaskSettings>& out) override {
        return Get("ITaskDefinition.get_Settings", out,
                   [&] { return std::make_shared<TMemTaskSettings>(FStore, D); });
    }
    HResult get_Principal(TPtr<IPrincipal>& out) override {
        return Get("ITaskDefinition.get_Principal", out,
                   [&] { return std::make_shared<TMemPrincipal>(FStore, D); });
    }
    HResult get_Actions(TPtr<IActionCollection>& out) override {
        return Get("ITaskDefinition.get_Actions", out,
                   [&] { return std::make_shared<TMemActionCollection>(FStore, D); });
    }
    TDefinitionData D;

private:
    template <class I, class F>
    HResult Get(const char* name, TPtr<I>& out, F make) {
        out.reset();
        if (HResult hr = Call(name)) return hr;
        out = make();
        return kSOk;
    }
};

class TMemRegisteredTask : public IRegisteredTask, TMemoryObject {
public:
    TMemRegisteredTask(std::shared_ptr<TMemoryTaskStore> s, std::string folder, std::string name)
        : TMemoryObject(std::move(s)), FFolder(std::move(folder)), FName(std::move(name)) {}
    HResult get_Name(TBstr& name) override {
        if (HResult hr = Call("IRegisteredTask.get_Name")) return hr;
        name = FName;
        return kSOk;
    }
    HResult get_Path(TBstr& path) override {
        if (HResult hr = Call("IRegisteredTask.get_Path")) return hr;
        path = (FFolder == "\\" ? "" : FFolder) + "\\" + FName;
        return kSOk;
    }
    HResult get_Definition(TPtr<ITaskDefinition>& definition) override {
        definition.reset();
        if (HResult hr = Call("IRegisteredTask.get_Definition")) return hr;
        TStoredTask2* task = FStore->FindTask(FFolder, FName);
        if (!task) return kEFileNotFound;
        // A copy, as the service hands out: changing it changes nothing until re-registered.
        definition = std::make_shared<TMemTaskDefinition>(
            FStore, std::make_shared<TStoredDefinition2>(task->Definition));
        return kSOk;
    }
    HResult get_Enabled(TVariantBool& value) override {
        if (HResult hr = Call("IRegisteredTask.get_Enabled")) return hr;
        TStoredTask2* task = FStore->FindTask(FFolder, FName);
        if (!task) return kEFileNotFound;
        value = task->Definition.Enabled;
        return kSOk;
    }
    HResult put_Enabled(const TVariantBool& value) override {
        if (HResult hr = Call("IRegisteredTask.put_Enabled", CallArg(value))) return hr;
        TStoredTask2* task = FStore->FindTask(FFolder, FName);
        if (!task) return kEFileNotFound;
        task->Definition.Enabled = value ? kVariantTrue : kVariantFalse;
        FStore->Commit();
        return kSOk;
    }

private:
    std::string FFolder, FName;
};

}  // namespace platform
