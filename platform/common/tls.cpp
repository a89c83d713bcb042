#include "platform/tls.h"

#include <mutex>
#include <type_traits>

#include "platform/common/tls_api.h"

namespace platform {

namespace detail {

bool FillTlsApi(TTlsApi& api, TSymbolLookup lookup, std::string* reason) {
    bool ok = true;
    auto get = [&](auto& field, bool ssl, const char* name, bool required = true) {
        void* p = lookup(ssl, name);
        field = reinterpret_cast<std::remove_reference_t<decltype(field)>>(p);
        if (!p && required && ok) {
            ok = false;
            if (reason) *reason = std::string("missing function ") + name;
        }
    };
    get(api.OPENSSL_init_ssl, true, "OPENSSL_init_ssl");
    get(api.TLS_client_method, true, "TLS_client_method");
    get(api.SSL_CTX_new, true, "SSL_CTX_new");
    get(api.SSL_CTX_free, true, "SSL_CTX_free");
    get(api.SSL_CTX_set_verify, true, "SSL_CTX_set_verify");
    get(api.SSL_CTX_set_default_verify_paths, true, "SSL_CTX_set_default_verify_paths");
    get(api.SSL_CTX_load_verify_locations, true, "SSL_CTX_load_verify_locations");
    get(api.SSL_CTX_get_cert_store, true, "SSL_CTX_get_cert_store");
    get(api.SSL_CTX_ctrl, true, "SSL_CTX_ctrl");
    get(api.SSL_new, true, "SSL_new");
    get(api.SSL_free, true, "SSL_free");
    get(api.SSL_set_bio, true, "SSL_set_bio");
    get(api.SSL_set_connect_state, true, "SSL_set_connect_state");
    get(api.SSL_do_handshake, true, "SSL_do_handshake");
    get(api.SSL_read, true, "SSL_read");
    get(api.SSL_write, true, "SSL_write");
    get(api.SSL_get_error, true, "SSL_get_error");
    get(api.SSL_ctrl, true, "SSL_ctrl");
    get(api.SSL_get_verify_result, true, "SSL_get_verify_result");
    get(api.SSL_set1_host, true, "SSL_set1_host");
    get(api.SSL_get0_param, true, "SSL_get0_param");
    get(api.X509_VERIFY_PARAM_set1_ip_asc, false, "X509_VERIFY_PARAM_set1_ip_asc");
    get(api.BIO_new, false, "BIO_new");
    get(api.BIO_s_mem, false, "BIO_s_mem");
    get(api.BIO_read, false, "BIO_read");
    get(api.BIO_write, false, "BIO_write");
    get(api.BIO_ctrl, false, "BIO_ctrl");
    get(api.X509_verify_cert_error_string, false, "X509_verify_cert_error_string");
    get(api.ERR_get_error, false, "ERR_get_error");
    get(api.ERR_error_string_n, false, "ERR_error_string_n");
    get(api.ERR_clear_error, false, "ERR_clear_error");
    get(api.d2i_X509, false, "d2i_X509");
    get(api.X509_STORE_add_cert, false, "X509_STORE_add_cert");
    get(api.X509_free, false, "X509_free");
    return ok;
}

}  // namespace detail

namespace {

constexpr int kSslVerifyPeer = 1;
constexpr int kSslCtrlSetTlsextHostname = 55;
constexpr int kSslCtrlSetMinProtoVersion = 123;
constexpr long kTls12Version = 0x0303;
constexpr int kSslErrorWantRead = 2;
constexpr int kSslErrorWantWrite = 3;
constexpr int kSslErrorZeroReturn = 6;
constexpr int kBioCtrlPending = 10;

std::mutex gLock;
std::string gExtraCaFile;
detail::TTlsApi gApi;
bool gLoaded = false;
std::string gLoadError;

bool IsIpLiteral(const std::string& host) {
    if (host.find(':') != std::string::npos) return true;
    return !host.empty() && host.find_first_not_of("0123456789.") == std::string::npos;
}

class TOpenSslClient : public TTlsClient {
public:
    ~TOpenSslClient() override {
        if (FSsl) gApi.SSL_free(FSsl);  // frees both memory BIOs
        if (FCtx) gApi.SSL_CTX_free(FCtx);
    }

