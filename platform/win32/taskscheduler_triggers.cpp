// The Task Scheduler 2.0 triggers and actions over the real COM objects. The typed triggers and
// the message action that the toolchain's header lacks are declared here with their published
// identifiers and method order.
#include "platform/win32/taskscheduler_com.h"

namespace platform {

using namespace comdetail;

namespace {

struct ILgWeeklyTrigger : public ::ITrigger {
    virtual HRESULT STDMETHODCALLTYPE get_DaysOfWeek(short* days) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_DaysOfWeek(short days) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_WeeksInterval(short* weeks) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_WeeksInterval(short weeks) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_RandomDelay(BSTR* delay) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_RandomDelay(BSTR delay) = 0;
};

struct ILgMonthlyTrigger : public ::ITrigger {
    virtual HRESULT STDMETHODCALLTYPE get_DaysOfMonth(long* days) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_DaysOfMonth(long days) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_MonthsOfYear(short* months) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_MonthsOfYear(short months) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_RunOnLastDayOfMonth(VARIANT_BOOL* last) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_RunOnLastDayOfMonth(VARIANT_BOOL last) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_RandomDelay(BSTR* delay) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_RandomDelay(BSTR delay) = 0;
};

struct ILgIdleTrigger : public ::ITrigger {};

struct ILgDelayTrigger : public ::ITrigger {  // IRegistrationTrigger and IBootTrigger
    virtual HRESULT STDMETHODCALLTYPE get_Delay(BSTR* delay) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Delay(BSTR delay) = 0;
};

struct ILgLogonTrigger : public ::ITrigger {
    virtual HRESULT STDMETHODCALLTYPE get_Delay(BSTR* delay) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Delay(BSTR delay) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_UserId(BSTR* user) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_UserId(BSTR user) = 0;
};

struct ILgShowMessageAction : public ::IAction {
    virtual HRESULT STDMETHODCALLTYPE get_Title(BSTR* title) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Title(BSTR title) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_MessageBody(BSTR* body) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_MessageBody(BSTR body) = 0;
};

class TComRepetition : public IRepetitionPattern, TComHolder<::IRepetitionPattern> {
public:
    using TComHolder::TComHolder;
    HResult get_Interval(TBstr& value) override {
        return GetBstr(FCom, &::IRepetitionPattern::get_Interval, value);
    }
    HResult put_Interval(const TBstr& value) override {
        return PutBstr(FCom, &::IRepetitionPattern::put_Interval, value);
    }
    HResult get_Duration(TBstr& value) override {
        return GetBstr(FCom, &::IRepetitionPattern::get_Duration, value);
    }
    HResult put_Duration(const TBstr& value) override {
        return PutBstr(FCom, &::IRepetitionPattern::put_Duration, value);
    }
    HResult get_StopAtDurationEnd(TVariantBool& value) override {
        return GetValue<VARIANT_BOOL>(FCom, &::IRepetitionPattern::get_StopAtDurationEnd, value);
    }
    HResult put_StopAtDurationEnd(const TVariantBool& value) override {
        return PutValue<VARIANT_BOOL>(FCom, &::IRepetitionPattern::put_StopAtDurationEnd, value);
    }
};

template <class W, class C, class I>
HResult QueryTyped(::IUnknown* com, const IID& iid, TPtr<I>& out) {
    C* typed = nullptr;
    HRESULT hr = com->QueryInterface(iid, reinterpret_cast<void**>(&typed));
    return Wrap<W>(hr, typed, out);
}

// ITrigger's part, shared by every typed trigger over its own COM interface C.
template <class C>
class TComTriggerBase : public virtual ITrigger, protected TComHolder<C> {
public:
    explicit TComTriggerBase(C* com) : TComHolder<C>(com) {}

