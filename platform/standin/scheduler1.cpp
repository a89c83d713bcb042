// The Task Scheduler 1.0 objects in memory: the scheduler, work items, their triggers and the
// file interface that saves a work item into the store. A work item is a private copy until it
// is saved, as a .job file is.
#include "platform/standin/objects.h"
#include "platform/text.h"

namespace platform::standin {

namespace {

class TMemTaskTrigger : public ITaskTrigger, TMemoryObject {
public:
    TMemTaskTrigger(TStore s, TWorkItemData d, size_t i)
        : TMemoryObject(std::move(s)), D(std::move(d)), I(i) {}
    HResult SetTrigger(const TTaskTriggerRecord& trigger) override {
        if (HResult hr = Call("ITaskTrigger.SetTrigger", TriggerRecordHex(trigger))) return hr;
        if (trigger.TriggerSize != kTaskTriggerSize || trigger.TriggerType > 7) return kEInvalidArg;
        D->Triggers[I] = trigger;
        return kSOk;
    }
    HResult GetTrigger(TTaskTriggerRecord& trigger) override {
        return Get("ITaskTrigger.GetTrigger", D->Triggers[I], trigger);
    }

private:
    TWorkItemData D;
    size_t I;
};

class TMemPersistFile : public IPersistFile, TMemoryObject {
public:
    TMemPersistFile(TStore s, TWorkItemData d) : TMemoryObject(std::move(s)), D(std::move(d)) {}
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

class TMemTask : public ITask, TMemoryObject {
public:
    TMemTask(TStore s, TWorkItemData d) : TMemoryObject(std::move(s)), D(std::move(d)) {}
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
    HResult SetComment(const TBstr& value) override {
        return Put("ITask.SetComment", D->Comment, value);
    }
    HResult GetComment(TBstr& value) override { return Get("ITask.GetComment", D->Comment, value); }
    HResult SetCreator(const TBstr& value) override {
        return Put("ITask.SetCreator", D->Creator, value);
    }
    HResult GetCreator(TBstr& value) override { return Get("ITask.GetCreator", D->Creator, value); }
    HResult SetFlags(uint32_t value) override { return Put("ITask.SetFlags", D->Flags, value); }
    HResult GetFlags(uint32_t& value) override { return Get("ITask.GetFlags", D->Flags, value); }
    HResult SetAccountInformation(const TBstr& account, const TVariant& password) override {
        if (HResult hr =
                Call("ITask.SetAccountInformation", CallArg(account) + ", " + CallArg(password)))
            return hr;
        D->Account = account;
        return kSOk;
    }
    HResult GetAccountInformation(TBstr& account) override {
        return Get("ITask.GetAccountInformation", D->Account, account);
    }
    HResult SetApplicationName(const TBstr& value) override {
        return Put("ITask.SetApplicationName", D->ApplicationName, value);
    }
    HResult GetApplicationName(TBstr& value) override {
        return Get("ITask.GetApplicationName", D->ApplicationName, value);
    }
    HResult SetParameters(const TBstr& value) override {
        return Put("ITask.SetParameters", D->Parameters, value);
    }
    HResult GetParameters(TBstr& value) override {
        return Get("ITask.GetParameters", D->Parameters, value);
    }
    HResult SetWorkingDirectory(const TBstr& value) override {
        return Put("ITask.SetWorkingDirectory", D->WorkingDirectory, value);
    }
    HResult GetWorkingDirectory(TBstr& value) override {
        return Get("ITask.GetWorkingDirectory", D->WorkingDirectory, value);
    }
    HResult SetPriority(uint32_t value) override {
        return Put("ITask.SetPriority", D->Priority, value);
    }
    HResult GetPriority(uint32_t& value) override {
        return Get("ITask.GetPriority", D->Priority, value);
    }
    HResult SetMaxRunTime(uint32_t value) override {
        return Put("ITask.SetMaxRunTime", D->MaxRunTime, value);
    }
    HResult GetMaxRunTime(uint32_t& value) override {
        return Get("ITask.GetMaxRunTime", D->MaxRunTime, value);
    }
    HResult QueryInterface(TPtr<IPersistFile>& file) override {
        return HandOut("ITask.QueryInterface", "IPersistFile", file,
                       [&] { return std::make_shared<TMemPersistFile>(FStore, D); });
    }

private:
    TWorkItemData D;
};

class TMemTaskScheduler : public ITaskScheduler, TMemoryObject {
public:
    explicit TMemTaskScheduler(TStore s) : TMemoryObject(std::move(s)) {}
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

}  // namespace

TPtr<ITaskScheduler> NewTaskScheduler(TStore store) {
    return std::make_shared<TMemTaskScheduler>(std::move(store));
}

}  // namespace platform::standin
