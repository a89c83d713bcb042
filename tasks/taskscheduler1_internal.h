// Pieces of the 1.0 adapter shared by its files and tested on their own.
#pragma once
#include <exception>
#include <string>

#include "platform/clock.h"
#include "platform/taskscheduler_trigger1.h"
#include "tasks/taskglobal.h"

namespace tasks {

// U+FF1A (full-width colon) as its UTF-8 bytes read in Windows-1252: U+00EF U+00BC U+0161.
inline const std::string kFullWidthColon = "\xC3\xAF\xC2\xBC\xC5\xA1";

// The 1.0 trigger record for a record to create, at the local time `now`.
platform::TTaskTriggerRecord BuildTriggerRecord(const TTaskInfo& info,
                                                const platform::TSystemTime& now);
// Milliseconds for SetMaxRunTime: 0xFFFFFFFF (no limit) below one day; longer limits than
// the 32-bit value can hold are cut to the longest finite one.
uint32_t MaxRunTimeOf(int32_t days);
// Writes the operation's line for a caught failure to "TaskException.log".
void LogFailure1(const std::string& operation, const std::exception& e);

}  // namespace tasks
