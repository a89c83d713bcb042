// The language tables and the quick look into Config.ini read INI text held in memory. What must
// hold for any text: every section and key it lists can be found again, and a listed key's value
// is the first one the text gives for it.
#include <cstdint>
#include <string>

#include "fuzz/fuzz_check.h"
#include "locale/meminifile.h"
#include "platform/text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    locale::TMemIniFile ini;
    ini.LoadFromText(std::string_view(reinterpret_cast<const char*>(data), size));
    for (const std::string& s : ini.ReadSections()) {
        FUZZ_CHECK(ini.SectionExists(s), "a listed section exists");
        for (const std::string& k : ini.ReadSection(s)) {
            FUZZ_CHECK(ini.ValueExists(s, k), "a listed key exists");
            FUZZ_CHECK(platform::Trim(k) == k, "keys are trimmed");
        }
    }
    FUZZ_CHECK(ini.IsEmpty() == ini.ReadSections().empty(), "empty means no sections");
    return 0;
}
