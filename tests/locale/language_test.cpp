// The product's configuration, the choice of the window-text table and the table of the run.
#include "locale/language.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "locale/config.h"
#include "locale/lang.h"
#include "platform/file.h"
#include "platform/path.h"
#include "platform/profile.h"
#include "platform/resources.h"
#include "platform/shellfolders.h"
#include "platform/text.h"
#include "tests/support/testenv.h"

namespace {

// Each test gets its own Config.ini in a fresh folder, two levels down so that the folder
// creation of TConfig can be seen.
class ProductLanguage : public testing::Test {
protected:
    void SetUp() override {
        FFile = platform::JoinPath({FDir.Path(), "Korvo", "Vantrel", "Config.ini"});
        locale::SetProductConfigFile(FFile);
    }
    void TearDown() override {
        locale::FreeLangTexts();
        locale::SetProductConfigFile("");
    }
    void WriteConfig(std::string_view bytes) {
        ASSERT_TRUE(platform::ForceDirectories(platform::ExtractFileDir(FFile)));
        ASSERT_TRUE(platform::WriteFileBytes(FFile, bytes));
    }
    void WriteLanguage(const std::string& value) {
        WriteConfig("[General]\r\nLanguage=" + value + "\r\n");
    }
    std::string ConfigText() { return platform::ReadFileBytes(FFile).value_or("<missing>"); }

