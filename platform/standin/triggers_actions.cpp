// The two lists of a 2.0 definition in memory, triggers and actions: their collections and
// their items. One item object answers every typed interface of its list, and QueryInterface
// admits only the one its record's type names, as the service does.
#include "platform/standin/objects.h"

namespace platform::standin {

namespace {

// Record I of one list of the definition. Self is the object handed out, FFace its
// interface's name in the recording.
template <class Self, class TStored, std::vector<TStored> TStoredDefinition2::*List>
class TMemListItem : public std::enable_shared_from_this<Self>, protected TMemoryObject {
public:
    using TRecord = TStored;
    static std::vector<TStored>& ListOf(TStoredDefinition2& d) { return d.*List; }

protected:
    TMemListItem(TStore s, TDefinitionData d, size_t i, const char* face)
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
    TMemItemCollection(TStore s, TDefinitionData d, const char* face, bool (*admits)(int32_t))
        : TMemoryObject(std::move(s)), D(std::move(d)), FFace(face), FAdmits(admits) {}
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

private:
    auto& List() { return TItem::ListOf(*D); }
    TDefinitionData D;
    std::string FFace;
    bool (*FAdmits)(int32_t);
};

class TMemRepetition : public IRepetitionPattern, TMemoryObject {
public:
    TMemRepetition(TStore s, TDefinitionData d, size_t i)
        : TMemoryObject(std::move(s)), D(std::move(d)), I(i) {}
    HResult get_Interval(TBstr& value) override {
        return Get("IRepetitionPattern.get_Interval", T().Interval, value);
    }
    HResult put_Interval(const TBstr& value) override {
        return Put("IRepetitionPattern.put_Interval", T().Interval, value);
    }
    HResult get_Duration(TBstr& value) override {
        return Get("IRepetitionPattern.get_Duration", T().Duration, value);
    }
    HResult put_Duration(const TBstr& value) override {
        return Put("IRepetitionPattern.put_Duration", T().Duration, value);
    }
    HResult get_StopAtDurationEnd(TVariantBool& value) override {
        return Get("IRepetitionPattern.get_StopAtDurationEnd", T().StopAtDurationEnd, value);
    }
    HResult put_StopAtDurationEnd(const TVariantBool& value) override {
        return Put("IRepetitionPattern.put_StopAtDurationEnd", T().StopAtDurationEnd, value);
    }

private:
    TStoredTrigger2& T() { return D->Triggers[I]; }
    TDefinitionData D;
    size_t I;
};

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
    TMemTrigger(TStore s, TDefinitionData d, size_t i)
        : TMemListItem(std::move(s), std::move(d), i, "ITrigger") {}