    bool Init(const std::string& host, std::string* error) {
        const detail::TTlsApi& a = gApi;
        FCtx = a.SSL_CTX_new(a.TLS_client_method());
        if (!FCtx) return Fail("cannot create a TLS context", error);
        a.SSL_CTX_ctrl(FCtx, kSslCtrlSetMinProtoVersion, kTls12Version, nullptr);
        a.SSL_CTX_set_verify(FCtx, kSslVerifyPeer, nullptr);
        detail::AddSystemTrust(a, FCtx);
        std::string extra = TlsExtraCaFile();
        if (!extra.empty() && a.SSL_CTX_load_verify_locations(FCtx, extra.c_str(), nullptr) != 1)
            return Fail("cannot read the trusted certificate file " + extra, error);
        FSsl = a.SSL_new(FCtx);
        void* in = a.BIO_new(a.BIO_s_mem());
        void* out = a.BIO_new(a.BIO_s_mem());
        if (!FSsl || !in || !out) return Fail("cannot create a TLS session", error);
        a.SSL_set_bio(FSsl, in, out);
        FIn = in;
        FOut = out;
        if (IsIpLiteral(host)) {
            a.X509_VERIFY_PARAM_set1_ip_asc(a.SSL_get0_param(FSsl), host.c_str());
        } else {
            a.SSL_ctrl(FSsl, kSslCtrlSetTlsextHostname, 0, const_cast<char*>(host.c_str()));
            a.SSL_set1_host(FSsl, host.c_str());
        }
        a.SSL_set_connect_state(FSsl);
        return true;
    }

    void PutInput(const char* data, size_t length) override {
        while (length > 0) {
            int chunk = static_cast<int>(length > (1u << 30) ? (1u << 30) : length);
            int n = gApi.BIO_write(FIn, data, chunk);
            if (n <= 0) return;
            data += n;
            length -= static_cast<size_t>(n);
        }
    }

    void TakeOutput(std::string& out) override {
        char buffer[16384];
        while (gApi.BIO_ctrl(FOut, kBioCtrlPending, 0, nullptr) > 0) {
            int n = gApi.BIO_read(FOut, buffer, sizeof buffer);
            if (n <= 0) break;
            out.append(buffer, static_cast<size_t>(n));
        }
    }

    TStatus Handshake(std::string* error) override {
        gApi.ERR_clear_error();
        int rc = gApi.SSL_do_handshake(FSsl);
        if (rc == 1) return kOk;
        return Status(rc, error);
    }

    TStatus Read(char* buffer, size_t size, size_t* read, std::string* error) override {
        *read = 0;
        gApi.ERR_clear_error();
        int n =
            gApi.SSL_read(FSsl, buffer, static_cast<int>(size > (1u << 30) ? (1u << 30) : size));
        if (n > 0) {
            *read = static_cast<size_t>(n);
            return kOk;
        }
        return Status(n, error);
    }

    TStatus Write(const char* data, size_t length, std::string* error) override {
        while (length > 0) {
            gApi.ERR_clear_error();
            int n = gApi.SSL_write(FSsl, data,
                                   static_cast<int>(length > (1u << 30) ? (1u << 30) : length));
            if (n <= 0) return Status(n, error);
            data += n;
            length -= static_cast<size_t>(n);
        }
        return kOk;
    }

private:
    bool Fail(const std::string& text, std::string* error) {
        if (error) *error = text;
        return false;
    }

    TStatus Status(int rc, std::string* error) {
        int code = gApi.SSL_get_error(FSsl, rc);
        if (code == kSslErrorWantRead || code == kSslErrorWantWrite) return kWantInput;
        if (code == kSslErrorZeroReturn) return kClosed;
        long verify = gApi.SSL_get_verify_result(FSsl);
        std::string text;
        if (verify != 0) {
            text = std::string("certificate verify failed: ") +
                   gApi.X509_verify_cert_error_string(verify);
        } else {
            unsigned long e = gApi.ERR_get_error();
            char buffer[256] = {};
            if (e) gApi.ERR_error_string_n(e, buffer, sizeof buffer);
            text = e ? buffer : "TLS error " + std::to_string(code);
        }
        if (error) *error = text;
        return kFailed;
    }

    void* FCtx = nullptr;
    void* FSsl = nullptr;
    void* FIn = nullptr;
    void* FOut = nullptr;
};

}  // namespace

void SetTlsExtraCaFile(const std::string& path) {
    std::lock_guard<std::mutex> lock(gLock);
    gExtraCaFile = path;
}

std::string TlsExtraCaFile() {
    std::lock_guard<std::mutex> lock(gLock);
    return gExtraCaFile;
}

bool TlsLoad(std::string* reason) {
    static std::once_flag once;
    std::call_once(once, [] {
        detail::TSymbolLookup lookup = nullptr;
        std::string why;
        if (!detail::LoadTlsLibraries(&lookup, &why) || !detail::FillTlsApi(gApi, lookup, &why)) {
            gLoadError = why;
            return;
        }
        gApi.OPENSSL_init_ssl(0, nullptr);
        gLoaded = true;
    });
    if (!gLoaded && reason) *reason = gLoadError;
    return gLoaded;
}

std::unique_ptr<TTlsClient> TTlsClient::Create(const std::string& host, std::string* error) {
    if (!TlsLoad(error)) return nullptr;
    auto client = std::make_unique<TOpenSslClient>();
    if (!client->Init(host, error)) return nullptr;
    return client;
}

}  // namespace platform
