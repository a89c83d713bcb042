#include "app/offer.h"

#include <gtest/gtest.h>

#include "locale/environment.h"
#include "platform/file.h"
#include "platform/inifile.h"
#include "platform/path.h"
#include "tests/support/fakes.h"
#include "tests/support/testenv.h"

using namespace app;

namespace {

TEST(Switch, SlashOrDashAnyCaseAnyPositionButNotTheProgram) {
    EXPECT_TRUE(HasLeapgateSwitch({"Leapgate.exe", "/leapgate"}));
    EXPECT_TRUE(HasLeapgateSwitch({"Leapgate.exe", "x", "-LeapGate"}));
    EXPECT_FALSE(HasLeapgateSwitch({"Leapgate.exe"}));
    EXPECT_FALSE(HasLeapgateSwitch({"/leapgate"}));  // parameter 0 is the program
    EXPECT_FALSE(HasLeapgateSwitch({"Leapgate.exe", "leapgate"}));
    EXPECT_FALSE(HasLeapgateSwitch({"Leapgate.exe", "/leapgates"}));
    EXPECT_FALSE(HasLeapgateSwitch({"Leapgate.exe", "/"}));
}

class Offer : public testing::Test {
protected:
    testsupport::TTempDir Dir;
    testsupport::TFakeClock Clock;
    testsupport::TScopedClock UseClock{Clock};
    testsupport::TFakeScreen Screen;
    testsupport::TScopedScreen UseScreen{Screen};
    int Removals = 0;
    TUpgradeData Data;
    void SetUp() override {
        Data.UpdateIniPath = UpdateIniPathIn(Dir.Path());
        Data.SettingsPath = SettingsPathIn(Dir.File("AppData"));
    }
    void WriteUpdate(const std::string& text) {
        platform::ForceDirectories(platform::ExtractFileDir(Data.UpdateIniPath));
        platform::WriteFileBytes(Data.UpdateIniPath, text);
    }
    void WriteFull() {
        WriteUpdate(
            "[VT_Leapgate]\r\nVT_Url=http://h/vt6.exe\r\nVT_Pmt=/verysilent\r\n"
            "VT_Md5=ABC\r\nVT_Ver=6.4.0.0\r\nVT_Size=0x100\r\n");
    }
    bool Decide() {
        return DecideOffer(Data, [this] { ++Removals; });
    }
    void LastShown(double hoursAgo) {
        platform::TIniFile(Data.SettingsPath)
            .WriteFloat("VT", "LeapLastTime", locale::NowLocal() - hoursAgo / 24.0);
    }
};

TEST_F(Offer, MissingUpdateFileEndsWithoutAnything) {
    EXPECT_FALSE(Decide());
    EXPECT_EQ(Removals, 0);
    EXPECT_FALSE(platform::FileExists(Data.SettingsPath));
}

TEST_F(Offer, FullScreenProgramInFrontEndsBeforeAnyFileIsTouched) {
    WriteFull();
    Screen.Foreground = {true, false, {0, 0, 1920, 1080}, "GameWindow"};
    EXPECT_FALSE(Decide());
    EXPECT_EQ(Removals, 0);
    EXPECT_FALSE(platform::DirectoryExists(platform::ExtractFileDir(Data.SettingsPath)));
    Screen.Foreground = {};
    EXPECT_TRUE(Decide());  // the next start decides afresh
}

// A due offer nobody could see ends the run like any "no", and only the due one asks: an offer
// that is not due ends before the question (and its message) comes up.
TEST_F(Offer, DueOfferWithoutADisplayEndsKeepingTheTaskAndWritingNothing) {
    WriteFull();
    int asked = 0;
    auto noDisplay = [&] {
        ++asked;
        return false;
    };
    EXPECT_FALSE(DecideOffer(
        Data, [this] { ++Removals; }, noDisplay));
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(Removals, 0);
    EXPECT_EQ(platform::TIniFile(Data.SettingsPath).ReadString("VT", "LeapLastTime", ""), "");
    LastShown(2);
    EXPECT_FALSE(DecideOffer(
        Data, [this] { ++Removals; }, noDisplay));
    EXPECT_EQ(asked, 1);
    EXPECT_FALSE(DecideOffer(
        Data, [this] { ++Removals; }, [] { return true; }));  // held back
    LastShown(25);
    EXPECT_TRUE(DecideOffer(
        Data, [this] { ++Removals; }, [] { return true; }));
    EXPECT_EQ(Removals, 1);
}

TEST_F(Offer, MissingSectionOrRequiredValueRemovesTheTaskAndEnds) {
    WriteUpdate("[Other]\r\nVT_Url=x\r\n");
    EXPECT_FALSE(Decide());
    EXPECT_EQ(Removals, 1);
    WriteUpdate("[VT_Leapgate]\r\nVT_Url=http://h/x\r\nVT_Pmt=/s\r\n");
    EXPECT_FALSE(Decide());
    EXPECT_EQ(Removals, 2);
    EXPECT_FALSE(platform::FileExists(Data.SettingsPath));
}

TEST_F(Offer, ValuesDefaultsAndSizeForms) {
    WriteFull();
    ASSERT_TRUE(Decide());
    EXPECT_EQ(Data.UpdateUrl, "http://h/vt6.exe");
    EXPECT_EQ(Data.SetupParams, "/verysilent");
    EXPECT_EQ(Data.SetupMd5, "ABC");
    EXPECT_EQ(Data.NewVersion, "6.4.0.0");
    EXPECT_EQ(Data.SetupSize, 256);
    EXPECT_EQ(Removals, 1);
    WriteUpdate("[VT_Leapgate]\r\nVT_Url=u\r\nVT_Pmt=p\r\nVT_Md5=m\r\nVT_Size=big\r\n");
    TUpgradeData fresh = Data;
    fresh.NewVersion.clear();
    ASSERT_TRUE(DecideOffer(fresh, [] {}));
    EXPECT_EQ(fresh.NewVersion, "6.3.0.0");
    EXPECT_EQ(fresh.SetupSize, 0);
    WriteUpdate("[VT_Leapgate]\r\nVT_Url=u\r\nVT_Pmt=p\r\nVT_Md5=m\r\nVT_Size=-5\r\n");
    ASSERT_TRUE(DecideOffer(fresh, [] {}));
    EXPECT_EQ(fresh.SetupSize, -5);
}

TEST_F(Offer, TwentyFourHourHoldInBothDirections) {
    WriteFull();
    LastShown(23);
    EXPECT_FALSE(Decide());
    EXPECT_EQ(Removals, 0);
    LastShown(24);
    EXPECT_TRUE(Decide());
    LastShown(30);
    EXPECT_TRUE(Decide());
    LastShown(-30);  // stored 30 hours ahead: the clock was set back
    EXPECT_TRUE(Decide());
    LastShown(-23);
    EXPECT_FALSE(Decide());
    platform::TIniFile(Data.SettingsPath).WriteString("VT", "LeapLastTime", "0");
    EXPECT_TRUE(Decide());
}

TEST_F(Offer, TimeWrittenWithAnotherSeparatorDoesNotHoldBack) {
    WriteFull();
    const double now = locale::NowLocal();
    std::string text = platform::FloatToText(now - 1.0 / 24);
    for (char& c : text)
        if (c == '.') c = ',';
    platform::TIniFile(Data.SettingsPath).WriteString("VT", "LeapLastTime", text);
    EXPECT_TRUE(Decide());
}

TEST_F(Offer, FirstShowRecordsTimeAndVersionAndStartsTheHold) {
    WriteFull();
    ASSERT_TRUE(Decide());
    RecordFirstShow(Data);
    platform::TIniFile settings(Data.SettingsPath);
    EXPECT_DOUBLE_EQ(settings.ReadFloat("VT", "LeapLastTime", 0), locale::NowLocal());
    EXPECT_EQ(settings.ReadString("VT", "LeapVersion", ""), locale::GetFileVersionText("", 4));
    EXPECT_FALSE(Decide());
}

}  // namespace
