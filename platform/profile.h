// Private profile (INI) files with the observable behaviour of the Windows profile functions:
// names compared ignoring case, the first of duplicate keys wins, blanks around names and values
// dropped, one pair of surrounding quotes removed from a value, UTF-16 files read and kept in
// UTF-16, new files written in the ANSI code page. Every write reaches the disk at once.
// On Windows these call GetPrivateProfileStringW and friends; elsewhere our own engine.
#pragma once
#include <string>
#include <vector>

namespace platform {

std::string ProfileGetString(const std::string& file, const std::string& section,
                             const std::string& key, const std::string& defaultValue);
// Creates the file and the section when missing. False when the file cannot be written.
bool ProfileWriteString(const std::string& file, const std::string& section, const std::string& key,
                        const std::string& value);
bool ProfileDeleteKey(const std::string& file, const std::string& section, const std::string& key);
bool ProfileEraseSection(const std::string& file, const std::string& section);
std::vector<std::string> ProfileSectionNames(const std::string& file);
std::vector<std::string> ProfileKeyNames(const std::string& file, const std::string& section);

}  // namespace platform
