// The state file: what is written, in which order, what survives a rewrite, what is read back.
#include "download/statefile.h"

#include <gtest/gtest.h>

#include "platform/file.h"
#include "platform/profile.h"
#include "tests/support/testenv.h"

namespace download {
namespace {

std::vector<std::unique_ptr<TMyHttpCli>> MakeParts(
    std::initializer_list<std::tuple<int64_t, int64_t, int64_t>> layout) {
    std::vector<std::unique_ptr<TMyHttpCli>> parts;
    int i = 0;
    for (auto [start, end, count] : layout) {
        auto p = std::make_unique<TMyHttpCli>();
        p->Index = i++;
        p->FStartOffset = start;
        p->FEndOffset = end;
        p->FDataCount = count;
        p->URL = "http://127.0.0.1/f.bin";
        parts.push_back(std::move(p));
    }
    return parts;
}

bool CompleteInclusive(const TMyHttpCli& p) {
    return p.FDataCount >= p.FEndOffset - p.FStartOffset + 1;
}

TEST(StateFile, WritesSectionsAndKeysInOrder) {
    testsupport::TTempDir dir;
    const std::string file = dir.File("x.exe.dat");
    auto parts = MakeParts({{0, 250, 251}, {251, 501, 100}});
    TStateFileGlobal global{"ABCDEF", "http://h/x.exe", 1000, 351};
    std::vector<std::string> logged;
    WriteStateFile(file, global, parts, CompleteInclusive,
                   [&](const std::string& l) { logged.push_back(l); });
    EXPECT_TRUE(logged.empty());
    std::string text = platform::ReadFileBytes(file).value_or("");
    const char* order[] = {"[GLOBAL]",
                           "DownloadConfigMD5=ABCDEF",
                           "Url=http://h/x.exe",
                           "ContentLength=1000",
                           "DownloadedSize=351",
                           "PartCount=2",
                           "[PART_0]",
                           "StartOffset=0",
                           "EndOffset=250",
                           "DataCount=251",
                           "URL=http://127.0.0.1/f.bin",
                           "Done=1",
                           "[PART_1]",
                           "StartOffset=251",
                           "EndOffset=501",
                           "DataCount=100",
                           "URL=http://127.0.0.1/f.bin",
                           "Done=0"};
    size_t pos = 0;
    for (const char* line : order) {
        size_t at = text.find(line, pos);
        ASSERT_NE(at, std::string::npos) << line << " after " << pos << " in\n" << text;
        pos = at + 1;
    }
    EXPECT_TRUE(parts[0]->Done);
    EXPECT_FALSE(parts[1]->Done);
    EXPECT_EQ(ReadStoredDataCount(file, 0), 251);
    EXPECT_EQ(ReadStoredDataCount(file, 1), 100);
    int64_t length = -1, done = -1;
    ReadStoredTotals(file, length, done);
    EXPECT_EQ(length, 1000);
    EXPECT_EQ(done, 351);
}

TEST(StateFile, RewriteDropsOldPartsKeepsOtherSections) {
    testsupport::TTempDir dir;
    const std::string file = dir.File("y.dat");
    platform::ProfileWriteString(file, "Mine", "Keep", "yes");
    platform::ProfileWriteString(file, "part_9", "Lower", "case is another name");
    for (int i = 0; i < 5; ++i)
        platform::ProfileWriteString(file, "PART_" + std::to_string(i), "DataCount", "7");
    platform::ProfileWriteString(file, "GLOBAL", "Stale", "1");
    auto parts = MakeParts({{0, 10, 3}, {11, 20, 4}});
    WriteStateFile(file, {}, parts, CompleteInclusive, nullptr);
    auto sections = platform::ProfileSectionNames(file);
    EXPECT_EQ(platform::ProfileGetString(file, "Mine", "Keep", ""), "yes");
    EXPECT_EQ(platform::ProfileGetString(file, "GLOBAL", "Stale", "gone"), "gone");
    EXPECT_EQ(platform::ProfileGetString(file, "PART_4", "DataCount", "gone"), "gone");
    EXPECT_EQ(platform::ProfileGetString(file, "PART_1", "DataCount", ""), "4");
    // Only names that begin with "PART_" exactly are ours.
    EXPECT_EQ(platform::ProfileGetString(file, "part_9", "Lower", ""), "case is another name");
    EXPECT_EQ(sections.size(), 5u) << "Mine, part_9, GLOBAL, PART_0, PART_1";
}

TEST(StateFile, CountLargerThanSegmentIsLoggedAndZeroed) {
    testsupport::TTempDir dir;
    const std::string file = dir.File("z.dat");
    auto parts = MakeParts({{0, 250, 252}, {251, 501, 251}});
    std::vector<std::string> logged;
    WriteStateFile(file, {}, parts, CompleteInclusive,
                   [&](const std::string& l) { logged.push_back(l); });
    ASSERT_EQ(logged.size(), 1u);
    EXPECT_EQ(logged[0],
              "Save Status Error: Index: 0 FEndOffset: 250 FStartOffSet: 0 FDataCount: 252");
    EXPECT_EQ(parts[0]->FDataCount, 0);
    EXPECT_FALSE(parts[0]->Done);
    EXPECT_EQ(ReadStoredDataCount(file, 0), 0);
    EXPECT_EQ(ReadStoredDataCount(file, 1), 251);
}

TEST(StateFile, UnreadableValuesReadAsZero) {
    testsupport::TTempDir dir;
    const std::string file = dir.File("w.dat");
    EXPECT_EQ(ReadStoredDataCount(file, 0), 0);  // no file
    platform::ProfileWriteString(file, "PART_0", "DataCount", "12x");
    platform::ProfileWriteString(file, "PART_1", "DataCount", "-");
    platform::ProfileWriteString(file, "PART_2", "DataCount", "9000000000");
    platform::ProfileWriteString(file, "GLOBAL", "ContentLength", "abc");
    EXPECT_EQ(ReadStoredDataCount(file, 0), 0);
    EXPECT_EQ(ReadStoredDataCount(file, 1), 0);
    EXPECT_EQ(ReadStoredDataCount(file, 2), 9000000000LL);
    EXPECT_EQ(ReadStoredDataCount(file, 3), 0);
    int64_t length = -1, done = -1;
    ReadStoredTotals(file, length, done);
    EXPECT_EQ(length, 0);
    EXPECT_EQ(done, 0);
}

}  // namespace
}  // namespace download
