// The reports every run that showed the offer sends at its end, and the marker it leaves.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "platform/internet.h"

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
    // The limit of each post (connect, send, receive). All the posts of a run together end
    // within ClosingLimitMs of it.
    uint32_t TimeoutMs = platform::kInternetTimeoutMs;
};

inline constexpr uint32_t kRetryPauseMs = 3000;  // between the two tries of the usage post

// How long the closing posts may take in all: two tries of the usage post and the pause
// between them. The installed-products post gets what is left of it.
inline constexpr uint64_t ClosingLimitMs(uint32_t timeoutMs) {
    return 2 * static_cast<uint64_t>(timeoutMs) + kRetryPauseMs;
}

std::string PromotionFilePath();  // all users' app data + Korvo\korvopromotion.ini

// The promotion marker, the usage report (a second try 3 s after a failure) and, once per
// user, the installed-products report. Never throws; failures are swallowed. Ends within
// ClosingLimitMs(run.TimeoutMs) whatever the server does: when the usage post has left less
// than half a post's limit of it, the installed-products post is not made and the user stays
// unmarked, so that a later run sends it.
void SendReports(const TReportRun& run);

}  // namespace app
