// The crash handler seen from outside: a program that dies of an exception nobody caught makes
// one report, names the exception when it can, and ends with exit code 0, even when the report
// itself crashes.
#include <gtest/gtest.h>

#include "platform/file.h"
#include "tests/support/child_process.h"
#include "tests/support/testenv.h"

namespace {

std::string Crash(const std::string& how, int& exitCode) {
    testsupport::TTempDir dir;
    const std::string program = testsupport::HelperProgram("crash_reporter");
    EXPECT_TRUE(platform::FileExists(program)) << program;
    const std::string report = dir.File("report.txt");
    exitCode = testsupport::RunProgram(program, {how, report}, 60000);
    return platform::ReadFileBytes(report).value_or("(no report)");
}

TEST(CrashHandler, AnExceptionNobodyCaughtIsReportedOnceAndTheProcessEndsWithZero) {
    int code = -1;
    EXPECT_EQ(Crash("throw", code), "unhandled exception: boom (stack)\n");
    EXPECT_EQ(code, 0);
    EXPECT_EQ(Crash("throw-int", code), "unhandled exception (stack)\n");
    EXPECT_EQ(code, 0);
}

TEST(CrashHandler, ACrashInsideTheReportEndsTheProcessWithoutASecondReport) {
    int code = -1;
    EXPECT_EQ(Crash("report-throws", code), "unhandled exception: boom (stack)\n");
    EXPECT_EQ(code, 0);
}

}  // namespace
