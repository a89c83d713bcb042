#include "app/main_texts.h"

#include <gtest/gtest.h>

#include "platform/resources.h"
#include "platform/text.h"

using namespace app;

namespace {

locale::TLeapgateLang Table(const std::string& name) {
    locale::TLeapgateLang t;
    const auto data = platform::FindResourceData("LANG", name);
    if (data) t.LoadFromText(*data);
    return t;
}

TEST(MainTexts, EnglishTextsWithVersionsAmpersandsAndLink) {
    const TMainTexts t = PrepareMainTexts(Table("ENGLISH"), "6.4.0.123", "English");
    EXPECT_EQ(t.Title, "Vantrel 6.4 is available");
    EXPECT_EQ(t.Description,
              "Highly recommend upgrading to latest version 6.4.0.123 for new && powerful driver "
              "solution.");
    EXPECT_EQ(t.UpgradeCaption, "Upgrade Now");
    EXPECT_EQ(t.CloseHint, "Close");
    EXPECT_EQ(t.Layers.at(42), "Check more new features");
    EXPECT_EQ(t.Layers.at(4), "IMPROVED");
    EXPECT_EQ(t.Layers.at(20), "NEW");
    EXPECT_EQ(t.Layers.at(34), "Tools ");  // English gets its blank on the first page-3 title
    EXPECT_EQ(t.Layers.at(38), "Auto driver update");
    EXPECT_EQ(t.SpeedTemplate, "Updating: %s1 / %s2 Speed: %s3 - %s4");
    EXPECT_EQ(t.InstallTitle,
              "Downloading Vantrel\xC2\xA0"
              "6.4");
    EXPECT_EQ(t.InstallDes.find("6.4.0.123"), t.InstallDes.size() - 9);
    EXPECT_EQ(t.Layers.count(9), 0u);  // table figures keep their design texts
    EXPECT_EQ(t.Layers.count(41), 0u);
}

TEST(MainTexts, RussianBlankGoesToTheSecondTitleAndGermanNeither) {
    const locale::TLeapgateLang ru = Table("RUSSIAN");
    const TMainTexts r = PrepareMainTexts(ru, "6.4.0.0", "Russian");
    EXPECT_EQ(r.Layers.at(38), ru.GetText("FormMain", "p3Title2") + " ");
    EXPECT_EQ(r.Layers.at(34), ru.GetText("FormMain", "p3Title1"));
    const locale::TLeapgateLang de = Table("GERMAN");
    const TMainTexts g = PrepareMainTexts(de, "6.4.0.0", "German");
    EXPECT_EQ(g.Layers.at(34), de.GetText("FormMain", "p3Title1"));
    EXPECT_EQ(g.Layers.at(38), de.GetText("FormMain", "p3Title2"));
    EXPECT_EQ(g.Title.find("%s"), std::string::npos);
    EXPECT_NE(g.Title.find("6.4"), std::string::npos);
}

TEST(MainTexts, MarkerReplacementIsOnceAndIgnoresCase) {
    locale::TLeapgateLang t;
    t.LoadFromText(
        "[FormMain]\nmainTitle=V %S and %s\nmainDes=a&b %s & c\n"
        "btnNewFeatures=<A>More</A> <a>x</a>\n");
    const TMainTexts m = PrepareMainTexts(t, "6.3.0.0", "French");
    EXPECT_EQ(m.Title, "V 6.3 and %s");
    EXPECT_EQ(m.Description, "a&&b 6.3.0.0 && c");
    EXPECT_EQ(m.Layers.at(42), "More <a>x</a>");
    EXPECT_EQ(StripLinkMarkup("Cancel"), "Cancel");
    // An empty table gives empty texts, never an error.
    const TMainTexts e = PrepareMainTexts(locale::TLeapgateLang{}, "6.3.0.0", "English");
    EXPECT_EQ(e.Title, "");
    EXPECT_EQ(e.SpeedTemplate, " ");
}

TEST(MainTexts, ProgressLine) {
    const std::string tpl = "Updating: %s1 / %s2 Speed: %S3 - %s4";
    EXPECT_EQ(FormatSpeedText(tpl, 0, 0, 52428800, 0), "Updating: 0 KB / 50 MB Speed: 0 KB/s - 0%");
    EXPECT_EQ(FormatSpeedText(tpl, 37.9, 1536.7, 52428800, 19398656),
              "Updating: 18.5 MB / 50 MB Speed: 1.5 KB/s - 37%");
    EXPECT_EQ(FormatSpeedText("%s1 %s1", 0, 0, 0, 2048), "2 KB %s1");
}

TEST(MainTexts, SizesNotKnownReadAsNothingNeverAsGigabytes) {
    const std::string tpl = "Updating: %s1 / %s2 Speed: %s3 - %s4";
    // No length announced: the downloader's total is -1, whose low 32 bits are 4 GiB - 1.
    EXPECT_EQ(FormatSpeedText(tpl, 0, 0, -1, 0), "Updating: 0 KB / 0 KB Speed: 0 KB/s - 0%");
    EXPECT_EQ(FormatSpeedText(tpl, 0, 0, -1, 1536), "Updating: 1.5 KB / 0 KB Speed: 0 KB/s - 0%");
    // A negative size in the update file, read as given, before the download reports its own.
    EXPECT_EQ(FormatSpeedText(tpl, 0, 0, -5, 0), "Updating: 0 KB / 0 KB Speed: 0 KB/s - 0%");
    EXPECT_EQ(FormatSpeedText(tpl, 0, -5, INT64_MIN, -1),
              "Updating: 0 KB / 0 KB Speed: 0 KB/s - 0%");
    // Known sizes keep their low 32 bits: 3 GiB still reads as such, 4 GiB + 2 KiB as 2 KB.
    EXPECT_EQ(FormatSpeedText("%s2", 0, 0, 3221225472LL, 0), "3 GB");
    EXPECT_EQ(FormatSpeedText("%s2", 0, 0, 4294967296LL + 2048, 0), "2 KB");
}

}  // namespace
