// What the in-memory Task Scheduler objects share among themselves (not for their users): the
// hook every call passes through, how the recording shows arguments, and the makers of the
// objects one file hands to another.
#pragma once
#include <memory>
#include <string>

#include "platform/standin/taskstore.h"

namespace platform::standin {

using TStore = std::shared_ptr<TMemoryTaskStore>;
using TDefinitionData = std::shared_ptr<TStoredDefinition2>;
using TWorkItemData = std::shared_ptr<TStoredWorkItem1>;

// Call arguments as the recording shows them: texts quoted, VT_NULL as null.
std::string CallArg(const std::string& text);
std::string CallArg(const TVariant& value);
std::string CallArg(int64_t value);
inline std::string CallArg(int32_t value) {
    return CallArg(static_cast<int64_t>(value));
}
inline std::string CallArg(int16_t value) {
    return CallArg(static_cast<int64_t>(value));
}
inline std::string CallArg(uint32_t value) {
    return CallArg(static_cast<int64_t>(value));
}
inline std::string CallArg(uint16_t value) {
    return CallArg(static_cast<int64_t>(value));
}

// Base of every in-memory object: one store, and the hook every call passes through before it
// reads or changes anything.
class TMemoryObject {
public:
    explicit TMemoryObject(TStore store) : FStore(std::move(store)) {}

protected:
    HResult Call(const std::string& name, const std::string& args = {}) {
        return FStore->OnCall(name, args);
    }
    // A property's two directions: `call` is the recorded name ("IPrincipal.get_UserId").
    template <class T>
    HResult Get(const char* call, const T& field, T& value) {
        if (HResult hr = Call(call)) return hr;
        value = field;
        return kSOk;
    }
    template <class T>
    HResult Put(const char* call, T& field, const T& value) {
        if (HResult hr = Call(call, CallArg(value))) return hr;
        field = value;
        return kSOk;
    }
    // Hands out a new object unless the hook refuses the call.
    template <class I, class F>
    HResult HandOut(const std::string& call, const std::string& args, TPtr<I>& out, F make) {
        out.reset();
        if (HResult hr = Call(call, args)) return hr;
        out = make();
        return kSOk;
    }
    TStore FStore;
};

// The service's "not connected" refusal.
inline constexpr HResult kENotConnected = HResultOf(0x80070000u | 1247u);

TPtr<ITaskService> NewTaskService(TStore store);
TPtr<ITaskScheduler> NewTaskScheduler(TStore store);
TPtr<ITaskFolder> NewTaskFolder(TStore store, std::string path);
TPtr<ITaskDefinition> NewTaskDefinition(TStore store, TDefinitionData definition);
TPtr<IRegisteredTask> NewRegisteredTask(TStore store, std::string folder, std::string name);
TPtr<ITriggerCollection> NewTriggerCollection(TStore store, TDefinitionData definition);
TPtr<IActionCollection> NewActionCollection(TStore store, TDefinitionData definition);
// The records behind a definition this library handed out; nullptr for any other object.
const TStoredDefinition2* StoredDefinitionOf(const TPtr<ITaskDefinition>& definition);

}  // namespace platform::standin
