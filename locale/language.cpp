#include "locale/language.h"

#include "locale/config.h"
#include "locale/meminifile.h"
#include "platform/file.h"
#include "platform/guarded.h"
#include "platform/resources.h"
#include "platform/text.h"

namespace locale {

namespace {

constexpr const char* kLangType = "LANG";
constexpr const char* kEnglish = "ENGLISH";

platform::TGuarded<std::string> gLangResName;

bool LangResourceExists(const std::string& name) {
    return !name.empty() && platform::FindResourceData(kLangType, name).has_value();
}

// The language as the product's file states it, read from a private copy of the file so that
// a half-written file cannot disturb anything else. Any failure means English.
std::string ProductLanguageName() {
    const std::string file = ProductConfigFile();
    if (file.empty() || !platform::FileExists(file)) return kEnglish;
    const auto bytes = platform::ReadFileBytes(file);
    if (!bytes) return kEnglish;
    TMemIniFile ini;
    ini.LoadFromText(platform::DecodeWithBom(*bytes));
    return ini.ReadString("General", "Language", kEnglish);
}

}  // namespace

std::string NormalizeLangName(const std::string& displayName) {
    std::string name;
    for (char c : displayName) {
        if (c >= 'a' && c <= 'z')
            name += static_cast<char>(c - 'a' + 'A');
        else if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
            name += c;
    }
    return name;
}

std::optional<std::string> LoadLanguage() {
    std::optional<std::string> chosen;
    std::string name = NormalizeLangName(ProductLanguageName());
    if (LangResourceExists(name)) {
        chosen = name;
    } else if (name != kEnglish && LangResourceExists(kEnglish)) {
        chosen = kEnglish;
    }
    gLangResName.Set(chosen.value_or(""));
    return chosen;
}

std::string LangResName() {
    return gLangResName.Get();
}

}  // namespace locale
