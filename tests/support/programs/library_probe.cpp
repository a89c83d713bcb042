// Does what the program does with libraries, in a folder of the test's choosing: makes the
// search safe as at start-up, then loads the TLS libraries ("tls"), or one library by its bare
// name ("bare NAME"). Prints what happened; the canary DLLs record what was loaded.
#include <windows.h>

#include <cstdio>
#include <string>

#include "platform/process_setup.h"
#include "platform/tls.h"

int main(int argc, char** argv) {
    platform::MakeLibrarySearchSafe();
    const std::string what = argc > 1 ? argv[1] : "";
    if (what == "tls") {
        std::string reason;
        std::printf("%s\n", platform::TlsLoad(&reason) ? "loaded" : reason.c_str());
        return 0;
    }
    if (what == "bare" && argc == 3) {
        HMODULE m = LoadLibraryA(argv[2]);
        std::printf("%s %s\n", argv[2], m ? "loaded" : "not found");
        return 0;
    }
    return 2;
}
