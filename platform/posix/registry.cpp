// The stand-in registry: one profile file per hive under the stand-in root.
#include "platform/registry.h"

#include "platform/path.h"
#include "platform/profile.h"
#include "platform/shellfolders.h"
#include "platform/text.h"

namespace platform {

namespace {

std::string HiveFile(RegHive hive) {
    const char* name = hive == RegHive::kClassesRoot   ? "HKCR.ini"
                       : hive == RegHive::kCurrentUser ? "HKCU.ini"
                                                       : "HKLM.ini";
    return JoinPath({StandInRoot(), "registry", name});
}

std::optional<std::string> RawValue(RegHive hive, const std::string& key,
                                    const std::string& value) {
    const std::string marker = "\x01missing";
    const std::string v =
        ProfileGetString(HiveFile(hive), key, value.empty() ? "@" : value, marker);
    if (v == marker) return std::nullopt;
    return v;
}

class TFileRegistry : public IRegistry {
public:
    bool KeyExists(RegHive hive, const std::string& key, bool) override {
        for (const std::string& s : ProfileSectionNames(HiveFile(hive)))
            if (SameText(s, key)) return true;
        return false;
    }
    std::optional<std::string> ReadString(RegHive hive, const std::string& key,
                                          const std::string& value, bool) override {
        const auto raw = RawValue(hive, key, value);
        if (!raw || raw->rfind("sz:", 0) != 0) return std::nullopt;
        return raw->substr(3);
    }
    std::optional<uint32_t> ReadDword(RegHive hive, const std::string& key,
                                      const std::string& value, bool) override {
        const auto raw = RawValue(hive, key, value);
        int64_t v;
        if (!raw || raw->rfind("dword:", 0) != 0 || !ParseInt64(raw->substr(6), v) || v < 0 ||
            v > 0xFFFFFFFFll)
            return std::nullopt;
        return static_cast<uint32_t>(v);
    }
};

}  // namespace

IRegistry& RealRegistry() {
    static TFileRegistry registry;
    return registry;
}

}  // namespace platform