    testsupport::TTempDir FDir;
    std::string FFile;
};

TEST(ProductConfigFileLocation, LiesUnderTheRoamingApplicationData) {
    const std::string appData = platform::GetShellFolder(platform::ShellFolder::kAppData);
    ASSERT_FALSE(appData.empty());
    EXPECT_EQ(locale::ProductConfigFile(),
              platform::JoinPath({appData, "Korvo", "Vantrel", "Config.ini"}));
    locale::SetProductConfigFile("elsewhere.ini");
    EXPECT_EQ(locale::ProductConfigFile(), "elsewhere.ini");
    locale::SetProductConfigFile("");
    EXPECT_EQ(locale::ProductConfigFile(),
              platform::JoinPath({appData, "Korvo", "Vantrel", "Config.ini"}));
}

TEST(NormalizeLangName, KeepsAsciiLettersAndDigitsUpperCased) {
    EXPECT_EQ(locale::NormalizeLangName("Portuguese (PT-BR)"), "PORTUGUESEPTBR");
    EXPECT_EQ(locale::NormalizeLangName("English"), "ENGLISH");
    EXPECT_EQ(locale::NormalizeLangName("  ger-man_2 "), "GERMAN2");
    EXPECT_EQ(locale::NormalizeLangName("Fran\xC3\xA7"
                                        "ais"),
              "FRANAIS");
    EXPECT_EQ(locale::NormalizeLangName("\xE4\xB8\xAD\xE6\x96\x87 (!)"), "");
    EXPECT_EQ(locale::NormalizeLangName(""), "");
    EXPECT_EQ(locale::NormalizeLangName("azAZ09`{@[/:"), "AZAZ09");
}

TEST_F(ProductLanguage, NoConfigurationFileMeansEnglishEverywhere) {
    EXPECT_EQ(locale::LoadLanguage(), "ENGLISH");
    EXPECT_EQ(locale::LangResName(), "ENGLISH");
    locale::TConfig config;
    EXPECT_EQ(config.GetLanguage(), "English");
    locale::BuildLangTexts();
    EXPECT_EQ(locale::LangTexts().GetText("FormMain", "btnUpgrade"), "Upgrade Now");
    EXPECT_EQ(locale::LangTexts().GetText("FormWhatNew", "loading"), "Loading...");
}

TEST_F(ProductLanguage, EachProductLanguageGetsItsTableOrEnglish) {
    struct TCase {
        const char* Stored;
        const char* Table;
        const char* Upgrade;
    };
    const TCase cases[] = {
        {"English", "ENGLISH", "Upgrade Now"},
        {"German", "GERMAN", "Jetzt upgraden"},
        {"French", "FRENCH", "Mettre \xC3\xA0 niveau"},
        {"Italian", "ITALIAN", "Aggiorna ora"},
        {"Dutch", "DUTCH", "Nu upgraden"},
        {"Portuguese (PT-BR)", "PORTUGUESEPTBR", "Atualizar agora"},
        {"Spanish", "SPANISH", "Actualizar ahora"},
        {"Russian", "RUSSIAN",
         "\xD0\x9E\xD0\xB1\xD0\xBD\xD0\xBE\xD0\xB2\xD0\xB8\xD1\x82\xD1\x8C \xD1\x81\xD0\xB5\xD0"
         "\xB9\xD1\x87\xD0\xB0\xD1\x81"},
        {"Swedish", "ENGLISH", "Upgrade Now"},
        {"Danish", "ENGLISH", "Upgrade Now"},
        {"Chinese", "ENGLISH", "Upgrade Now"},
        {"", "ENGLISH", "Upgrade Now"},
        {"(--)", "ENGLISH", "Upgrade Now"},
        {"german", "GERMAN", "Jetzt upgraden"},
        {"Portuguese(PTBR)", "PORTUGUESEPTBR", "Atualizar agora"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(std::string("Language=") + c.Stored);
        WriteLanguage(c.Stored);
        EXPECT_EQ(locale::LoadLanguage(), c.Table);
        EXPECT_EQ(locale::LangResName(), c.Table);
        locale::BuildLangTexts();
        EXPECT_EQ(locale::LangTexts().GetText("FormMain", "btnUpgrade"), c.Upgrade);
        locale::TConfig config;
        EXPECT_EQ(config.GetLanguage(), c.Stored);  // as stored, not normalised
    }
}

TEST_F(ProductLanguage, SwedishAndDanishHaveAHistoryButNoWindowTexts) {
    for (const char* language : {"Swedish", "Danish"}) {
        WriteLanguage(language);
        locale::TConfig config;
        const std::string name = locale::NormalizeLangName(config.GetLanguage());
        EXPECT_FALSE(platform::FindResourceData("LANG", name).has_value()) << name;
        EXPECT_TRUE(platform::FindResourceData("TXT", name).has_value()) << name;
        EXPECT_EQ(locale::LoadLanguage(), "ENGLISH");
    }
    WriteLanguage("Chinese");
    EXPECT_FALSE(platform::FindResourceData("TXT", "CHINESE").has_value());
}

TEST_F(ProductLanguage, GermanTableLacksTheLoadingText) {
    WriteLanguage("German");
    locale::BuildLangTexts();
    const auto& texts = locale::LangTexts();
    EXPECT_EQ(texts.GetText("FormWhatNew", "loading"), "");
    EXPECT_EQ(texts.GetText("FormWhatNew", "title"), "Neuigkeiten");
    EXPECT_EQ(texts.GetText("formmain", "BTNUPGRADE"), "Jetzt upgraden");
    EXPECT_EQ(texts.GetText("FORMMAIN", "btnupgrade"), "Jetzt upgraden");
    EXPECT_EQ(texts.GetText("FormCancel", "btnCancle"), "<a>Abbrechen</a>");
}

TEST_F(ProductLanguage, ConfigurationIsReadWithoutRegardToCaseBlanksOrEncoding) {
    WriteConfig("; product settings\r\n[general]\r\n  LANGUAGE  =  French  \r\n");
    EXPECT_EQ(locale::LoadLanguage(), "FRENCH");
    // The product may keep its file in UTF-16.
    std::u16string utf16 = u"\uFEFF[General]\r\nLanguage=Dutch\r\n";
    WriteConfig(std::string_view(reinterpret_cast<const char*>(utf16.data()), utf16.size() * 2));
    EXPECT_EQ(locale::LoadLanguage(), "DUTCH");
    locale::TConfig config;
    EXPECT_EQ(config.GetLanguage(), "Dutch");
    // A language key in another section does not count.
    WriteConfig("[Other]\r\nLanguage=German\r\n[General]\r\nLang=German\r\n");
    EXPECT_EQ(locale::LoadLanguage(), "ENGLISH");
    EXPECT_EQ(config.GetLanguage(), "English");
}

TEST_F(ProductLanguage, ConfigurationPathThatIsAFolderFallsBackToEnglish) {
    ASSERT_TRUE(platform::ForceDirectories(FFile));
    EXPECT_EQ(locale::LoadLanguage(), "ENGLISH");
    locale::TConfig config;
    EXPECT_EQ(config.GetLanguage(), "English");
}

TEST_F(ProductLanguage, TextsAreEmptyBeforeTheyAreBuiltAndAfterTheyAreFreed) {
    locale::FreeLangTexts();
    EXPECT_TRUE(locale::LangTexts().IsEmpty());
    EXPECT_EQ(locale::LangTexts().GetText("FormMain", "btnUpgrade"), "");
    locale::BuildLangTexts();
    EXPECT_FALSE(locale::LangTexts().IsEmpty());
    locale::FreeLangTexts();
    EXPECT_EQ(locale::LangTexts().GetText("FormMain", "btnUpgrade"), "");
}

TEST_F(ProductLanguage, ConfigFolderIsCreatedButNotTheFile) {
    const std::string folder = platform::ExtractFileDir(FFile);
    ASSERT_FALSE(platform::DirectoryExists(folder));
    {
        locale::TConfig config;
        EXPECT_TRUE(platform::DirectoryExists(folder));
        EXPECT_TRUE(config.ScanGame());
    }
    EXPECT_FALSE(platform::FileExists(FFile));  // nothing to write back: no key, still on
}

TEST_F(ProductLanguage, OneSharedObjectCountedByItsHandles) {
    ASSERT_EQ(locale::TConfig::UseCount(), 0);
    auto first = std::make_unique<locale::TConfig>();
    {
        locale::TConfig second;
        EXPECT_EQ(locale::TConfig::UseCount(), 2);
        second.SetScanGame(false);
        EXPECT_FALSE(first->ScanGame());
        EXPECT_FALSE(platform::FileExists(FFile));  // a handle going away writes nothing
    }
    EXPECT_EQ(locale::TConfig::UseCount(), 1);
    EXPECT_FALSE(platform::FileExists(FFile));
    first.reset();
    EXPECT_EQ(locale::TConfig::UseCount(), 0);
    EXPECT_EQ(platform::ProfileGetString(FFile, "Scan", "ScanGame", "?"), "0");
    locale::TConfig fresh;  // a new object reads the file again
    EXPECT_FALSE(fresh.ScanGame());
}

TEST_F(ProductLanguage, ScanGameIsReadAsANumberAndWrittenBackWhenTheKeyExists) {
    struct TCase {
        const char* Stored;
        bool Read;
        const char* WrittenBack;
    };
    for (const TCase& c : {TCase{"0", false, "0"}, TCase{"1", true, "1"}, TCase{"7", true, "1"},
                           TCase{"0x10", true, "1"}, TCase{"yes", true, "1"}, TCase{"", true, "1"},
                           TCase{"-1", true, "1"}}) {
        SCOPED_TRACE(c.Stored);
        WriteConfig(std::string("[Scan]\r\nScanGame=") + c.Stored + "\r\n");
        {
            locale::TConfig config;
            EXPECT_EQ(config.ScanGame(), c.Read);
        }
        EXPECT_EQ(platform::ProfileGetString(FFile, "Scan", "ScanGame", "?"), c.WrittenBack);
    }
}

TEST_F(ProductLanguage, ScanGameSwitchedOffIsWrittenEvenWithoutTheKey) {
    WriteConfig("[General]\r\nLanguage=German\r\n");
    {
        locale::TConfig config;
        config.SetScanGame(false);
    }
    EXPECT_EQ(platform::ProfileGetString(FFile, "Scan", "ScanGame", "?"), "0");
    EXPECT_EQ(platform::ProfileGetString(FFile, "General", "Language", "?"), "German");
}

TEST_F(ProductLanguage, UnchangedFileWithoutTheKeyIsLeftByteForByte) {
    const std::string original = "[General]\r\nLanguage=German\r\n\r\n[Scan]\r\nOther=1\r\n";
    WriteConfig(original);
    { locale::TConfig config; }
    EXPECT_EQ(ConfigText(), original);
}

TEST_F(ProductLanguage, ChangeMadeByTheProductDuringTheRunIsNotUndone) {
    WriteConfig("[Scan]\r\nScanGame=1\r\n");
    {
        locale::TConfig config;
        EXPECT_TRUE(config.ScanGame());
        ASSERT_TRUE(platform::ProfileWriteString(FFile, "Scan", "ScanGame", "0"));
    }
    EXPECT_EQ(platform::ProfileGetString(FFile, "Scan", "ScanGame", "?"), "0");
    // A key the product added while we ran is left alone as well.
    WriteConfig("[General]\r\nLanguage=German\r\n");
    {
        locale::TConfig config;
        ASSERT_TRUE(platform::ProfileWriteString(FFile, "Scan", "ScanGame", "5"));
    }
    EXPECT_EQ(platform::ProfileGetString(FFile, "Scan", "ScanGame", "?"), "5");
}

TEST_F(ProductLanguage, LanguageIsReadAfreshOnEveryCall) {
    WriteLanguage("German");
    locale::TConfig config;
    EXPECT_EQ(config.GetLanguage(), "German");
    ASSERT_TRUE(platform::ProfileWriteString(FFile, "General", "Language", "Portuguese (PT-BR)"));
    EXPECT_EQ(config.GetLanguage(), "Portuguese (PT-BR)");
    ASSERT_TRUE(platform::ProfileDeleteKey(FFile, "General", "Language"));
    EXPECT_EQ(config.GetLanguage(), "English");
}

TEST_F(ProductLanguage, HandlesComeAndGoFromManyThreadsWhileOneIsHeld) {
    WriteLanguage("Russian");
    auto held = std::make_unique<locale::TConfig>();
    std::atomic<int> wrong{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 50; ++i) {
                locale::TConfig config;
                if (config.GetLanguage() != "Russian") ++wrong;
            }
        });
    }
    for (auto& t : threads) t.join();
    EXPECT_EQ(wrong.load(), 0);
    EXPECT_EQ(locale::TConfig::UseCount(), 1);
    held.reset();
    EXPECT_EQ(locale::TConfig::UseCount(), 0);
}

}  // namespace
