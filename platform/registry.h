// Read-only registry access. On Windows the real registry; on Linux a text file per hive under
// the stand-in root ("registry/HKLM.ini" and so on: a section per key path written with
// backslashes, values as name=sz:text or name=dword:number, "@" naming the default value).
#pragma once
#include <cstdint>
#include <optional>
#include <string>

namespace platform {

enum class RegHive { kClassesRoot, kCurrentUser, kLocalMachine };

class IRegistry {
public:
    virtual ~IRegistry() = default;
    // view32: the 32-bit view of HKLM\SOFTWARE (KEY_WOW64_32KEY). An empty value name reads the
    // key's default value.
    virtual bool KeyExists(RegHive hive, const std::string& key, bool view32) = 0;
    virtual std::optional<std::string> ReadString(RegHive hive, const std::string& key,
                                                  const std::string& value, bool view32) = 0;
    virtual std::optional<uint32_t> ReadDword(RegHive hive, const std::string& key,
                                              const std::string& value, bool view32) = 0;
};

IRegistry& Registry();
void SetRegistry(IRegistry* registry);  // nullptr: the real one again
IRegistry& RealRegistry();

}  // namespace platform
