// The reports every run that showed the offer sends at its end, and the marker it leaves.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

namespace app {

struct TRunFlags {
    bool UpgradeClicked = false;
    bool HistoryOpened = false;
    bool ClosedByUser = false;
};

inline constexpr const char* kUsagePath = "/other/vt6_leap.php";
inline constexpr const char* kProductsPath = "/other/vt_corspdata.php";

// {"run":"1","lan":…,"his":…,"name":"razuziz","close":…,"click":…}, compact, in that order.
std::string UsageReportJson(const TRunFlags& flags, const std::string& lang);
std::string ReportBody(const std::string& encoded);  // "data=" + the Base64 text, unchanged
std::string StatisticsUrl(const std::string& path);  // on the maker's statistics server

struct TReportRun {
    std::string SettingsPath;   // Leapgate.ini
    std::string PromotionPath;  // korvopromotion.ini
    std::string NewVersion;
    std::string Lang;  // of the regional profile; "en" is sent when empty
    TRunFlags Flags;
    // Waits between the two tries of the usage post; the real one sleeps.
    std::function<void(uint32_t ms)> Wait;
};

std::string PromotionFilePath();  // all users' app data + Korvo\korvopromotion.ini

// The promotion marker, the usage report (a second try 3 s after a failure) and, once per
// user, the installed-products report. Never throws; failures are swallowed.
void SendReports(const TReportRun& run);

}  // namespace app
