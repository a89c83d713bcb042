#include "locale/environment.h"

#include <gtest/gtest.h>

#include <cmath>

#include <algorithm>

#include "platform/file.h"
#include "platform/path.h"
#include "platform/profile.h"
#include "platform/registry.h"
#include "platform/shellfolders.h"
#include "tests/support/base64.h"
#include "tests/support/fakes.h"
#include "tests/support/testenv.h"

using namespace locale;

namespace {

TEST(Environment, FoldersEndWithTheSeparator) {
    for (const std::string& d :
         {GetExeDir(), GetAppDataDir(), GetCommonAppDataDir(), GetTempDir()}) {
        ASSERT_FALSE(d.empty());
        EXPECT_EQ(d.back(), platform::kPathSeparator);
    }
    EXPECT_EQ(GetExeDir(), platform::ExtractFilePath(platform::GetExePath()));
}

TEST(Environment, VersionTextsAndPrefixes) {
    const std::string own = GetFileVersionText("", 4);
    EXPECT_EQ(own, std::to_string(LG_VERSION_MAJOR) + "." + std::to_string(LG_VERSION_MINOR) + "." +
                       std::to_string(LG_VERSION_PATCH) + "." + std::to_string(LG_VERSION_TWEAK));
    EXPECT_EQ(GetFileVersionText("  ", 2), VersionPrefix(own, 2));
    EXPECT_EQ(GetFileVersionText(platform::GetExePath(), 1), std::to_string(LG_VERSION_MAJOR));
    EXPECT_EQ(GetFileVersionText("", 5), "");
    EXPECT_EQ(GetFileVersionText("", 0), "");
    testsupport::TTempDir dir;
    platform::WriteFileBytes(dir.File("none.exe"), "no version here");
    EXPECT_EQ(GetFileVersionText(dir.File("none.exe"), 4), "");
    EXPECT_EQ(VersionPrefix("6.4.0.123", 2), "6.4");
    EXPECT_EQ(VersionPrefix("6.3.0.0", 1), "6");
    EXPECT_EQ(VersionPrefix("6.4.0.123", 4), "6.4.0.123");  // fewer dots: the whole text
    EXPECT_EQ(VersionPrefix("6", 2), "6");
}

TEST(Environment, SizeTexts) {
    EXPECT_EQ(FormatSize(0), "0 KB");
    EXPECT_EQ(FormatSize(1), "1 KB");
    EXPECT_EQ(FormatSize(1024), "1 KB");
    EXPECT_EQ(FormatSize(1025), "1 KB");
    EXPECT_EQ(FormatSize(1536), "1.5 KB");
    EXPECT_EQ(FormatSize(1048576), "1024 KB");
    EXPECT_EQ(FormatSize(1048577), "1 MB");
    EXPECT_EQ(FormatSize(2621440), "2.5 MB");
    EXPECT_EQ(FormatSize(1073741824), "1024 MB");
    EXPECT_EQ(FormatSize(1610612736), "1.5 GB");
    EXPECT_EQ(FormatSize(static_cast<int32_t>(3221225472u)), "3 GB");  // low 32 bits of 3 GiB
    testsupport::TFakeSystemInfo comma;
    comma.Decimal = ',';
    testsupport::TScopedSystemInfo use(comma);
    EXPECT_EQ(FormatSize(1536), "1,5 KB");
}

TEST(Environment, DayNumbersAndWholeDays) {
    EXPECT_DOUBLE_EQ(EncodeDateTime(1899, 12, 30, 0, 0, 0, 0), 0);
    EXPECT_DOUBLE_EQ(EncodeDateTime(1899, 12, 31, 12, 0, 0, 0), 1.5);
    EXPECT_DOUBLE_EQ(EncodeDateTime(2000, 1, 1, 0, 0, 0, 0), 36526);
    EXPECT_DOUBLE_EQ(EncodeDateTime(2024, 2, 29, 6, 0, 0, 0), 45351.25);
    testsupport::TFakeClock clock;
    clock.Now = {2026, 12, 8, 18, 0, 0, 0, 2};
    testsupport::TScopedClock use(clock);
    const double now = NowLocal();
    EXPECT_DOUBLE_EQ(now, EncodeDateTime(2026, 12, 8, 18, 0, 0, 0));
    const double hour = 1.0 / 24;
    EXPECT_EQ(WholeDaysApart(now, now - 23 * hour), 0);
    EXPECT_EQ(WholeDaysApart(now - 23 * hour, now), 0);
    EXPECT_EQ(WholeDaysApart(now, now - 25 * hour), 1);
    EXPECT_EQ(WholeDaysApart(now - 25 * hour, now), 1);
    EXPECT_EQ(WholeDaysApart(now, now + 30 * hour), 1);
    EXPECT_EQ(WholeDaysApart(now, now - 0.99), 0);
    // Exactly 24 hours, from day numbers as the settings file stores them.
    const double yesterday = EncodeDateTime(2026, 12, 7, 18, 0, 0, 0);
    EXPECT_EQ(WholeDaysApart(now, yesterday), 1);
    const double almost = EncodeDateTime(2026, 12, 7, 18, 0, 0, 1);
    EXPECT_EQ(WholeDaysApart(now, almost), 0);
}

TEST(Environment, DaysApartOfTimesNoClockCanHold) {
    // LeapLastTime comes from a settings file anyone can edit: huge, infinite and NaN values
    // are "very long ago", never undefined behaviour or a small number that holds the offer back.
    const double now = EncodeDateTime(2026, 12, 8, 18, 0, 0, 0);
    for (const double far :
         {1e10, -1e10, 1e300, 2147483647.0 + now, HUGE_VAL, -HUGE_VAL, double(NAN)})
        EXPECT_EQ(WholeDaysApart(now, far), 2147483647) << far;
    EXPECT_EQ(WholeDaysApart(now, now - 2147483646.0), 2147483646);
}

TEST(Environment, FullScreenTest) {
    testsupport::TFakeScreen screen;
    testsupport::TScopedScreen use(screen);
    EXPECT_FALSE(IsFullScreenAppActive());  // no foreground window
    screen.Foreground = {true, false, {0, 0, 1920, 1080}, "GameWindowClass"};
    EXPECT_TRUE(IsFullScreenAppActive());
    screen.Foreground.IsDesktop = true;
    EXPECT_FALSE(IsFullScreenAppActive());
    screen.Foreground.IsDesktop = false;
    for (const char* cls : {"WorkerW", "progman", "WINDOWS.UI.CORE.COREWINDOW"}) {
        screen.Foreground.ClassName = cls;
        EXPECT_FALSE(IsFullScreenAppActive()) << cls;
    }
    screen.Foreground.ClassName = "Notepad";
    screen.Foreground.Rect = {-8, -8, 1928, 1088};  // maximised, border off screen
    EXPECT_FALSE(IsFullScreenAppActive());
    screen.Foreground.Rect = {0, 0, 1920, 1040};
    EXPECT_FALSE(IsFullScreenAppActive());
}

TEST(Environment, ReportEncoding) {
    EXPECT_EQ(Base64Encode("", false), "");
    EXPECT_EQ(Base64Encode("f", false), "Zg==");
    EXPECT_EQ(Base64Encode("fo", false), "Zm8=");
    EXPECT_EQ(Base64Encode("foo", false), "Zm9v");
    EXPECT_EQ(Base64Encode("\xFF\xFE\xFD", false), "//79");
    const std::string report =
        "{\"run\":\"1\",\"lan\":\"en\",\"his\":\"0\",\"name\":\"razuziz\",\"close\":\"0\","
        "\"click\":\"1\"}";
    const std::string enc = EncodeReportText(report);
    ASSERT_GT(enc.size(), 78u);
    EXPECT_EQ(enc.substr(76, 2), "\r\n");
    EXPECT_EQ(enc.find("\r\n", 78), std::string::npos);
    EXPECT_EQ(enc, Base64Encode(report, false).insert(76, "\r\n"));
    // 57 bytes make exactly 76 characters: the line still ends with CR LF.
    const std::string enc57 = EncodeReportText(std::string(57, 'a'));
    EXPECT_EQ(enc57.size(), 78u);
    EXPECT_EQ(enc57.substr(76), "\r\n");
    EXPECT_EQ(EncodeReportText("\xC3\xA9"), "w6k=");  // UTF-8 bytes, no mark
}

TEST(Environment, InstalledProductsReport) {
    testsupport::TFakeRegistry reg;
    testsupport::TScopedRegistry use(reg);
    EXPECT_EQ(testsupport::Base64Decode(InstalledProductsReport()),
              "{\"ab\":10,\"sc\":10,\"pm\":10,\"dd\":10,\"vt\":10}");
    const std::string u = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
    reg.Keys.insert(u + "Vantrel Beta_is1");
    EXPECT_EQ(testsupport::Base64Decode(InstalledProductsReport()),
              "{\"ab\":10,\"sc\":10,\"pm\":10,\"dd\":10,\"vt\":-1}");
    reg.Dwords["SOFTWARE\\Korvo\\Vantrel|Status"] = 7;  // out of range: try the beta's key
    reg.Dwords["SOFTWARE\\Korvo\\Vantrel Beta|Status"] = 2;
    EXPECT_EQ(testsupport::Base64Decode(InstalledProductsReport()),
              "{\"ab\":10,\"sc\":10,\"pm\":10,\"dd\":10,\"vt\":2}");
    reg.Dwords["SOFTWARE\\Korvo\\Vantrel|Status"] = 4;
    reg.Keys.insert(u + "Korvo Disk Doctor_is1");
    reg.Keys.insert(u + "Korvo AppBoost_is1");
    reg.Dwords["SOFTWARE\\Korvo\\AppBoost|Status"] = 0;
    EXPECT_EQ(testsupport::Base64Decode(InstalledProductsReport()),
              "{\"ab\":0,\"sc\":10,\"pm\":10,\"dd\":255,\"vt\":4}");
    // HKLM\SOFTWARE is read in its 32-bit view throughout.
    EXPECT_EQ(std::count(reg.Views32.begin(), reg.Views32.end(), false), 0);
}

}  // namespace
