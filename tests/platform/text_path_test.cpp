#include <gtest/gtest.h>

#include "platform/path.h"
#include "platform/text.h"

using namespace platform;

namespace {

TEST(Text, Utf8Utf16RoundTripIncludingSurrogatesAndRepairsBadBytes) {
    const std::string s = "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80z";  // aé€😀z
    const std::u16string u = Utf8ToUtf16(s);
    EXPECT_EQ(u.size(), 6u);
    EXPECT_EQ(Utf16ToUtf8(u), s);
    EXPECT_TRUE(IsValidUtf8(s));
    EXPECT_FALSE(IsValidUtf8("ab\xC3"));
    EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));      // overlong
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));  // surrogate
    EXPECT_EQ(Utf16ToUtf8(std::u16string(1, u'\xD800')), "\xEF\xBF\xBD");
}

TEST(Text, AnsiIsWestern1252OnTheStandInAndRoundTrips) {
    EXPECT_EQ(AnsiToUtf8("caf\xE9"), "caf\xC3\xA9");
    EXPECT_EQ(Utf8ToAnsi("caf\xC3\xA9"), "caf\xE9");
    EXPECT_EQ(AnsiToUtf8("\x80"), "\xE2\x82\xAC");
    // Every byte survives the trip through text, the five the code page leaves undefined too:
    // a UTF-8 file ("\xD1\x81" is Cyrillic es) read as ANSI and written back keeps its bytes.
    std::string all;
    for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
    EXPECT_EQ(Utf8ToAnsi(AnsiToUtf8(all)), all);
    EXPECT_EQ(AnsiToUtf8("\x81\x8D\x8F\x90\x9D"), "\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D");
    EXPECT_EQ(Utf8ToAnsi(AnsiToUtf8("\xD1\x81\xD0\x9D")), "\xD1\x81\xD0\x9D");
}

TEST(Text, CaseMappingOfEveryLetterAgreesWithItself) {
    // Names are compared through the upper case: a letter and its own lower case must compare
    // equal, and mapping twice must change nothing, for every character the mapping knows.
    for (char32_t c = 1; c < 0x500; ++c) {
        if (c >= 0xD800) break;
        const std::string one = Utf16ToUtf8(std::u16string(1, static_cast<char16_t>(c)));
        const std::string up = UpperCase(one), low = LowerCase(one);
        EXPECT_TRUE(SameText(one, low)) << std::hex << static_cast<uint32_t>(c);
        EXPECT_TRUE(SameText(one, up)) << std::hex << static_cast<uint32_t>(c);
        EXPECT_EQ(UpperCase(up), up) << std::hex << static_cast<uint32_t>(c);
        EXPECT_EQ(LowerCase(low), low) << std::hex << static_cast<uint32_t>(c);
    }
    EXPECT_EQ(LowerCase("\xC5\xBF"), "\xC5\xBF");  // long s stays, never becomes U+0180
}

TEST(Text, DecodeWithBomPicksTheEncoding) {
    EXPECT_EQ(DecodeWithBom("\xEF\xBB\xBFx\xC3\xA9"), "x\xC3\xA9");
    EXPECT_EQ(DecodeWithBom(std::string("\xFF\xFEh\0i\0", 6)), "hi");
    EXPECT_EQ(DecodeWithBom(std::string("\xFE\xFF\0h\0i", 6)), "hi");
    EXPECT_EQ(DecodeWithBom("plain"), "plain");
}

TEST(Text, BytesBehindAUtf8MarkAreCheckedToo) {
    // A file that says UTF-8 and then is not: what comes out must still be valid text.
    for (const std::string bad : {"\xEF\xBB\xBF"
                                  "a\xFF"
                                  "b",
                                  "\xEF\xBB\xBF"
                                  "\xC3",
                                  "\xEF\xBB\xBF"
                                  "\xE2\x82",
                                  "\xEF\xBB\xBF"
                                  "\xC0\xAF"
                                  "x",
                                  "\xEF\xBB\xBF"
                                  "\xED\xA0\x80"}) {
        const std::string out = DecodeWithBom(bad);
        EXPECT_TRUE(IsValidUtf8(out)) << out;
        EXPECT_NE(out.find("\xEF\xBF\xBD"), std::string::npos) << out;  // U+FFFD marks the spot
    }
    EXPECT_EQ(DecodeWithBom("\xEF\xBB\xBF"
                            "a\xFF"
                            "b"),
              "a\xEF\xBF\xBD"
              "b");
    // Valid text behind the mark, a real U+FFFD included, is passed through unchanged.
    EXPECT_EQ(DecodeWithBom("\xEF\xBB\xBF\xEF\xBF\xBD\xD1\x81"), "\xEF\xBF\xBD\xD1\x81");
}

