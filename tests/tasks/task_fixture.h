// Shared set-up of the task tests: the recording task scheduler, a fixed clock and system,
// a scriptable service control manager, and the lines of "TaskException.log".
#pragma once
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "log/logfile.h"
#include "platform/file.h"
#include "platform/path.h"
#include "platform/servicecontrol.h"
#include "platform/shellfolders.h"
#include "platform/text.h"
#include "tasks/taskservice.h"
#include "tests/support/fake_taskscheduler.h"
#include "tests/support/fakes.h"
#include "tests/support/task_log_helper.h"

namespace tasktest {

// The service control manager with one service whose state the test sets; every call is
// recorded by name, and any call can be made to fail with a chosen error.
class TFakeServiceControl : public platform::IServiceControl {
public:
    uint32_t State = platform::kServiceRunning;
    uint32_t StartType = 3;
    bool StartWorks = true;
    std::map<std::string, uint32_t> Failures;  // call name -> last error
    std::vector<std::string> Calls;
    int OpenHandles = 0;

    uintptr_t OpenSCManager(uint32_t access) override {
        if (Fail("OpenSCManager:" + std::to_string(access))) return 0;
        return Open();
    }
    uintptr_t OpenService(uintptr_t, const std::string& name, uint32_t access) override {
        if (Fail("OpenService:" + name + ":" + std::to_string(access))) return 0;
        return Open();
    }
    bool QueryServiceStatus(uintptr_t, uint32_t& state) override {
        if (Fail("QueryServiceStatus")) return false;
        state = State;
        return true;
    }
    bool StartService(uintptr_t) override {
        if (Fail("StartService")) return false;
        if (!StartWorks) {
            FLastError = 1058;
            return false;
        }
        State = platform::kServiceRunning;
        return true;
    }
    bool CloseServiceHandle(uintptr_t) override {
        Calls.push_back("CloseServiceHandle");
        --OpenHandles;
        return true;
    }
    uintptr_t LockServiceDatabase(uintptr_t) override {
        if (Fail("LockServiceDatabase")) return 0;
        return 0x77;
    }
    bool UnlockServiceDatabase(uintptr_t) override { return !Fail("UnlockServiceDatabase"); }
    bool QueryServiceLockStatus(uintptr_t, platform::TServiceLockStatus&) override {
        return !Fail("QueryServiceLockStatus");
    }
    bool ChangeServiceConfig(uintptr_t, uint32_t serviceType, uint32_t startType,
                             uint32_t errorControl) override {
        if (Fail("ChangeServiceConfig:" + std::to_string(serviceType) + ":" +
                 std::to_string(startType) + ":" + std::to_string(errorControl)))
            return false;
        StartType = startType;
        return true;
    }
    bool HasChangeServiceConfig2() override { return true; }
    bool ChangeServiceDescription(uintptr_t, const std::string& d) override {
        return !Fail("ChangeServiceDescription:" + d);
    }
    uint32_t LastError() override { return FLastError; }
    bool FindWindow(const std::string& c, const std::string& t) override {
        return !Fail("FindWindow:" + c + ":" + t) && AgentWindow;
    }
    bool SearchPath(const std::string& f, std::string& path) override {
        if (Fail("SearchPath:" + f)) return false;
        path = "C:\\Windows\\mstask.exe";
        return true;
    }
    bool CreateProcess(const std::string& p, uint32_t flags) override {
        return !Fail("CreateProcess:" + p + ":" + std::to_string(flags));
    }
    bool AgentWindow = false;

private:
    // Records the call; true (with the last error set) when the test made it fail. A failure
    // is keyed by the call's name alone or by the name with its arguments.
    bool Fail(const std::string& call) {
        Calls.push_back(call);
        std::string name = call.substr(0, call.find(':'));
        for (const std::string& key : {call, name}) {
            auto it = Failures.find(key);
            if (it != Failures.end()) {
                FLastError = it->second;
                return true;
            }
        }
        FLastError = 0;
        return false;
    }
    uintptr_t Open() {
        ++OpenHandles;
        return 0x100 + static_cast<uintptr_t>(OpenHandles);
    }
    uint32_t FLastError = 0;
};

using testsupport::ClearTaskLog;
using testsupport::TaskLogLines;

class TTaskTest : public testing::Test {
protected:
    void SetUp() override {
        platform::SetSystemInfo(&Info);
        platform::SetClock(&Clock);
        platform::SetServiceControl(&Services);
        ClearTaskLog();
    }
    void TearDown() override {
        tasks::FreeTaskAdapter();
        platform::SetServiceControl(nullptr);
        platform::SetClock(nullptr);
        platform::SetSystemInfo(nullptr);
        ClearTaskLog();
    }
    testsupport::TFakeTaskStore& Store() { return Fake.Store(); }
    // The recorded calls whose names start with any of the prefixes.
    std::vector<std::string> Calls(const std::vector<std::string>& prefixes) {
        return Store().CallsMatching(prefixes);
    }

    testsupport::TTaskLogLock LogLock;  // first: held while everything else lives
    testsupport::TFakeTaskScheduler Fake;
    testsupport::TFakeSystemInfo Info;
    testsupport::TFakeClock Clock;
    TFakeServiceControl Services;
};

// A case against the adapter of one generation (2.0 when V2), made before the case.
template <bool V2>
class TAdapterTest : public TTaskTest {
protected:
    void SetUp() override {
        TTaskTest::SetUp();
        tasks::UseTaskScheduler2 = V2;
        tasks::CreateTaskAdapter();
    }
    auto& Adapter() {
        if constexpr (V2)
            return *tasks::TaskAdapter2();
        else
            return *tasks::TaskAdapter1();
    }
};

}  // namespace tasktest
