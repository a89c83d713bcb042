// Process-wide settings made once at start-up.
#pragma once
#include <functional>
#include <string>

namespace platform {

// Masks the floating-point overflow and underflow exceptions in the processor's control word;
// the other masks keep their values.
void MaskFloatingPointOverflowUnderflow();
// True when overflow and underflow are masked (for tests).
bool FloatingPointOverflowUnderflowMasked();

enum class TDpiAwareness { kNone, kSystemAware, kPerMonitor };
// SetProcessDpiAwareness(2) from shcore.dll or SetProcessDPIAware from user32.dll, looked up at
// run time (a missing function is skipped). Nothing on the Linux stand-in.
void DeclareDpiAwareness(TDpiAwareness awareness);

// The process runs elevated: libraries it loads by name come only from System32 and the
// program's own folder, never from the current folder or a PATH folder, which any program of the
// user may write. Done first at start-up; nothing on the Linux stand-in.
void MakeLibrarySearchSafe();

// Calls `report` with a one-line description and a stack (where the platform gives one) when
// the process crashes (an access violation, an abort, an exception no one caught), then ends
// the process with exit code 0.
void InstallCrashHandler(
    std::function<void(const std::string& what, const std::string& stack)> report);
std::string CurrentStack();  // the calling thread's stack as text; empty where unknown

}  // namespace platform
