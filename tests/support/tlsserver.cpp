#include "tests/support/tlsserver.h"

#include <cstdlib>

#include "platform/file.h"
#include "platform/tls.h"
#include "tests/support/testenv.h"

#ifdef _WIN32
#include <windows.h>
#include <wincrypt.h>
#endif

namespace testsupport {

std::string TestPkiFile(const std::string& name) {
    return HostPath(std::string(LG_SOURCE_DIR) + "/tests/support/tls/" + name);
}

TTlsServer::TTlsServer(const std::string& root, const std::string& certificate,
                       const std::string& extraConfig) {
    TNginxOptions options;
    options.CertFile = TestPkiFile(certificate + ".pem");
    options.KeyFile = TestPkiFile(certificate + ".key");
    options.ExtraConfig = extraConfig;
    FNginx = std::make_unique<TNginx>(root, options);
}

bool TlsPromised() {
#ifdef LG_OPENSSL_SHIPPED
    return true;
#else
    const char* expect = std::getenv("LEAPGATE_EXPECT_TLS");
    return expect && std::string(expect) == "1";
#endif
}

#ifdef _WIN32

namespace {

// The current user's ROOT store is the one the program opens. It is changed through its
// registry part: under Wine a removal through the whole system store (a collection) is
// forgotten when the store closes, while the registry store writes both ways on closing.
HCERTSTORE OpenUserRoot() {
    return ::CertOpenStore(CERT_STORE_PROV_SYSTEM_REGISTRY_W, 0, 0, CERT_SYSTEM_STORE_CURRENT_USER,
                           L"Root");
}

std::string LastErrorText(const char* what) {
    return std::string(what) + " failed (error " + std::to_string(::GetLastError()) + ")";
}

}  // namespace

bool TTrustedTestRoot::Remove(std::string* error) {
    auto der = platform::ReadFileBytes(TestPkiFile("root.der"));
    if (!der) {
        if (error) *error = "cannot read " + TestPkiFile("root.der");
        return false;
    }
    HCERTSTORE store = OpenUserRoot();
    if (!store) {
        if (error) *error = LastErrorText("opening the ROOT store");
        return false;
    }
    PCCERT_CONTEXT ours = ::CertCreateCertificateContext(X509_ASN_ENCODING,
                                                         reinterpret_cast<const BYTE*>(der->data()),
                                                         static_cast<DWORD>(der->size()));
    bool ok = ours != nullptr;
    if (!ok && error) *error = LastErrorText("decoding root.der");
    while (ours) {
        PCCERT_CONTEXT found = ::CertFindCertificateInStore(store, X509_ASN_ENCODING, 0,
                                                            CERT_FIND_EXISTING, ours, nullptr);
        if (!found) break;
        if (!::CertDeleteCertificateFromStore(found)) {  // frees `found` either way
            ok = false;
            if (error) *error = LastErrorText("removing the test root");
            break;
        }
    }
    if (ours) ::CertFreeCertificateContext(ours);
    ::CertCloseStore(store, 0);
    return ok;
}

TTrustedTestRoot::TTrustedTestRoot() {
    if (!Remove(&FError)) return;
    auto der = platform::ReadFileBytes(TestPkiFile("root.der"));
    HCERTSTORE store = OpenUserRoot();
    if (!der || !store) {
        FError = LastErrorText("opening the ROOT store");
        if (store) ::CertCloseStore(store, 0);
        return;
    }
    if (!::CertAddEncodedCertificateToStore(
            store, X509_ASN_ENCODING, reinterpret_cast<const BYTE*>(der->data()),
            static_cast<DWORD>(der->size()), CERT_STORE_ADD_REPLACE_EXISTING, nullptr))
        FError = LastErrorText("adding the test root to the ROOT store");
    ::CertCloseStore(store, 0);
}

TTrustedTestRoot::~TTrustedTestRoot() {
    Remove(nullptr);
}

#else

bool TTrustedTestRoot::Remove(std::string*) {
    platform::SetTlsExtraCaFile("");
    return true;
}

TTrustedTestRoot::TTrustedTestRoot() {
    platform::SetTlsExtraCaFile(TestPkiFile("root.pem"));
}

TTrustedTestRoot::~TTrustedTestRoot() {
    Remove(nullptr);
}

#endif

}  // namespace testsupport
