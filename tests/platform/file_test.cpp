#include <gtest/gtest.h>

#include "platform/file.h"
#include "platform/path.h"
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

}  // namespace
