#include "tests/support/testenv.h"

#include <atomic>
#include <filesystem>
#include <random>

#include "platform/path.h"
#include "platform/shellfolders.h"

namespace testsupport {

namespace {
std::string gRoot;

std::string UniqueName(const char* prefix) {
    static std::atomic<unsigned> counter{0};
    std::random_device rd;
    return std::string(prefix) + std::to_string(rd()) + "-" + std::to_string(counter++);
}
}  // namespace

std::string TestRoot() {
    return gRoot;
}

std::string HostPath(const std::string& buildMachinePath) {
    if (platform::kPathSeparator == '/') return buildMachinePath;
    std::string path = buildMachinePath;
    for (char& c : path)
        if (c == '/') c = '\\';
    return !path.empty() && path[0] == '\\' ? "Z:" + path : path;
}

void RemoveTree(const std::string& path) {
    std::error_code ec;
    std::filesystem::remove_all(std::filesystem::u8path(path), ec);
}

void TTestEnvironment::SetUp() {
    gRoot =
        platform::IncludeTrailingSeparator(platform::GetTempFolder() + UniqueName("lgtest-root-"));
    platform::SetStandInRoot(gRoot);
}

void TTestEnvironment::TearDown() {
    platform::SetStandInRoot("");
    RemoveTree(gRoot);
}

TTempDir::TTempDir() {
    FPath = platform::IncludeTrailingSeparator(platform::GetTempFolder() + UniqueName("lgtest-"));
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::u8path(FPath), ec);
}

TTempDir::~TTempDir() {
    RemoveTree(FPath);
}

}  // namespace testsupport
