// Whether to offer the upgrade now, decided silently at start-up, and the record of a showing.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace app {

inline constexpr const char* kOneTimeTaskName = "VT Leapgate Task ( One Time )";

struct TUpgradeData {
    std::string UpdateIniPath;  // program folder + Update\Update.ini
    std::string SettingsPath;   // roaming app data + Korvo\Vantrel\Leapgate.ini
    std::string UpdateUrl;
    std::string SetupParams;
    std::string SetupMd5;
    std::string NewVersion = "6.3.0.0";
    int64_t SetupSize = 0;
};

// The switch "leapgate" after "/" or "-", any case, in any position but the program's own.
bool HasLeapgateSwitch(const std::vector<std::string>& args);

std::string UpdateIniPathIn(const std::string& exeDir);
std::string SettingsPathIn(const std::string& appDataDir);

// Removes the program's one-time logon task from the root folder when it is there.
void RemoveOneTimeTask();

// The decision after the switch test: true when the offer is due, with `data` filled in.
// False means "exit": nothing has been written (the settings folder may have been created).
// `removeTask` stands for RemoveOneTimeTask.
bool DecideOffer(TUpgradeData& data, const std::function<void()>& removeTask = RemoveOneTimeTask);

// The first showing: the time (as a day number) and the program's own version.
void RecordFirstShow(const TUpgradeData& data);

}  // namespace app
