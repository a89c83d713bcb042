// Names the case a test program was in when it dies: under Wine a crash ends the process
// without a word (no debugger runs), and a program that simply stops tells nothing.
#pragma once

namespace testsupport {

// Installs a listener that remembers the running case, and handlers that print it with the
// exception or signal before the process ends.
void InstallCrashTrace();

}  // namespace testsupport
