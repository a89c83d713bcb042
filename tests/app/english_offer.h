// The English language table and an offer window wired to it with quiet hooks, as the window
// tests of keys and assistive technology use them.
#pragma once
#include <string>

#include "app/frm_main.h"
#include "locale/lang.h"
#include "platform/resources.h"

namespace testsupport {

inline locale::TLeapgateLang EnglishTexts() {
    locale::TLeapgateLang t;
    if (const auto data = platform::FindResourceData("LANG", "ENGLISH")) t.LoadFromText(*data);
    return t;
}

// Offers 6.3.0.0 in English; showing records nothing and pauses return at once. `texts` must
// outlive the window.
inline void WireEnglishOffer(app::TFormMain& f, const locale::TLeapgateLang& texts) {
    f.Data.NewVersion = "6.3.0.0";
    f.Texts = &texts;
    f.ProductLanguage = [] { return std::string("English"); };
    f.TableName = [] { return std::string("ENGLISH"); };
    f.RecordShow = [] {};
    f.Pause = [](uint32_t) {};
}

}  // namespace testsupport
