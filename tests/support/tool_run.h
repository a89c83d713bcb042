// Runs a console program of the build (a tool) with its standard output and error in a file,
// and asks it to stop as a user would: SIGTERM on Linux, Ctrl-C on Windows.
#pragma once
#include <string>
#include <vector>

namespace testsupport {

class TToolRun {
public:
    // `program` is a path of the build; under Wine a Linux path is taken through drive Z:.
    TToolRun(const std::string& program, const std::vector<std::string>& args,
             const std::string& outputFile);
    ~TToolRun();  // kills the program if it still runs
    TToolRun(const TToolRun&) = delete;
    TToolRun& operator=(const TToolRun&) = delete;

    bool Started() const { return FStarted; }
    // The exit code; -1 when it still runs after `timeoutMs`.
    int WaitExit(int timeoutMs);
    // The polite request to stop; false when this platform cannot deliver it.
    bool RequestStop();
    void Kill();

private:
    bool FStarted = false;
    long long FPid = -1;
    void* FProcess = nullptr;
    int FStatus = -1;
};

}  // namespace testsupport
