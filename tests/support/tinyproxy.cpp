#include "tests/support/tinyproxy.h"

#include "platform/file.h"

namespace testsupport {

TTinyproxy::TTinyproxy() {
    FPort = PickFreePort();
    const std::string dir = ServerPath(FDir.Path());
    // No ConnectPort line: tunnels to every port are allowed, as the tests use random ports.
    std::string conf = "Port " + std::to_string(FPort) +
                       "\n"
                       "Listen 127.0.0.1\n"
                       "Timeout 60\n"
                       "MaxClients 50\n"
                       "Allow 127.0.0.1\n"
                       "LogLevel Info\n"
                       "LogFile \"" +
                       dir +
                       "tinyproxy.log\"\n"
                       "PidFile \"" +
                       dir +
                       "tinyproxy.pid\"\n"
                       "DisableViaHeader Yes\n";
    platform::WriteFileBytes(FDir.File("tinyproxy.conf"), conf);
    FOk = FProcess.Start("tinyproxy", {"-d", "-c", dir + "tinyproxy.conf"}, FPort,
                         FDir.File("output.log"), FDir.File("tinyproxy.pid"), &FError);
    if (!FOk) {
        auto out = platform::ReadFileBytes(FDir.File("output.log"));
        if (out) FError += "\n" + *out;
    }
}

TTinyproxy::~TTinyproxy() {
    FProcess.Stop();
}

std::string TTinyproxy::Log() const {
    auto log = platform::ReadFileBytes(FDir.Path() + "tinyproxy.log");
    return log ? *log : std::string();
}

}  // namespace testsupport
