// The Task Scheduler 1.0 trigger record (TASK_TRIGGER): 48 bytes, little-endian, laid out as the
// platform lays it out on both 32-bit and 64-bit Windows.
#pragma once
#include <array>
#include <cstdint>
#include <cstring>

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

    // The union's members: a 16-bit word at byte 36 + 2 * slot, or the 32-bit value at 36.
    uint16_t TypeWord(int slot) const {
        return static_cast<uint16_t>(Type[2 * slot] | (Type[2 * slot + 1] << 8));
    }
    void SetTypeWord(int slot, uint16_t value) {
        Type[2 * slot] = static_cast<uint8_t>(value);
        Type[2 * slot + 1] = static_cast<uint8_t>(value >> 8);
    }
    uint32_t TypeDword() const {
        return static_cast<uint32_t>(TypeWord(0)) | (static_cast<uint32_t>(TypeWord(1)) << 16);
    }
    void SetTypeDword(uint32_t value) {
        SetTypeWord(0, static_cast<uint16_t>(value));
        SetTypeWord(1, static_cast<uint16_t>(value >> 16));
    }

    std::array<uint8_t, kTaskTriggerSize> ToBytes() const {
        std::array<uint8_t, kTaskTriggerSize> b{};
        auto w16 = [&b](int at, uint16_t v) {
            b[at] = static_cast<uint8_t>(v);
            b[at + 1] = static_cast<uint8_t>(v >> 8);
        };
        auto w32 = [&w16](int at, uint32_t v) {
            w16(at, static_cast<uint16_t>(v));
            w16(at + 2, static_cast<uint16_t>(v >> 16));
        };
        w16(0, TriggerSize);
        w16(2, Reserved1);
        w16(4, BeginYear);
        w16(6, BeginMonth);
        w16(8, BeginDay);
        w16(10, EndYear);
        w16(12, EndMonth);
        w16(14, EndDay);
        w16(16, StartHour);
        w16(18, StartMinute);
        w32(20, MinutesDuration);
        w32(24, MinutesInterval);
        w32(28, Flags);
        w32(32, TriggerType);
        std::memcpy(&b[36], Type.data(), Type.size());
        w16(44, Reserved2);
        w16(46, RandomMinutesInterval);
        return b;
    }

    static TTaskTriggerRecord FromBytes(const uint8_t* b) {
        auto r16 = [b](int at) { return static_cast<uint16_t>(b[at] | (b[at + 1] << 8)); };
        auto r32 = [&r16](int at) {
            return static_cast<uint32_t>(r16(at)) | (static_cast<uint32_t>(r16(at + 2)) << 16);
        };
        TTaskTriggerRecord r;
        r.TriggerSize = r16(0);
        r.Reserved1 = r16(2);
        r.BeginYear = r16(4);
        r.BeginMonth = r16(6);
        r.BeginDay = r16(8);
        r.EndYear = r16(10);
        r.EndMonth = r16(12);
        r.EndDay = r16(14);
        r.StartHour = r16(16);
        r.StartMinute = r16(18);
        r.MinutesDuration = r32(20);
        r.MinutesInterval = r32(24);
        r.Flags = r32(28);
        r.TriggerType = r32(32);
        std::memcpy(r.Type.data(), b + 36, r.Type.size());
        r.Reserved2 = r16(44);
        r.RandomMinutesInterval = r16(46);
        return r;
    }

    bool operator==(const TTaskTriggerRecord& other) const { return ToBytes() == other.ToBytes(); }
};

}  // namespace platform
