// A server program started by a test as a child process (nginx, tinyproxy) and stopped by it.
// Natively a child process; under Wine the Windows test program starts the Linux program
// through Wine (which runs Unix programs it is asked to start) and stops it by its pid file.
// Elsewhere on Windows Start fails with a reason that the tests turn into a skip message.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

class TChildProcess {
public:
    TChildProcess() = default;
    ~TChildProcess() { Stop(); }
    TChildProcess(const TChildProcess&) = delete;
    TChildProcess& operator=(const TChildProcess&) = delete;

    // Starts `program` with `args` and waits until something accepts connections on
    // 127.0.0.1:`port`. Output goes to `logFile` (natively). `pidFile` is where the program
    // writes its pid (used to stop it under Wine).
    bool Start(const std::string& program, const std::vector<std::string>& args, uint16_t port,
               const std::string& logFile, const std::string& pidFile, std::string* error);
    void Stop();
    bool Running() const { return FPid > 0; }

private:
    long FPid = 0;
    uint16_t FPort = 0;
    std::string FPidFile;
};

// The path under which the server program sees a file of ours: the same natively, the Unix path
// of a Wine drive path under Wine.
std::string ServerPath(const std::string& path);

// A loopback port that was free a moment ago (for programs that must be told their port).
uint16_t PickFreePort();
// Runs a command line to its end; true when it exited with 0.
bool RunCommand(const std::vector<std::string>& args, const std::string& logFile);
// The full path of a program on the search path or in the system folders, or empty.
std::string FindProgram(const std::string& name);

}  // namespace testsupport
