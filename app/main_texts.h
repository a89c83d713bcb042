// Every text of the offer window, prepared from the language table once at the first show:
// versions put in, ampersands kept visible, link markup removed, and the progress line filled
// in while downloading.
#pragma once
#include <cstdint>
#include <map>
#include <string>

#include "locale/lang.h"

namespace app {

struct TMainTexts {
    std::string Title, Description, UpgradeCaption, CloseHint, MinimizeCaption;
    std::map<int, std::string> Layers;  // animator layer index → its text
    std::string SpeedTemplate, InstallTitle, InstallDes;
};

// `language` is the product's configured language (for its layout spaces).
TMainTexts PrepareMainTexts(const locale::TLeapgateLang& texts, const std::string& newVersion,
                            const std::string& language);

// Removes the first "<a>" and then the first "</a>", letters compared without regard to case.
std::string StripLinkMarkup(const std::string& text);

// The progress line: "%s1" done, "%s2" total (sizes of their low 32 bits), "%s3" speed per
// second, "%s4" the percentage; each marker replaced once, letters compared ignoring case. A
// negative size (not known) reads "0 KB".
std::string FormatSpeedText(const std::string& speedTemplate, double percent, double speed,
                            int64_t total, int64_t done);

}  // namespace app
