// The few OpenSSL entry points the TLS session uses, as function pointers filled by the
// platform's loader. The types are opaque: no OpenSSL header is needed or wanted.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace platform::detail {

struct TTlsApi {
    int (*OPENSSL_init_ssl)(uint64_t, const void*) = nullptr;
    const void* (*TLS_client_method)() = nullptr;
    void* (*SSL_CTX_new)(const void*) = nullptr;
    void (*SSL_CTX_free)(void*) = nullptr;
    void (*SSL_CTX_set_verify)(void*, int, void*) = nullptr;
    int (*SSL_CTX_set_default_verify_paths)(void*) = nullptr;
    int (*SSL_CTX_load_verify_locations)(void*, const char*, const char*) = nullptr;
    void* (*SSL_CTX_get_cert_store)(const void*) = nullptr;
    long (*SSL_CTX_ctrl)(void*, int, long, void*) = nullptr;
    void* (*SSL_new)(void*) = nullptr;
    void (*SSL_free)(void*) = nullptr;
    void (*SSL_set_bio)(void*, void*, void*) = nullptr;
    void (*SSL_set_connect_state)(void*) = nullptr;
    int (*SSL_do_handshake)(void*) = nullptr;
    int (*SSL_read)(void*, void*, int) = nullptr;
    int (*SSL_write)(void*, const void*, int) = nullptr;
    int (*SSL_get_error)(const void*, int) = nullptr;
    long (*SSL_ctrl)(void*, int, long, void*) = nullptr;
    long (*SSL_get_verify_result)(const void*) = nullptr;
    int (*SSL_set1_host)(void*, const char*) = nullptr;
    void* (*SSL_get0_param)(void*) = nullptr;
    // libcrypto
    int (*X509_VERIFY_PARAM_set1_ip_asc)(void*, const char*) = nullptr;
    void* (*BIO_new)(const void*) = nullptr;
    const void* (*BIO_s_mem)() = nullptr;
    int (*BIO_read)(void*, void*, int) = nullptr;
    int (*BIO_write)(void*, const void*, int) = nullptr;
    long (*BIO_ctrl)(void*, int, long, void*) = nullptr;
    const char* (*X509_verify_cert_error_string)(long) = nullptr;
    unsigned long (*ERR_get_error)() = nullptr;
    void (*ERR_error_string_n)(unsigned long, char*, size_t) = nullptr;
    void (*ERR_clear_error)() = nullptr;
    void* (*d2i_X509)(void**, const unsigned char**, long) = nullptr;
    int (*X509_STORE_add_cert)(void*, void*) = nullptr;
    void (*X509_free)(void*) = nullptr;
};

// Resolves one symbol of libssl (ssl = true) or libcrypto; null when it is missing.
using TSymbolLookup = void* (*)(bool ssl, const char* name);

// Fills `api` through `lookup`; false with the first missing name in `reason`.
bool FillTlsApi(TTlsApi& api, TSymbolLookup lookup, std::string* reason);

// Platform loaders.
bool LoadTlsLibraries(TSymbolLookup* lookup, std::string* reason);
// Adds the system's trusted roots to a new context.
void AddSystemTrust(const TTlsApi& api, void* ctx);

}  // namespace platform::detail
