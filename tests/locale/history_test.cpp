#include "locale/history.h"

#include <gtest/gtest.h>

#include "locale/config.h"
#include "platform/file.h"
#include "platform/path.h"
#include "platform/text.h"
#include "tests/support/testenv.h"

using namespace locale;

namespace {

TEST(History, LinesSplitAtEveryKindOfBreak) {
    EXPECT_EQ(SplitLines("a\r\nb\nc\rd"), (THistoryLines{"a", "b", "c", "d"}));
    EXPECT_EQ(SplitLines("a\r\n\r\nb\r\n"), (THistoryLines{"a", "", "b"}));
    EXPECT_TRUE(SplitLines("").empty());
}

TEST(History, TitleAndEmptyLineGoAndTheRestMustStartWithAVersion) {
    THistoryLines ok{"Title", "", "V6.4", "+ x"};
    TrimHistory(ok);
    EXPECT_EQ(ok, (THistoryLines{"V6.4", "+ x"}));
    THistoryLines lower{"Title", "", "v6.4"};
    TrimHistory(lower);
    EXPECT_EQ(lower.size(), 1u);
    THistoryLines twoOnly{"Title", ""};  // nothing deleted; "Title" is no version
    TrimHistory(twoOnly);
    EXPECT_TRUE(twoOnly.empty());
    THistoryLines bad{"Title", "", "+ change first"};
    TrimHistory(bad);
    EXPECT_TRUE(bad.empty());
}

TEST(History, BuiltInTextsByLanguageWithEnglishFallback) {
    const THistoryLines en = LoadHistoryFor("English");
    ASSERT_FALSE(en.empty());
    EXPECT_EQ(en[0], "V6.4");
    EXPECT_EQ(en[1], "+ Optimized the process of driver automatic update.");
    const THistoryLines sv = LoadHistoryFor("Swedish");
    ASSERT_FALSE(sv.empty());
    EXPECT_NE(sv, en);
    EXPECT_EQ(LoadHistoryFor("Chinese"), en);
    EXPECT_EQ(LoadHistoryFor(""), en);
    EXPECT_NE(LoadHistoryFor("Portuguese (PT-BR)"), en);
}

TEST(History, FilesWithAndWithoutMarks) {
    testsupport::TTempDir dir;
    const std::string text = "Title\r\n\r\nV6.4\r\n+ Caf\xC3\xA9 & more\r\n";
    platform::WriteFileBytes(dir.File("u8.txt"), "\xEF\xBB\xBF" + text);
    EXPECT_EQ(ReadHistoryFile(dir.File("u8.txt")), (THistoryLines{"V6.4", "+ Caf\xC3\xA9 & more"}));
    std::string u16 = "\xFF\xFE";
    for (char16_t c : platform::Utf8ToUtf16(text)) {
        u16 += static_cast<char>(c & 0xFF);
        u16 += static_cast<char>(c >> 8);
    }
    platform::WriteFileBytes(dir.File("u16.txt"), u16);
    EXPECT_EQ(ReadHistoryFile(dir.File("u16.txt")), ReadHistoryFile(dir.File("u8.txt")));
    platform::WriteFileBytes(dir.File("ansi.txt"), "T\r\n\r\nV1\r\n+ Caf\xE9\r\n");
    EXPECT_EQ(ReadHistoryFile(dir.File("ansi.txt")), (THistoryLines{"V1", "+ Caf\xC3\xA9"}));
    EXPECT_TRUE(ReadHistoryFile(dir.File("missing.txt")).empty());
}

TEST(History, FileOfTheLanguageElseHistoryTxtElseNothing) {
    testsupport::TTempDir dir;
    EXPECT_EQ(GetHistoryFileFor(dir.Path(), "German"), "");
    platform::WriteFileBytes(dir.File("History.txt"), "x");
    EXPECT_EQ(GetHistoryFileFor(dir.Path(), "German"), dir.File("History.txt"));
    const std::string german =
        platform::JoinPath({dir.Path(), "Language", "History", "German.txt"});
    platform::ForceDirectories(platform::ExtractFileDir(german));
    platform::WriteFileBytes(german, "x");
    EXPECT_EQ(GetHistoryFileFor(dir.Path(), "german"), german);
    EXPECT_EQ(GetHistoryFileFor(dir.Path(), "Chinese"), dir.File("History.txt"));
    const std::string pt =
        platform::JoinPath({dir.Path(), "Language", "History", "Portuguese (PT-BR).txt"});
    platform::WriteFileBytes(pt, "x");
    EXPECT_EQ(GetHistoryFileFor(dir.Path(), "Portuguese (PT-BR)"), pt);
}

TEST(History, ViewGroupsRowsAndOddLines) {
    THistoryLines lines{"+ orphan",  "V6.4",  "+ Fixed A & B.", "",
                        "  V6.3   ", "+ One", "No plus line",   "V6+ odd"};
    const THistoryView v = BuildHistoryView(lines);
    ASSERT_EQ(v.Groups.size(), 3u);
    EXPECT_EQ(v.Groups[0].Header, "V6.4");
    EXPECT_EQ(v.Groups[0].Id, 1);
    EXPECT_EQ(v.Groups[1].Header, "V6.3");
    EXPECT_EQ(v.Groups[2].Header, "No plus line");  // a change without "+" heads a group
    ASSERT_EQ(v.Rows.size(), 4u);
    EXPECT_EQ(v.Rows[0].Group, 0);  // before any version: the predefined group
    EXPECT_EQ(v.Rows[0].Text, "orphan");
    EXPECT_EQ(v.Rows[1].Group, 1);
    EXPECT_EQ(v.Rows[1].Text, "Fixed A && B.");
    EXPECT_EQ(lines[2], "+ Fixed A && B.");
    EXPECT_EQ(v.Rows[2].Group, 2);
    EXPECT_EQ(v.Rows[3].Group, 3);
    EXPECT_EQ(v.Rows[3].Text, "6+ odd");  // a version line with "+" is a row without its "V"
}

TEST(History, AVersionLineLosesItsFirstLetterNotItsFirstByte) {
    // Rows reach the list as UTF-8: cutting a multi-byte first letter in half leaves bytes no
    // font can draw.
    THistoryLines lines{"V6", "\xE2\x82\xAC+ euro", "\xD0\x96+ zhe", "\xF0\x9F\x98\x80+ smile",
                        "+"};
    const THistoryView v = BuildHistoryView(lines);
    ASSERT_EQ(v.Rows.size(), 4u);
    EXPECT_EQ(v.Rows[0].Text, "+ euro");
    EXPECT_EQ(v.Rows[1].Text, "+ zhe");
    EXPECT_EQ(v.Rows[2].Text, "+ smile");
    EXPECT_EQ(v.Rows[3].Text, "");
    for (const auto& row : v.Rows) EXPECT_TRUE(platform::IsValidUtf8(row.Text)) << row.Text;
}

TEST(History, ShortenToTwoLinesPerBand) {
    const std::string t = "aaaa bbbb cccc dddd eeee ffff gggg hhhh iiii jjjj";  // 49 characters
    EXPECT_EQ(ShortenToTwoLines(250, 100, t), "aaaa bbbb cccc dddd eeee ffff gggg...");  // 39
    EXPECT_EQ(ShortenToTwoLines(300, 100, t), "aaaa bbbb cccc dddd eeee ffff...");       // 32
    EXPECT_EQ(ShortenToTwoLines(350, 100, t), "aaaa bbbb cccc dddd eeee...");            // 28
    EXPECT_EQ(ShortenToTwoLines(400, 100, t), "aaaa bbbb cccc dddd...");                 // 24
    EXPECT_EQ(ShortenToTwoLines(401, 100, t), "...");
    EXPECT_EQ(ShortenToTwoLines(250, 100, "nospacesatallinthistext"), "...");
    // Characters, not bytes: Cyrillic is cut at the same share.
    const std::string ru =
        "\xD0\xB0\xD0\xB0 \xD0\xB1\xD0\xB1 \xD0\xB2\xD0\xB2 \xD0\xB3\xD0\xB3 \xD0\xB4\xD0\xB4";
    EXPECT_EQ(ShortenToTwoLines(300, 100, ru),
              "\xD0\xB0\xD0\xB0 \xD0\xB1\xD0\xB1 \xD0\xB2\xD0\xB2...");
}

}  // namespace
