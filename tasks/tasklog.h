// The three log channels as the task code uses them.
#pragma once
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

}  // namespace tasks
