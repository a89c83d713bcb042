// Starting programs and documents, swappable so that tests can record launches.
#pragma once
#include <string>

namespace platform {

class ILauncher {
public:
    virtual ~ILauncher() = default;
    // Starts `application` (a full path, used as the explicit application name so that no
    // search over a path with blanks happens) with `parameters`, shown normally. True if started.
    virtual bool StartProcess(const std::string& application, const std::string& parameters) = 0;
    // ShellExecuteW with the verb "open", no folder, SW_SHOWNORMAL; returns its result (> 32 is
    // success). On Linux the stand-in hands the target to xdg-open or $LEAPGATE_OPENER.
    virtual int ShellOpen(const std::string& file, const std::string& parameters) = 0;
};

ILauncher& Launcher();
void SetLauncher(ILauncher* launcher);  // nullptr: the real one again
ILauncher& RealLauncher();

// Ends the process at once with the code, without running clean-up.
[[noreturn]] void ExitProcessNow(int code);

}  // namespace platform
