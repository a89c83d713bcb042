#include "locale/lang.h"

#include <memory>

#include "locale/language.h"
#include "platform/resources.h"

namespace locale {

namespace {
// Built and freed on the user-interface thread while no other thread runs; only read between.
std::unique_ptr<TLeapgateLang> gLangTexts;
}  // namespace

const TLeapgateLang& LangTexts() {
    static const TLeapgateLang empty;
    return gLangTexts ? *gLangTexts : empty;
}

void BuildLangTexts() {
    auto texts = std::make_unique<TLeapgateLang>();
    if (const auto name = LoadLanguage()) {
        if (const auto data = platform::FindResourceData("LANG", *name)) texts->LoadFromText(*data);
    }
    gLangTexts = std::move(texts);
}

void FreeLangTexts() {
    gLangTexts.reset();
}

}  // namespace locale
