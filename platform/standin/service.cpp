// The 2.0 task service in memory, and the COM library in front of both generations.
#include "platform/standin/objects.h"

namespace platform {

namespace standin {

namespace {

class TMemTaskService : public ITaskService, TMemoryObject {
public:
    explicit TMemTaskService(TStore s) : TMemoryObject(std::move(s)) {}
    HResult Connect(const TVariant& server, const TVariant& user, const TVariant& domain,
                    const TVariant& password) override {
        std::string args = CallArg(server) + ", " + CallArg(user) + ", " + CallArg(domain) + ", " +
                           CallArg(password);
        if (HResult hr = Call("ITaskService.Connect", args)) return hr;
        FConnected = true;
        return kSOk;
    }
    HResult GetFolder(const TBstr& path, TPtr<ITaskFolder>& folder) override {
        folder.reset();
        if (HResult hr = Call("ITaskService.GetFolder", CallArg(path))) return hr;
        if (!FConnected) return kENotConnected;
        TStoredFolder2* found = FStore->FindFolder(path);
        if (!found) return kEFileNotFound;
        folder = NewTaskFolder(FStore, found->Path);
        return kSOk;
    }
    HResult NewTask(uint32_t flags, TPtr<ITaskDefinition>& definition) override {
        definition.reset();
        if (HResult hr = Call("ITaskService.NewTask", CallArg(flags))) return hr;
        if (!FConnected) return kENotConnected;
        definition = NewTaskDefinition(FStore, std::make_shared<TStoredDefinition2>());
        return kSOk;
    }

private:
    bool FConnected = false;
};

}  // namespace

TPtr<ITaskService> NewTaskService(TStore store) {
    return std::make_shared<TMemTaskService>(std::move(store));
}

}  // namespace standin

using standin::CallArg;

TMemTaskSchedulerPlatform::TMemTaskSchedulerPlatform(std::shared_ptr<TMemoryTaskStore> store)
    : FStore(std::move(store)) {}

HResult TMemTaskSchedulerPlatform::CoInitializeEx(int32_t coInit) {
    return FStore->OnCall("CoInitializeEx", CallArg(coInit));
}

HResult TMemTaskSchedulerPlatform::CoInitializeSecurity(int32_t authnServices, int32_t authnLevel,
                                                        int32_t impLevel, int32_t capabilities) {
    return FStore->OnCall("CoInitializeSecurity",
                          CallArg(authnServices) + ", " + CallArg(authnLevel) + ", " +
                              CallArg(impLevel) + ", " + CallArg(capabilities));
}

void TMemTaskSchedulerPlatform::CoUninitialize() {
    FStore->OnCall("CoUninitialize", {});
}

HResult TMemTaskSchedulerPlatform::CoCreateInstance(TPtr<ITaskService>& service) {
    service.reset();
    if (HResult hr = FStore->OnCall("CoCreateInstance", "TaskScheduler")) return hr;
    FStore->Load();
    service = standin::NewTaskService(FStore);
    return kSOk;
}

HResult TMemTaskSchedulerPlatform::CoCreateInstance(TPtr<ITaskScheduler>& scheduler) {
    scheduler.reset();
    if (HResult hr = FStore->OnCall("CoCreateInstance", "CTaskScheduler")) return hr;
    FStore->Load();
    scheduler = standin::NewTaskScheduler(FStore);
    return kSOk;
}

void TMemTaskSchedulerPlatform::DescribeError(HResult hr, std::string& message,
                                              std::string& source) {
    FStore->DescribeError(hr, message, source);
}

std::string TMemTaskSchedulerPlatform::BackendName() {
    return FStore->BackendName();
}

}  // namespace platform
