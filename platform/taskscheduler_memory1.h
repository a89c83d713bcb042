// The in-memory Task Scheduler 1.0 objects and the COM library in front of both generations
// (see taskscheduler_memory.h).
#pragma once
#include "platform/taskscheduler_memory_folder.h"

namespace platform {

using TWorkItemData = std::shared_ptr<TStoredWorkItem1>;

class TMemTaskTrigger : public ITaskTrigger, TMemoryObject {
public:
    TMemTaskTrigger(std::shared_ptr<TMemoryTaskStore> s, TWorkItemData d, size_t i)
        : TMemoryObject(std::move(s)), D(std::move(d)), I(i) {}
    HResult SetTrigger(const TTaskTriggerRecord& trigger) override {
        if (HResult hr = Call("ITaskTrigger.SetTrigger", RecordText(trigger))) return hr;
        if (trigger.TriggerSize != kTaskTriggerSize || trigger.TriggerType > 7) return kEInvalidArg;
        D->Triggers[I] = trigger;
        return kSOk;
    }
    HResult GetTrigger(TTaskTriggerRecord& trigger) override {
        if (HResult hr = Call("ITaskTrigger.GetTrigger")) return hr;
        trigger = D->Triggers[I];
        return kSOk;
    }
    // The record's 48 bytes in hexadecimal, as the recording shows them.
    static std::string RecordText(const TTaskTriggerRecord& r) {
        static const char* digits = "0123456789ABCDEF";
        std::string out;
        for (uint8_t b : r.ToBytes()) {
            out += digits[b >> 4];
            out += digits[b & 15];
        }
        return out;
    }

private:
    TWorkItemData D;
    size_t I;
};

class TMemPersistFile : public IPersistFile, TMemoryObject {
public:
    TMemPersistFile(std::shared_ptr<TMemoryTaskStore> s, TWorkItemData d)
        : TMemoryObject(std::move(s)), D(std::move(d)) {}
    HResult Save(const TVariant& fileName, bool remember) override {
        if (HResult hr =
                Call("IPersistFile.Save", CallArg(fileName) + ", " + (remember ? "true" : "false")))
            return hr;
        if (!fileName.IsNull) return kENotImpl;
        if (TStoredWorkItem1* item = FStore->FindWorkItem(D->Name))
            *item = *D;
        else
            FStore->WorkItems.push_back(*D);
        FStore->Commit();
        return kSOk;
    }

private:
    TWorkItemData D;
};

// A property pair SetN / GetN kept in the work item's field N; Set takes the value as IN.
#define LG_MEM_PROP1(IN, T, N)                                            \
    HResult Set##N(IN value) override {                                   \
        if (HResult hr = Call("ITask.Set" #N, CallArg(value))) return hr; \
        D->N = value;                                                     \
        return kSOk;                                                      \
    }                                                                     \
    HResult Get##N(T& value) override {                                   \
        if (HResult hr = Call("ITask.Get" #N)) return hr;                 \
        value = D->N;                                                     \
        return kSOk;                                                      \
    }
#define LG_MEM_TEXT1(N) LG_MEM_PROP1(const TBstr&, TBstr, N)
#define LG_MEM_DWORD1(N) LG_MEM_PROP1(uint32_t, uint32_t, N)

class TMemTask : public ITask, TMemoryObject {
public:
    TMemTask(std::shared_ptr<TMemoryTaskStore> s, TWorkItemData d)
        : TMemoryObject(std::move(s)), D(std::move(d)) {}
    HResult CreateTrigger(uint16_t& index, TPtr<ITaskTrigger>& trigger) override {
        trigger.reset();
        if (HResult hr = Call("ITask.CreateTrigger")) return hr;
        TTaskTriggerRecord r;
        r.TriggerSize = kTaskTriggerSize;
        D->Triggers.push_back(r);
        index = static_cast<uint16_t>(D->Triggers.size() - 1);
        trigger = std::make_shared<TMemTaskTrigger>(FStore, D, index);
        return kSOk;
    }
    HResult GetTriggerCount(uint16_t& count) override {
        if (HResult hr = Call("ITask.GetTriggerCount")) return hr;
        count = static_cast<uint16_t>(D->Triggers.size());
        return kSOk;
    }
    HResult GetTrigger(uint16_t index, TPtr<ITaskTrigger>& trigger) override {
        trigger.reset();
        if (HResult hr = Call("ITask.GetTrigger", CallArg(index))) return hr;
        if (index >= D->Triggers.size()) return kEInvalidArg;
        trigger = std::make_shared<TMemTaskTrigger>(FStore, D, index);
        return kSOk;
    }
    HResult SetIdleWait(uint16_t idle, uint16_t deadline) override {
        if (HResult hr = Call("ITask.SetIdleWait", CallArg(idle) + ", " + CallArg(deadline)))
            return hr;
        D->IdleMinutes = idle;
        D->DeadlineMinutes = deadline;
        return kSOk;
    }
    HResult GetIdleWait(uint16_t& idle, uint16_t& deadline) override {
        if (HResult hr = Call("ITask.GetIdleWait")) return hr;
        idle = D->IdleMinutes;
        deadline = D->DeadlineMinutes;
        return kSOk;
    }
    LG_MEM_TEXT1(Comment)
    LG_MEM_TEXT1(Creator)
    LG_MEM_DWORD1(Flags)
    HResult SetAccountInformation(const TBstr& account, const TVariant& password) override {
        if (HResult hr =
                Call("ITask.SetAccountInformation", CallArg(account) + ", " + CallArg(password)))
            return hr;
        D->Account = account;
        return kSOk;
    }
    HResult GetAccountInformation(TBstr& account) override {
        if (HResult hr = Call("ITask.GetAccountInformation")) return hr;
        account = D->Account;
        return kSOk;
    }
    LG_MEM_TEXT1(ApplicationName)
    LG_MEM_TEXT1(Parameters)
    LG_MEM_TEXT1(WorkingDirectory)
    LG_MEM_DWORD1(Priority)
    LG_MEM_DWORD1(MaxRunTime)
    HResult QueryInterface(TPtr<IPersistFile>& file) override {
        file.reset();
        if (HResult hr = Call("ITask.QueryInterface", "IPersistFile")) return hr;
        file = std::make_shared<TMemPersistFile>(FStore, D);
        return kSOk;
    }

private:
    TWorkItemData D;
};

#undef LG_MEM_PROP1
#undef LG_MEM_TEXT1
#undef LG_MEM_DWORD1

class TMemTaskScheduler : public ITaskScheduler, TMemoryObject {
public:
    explicit TMemTaskScheduler(std::shared_ptr<TMemoryTaskStore> s) : TMemoryObject(std::move(s)) {}
    HResult Activate(const TBstr& name, TPtr<ITask>& task) override {
        task.reset();
        if (HResult hr = Call("ITaskScheduler.Activate", CallArg(name))) return hr;
        TStoredWorkItem1* item = FStore->FindWorkItem(name);
        if (!item) return kEFileNotFound;
        task = std::make_shared<TMemTask>(FStore, std::make_shared<TStoredWorkItem1>(*item));
        return kSOk;
    }
    HResult Delete(const TBstr& name) override {
        if (HResult hr = Call("ITaskScheduler.Delete", CallArg(name))) return hr;
        auto& items = FStore->WorkItems;
        std::string base = WorkItemBaseName(name);
        for (size_t i = 0; i < items.size(); ++i) {
            if (!SameText(items[i].Name, base)) continue;
            items.erase(items.begin() + static_cast<std::ptrdiff_t>(i));
            FStore->Commit();
            return kSOk;
        }
        return kEFileNotFound;
    }
    HResult NewWorkItem(const TBstr& name, TPtr<ITask>& task) override {
        task.reset();
        if (HResult hr = Call("ITaskScheduler.NewWorkItem", CallArg(name))) return hr;
        if (name.empty()) return kEInvalidArg;
        if (FStore->FindWorkItem(name)) return kEFileExists;
        auto data = std::make_shared<TStoredWorkItem1>();
        data->Name = WorkItemBaseName(name);
        task = std::make_shared<TMemTask>(FStore, data);
        return kSOk;
    }
};

// The COM library in front of an in-memory store.
class TMemTaskSchedulerPlatform : public ITaskSchedulerPlatform, TMemoryObject {
public:
    explicit TMemTaskSchedulerPlatform(std::shared_ptr<TMemoryTaskStore> s)
        : TMemoryObject(std::move(s)) {}
    HResult CoInitializeEx(int32_t coInit) override {
        return Call("CoInitializeEx", CallArg(coInit));
    }
    HResult CoInitializeSecurity(int32_t authnServices, int32_t authnLevel, int32_t impLevel,
                                 int32_t capabilities) override {
        return Call("CoInitializeSecurity", CallArg(authnServices) + ", " + CallArg(authnLevel) +
                                                ", " + CallArg(impLevel) + ", " +
                                                CallArg(capabilities));
    }
    void CoUninitialize() override { Call("CoUninitialize"); }
    HResult CoCreateInstance(TPtr<ITaskService>& service) override {
        service.reset();
        if (HResult hr = Call("CoCreateInstance", "TaskScheduler")) return hr;
        FStore->Load();
        service = std::make_shared<TMemTaskService>(FStore);
        return kSOk;
    }
    HResult CoCreateInstance(TPtr<ITaskScheduler>& scheduler) override {
        scheduler.reset();
        if (HResult hr = Call("CoCreateInstance", "CTaskScheduler")) return hr;
        FStore->Load();
        scheduler = std::make_shared<TMemTaskScheduler>(FStore);
        return kSOk;
    }
    void DescribeError(HResult hr, std::string& message, std::string& source) override {
        FStore->DescribeError(hr, message, source);
    }
    std::string BackendName() override { return FStore->BackendName(); }
    const std::shared_ptr<TMemoryTaskStore>& Store() const { return FStore; }
};

}  // namespace platform
