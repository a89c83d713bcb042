// Our own profile-file engine for the Linux stand-in, held to what the system's profile
// functions do (the differential test runs one corpus through both and compares every result
// and every byte left on disk). A file is read into sections of entries; a change writes the
// whole file back in the system's normal form (one entry per line, CR LF, blanks around names and
// values dropped, blank lines gone, comments and unreadable lines kept) in the encoding it was
// read in; a call that changes nothing leaves the file untouched. Every byte of the ANSI code
// page survives the trip through text, so values nobody touched come back as they were.
#include "platform/profile.h"

#include <mutex>
#include <optional>

#include "platform/file.h"
#include "platform/text.h"

namespace platform {

namespace {

std::mutex gProfileLock;  // the same file may be used from the loader thread and the UI thread

enum class TEncoding { kAnsi, kUtf8Bom, kUtf16Le, kUtf16Be };

struct TEntry {
    std::string Key;
    std::optional<std::string> Value;  // none: a line without "=", kept but never a value
};

struct TSection {
    std::string Name;  // empty: lines before the first header, or a header "[]"
    std::vector<TEntry> Entries;
};

struct TProfile {
    TEncoding Encoding = TEncoding::kAnsi;
    std::vector<TSection> Sections;
};

bool IsBlank(char c) {
    // ^Z (the old end-of-file mark) counts as a blank, other control characters do not.
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f' || c == '\x1A';
}

std::string TrimBlanks(std::string_view s) {
    size_t b = 0, e = s.size();
    while (b < e && IsBlank(s[b])) ++b;
    while (e > b && IsBlank(s[e - 1])) --e;
    return std::string(s.substr(b, e - b));
}

std::string Decode(const std::string& bytes, TEncoding& encoding) {
    auto starts = [&](const char* mark, size_t n) { return bytes.compare(0, n, mark, n) == 0; };
    if (starts("\xFF\xFE", 2)) {
        encoding = TEncoding::kUtf16Le;
    } else if (starts("\xFE\xFF", 2)) {
        encoding = TEncoding::kUtf16Be;
    } else if (starts("\xEF\xBB\xBF", 3)) {
        encoding = TEncoding::kUtf8Bom;
    } else {
        encoding = TEncoding::kAnsi;
        return AnsiToUtf8(bytes);
    }
    return DecodeWithBom(bytes);
}

std::string Encode(const std::string& text, TEncoding encoding) {
    switch (encoding) {
        case TEncoding::kAnsi:
            return Utf8ToAnsi(text);
        case TEncoding::kUtf8Bom:
            return "\xEF\xBB\xBF" + text;
        case TEncoding::kUtf16Le:
        case TEncoding::kUtf16Be: {
            const bool le = encoding == TEncoding::kUtf16Le;
            std::string out = le ? "\xFF\xFE" : "\xFE\xFF";
            for (char16_t c : Utf8ToUtf16(text)) {
                const char lo = static_cast<char>(c & 0xFF), hi = static_cast<char>(c >> 8);
                out += le ? lo : hi;
                out += le ? hi : lo;
            }
            return out;
        }
    }
    return text;
}

void AddLine(TProfile& p, std::string_view raw) {
    // A NUL ends the line's text, as it ends a string for the system.
    const size_t nul = raw.find('\0');
    const std::string line = TrimBlanks(raw.substr(0, nul));
    if (line.empty()) return;
    if (line[0] == '[') {
        const size_t close = line.rfind(']');
        if (close != std::string::npos && close > 0) {
            p.Sections.push_back({TrimBlanks(std::string_view(line).substr(1, close - 1)), {}});
            return;
        }
    }
    if (p.Sections.empty()) p.Sections.push_back({"", {}});
    TEntry e;
    const size_t eq = line.find('=');
    if (eq == std::string::npos) {
        e.Key = line;
    } else {
        e.Key = TrimBlanks(std::string_view(line).substr(0, eq));
        e.Value = TrimBlanks(std::string_view(line).substr(eq + 1));
    }
    p.Sections.back().Entries.push_back(std::move(e));
}

TProfile Load(const std::string& file) {
    TProfile p;
    const auto bytes = ReadFileBytes(file);
    if (!bytes) return p;
    const std::string text = Decode(*bytes, p.Encoding);
    // CR and LF each end a line; the empty lines a CR LF pair makes are dropped with the blanks.
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find_first_of("\r\n", start);
        AddLine(p,
                std::string_view(text).substr(start, end == std::string::npos ? end : end - start));
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return p;
}

bool Save(const std::string& file, const TProfile& p) {
    std::string text;
    for (const TSection& s : p.Sections) {
        if (!s.Name.empty()) text += "[" + s.Name + "]\r\n";
        for (const TEntry& e : s.Entries) text += e.Key + (e.Value ? "=" + *e.Value : "") + "\r\n";
    }
    return WriteFileBytes(file, Encode(text, p.Encoding));
}

TSection* FindSection(TProfile& p, const std::string& name) {
    for (TSection& s : p.Sections)
        if (!s.Name.empty() && SameText(s.Name, name)) return &s;
    return nullptr;
}

// The first entry of that name, a line without "=" included: it hides any later value.
std::vector<TEntry>::iterator FindEntry(TSection& s, const std::string& key) {
    for (auto it = s.Entries.begin(); it != s.Entries.end(); ++it)
        if (SameText(it->Key, key)) return it;
    return s.Entries.end();
}

// What a key listing holds: entries with a value that are not comments.
bool Listed(const TEntry& e) {
    return e.Value && (e.Key.empty() || e.Key[0] != ';');
}

std::string Unquote(const std::string& value) {
    if (value.size() > 1 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0])
        return value.substr(1, value.size() - 2);
    return value;
}

}  // namespace

