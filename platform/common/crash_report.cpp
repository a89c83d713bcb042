#include "platform/common/crash_report.h"

#include <cstdio>
#include <exception>

#include "platform/process_setup.h"

namespace platform::detail {

namespace {

// Never freed: a crash may come while static objects are being destroyed.
std::function<void(const std::string&, const std::string&)>* gReport = nullptr;

std::string DescribeUncaughtException() {
    std::string what = "unhandled exception";
    if (auto e = std::current_exception()) {
        try {
            std::rethrow_exception(e);
        } catch (const std::exception& ex) {
            what += ": " + std::string(ex.what());
        } catch (...) {
        }
    }
    return what;
}

}  // namespace

void KeepCrashReport(std::function<void(const std::string&, const std::string&)> report) {
    delete gReport;
    gReport = new std::function<void(const std::string&, const std::string&)>(std::move(report));
    std::set_terminate([] { ReportCrashAndExit(DescribeUncaughtException()); });
}

void ReportCrashAndExit(const std::string& what) {
    static bool reporting = false;
    if (!reporting && gReport) {
        reporting = true;
        (*gReport)(what, CurrentStack());
    }
    std::fflush(nullptr);
    ExitAtOnce();
}

}  // namespace platform::detail