    HResult get_Type(int32_t& value) override {
        return GetValue<TASK_TRIGGER_TYPE2>(FCom, &C::get_Type, value);
    }
    HResult get_Id(TBstr& value) override { return GetBstr(FCom, &C::get_Id, value); }
    HResult put_Id(const TBstr& value) override { return PutBstr(FCom, &C::put_Id, value); }
    HResult get_Repetition(TPtr<IRepetitionPattern>& out) override {
        ::IRepetitionPattern* com = nullptr;
        return Wrap<TComRepetition>(FCom->get_Repetition(&com), com, out);
    }
    HResult get_ExecutionTimeLimit(TBstr& value) override {
        return GetBstr(FCom, &C::get_ExecutionTimeLimit, value);
    }
    HResult put_ExecutionTimeLimit(const TBstr& value) override {
        return PutBstr(FCom, &C::put_ExecutionTimeLimit, value);
    }
    HResult get_StartBoundary(TBstr& value) override {
        return GetBstr(FCom, &C::get_StartBoundary, value);
    }
    HResult put_StartBoundary(const TBstr& value) override {
        return PutBstr(FCom, &C::put_StartBoundary, value);
    }
    HResult get_EndBoundary(TBstr& value) override {
        return GetBstr(FCom, &C::get_EndBoundary, value);
    }
    HResult put_EndBoundary(const TBstr& value) override {
        return PutBstr(FCom, &C::put_EndBoundary, value);
    }
    HResult get_Enabled(TVariantBool& value) override {
        return GetValue<VARIANT_BOOL>(FCom, &C::get_Enabled, value);
    }
    HResult put_Enabled(const TVariantBool& value) override {
        return PutValue<VARIANT_BOOL>(FCom, &C::put_Enabled, value);
    }
    HResult QueryInterface(TPtr<ITimeTrigger>& t) override;
    HResult QueryInterface(TPtr<IDailyTrigger>& t) override;
    HResult QueryInterface(TPtr<IWeeklyTrigger>& t) override;
    HResult QueryInterface(TPtr<IMonthlyTrigger>& t) override;
    HResult QueryInterface(TPtr<IIdleTrigger>& t) override;
    HResult QueryInterface(TPtr<IRegistrationTrigger>& t) override;
    HResult QueryInterface(TPtr<IBootTrigger>& t) override;
    HResult QueryInterface(TPtr<ILogonTrigger>& t) override;

protected:
    using TComHolder<C>::FCom;
};

class TComTrigger : public TComTriggerBase<::ITrigger> {
public:
    using TComTriggerBase::TComTriggerBase;
};

class TComTimeTrigger : public ITimeTrigger, public TComTriggerBase<::ITimeTrigger> {
public:
    explicit TComTimeTrigger(::ITimeTrigger* com) : TComTriggerBase(com) {}
};

class TComDailyTrigger : public IDailyTrigger, public TComTriggerBase<::IDailyTrigger> {
public:
    explicit TComDailyTrigger(::IDailyTrigger* com) : TComTriggerBase(com) {}
    HResult get_DaysInterval(int16_t& value) override {
        return GetValue<short>(FCom, &::IDailyTrigger::get_DaysInterval, value);
    }
    HResult put_DaysInterval(const int16_t& value) override {
        return PutValue<short>(FCom, &::IDailyTrigger::put_DaysInterval, value);
    }
};

class TComWeeklyTrigger : public IWeeklyTrigger, public TComTriggerBase<ILgWeeklyTrigger> {
public:
    explicit TComWeeklyTrigger(ILgWeeklyTrigger* com) : TComTriggerBase(com) {}
    HResult get_DaysOfWeek(int16_t& value) override {
        return GetValue<short>(FCom, &ILgWeeklyTrigger::get_DaysOfWeek, value);
    }
    HResult put_DaysOfWeek(const int16_t& value) override {
        return PutValue<short>(FCom, &ILgWeeklyTrigger::put_DaysOfWeek, value);
    }
    HResult get_WeeksInterval(int16_t& value) override {
        return GetValue<short>(FCom, &ILgWeeklyTrigger::get_WeeksInterval, value);
    }
    HResult put_WeeksInterval(const int16_t& value) override {
        return PutValue<short>(FCom, &ILgWeeklyTrigger::put_WeeksInterval, value);
    }
};

class TComMonthlyTrigger : public IMonthlyTrigger, public TComTriggerBase<ILgMonthlyTrigger> {
public:
    explicit TComMonthlyTrigger(ILgMonthlyTrigger* com) : TComTriggerBase(com) {}
    HResult get_DaysOfMonth(int32_t& value) override {
        return GetValue<long>(FCom, &ILgMonthlyTrigger::get_DaysOfMonth, value);
    }
    HResult put_DaysOfMonth(const int32_t& value) override {
        return PutValue<long>(FCom, &ILgMonthlyTrigger::put_DaysOfMonth, value);
    }
    HResult get_MonthsOfYear(int16_t& value) override {
        return GetValue<short>(FCom, &ILgMonthlyTrigger::get_MonthsOfYear, value);
    }
    HResult put_MonthsOfYear(const int16_t& value) override {
        return PutValue<short>(FCom, &ILgMonthlyTrigger::put_MonthsOfYear, value);
    }
};

class TComIdleTrigger : public IIdleTrigger, public TComTriggerBase<ILgIdleTrigger> {
public:
    explicit TComIdleTrigger(ILgIdleTrigger* com) : TComTriggerBase(com) {}
};

class TComRegistrationTrigger : public IRegistrationTrigger,
                                public TComTriggerBase<ILgDelayTrigger> {
public:
    explicit TComRegistrationTrigger(ILgDelayTrigger* com) : TComTriggerBase(com) {}
};

class TComBootTrigger : public IBootTrigger, public TComTriggerBase<ILgDelayTrigger> {
public:
    explicit TComBootTrigger(ILgDelayTrigger* com) : TComTriggerBase(com) {}
    HResult get_Delay(TBstr& value) override {
        return GetBstr(FCom, &ILgDelayTrigger::get_Delay, value);
    }
    HResult put_Delay(const TBstr& value) override {
        return PutBstr(FCom, &ILgDelayTrigger::put_Delay, value);
    }
};

class TComLogonTrigger : public ILogonTrigger, public TComTriggerBase<ILgLogonTrigger> {
public:
    explicit TComLogonTrigger(ILgLogonTrigger* com) : TComTriggerBase(com) {}
    HResult get_Delay(TBstr& value) override {
        return GetBstr(FCom, &ILgLogonTrigger::get_Delay, value);
    }
    HResult put_Delay(const TBstr& value) override {
        return PutBstr(FCom, &ILgLogonTrigger::put_Delay, value);
    }
    HResult get_UserId(TBstr& value) override {
        return GetBstr(FCom, &ILgLogonTrigger::get_UserId, value);
    }
    HResult put_UserId(const TBstr& value) override {
        return PutBstr(FCom, &ILgLogonTrigger::put_UserId, value);
    }
};

template <class C>
HResult TComTriggerBase<C>::QueryInterface(TPtr<ITimeTrigger>& t) {
    return QueryTyped<TComTimeTrigger, ::ITimeTrigger>(FCom, kIidTimeTrigger, t);
}
template <class C>
HResult TComTriggerBase<C>::QueryInterface(TPtr<IDailyTrigger>& t) {
    return QueryTyped<TComDailyTrigger, ::IDailyTrigger>(FCom, kIidDailyTrigger, t);
}
template <class C>
HResult TComTriggerBase<C>::QueryInterface(TPtr<IWeeklyTrigger>& t) {
    return QueryTyped<TComWeeklyTrigger, ILgWeeklyTrigger>(FCom, kIidWeeklyTrigger, t);
}
template <class C>
HResult TComTriggerBase<C>::QueryInterface(TPtr<IMonthlyTrigger>& t) {
    return QueryTyped<TComMonthlyTrigger, ILgMonthlyTrigger>(FCom, kIidMonthlyTrigger, t);
}
template <class C>
HResult TComTriggerBase<C>::QueryInterface(TPtr<IIdleTrigger>& t) {
    return QueryTyped<TComIdleTrigger, ILgIdleTrigger>(FCom, kIidIdleTrigger, t);
}
template <class C>
HResult TComTriggerBase<C>::QueryInterface(TPtr<IRegistrationTrigger>& t) {
    return QueryTyped<TComRegistrationTrigger, ILgDelayTrigger>(FCom, kIidRegistrationTrigger, t);
}
template <class C>
HResult TComTriggerBase<C>::QueryInterface(TPtr<IBootTrigger>& t) {
    return QueryTyped<TComBootTrigger, ILgDelayTrigger>(FCom, kIidBootTrigger, t);
}
template <class C>
HResult TComTriggerBase<C>::QueryInterface(TPtr<ILogonTrigger>& t) {
    return QueryTyped<TComLogonTrigger, ILgLogonTrigger>(FCom, kIidLogonTrigger, t);
}

template <class C>
class TComActionBase : public virtual IAction, protected TComHolder<C> {
public:
    explicit TComActionBase(C* com) : TComHolder<C>(com) {}
    HResult get_Type(int32_t& value) override {
        return GetValue<TASK_ACTION_TYPE>(FCom, &C::get_Type, value);
    }
    HResult QueryInterface(TPtr<IExecAction>& t) override;
    HResult QueryInterface(TPtr<IShowMessageAction>& t) override;

protected:
    using TComHolder<C>::FCom;
};

class TComAction : public TComActionBase<::IAction> {
public:
    using TComActionBase::TComActionBase;
};

class TComExecAction : public IExecAction, public TComActionBase<::IExecAction> {
public:
    explicit TComExecAction(::IExecAction* com) : TComActionBase(com) {}
    HResult get_Path(TBstr& value) override {
        return GetBstr(FCom, &::IExecAction::get_Path, value);
    }
    HResult put_Path(const TBstr& value) override {
        return PutBstr(FCom, &::IExecAction::put_Path, value);
    }
    HResult get_Arguments(TBstr& value) override {
        return GetBstr(FCom, &::IExecAction::get_Arguments, value);
    }
    HResult put_Arguments(const TBstr& value) override {
        return PutBstr(FCom, &::IExecAction::put_Arguments, value);
    }
    HResult get_WorkingDirectory(TBstr& value) override {
        return GetBstr(FCom, &::IExecAction::get_WorkingDirectory, value);
    }
    HResult put_WorkingDirectory(const TBstr& value) override {
        return PutBstr(FCom, &::IExecAction::put_WorkingDirectory, value);
    }
};

class TComShowMessageAction : public IShowMessageAction,
                              public TComActionBase<ILgShowMessageAction> {
public:
    explicit TComShowMessageAction(ILgShowMessageAction* com) : TComActionBase(com) {}
    HResult get_Title(TBstr& value) override {
        return GetBstr(FCom, &ILgShowMessageAction::get_Title, value);
    }
    HResult put_Title(const TBstr& value) override {
        return PutBstr(FCom, &ILgShowMessageAction::put_Title, value);
    }
    HResult get_MessageBody(TBstr& value) override {
        return GetBstr(FCom, &ILgShowMessageAction::get_MessageBody, value);
    }
    HResult put_MessageBody(const TBstr& value) override {
        return PutBstr(FCom, &ILgShowMessageAction::put_MessageBody, value);
    }
};

template <class C>
HResult TComActionBase<C>::QueryInterface(TPtr<IExecAction>& t) {
    return QueryTyped<TComExecAction, ::IExecAction>(FCom, kIidExecAction, t);
}
template <class C>
HResult TComActionBase<C>::QueryInterface(TPtr<IShowMessageAction>& t) {
    return QueryTyped<TComShowMessageAction, ILgShowMessageAction>(FCom, kIidShowMessageAction, t);
}

// A trigger or action collection C: items come as W over the COM item CItem, and Create takes
// the item's type as the COM enumeration TKind.
template <class ICollection, class IItem, class C, class CItem, class TKind, class W>
class TComItemCollection : public ICollection, TComHolder<C> {
public:
    using TComHolder<C>::TComHolder;
    HResult get_Count(int32_t& value) override {
        return GetValue<LONG>(FCom, &C::get_Count, value);
    }
    HResult get_Item(int32_t index, TPtr<IItem>& out) override {
        CItem* com = nullptr;
        return Wrap<W>(FCom->get_Item(index, &com), com, out);
    }
    HResult Create(int32_t type, TPtr<IItem>& out) override {
        CItem* com = nullptr;
        return Wrap<W>(FCom->Create(static_cast<TKind>(type), &com), com, out);
    }

private:
    using TComHolder<C>::FCom;
};

using TComTriggerCollection = TComItemCollection<ITriggerCollection, ITrigger, ::ITriggerCollection,
                                                 ::ITrigger, TASK_TRIGGER_TYPE2, TComTrigger>;
using TComActionCollection = TComItemCollection<IActionCollection, IAction, ::IActionCollection,
                                                ::IAction, TASK_ACTION_TYPE, TComAction>;

}  // namespace

namespace comdetail {

TPtr<ITriggerCollection> WrapTriggerCollection(::ITriggerCollection* com) {
    return std::make_shared<TComTriggerCollection>(com);
}

TPtr<IActionCollection> WrapActionCollection(::IActionCollection* com) {
    return std::make_shared<TComActionCollection>(com);
}

}  // namespace comdetail

}  // namespace platform
