// "TaskException.log" for the task tests: its entries, its removal, and a lock across test
// processes. The file sits beside the test program, so test cases that CTest runs side by
// side in separate processes would delete each other's lines; each task test holds the lock
// while it runs.
#pragma once
#include <string>
#include <vector>

namespace testsupport {

std::string TaskLogPath();
// The entries without their "yyyy-mm-dd hh:nn:ss.zzz  " prefixes; empty when there is no file.
std::vector<std::string> TaskLogLines();
void ClearTaskLog();  // closes the channel and deletes the file

class TTaskLogLock {
public:
    TTaskLogLock();  // blocks until no other test process holds it
    ~TTaskLogLock();
    TTaskLogLock(const TTaskLogLock&) = delete;
    TTaskLogLock& operator=(const TTaskLogLock&) = delete;

private:
    intptr_t FHandle;
};

}  // namespace testsupport
