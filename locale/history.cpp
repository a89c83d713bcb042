#include "locale/history.h"

#include "locale/config.h"
#include "locale/environment.h"
#include "locale/language.h"
#include "platform/file.h"
#include "platform/path.h"
#include "platform/resources.h"
#include "platform/text.h"

namespace locale {

THistoryLines SplitLines(const std::string& text) {
    THistoryLines lines;
    std::string cur;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(cur);
            cur.clear();
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            cur += c;
        }
    }
    if (!cur.empty()) lines.push_back(cur);
    return lines;
}

void TrimHistory(THistoryLines& lines) {
    if (lines.size() > 2) lines.erase(lines.begin(), lines.begin() + 2);
    if (!lines.empty() && platform::UpperCase(lines[0]).rfind('V', 0) != 0) lines.clear();
}

THistoryLines LoadHistoryFor(const std::string& language) {
    auto data = platform::FindResourceData("TXT", NormalizeLangName(language));
    if (!data) data = platform::FindResourceData("TXT", "English");
    if (!data) return {};
    THistoryLines lines = SplitLines(platform::DecodeWithBom(*data));
    TrimHistory(lines);
    return lines;
}

THistoryLines LoadHistory() {
    return LoadHistoryFor(TConfig().GetLanguage());
}

THistoryLines ReadHistoryFile(const std::string& path) {
    const auto bytes = platform::ReadFileBytes(path);
    if (!bytes) return {};
    THistoryLines lines = SplitLines(platform::DecodeWithBom(*bytes));
    TrimHistory(lines);
    return lines;
}

std::string GetHistoryFileFor(const std::string& exeDir, const std::string& language) {
    static const char* const kLanguages[] = {
        "German",  "French",  "Italian", "Dutch", "Portuguese (PT-BR)",
        "Swedish", "Spanish", "Russian", "Danish"};
    std::string path = platform::JoinPath({exeDir, "History.txt"});
    for (const char* l : kLanguages) {
        if (platform::SameText(language, l)) {
            path = platform::JoinPath({exeDir, "Language", "History", std::string(l) + ".txt"});
            break;
        }
    }
    if (!platform::FileExists(path)) path = platform::JoinPath({exeDir, "History.txt"});
    return platform::FileExists(path) ? path : std::string();
}

std::string GetHistoryFile() {
    return GetHistoryFileFor(GetExeDir(), TConfig().GetLanguage());
}

THistoryView BuildHistoryView(THistoryLines& lines) {
    THistoryView view;
    int group = 0;
    for (std::string& line : lines) {
        const std::string trimmed = platform::Trim(line);
        if (trimmed.empty()) continue;
        if (trimmed.find('+') == std::string::npos) {
            view.Groups.push_back({++group, trimmed});
            continue;
        }
        line = platform::ReplaceAll(line, "&", "&&");
        // The first character is the "+" of a well-formed change line; a version line that
        // happens to contain "+" loses its first letter, as the view always did. A letter, not
        // a byte: cutting inside a UTF-8 sequence would leave the list invalid text.
        size_t first = line.empty() ? 0 : 1;
        while (first < line.size() && (static_cast<unsigned char>(line[first]) & 0xC0) == 0x80)
            ++first;
        view.Rows.push_back({group, platform::Trim(std::string_view(line).substr(first))});
    }
    return view;
}

std::string ShortenToTwoLines(int textWidth, int areaWidth, const std::string& text) {
    if (areaWidth <= 0) return "...";
    // Positions count characters, not bytes, so that Cyrillic text is cut at the same share.
    const std::u16string chars = platform::Utf8ToUtf16(text);
    const double r = static_cast<double>(textWidth) / areaWidth;
    const size_t length = chars.size();
    size_t p;
    if (r <= 2.5)
        p = length * 4 / 5;
    else if (r <= 3)
        p = length * 2 / 3;
    else if (r <= 3.5)
        p = length * 4 / 7;
    else if (r <= 4)
        p = length / 2;
    else
        p = 0;
    // p is 1-based: move left to the nearest blank at or before it.
    while (p > 0 && chars[p - 1] != u' ') --p;
    if (p == 0) return "...";
    return platform::Trim(platform::Utf16ToUtf8(chars.substr(0, p))) + "...";
}

}  // namespace locale
