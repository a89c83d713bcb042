// The Linux stand-in for the service control manager: every service is known, and its state
// and start type live in "<root>/Services/<name>" (a missing file: running, automatic start),
// so a test or a developer can stop the stand-in's "Schedule" service by writing the file.
#include "platform/servicecontrol.h"

#include <map>

#include "platform/file.h"
#include "platform/path.h"
#include "platform/shellfolders.h"
#include "platform/text.h"

namespace platform {

namespace {

struct TServiceState {
    uint32_t State = kServiceRunning;
    uint32_t StartType = 2;
    std::string Description;
};

std::string StateFile(const std::string& name) {
    return JoinPath({StandInRoot(), "Services", name});
}

TServiceState ReadState(const std::string& name) {
    TServiceState s;
    auto bytes = ReadFileBytes(StateFile(name));
    if (!bytes) return s;
    size_t pos = 0;
    while (pos < bytes->size()) {
        size_t end = bytes->find('\n', pos);
        if (end == std::string::npos) end = bytes->size();
        std::string line = bytes->substr(pos, end - pos);
        size_t eq = line.find('=');
        int64_t n = 0;
        if (eq != std::string::npos) {
            std::string key = line.substr(0, eq), value = line.substr(eq + 1);
            if (key == "State" && ParseInt64(value, n)) s.State = static_cast<uint32_t>(n);
            if (key == "StartType" && ParseInt64(value, n)) s.StartType = static_cast<uint32_t>(n);
            if (key == "Description") s.Description = value;
        }
        pos = end + 1;
    }
    return s;
}

void WriteState(const std::string& name, const TServiceState& s) {
    ForceDirectories(ExtractFileDir(StateFile(name)));
    WriteFileBytes(StateFile(name), "State=" + std::to_string(s.State) +
                                        "\nStartType=" + std::to_string(s.StartType) +
                                        "\nDescription=" + s.Description + "\n");
}

class TStandInServiceControl : public IServiceControl {
public:
    uintptr_t OpenSCManager(uint32_t) override { return NewHandle(""); }
    uintptr_t OpenService(uintptr_t manager, const std::string& name, uint32_t) override {
        if (!FHandles.count(manager) || name.empty()) return Fail(1060);  // does not exist
        return NewHandle(name);
    }
    bool QueryServiceStatus(uintptr_t service, uint32_t& state) override {
        auto it = FHandles.find(service);
        if (it == FHandles.end() || it->second.empty()) return Fail(6) != 0;
        state = ReadState(it->second).State;
        return true;
    }
    bool StartService(uintptr_t service) override {
        auto it = FHandles.find(service);
        if (it == FHandles.end() || it->second.empty()) return Fail(6) != 0;
        TServiceState s = ReadState(it->second);
        if (s.StartType == 4) return Fail(1058) != 0;            // disabled
        if (s.State == kServiceRunning) return Fail(1056) != 0;  // already running
        s.State = kServiceRunning;
        WriteState(it->second, s);
        return true;
    }
    bool CloseServiceHandle(uintptr_t handle) override {
        return FHandles.erase(handle) == 1 || Fail(6) != 0;
    }
    uintptr_t LockServiceDatabase(uintptr_t manager) override {
        if (!FHandles.count(manager)) return Fail(6);
        return NewHandle("");
    }
    bool UnlockServiceDatabase(uintptr_t lock) override { return CloseServiceHandle(lock); }
    bool QueryServiceLockStatus(uintptr_t manager, TServiceLockStatus& status) override {
        if (!FHandles.count(manager)) return Fail(6) != 0;
        status = {};
        return true;
    }
    bool ChangeServiceConfig(uintptr_t service, uint32_t, uint32_t startType, uint32_t) override {
        auto it = FHandles.find(service);
        if (it == FHandles.end() || it->second.empty()) return Fail(6) != 0;
        TServiceState s = ReadState(it->second);
        if (startType != kServiceNoChange) s.StartType = startType;
        WriteState(it->second, s);
        return true;
    }
    bool HasChangeServiceConfig2() override { return true; }
    bool ChangeServiceDescription(uintptr_t service, const std::string& description) override {
        auto it = FHandles.find(service);
        if (it == FHandles.end() || it->second.empty()) return Fail(6) != 0;
        TServiceState s = ReadState(it->second);
        s.Description = description;
        WriteState(it->second, s);
        return true;
    }
    uint32_t LastError() override { return FLastError; }
    bool FindWindow(const std::string&, const std::string&) override { return false; }
    bool SearchPath(const std::string&, std::string&) override { return Fail(2) != 0; }
    bool CreateProcess(const std::string&, uint32_t) override { return Fail(2) != 0; }

private:
    uintptr_t NewHandle(const std::string& name) {
        FHandles[++FNext] = name;
        FLastError = 0;
        return FNext;
    }
    uintptr_t Fail(uint32_t error) {
        FLastError = error;
        return 0;
    }
    std::map<uintptr_t, std::string> FHandles;
    uintptr_t FNext = 0x100;
    uint32_t FLastError = 0;
};

}  // namespace

IServiceControl& RealServiceControl() {
    static TStandInServiceControl real;
    return real;
}

}  // namespace platform
