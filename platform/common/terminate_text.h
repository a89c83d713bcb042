// What both crash handlers say about an exception that nobody caught.
#pragma once
#include <exception>
#include <string>

namespace platform::detail {

inline std::string DescribeUncaughtException() {
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

}  // namespace platform::detail
