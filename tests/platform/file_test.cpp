#include <gtest/gtest.h>

#include "platform/file.h"
#include "platform/path.h"
#include "tests/support/child_process.h"
#include "tests/support/testenv.h"

using namespace platform;

namespace {

TEST(File, SharingFollowsTheWindowsRules) {
    testsupport::TTempDir dir;
    const std::string f = dir.File("target.bin");
    auto w = TFileStream::Open(f, FileMode::kCreateExclusive);
    ASSERT_TRUE(w);
    int err = 0;
    EXPECT_FALSE(TFileStream::Open(f, FileMode::kOpenWriteExclusive, &err));
    EXPECT_NE(err, 0);
    EXPECT_FALSE(TFileStream::Open(f, FileMode::kOpenReadWriteDenyWrite));
    EXPECT_FALSE(TFileStream::Open(f, FileMode::kOpenReadShared));  // shared with nobody
    EXPECT_FALSE(TFileStream::Open(f, FileMode::kOpenReadDenyWriteDelete));
    EXPECT_FALSE(ReadFileBytes(f));
    EXPECT_FALSE(WriteFileBytes(f, "other"));
    ASSERT_TRUE(w->WriteAt(10, "xyz", 3));
    w.reset();
    // A log writer shares reading only: readers come in, other writers do not.
    auto log = TFileStream::Open(f, FileMode::kOpenReadWriteDenyWrite);
    ASSERT_TRUE(log);
    EXPECT_FALSE(TFileStream::Open(f, FileMode::kOpenReadWriteDenyWrite));
    auto r = TFileStream::Open(f, FileMode::kOpenReadShared);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->Size(), 13);
    char buf[16] = {};
    r->Seek(10);
    EXPECT_EQ(r->Read(buf, sizeof buf), 3);
    EXPECT_EQ(std::string(buf, 3), "xyz");
    EXPECT_EQ(r->Read(buf, sizeof buf), 0);
    EXPECT_FALSE(TFileStream::Open(f, FileMode::kOpenWriteExclusive));  // others are open
    log.reset();
    r.reset();
    EXPECT_TRUE(TFileStream::Open(f, FileMode::kOpenWriteExclusive));
}

TEST(File, OpenWriteKeepsContentAndCreateTruncates) {
    testsupport::TTempDir dir;
    const std::string f = dir.File("keep.bin");
    ASSERT_TRUE(WriteFileBytes(f, "0123456789"));
    {
        auto s = TFileStream::Open(f, FileMode::kOpenWriteExclusive);
        ASSERT_TRUE(s);
        ASSERT_TRUE(s->WriteAt(2, "ab", 2));
    }
    EXPECT_EQ(*ReadFileBytes(f), "01ab456789");
    { ASSERT_TRUE(TFileStream::Open(f, FileMode::kCreateExclusive)); }
    EXPECT_EQ(GetFileSize(f), 0);
    EXPECT_FALSE(TFileStream::Open(dir.File("missing"), FileMode::kOpenWriteExclusive));
    EXPECT_FALSE(TFileStream::Open(dir.File("missing"), FileMode::kOpenReadShared));
}

TEST(File, FoldersRenameCopyAndAttributes) {
    testsupport::TTempDir dir;
    const std::string deep = JoinPath({dir.Path(), "a", "b", "c"});
    EXPECT_TRUE(ForceDirectories(deep));
    EXPECT_TRUE(DirectoryExists(deep));
    EXPECT_FALSE(FileExists(deep));
    const std::string f = JoinPath({deep, "f.txt"});
    ASSERT_TRUE(WriteFileBytes(f, "hello"));
    EXPECT_EQ(GetFileSize(f), 5);
    EXPECT_EQ(GetFileSize(dir.File("none")), -1);
    const std::string g = JoinPath({deep, "g.txt"});
    ASSERT_TRUE(CopyFile(f, g, false));
    EXPECT_FALSE(CopyFile(f, g, false));  // exists
    EXPECT_TRUE(CopyFile(f, g, true));
    EXPECT_FALSE(RenameFile(f, g));  // target exists
    ASSERT_TRUE(DeleteFile(g));
    EXPECT_TRUE(RenameFile(f, g));
    ASSERT_TRUE(SetReadOnly(g, true));
    EXPECT_TRUE(IsReadOnly(g));
    EXPECT_TRUE(SetNormalAttributes(g));
    EXPECT_FALSE(IsReadOnly(g));
}

const FileMode kEveryMode[] = {FileMode::kCreateExclusive, FileMode::kOpenWriteExclusive,
                               FileMode::kOpenReadWriteDenyWrite, FileMode::kOpenReadShared,
                               FileMode::kOpenReadDenyWriteDelete};

