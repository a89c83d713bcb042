// Program file, resources, version block, named mutex, folders, registry.
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/clock.h"
#include "platform/file.h"
#include "platform/mutex.h"
#include "platform/path.h"
#include "platform/profile.h"
#include "platform/registry.h"
#include "platform/resources.h"
#include "platform/shellfolders.h"
#include "tests/support/testenv.h"

using namespace platform;

namespace {

TEST(System, ProcessCpuTimeGrowsWithWorkAndNotWithSleep) {
    // Busy for 300 ms of wall time: at least a good part of it is this process's CPU time; a
    // sleep of 300 ms adds next to nothing.
    const double start = platform::ProcessCpuSeconds();
    volatile uint64_t sink = 0;
    for (const uint64_t until = platform::MonotonicMs() + 300; platform::MonotonicMs() < until;)
        for (int i = 0; i < 10000; ++i) sink = sink + uint64_t(i);
    const double busy = platform::ProcessCpuSeconds();
    EXPECT_GE(busy - start, 0.05);
    platform::SleepMs(300);
    EXPECT_LT(platform::ProcessCpuSeconds() - busy, 0.1);
}

TEST(System, ProgramPathAndFolders) {
    const std::string exe = GetExePath();
    EXPECT_TRUE(IsAbsolutePath(exe));
    EXPECT_TRUE(FileExists(exe));
    for (auto f :
         {ShellFolder::kAppData, ShellFolder::kCommonAppData, ShellFolder::kProgramFiles}) {
        const std::string d = GetShellFolder(f);
        ASSERT_FALSE(d.empty());
        EXPECT_EQ(d.back(), kPathSeparator);
        EXPECT_TRUE(DirectoryExists(d));
    }
    const std::string t = GetTempFolder();
    ASSERT_FALSE(t.empty());
    EXPECT_EQ(t.back(), kPathSeparator);
    EXPECT_TRUE(DirectoryExists(t));
}

TEST(System, ResourcesAreFoundIgnoringCase) {
    const auto a = FindResourceData("LGTEST", "SAMPLE");
    const auto b = FindResourceData("lgtest", "Sample");
    ASSERT_TRUE(a);
    ASSERT_TRUE(b);
    EXPECT_EQ(*a, "first line\r\nsecond line\r\n");
    EXPECT_EQ(a->data(), b->data());
    EXPECT_FALSE(FindResourceData("LGTEST", "NOPE"));
    EXPECT_FALSE(FindResourceData("NOTYPE", "SAMPLE"));
    const auto names = ResourceNames("lgtest");
    EXPECT_NE(std::find(names.begin(), names.end(), "SAMPLE"), names.end());
    EXPECT_TRUE(ResourceNames("NOTYPE").empty());
}

TEST(System, VersionOfOurProgramAndOfAFileWithoutOne) {
    const auto v = GetFileVersion(GetExePath());
    ASSERT_TRUE(v);
    EXPECT_EQ(v->Major, LG_VERSION_MAJOR);
    EXPECT_EQ(v->Minor, LG_VERSION_MINOR);
    EXPECT_EQ(v->Release, LG_VERSION_PATCH);
    EXPECT_EQ(v->Build, LG_VERSION_TWEAK);
    testsupport::TTempDir dir;
    ASSERT_TRUE(WriteFileBytes(dir.File("plain.exe"), "MZ not really a program"));
    EXPECT_FALSE(GetFileVersion(dir.File("plain.exe")));
    EXPECT_FALSE(GetFileVersion(dir.File("missing.exe")));
}

TEST(System, NamedMutexSeesASecondCreation) {
    const std::string name = "LeapgateTest" + std::to_string(reinterpret_cast<uintptr_t>(&name));
    TNamedMutex first(name);
    ASSERT_TRUE(first.Created());
    EXPECT_FALSE(first.AlreadyExisted());
    {
        TNamedMutex second(name);
        EXPECT_TRUE(second.AlreadyExisted());
    }
    TNamedMutex other(name + "x");
    EXPECT_FALSE(other.AlreadyExisted());
}

TEST(System, RegistryReadsAndMissingValues) {
    IRegistry& reg = Registry();
    EXPECT_FALSE(reg.KeyExists(RegHive::kLocalMachine, "SOFTWARE\\NoSuchVendor\\NoSuchKey", true));
    EXPECT_FALSE(reg.ReadString(RegHive::kCurrentUser, "Software\\NoSuchVendor", "x", false));
    EXPECT_FALSE(reg.ReadDword(RegHive::kCurrentUser, "Software\\NoSuchVendor", "x", false));
    if (StandInRoot().empty()) {
        // The real registry: a key every Windows (and Wine) has.
        EXPECT_TRUE(reg.KeyExists(RegHive::kLocalMachine,
                                  "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", true));
        return;
    }
    // The stand-in's hive files.
    const std::string hklm = JoinPath({StandInRoot(), "registry", "HKLM.ini"});
    ASSERT_TRUE(ForceDirectories(ExtractFileDir(hklm)));
    ProfileWriteString(hklm, "SOFTWARE\\Korvo\\Vantrel", "Status", "dword:3");
    ProfileWriteString(hklm, "SOFTWARE\\Korvo\\Vantrel", "Name", "sz:Vantrel 6");
    ProfileWriteString(hklm, "SOFTWARE\\Korvo\\Vantrel", "@", "sz:default");
    EXPECT_TRUE(reg.KeyExists(RegHive::kLocalMachine, "software\\korvo\\vantrel", true));
    EXPECT_EQ(reg.ReadDword(RegHive::kLocalMachine, "SOFTWARE\\Korvo\\Vantrel", "Status", true),
              3u);
    EXPECT_EQ(reg.ReadString(RegHive::kLocalMachine, "SOFTWARE\\Korvo\\Vantrel", "Name", true),
              "Vantrel 6");
    EXPECT_EQ(reg.ReadString(RegHive::kLocalMachine, "SOFTWARE\\Korvo\\Vantrel", "", true),
              "default");
    // A value of the other type is not read as this one.
    EXPECT_FALSE(
        reg.ReadString(RegHive::kLocalMachine, "SOFTWARE\\Korvo\\Vantrel", "Status", true));
    EXPECT_FALSE(reg.ReadDword(RegHive::kLocalMachine, "SOFTWARE\\Korvo\\Vantrel", "Name", true));
}

}  // namespace
