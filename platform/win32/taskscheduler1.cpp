// The Task Scheduler 1.0 interfaces over the real COM objects.
#include <cstring>

#include "platform/win32/taskscheduler_com.h"

namespace platform {

using namespace comdetail;

namespace {

static_assert(sizeof(TASK_TRIGGER) == kTaskTriggerSize, "the 1.0 trigger record is 48 bytes");

class TComPersistFile : public IPersistFile, TComHolder<::IPersistFile> {
public:
    using TComHolder::TComHolder;
    HResult Save(const TVariant& fileName, bool remember) override {
        std::wstring name = Wide(fileName.Text);
        return FCom->Save(fileName.IsNull ? nullptr : name.c_str(), remember ? TRUE : FALSE);
    }
};

class TComTaskTrigger : public ITaskTrigger, TComHolder<::ITaskTrigger> {
public:
    using TComHolder::TComHolder;
    HResult SetTrigger(const TTaskTriggerRecord& trigger) override {
        TASK_TRIGGER native;
        auto bytes = trigger.ToBytes();
        std::memcpy(&native, bytes.data(), sizeof native);
        return FCom->SetTrigger(&native);
    }
    HResult GetTrigger(TTaskTriggerRecord& trigger) override {
        TASK_TRIGGER native;
        std::memset(&native, 0, sizeof native);
        native.cbTriggerSize = sizeof native;
        HRESULT hr = FCom->GetTrigger(&native);
        trigger = TTaskTriggerRecord::FromBytes(reinterpret_cast<const uint8_t*>(&native));
        return hr;
    }
};

class TComTask : public ITask, TComHolder<::ITask> {
public:
    using TComHolder::TComHolder;
    HResult CreateTrigger(uint16_t& index, TPtr<ITaskTrigger>& out) override {
        WORD i = 0;
        ::ITaskTrigger* com = nullptr;
        HRESULT hr = FCom->CreateTrigger(&i, &com);
        index = i;
        return Wrap<TComTaskTrigger>(hr, com, out);
    }
    HResult GetTriggerCount(uint16_t& count) override {
        WORD n = 0;
        HRESULT hr = FCom->GetTriggerCount(&n);
        count = n;
        return hr;
    }
    HResult GetTrigger(uint16_t index, TPtr<ITaskTrigger>& out) override {
        ::ITaskTrigger* com = nullptr;
        return Wrap<TComTaskTrigger>(FCom->GetTrigger(index, &com), com, out);
    }
    HResult SetIdleWait(uint16_t idle, uint16_t deadline) override {
        return FCom->SetIdleWait(idle, deadline);
    }
    HResult GetIdleWait(uint16_t& idle, uint16_t& deadline) override {
        WORD i = 0, d = 0;
        HRESULT hr = FCom->GetIdleWait(&i, &d);
        idle = i;
        deadline = d;
        return hr;
    }
    HResult SetComment(const TBstr& value) override {
        return FCom->SetComment(Wide(value).c_str());
    }
    HResult GetComment(TBstr& value) override {
        return GetCoText(FCom, &::ITask::GetComment, value);
    }
    HResult SetCreator(const TBstr& value) override {
        return FCom->SetCreator(Wide(value).c_str());
    }
    HResult GetCreator(TBstr& value) override {
        return GetCoText(FCom, &::ITask::GetCreator, value);
    }
    HResult SetFlags(uint32_t value) override { return FCom->SetFlags(value); }
    HResult GetFlags(uint32_t& value) override {
        return GetValue<DWORD>(FCom, &::ITask::GetFlags, value);
    }
    HResult SetAccountInformation(const TBstr& account, const TVariant& password) override {
        std::wstring pass = Wide(password.Text);
        return FCom->SetAccountInformation(Wide(account).c_str(),
                                           password.IsNull ? nullptr : pass.c_str());
    }
    HResult GetAccountInformation(TBstr& account) override {
        LPWSTR text = nullptr;
        HRESULT hr = FCom->GetAccountInformation(&text);
        account = TakeCoText(text);
        return hr;
    }
    HResult SetApplicationName(const TBstr& value) override {
        return FCom->SetApplicationName(Wide(value).c_str());
    }
    HResult GetApplicationName(TBstr& value) override {
        return GetCoText(FCom, &::ITask::GetApplicationName, value);
    }
    HResult SetParameters(const TBstr& value) override {
        return FCom->SetParameters(Wide(value).c_str());
    }
    HResult GetParameters(TBstr& value) override {
        return GetCoText(FCom, &::ITask::GetParameters, value);
    }
    HResult SetWorkingDirectory(const TBstr& value) override {
        return FCom->SetWorkingDirectory(Wide(value).c_str());
    }
    HResult GetWorkingDirectory(TBstr& value) override {
        return GetCoText(FCom, &::ITask::GetWorkingDirectory, value);
    }
    HResult SetPriority(uint32_t value) override { return FCom->SetPriority(value); }
    HResult GetPriority(uint32_t& value) override {
        return GetValue<DWORD>(FCom, &::ITask::GetPriority, value);
    }
    HResult SetMaxRunTime(uint32_t value) override { return FCom->SetMaxRunTime(value); }
    HResult GetMaxRunTime(uint32_t& value) override {
        return GetValue<DWORD>(FCom, &::ITask::GetMaxRunTime, value);
    }
    HResult QueryInterface(TPtr<IPersistFile>& out) override {
        ::IPersistFile* com = nullptr;
        HRESULT hr = FCom->QueryInterface(kIidPersistFile, reinterpret_cast<void**>(&com));
        return Wrap<TComPersistFile>(hr, com, out);
    }
};

class TComTaskScheduler : public platform::ITaskScheduler, TComHolder<::ITaskScheduler> {
public:
    using TComHolder::TComHolder;
    HResult Activate(const TBstr& name, TPtr<platform::ITask>& out) override {
        ::IUnknown* unknown = nullptr;
        HRESULT hr = FCom->Activate(Wide(name).c_str(), kIidTask1, &unknown);
        auto* task = reinterpret_cast<::ITask*>(unknown);
        return Wrap<TComTask>(hr, task, out);
    }
    HResult Delete(const TBstr& name) override { return FCom->Delete(Wide(name).c_str()); }
    HResult NewWorkItem(const TBstr& name, TPtr<platform::ITask>& out) override {
        ::IUnknown* unknown = nullptr;
        HRESULT hr = FCom->NewWorkItem(Wide(name).c_str(), kClsidCTask, kIidTask1, &unknown);
        auto* task = reinterpret_cast<::ITask*>(unknown);
        return Wrap<TComTask>(hr, task, out);
    }
};

}  // namespace

namespace comdetail {

TPtr<platform::ITaskScheduler> WrapTaskScheduler(::ITaskScheduler* com) {
    return std::make_shared<TComTaskScheduler>(com);
}

}  // namespace comdetail

}  // namespace platform
