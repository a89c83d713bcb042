#include "app/main_texts.h"

#include <cmath>

#include "locale/environment.h"
#include "platform/text.h"

namespace app {

std::string StripLinkMarkup(const std::string& text) {
    return platform::ReplaceFirstNoCase(platform::ReplaceFirstNoCase(text, "<a>", ""), "</a>", "");
}

TMainTexts PrepareMainTexts(const locale::TLeapgateLang& texts, const std::string& newVersion,
                            const std::string& language) {
    auto get = [&](const char* section, const char* key) { return texts.GetText(section, key); };
    const std::string shortVersion = locale::VersionPrefix(newVersion, 2);
    TMainTexts t;
    t.Title = platform::ReplaceFirstNoCase(get("FormMain", "mainTitle"), "%s", shortVersion);
    // A label would take "&" as the marker of an underlined letter.
    t.Description = platform::ReplaceAll(
        platform::ReplaceFirstNoCase(get("FormMain", "mainDes"), "%s", newVersion), "&", "&&");
    t.UpgradeCaption = get("FormMain", "btnUpgrade");
    t.CloseHint = get("Common", "closeHint");
    t.MinimizeCaption = get("FormMain", "btnMin");
    const std::string improved = get("Common", "lblImproved");
    const std::string isNew = get("Common", "lblNew");
    t.Layers = {
        {3, get("FormMain", "p1Title")},
        {4, improved},
        {5, get("FormMain", "p1Des")},
        {7, get("FormMain", "p1TableDes1")},
        {8, get("FormMain", "p1TableDes2")},
        {18, get("FormMain", "p2Title1")},
        {20, isNew},
        {21, get("FormMain", "p2Des1")},
        {23, get("FormMain", "p2Title2")},
        {25, isNew},
        {26, get("FormMain", "p2Des2")},
        {28, get("FormMain", "p2Title3")},
        {29, get("FormMain", "p2Tag3")},
        {30, get("FormMain", "p2Des3")},
        {34, get("FormMain", "p3Title1")},
        {35, improved},
        {36, get("FormMain", "p3Des1")},
        {38, get("FormMain", "p3Title2")},
        {39, improved},
        {40, get("FormMain", "p3Des2")},
        {42, StripLinkMarkup(get("FormMain", "btnNewFeatures"))},
    };
    t.SpeedTemplate = get("FormMain", "downloadInfo1") + " " + get("FormMain", "downloadInfo2");
    t.InstallTitle =
        platform::ReplaceFirstNoCase(get("FormMain", "installTitle"), "%s", shortVersion);
    t.InstallDes = platform::ReplaceFirstNoCase(get("FormMain", "installDes"), "%s", newVersion);
    // The page-3 titles of these two languages need one blank more to keep their tags clear.
    if (platform::SameText(language, "english"))
        t.Layers[34] += " ";
    else if (language == "Russian")
        t.Layers[38] += " ";
    return t;
}

std::string FormatSpeedText(const std::string& speedTemplate, double percent, double speed,
                            int64_t total, int64_t done) {
    // A negative count is the "not known" marker (no length announced, or a negative size in
    // the update file): it reads as nothing yet, never as the gigabytes of its low 32 bits.
    auto size = [](int64_t bytes) {
        return bytes < 0 ? std::string("0 KB") : locale::FormatSize(static_cast<int32_t>(bytes));
    };
    std::string s = platform::ReplaceFirstNoCase(speedTemplate, "%s1", size(done));
    s = platform::ReplaceFirstNoCase(s, "%s2", size(total));
    s = platform::ReplaceFirstNoCase(s, "%s3",
                                     size(static_cast<int64_t>(std::trunc(speed))) + "/s");
    s = platform::ReplaceFirstNoCase(
        s, "%s4", std::to_string(static_cast<int64_t>(std::trunc(percent))) + "%");
    return s;
}

}  // namespace app
