// The 48-byte trigger record of the older scheduler: every field at its offset, little-endian,
// the same on 32-bit and 64-bit builds, and read back as written.
#include <gtest/gtest.h>

#include <vector>

#include "platform/taskscheduler_trigger1.h"

namespace {

using platform::TTaskTriggerRecord;

// Each field a different value whose bytes all differ, so a field at a wrong offset, of a
// wrong width or in the wrong byte order changes the picture.
TTaskTriggerRecord Distinct() {
    TTaskTriggerRecord r;
    r.TriggerSize = 0x0130;
    r.Reserved1 = 0x0302;
    r.BeginYear = 0x0504;
    r.BeginMonth = 0x0706;
    r.BeginDay = 0x0908;
    r.EndYear = 0x0B0A;
    r.EndMonth = 0x0D0C;
    r.EndDay = 0x0F0E;
    r.StartHour = 0x1110;
    r.StartMinute = 0x1312;
    r.MinutesDuration = 0x17161514;
    r.MinutesInterval = 0x1B1A1918;
    r.Flags = 0x1F1E1D1C;
    r.TriggerType = 0x23222120;
    r.Type = {0x24, 0x25, 0x26, 0x27, 0x28, 0x29, 0x2A, 0x2B};
    r.Reserved2 = 0x2D2C;
    r.RandomMinutesInterval = 0x2F2E;
    return r;
}

TEST(TriggerRecord, EveryFieldLiesAtItsOffsetLittleEndian) {
    const auto bytes = Distinct().ToBytes();
    std::vector<int> expected(platform::kTaskTriggerSize);
    for (int i = 0; i < platform::kTaskTriggerSize; ++i) expected[i] = i;
    expected[0] = 0x30;  // 0x0130: the size field's low byte first
    expected[1] = 0x01;
    EXPECT_EQ(std::vector<int>(bytes.begin(), bytes.end()), expected);
}

TEST(TriggerRecord, ReadsBackWhatItWroteAndComparesByItsBytes) {
    const TTaskTriggerRecord written = Distinct();
    const auto bytes = written.ToBytes();
    const TTaskTriggerRecord read = TTaskTriggerRecord::FromBytes(bytes.data());
    EXPECT_EQ(read.TriggerSize, written.TriggerSize);
    EXPECT_EQ(read.BeginMonth, written.BeginMonth);
    EXPECT_EQ(read.StartMinute, written.StartMinute);
    EXPECT_EQ(read.MinutesDuration, written.MinutesDuration);
    EXPECT_EQ(read.MinutesInterval, written.MinutesInterval);
    EXPECT_EQ(read.Flags, written.Flags);
    EXPECT_EQ(read.TriggerType, written.TriggerType);
    EXPECT_EQ(read.Reserved2, written.Reserved2);
    EXPECT_EQ(read.RandomMinutesInterval, written.RandomMinutesInterval);
    EXPECT_TRUE(read == written);
    TTaskTriggerRecord other = written;
    other.RandomMinutesInterval ^= 0x8000;  // the last byte's top bit
    EXPECT_FALSE(other == written);
}

TEST(TriggerRecord, TheTypeUnionIsFourWordsOrOneDoubleWordOverTheSameBytes) {
    TTaskTriggerRecord r;
    r.SetTypeDword(0xA1B2C3D4);
    EXPECT_EQ(r.TypeWord(0), 0xC3D4);
    EXPECT_EQ(r.TypeWord(1), 0xA1B2);
    EXPECT_EQ(r.TypeWord(2), 0);
    r.SetTypeWord(2, 0xFFEE);
    r.SetTypeWord(3, 0x0102);
    EXPECT_EQ(r.TypeDword(), 0xA1B2C3D4u);  // the later words leave the first two alone
    const auto bytes = r.ToBytes();
    EXPECT_EQ(std::vector<int>(bytes.begin() + 36, bytes.begin() + 44),
              (std::vector<int>{0xD4, 0xC3, 0xB2, 0xA1, 0xEE, 0xFF, 0x02, 0x01}));
    r.SetTypeWord(0, 0x7788);
    EXPECT_EQ(r.TypeDword(), 0xA1B27788u);
}

}  // namespace
