#include "tests/support/tlsserver.h"

#include "platform/file.h"
#include "tests/support/nginx_process.h"

namespace testsupport {

TSelfSignedCert MakeSelfSignedCert(const std::string& dir, const std::string& commonName,
                                   const std::string& altNames) {
    TSelfSignedCert cert;
    cert.CertFile = dir + "cert.pem";
    cert.KeyFile = dir + "key.pem";
    std::string openssl = FindProgram("openssl");
    if (openssl.empty()) {
        cert.Error = "the openssl command is not installed here";
        return cert;
    }
    cert.Ok = RunCommand(
        {openssl, "req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1",
         "-nodes", "-keyout", cert.KeyFile, "-out", cert.CertFile, "-days", "2", "-subj",
         "/CN=" + commonName, "-addext", "subjectAltName=" + altNames},
        dir + "openssl.log");
    if (!cert.Ok) {
        auto log = platform::ReadFileBytes(dir + "openssl.log");
        cert.Error = "openssl req failed" + (log ? ": " + *log : std::string());
    }
    return cert;
}

TTlsServer::TTlsServer(const std::string& root, const std::string& altNames) {
    FCert = MakeSelfSignedCert(FDir.Path(), "localhost", altNames);
    if (!FCert.Ok) return;
    TNginxOptions options;
    options.CertFile = FCert.CertFile;
    options.KeyFile = FCert.KeyFile;
    FNginx = std::make_unique<TNginx>(root, options);
}

std::string TTlsServer::Error() const {
    if (!FCert.Ok) return FCert.Error;
    return FNginx ? FNginx->Error() : "not started";
}

}  // namespace testsupport
