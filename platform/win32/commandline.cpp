#include "platform/commandline.h"

#include "platform/win32/win.h"
#include <shellapi.h>

#include "platform/win32/wide.h"

namespace platform {

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
    int n = 0;
    wchar_t** w = ::CommandLineToArgvW(::GetCommandLineW(), &n);
    if (!w) return std::vector<std::string>(argv, argv + argc);
    std::vector<std::string> out;
    for (int i = 0; i < n; ++i) out.push_back(Narrow(w[i], wcslen(w[i])));
    ::LocalFree(w);
    return out;
}

}  // namespace platform
