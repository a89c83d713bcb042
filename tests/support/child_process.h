// Small programs the tests start and wait for (tests/support/programs/), built beside the test
// programs.
#pragma once
#include <map>
#include <string>
#include <vector>

namespace testsupport {

// The full path of the helper file `fileName` of this build.
std::string HelperFile(const std::string& fileName);
// The full path of the helper program `name` (".exe" added on Windows).
std::string HelperProgram(const std::string& name);

struct TRunOptions {
    std::string Directory;                   // the current folder ("": ours)
    std::map<std::string, std::string> Env;  // variables set on top of ours
};

// Starts `program` with `args`, waits at most `timeoutMs` and returns its exit code; -1 when it
// could not start or was still running (it is then killed).
int RunProgram(const std::string& program, const std::vector<std::string>& args, int timeoutMs,
               const TRunOptions& options = {});

#ifdef _WIN32
// UTF-8 to the system's wide text, and one argument quoted for a Windows command line.
std::wstring WideText(const std::string& text);
std::wstring QuotedArgument(const std::string& arg);
#endif

}  // namespace testsupport
