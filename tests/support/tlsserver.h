// Throw-away certificates for the https tests, made with the openssl command, and an https
// server (nginx) that presents one.
#pragma once
#include <memory>
#include <string>

#include "tests/support/nginx.h"
#include "tests/support/testenv.h"

namespace testsupport {

struct TSelfSignedCert {
    bool Ok = false;
    std::string Error;
    std::string CertFile, KeyFile;  // PEM
};

// A self-signed certificate for `commonName` with the given subjectAltName entries
// ("DNS:localhost,IP:127.0.0.1"), valid for two days.
TSelfSignedCert MakeSelfSignedCert(const std::string& dir, const std::string& commonName,
                                   const std::string& altNames);

// nginx serving `root` over TLS with a fresh self-signed certificate for localhost.
class TTlsServer {
public:
    TTlsServer(const std::string& root, const std::string& altNames = "DNS:localhost");
    bool Ok() const { return FCert.Ok && FNginx && FNginx->Ok(); }
    std::string Error() const;
    const TSelfSignedCert& Cert() const { return FCert; }
    uint16_t Port() const { return FNginx ? FNginx->Port() : 0; }
    std::string Url(const std::string& path, const std::string& host = "localhost") const {
        return FNginx ? FNginx->Url(path, host) : std::string();
    }

private:
    TTempDir FDir;
    TSelfSignedCert FCert;
    std::unique_ptr<TNginx> FNginx;
};

}  // namespace testsupport
