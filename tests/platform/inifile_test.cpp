// The settings-file rules every INI user of the program relies on.
#include <gtest/gtest.h>

#include "platform/file.h"
#include "platform/inifile.h"
#include "platform/path.h"
#include "platform/sysinfo.h"
#include "tests/support/fakes.h"
#include "tests/support/testenv.h"

using namespace platform;

namespace {

TEST(IniFile, OpeningCreatesMissingFoldersAndClearsReadOnly) {
    testsupport::TTempDir dir;
    const std::string path = JoinPath({dir.Path(), "Korvo", "Vantrel", "Leapgate.ini"});
    TIniFile ini(path);
    EXPECT_TRUE(DirectoryExists(ExtractFileDir(path)));
    EXPECT_FALSE(FileExists(path));  // the folder, not the file
    ASSERT_TRUE(ini.WriteString("VT", "k", "v"));
    ASSERT_TRUE(SetReadOnly(path, true));
    ASSERT_TRUE(IsReadOnly(path));
    TIniFile again(path);
    EXPECT_FALSE(IsReadOnly(path));
    EXPECT_TRUE(again.WriteString("VT", "k", "w"));
    EXPECT_EQ(again.ReadString("VT", "k", ""), "w");
}

TEST(IniFile, BareNameIsTakenFromTheCurrentFolder) {
    EXPECT_EQ(TIniFile("x.ini").FileName(), JoinPath({".", "x.ini"}));
    EXPECT_EQ(TIniFile(std::string(1, kPathSeparator) + "y.ini").FileName(),
              JoinPath({".", "y.ini"}));
}

TEST(IniFile, IntegersBooleansAndDefaults) {
    testsupport::TTempDir dir;
    TIniFile ini(dir.File("a.ini"));
    ini.WriteString("S", "dec", "1234");
    ini.WriteString("S", "hex", "0x10");
    ini.WriteString("S", "neg", "-5");
    ini.WriteString("S", "word", "12abc");
    ini.WriteString("S", "big", "4294967296");
    EXPECT_EQ(ini.ReadInteger("S", "dec", 0), 1234);
    EXPECT_EQ(ini.ReadInteger("S", "hex", 0), 16);
    EXPECT_EQ(ini.ReadInteger("S", "neg", 0), -5);
    EXPECT_EQ(ini.ReadInteger("S", "word", 7), 7);
    EXPECT_EQ(ini.ReadInteger("S", "big", 7), 7);
    EXPECT_EQ(ini.ReadInteger("S", "missing", 9), 9);
    ini.WriteBool("S", "on", true);
    ini.WriteBool("S", "off", false);
    EXPECT_EQ(ini.ReadString("S", "on", ""), "1");
    EXPECT_EQ(ini.ReadString("S", "off", ""), "0");
    EXPECT_TRUE(ini.ReadBool("S", "dec", false));  // any non-zero integer is true
    EXPECT_FALSE(ini.ReadBool("S", "off", true));
    EXPECT_TRUE(ini.ReadBool("S", "missing", true));
    EXPECT_TRUE(ini.ValueExists("s", "DEC"));
    EXPECT_FALSE(ini.ValueExists("S", "nope"));
    EXPECT_TRUE(ini.SectionExists("s"));
    EXPECT_FALSE(ini.SectionExists("T"));
}

TEST(IniFile, RealsFollowTheUsersDecimalSeparator) {
    testsupport::TTempDir dir;
    TIniFile ini(dir.File("r.ini"));
    testsupport::TFakeSystemInfo comma;
    comma.Decimal = ',';
    {
        testsupport::TScopedSystemInfo use(comma);
        ini.WriteFloat("VT", "t", 46000.5);
        EXPECT_EQ(ini.ReadString("VT", "t", ""), "46000,5");
        EXPECT_DOUBLE_EQ(ini.ReadFloat("VT", "t", 0), 46000.5);
    }
    // Written with a comma, read where the point is the separator: no number, the default.
    EXPECT_DOUBLE_EQ(ini.ReadFloat("VT", "t", 0), 0);
    ini.WriteFloat("VT", "p", 45123.75);
    EXPECT_EQ(ini.ReadString("VT", "p", ""), "45123.75");
    EXPECT_DOUBLE_EQ(ini.ReadFloat("VT", "p", 0), 45123.75);
    ini.WriteString("VT", "junk", "12.5x");
    EXPECT_DOUBLE_EQ(ini.ReadFloat("VT", "junk", -1), -1);
}

TEST(IniFile, FloatTextIsShortestGeneralForm) {
    EXPECT_EQ(FloatToText(0), "0");
    EXPECT_EQ(FloatToText(1.5), "1.5");
    EXPECT_EQ(FloatToText(46000.123456789012), "46000.123456789");
    EXPECT_EQ(FloatToText(1e20), "1E20");
    double v;
    EXPECT_TRUE(TextToFloat(" 12.25 ", v));
    EXPECT_DOUBLE_EQ(v, 12.25);
    EXPECT_FALSE(TextToFloat("", v));
    EXPECT_FALSE(TextToFloat("nan", v));
    EXPECT_FALSE(TextToFloat("0x10", v));
}

}  // namespace
