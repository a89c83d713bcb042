// The version history of the What's New window: where it comes from (a built-in text of the
// product's language, or a history file beside the program), how it is read and trimmed, how
// its lines become groups and rows, and how a change text is cut to two lines.
#pragma once
#include <string>
#include <vector>

namespace locale {

using THistoryLines = std::vector<std::string>;

// Splits text into lines at CR LF, LF or CR (a final line break adds no empty line).
THistoryLines SplitLines(const std::string& text);

// Drops the title and the empty line (only when there are more than two lines), then keeps the
// lines only when the first begins with "V" or "v".
void TrimHistory(THistoryLines& lines);

// The built-in history of `language` (a display name such as "Swedish"), else the English one.
THistoryLines LoadHistoryFor(const std::string& language);
// The same for the product's configured language.
THistoryLines LoadHistory();
// A history file with byte-order-mark detection (UTF-8, UTF-16; the ANSI code page without a
// mark), trimmed the same way. An unreadable file gives no lines.
THistoryLines ReadHistoryFile(const std::string& path);

// The history file of the product's language beside the program ("Language\History\German.txt"
// and so on), else "History.txt" there; empty when neither exists.
std::string GetHistoryFileFor(const std::string& exeDir, const std::string& language);
std::string GetHistoryFile();

struct THistoryGroup {
    int Id = 0;
    std::string Header;
};
struct THistoryRow {
    int Group = 0;     // the group the row belongs to (0: before any version line)
    std::string Text;  // the change text without its "+", "&" doubled for the label
};
struct THistoryView {
    std::vector<THistoryGroup> Groups;
    std::vector<THistoryRow> Rows;
};
// Version lines (no "+" anywhere) open groups 1, 2, …; other lines are change rows. `lines`
// gets the change lines back with their "&" doubled, as the view stores them.
THistoryView BuildHistoryView(THistoryLines& lines);

// Cuts a change text that is more than twice as wide as its area (`textWidth` > 2 × `areaWidth`)
// near the right share of its characters, at a blank, and ends it with "...".
std::string ShortenToTwoLines(int textWidth, int areaWidth, const std::string& text);

}  // namespace locale
