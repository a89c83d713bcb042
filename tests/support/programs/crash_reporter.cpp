// A program that crashes on purpose after installing the crash handler, so a test can see what
// the handler reports and how the process ends. The report goes to the file named by the second
// argument, one line per report made; "report-throws" crashes again while it reports.
#include <cstdio>
#include <stdexcept>
#include <string>
#include <thread>

#include "platform/file.h"
#include "platform/process_setup.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: crash_reporter throw|throw-int|report-throws REPORT\n");
        return 2;
    }
    static std::string how = argv[1], reportFile = argv[2];
    platform::InstallCrashHandler([](const std::string& what, const std::string& stack) {
        std::string text = platform::ReadFileBytes(reportFile).value_or("");
        text += what + (stack.empty() ? " (no stack)" : " (stack)") + "\n";
        platform::WriteFileBytes(reportFile, text);
        // A second crash while this report is being made, on another thread.
        if (how == "report-throws")
            std::thread([] { throw std::runtime_error("inside the report"); }).join();
    });
    if (how == "throw" || how == "report-throws") throw std::runtime_error("boom");
    if (how == "throw-int") throw 42;
    return 2;
}
