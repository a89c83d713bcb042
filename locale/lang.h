// The window texts of the run: one built-in table, chosen at start-up, read-only afterwards.
#pragma once
#include <string>

#include "locale/meminifile.h"

namespace locale {

// The texts of one language. A text the table lacks is the empty text (or the default given):
// there is no key-by-key fallback to another language.
class TLeapgateLang : public TMemIniFile {
public:
    std::string GetText(std::string_view section, std::string_view key,
                        const std::string& defaultValue = "") const {
        return ReadString(section, key, defaultValue);
    }
};

// The table of the run; an empty table until BuildLangTexts has run and after FreeLangTexts.
const TLeapgateLang& LangTexts();

// Start-up step: chooses the language (LoadLanguage) and loads its table, or an empty one
// when no table fits. Runs on the user-interface thread before any window or other thread.
void BuildLangTexts();
// Matching shut-down step.
void FreeLangTexts();

}  // namespace locale
