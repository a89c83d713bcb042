// TLS for client sockets over OpenSSL, loaded at run time the first time an "https" address is
// used (libssl.so.3 on Linux, the libssl-3 / libssl-1_1 DLLs on Windows). The session does no
// I/O of its own: the caller feeds it the bytes read from the socket and sends what it hands
// back, so it works over any transport (a SOCKS or proxy tunnel included).
#pragma once
#include <cstddef>
#include <memory>
#include <string>

namespace platform {

// A PEM file of extra trusted certificates for every later session ("" for none). Process-wide;
// tests use it to trust their throw-away server certificate.
void SetTlsExtraCaFile(const std::string& path);
std::string TlsExtraCaFile();

// Loads the library once; false with a reason (naming what was looked for) when it cannot.
bool TlsLoad(std::string* reason);

class TTlsClient {
public:
    enum TStatus { kOk, kWantInput, kClosed, kFailed };

    // A session that verifies the server's certificate chain against the system's trusted
    // roots (plus the extra file) and its name against `host`. Null with a reason on failure.
    static std::unique_ptr<TTlsClient> Create(const std::string& host, std::string* error);
    virtual ~TTlsClient() = default;

    // Bytes that arrived from the peer.
    virtual void PutInput(const char* data, size_t length) = 0;
    // Bytes to send to the peer (appended to `out`).
    virtual void TakeOutput(std::string& out) = 0;
    // kOk once the handshake is complete, kWantInput while it needs more from the peer.
    virtual TStatus Handshake(std::string* error) = 0;
    // Decrypted bytes into `buffer`; kOk with *read > 0, kWantInput when none are ready, kClosed
    // after the peer's close alert.
    virtual TStatus Read(char* buffer, size_t size, size_t* read, std::string* error) = 0;
    virtual TStatus Write(const char* data, size_t length, std::string* error) = 0;
};

}  // namespace platform
