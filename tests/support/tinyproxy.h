// tinyproxy on loopback as the real HTTP proxy (plain requests and CONNECT tunnels to any
// port), run in the foreground with a generated configuration and stopped by its test.
#pragma once
#include <cstdint>
#include <string>

#include "tests/support/nginx_process.h"
#include "tests/support/testenv.h"

namespace testsupport {

class TTinyproxy {
public:
    TTinyproxy();
    ~TTinyproxy();
    bool Ok() const { return FOk; }
    const std::string& Error() const { return FError; }
    uint16_t Port() const { return FPort; }
    std::string Log() const;

private:
    TTempDir FDir;
    TChildProcess FProcess;
    uint16_t FPort = 0;
    bool FOk = false;
    std::string FError;
};

}  // namespace testsupport
