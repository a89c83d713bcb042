// The regional profile: the distributed local.dat under different system locales, and the
// fallbacks of a file that lacks what it points at.
#include "locale/local_profile.h"

#include <gtest/gtest.h>

#include "platform/file.h"
#include "platform/path.h"
#include "platform/resources.h"
#include "platform/shellfolders.h"
#include "platform/sysinfo.h"
#include "tests/support/testenv.h"

namespace {

class TFakeSystemInfo : public platform::ISystemInfo {
public:
    TFakeSystemInfo(uint32_t systemLocale, uint32_t userLocale)
        : FSystemLocale(systemLocale), FUserLocale(userLocale) {}
    platform::TOsVersion OsVersion() override { return {2, 10, 0, 19045}; }
    uint32_t SystemLocaleId() override { return FSystemLocale; }
    uint32_t UserLocaleId() override { return FUserLocale; }
    char DecimalSeparator() override { return '.'; }
    char TimeSeparator() override { return ':'; }
    std::string UserName() override { return "tester"; }

private:
    uint32_t FSystemLocale, FUserLocale;
};

class RegionalProfile : public testing::Test {
protected:
    void TearDown() override { platform::SetSystemInfo(nullptr); }

    void SetLocales(uint32_t system, uint32_t user) {
        FInfo = std::make_unique<TFakeSystemInfo>(system, user);
        platform::SetSystemInfo(FInfo.get());
    }
    // A copy of the local.dat we ship, so the tests read exactly what users get.
    std::string DistributedFile() {
        const auto data = platform::FindResourceData("LGTEST", "LOCALDAT");
        EXPECT_TRUE(data.has_value());
        const std::string path = FDir.File("local.dat");
        EXPECT_TRUE(platform::WriteFileBytes(path, data.value_or("")));
        return path;
    }
    // A fresh name per file: the Windows profile functions keep the last file they read.
    std::string File(std::string_view text) {
        const std::string path = FDir.File("local" + std::to_string(++FFiles) + ".dat");
        EXPECT_TRUE(platform::WriteFileBytes(path, text));
        return path;
    }

    testsupport::TTempDir FDir;
    std::unique_ptr<TFakeSystemInfo> FInfo;
    int FFiles = 0;
};

void ExpectProfile(const locale::TLocal& p, const char* name, const char* lang, const char* ref,
                   const char* pr) {
    EXPECT_EQ(p.Name, name);
    EXPECT_EQ(p.Lang, lang);
    EXPECT_EQ(p.Ref, ref);
    EXPECT_EQ(p.Pr, pr);
}

TEST_F(RegionalProfile, DistributedFileOnASpanishSystemGivesSpanish) {
    SetLocales(3082, 1033);  // the user's own locale must not matter
    ExpectProfile(locale::LoadLocalProfileFrom(DistributedFile()), "vt", "es", "vt6", "es");
}

TEST_F(RegionalProfile, DistributedFileOnAnUnlistedLocaleGivesTheLocalSection) {
    SetLocales(1033, 3082);
    ExpectProfile(locale::LoadLocalProfileFrom(DistributedFile()), "vt", "en", "vt6", "korvo");
}

TEST_F(RegionalProfile, DistributedFileCoversTheMainRegionOfEveryWindowLanguage) {
    const std::string file = DistributedFile();
    struct TCase {
        uint32_t Lcid;
        const char* Lang;
    };
    for (const TCase& c :
         {TCase{1031, "de"}, TCase{3079, "de"}, TCase{1036, "fr"}, TCase{1040, "it"},
          TCase{1043, "nl"}, TCase{1046, "pt"}, TCase{1049, "ru"}, TCase{3082, "es"},
          TCase{1034, "es"}, TCase{2057, "en"}}) {
        SetLocales(c.Lcid, 1033);
        EXPECT_EQ(locale::LoadLocalProfileFrom(file).Lang, c.Lang) << c.Lcid;
    }
}

TEST_F(RegionalProfile, OnlyTheLow16BitsOfTheLocaleIdCount) {
    SetLocales(0x00010C0A, 1033);  // Spanish with a sort identifier above the language bits
    EXPECT_EQ(locale::LoadLocalProfileFrom(DistributedFile()).Lang, "es");
    SetLocales(0x0C0A0000u | 1033, 1033);
    EXPECT_EQ(locale::LoadLocalProfileFrom(DistributedFile()).Lang, "en");
}

TEST_F(RegionalProfile, MissingFileLeavesTheDefaults) {
    SetLocales(3082, 3082);
    ExpectProfile(locale::LoadLocalProfileFrom(FDir.File("local.dat")), "vt", "", "vt6", "korvo");
    ExpectProfile(locale::LoadLocalProfileFrom(""), "vt", "", "vt6", "korvo");
    ExpectProfile(locale::TLocal{}, "vt", "", "vt6", "korvo");
}

TEST_F(RegionalProfile, MappedSectionOverlaysOnlyTheKeysItHas) {
    SetLocales(1031, 1033);
    const auto p =
        locale::LoadLocalProfileFrom(File("[Local]\r\nName=base\r\nLang=xx\r\nPr=partner\r\n"
                                          "[LCID]\r\n1031=de_only_lang\r\n"
                                          "[de_only_lang]\r\nlang=de\r\n"));
    ExpectProfile(p, "base", "de", "vt6", "partner");
}

TEST_F(RegionalProfile, MappingToAMissingOrEmptySectionKeepsTheLocalValues) {
    for (const char* target : {"nowhere", "", "LCID_missing"}) {
        SetLocales(3082, 1033);
        const auto p = locale::LoadLocalProfileFrom(
            File(std::string("[local]\r\nlang=en\r\n") + "[LCID]\r\n3082=" + target + "\r\n"));
        ExpectProfile(p, "vt", "en", "vt6", "korvo");
    }
}

TEST_F(RegionalProfile, NamesMatchWithoutCaseAndCommentsAreSkipped) {
    SetLocales(1049, 1033);
    const auto p =
        locale::LoadLocalProfileFrom(File("; regional profile\r\n[LOCAL]\r\nNAME=vt\r\nLANG=en\r\n"
                                          "[lcid]\r\n;1049=commented\r\n1049=Local_RU\r\n"
                                          "[local_ru]\r\nLang=ru\r\nPR=ru\r\nREF=vt6ru\r\n"));
    ExpectProfile(p, "vt", "ru", "vt6ru", "ru");
}

TEST_F(RegionalProfile, MappingBackToTheLocalSectionChangesNothing) {
    SetLocales(1036, 1033);
    const auto p = locale::LoadLocalProfileFrom(
        File("[Local]\r\nlang=en\r\npr=p\r\n[LCID]\r\n1036=Local\r\n"));
    ExpectProfile(p, "vt", "en", "vt6", "p");
}

TEST_F(RegionalProfile, StartUpStepReadsTheFileBesideTheProgram) {
    const std::string beside =
        platform::JoinPath({platform::ExtractFileDir(platform::GetExePath()), "local.dat"});
    if (platform::FileExists(beside)) GTEST_SKIP() << "a local.dat lies beside the test program";
    SetLocales(3082, 3082);
    locale::LoadLocalProfile();
    ExpectProfile(locale::LocalProfile(), "vt", "", "vt6", "korvo");
}

}  // namespace
