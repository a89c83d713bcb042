// The command line of lgdownload.
#pragma once
#include <string>

namespace lgdownload {

// Exit codes besides the download's own result codes (0, 1, 2, 4, 5, 6, 7).
inline constexpr int kExitUsage = 64;
inline constexpr int kExitStopped = 130;  // SIGINT, SIGTERM, Ctrl-C, Ctrl-Break

struct TOptions {
    std::string Url, File, Md5;
    std::string ProxyHost, ProxyPort;
    int Parts = 4;
    unsigned TimeOut = 30;
    bool Resume = false;
    bool Quiet = false;
    bool Help = false;
};

// False with `error` set for a command line that names no download or a bad value.
bool ParseOptions(int argc, char** argv, TOptions& options, std::string& error);
std::string UsageText();

}  // namespace lgdownload
