// Fakes of the swappable platform interfaces, installed for the life of a scope.
#pragma once
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/internet.h"
#include "platform/process.h"
#include "platform/registry.h"
#include "platform/screen.h"
#include "platform/sysinfo.h"

namespace testsupport {

class TFakeSystemInfo : public platform::ISystemInfo {
public:
    platform::TOsVersion Version{2, 10, 0, 19045};
    uint32_t SystemLcid = 1033, UserLcid = 1033;
    char Decimal = '.', Time = ':';
    std::string User = "tester";
    platform::TOsVersion OsVersion() override { return Version; }
    uint32_t SystemLocaleId() override { return SystemLcid; }
    uint32_t UserLocaleId() override { return UserLcid; }
    char DecimalSeparator() override { return Decimal; }
    char TimeSeparator() override { return Time; }
    std::string UserName() override { return User; }
};

class TScopedSystemInfo {
public:
    explicit TScopedSystemInfo(platform::ISystemInfo& info) { platform::SetSystemInfo(&info); }
    ~TScopedSystemInfo() { platform::SetSystemInfo(nullptr); }
};

class TFakeClock : public platform::IClock {
public:
    platform::TSystemTime Now{2026, 12, 8, 10, 30, 15, 250, 2};
    uint32_t Tick = 1000;
    int Offset = 60;
    platform::TSystemTime LocalTime() override { return Now; }
    uint32_t TickCount() override { return Tick; }
    int UtcOffsetMinutes() override { return Offset; }
};

class TScopedClock {
public:
    explicit TScopedClock(platform::IClock& clock) { platform::SetClock(&clock); }
    ~TScopedClock() { platform::SetClock(nullptr); }
};

class TFakeScreen : public platform::IScreen {
public:
    int Width = 1920, Height = 1080;
    platform::TForegroundWindow Foreground;
    bool Composition = true;
    int ScreenWidth() override { return Width; }
    int ScreenHeight() override { return Height; }
    platform::TForegroundWindow ForegroundWindow() override { return Foreground; }
    bool IsCompositionEnabled() override { return Composition; }
};

class TScopedScreen {
public:
    explicit TScopedScreen(platform::IScreen& screen) { platform::SetScreen(&screen); }
    ~TScopedScreen() { platform::SetScreen(nullptr); }
};

// Registry contents by "key|value" (key as the program spells it) and key existence by key.
class TFakeRegistry : public platform::IRegistry {
public:
    std::map<std::string, std::string> Strings;
    std::map<std::string, uint32_t> Dwords;
    std::set<std::string> Keys;
    std::vector<bool> Views32;  // the view of every access, in order
    bool KeyExists(platform::RegHive, const std::string& key, bool view32) override {
        Views32.push_back(view32);
        return Keys.count(key) > 0;
    }
    std::optional<std::string> ReadString(platform::RegHive, const std::string& key,
                                          const std::string& value, bool view32) override {
        Views32.push_back(view32);
        auto it = Strings.find(key + "|" + value);
        if (it == Strings.end()) return std::nullopt;
        return it->second;
    }
    std::optional<uint32_t> ReadDword(platform::RegHive, const std::string& key,
                                      const std::string& value, bool view32) override {
        Views32.push_back(view32);
        auto it = Dwords.find(key + "|" + value);
        if (it == Dwords.end()) return std::nullopt;
        return it->second;
    }
};

class TScopedRegistry {
public:
    explicit TScopedRegistry(platform::IRegistry& r) { platform::SetRegistry(&r); }
    ~TScopedRegistry() { platform::SetRegistry(nullptr); }
};

// Records launches; each answers with the next result of `Results` (default: success).
class TFakeLauncher : public platform::ILauncher {
public:
    struct TLaunch {
        std::string Kind, File, Parameters;
    };
    std::vector<TLaunch> Launches;
    std::vector<int> ShellResults;  // consumed in order; 42 when exhausted
    bool StartResult = true;
    bool StartProcess(const std::string& application, const std::string& parameters) override {
        Launches.push_back({"process", application, parameters});
        return StartResult;
    }
    int ShellOpen(const std::string& file, const std::string& parameters) override {
        Launches.push_back({"shell", file, parameters});
        if (ShellResults.empty()) return 42;
        const int r = ShellResults.front();
        ShellResults.erase(ShellResults.begin());
        return r;
    }
};

class TScopedLauncher {
public:
    explicit TScopedLauncher(platform::ILauncher& l) { platform::SetLauncher(&l); }
    ~TScopedLauncher() { platform::SetLauncher(nullptr); }
};

// Records requests; cracks URLs with the real cracker; answers with `Answers` in order.
class TFakeInternet : public platform::IInternet {
public:
    std::vector<platform::TInternetRequest> Sent;
    std::vector<bool> Answers;  // consumed in order; true when exhausted
    bool CrackUrl(const std::string& url, platform::TUrlComponents& parts) override {
        return platform::RealInternet().CrackUrl(url, parts);
    }
    bool Send(const platform::TInternetRequest& request, std::string* reply) override {
        Sent.push_back(request);
        if (reply) *reply = "";
        if (Answers.empty()) return true;
        const bool a = Answers.front();
        Answers.erase(Answers.begin());
        return a;
    }
};

class TScopedInternet {
public:
    explicit TScopedInternet(platform::IInternet& i) { platform::SetInternet(&i); }
    ~TScopedInternet() { platform::SetInternet(nullptr); }
};

}  // namespace testsupport