TEST(File, NoOpenLetsAnotherDeleteOrRenameTheFile) {
    testsupport::TTempDir dir;
    const std::string f = dir.File("held.bin"), g = dir.File("moved.bin");
    for (FileMode mode : kEveryMode) {
        SCOPED_TRACE(static_cast<int>(mode));
        ASSERT_TRUE(WriteFileBytes(f, "kept"));
        auto held = TFileStream::Open(f, mode);
        ASSERT_TRUE(held);
        const bool deleted = DeleteFile(f);
        const int deleteError = LastErrorCode();
        const bool renamed = RenameFile(f, g);
        const int renameError = LastErrorCode();
        EXPECT_FALSE(deleted);
        EXPECT_NE(deleteError, 0);
        EXPECT_FALSE(renamed);
        EXPECT_NE(renameError, 0);
        EXPECT_FALSE(FileExists(g));
        held.reset();
        EXPECT_EQ(ReadFileBytes(f).value_or(""), mode == FileMode::kCreateExclusive ? "" : "kept");
        ASSERT_TRUE(RenameFile(f, g));  // let go: both work again
        ASSERT_TRUE(DeleteFile(g));
    }
}

TEST(File, ReadDenyingWriteAndDeleteLetsReadersInAndKeepsEveryChangeOut) {
    testsupport::TTempDir dir;
    const std::string f = dir.File("checked.bin"), other = dir.File("other.bin");
    ASSERT_TRUE(WriteFileBytes(f, "checked bytes"));
    ASSERT_TRUE(WriteFileBytes(other, "replacement"));
    EXPECT_FALSE(TFileStream::Open(dir.File("missing"), FileMode::kOpenReadDenyWriteDelete));
    auto held = TFileStream::Open(f, FileMode::kOpenReadDenyWriteDelete);
    ASSERT_TRUE(held);
    // Readers of either kind come in.
    auto reader = TFileStream::Open(f, FileMode::kOpenReadShared);
    EXPECT_TRUE(reader);
    auto second = TFileStream::Open(f, FileMode::kOpenReadDenyWriteDelete);
    EXPECT_TRUE(second);
    EXPECT_EQ(ReadFileBytes(f).value_or(""), "checked bytes");
    // No way of writing does.
    EXPECT_FALSE(TFileStream::Open(f, FileMode::kOpenWriteExclusive));
    EXPECT_FALSE(TFileStream::Open(f, FileMode::kOpenReadWriteDenyWrite));
    EXPECT_FALSE(TFileStream::Open(f, FileMode::kCreateExclusive));
    EXPECT_FALSE(WriteFileBytes(f, "changed"));
    EXPECT_FALSE(CopyFile(other, f, true));
    EXPECT_TRUE(CopyFile(f, dir.File("copy.bin"), false));  // reading it is still fine
    char buf[32] = {};
    EXPECT_EQ(held->Read(buf, sizeof buf), 13);
    EXPECT_EQ(std::string(buf, 13), "checked bytes");
    held.reset();
    reader.reset();
    second.reset();
    EXPECT_TRUE(CopyFile(other, f, true));
    EXPECT_EQ(ReadFileBytes(f).value_or(""), "replacement");
    // A file someone writes cannot be held this way: its content is not settled.
    auto writer = TFileStream::Open(f, FileMode::kOpenReadWriteDenyWrite);
    ASSERT_TRUE(writer);
    EXPECT_FALSE(TFileStream::Open(f, FileMode::kOpenReadDenyWriteDelete));
    writer.reset();
    EXPECT_TRUE(TFileStream::Open(f, FileMode::kOpenReadDenyWriteDelete));
}

TEST(File, AnotherProcessCannotChangeAHeldFileUntilItIsLetGo) {
    testsupport::TTempDir dir;
    const std::string f = dir.File("held.exe");
    const std::string contender = testsupport::HelperProgram("file_contender");
    ASSERT_TRUE(FileExists(contender)) << contender;
    ASSERT_TRUE(WriteFileBytes(f, "checked bytes"));
    {
        auto held = TFileStream::Open(f, FileMode::kOpenReadDenyWriteDelete);
        ASSERT_TRUE(held);
        for (const char* action : {"delete", "rename", "overwrite", "open-write"})
            EXPECT_EQ(testsupport::RunProgram(contender, {action, f}, 60000), 1) << action;
        EXPECT_EQ(ReadFileBytes(f).value_or(""), "checked bytes");
        EXPECT_FALSE(FileExists(f + ".moved"));
    }
    for (const char* action : {"overwrite", "open-write", "rename"})
        EXPECT_EQ(testsupport::RunProgram(contender, {action, f}, 60000), 0) << action;
    EXPECT_EQ(ReadFileBytes(f + ".moved").value_or(""), "not what was checked");
    EXPECT_EQ(testsupport::RunProgram(contender, {"delete", f + ".moved"}, 60000), 0);
    EXPECT_FALSE(FileExists(f + ".moved"));
}

}  // namespace
