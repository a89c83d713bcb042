// Our own profile-file engine for the Linux stand-in. It keeps the file as lines and edits them
// in place, so comments, blank lines and the order of everything it does not touch survive, as
// they do with the Windows functions. The contract tests run the same cases against this
// engine and against the real functions under Wine.
#include "platform/profile.h"

#include <mutex>
#include <optional>

#include "platform/file.h"
#include "platform/text.h"

namespace platform {

namespace {

std::mutex gProfileLock;  // the same file may be used from the loader thread and the UI thread

struct TProfileText {
    std::vector<std::string> Lines;
    bool Utf16 = false;
};

TProfileText Load(const std::string& file) {
    TProfileText t;
    const auto bytes = ReadFileBytes(file);
    if (!bytes) return t;
    std::string text;
    if (bytes->size() >= 2 && ((*bytes)[0] == '\xFF' && (*bytes)[1] == '\xFE')) {
        t.Utf16 = true;
        text = DecodeWithBom(*bytes);
    } else if (bytes->size() >= 2 && ((*bytes)[0] == '\xFE' && (*bytes)[1] == '\xFF')) {
        t.Utf16 = true;
        text = DecodeWithBom(*bytes);
    } else {
        text = AnsiToUtf8(*bytes);
    }
    size_t start = 0;
    while (start <= text.size()) {
        size_t nl = text.find('\n', start);
        std::string line =
            text.substr(start, nl == std::string::npos ? std::string::npos : nl - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (nl == std::string::npos) {
            if (!line.empty()) t.Lines.push_back(line);
            break;
        }
        t.Lines.push_back(line);
        start = nl + 1;
    }
    return t;
}

bool Save(const std::string& file, const TProfileText& t) {
    std::string text;
    for (const std::string& line : t.Lines) text += line + "\r\n";
    std::string bytes;
    if (t.Utf16) {
        bytes = "\xFF\xFE";
        for (char16_t c : Utf8ToUtf16(text)) {
            bytes += static_cast<char>(c & 0xFF);
            bytes += static_cast<char>(c >> 8);
        }
    } else {
        bytes = Utf8ToAnsi(text);
    }
    return WriteFileBytes(file, bytes);
}

// The section name of a header line, or nothing.
std::optional<std::string> SectionOf(const std::string& line) {
    const std::string t = Trim(line);
    if (t.empty() || t[0] != '[') return std::nullopt;
    const size_t close = t.rfind(']');
    if (close == std::string::npos) return Trim(t.substr(1));
    return Trim(t.substr(1, close - 1));
}

struct TEntry {
    std::string Key;
    std::string Value;
};

std::optional<TEntry> EntryOf(const std::string& line) {
    const std::string t = Trim(line);
    if (t.empty()) return std::nullopt;
    const size_t eq = t.find('=');
    if (eq == std::string::npos) return TEntry{t, ""};
    return TEntry{Trim(t.substr(0, eq)), Trim(t.substr(eq + 1))};
}

// [first, end) line range of a section's body, header at first - 1; nothing when absent.
std::optional<std::pair<size_t, size_t>> FindSection(const TProfileText& t,
                                                     const std::string& section) {
    for (size_t i = 0; i < t.Lines.size(); ++i) {
        const auto name = SectionOf(t.Lines[i]);
        if (!name || !SameText(*name, section)) continue;
        size_t end = i + 1;
        while (end < t.Lines.size() && !SectionOf(t.Lines[end])) ++end;
        return std::make_pair(i + 1, end);
    }
    return std::nullopt;
}

std::optional<size_t> FindKey(const TProfileText& t, std::pair<size_t, size_t> body,
                              const std::string& key) {
    for (size_t i = body.first; i < body.second; ++i) {
        const auto e = EntryOf(t.Lines[i]);
        if (e && SameText(e->Key, key)) return i;
    }
    return std::nullopt;
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
    const TProfileText t = Load(file);
    const auto body = FindSection(t, section);
    if (body) {
        if (const auto at = FindKey(t, *body, key)) return Unquote(EntryOf(t.Lines[*at])->Value);
    }
    return TrimRight(defaultValue);
}

bool ProfileWriteString(const std::string& file, const std::string& section, const std::string& key,
                        const std::string& value) {
    std::lock_guard<std::mutex> lock(gProfileLock);
    TProfileText t = Load(file);
    const std::string line = key + "=" + value;
    const auto body = FindSection(t, section);
    if (!body) {
        if (!t.Lines.empty() && !Trim(t.Lines.back()).empty()) t.Lines.push_back("");
        t.Lines.push_back("[" + section + "]");
        t.Lines.push_back(line);
        return Save(file, t);
    }
    if (const auto at = FindKey(t, *body, key)) {
        // Keep the key as it was written; only the value changes.
        t.Lines[*at] = EntryOf(t.Lines[*at])->Key + "=" + value;
        return Save(file, t);
    }
    size_t insertAt = body->second;
    while (insertAt > body->first && Trim(t.Lines[insertAt - 1]).empty()) --insertAt;
    t.Lines.insert(t.Lines.begin() + static_cast<std::ptrdiff_t>(insertAt), line);
    return Save(file, t);
}

bool ProfileDeleteKey(const std::string& file, const std::string& section, const std::string& key) {
    std::lock_guard<std::mutex> lock(gProfileLock);
    if (!FileExists(file)) return true;
    TProfileText t = Load(file);
    const auto body = FindSection(t, section);
    if (!body) return true;
    const auto at = FindKey(t, *body, key);
    if (!at) return true;
    t.Lines.erase(t.Lines.begin() + static_cast<std::ptrdiff_t>(*at));
    return Save(file, t);
}

bool ProfileEraseSection(const std::string& file, const std::string& section) {
    std::lock_guard<std::mutex> lock(gProfileLock);
    if (!FileExists(file)) return true;
    TProfileText t = Load(file);
    const auto body = FindSection(t, section);
    if (!body) return true;
    t.Lines.erase(t.Lines.begin() + static_cast<std::ptrdiff_t>(body->first - 1),
                  t.Lines.begin() + static_cast<std::ptrdiff_t>(body->second));
    return Save(file, t);
}

std::vector<std::string> ProfileSectionNames(const std::string& file) {
    std::lock_guard<std::mutex> lock(gProfileLock);
    std::vector<std::string> out;
    for (const std::string& line : Load(file).Lines)
        if (const auto name = SectionOf(line)) out.push_back(*name);
    return out;
}

std::vector<std::string> ProfileKeyNames(const std::string& file, const std::string& section) {
    std::lock_guard<std::mutex> lock(gProfileLock);
    std::vector<std::string> out;
    const TProfileText t = Load(file);
    const auto body = FindSection(t, section);
    if (!body) return out;
    for (size_t i = body->first; i < body->second; ++i)
        if (const auto e = EntryOf(t.Lines[i])) out.push_back(e->Key);
    return out;
}

}  // namespace platform
