// The https tests' certificates and servers. The certificates are fixed files made once by
// tests/support/tls/make-test-pki (the Windows tests cannot run the openssl command), served by
// nginx; the test root is trusted where the program looks for trust: the system's ROOT store
// on Windows, the extra certificate file natively (the system's own store is not ours to edit).
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "platform/tls.h"
#include "tests/support/nginx.h"

namespace testsupport {

// The full path of one file of the test certificates ("good.pem", "root.der", ...).
std::string TestPkiFile(const std::string& name);

// nginx serving `root` over TLS with the named certificate of the test set: "good" (localhost
// and 127.0.0.1 under the test root, with its intermediate), "wrongname" (wrong.example only),
// "expired" (valid only in 2000) or "selfsigned" (trusted by nobody).
class TTlsServer {
public:
    TTlsServer(const std::string& root, const std::string& certificate = "good",
               const std::string& extraConfig = "");
    bool Ok() const { return FNginx && FNginx->Ok(); }
    std::string Error() const { return FNginx ? FNginx->Error() : "not started"; }
    uint16_t Port() const { return FNginx ? FNginx->Port() : 0; }
    std::string Url(const std::string& path, const std::string& host = "localhost") const {
        return FNginx ? FNginx->Url(path, host) : std::string();
    }

private:
    std::unique_ptr<TNginx> FNginx;
};

// Trusts the test root for the program's TLS sessions while it lives. On Windows it is added
// to the current user's ROOT store (where the program reads its trust) and removed again; a
// copy a crashed run left behind is removed first, so a test that needs it untrusted can rely
// on that before constructing one.
class TTrustedTestRoot {
public:
    TTrustedTestRoot();
    ~TTrustedTestRoot();
    TTrustedTestRoot(const TTrustedTestRoot&) = delete;
    TTrustedTestRoot& operator=(const TTrustedTestRoot&) = delete;
    bool Ok() const { return FError.empty(); }
    const std::string& Error() const { return FError; }

    // Removes the test root from where it would be trusted (also what the destructor does).
    static bool Remove(std::string* error);

private:
    std::string FError;
};

// True when the build or the test script promised a working OpenSSL: the build found the DLLs
// to put beside the Windows tests, or LEAPGATE_EXPECT_TLS=1 is set. A test that cannot load
// the library then fails instead of skipping.
bool TlsPromised();

}  // namespace testsupport

// Skips a TLS test where no OpenSSL library is present, and fails it where one was promised.
#define REQUIRE_TLS_LIBRARY()                                                                    \
    do {                                                                                         \
        std::string whyNoTls_;                                                                   \
        if (!platform::TlsLoad(&whyNoTls_)) {                                                    \
            if (testsupport::TlsPromised()) FAIL() << "OpenSSL was promised but: " << whyNoTls_; \
            GTEST_SKIP() << "no OpenSSL library: " << whyNoTls_;                                 \
        }                                                                                        \
    } while (0)
