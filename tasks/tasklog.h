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
// Runs one step of the 2.0 adapter: what it answers, or false with its failure logged as above.
template <class TStep>
bool RunStep(const std::string& operation, TStep&& step) {
    try {
        return step();
    } catch (const std::exception& e) {
        return LogStepFailure(operation, e);
    }
}

}  // namespace tasks
