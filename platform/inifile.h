// The settings-file object every INI user of the program goes through. Opening it applies the
// program's rules: a name without a folder (or with the bare root as folder) is taken from the
// current folder, the folder is created when missing, a read-only attribute is removed. Reads
// have no length limit; writes are silent (their result is only returned, never raised).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

class TIniFile {
public:
    explicit TIniFile(const std::string& fileName);
    const std::string& FileName() const { return FFileName; }

    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& defaultValue) const;
    bool WriteString(const std::string& section, const std::string& key, const std::string& value);
    // Decimal or "0x" hexadecimal, 32-bit signed; anything else gives the default.
    int32_t ReadInteger(const std::string& section, const std::string& key,
                        int32_t defaultValue) const;
    bool WriteInteger(const std::string& section, const std::string& key, int64_t value);
    int64_t ReadInt64(const std::string& section, const std::string& key,
                      int64_t defaultValue) const;
    // Any non-zero integer reads as true; written as "1"/"0".
    bool ReadBool(const std::string& section, const std::string& key, bool defaultValue) const;
    bool WriteBool(const std::string& section, const std::string& key, bool value);
    // Reals in the user's locale: written as the shortest general text (15 digits) with the
    // locale's decimal separator, read back with that separator only.
    double ReadFloat(const std::string& section, const std::string& key, double defaultValue) const;
    bool WriteFloat(const std::string& section, const std::string& key, double value);

    bool SectionExists(const std::string& section) const;
    bool ValueExists(const std::string& section, const std::string& key) const;
    std::vector<std::string> ReadSections() const;
    std::vector<std::string> ReadSection(const std::string& section) const;  // key names
    bool EraseSection(const std::string& section);
    bool DeleteKey(const std::string& section, const std::string& key);

private:
    std::string FFileName;
};

// Real numbers as the user's locale writes them (general format, 15 significant digits).
std::string FloatToText(double value);
bool TextToFloat(const std::string& text, double& out);

}  // namespace platform
