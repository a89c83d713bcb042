// The stand-in's profile engine over any file. Settings, Config.ini and the state file all go
// through it, so what must hold is what their readers rely on: a value written is the value read
// back; a write that changes nothing leaves every byte; adding a key and deleting it again gives
// the file of before; every name listed can be looked up; nothing read is invalid UTF-8.
#include <cstdint>
#include <string>

#include "fuzz/fuzz_check.h"
#include "platform/file.h"
#include "platform/profile.h"
#include "platform/text.h"

using namespace platform;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string file = fuzz::PutScratch("profile", data, size);

    const std::vector<std::string> sections = ProfileSectionNames(file);
    for (const std::string& s : sections) {
        FUZZ_CHECK(IsValidUtf8(s), "section names are valid UTF-8");
        for (const std::string& k : ProfileKeyNames(file, s)) {
            FUZZ_CHECK(IsValidUtf8(k) && !k.empty(), "key names are valid and not empty");
            const std::string v = ProfileGetString(file, s, k, "\x01");
            FUZZ_CHECK(IsValidUtf8(v), "values are valid UTF-8");
        }
    }
    FUZZ_CHECK(*ReadFileBytes(file) == std::string(reinterpret_cast<const char*>(data), size),
               "reading never changes the file");

    if (fuzz::HasInnerMark(data, size)) {
        DeleteFile(file);
        return 0;
    }
    // Writes with names the file may or may not hold; values of plain characters.
    const std::string section = sections.empty() ? "General" : sections[size % sections.size()];
    for (const char* key : {"ScanGame", "LeapLastTime", "k"}) {
        const std::string value = std::to_string(size * 7919 % 100000);
        // Two writes, so that at least one changes the file and it is in the written form.
        FUZZ_CHECK(ProfileWriteString(file, section, key, value + "1"), "a write succeeds");
        FUZZ_CHECK(ProfileWriteString(file, section, key, value), "a write succeeds");
        FUZZ_CHECK(ProfileGetString(file, section, key, "") == value, "a value reads back");
        const std::string after = *ReadFileBytes(file);
        FUZZ_CHECK(ProfileWriteString(file, section, key, value), "an equal write succeeds");
        FUZZ_CHECK(*ReadFileBytes(file) == after, "a write that changes nothing keeps the bytes");

        const std::string fresh = "FuzzFreshKey";
        if (ProfileGetString(file, section, fresh, "\x01") == "\x01") {
            FUZZ_CHECK(ProfileWriteString(file, section, fresh, "1"), "a new key is written");
            FUZZ_CHECK(ProfileGetString(file, section, fresh, "") == "1", "a new key reads back");
            FUZZ_CHECK(ProfileDeleteKey(file, section, fresh), "a key is deleted");
            FUZZ_CHECK(*ReadFileBytes(file) == after, "adding a key and deleting it is no change");
        }
    }
    size_t copies = 0;
    for (const std::string& s : ProfileSectionNames(file)) copies += SameText(s, section);
    FUZZ_CHECK(ProfileEraseSection(file, section), "a section is erased");
    size_t left = 0;
    for (const std::string& s : ProfileSectionNames(file)) left += SameText(s, section);
    FUZZ_CHECK(left + 1 == copies, "erasing takes away one section of the name");
    DeleteFile(file);
    return 0;
}
