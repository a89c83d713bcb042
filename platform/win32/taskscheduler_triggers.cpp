// The Task Scheduler 2.0 triggers and actions over the real COM objects. The typed triggers and
// the message action that the toolchain's header lacks are declared here with their published
// identifiers and method order.
#include "platform/taskscheduler_win32.h"

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
    LG_COM_BSTR(Interval)
    LG_COM_BSTR(Duration)
    LG_COM_BOOL(StopAtDurationEnd)
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

    LG_COM_GET(int32_t, TASK_TRIGGER_TYPE2, Type)
    LG_COM_BSTR(Id)
    HResult get_Repetition(TPtr<IRepetitionPattern>& out) override {
        ::IRepetitionPattern* com = nullptr;
        return Wrap<TComRepetition>(FCom->get_Repetition(&com), com, out);
    }
    LG_COM_BSTR(ExecutionTimeLimit)
    LG_COM_BSTR(StartBoundary)
    LG_COM_BSTR(EndBoundary)
    LG_COM_BOOL(Enabled)
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
    LG_COM_VALUE(int16_t, short, DaysInterval)
};

class TComWeeklyTrigger : public IWeeklyTrigger, public TComTriggerBase<ILgWeeklyTrigger> {
public:
    explicit TComWeeklyTrigger(ILgWeeklyTrigger* com) : TComTriggerBase(com) {}
    LG_COM_VALUE(int16_t, short, DaysOfWeek)
    LG_COM_VALUE(int16_t, short, WeeksInterval)
};

class TComMonthlyTrigger : public IMonthlyTrigger, public TComTriggerBase<ILgMonthlyTrigger> {
public:
    explicit TComMonthlyTrigger(ILgMonthlyTrigger* com) : TComTriggerBase(com) {}
    LG_COM_VALUE(int32_t, long, DaysOfMonth)
    LG_COM_VALUE(int16_t, short, MonthsOfYear)
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
    LG_COM_BSTR(Delay)
};

class TComLogonTrigger : public ILogonTrigger, public TComTriggerBase<ILgLogonTrigger> {
public:
    explicit TComLogonTrigger(ILgLogonTrigger* com) : TComTriggerBase(com) {}
    LG_COM_BSTR(Delay)
    LG_COM_BSTR(UserId)
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
    LG_COM_GET(int32_t, TASK_ACTION_TYPE, Type)
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
    LG_COM_BSTR(Path)
    LG_COM_BSTR(Arguments)
    LG_COM_BSTR(WorkingDirectory)
};

class TComShowMessageAction : public IShowMessageAction,
                              public TComActionBase<ILgShowMessageAction> {
public:
    explicit TComShowMessageAction(ILgShowMessageAction* com) : TComActionBase(com) {}
    LG_COM_BSTR(Title)
    LG_COM_BSTR(MessageBody)
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
    LG_COM_GET(int32_t, LONG, Count)
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
