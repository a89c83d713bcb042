#include "tools/lgdownload/options.h"

#include <cstdint>

#include "platform/text.h"

namespace lgdownload {

namespace {

bool NumberIn(const std::string& text, int64_t low, int64_t high, int64_t& value) {
    return platform::ParseInt64(text, value) && value >= low && value <= high;
}

}  // namespace

std::string UsageText() {
    return "usage: lgdownload [options] URL FILE\n"
           "Downloads URL into FILE in parallel byte ranges, with the engine of Leapgate.\n"
           "\n"
           "  --parts N         segments in parallel, 2 to 64 (default 4)\n"
           "  --timeout S       seconds without new data before an attempt counts as stalled\n"
           "                    and is retried, 1 to 3600 (default 30)\n"
           "  --proxy HOST:PORT send every request through this HTTP proxy\n"
           "  --md5 HEX         check the finished file against this MD5 digest\n"
           "  --resume          continue from FILE.dat whatever download wrote it; without it\n"
           "                    FILE.dat is used only when its address and length are this\n"
           "                    download's, and is otherwise set aside (said on stderr)\n"
           "  --quiet           no progress bar and no final line; errors are still reported\n"
           "  --help            this text\n"
           "\n"
           "FILE.dat keeps how far a stopped or failed download came; a complete download\n"
           "removes it.\n"
           "\n"
           "Exit codes:\n"
           "  0    the file is complete (and its MD5 matches when --md5 is given)\n"
           "  1    the transfer stalled and no retry was left\n"
           "  2    the server or the network refused the download\n"
           "  4    the file is complete but its MD5 does not match\n"
           "  5    FILE cannot be written\n"
           "  7    the MD5 does not match and FILE cannot be read back\n"
           "  64   bad command line\n"
           "  130  stopped on request (SIGINT, SIGTERM, Ctrl-C, Ctrl-Break); FILE.dat is kept\n";
}

bool ParseOptions(int argc, char** argv, TOptions& options, std::string& error) {
    std::string positional[2];
    int count = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        int64_t number = 0;
        if (arg == "--help" || arg == "-h") {
            options.Help = true;
            return true;
        } else if (arg == "--quiet") {
            options.Quiet = true;
        } else if (arg == "--resume") {
            options.Resume = true;
        } else if (arg == "--md5" || arg == "--parts" || arg == "--timeout" || arg == "--proxy") {
            if (!hasValue) {
                error = arg + " needs a value";
                return false;
            }
            const std::string value = argv[++i];
            if (arg == "--md5") {
                options.Md5 = value;
            } else if (arg == "--parts") {
                if (!NumberIn(value, 2, 64, number)) {
                    error = "--parts takes a number from 2 to 64";
                    return false;
                }
                options.Parts = static_cast<int>(number);
            } else if (arg == "--timeout") {
                if (!NumberIn(value, 1, 3600, number)) {
                    error = "--timeout takes a number of seconds from 1 to 3600";
                    return false;
                }
                options.TimeOut = static_cast<unsigned>(number);
            } else {
                const size_t colon = value.rfind(':');
                if (colon == std::string::npos || colon == 0 ||
                    !NumberIn(value.substr(colon + 1), 1, 65535, number)) {
                    error = "--proxy takes HOST:PORT";
                    return false;
                }
                options.ProxyHost = value.substr(0, colon);
                options.ProxyPort = value.substr(colon + 1);
            }
        } else if (arg.size() > 1 && arg[0] == '-' && arg.rfind("--", 0) == 0) {
            error = "unknown option " + arg;
            return false;
        } else if (count < 2) {
            positional[count++] = arg;
        } else {
            error = "one URL and one FILE, not more";
            return false;
        }
    }
    if (count < 2) {
        error = "a URL and a FILE are needed";
        return false;
    }
    options.Url = positional[0];
    options.File = positional[1];
    return true;
}

}  // namespace lgdownload
