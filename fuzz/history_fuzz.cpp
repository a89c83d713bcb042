// A history file beside the program, in any encoding: every line, group header and row that
// reaches the What's New list is valid UTF-8, and a text cut to two lines is a prefix of the
// text (plus "...") cut at a blank.
#include <cstdint>
#include <string>

#include "fuzz/fuzz_check.h"
#include "locale/history.h"
#include "platform/file.h"
#include "platform/text.h"

using namespace locale;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string file = fuzz::PutScratch("history", data, size);
    THistoryLines lines = ReadHistoryFile(file);
    for (const std::string& line : lines)
        FUZZ_CHECK(platform::IsValidUtf8(line), "lines are valid");
    const THistoryView view = BuildHistoryView(lines);
    for (const auto& g : view.Groups) FUZZ_CHECK(platform::IsValidUtf8(g.Header), "headers");
    int lastGroup = 0;
    for (const auto& r : view.Rows) {
        FUZZ_CHECK(platform::IsValidUtf8(r.Text), "rows are valid UTF-8");
        FUZZ_CHECK(r.Group >= lastGroup && r.Group <= static_cast<int>(view.Groups.size()),
                   "rows belong to a group in order");
        lastGroup = r.Group;
        const int width = static_cast<int>(size % 1000), area = static_cast<int>(size % 97);
        const std::string cut = ShortenToTwoLines(width, area, r.Text);
        FUZZ_CHECK(platform::IsValidUtf8(cut), "a cut text is valid UTF-8");
        FUZZ_CHECK(cut.size() >= 3 && cut.compare(cut.size() - 3, 3, "...") == 0,
                   "a cut text ends with ...");
    }
    platform::DeleteFile(file);
    return 0;
}
