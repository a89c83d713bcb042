// Runs the real program as the logon task starts it, with its own environment, and drives its
// windows from outside (xdotool under the test's X server) for the end-to-end tests.
#pragma once
#include <map>
#include <string>
#include <vector>

namespace testsupport {

class TProgramRun {
public:
    // `stderrPath`, when given, receives what the program writes to its standard error.
    TProgramRun(const std::string& program, const std::vector<std::string>& args,
                const std::map<std::string, std::string>& env, const std::string& stderrPath = "");
    ~TProgramRun();  // kills the program if it still runs
    TProgramRun(const TProgramRun&) = delete;
    TProgramRun& operator=(const TProgramRun&) = delete;

    bool Started() const { return FPid > 0; }
    // Waits for the program's end; -1 on timeout.
    int WaitExit(int timeoutMs);
    bool Running();
    void Kill();

private:
    long FPid = -1;
    int FStatus = -1;
};

// Whether windows can be driven here (an X display and xdotool).
bool CanDriveWindows();
// Waits for a visible window with this title; its screen position, or false.
bool FindWindow(const std::string& title, int timeoutMs, int& x, int& y);
// Left click at a screen position.
void ClickAt(int x, int y);

}  // namespace testsupport
