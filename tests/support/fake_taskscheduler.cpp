#include "tests/support/fake_taskscheduler.h"

namespace testsupport {

using platform::HResult;

HResult TFakeTaskStore::OnCall(const std::string& call, const std::string& args) {
    Calls.push_back(call + "(" + args + ")");
    for (auto& refusal : FRefusals) {
        if (refusal.Call != call) continue;
        ++refusal.Seen;
        if (refusal.Nth == 0 || refusal.Nth == refusal.Seen) {
            FLastRefusal = &refusal;
            return refusal.Code;
        }
    }
    return platform::kSOk;
}

void TFakeTaskStore::DescribeError(HResult hr, std::string& message, std::string& source) {
    if (FLastRefusal && FLastRefusal->Code == hr) {
        message = FLastRefusal->Message;
        source = FLastRefusal->Source;
        return;
    }
    TMemoryTaskStore::DescribeError(hr, message, source);
}

void TFakeTaskStore::Refuse(const std::string& call, HResult code, int nth,
                            const std::string& message, const std::string& source) {
    FLastRefusal = nullptr;  // the vector may move
    FRefusals.push_back(TRefusal{call, code, nth, message, source});
}

std::vector<std::string> TFakeTaskStore::CallsMatching(
    const std::vector<std::string>& prefixes) const {
    std::vector<std::string> out;
    for (auto& call : Calls)
        for (auto& prefix : prefixes)
            if (call.compare(0, prefix.size(), prefix) == 0) {
                out.push_back(call);
                break;
            }
    return out;
}

int TFakeTaskStore::CountOf(const std::string& name) const {
    int count = 0;
    for (auto& call : Calls)
        if (call.compare(0, name.size() + 1, name + "(") == 0) ++count;
    return count;
}

namespace {
std::vector<platform::ITaskSchedulerPlatform*> gPrevious;
}

TFakeTaskScheduler::TFakeTaskScheduler()
    : FStore(std::make_shared<TFakeTaskStore>()), FPlatform(FStore) {
    FStore->DefaultUser = "tester";
    gPrevious.push_back(&platform::TaskSchedulerPlatform());
    platform::SetTaskSchedulerPlatform(&FPlatform);
}

TFakeTaskScheduler::~TFakeTaskScheduler() {
    platform::ITaskSchedulerPlatform* previous = gPrevious.back();
    gPrevious.pop_back();
    platform::SetTaskSchedulerPlatform(
        previous == &platform::RealTaskSchedulerPlatform() ? nullptr : previous);
}

}  // namespace testsupport
