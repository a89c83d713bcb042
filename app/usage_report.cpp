#include "app/usage_report.h"

#include <algorithm>

#include "app/formpost.h"
#include "locale/environment.h"
#include "platform/clock.h"
#include "platform/inifile.h"
#include "platform/path.h"

namespace app {

std::string UsageReportJson(const TRunFlags& flags, const std::string& lang) {
    auto member = [](const char* key, const std::string& value) {
        return std::string("\"") + key + "\":\"" + value + "\"";
    };
    return "{" + member("run", "1") + "," + member("lan", lang.empty() ? "en" : lang) + "," +
           member("his", flags.HistoryOpened ? "1" : "0") + "," + member("name", "razuziz") + "," +
           member("close", flags.ClosedByUser ? "1" : "0") + "," +
           member("click", flags.UpgradeClicked ? "1" : "0") + "}";
}

std::string ReportBody(const std::string& encoded) {
    return "data=" + encoded;
}

std::string StatisticsUrl(const std::string& path) {
    return std::string("http://") + LG_STATS_HOST + path;
}

std::string PromotionFilePath() {
    return platform::JoinPath({locale::GetCommonAppDataDir(), "Korvo", "korvopromotion.ini"});
}

void SendReports(const TReportRun& run) {
    const auto wait = run.Wait ? run.Wait : [](uint32_t ms) { platform::SleepMs(ms); };
    const uint64_t end = platform::MonotonicMs() + ClosingLimitMs(run.TimeoutMs);
    // A post's limit: its own, or what is left of the closing work's when that is less.
    auto limit = [&]() -> uint32_t {
        const uint64_t now = platform::MonotonicMs();
        return now >= end ? 0 : static_cast<uint32_t>(std::min<uint64_t>(run.TimeoutMs, end - now));
    };
    try {
        platform::TIniFile promotion(run.PromotionPath);
        promotion.WriteString("Leapgate", "VT_BU", run.NewVersion);
    } catch (...) {
    }

    const std::string usage =
        ReportBody(locale::EncodeReportText(UsageReportJson(run.Flags, run.Lang)));
    try {
        if (!PostForm(StatisticsUrl(kUsagePath), usage, "", "", nullptr, limit())) {
            wait(kRetryPauseMs);
            if (const uint32_t left = limit())
                PostForm(StatisticsUrl(kUsagePath), usage, "", "", nullptr, left);
        }
    } catch (...) {
    }

    try {
        platform::TIniFile settings(run.SettingsPath);
        // With less than half a post's time left the report would only be cut off: it waits
        // for a run whose server answers.
        const uint32_t left = limit();
        if (left > 0 && left >= run.TimeoutMs / 2 && !settings.ReadBool("vt", "idata", false)) {
            std::string body;
            try {
                body = ReportBody(locale::InstalledProductsReport());
            } catch (...) {
                body = ReportBody("");
            }
            PostForm(StatisticsUrl(kProductsPath), body, "", "", nullptr, left);
            // Set whatever the post answered: the report is not repeated for this user.
            settings.WriteBool("vt", "idata", true);
        }
    } catch (...) {
    }
}

}  // namespace app
