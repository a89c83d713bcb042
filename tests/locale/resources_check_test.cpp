// The built-in texts as shipped: every window-text table has the English layout and markers,
// every history text has the layout the What's New window reads, in the right encodings.
#include <gtest/gtest.h>

#include <algorithm>
#include <regex>

#include "locale/lang.h"
#include "platform/resources.h"
#include "platform/text.h"

namespace {

const std::vector<std::string> kLangNames = {"DUTCH",   "ENGLISH",        "FRENCH",  "GERMAN",
                                             "ITALIAN", "PORTUGUESEPTBR", "RUSSIAN", "SPANISH"};
const std::vector<std::string> kHistoryNames = {"DANISH",  "DUTCH",   "ENGLISH",        "FRENCH",
                                                "GERMAN",  "ITALIAN", "PORTUGUESEPTBR", "RUSSIAN",
                                                "SPANISH", "SWEDISH"};

#define NBSP "\xC2\xA0"
struct TEntry {
    std::string Section, Key, Value;
};
const std::vector<TEntry> kEnglish = {
    {"Common", "closeHint", "Close"},
    {"Common", "lblNew", "NEW"},
    {"Common", "lblImproved", "IMPROVED"},
    {"FormMain", "mainTitle", "Vantrel %s is available"},
    {"FormMain", "mainDes",
     "Highly recommend upgrading to latest version %s for new & powerful driver solution."},
    {"FormMain", "btnUpgrade", "Upgrade Now"},
    {"FormMain", "p1Title", "Update 3,000,000+ Drivers"},
    {"FormMain", "p1Des",
     "Quickly identify & update 3,000,000+ outdated, faulty, missing or rare drivers for all "
     "your hardware devices. 1-click to update drivers passed Microsoft WHQL tests and strict "
     "Korvo Review Rules."},
    {"FormMain", "p1TableDes1", "Free Version"},
    {"FormMain", "p1TableDes2", "Pro Version"},
    {"FormMain", "p2Title1", "Game Ready Drivers"},
    {"FormMain", "p2Des1",
     "Add Game Ready Drivers immediately once it's released to boost performance, fix bugs and "
     "improve gaming experience."},
    {"FormMain", "p2Title2", "Game Boost"},
    {"FormMain", "p2Des2",
     "1-click to stop all unnecessary processes to release RAM and dramatically boost game "
     "performance."},
    {"FormMain", "p2Title3", "Game Component"},
    {"FormMain", "p2Tag3", "IMPROVED / PRO"},
    {"FormMain", "p2Des3",
     "More game components added, including Java Runtime Environment 10 (32bit & 64bit)."},
    {"FormMain", "p3Title1", "Tools"},
    {"FormMain", "p3Des1",
     "Enhanced repair capacity for Fix No Sound tool and Fix Device Error tool."},
    {"FormMain", "p3Title2", "Auto driver update"},
    {"FormMain", "p3Des2",
     "Newly added automatically updating selected types of drivers and keep drivers up-to-date "
     "with Auto Update."},
    {"FormMain", "btnNewFeatures", "<a>Check more new features</a>"},
    {"FormMain", "downloadInfo1", "Updating: %s1 / %s2"},
    {"FormMain", "downloadInfo2", "Speed: %s3 - %s4"},
    {"FormMain", "btnMin", "Minimize"},
    {"FormMain", "installTitle", "Downloading Vantrel" NBSP "%s"},
    {"FormMain", "installDes",
     "Enjoy" NBSP "new" NBSP "and" NBSP "powerful" NBSP "driver" NBSP "solution" NBSP "with" NBSP
     "the" NBSP "latest" NBSP "version" NBSP "%s"},
    {"FormCancel", "des", "Vantrel 6 won't be installed if you cancel it. Continue to install?"},
    {"FormCancel", "btnCancle", "<a>Cancel</a>"},
    {"FormCancel", "btnContinue", "Continue"},
    {"FormError", "des",
     "Download failed. Please click \"OK\" to download it from our official site directly."},
    {"FormError", "btnOk", "OK"},
    {"FormWhatNew", "title", "What's New"},
    {"FormWhatNew", "loading", "Loading..."},
};

std::string Resource(const std::string& type, const std::string& name) {
    const auto data = platform::FindResourceData(type, name);
    return data ? std::string(*data) : std::string();
}

std::vector<std::string> SplitCrLf(std::string_view text, bool* onlyCrLf) {
    std::vector<std::string> lines;
    *onlyCrLf = true;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n') {
            if (i == 0 || text[i - 1] != '\r') *onlyCrLf = false;
            lines.emplace_back(text.substr(start, i - start - (i > start && text[i - 1] == '\r')));
            start = i + 1;
        } else if (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n')) {
            *onlyCrLf = false;
        }
    }
    if (start < text.size()) lines.emplace_back(text.substr(start));
    return lines;
}

