#include "tests/support/crash_trace.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>

#ifdef _WIN32
#include <windows.h>
#endif

namespace testsupport {
namespace {

// Written on the main thread between cases, read by whichever thread dies: a fixed buffer, so
// reading it needs no allocation in a handler.
char gCurrent[512] = "(between cases)";

void SetCurrent(const char* suite, const char* name) {
    std::snprintf(gCurrent, sizeof gCurrent, "%s.%s", suite, name);
}

class TCaseTracker : public testing::EmptyTestEventListener {
    void OnTestStart(const testing::TestInfo& info) override {
        SetCurrent(info.test_suite_name(), info.name());
    }
    void OnTestEnd(const testing::TestInfo& info) override {
        std::snprintf(gCurrent, sizeof gCurrent, "(after %s.%s)", info.test_suite_name(),
                      info.name());
    }
};

void Report(const char* what) {
    std::fprintf(stderr, "\n*** test program died: %s, in %s\n", what, gCurrent);
    std::fflush(stderr);
    std::fflush(stdout);
}

void OnTerminate() {
    Report("std::terminate (an exception nobody caught, or a joinable thread destroyed)");
    std::abort();
}

#ifdef _WIN32
LONG WINAPI OnUnhandled(EXCEPTION_POINTERS* info) {
    char what[160];
    std::snprintf(what, sizeof what, "exception 0x%08lX at %p, thread %lu",
                  static_cast<unsigned long>(info->ExceptionRecord->ExceptionCode),
                  info->ExceptionRecord->ExceptionAddress,
                  static_cast<unsigned long>(GetCurrentThreadId()));
    Report(what);
    return EXCEPTION_CONTINUE_SEARCH;
}
#endif

void OnAbort(int) {
    Report("abort");
    std::signal(SIGABRT, SIG_DFL);
    std::raise(SIGABRT);
}

}  // namespace

void InstallCrashTrace() {
    testing::UnitTest::GetInstance()->listeners().Append(new TCaseTracker);
    std::set_terminate(OnTerminate);
#ifdef _WIN32
    // Native runs have the sanitizers' reports; under Wine this is all there is.
    SetUnhandledExceptionFilter(OnUnhandled);
    std::signal(SIGABRT, OnAbort);
#else
    (void)OnAbort;
#endif
}

}  // namespace testsupport
