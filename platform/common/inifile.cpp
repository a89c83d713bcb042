#include "platform/inifile.h"

#include <clocale>
#include <cstdio>
#include <cstdlib>

#include "platform/file.h"
#include "platform/path.h"
#include "platform/profile.h"
#include "platform/sysinfo.h"
#include "platform/text.h"

namespace platform {

namespace {
// The profile functions look for a bare name in the Windows folder; the program means its
// current folder. A name whose folder is only the root separator is meant the same way.
std::string NormaliseName(const std::string& fileName) {
    const std::string folder = ExtractFilePath(fileName);
    if (folder.empty() || (folder.size() == 1 && IsPathSeparator(folder[0])))
        return JoinPath({".", fileName});
    return fileName;
}
}  // namespace

TIniFile::TIniFile(const std::string& fileName) : FFileName(NormaliseName(fileName)) {
    const std::string dir = ExtractFileDir(FFileName);
    // A folder that another process is creating or removing at the same moment can make one
    // attempt fail; a few more settle it.
    for (int attempt = 0; attempt < 101 && !dir.empty() && !DirectoryExists(dir); ++attempt)
        ForceDirectories(dir);
    if (FileExists(FFileName) && IsReadOnly(FFileName)) SetReadOnly(FFileName, false);
}

std::string TIniFile::ReadString(const std::string& section, const std::string& key,
                                 const std::string& defaultValue) const {
    return ProfileGetString(FFileName, section, key, defaultValue);
}

bool TIniFile::WriteString(const std::string& section, const std::string& key,
                           const std::string& value) {
    return ProfileWriteString(FFileName, section, key, value);
}

int32_t TIniFile::ReadInteger(const std::string& section, const std::string& key,
                              int32_t defaultValue) const {
    int32_t v;
    return ParseInt32Loose(ReadString(section, key, ""), v) ? v : defaultValue;
}

bool TIniFile::WriteInteger(const std::string& section, const std::string& key, int64_t value) {
    return WriteString(section, key, std::to_string(value));
}

int64_t TIniFile::ReadInt64(const std::string& section, const std::string& key,
                            int64_t defaultValue) const {
    int64_t v;
    return ParseInt64(ReadString(section, key, ""), v) ? v : defaultValue;
}

bool TIniFile::ReadBool(const std::string& section, const std::string& key,
                        bool defaultValue) const {
    return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

bool TIniFile::WriteBool(const std::string& section, const std::string& key, bool value) {
    return WriteString(section, key, value ? "1" : "0");
}

double TIniFile::ReadFloat(const std::string& section, const std::string& key,
                           double defaultValue) const {
    double v;
    return TextToFloat(ReadString(section, key, ""), v) ? v : defaultValue;
}

bool TIniFile::WriteFloat(const std::string& section, const std::string& key, double value) {
    return WriteString(section, key, FloatToText(value));
}

bool TIniFile::SectionExists(const std::string& section) const {
    return !ReadSection(section).empty();
}

bool TIniFile::ValueExists(const std::string& section, const std::string& key) const {
    for (const std::string& k : ReadSection(section))
        if (SameText(k, key)) return true;
    return false;
}

std::vector<std::string> TIniFile::ReadSections() const {
    return ProfileSectionNames(FFileName);
}

std::vector<std::string> TIniFile::ReadSection(const std::string& section) const {
    return ProfileKeyNames(FFileName, section);
}

bool TIniFile::EraseSection(const std::string& section) {
    return ProfileEraseSection(FFileName, section);
}

bool TIniFile::DeleteKey(const std::string& section, const std::string& key) {
    return ProfileDeleteKey(FFileName, section, key);
}

std::string FloatToText(double value) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15G", value);
    std::string s(buf);
    // "%G" writes the exponent as "E+20"/"E-05"; the general format of the locale writes "E20"
    // and "E-5".
    const size_t e = s.find('E');
    if (e != std::string::npos) {
        std::string mant = s.substr(0, e);
        std::string exp = s.substr(e + 1);
        bool neg = !exp.empty() && exp[0] == '-';
        if (!exp.empty() && (exp[0] == '+' || exp[0] == '-')) exp.erase(0, 1);
        while (exp.size() > 1 && exp[0] == '0') exp.erase(0, 1);
        s = mant + "E" + (neg ? "-" : "") + exp;
    }
    const char sep = SystemInfo().DecimalSeparator();
    for (char& c : s)
        if (c == '.') c = sep;
    return s;
}

bool TextToFloat(const std::string& text, double& out) {
    std::string t = Trim(text);
    if (t.empty()) return false;
    const char sep = SystemInfo().DecimalSeparator();
    for (char& c : t) {
        if (c == sep) {
            c = '.';
        } else if (c == '.') {
            return false;  // a point is not this locale's separator
        } else if (!((c >= '0' && c <= '9') || c == '+' || c == '-' || c == 'e' || c == 'E')) {
            return false;
        }
    }
    // strtod follows the C locale's separator, which is the point as long as the program never
    // calls setlocale; make sure of it for this conversion.
    char* end = nullptr;
    const double v = std::strtod(t.c_str(), &end);
    if (end == t.c_str() || *end != '\0') return false;
    out = v;
    return true;
}

}  // namespace platform