// Strict reading of a table: every line must be a section, an entry or empty.
std::vector<TEntry> StrictEntries(const std::string& name) {
    const std::string data = Resource("LANG", name);
    EXPECT_EQ(data.substr(0, 3), "\xEF\xBB\xBF") << name << ": no UTF-8 byte-order mark";
    EXPECT_TRUE(platform::IsValidUtf8(data)) << name;
    bool onlyCrLf = false;
    const auto lines = SplitCrLf(std::string_view(data).substr(3), &onlyCrLf);
    EXPECT_TRUE(onlyCrLf) << name;
    std::vector<TEntry> entries;
    std::string section;
    for (const std::string& line : lines) {
        if (line.empty()) continue;
        if (line.front() == '[' && line.back() == ']') {
            section = line.substr(1, line.size() - 2);
            continue;
        }
        const size_t eq = line.find('=');
        EXPECT_FALSE(section.empty() || eq == std::string::npos) << name << ": " << line;
        if (eq == std::string::npos) continue;
        EXPECT_EQ(line.substr(0, eq), platform::Trim(line.substr(0, eq))) << name << ": " << line;
        entries.push_back({section, line.substr(0, eq), platform::Trim(line.substr(eq + 1))});
    }
    return entries;
}

// Counts of every marker a window resolves, and of "%" overall (a stray one would show).
std::vector<int> Markers(const std::string& text) {
    auto count = [&](const std::string& what) {
        int n = 0;
        for (size_t p = text.find(what); p != std::string::npos; p = text.find(what, p + 1)) ++n;
        return n;
    };
    int plainS = 0;
    for (size_t p = text.find("%s"); p != std::string::npos; p = text.find("%s", p + 1))
        if (p + 2 >= text.size() || !isdigit(static_cast<unsigned char>(text[p + 2]))) ++plainS;
    return {plainS,       count("%s1"),  count("%s2"), count("%s3"),    count("%s4"),
            count("<a>"), count("</a>"), count("%"),   count("Vantrel")};
}

TEST(BuiltInResources, TheExpectedNamesAndNoOthersAreBuiltIn) {
    EXPECT_EQ(platform::ResourceNames("LANG"), kLangNames);
    EXPECT_EQ(platform::ResourceNames("TXT"), kHistoryNames);
    EXPECT_TRUE(platform::FindResourceData("lang", "portugueseptbr").has_value());
    EXPECT_TRUE(platform::FindResourceData("Txt", "Swedish").has_value());
    EXPECT_FALSE(platform::FindResourceData("LANG", "SWEDISH").has_value());
}

TEST(BuiltInResources, EnglishTableIsExactlyTheProductText) {
    const auto entries = StrictEntries("ENGLISH");
    ASSERT_EQ(entries.size(), kEnglish.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(entries[i].Section, kEnglish[i].Section) << i;
        EXPECT_EQ(entries[i].Key, kEnglish[i].Key) << i;
        EXPECT_EQ(entries[i].Value, kEnglish[i].Value) << kEnglish[i].Key;
    }
    EXPECT_NE(Resource("LANG", "ENGLISH").find("\r\np3Title1=Tools \r\n"), std::string::npos);
}

TEST(BuiltInResources, EveryTableHasTheEnglishLayoutAndMarkers) {
    const auto english = StrictEntries("ENGLISH");
    for (const std::string& name : kLangNames) {
        if (name == "ENGLISH") continue;
        SCOPED_TRACE(name);
        const auto entries = StrictEntries(name);
        std::vector<TEntry> expected;
        for (const auto& e : english)
            if (!(e.Section == "FormWhatNew" && e.Key == "loading")) expected.push_back(e);
        ASSERT_EQ(entries.size(), expected.size());
        int translated = 0;
        for (size_t i = 0; i < entries.size(); ++i) {
            const auto& e = entries[i];
            const auto& en = expected[i];
            SCOPED_TRACE(en.Section + "/" + en.Key + " = " + e.Value);
            EXPECT_EQ(e.Section, en.Section);
            EXPECT_EQ(e.Key, en.Key);
            EXPECT_FALSE(e.Value.empty());
            EXPECT_EQ(Markers(e.Value), Markers(en.Value));
            const bool link = en.Value.rfind("<a>", 0) == 0;
            EXPECT_EQ(e.Value.rfind("<a>", 0) == 0, link);
            EXPECT_EQ(e.Value.size() >= 4 && e.Value.substr(e.Value.size() - 4) == "</a>", link);
            if (e.Value != en.Value) ++translated;
        }
        // Product names and "OK" may stay; almost everything else must be translated.
        EXPECT_GE(translated, static_cast<int>(entries.size()) - 4);
    }
}

