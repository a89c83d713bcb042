// OpenSSL DLLs (3.x or 1.1) shipped beside the program, opened only when the first "https"
// address is used. Trust comes from the system's ROOT certificate store, read through crypt32,
// so the program links nothing extra. Both are opened by full path: the program runs elevated,
// and a DLL of the same name planted in the current folder or a PATH folder must not run.
#include "platform/common/tls_api.h"
#include "platform/win32/system_library.h"

namespace platform::detail {

namespace {
// The fields of crypt32's CERT_CONTEXT that we read; declared here because crypt32 is loaded
// at run time and its header drags in much we do not use.
struct TCertContext {
    DWORD dwCertEncodingType;
    BYTE* pbCertEncoded;
    DWORD cbCertEncoded;
    void* pCertInfo;
    void* hCertStore;
};

HMODULE gSsl = nullptr;
HMODULE gCrypto = nullptr;

void* Lookup(bool ssl, const char* name) {
    return reinterpret_cast<void*>(::GetProcAddress(ssl ? gSsl : gCrypto, name));
}
}  // namespace

bool LoadTlsLibraries(TSymbolLookup* lookup, std::string* reason) {
#ifdef _WIN64
    const wchar_t* pairs[][2] = {{L"libssl-3-x64.dll", L"libcrypto-3-x64.dll"},
                                 {L"libssl-3.dll", L"libcrypto-3.dll"},
                                 {L"libssl-1_1-x64.dll", L"libcrypto-1_1-x64.dll"},
                                 {L"libssl-1_1.dll", L"libcrypto-1_1.dll"}};
    const char* names = "libssl-3-x64.dll, libssl-3.dll, libssl-1_1-x64.dll or libssl-1_1.dll";
#else
    const wchar_t* pairs[][2] = {{L"libssl-3.dll", L"libcrypto-3.dll"},
                                 {L"libssl-1_1.dll", L"libcrypto-1_1.dll"}};
    const char* names = "libssl-3.dll or libssl-1_1.dll";
#endif
    for (auto& pair : pairs) {
        HMODULE crypto = LoadProgramLibrary(pair[1]);
        HMODULE ssl = crypto ? LoadProgramLibrary(pair[0]) : nullptr;
        if (ssl && crypto) {
            gSsl = ssl;
            gCrypto = crypto;
            *lookup = Lookup;
            return true;
        }
        if (crypto) ::FreeLibrary(crypto);
    }
    if (reason) *reason = std::string("cannot load ") + names + " from the program's folder";
    return false;
}

void AddSystemTrust(const TTlsApi& api, void* ctx) {
    using TOpen = void*(WINAPI*)(ULONG_PTR, LPCWSTR);
    using TEnum = const TCertContext*(WINAPI*)(void*, const TCertContext*);
    using TClose = BOOL(WINAPI*)(void*, DWORD);
    HMODULE crypt32 = LoadSystemLibrary(L"crypt32.dll");
    if (!crypt32) return;
    auto symbol = [crypt32](const char* name) {
        return reinterpret_cast<void*>(::GetProcAddress(crypt32, name));
    };
    auto open = reinterpret_cast<TOpen>(symbol("CertOpenSystemStoreW"));
    auto next = reinterpret_cast<TEnum>(symbol("CertEnumCertificatesInStore"));
    auto close = reinterpret_cast<TClose>(symbol("CertCloseStore"));
    void* store = open && next && close ? open(0, L"ROOT") : nullptr;
    if (store) {
        void* x509Store = api.SSL_CTX_get_cert_store(ctx);
        for (const TCertContext* c = next(store, nullptr); c; c = next(store, c)) {
            const unsigned char* p = c->pbCertEncoded;
            void* x509 = api.d2i_X509(nullptr, &p, static_cast<long>(c->cbCertEncoded));
            if (!x509) continue;
            api.X509_STORE_add_cert(x509Store, x509);
            api.X509_free(x509);
        }
        close(store, 0);
    }
    ::FreeLibrary(crypt32);
}

}  // namespace platform::detail