TEST(Text, CaseFoldingCoversLatinAndCyrillic) {
    EXPECT_EQ(UpperCase("abc\xC3\xA9\xC3\xBF"), "ABC\xC3\x89\xC5\xB8");  // éÿ → ÉŸ
    EXPECT_EQ(UpperCase("\xD0\xBF\xD1\x80\xD0\xB8\xD1\x91"), "\xD0\x9F\xD0\xA0\xD0\x98\xD0\x81");
    EXPECT_EQ(LowerCase("\xC5\xB8Z"), "\xC3\xBFz");
    EXPECT_TRUE(SameText("FormMain", "formmain"));
    EXPECT_FALSE(SameText("FormMain", "FormMai"));
}

TEST(Text, FirstReplacementIgnoresCase) {
    EXPECT_EQ(ReplaceFirstNoCase("Vantrel %S is %s", "%s", "6.4"), "Vantrel 6.4 is %s");
    EXPECT_EQ(ReplaceFirstNoCase("<A>Cancel</a>", "<a>", ""), "Cancel</a>");
    EXPECT_EQ(ReplaceFirstNoCase("none", "%s", "x"), "none");
    EXPECT_EQ(ReplaceAll("a&b&c", "&", "&&"), "a&&b&&c");
    EXPECT_EQ(FindNoCase("xx%S1yy", "%s1"), 2u);
}

TEST(Text, TrimAndNumberParsing) {
    EXPECT_EQ(Trim(" \t v \r\n"), "v");
    int64_t v;
    EXPECT_TRUE(ParseInt64("9223372036854775807", v));
    EXPECT_FALSE(ParseInt64("9223372036854775808", v));
    EXPECT_TRUE(ParseInt64("-9223372036854775808", v));
    EXPECT_FALSE(ParseInt64("12 3", v));
    EXPECT_FALSE(ParseInt64("", v));
    int32_t i;
    EXPECT_TRUE(ParseInt32Loose("0xFFFFFFFF", i));
    EXPECT_EQ(i, -1);
    EXPECT_TRUE(ParseInt32Loose("$10", i));
    EXPECT_EQ(i, 16);
    EXPECT_FALSE(ParseInt32Loose("2147483648", i));
    EXPECT_TRUE(ParseInt32Loose("-2147483648", i));
    EXPECT_FALSE(ParseInt32Loose("0x", i));
}

TEST(Text, LooseNumbersAtTheEdgesOfThirtyTwoBits) {
    // Settings files carry these in decimal and in hexadecimal; each edge must read without
    // overflowing on the way (the sanitized build aborts on a signed overflow).
    const struct {
        const char* Text;
        bool Ok;
        int32_t Value;
    } rows[] = {
        {"-0x80000000", true, INT32_MIN}, {"0x80000000", true, INT32_MIN},
        {"-0xFFFFFFFF", true, 1},         {"-$1", true, -1},
        {"0x7FFFFFFF", true, INT32_MAX},  {"-0x7FFFFFFF", true, -INT32_MAX},
        {"0x100000000", false, 0},        {"-2147483649", false, 0},
        {"+2147483647", true, INT32_MAX}, {"-", false, 0},
    };
    for (const auto& r : rows) {
        int32_t v = 12345;
        EXPECT_EQ(ParseInt32Loose(r.Text, v), r.Ok) << r.Text;
        if (r.Ok) {
            EXPECT_EQ(v, r.Value) << r.Text;
        }
    }
}

TEST(Path, JoinUsesOneNativeSeparator) {
    const std::string s(1, kPathSeparator);
    EXPECT_EQ(JoinPath({"a", "b", "c.ini"}), "a" + s + "b" + s + "c.ini");
    EXPECT_EQ(JoinPath({"a" + s, s + "b"}), "a" + s + "b");
    EXPECT_EQ(JoinPath({"a", "Update/Update.ini"}), "a" + s + "Update" + s + "Update.ini");
    EXPECT_EQ(JoinPath({"a", ""}), "a");
    EXPECT_EQ(IncludeTrailingSeparator("a"), "a" + s);
    EXPECT_EQ(IncludeTrailingSeparator("a" + s), "a" + s);
}

TEST(Path, Pieces) {
    const std::string s(1, kPathSeparator);
    const std::string p = "dir" + s + "sub" + s + "Leapgate.exe";
    EXPECT_EQ(ExtractFileName(p), "Leapgate.exe");
    EXPECT_EQ(ExtractFilePath(p), "dir" + s + "sub" + s);
    EXPECT_EQ(ExtractFileDir(p), "dir" + s + "sub");
    EXPECT_EQ(ExtractFileExt(p), ".exe");
    EXPECT_EQ(ChangeFileExt(p, ".log"), "dir" + s + "sub" + s + "Leapgate.log");
    EXPECT_EQ(ChangeFileExt("dir.x" + s + "noext", "_1.log"), "dir.x" + s + "noext_1.log");
    EXPECT_EQ(ExtractFilePath("bare.ini"), "");
}

}  // namespace
