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

// A trigger or an action: record I of one list of the definition, whose type decides which
// typed interfaces QueryInterface admits. Self is the object handed out, `face` its interface's
// name in the recording.
template <class Self, class TStored, std::vector<TStored> TStoredDefinition2::*List>
class TMemListItem : public std::enable_shared_from_this<Self>, protected TMemoryObject {
public:
    using TRecord = TStored;
    static std::vector<TStored>& ListOf(TStoredDefinition2& d) { return d.*List; }

protected:
    TMemListItem(std::shared_ptr<TMemoryTaskStore> s, TDefinitionData d, size_t i, const char* face)
        : TMemoryObject(std::move(s)), D(std::move(d)), I(i), FFace(face) {}
    TStored& Record() { return ListOf(*D)[I]; }
    HResult GetType(int32_t& type) {
        if (HResult hr = Call(FFace + ".get_Type")) return hr;
        type = Record().Type;
        return kSOk;
    }
    template <class TTyped>
    HResult Query(TPtr<TTyped>& out, int32_t kind, const char* name) {
        out.reset();
        if (HResult hr = Call(FFace + ".QueryInterface", name)) return hr;
        if (Record().Type != kind) return kENoInterface;
        out =
            TPtr<TTyped>(this->shared_from_this(), static_cast<TTyped*>(static_cast<Self*>(this)));
        return kSOk;
    }
    TDefinitionData D;
    size_t I;

private:
    std::string FFace;
};

// A view of one list of the definition: items 1 … count are handed out as TItem; Create appends
// a record of a type the platform admits.
template <class ICollection, class IItem, class TItem>
class TMemItemCollection : public ICollection, TMemoryObject {
public:
    HResult get_Count(int32_t& count) override {
        if (HResult hr = Call(FFace + ".get_Count")) return hr;
        count = static_cast<int32_t>(List().size());
        return kSOk;
    }
    HResult get_Item(int32_t index, TPtr<IItem>& item) override {
        item.reset();
        if (HResult hr = Call(FFace + ".get_Item", CallArg(index))) return hr;
        if (index < 1 || index > static_cast<int32_t>(List().size())) return kEInvalidArg;
        item = std::make_shared<TItem>(FStore, D, index - 1);
        return kSOk;
    }
    HResult Create(int32_t type, TPtr<IItem>& item) override {
        item.reset();
        if (HResult hr = Call(FFace + ".Create", CallArg(type))) return hr;
        if (!FAdmits(type)) return kEInvalidArg;
        typename TItem::TRecord record;
        record.Type = type;
        List().push_back(record);
        item = std::make_shared<TItem>(FStore, D, List().size() - 1);
        return kSOk;
    }

protected:
    TMemItemCollection(std::shared_ptr<TMemoryTaskStore> s, TDefinitionData d, const char* face,
                       bool (*admits)(int32_t))
        : TMemoryObject(std::move(s)), D(std::move(d)), FFace(face), FAdmits(admits) {}

private:
    auto& List() { return TItem::ListOf(*D); }
    TDefinitionData D;
    std::string FFace;
    bool (*FAdmits)(int32_t);
};

// One object answers every typed trigger interface; QueryInterface admits only its own kind.
class TMemTrigger
    : public ITimeTrigger,
      public IDailyTrigger,
      public IWeeklyTrigger,
      public IMonthlyTrigger,
      public IIdleTrigger,
      public IRegistrationTrigger,
      public IBootTrigger,
      public ILogonTrigger,
      public TMemListItem<TMemTrigger, TStoredTrigger2, &TStoredDefinition2::Triggers> {
public:
    TMemTrigger(std::shared_ptr<TMemoryTaskStore> s, TDefinitionData d, size_t i)
        : TMemListItem(std::move(s), std::move(d), i, "ITrigger") {}
    TStoredTrigger2& T() { return Record(); }

    HResult get_Type(int32_t& type) override { return GetType(type); }
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
        if (HResult hr = Call(DelayOwner("get_Delay"))) return hr;
        value = T().Delay;
        return kSOk;
    }
    HResult put_Delay(const TBstr& value) override {
        if (HResult hr = Call(DelayOwner("put_Delay"), CallArg(value))) return hr;
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
};

class TMemTriggerCollection : public TMemItemCollection<ITriggerCollection, ITrigger, TMemTrigger> {
public:
    TMemTriggerCollection(std::shared_ptr<TMemoryTaskStore> s, TDefinitionData d)
        : TMemItemCollection(std::move(s), std::move(d), "ITriggerCollection",
                             [](int32_t type) { return type >= 0 && type <= 11; }) {}
};

class TMemAction : public IExecAction,
                   public IShowMessageAction,
                   public TMemListItem<TMemAction, TStoredAction2, &TStoredDefinition2::Actions> {
public:
    TMemAction(std::shared_ptr<TMemoryTaskStore> s, TDefinitionData d, size_t i)
        : TMemListItem(std::move(s), std::move(d), i, "IAction") {}
    TStoredAction2& A() { return Record(); }
    HResult get_Type(int32_t& type) override { return GetType(type); }
    LG_MEM_PROP("IExecAction", TBstr, Path, A().Path)
    LG_MEM_PROP("IExecAction", TBstr, Arguments, A().Arguments)
    LG_MEM_PROP("IExecAction", TBstr, WorkingDirectory, A().WorkingDirectory)
    LG_MEM_PROP("IShowMessageAction", TBstr, Title, A().Title)
    LG_MEM_PROP("IShowMessageAction", TBstr, MessageBody, A().MessageBody)
    HResult QueryInterface(TPtr<IExecAction>& t) override { return Query(t, 0, "IExecAction"); }
    HResult QueryInterface(TPtr<IShowMessageAction>& t) override {
        return Query(t, 7, "IShowMessageAction");
    }
};

class TMemActionCollection : public TMemItemCollection<IActionCollection, IAction, TMemAction> {
public:
    TMemActionCollection(std::shared_ptr<TMemoryTaskStore> s, TDefinitionData d)
        : TMemItemCollection(std::move(s), std::move(d), "IActionCollection", [](int32_t type) {
              return type == 0 || type == 5 || type == 6 || type == 7;
          }) {}
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
