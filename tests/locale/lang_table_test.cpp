// How a text table is read: the line rules, the lookups and their failures.
#include <gtest/gtest.h>

#include "locale/lang.h"

namespace {

locale::TLeapgateLang Table(std::string_view text) {
    locale::TLeapgateLang t;
    t.LoadFromText(text);
    return t;
}

TEST(LangTable, BlanksAroundTheEqualsSignBelongToNeitherSide) {
    const auto t = Table("[FormMain]\n  btnUpgrade \t=   Upgrade Now  \t\np3Title1=Tools \n");
    EXPECT_EQ(t.GetText("FormMain", "btnUpgrade"), "Upgrade Now");
    EXPECT_EQ(t.GetText("FormMain", "p3Title1"), "Tools");
    EXPECT_EQ(t.ReadSection("FormMain"), (std::vector<std::string>{"btnUpgrade", "p3Title1"}));
}

TEST(LangTable, OnlyTheFirstEqualsSignSplits) {
    const auto t = Table("[S]\nlink = a=b = c\n==x\n");
    EXPECT_EQ(t.GetText("S", "link"), "a=b = c");
    EXPECT_EQ(t.GetText("S", ""), "=x");  // an empty key is still a key
}

TEST(LangTable, FirstOfTwoEqualKeysWinsAcrossCaseAndRepeatedSections) {
    const auto t = Table("[S]\nkey=first\nKEY=second\n[s]\nkey=third\nother=4\n");
    EXPECT_EQ(t.GetText("S", "key"), "first");
    EXPECT_EQ(t.GetText("s", "Key"), "first");
    EXPECT_EQ(t.GetText("S", "other"), "4");  // a repeated section adds to the first
    EXPECT_EQ(t.ReadSections(), (std::vector<std::string>{"S"}));
}

TEST(LangTable, LookupsIgnoreLetterCaseIncludingNonAsciiNames) {
    const auto t = Table("[FormMain]\nbtnUpgrade=Jetzt upgraden\n[Ärger]\nÜber=ok\n");
    for (auto [s, k] : {std::pair{"formmain", "btnupgrade"}, std::pair{"FORMMAIN", "BTNUPGRADE"},
                        std::pair{"FormMain", "btnUpgrade"}})
        EXPECT_EQ(t.GetText(s, k), "Jetzt upgraden") << s << "/" << k;
    EXPECT_EQ(t.GetText("ärger", "über"), "ok");
}

TEST(LangTable, MissingSectionOrKeyGivesTheEmptyTextOrTheDefault) {
    const auto t = Table("[FormMain]\nbtnUpgrade=Go\n");
    EXPECT_EQ(t.GetText("FormMain", "nope"), "");
    EXPECT_EQ(t.GetText("Nope", "btnUpgrade"), "");
    EXPECT_EQ(t.GetText("", ""), "");
    EXPECT_EQ(t.GetText("Nope", "x", "fallback"), "fallback");
    EXPECT_FALSE(t.ValueExists("FormMain", "nope"));
    EXPECT_FALSE(t.SectionExists("Nope"));
}

TEST(LangTable, EmptyValueIsPresentAndEmpty) {
    const auto t = Table("[FormWhatNew]\nloading=\nloading=Loading...\n");
    EXPECT_TRUE(t.ValueExists("FormWhatNew", "loading"));
    EXPECT_EQ(t.GetText("FormWhatNew", "loading", "default"), "");
}

TEST(LangTable, CommentsStrayLinesAndLinesBeforeTheFirstSectionAreIgnored) {
    const auto t = Table(
        "orphan=before any section\n"
        "[Common]\n"
        "; closeHint=commented out\n"
        "   ;closeHint=indented comment\n"
        "closeHint\n"  // no "=": must not hide the real entry below
        "closeHint=Close\n"
        "[broken\n"
        "lblNew=NEW\n");
    EXPECT_EQ(t.ReadSections(), (std::vector<std::string>{"Common"}));
    EXPECT_EQ(t.GetText("Common", "closeHint"), "Close");
    EXPECT_EQ(t.GetText("Common", "orphan"), "");
    EXPECT_EQ(t.GetText("Common", "lblNew"), "NEW");  // "[broken" opened nothing
    EXPECT_EQ(t.ReadSection("Common"), (std::vector<std::string>{"closeHint", "lblNew"}));
}

TEST(LangTable, SectionNamesAreTrimmedAndEmptyBracketsMakeAnEmptyName) {
    const auto t = Table("[  Form Main \t]\nk=v\n[]\nx=y\n");
    EXPECT_EQ(t.GetText("Form Main", "k"), "v");
    EXPECT_EQ(t.GetText("", "x"), "y");
}

TEST(LangTable, ByteOrderMarkAndEveryLineEndIsHandled) {
    const auto crlf = Table("\xEF\xBB\xBF[A]\r\nk=1\r\nm=2\r\n");
    EXPECT_EQ(crlf.ReadSections(), (std::vector<std::string>{"A"}));  // no mark in the name
    EXPECT_EQ(crlf.GetText("A", "k"), "1");
    const auto cr = Table("[A]\rk=1\rm=2");
    EXPECT_EQ(cr.GetText("A", "m"), "2");
    const auto mixed = Table("[A]\nk=1\r\n\r\nm=2\r");
    EXPECT_EQ(mixed.ReadSection("A"), (std::vector<std::string>{"k", "m"}));
}

TEST(LangTable, NoBreakSpacesInsideAndAroundValuesAreKept) {
    const auto t = Table("[S]\nk=\xC2\xA0x\xC2\xA0y\xC2\xA0\n");
    EXPECT_EQ(t.GetText("S", "k"), "\xC2\xA0x\xC2\xA0y\xC2\xA0");
}

TEST(LangTable, ReloadingReplacesTheContent) {
    auto t = Table("[A]\nk=1\n");
    t.LoadFromText("[B]\nk=2\n");
    EXPECT_EQ(t.GetText("A", "k"), "");
    EXPECT_EQ(t.GetText("B", "k"), "2");
    t.LoadFromText("");
    EXPECT_TRUE(t.IsEmpty());
}

}  // namespace