    HResult get_Type(int32_t& type) override { return GetType(type); }
    HResult get_Repetition(TPtr<IRepetitionPattern>& repetition) override {
        return HandOut("ITrigger.get_Repetition", {}, repetition,
                       [&] { return std::make_shared<TMemRepetition>(FStore, D, I); });
    }
    HResult get_Id(TBstr& value) override { return Get("ITrigger.get_Id", T().Id, value); }
    HResult put_Id(const TBstr& value) override { return Put("ITrigger.put_Id", T().Id, value); }
    HResult get_ExecutionTimeLimit(TBstr& value) override {
        return Get("ITrigger.get_ExecutionTimeLimit", T().ExecutionTimeLimit, value);
    }
    HResult put_ExecutionTimeLimit(const TBstr& value) override {
        return Put("ITrigger.put_ExecutionTimeLimit", T().ExecutionTimeLimit, value);
    }
    HResult get_StartBoundary(TBstr& value) override {
        return Get("ITrigger.get_StartBoundary", T().StartBoundary, value);
    }
    HResult put_StartBoundary(const TBstr& value) override {
        return Put("ITrigger.put_StartBoundary", T().StartBoundary, value);
    }
    HResult get_EndBoundary(TBstr& value) override {
        return Get("ITrigger.get_EndBoundary", T().EndBoundary, value);
    }
    HResult put_EndBoundary(const TBstr& value) override {
        return Put("ITrigger.put_EndBoundary", T().EndBoundary, value);
    }
    HResult get_Enabled(TVariantBool& value) override {
        return Get("ITrigger.get_Enabled", T().Enabled, value);
    }
    HResult put_Enabled(const TVariantBool& value) override {
        return Put("ITrigger.put_Enabled", T().Enabled, value);
    }
    HResult get_DaysInterval(int16_t& value) override {
        return Get("IDailyTrigger.get_DaysInterval", T().DaysInterval, value);
    }
    HResult put_DaysInterval(const int16_t& value) override {
        return Put("IDailyTrigger.put_DaysInterval", T().DaysInterval, value);
    }
    HResult get_DaysOfWeek(int16_t& value) override {
        return Get("IWeeklyTrigger.get_DaysOfWeek", T().DaysOfWeek, value);
    }
    HResult put_DaysOfWeek(const int16_t& value) override {
        return Put("IWeeklyTrigger.put_DaysOfWeek", T().DaysOfWeek, value);
    }
    HResult get_WeeksInterval(int16_t& value) override {
        return Get("IWeeklyTrigger.get_WeeksInterval", T().WeeksInterval, value);
    }
    HResult put_WeeksInterval(const int16_t& value) override {
        return Put("IWeeklyTrigger.put_WeeksInterval", T().WeeksInterval, value);
    }
    HResult get_DaysOfMonth(int32_t& value) override {
        return Get("IMonthlyTrigger.get_DaysOfMonth", T().DaysOfMonth, value);
    }
    HResult put_DaysOfMonth(const int32_t& value) override {
        return Put("IMonthlyTrigger.put_DaysOfMonth", T().DaysOfMonth, value);
    }
    HResult get_MonthsOfYear(int16_t& value) override {
        return Get("IMonthlyTrigger.get_MonthsOfYear", T().MonthsOfYear, value);
    }
    HResult put_MonthsOfYear(const int16_t& value) override {
        return Put("IMonthlyTrigger.put_MonthsOfYear", T().MonthsOfYear, value);
    }
    // IBootTrigger and ILogonTrigger share the property; the recording names the one asked.
    HResult get_Delay(TBstr& value) override {
        return Get(T().Type == 8 ? "IBootTrigger.get_Delay" : "ILogonTrigger.get_Delay", T().Delay,
                   value);
    }
    HResult put_Delay(const TBstr& value) override {
        return Put(T().Type == 8 ? "IBootTrigger.put_Delay" : "ILogonTrigger.put_Delay", T().Delay,
                   value);
    }
    HResult get_UserId(TBstr& value) override {
        return Get("ILogonTrigger.get_UserId", T().UserId, value);
    }
    HResult put_UserId(const TBstr& value) override {
        return Put("ILogonTrigger.put_UserId", T().UserId, value);
    }

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
    TStoredTrigger2& T() { return Record(); }
};

class TMemAction : public IExecAction,
                   public IShowMessageAction,
                   public TMemListItem<TMemAction, TStoredAction2, &TStoredDefinition2::Actions> {
public:
    TMemAction(TStore s, TDefinitionData d, size_t i)
        : TMemListItem(std::move(s), std::move(d), i, "IAction") {}
    HResult get_Type(int32_t& type) override { return GetType(type); }
    HResult get_Path(TBstr& value) override { return Get("IExecAction.get_Path", A().Path, value); }
    HResult put_Path(const TBstr& value) override {
        return Put("IExecAction.put_Path", A().Path, value);
    }
    HResult get_Arguments(TBstr& value) override {
        return Get("IExecAction.get_Arguments", A().Arguments, value);
    }
    HResult put_Arguments(const TBstr& value) override {
        return Put("IExecAction.put_Arguments", A().Arguments, value);
    }
    HResult get_WorkingDirectory(TBstr& value) override {
        return Get("IExecAction.get_WorkingDirectory", A().WorkingDirectory, value);
    }
    HResult put_WorkingDirectory(const TBstr& value) override {
        return Put("IExecAction.put_WorkingDirectory", A().WorkingDirectory, value);
    }
    HResult get_Title(TBstr& value) override {
        return Get("IShowMessageAction.get_Title", A().Title, value);
    }
    HResult put_Title(const TBstr& value) override {
        return Put("IShowMessageAction.put_Title", A().Title, value);
    }
    HResult get_MessageBody(TBstr& value) override {
        return Get("IShowMessageAction.get_MessageBody", A().MessageBody, value);
    }
    HResult put_MessageBody(const TBstr& value) override {
        return Put("IShowMessageAction.put_MessageBody", A().MessageBody, value);
    }
    HResult QueryInterface(TPtr<IExecAction>& t) override { return Query(t, 0, "IExecAction"); }
    HResult QueryInterface(TPtr<IShowMessageAction>& t) override {
        return Query(t, 7, "IShowMessageAction");
    }

private:
    TStoredAction2& A() { return Record(); }
};

// The kinds of triggers and actions the service creates.
bool AdmitsTrigger(int32_t type) {
    return type >= 0 && type <= 11;
}
bool AdmitsAction(int32_t type) {
    return type == 0 || type == 5 || type == 6 || type == 7;
}

}  // namespace

TPtr<ITriggerCollection> NewTriggerCollection(TStore store, TDefinitionData definition) {
    return std::make_shared<TMemItemCollection<ITriggerCollection, ITrigger, TMemTrigger>>(
        std::move(store), std::move(definition), "ITriggerCollection", AdmitsTrigger);
}

TPtr<IActionCollection> NewActionCollection(TStore store, TDefinitionData definition) {
    return std::make_shared<TMemItemCollection<IActionCollection, IAction, TMemAction>>(
        std::move(store), std::move(definition), "IActionCollection", AdmitsAction);
}

}  // namespace platform::standin
