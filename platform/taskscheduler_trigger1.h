// The Task Scheduler 1.0 trigger record (TASK_TRIGGER): 48 bytes, little-endian, laid out as the
// platform lays it out on both 32-bit and 64-bit Windows.
#pragma once
#include <array>
#include <cstdint>

namespace platform {

inline constexpr uint16_t kTaskTriggerSize = 48;

struct TTaskTriggerRecord {
    uint16_t TriggerSize = 0;            // offset 0
    uint16_t Reserved1 = 0;              // 2
    uint16_t BeginYear = 0;              // 4
    uint16_t BeginMonth = 0;             // 6
    uint16_t BeginDay = 0;               // 8
    uint16_t EndYear = 0;                // 10
    uint16_t EndMonth = 0;               // 12
    uint16_t EndDay = 0;                 // 14
    uint16_t StartHour = 0;              // 16
    uint16_t StartMinute = 0;            // 18
    uint32_t MinutesDuration = 0;        // 20
    uint32_t MinutesInterval = 0;        // 24
    uint32_t Flags = 0;                  // 28
    uint32_t TriggerType = 0;            // 32
    std::array<uint8_t, 8> Type{};       // 36 … 43, the type-specific union
    uint16_t Reserved2 = 0;              // 44
    uint16_t RandomMinutesInterval = 0;  // 46

    // The union's members: a 16-bit word at byte 36 + 2 * slot (slot 0 … 3), or the 32-bit
    // value at 36.
    uint16_t TypeWord(int slot) const;
    void SetTypeWord(int slot, uint16_t value);
    uint32_t TypeDword() const;
    void SetTypeDword(uint32_t value);

    std::array<uint8_t, kTaskTriggerSize> ToBytes() const;
    // `bytes` holds kTaskTriggerSize bytes.
    static TTaskTriggerRecord FromBytes(const uint8_t* bytes);

    bool operator==(const TTaskTriggerRecord& other) const;
};

}  // namespace platform
