// The part of the crash handlers that is the same everywhere: the report the program gave, said
// once, then the end of the process. The backends catch what crashes and how the process ends.
#pragma once
#include <functional>
#include <string>

namespace platform::detail {

// Keeps `report` for ReportCrashAndExit and makes an exception nobody caught a crash.
void KeepCrashReport(std::function<void(const std::string& what, const std::string& stack)> report);
// Calls the kept report with `what` and the calling thread's stack, unless a report is already
// being made (a crash inside the report), then ends the process.
[[noreturn]] void ReportCrashAndExit(const std::string& what);
// The backend's: ends the process at once with exit code 0, running no exit handlers.
[[noreturn]] void ExitAtOnce();

}  // namespace platform::detail
