#include "app/usage_report.h"

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
    try {
        platform::TIniFile promotion(run.PromotionPath);
        promotion.WriteString("Leapgate", "VT_BU", run.NewVersion);
    } catch (...) {
    }

    const std::string usage =
        ReportBody(locale::EncodeReportText(UsageReportJson(run.Flags, run.Lang)));
    try {
        if (!PostForm(StatisticsUrl(kUsagePath), usage)) {
            wait(3000);
            PostForm(StatisticsUrl(kUsagePath), usage);
        }
    } catch (...) {
    }

    try {
        platform::TIniFile settings(run.SettingsPath);
        if (!settings.ReadBool("vt", "idata", false)) {
            std::string body;
            try {
                body = ReportBody(locale::InstalledProductsReport());
            } catch (...) {
                body = ReportBody("");
            }
            PostForm(StatisticsUrl(kProductsPath), body);
            // Set whatever the post answered: the report is not repeated for this user.
            settings.WriteBool("vt", "idata", true);
        }
    } catch (...) {
    }
}

}  // namespace app
