#include "platform/taskscheduler_trigger1.h"

#include <cstring>
#include <utility>

namespace platform {

namespace {

using TRecord = TTaskTriggerRecord;

// Where each plain field of the record lies; one table serves writing and reading, so the two
// directions cannot disagree about an offset.
constexpr std::pair<int, uint16_t TRecord::*> kWords[] = {
    {0, &TRecord::TriggerSize},  {2, &TRecord::Reserved1},  {4, &TRecord::BeginYear},
    {6, &TRecord::BeginMonth},   {8, &TRecord::BeginDay},   {10, &TRecord::EndYear},
    {12, &TRecord::EndMonth},    {14, &TRecord::EndDay},    {16, &TRecord::StartHour},
    {18, &TRecord::StartMinute}, {44, &TRecord::Reserved2}, {46, &TRecord::RandomMinutesInterval},
};
constexpr std::pair<int, uint32_t TRecord::*> kDwords[] = {
    {20, &TRecord::MinutesDuration},
    {24, &TRecord::MinutesInterval},
    {28, &TRecord::Flags},
    {32, &TRecord::TriggerType},
};
constexpr int kTypeOffset = 36;

uint16_t Get16(const uint8_t* at) {
    return static_cast<uint16_t>(at[0] | (at[1] << 8));
}
void Put16(uint8_t* at, uint16_t value) {
    at[0] = static_cast<uint8_t>(value);
    at[1] = static_cast<uint8_t>(value >> 8);
}
uint32_t Get32(const uint8_t* at) {
    return static_cast<uint32_t>(Get16(at)) | (static_cast<uint32_t>(Get16(at + 2)) << 16);
}
void Put32(uint8_t* at, uint32_t value) {
    Put16(at, static_cast<uint16_t>(value));
    Put16(at + 2, static_cast<uint16_t>(value >> 16));
}

}  // namespace

uint16_t TTaskTriggerRecord::TypeWord(int slot) const {
    return Get16(&Type[2 * slot]);
}
void TTaskTriggerRecord::SetTypeWord(int slot, uint16_t value) {
    Put16(&Type[2 * slot], value);
}
uint32_t TTaskTriggerRecord::TypeDword() const {
    return Get32(Type.data());
}
void TTaskTriggerRecord::SetTypeDword(uint32_t value) {
    Put32(Type.data(), value);
}

std::array<uint8_t, kTaskTriggerSize> TTaskTriggerRecord::ToBytes() const {
    std::array<uint8_t, kTaskTriggerSize> b{};
    for (const auto& [at, field] : kWords) Put16(&b[at], this->*field);
    for (const auto& [at, field] : kDwords) Put32(&b[at], this->*field);
    std::memcpy(&b[kTypeOffset], Type.data(), Type.size());
    return b;
}

TTaskTriggerRecord TTaskTriggerRecord::FromBytes(const uint8_t* bytes) {
    TTaskTriggerRecord r;
    for (const auto& [at, field] : kWords) r.*field = Get16(bytes + at);
    for (const auto& [at, field] : kDwords) r.*field = Get32(bytes + at);
    std::memcpy(r.Type.data(), bytes + kTypeOffset, r.Type.size());
    return r;
}

bool TTaskTriggerRecord::operator==(const TTaskTriggerRecord& other) const {
    return ToBytes() == other.ToBytes();
}

}  // namespace platform