TEST(BuiltInResources, LoadedTablesAgreeWithTheStrictReading) {
    for (const std::string& name : kLangNames) {
        locale::TLeapgateLang table;
        table.LoadFromText(Resource("LANG", name));
        for (const auto& e : StrictEntries(name))
            EXPECT_EQ(table.GetText(e.Section, e.Key), e.Value) << name << " " << e.Key;
    }
}

// Decodes strict UTF-16 LE (paired surrogates only) after its byte-order mark.
bool DecodeUtf16Le(const std::string& bytes, std::string& out) {
    if (bytes.size() < 2 || bytes.size() % 2 != 0 || bytes.substr(0, 2) != "\xFF\xFE") return false;
    std::u16string units;
    for (size_t i = 2; i < bytes.size(); i += 2)
        units.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                              (static_cast<unsigned char>(bytes[i + 1]) << 8)));
    for (size_t i = 0; i < units.size(); ++i) {
        const char16_t u = units[i];
        if (u >= 0xD800 && u <= 0xDBFF) {
            if (i + 1 >= units.size() || units[i + 1] < 0xDC00 || units[i + 1] > 0xDFFF)
                return false;
            ++i;
        } else if (u >= 0xDC00 && u <= 0xDFFF) {
            return false;
        } else if (u == 0xFEFF) {
            return false;  // a second mark inside the text
        }
    }
    out = platform::Utf16ToUtf8(units);
    return true;
}

TEST(BuiltInResources, EveryHistoryHasTheLayoutAndVersionsItMust) {
    const std::regex versionLine("V[0-9]+\\.[0-9]+");
    for (const std::string& name : kHistoryNames) {
        SCOPED_TRACE(name);
        std::string text;
        ASSERT_TRUE(DecodeUtf16Le(Resource("TXT", name), text));
        bool onlyCrLf = false;
        const auto lines = SplitCrLf(text, &onlyCrLf);
        EXPECT_TRUE(onlyCrLf);
        ASSERT_GT(lines.size(), 3u);
        EXPECT_FALSE(platform::Trim(lines[0]).empty());
        EXPECT_NE(platform::UpperCase(lines[0]).rfind("V", 0), 0u) << "title looks like a version";
        EXPECT_EQ(lines[1], "");
        std::vector<std::string> versions;
        size_t i = 2;
        while (i < lines.size()) {
            const std::string version = platform::Trim(lines[i]);
            EXPECT_TRUE(std::regex_match(version, versionLine)) << lines[i];
            EXPECT_EQ(lines[i].find('+'), std::string::npos) << lines[i];
            versions.push_back(version);
            int changes = 0;
            for (++i; i < lines.size() && !lines[i].empty(); ++i, ++changes) {
                EXPECT_EQ(lines[i].rfind("+ ", 0), 0u) << lines[i];
                EXPECT_GT(platform::Trim(lines[i].substr(1)).size(), 3u) << lines[i];
            }
            EXPECT_GE(changes, 3) << version;
            ASSERT_LT(i, lines.size()) << "block of " << version << " lacks its empty line";
            ++i;  // the empty line closing the block
        }
        std::vector<std::string> expected = {"V6.4", "V6.3", "V6.2", "V6.1", "V6.0"};
        if (name == "DANISH") expected.pop_back();
        EXPECT_EQ(versions, expected);
    }
}

TEST(BuiltInResources, EnglishHistoryBeginsAsTheProductShipsIt) {
    std::string text;
    ASSERT_TRUE(DecodeUtf16Le(Resource("TXT", "ENGLISH"), text));
    bool onlyCrLf = false;
    const auto lines = SplitCrLf(text, &onlyCrLf);
    ASSERT_GT(lines.size(), 5u);
    EXPECT_EQ(lines[0], "Korvo Vantrel 6 Update History");
    EXPECT_EQ(lines[1], "");
    EXPECT_EQ(lines[2], "V6.4");
    EXPECT_EQ(lines[3], "+ Optimized the process of driver automatic update.");
    const auto v63 = std::find(lines.begin(), lines.end(), "V6.3   ");
    ASSERT_NE(v63, lines.end());
    EXPECT_EQ(*(v63 - 1), "");
}

TEST(BuiltInResources, TranslatedHistoriesAreNotTheEnglishOne) {
    std::string english;
    ASSERT_TRUE(DecodeUtf16Le(Resource("TXT", "ENGLISH"), english));
    for (const std::string& name : kHistoryNames) {
        if (name == "ENGLISH") continue;
        std::string text;
        ASSERT_TRUE(DecodeUtf16Le(Resource("TXT", name), text)) << name;
        bool onlyCrLf = false;
        const auto lines = SplitCrLf(text, &onlyCrLf);
        int shared = 0;
        for (const auto& line : lines)
            if (line.rfind("+ ", 0) == 0 && english.find(line) != std::string::npos) ++shared;
        EXPECT_EQ(shared, 0) << name;
    }
}

}  // namespace
