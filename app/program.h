// The program from start to end: the start-up steps in their order, the single-instance guard,
// the crash-report hook, the offer window with the hand-off and the closing reports plugged in,
// the message loop, and the shut-down steps in reverse order.
#pragma once
#include <string>
#include <vector>

namespace app {

// Runs Leapgate with its command line (parameter 0 is the program). Returns the exit code,
// which is always 0; a decision not to offer ends the process inside, at once.
int RunLeapgate(const std::vector<std::string>& args);

}  // namespace app
