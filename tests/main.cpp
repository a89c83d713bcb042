// Test main shared by every test program: the event loop belongs to the main thread, and the
// Linux stand-in's folders point at a fresh temporary root so no test touches the user's own.
#include <gtest/gtest.h>

#include "tests/support/crash_trace.h"
#include "tests/support/testenv.h"

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    testsupport::InstallCrashTrace();
    testing::AddGlobalTestEnvironment(new testsupport::TTestEnvironment);
    return RUN_ALL_TESTS();
}
