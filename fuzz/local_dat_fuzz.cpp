// local.dat beside the program, any bytes: the regional profile comes out with valid text, and a
// file that gives nothing leaves the defaults.
#include <cstdint>
#include <string>

#include "fuzz/fuzz_check.h"
#include "locale/local_profile.h"
#include "platform/file.h"
#include "platform/text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string file = fuzz::PutScratch("local", data, size);
    const locale::TLocal local = locale::LoadLocalProfileFrom(file);
    for (const std::string* field : {&local.Name, &local.Lang, &local.Ref, &local.Pr})
        FUZZ_CHECK(platform::IsValidUtf8(*field), "profile fields are valid UTF-8");
    if (size == 0) {
        const locale::TLocal defaults;
        FUZZ_CHECK(
            local.Name == defaults.Name && local.Ref == defaults.Ref && local.Pr == defaults.Pr,
            "an empty file leaves the defaults");
    }
    platform::DeleteFile(file);
    return 0;
}
