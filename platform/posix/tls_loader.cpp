// OpenSSL from the system, opened only when the first "https" address is used.
#include <dlfcn.h>

#include "platform/common/tls_api.h"

namespace platform::detail {

namespace {
void* gSsl = nullptr;
void* gCrypto = nullptr;

void* Lookup(bool ssl, const char* name) {
    return ::dlsym(ssl ? gSsl : gCrypto, name);
}
}  // namespace

bool LoadTlsLibraries(TSymbolLookup* lookup, std::string* reason) {
    const char* pairs[][2] = {{"libssl.so.3", "libcrypto.so.3"},
                              {"libssl.so.1.1", "libcrypto.so.1.1"}};
    for (auto& pair : pairs) {
        void* crypto = ::dlopen(pair[1], RTLD_NOW | RTLD_LOCAL);
        void* ssl = crypto ? ::dlopen(pair[0], RTLD_NOW | RTLD_LOCAL) : nullptr;
        if (ssl && crypto) {
            gSsl = ssl;
            gCrypto = crypto;
            *lookup = Lookup;
            return true;
        }
        if (crypto) ::dlclose(crypto);
    }
    if (reason) *reason = "cannot load libssl.so.3 or libssl.so.1.1";
    return false;
}

void AddSystemTrust(const TTlsApi& api, void* ctx) {
    api.SSL_CTX_set_default_verify_paths(ctx);
}

}  // namespace platform::detail
