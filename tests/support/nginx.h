// nginx on loopback as the real download server: files from a folder, byte ranges, keep-alive,
// optionally TLS with a given certificate. Started and stopped by the test that owns it; its
// configuration, pid file, logs and temporary folders live in a temporary folder of its own.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "tests/support/nginx_process.h"
#include "tests/support/testenv.h"

namespace testsupport {

struct TNginxOptions {
    std::string CertFile, KeyFile;  // both set: the server speaks TLS
    std::string ExtraConfig;        // lines inside the server block (locations, returns)
};

class TNginx {
public:
    TNginx(const std::string& root, const TNginxOptions& options = TNginxOptions());
    ~TNginx();
    bool Ok() const { return FOk; }
    const std::string& Error() const { return FError; }
    uint16_t Port() const { return FPort; }
    // "http://127.0.0.1:<port>" + path ("https" with a certificate); `host` replaces 127.0.0.1.
    std::string Url(const std::string& path, const std::string& host = "127.0.0.1") const;

private:
    TTempDir FDir;
    TChildProcess FProcess;
    uint16_t FPort = 0;
    bool FTls = false;
    bool FOk = false;
    std::string FError;
};

}  // namespace testsupport
