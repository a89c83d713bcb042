// One suite for both backends: natively it runs against our engine, under Wine against the
// real profile functions, so the engine is held to what Windows does.
#include <gtest/gtest.h>

#include "platform/file.h"
#include "platform/profile.h"
#include "tests/support/testenv.h"

using namespace platform;

namespace {

class ProfileContract : public testing::Test {
protected:
    testsupport::TTempDir Dir;
    std::string File = Dir.File("settings.ini");
    void Put(std::string_view bytes) { ASSERT_TRUE(WriteFileBytes(File, bytes)); }
    std::string Get(const std::string& s, const std::string& k, const std::string& d = "<none>") {
        return ProfileGetString(File, s, k, d);
    }
};

TEST_F(ProfileContract, MissingFileGivesDefaultWithoutTrailingBlanks) {
    EXPECT_EQ(Get("A", "b", "fallback"), "fallback");
    EXPECT_EQ(Get("A", "b", "fallback  "), "fallback");
    EXPECT_TRUE(ProfileSectionNames(File).empty());
    EXPECT_FALSE(FileExists(File));  // reading never creates the file
}

TEST_F(ProfileContract, NamesIgnoreCaseAndBlanksAroundEqualsAreDropped) {
    Put("[Update]\r\nVT_Url  =   http://x/y  \r\n  Key2=v2\r\n");
    EXPECT_EQ(Get("update", "vt_url"), "http://x/y");
    EXPECT_EQ(Get("UPDATE", "KEY2"), "v2");
    EXPECT_EQ(Get("Update", "missing"), "<none>");
    EXPECT_EQ(Get("Other", "VT_Url"), "<none>");
}

TEST_F(ProfileContract, FirstOfDuplicateKeysWinsAndWritesUpdateIt) {
    Put("[S]\r\nk=first\r\nk=second\r\n");
    EXPECT_EQ(Get("S", "k"), "first");
    ASSERT_TRUE(ProfileWriteString(File, "S", "K", "changed"));
    EXPECT_EQ(Get("S", "k"), "changed");
}

TEST_F(ProfileContract, OnePairOfMatchingQuotesIsRemoved) {
    Put("[S]\r\na=\"quoted value\"\r\nb='single'\r\nc=\"unbalanced\r\nd=\"\"\r\ne=x\"y\"\r\n");
    EXPECT_EQ(Get("S", "a"), "quoted value");
    EXPECT_EQ(Get("S", "b"), "single");
    EXPECT_EQ(Get("S", "c"), "\"unbalanced");
    EXPECT_EQ(Get("S", "d"), "");
    EXPECT_EQ(Get("S", "e"), "x\"y\"");
}

TEST_F(ProfileContract, ValueMayContainEqualsAndLastLineNeedsNoNewline) {
    Put("[S]\r\nurl=http://h/p?a=1&b=2\r\n[T]\r\nlast=end");
    EXPECT_EQ(Get("S", "url"), "http://h/p?a=1&b=2");
    EXPECT_EQ(Get("T", "last"), "end");
}

TEST_F(ProfileContract, UnixLineEndsReadTheSame) {
    Put("[S]\nk=v\n[T]\nx=y\n");
    EXPECT_EQ(Get("S", "k"), "v");
    EXPECT_EQ(Get("T", "x"), "y");
}

TEST_F(ProfileContract, WritesCreateFileSectionAndKeyAndKeepOthers) {
    ASSERT_TRUE(ProfileWriteString(File, "VT", "LeapLastTime", "46000.5"));
    ASSERT_TRUE(ProfileWriteString(File, "VT", "LeapVersion", "6.4.0.123"));
    ASSERT_TRUE(ProfileWriteString(File, "Other", "k", "v"));
    ASSERT_TRUE(ProfileWriteString(File, "vt", "idata", "1"));  // same section, other case
    EXPECT_EQ(Get("VT", "LeapLastTime"), "46000.5");
    EXPECT_EQ(Get("VT", "idata"), "1");
    EXPECT_EQ(Get("Other", "k"), "v");
    const auto sections = ProfileSectionNames(File);
    ASSERT_EQ(sections.size(), 2u);
    EXPECT_EQ(sections[0], "VT");
    EXPECT_EQ(sections[1], "Other");
    const auto keys = ProfileKeyNames(File, "vt");
    ASSERT_EQ(keys.size(), 3u);
    EXPECT_EQ(keys[0], "LeapLastTime");
    EXPECT_EQ(keys[2], "idata");
}

TEST_F(ProfileContract, EraseSectionRemovesOnlyThatSection) {
    Put("[GLOBAL]\r\na=1\r\n[PART_0]\r\nb=2\r\n[Keep]\r\nc=3\r\n");
    ASSERT_TRUE(ProfileEraseSection(File, "part_0"));
    EXPECT_EQ(Get("PART_0", "b"), "<none>");
    EXPECT_EQ(Get("GLOBAL", "a"), "1");
    EXPECT_EQ(Get("Keep", "c"), "3");
    const auto sections = ProfileSectionNames(File);
    EXPECT_EQ(sections, (std::vector<std::string>{"GLOBAL", "Keep"}));
    ASSERT_TRUE(ProfileEraseSection(File, "does not exist"));
    EXPECT_EQ(ProfileSectionNames(File).size(), 2u);
}

TEST_F(ProfileContract, DeleteKeyRemovesOneKey) {
    Put("[S]\r\na=1\r\nb=2\r\n");
    ASSERT_TRUE(ProfileDeleteKey(File, "s", "A"));
    EXPECT_EQ(Get("S", "a"), "<none>");
    EXPECT_EQ(Get("S", "b"), "2");
}

TEST_F(ProfileContract, Utf16FileIsReadAndStaysUtf16WhenWritten) {
    // "[Local]\r\nName=Grüße Привет\r\n" in UTF-16LE with its mark.
    const std::u16string text = u"[Local]\r\nName=Gr\u00FC\u00DFe \u041F\u0440\u0438\r\n";
    std::string bytes = "\xFF\xFE";
    for (char16_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>(c >> 8);
    }
    Put(bytes);
    EXPECT_EQ(Get("local", "name"),
              "Gr\xC3\xBC\xC3\x9F"
              "e \xD0\x9F\xD1\x80\xD0\xB8");
    ASSERT_TRUE(ProfileWriteString(File, "Local", "Lang", "\xD0\xB4\xD0\xB0"));  // "да"
    EXPECT_EQ(Get("Local", "Lang"), "\xD0\xB4\xD0\xB0");
    const auto after = ReadFileBytes(File);
    ASSERT_TRUE(after);
    ASSERT_GE(after->size(), 2u);
    EXPECT_EQ(after->substr(0, 2), "\xFF\xFE");
}

TEST_F(ProfileContract, LongValuesAreReadWhole) {
    const std::string big(10000, 'x');
    ASSERT_TRUE(ProfileWriteString(File, "S", "big", big));
    EXPECT_EQ(Get("S", "big"), big);
}

TEST_F(ProfileContract, KeyNamesOfMissingSectionAreEmpty) {
    Put("[S]\r\na=1\r\n");
    EXPECT_TRUE(ProfileKeyNames(File, "T").empty());
}

}  // namespace
