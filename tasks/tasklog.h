// The three log channels as the task code uses them.
#pragma once
#include <exception>
#include <string>

#include "log/logfile.h"

namespace tasks {

inline void Trace(const std::string& text) {
    logs::LogTrace(text);
}
inline void AppLog(const std::string& text) {
    logs::LogToAppFile(text, "TaskApp.log");
}
inline void LogTaskException(const std::string& text) {
    logs::LogToFile(text, "TaskException.log");
}
// A failed step of the 2.0 adapter: "<operation>.exception : <text>" in the task log, and the
// step answers false.
inline bool LogStepFailure(const std::string& operation, const std::exception& e) {
    LogTaskException(operation + ".exception : " + e.what());
    return false;
}

}  // namespace tasks
