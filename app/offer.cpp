#include "app/offer.h"

#include <cstdio>

#include "locale/environment.h"
#include "platform/file.h"
#include "platform/inifile.h"
#include "platform/path.h"
#include "platform/text.h"
#include "platform/window.h"
#include "tasks/taskservice.h"

namespace app {

bool HasLeapgateSwitch(const std::vector<std::string>& args) {
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a.size() > 1 && (a[0] == '/' || a[0] == '-') &&
            platform::SameText(a.substr(1), "leapgate"))
            return true;
    }
    return false;
}

std::string UpdateIniPathIn(const std::string& exeDir) {
    return platform::JoinPath({exeDir, "Update", "Update.ini"});
}

std::string SettingsPathIn(const std::string& appDataDir) {
    return platform::JoinPath({appDataDir, "Korvo", "Vantrel", "Leapgate.ini"});
}

void RemoveOneTimeTask() {
    if (tasks::IsTaskExists(kOneTimeTaskName, "\\") == 0) tasks::DeleteTask(kOneTimeTaskName, "\\");
}

bool CanShowOffer() {
    if (platform::TWindow::Available()) return true;
    std::fputs(
        "Leapgate: the upgrade offer is due, but there is no display to show it on (DISPLAY is "
        "unset or names no X server reachable here). Nothing was changed; the offer will be "
        "made at a later start.\n",
        stderr);
    std::fflush(stderr);
    return false;
}

bool DecideOffer(TUpgradeData& data, const std::function<void()>& removeTask,
                 const std::function<bool()>& canShow) {
    if (locale::IsFullScreenAppActive()) return false;
    if (!platform::FileExists(data.UpdateIniPath)) return false;
    try {
        platform::TIniFile update(data.UpdateIniPath);
        data.UpdateUrl = update.ReadString("VT_Leapgate", "VT_Url", "");
        data.SetupParams = update.ReadString("VT_Leapgate", "VT_Pmt", "");
        data.SetupMd5 = update.ReadString("VT_Leapgate", "VT_Md5", "");
        data.NewVersion = update.ReadString("VT_Leapgate", "VT_Ver", "6.3.0.0");
        data.SetupSize = update.ReadInteger("VT_Leapgate", "VT_Size", 0);
    } catch (...) {
        return false;
    }
    if (data.UpdateUrl.empty() || data.SetupParams.empty() || data.SetupMd5.empty()) {
        removeTask();
        return false;
    }
    try {
        platform::TIniFile settings(data.SettingsPath);
        const double last = settings.ReadFloat("VT", "LeapLastTime", 0);
        // Counted in both directions: a clock set back does not bring the offer early either.
        if (last != 0 && locale::WholeDaysApart(locale::NowLocal(), last) == 0) return false;
    } catch (...) {
        // An unreadable settings file holds nothing back.
    }
    if (!canShow()) return false;
    removeTask();
    return true;
}

void RecordFirstShow(const TUpgradeData& data) {
    try {
        platform::TIniFile settings(data.SettingsPath);
        settings.WriteFloat("VT", "LeapLastTime", locale::NowLocal());
        settings.WriteString("VT", "LeapVersion", locale::GetFileVersionText("", 4));
    } catch (...) {
    }
}

}  // namespace app