std::string ProfileGetString(const std::string& file, const std::string& section,
                             const std::string& key, const std::string& defaultValue) {
    std::lock_guard<std::mutex> lock(gProfileLock);
    TProfile p = Load(file);
    if (TSection* s = FindSection(p, section)) {
        const auto it = FindEntry(*s, key);
        if (it != s->Entries.end() && it->Value) return Unquote(*it->Value);
    }
    return TrimRight(defaultValue);
}

bool ProfileWriteString(const std::string& file, const std::string& section, const std::string& key,
                        const std::string& value) {
    std::lock_guard<std::mutex> lock(gProfileLock);
    TProfile p = Load(file);
    TSection* s = FindSection(p, section);
    if (!s) {
        p.Sections.push_back({section, {TEntry{key, value}}});
        return Save(file, p);
    }
    const auto it = FindEntry(*s, key);
    if (it == s->Entries.end()) {
        s->Entries.push_back({key, value});
    } else {
        if (it->Value == value) return true;  // nothing changes: the file is left as it is
        it->Value = value;
    }
    return Save(file, p);
}

bool ProfileDeleteKey(const std::string& file, const std::string& section, const std::string& key) {
    std::lock_guard<std::mutex> lock(gProfileLock);
    TProfile p = Load(file);
    TSection* s = FindSection(p, section);
    if (!s) return true;
    const auto it = FindEntry(*s, key);
    if (it == s->Entries.end()) return true;
    s->Entries.erase(it);
    return Save(file, p);
}

bool ProfileEraseSection(const std::string& file, const std::string& section) {
    std::lock_guard<std::mutex> lock(gProfileLock);
    TProfile p = Load(file);
    TSection* s = FindSection(p, section);
    if (!s) return true;
    p.Sections.erase(p.Sections.begin() + (s - p.Sections.data()));
    return Save(file, p);
}

std::vector<std::string> ProfileSectionNames(const std::string& file) {
    std::lock_guard<std::mutex> lock(gProfileLock);
    std::vector<std::string> out;
    for (const TSection& s : Load(file).Sections)
        if (!s.Name.empty()) out.push_back(s.Name);
    return out;
}

std::vector<std::string> ProfileKeyNames(const std::string& file, const std::string& section) {
    std::lock_guard<std::mutex> lock(gProfileLock);
    std::vector<std::string> out;
    TProfile p = Load(file);
    if (const TSection* s = FindSection(p, section))
        for (const TEntry& e : s->Entries)
            if (Listed(e)) out.push_back(e.Key);
    // The system answers with names separated by NULs: an empty name first reads as the end of
    // the list, one further on is merely skipped.
    if (!out.empty() && out.front().empty()) return {};
    std::erase(out, std::string());
    return out;
}

}  // namespace platform
