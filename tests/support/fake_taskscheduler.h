// The Task Scheduler interfaces in memory for tests: every call is recorded as
// "Interface.Method(arguments)", and any chosen call can be refused with a chosen HRESULT.
// Constructing a TFakeTaskScheduler installs it as the process's task scheduler platform;
// destroying it puts the previous one back.
#pragma once
#include <string>
#include <vector>

#include "platform/standin/taskstore.h"

namespace testsupport {

class TFakeTaskStore : public platform::TMemoryTaskStore {
public:
    struct TRefusal {
        std::string Call;  // "ITaskSettings.put_Priority"
        platform::HResult Code;
        int Nth;  // refuse only the nth such call (1-based); 0: every one
        std::string Message;
        std::string Source;
        int Seen = 0;
    };

    platform::HResult OnCall(const std::string& call, const std::string& args) override;
    void DescribeError(platform::HResult hr, std::string& message, std::string& source) override;
    std::string BackendName() override { return "fake"; }

    void Refuse(const std::string& call, platform::HResult code, int nth = 0,
                const std::string& message = "Refused by the test",
                const std::string& source = "FakeTaskScheduler");
    void ClearRefusals() { FRefusals.clear(); }

    // Calls in order, "Name(args)".
    std::vector<std::string> Calls;
    // The recorded calls whose name starts with one of the prefixes.
    std::vector<std::string> CallsMatching(const std::vector<std::string>& prefixes) const;
    int CountOf(const std::string& name) const;  // calls of exactly this name
    bool Called(const std::string& name) const { return CountOf(name) > 0; }

private:
    std::vector<TRefusal> FRefusals;
    const TRefusal* FLastRefusal = nullptr;
};

class TFakeTaskScheduler {
public:
    TFakeTaskScheduler();
    ~TFakeTaskScheduler();
    TFakeTaskScheduler(const TFakeTaskScheduler&) = delete;
    TFakeTaskScheduler& operator=(const TFakeTaskScheduler&) = delete;

    TFakeTaskStore& Store() { return *FStore; }
    platform::ITaskSchedulerPlatform& Platform() { return FPlatform; }

private:
    std::shared_ptr<TFakeTaskStore> FStore;
    platform::TMemTaskSchedulerPlatform FPlatform;
};

}  // namespace testsupport
