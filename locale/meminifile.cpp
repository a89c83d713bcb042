#include "locale/meminifile.h"

#include "platform/text.h"

namespace locale {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// Splits at CR LF, LF or a lone CR, as text written on any system may arrive.
std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') continue;
        lines.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

}  // namespace

void TMemIniFile::LoadFromText(std::string_view text) {
    FSections.clear();
    if (text.substr(0, kUtf8Bom.size()) == kUtf8Bom) text.remove_prefix(kUtf8Bom.size());
    TSection* current = nullptr;
    for (std::string_view raw : SplitLines(text)) {
        const std::string line = platform::Trim(raw);
        if (line.empty() || line[0] == ';') continue;
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            FSections.push_back(
                {platform::Trim(std::string_view(line).substr(1, line.size() - 2)), {}});
            current = &FSections.back();
            continue;
        }
        const size_t eq = line.find('=');
        // A stray line is no entry: giving it a key would let it shadow a real one below it.
        if (current == nullptr || eq == std::string::npos) continue;
        current->Entries.emplace_back(platform::Trim(std::string_view(line).substr(0, eq)),
                                      platform::Trim(std::string_view(line).substr(eq + 1)));
    }
}

const TMemIniFile::TSection* TMemIniFile::FindSection(std::string_view name) const {
    for (const TSection& s : FSections)
        if (platform::SameText(s.Name, name)) return &s;
    return nullptr;
}

const std::pair<std::string, std::string>* TMemIniFile::FindEntry(std::string_view section,
                                                                  std::string_view key) const {
    // A section written twice reads as one, its first part first, as the profile functions do.
    for (const TSection& s : FSections) {
        if (!platform::SameText(s.Name, section)) continue;
        for (const auto& entry : s.Entries)
            if (platform::SameText(entry.first, key)) return &entry;
    }
    return nullptr;
}

std::string TMemIniFile::ReadString(std::string_view section, std::string_view key,
                                    const std::string& defaultValue) const {
    const auto* entry = FindEntry(section, key);
    return entry != nullptr ? entry->second : defaultValue;
}

bool TMemIniFile::SectionExists(std::string_view section) const {
    return FindSection(section) != nullptr;
}

bool TMemIniFile::ValueExists(std::string_view section, std::string_view key) const {
    return FindEntry(section, key) != nullptr;
}

std::vector<std::string> TMemIniFile::ReadSections() const {
    std::vector<std::string> names;
    for (const TSection& s : FSections) {
        bool seen = false;
        for (const auto& n : names) seen = seen || platform::SameText(n, s.Name);
        if (!seen) names.push_back(s.Name);
    }
    return names;
}

std::vector<std::string> TMemIniFile::ReadSection(std::string_view section) const {
    std::vector<std::string> keys;
    for (const TSection& s : FSections)
        if (platform::SameText(s.Name, section))
            for (const auto& entry : s.Entries) keys.push_back(entry.first);
    return keys;
}

}  // namespace locale
