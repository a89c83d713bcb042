#include "platform/process_setup.h"

#include "platform/common/crash_report.h"

#include <execinfo.h>
#include <fenv.h>
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <exception>

namespace platform {

void MaskFloatingPointOverflowUnderflow() {
    ::fedisableexcept(FE_OVERFLOW | FE_UNDERFLOW);
}

bool FloatingPointOverflowUnderflowMasked() {
    return (::fegetexcept() & (FE_OVERFLOW | FE_UNDERFLOW)) == 0;
}

void DeclareDpiAwareness(TDpiAwareness) {}

void MakeLibrarySearchSafe() {}

std::string CurrentStack() {
    void* frames[64];
    const int n = ::backtrace(frames, 64);
    char** names = ::backtrace_symbols(frames, n);
    std::string out;
    for (int i = 0; i < n; ++i) {
        out += names ? names[i] : "?";
        out += "\n";
    }
    std::free(names);
    return out;
}

namespace detail {
void ExitAtOnce() {
    ::_exit(0);
}
}  // namespace detail

namespace {
void OnSignal(int sig) {
    detail::ReportCrashAndExit(sig == SIGSEGV  ? "access violation (SIGSEGV)"
                               : sig == SIGBUS ? "bus error (SIGBUS)"
                               : sig == SIGFPE ? "arithmetic fault (SIGFPE)"
                               : sig == SIGILL ? "illegal instruction (SIGILL)"
                                               : "abort (SIGABRT)");
}
}  // namespace

void InstallCrashHandler(std::function<void(const std::string&, const std::string&)> report) {
    detail::KeepCrashReport(std::move(report));
    for (int sig : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT}) ::signal(sig, OnSignal);
}

}  // namespace platform
