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

// Whether the offer can be seen at all. Without a display (Linux with DISPLAY unset or naming
// no server) it says so on standard error and answers false.
bool CanShowOffer();

// The decision after the switch test: true when the offer is due, with `data` filled in.
// False means "exit": nothing has been written (the settings folder may have been created).
// `removeTask` stands for RemoveOneTimeTask, `canShow` for CanShowOffer: a due offer that
// nobody could see is an exit too, before the task is removed, so the next logon tries again.
bool DecideOffer(TUpgradeData& data, const std::function<void()>& removeTask = RemoveOneTimeTask,
                 const std::function<bool()>& canShow = CanShowOffer);

// The first showing: the time (as a day number) and the program's own version.
void RecordFirstShow(const TUpgradeData& data);

}  // namespace app
