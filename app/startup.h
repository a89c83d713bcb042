// The start-up steps that do not belong to one window: DPI awareness and the crash report.
#pragma once
#include <string>

#include "platform/process_setup.h"

namespace app {

// dpi × 100 / 96 from the current user's settings for this Windows version (96 dpi when the
// value is missing, unreadable or 0).
int DpiScalePercent();
// Whether (and how) the process declares itself DPI-aware: only with desktop composition on
// and a screen whose larger side, scaled, stays within 1800 pixels.
platform::TDpiAwareness DecideDpiAwareness();

// Writes a short crash report (message, program version, time, stack) and returns its path:
// "Leapgate_crash.txt" in the temporary folder.
std::string WriteCrashReport(const std::string& what, const std::string& stack);

}  // namespace app
