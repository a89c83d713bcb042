// The program runs elevated, so a DLL planted in the current folder or a PATH folder (both
// writable by any program of the user) must never load in it; only the ones beside the program
// and the system's do. Proven with a canary DLL that records every load of itself.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/file.h"
#include "platform/path.h"
#include "platform/text.h"
#include "tests/support/child_process.h"
#include "tests/support/testenv.h"

namespace {

// Every name the loaders ask for, for both widths of the program.
const char* const kOpenSslNames[] = {
    "libssl-3-x64.dll",   "libcrypto-3-x64.dll",   "libssl-3.dll",   "libcrypto-3.dll",
    "libssl-1_1-x64.dll", "libcrypto-1_1-x64.dll", "libssl-1_1.dll", "libcrypto-1_1.dll"};
const char* const kSystemNames[] = {"crypt32.dll", "shcore.dll", "dwmapi.dll"};

class LibraryLoading : public testing::Test {
protected:
    testsupport::TTempDir Dir;
    std::string Canary = testsupport::HelperFile("canary.dll");
    std::string AppDir = platform::JoinPath({Dir.Path(), "app"});
    std::string WorkDir = platform::JoinPath({Dir.Path(), "work"});
    std::string PathDir = platform::JoinPath({Dir.Path(), "on path"});
    std::string Log = Dir.File("loaded.txt");
    std::string Probe = platform::JoinPath({AppDir, "library_probe.exe"});

    void SetUp() override {
        if (!platform::FileExists(Canary)) GTEST_SKIP() << "the DLL search is Windows'";
        for (const std::string& d : {AppDir, WorkDir, PathDir})
            ASSERT_TRUE(platform::ForceDirectories(d));
        ASSERT_TRUE(platform::CopyFile(testsupport::HelperProgram("library_probe"), Probe, false));
        for (const std::string& d : {WorkDir, PathDir}) {
            for (const char* n : kOpenSslNames) Plant(d, n);
            for (const char* n : kSystemNames) Plant(d, n);
        }
    }
    void Plant(const std::string& dir, const char* name) {
        ASSERT_TRUE(platform::CopyFile(Canary, platform::JoinPath({dir, name}), true));
    }
    void RunProbe(const std::vector<std::string>& args) {
        testsupport::TRunOptions options;
        options.Directory = WorkDir;
        const char* path = std::getenv("PATH");
        options.Env["PATH"] = PathDir + ";" + (path ? path : "");
        options.Env["LG_CANARY_LOG"] = Log;
        ASSERT_EQ(testsupport::RunProgram(Probe, args, 60000, options), 0);
    }
    // The canaries that were loaded, as their full paths in lower case.
    std::vector<std::string> Loaded() {
        std::vector<std::string> out;
        const std::string text = platform::ReadFileBytes(Log).value_or("");
        size_t start = 0;
        for (size_t nl; (nl = text.find('\n', start)) != std::string::npos; start = nl + 1)
            out.push_back(platform::LowerCase(text.substr(start, nl - start)));
        return out;
    }
};

TEST_F(LibraryLoading, TlsLibrariesNeverComeFromTheCurrentFolderOrPath) {
    RunProbe({"tls"});
    EXPECT_TRUE(Loaded().empty()) << platform::ReadFileBytes(Log).value_or("");
    // Beside the program they are the ones loaded: the full path leads there.
    for (const char* n : kOpenSslNames) Plant(AppDir, n);
    RunProbe({"tls"});
    const std::vector<std::string> loaded = Loaded();
    ASSERT_FALSE(loaded.empty());
    const std::string app = platform::LowerCase(platform::IncludeTrailingSeparator(AppDir));
    bool crypto = false;
    for (const std::string& l : loaded) {
        EXPECT_EQ(l.rfind(app, 0), 0u) << l;
        crypto |= l.find("libcrypto-") != std::string::npos;
    }
    EXPECT_TRUE(crypto);
}

TEST_F(LibraryLoading, NameOnlyLoadsAfterStartUpSkipTheCurrentFolderAndPath) {
    for (const char* n : kOpenSslNames) RunProbe({"bare", n});
    for (const char* n : kSystemNames) RunProbe({"bare", n});
    EXPECT_TRUE(Loaded().empty()) << platform::ReadFileBytes(Log).value_or("");
    Plant(AppDir, "libssl-3.dll");  // the program's own folder stays on the search
    RunProbe({"bare", "libssl-3.dll"});
    ASSERT_EQ(Loaded().size(), 1u);
}

}  // namespace
