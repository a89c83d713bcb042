#include "download/md5.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/file.h"
#include "platform/text.h"
#include "tests/support/testenv.h"

using namespace download;

namespace {

TEST(Md5, Rfc1321Suite) {
    EXPECT_EQ(Md5OfBytes(""), "d41d8cd98f00b204e9800998ecf8427e");
    EXPECT_EQ(Md5OfBytes("a"), "0cc175b9c0f1b6a831c399e269772661");
    EXPECT_EQ(Md5OfBytes("abc"), "900150983cd24fb0d6963f7d28e17f72");
    EXPECT_EQ(Md5OfBytes("message digest"), "f96b697d7cb7938d525a2f31aaf161d0");
    EXPECT_EQ(Md5OfBytes("abcdefghijklmnopqrstuvwxyz"), "c3fcd3d76192e4007dfb496cca67e13b");
    EXPECT_EQ(Md5OfBytes("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"),
              "d174ab98d277d9f5a5611c2c9f419d9f");
    EXPECT_EQ(Md5OfBytes("1234567890123456789012345678901234567890123456789012345678901234567890"
                         "1234567890"),
              "57edf4a22be3c955ac49da2e2107b67a");
}

TEST(Md5, PaddingBoundariesAndSplitUpdatesAgree) {
    // Lengths around the 56- and 64-byte edges of the final block, fed whole and byte by byte.
    for (size_t len : {55u, 56u, 57u, 63u, 64u, 65u, 119u, 120u, 121u, 128u}) {
        const std::string data(len, 'q');
        TMd5Context c;
        Md5Init(c);
        for (char ch : data) Md5Update(c, &ch, 1);
        uint8_t d[16];
        Md5Final(c, d);
        EXPECT_EQ(Md5Hex(d), Md5OfBytes(data)) << len;
    }
    EXPECT_EQ(Md5OfBytes(std::string(56, 'a')), "3b0c8ac703f828b04c6c197006d17218");
    EXPECT_EQ(Md5OfBytes(std::string(64, 'a')), "014842d480b571495a4a0363793f7367");
}

TEST(Md5, FinalWipesTheContext) {
    TMd5Context c;
    Md5Init(c);
    Md5Update(c, "secret", 6);
    uint8_t d[16];
    Md5Final(c, d);
    const auto* p = reinterpret_cast<const uint8_t*>(&c);
    for (size_t i = 0; i < sizeof c; ++i) ASSERT_EQ(p[i], 0) << i;
}

TEST(Md5, FilesMissingEmptyAndLargerThanOneWindow) {
    testsupport::TTempDir dir;
    EXPECT_EQ(FileMd5(dir.File("missing")), "d41d8cd98f00b204e9800998ecf8427e");
    ASSERT_TRUE(platform::WriteFileBytes(dir.File("empty"), ""));
    EXPECT_EQ(FileMd5(dir.File("empty")), "d41d8cd98f00b204e9800998ecf8427e");
    std::string big(3 * (1 << 20) + 17, '\0');
    for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>((i * 7919) >> 3);
    ASSERT_TRUE(platform::WriteFileBytes(dir.File("big"), big));
    EXPECT_EQ(FileMd5(dir.File("big")), Md5OfBytes(big));
}

TEST(Md5, MatchesIgnoresCaseAndReportsUpperCase) {
    testsupport::TTempDir dir;
    ASSERT_TRUE(platform::WriteFileBytes(dir.File("abc"), "abc"));
    std::string computed;
    EXPECT_TRUE(Md5Matches("900150983CD24FB0D6963F7D28E17F72", dir.File("abc"), computed));
    EXPECT_EQ(computed, "900150983CD24FB0D6963F7D28E17F72");
    EXPECT_TRUE(Md5Matches("900150983cd24fb0d6963f7d28e17f72", dir.File("abc"), computed));
    EXPECT_FALSE(Md5Matches("900150983cd24fb0d6963f7d28e17f7", dir.File("abc"), computed));
    EXPECT_FALSE(Md5Matches("900150983cd24fb0d6963f7d28e17f72", dir.File("missing"), computed));
    EXPECT_EQ(computed, "D41D8CD98F00B204E9800998ECF8427E");
}

TEST(Md5, HeldFileIsDigestedThroughItsHandleFromTheStart) {
    testsupport::TTempDir dir;
    std::string bytes(2 * (1 << 20) + 5, '\0');
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 131 + (i >> 11));
    ASSERT_TRUE(platform::WriteFileBytes(dir.File("setup"), bytes));
    auto held = platform::TFileStream::Open(dir.File("setup"),
                                            platform::FileMode::kOpenReadDenyWriteDelete);
    ASSERT_TRUE(held);
    held->Seek(1000);  // wherever the handle stands, every byte from the first counts
    EXPECT_EQ(StreamMd5(*held), Md5OfBytes(bytes));
    EXPECT_EQ(StreamMd5(*held),
              Md5OfBytes(bytes));  // and again: it is not read from where it ended
    std::string computed;
    EXPECT_TRUE(Md5Matches(platform::UpperCase(Md5OfBytes(bytes)), *held, computed));
    EXPECT_EQ(computed, platform::UpperCase(Md5OfBytes(bytes)));
    EXPECT_FALSE(Md5Matches(Md5OfBytes("abc"), *held, computed));
    ASSERT_TRUE(platform::WriteFileBytes(dir.File("empty"), ""));
    auto empty = platform::TFileStream::Open(dir.File("empty"),
                                             platform::FileMode::kOpenReadDenyWriteDelete);
    ASSERT_TRUE(empty);
    EXPECT_EQ(StreamMd5(*empty), "d41d8cd98f00b204e9800998ecf8427e");
}

// Files of 4 GiB and more are digested whole, not as the low 32 bits of their size would
// have it. A sparse file keeps this cheap on disk; the case is skipped where 4 GiB cannot be had.
TEST(Md5, FileOfMoreThanFourGibibytesCountsEveryByte) {
    testsupport::TTempDir dir;
    const std::string f = dir.File("huge.bin");
    const int64_t size = (int64_t{1} << 32) + 3;
    {
        auto s = platform::TFileStream::Open(f, platform::FileMode::kCreateExclusive);
        ASSERT_TRUE(s);
        if (!s->WriteAt(size - 3, "xyz", 3)) GTEST_SKIP() << "no room for a 4 GiB file";
    }
    // The digest of 4 GiB of zeros followed by "xyz", as md5sum gives it.
    EXPECT_EQ(FileMd5(f), "c1e627fa42ae8a97ddd16a42ec7f8cf7");
}

}  // namespace
