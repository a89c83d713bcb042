#include "log/logfile.h"

#include <gtest/gtest.h>

#include <thread>

#include "platform/file.h"
#include "platform/path.h"
#include "platform/shellfolders.h"
#include "platform/text.h"
#include "tests/support/fakes.h"
#include "tests/support/testenv.h"

using namespace logs;
using platform::FileMode;
using platform::TFileStream;

namespace {

std::string Utf16(const std::string& text) {
    std::string out;
    for (char16_t c : platform::Utf8ToUtf16(text)) {
        out += static_cast<char>(c & 0xFF);
        out += static_cast<char>(c >> 8);
    }
    return out;
}

std::string Bytes(const std::string& path) {
    return platform::ReadFileBytes(path).value_or("<missing>");
}

class LogFile : public testing::Test {
protected:
    testsupport::TFakeClock Clock;
    testsupport::TScopedClock UseClock{Clock};
    testsupport::TTempDir Dir;
};

TEST_F(LogFile, FirstEntryCreatesFolderAndFileWithMarkAndTimestamp) {
    const std::string f = platform::JoinPath({Dir.Path(), "deep", "er", "TaskException.log"});
    TLogManage channel;
    channel.SetFileName(f);
    channel.Write("DeleteTask.exception : boom", false);
    EXPECT_EQ(Bytes(f),
              "\xFF\xFE" + Utf16("2026-12-08 10:30:15.250  DeleteTask.exception : boom\r\n"));
    channel.Write("second", false);
    EXPECT_EQ(Bytes(f),
              "\xFF\xFE" + Utf16("2026-12-08 10:30:15.250  DeleteTask.exception : boom\r\n"
                                 "2026-12-08 10:30:15.250  second\r\n"));
}

TEST_F(LogFile, TimeSeparatorComesFromTheLocale) {
    testsupport::TFakeSystemInfo info;
    info.Time = '.';
    testsupport::TScopedSystemInfo use(info);
    EXPECT_EQ(LogTimestamp(), "2026-12-08 10.30.15.250  ");
}

TEST_F(LogFile, EmptyFileGetsTheMarkAndOldAnsiLogIsConvertedInPlace) {
    const std::string empty = Dir.File("empty.log");
    ASSERT_TRUE(platform::WriteFileBytes(empty, ""));
    {
        TLogObj log(empty);
        log.Write("x", false);
    }
    EXPECT_EQ(Bytes(empty), "\xFF\xFE" + Utf16("x\r\n"));

    const std::string old = Dir.File("old.log");
    ASSERT_TRUE(platform::WriteFileBytes(old, "caf\xE9 line\r\n"));
    {
        TLogObj log(old);
        log.Write("new", false);
    }
    EXPECT_EQ(Bytes(old), "\xFF\xFE" + Utf16("caf\xC3\xA9 line\r\nnew\r\n"));
}

TEST_F(LogFile, NonAsciiTextIsStoredAsItsUtf16Units) {
    const std::string f = Dir.File("u.log");
    TLogObj log(f);
    log.Write("pTask.CreateTrigger \xEF\xBC\x9A 0", false);  // full-width colon U+FF1A
    EXPECT_NE(Bytes(f).find(std::string("\x1A\xFF", 2)), std::string::npos);
}

TEST_F(LogFile, FullLogIsCopiedToBak1AndStartsAgain) {
    const std::string f = Dir.File("TaskException.log");
    ASSERT_TRUE(platform::WriteFileBytes(f + ".bak1", "older backup"));
    TLogManage channel;
    channel.SetFileName(f);
    channel.WithTime = false;
    channel.MaxSize = 40;
    channel.Write("0123456789", false);  // 2 + 24 bytes
    channel.Write("0123456789", false);  // 50: over the threshold only after this entry
    const std::string full = Bytes(f);
    EXPECT_EQ(full.size(), 50u);
    channel.Write("after", false);
    EXPECT_EQ(Bytes(f + ".bak1"), full);
    EXPECT_EQ(Bytes(f), "\xFF\xFE" + Utf16("after\r\n"));
}

TEST_F(LogFile, BusyFileSendsTheEntryToTheNextFreeName) {
    const std::string f = Dir.File("TaskException.log");
    auto holder = TFileStream::Open(f, FileMode::kOpenReadWriteDenyWrite);  // another writer
    ASSERT_TRUE(holder);
    auto holder1 =
        TFileStream::Open(Dir.File("TaskException_1.log"), FileMode::kOpenReadWriteDenyWrite);
    ASSERT_TRUE(holder1);
    TLogManage channel;
    channel.SetFileName(f);
    channel.WithTime = false;
    channel.Write("landed", false);
    EXPECT_EQ(Bytes(Dir.File("TaskException_2.log")), "\xFF\xFE" + Utf16("landed\r\n"));
    EXPECT_EQ(platform::GetFileSize(f), 0);
}

TEST_F(LogFile, FallbackNamesAreBoundedAndTheEntryIsDroppedSilently) {
    const std::string f = Dir.File("busy.log");
    std::vector<std::unique_ptr<TFileStream>> holders;
    holders.push_back(TFileStream::Open(f, FileMode::kOpenReadWriteDenyWrite));
    for (int i = 1; i <= kMaxFallbackAttempts; ++i)
        holders.push_back(TFileStream::Open(Dir.File("busy_" + std::to_string(i) + ".log"),
                                            FileMode::kOpenReadWriteDenyWrite));
    for (auto& h : holders) ASSERT_TRUE(h);
    TLogManage channel;
    channel.SetFileName(f);
    EXPECT_NO_THROW(channel.Write("lost", false));
    EXPECT_FALSE(platform::FileExists(
        Dir.File("busy_" + std::to_string(kMaxFallbackAttempts + 1) + ".log")));
    EXPECT_THROW(TLogObj{f}, ELogOpen);
}

TEST_F(LogFile, DetailEntriesNeedTheMarkerAndAnUnusedFileIsRemoved) {
    const std::string f = Dir.File("detail.log");
    {
        TLogObj log(f);
        log.Write("detail only", true);  // no detaillog.ldt beside the program
    }
    EXPECT_FALSE(platform::FileExists(f));
}

TEST_F(LogFile, SwitchingTheNameClosesTheOldFileWhenKeptOpen) {
    TLogManage channel;
    channel.CloseAfterWrite = false;
    channel.WithTime = false;
    channel.SetFileName(Dir.File("a.log"));
    channel.Write("one", false);
    channel.SetFileName(Dir.File("b.log"));
    channel.Write("two", false);
    EXPECT_EQ(Bytes(Dir.File("a.log")), "\xFF\xFE" + Utf16("one\r\n"));
    EXPECT_EQ(Bytes(Dir.File("b.log")), "\xFF\xFE" + Utf16("two\r\n"));
}

TEST_F(LogFile, ConcurrentWritersLoseNoEntry) {
    const std::string f = Dir.File("many.log");
    TLogManage channel;
    channel.SetFileName(f);
    channel.WithTime = false;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&channel] {
            for (int i = 0; i < 50; ++i) channel.Write("entry", false);
        });
    for (auto& t : threads) t.join();
    EXPECT_EQ(Bytes(f).size(), 2 + 200 * Utf16("entry\r\n").size());
}

TEST(LogChannels, NamedChannelKeepsItsFirstFileAndTheOthersWriteNothing) {
    const std::string dir = platform::ExtractFilePath(platform::GetExePath());
    for (const char* n : {"TaskException.log", "Other.log", "TaskApp.log"})
        platform::DeleteFile(dir + n);
    ShutdownLogChannels();
    LogToFile("first", "TaskException.log");
    LogToFile("second", "Other.log");
    LogToAppFile("app", "TaskApp.log");
    LogTrace("trace");
    const std::string text = Bytes(dir + "TaskException.log");
    EXPECT_NE(text.find(Utf16("first\r\n")), std::string::npos);
    EXPECT_NE(text.find(Utf16("second\r\n")), std::string::npos);
    EXPECT_FALSE(platform::FileExists(dir + "Other.log"));
    EXPECT_FALSE(platform::FileExists(dir + "TaskApp.log"));
    EXPECT_FALSE(platform::FileExists(platform::ChangeFileExt(platform::GetExePath(), ".log")));
    ShutdownLogChannels();
    platform::DeleteFile(dir + "TaskException.log");
}

}  // namespace
