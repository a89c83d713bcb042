// The program's command line as UTF-8 texts, parameter 0 being the program.
#pragma once
#include <string>
#include <vector>

namespace platform {

// On Windows the wide command line of the process (argv of main is in the ANSI code page);
// elsewhere argv as given.
std::vector<std::string> CommandLineArguments(int argc, char** argv);

}  // namespace platform
