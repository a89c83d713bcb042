// An INI table held in memory: built once from text, then only read. Used for the built-in
// window texts and for a quick look into the product's configuration without going through
// the profile functions.
#pragma once
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace locale {

class TMemIniFile {
public:
    TMemIniFile() = default;
    virtual ~TMemIniFile() = default;

    // Replaces the content with the entries of `text` (UTF-8; a leading byte-order mark is
    // skipped). Lines are trimmed; empty lines, ";" comments, lines before the first section
    // and lines without "=" are ignored; "[name]" opens a section; an entry splits at the
    // first "=", with key and value trimmed.
    void LoadFromText(std::string_view text);
    void Clear() { FSections.clear(); }

    // Names are compared ignoring case; of two equal keys in a section the first wins.
    std::string ReadString(std::string_view section, std::string_view key,
                           const std::string& defaultValue) const;
    bool SectionExists(std::string_view section) const;
    bool ValueExists(std::string_view section, std::string_view key) const;
    std::vector<std::string> ReadSections() const;
    std::vector<std::string> ReadSection(std::string_view section) const;  // keys in order
    bool IsEmpty() const { return FSections.empty(); }

private:
    struct TSection {
        std::string Name;
        std::vector<std::pair<std::string, std::string>> Entries;
    };
    const TSection* FindSection(std::string_view name) const;
    const std::pair<std::string, std::string>* FindEntry(std::string_view section,
                                                         std::string_view key) const;

    std::vector<TSection> FSections;
};

}  // namespace locale
