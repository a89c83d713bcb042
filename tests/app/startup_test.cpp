#include "app/startup.h"

#include <gtest/gtest.h>

#include "platform/file.h"
#include "tests/support/fakes.h"

using namespace app;
using platform::TDpiAwareness;

namespace {

class Dpi : public testing::Test {
protected:
    testsupport::TFakeSystemInfo Info;
    testsupport::TScopedSystemInfo UseInfo{Info};
    testsupport::TFakeRegistry Reg;
    testsupport::TScopedRegistry UseReg{Reg};
    testsupport::TFakeScreen Screen;
    testsupport::TScopedScreen UseScreen{Screen};
};

TEST_F(Dpi, ScaleComesFromTheRightValueForEachVersion) {
    EXPECT_EQ(DpiScalePercent(), 100);  // nothing stored: 96 dpi
    Reg.Dwords["Control Panel\\Desktop\\WindowMetrics|AppliedDPI"] = 144;
    Reg.Dwords["Control Panel\\Desktop|LogPixels"] = 120;
    Reg.Strings["Control Panel\\Desktop|DesktopDPIOverride"] = "3";
    EXPECT_EQ(DpiScalePercent(), 150);
    Info.Version = {2, 6, 3, 9600};
    EXPECT_EQ(DpiScalePercent(), 200);
    Reg.Strings["Control Panel\\Desktop|DesktopDPIOverride"] = "7";
    EXPECT_EQ(DpiScalePercent(), 100);
    Info.Version = {2, 6, 1, 7601};
    EXPECT_EQ(DpiScalePercent(), 125);
    Reg.Dwords["Control Panel\\Desktop|LogPixels"] = 0;
    EXPECT_EQ(DpiScalePercent(), 100);
}

TEST_F(Dpi, LargeScreensStayUnawareSmallOnesDeclareByVersion) {
    Screen.Width = 1920;
    Screen.Height = 1080;
    EXPECT_EQ(DecideDpiAwareness(), TDpiAwareness::kNone);
    Screen.Width = 1366;
    Screen.Height = 768;
    EXPECT_EQ(DecideDpiAwareness(), TDpiAwareness::kPerMonitor);
    Info.Version = {2, 6, 3, 9600};
    EXPECT_EQ(DecideDpiAwareness(), TDpiAwareness::kPerMonitor);
    Info.Version = {2, 6, 1, 7601};
    EXPECT_EQ(DecideDpiAwareness(), TDpiAwareness::kSystemAware);
    Info.Version = {2, 5, 1, 2600};
    EXPECT_EQ(DecideDpiAwareness(), TDpiAwareness::kNone);
    Info.Version = {2, 10, 0, 19045};
    Reg.Dwords["Control Panel\\Desktop\\WindowMetrics|AppliedDPI"] = 144;  // 1366 × 1.5 = 2049
    EXPECT_EQ(DecideDpiAwareness(), TDpiAwareness::kNone);
    Reg.Dwords["Control Panel\\Desktop\\WindowMetrics|AppliedDPI"] = 96;
    Screen.Composition = false;
    EXPECT_EQ(DecideDpiAwareness(), TDpiAwareness::kNone);
}

TEST(ProcessSetup, OverflowAndUnderflowGetMasked) {
    platform::MaskFloatingPointOverflowUnderflow();
    EXPECT_TRUE(platform::FloatingPointOverflowUnderflowMasked());
    volatile double big = 1e308;
    volatile double r = big * 10;  // no trap
    EXPECT_GT(r, 1e308);
}

TEST(CrashReport, FileCarriesMessageVersionAndStack) {
    const std::string path = WriteCrashReport("test", platform::CurrentStack());
    const auto text = platform::ReadFileBytes(path);
    ASSERT_TRUE(text);
    EXPECT_NE(text->find("Message: test\r\n"), std::string::npos);
    EXPECT_NE(text->find("Version: 6."), std::string::npos);
    EXPECT_NE(text->find("Stack:\r\n"), std::string::npos);
    platform::DeleteFile(path);
}

}  // namespace
