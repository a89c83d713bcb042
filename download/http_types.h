// Types shared by the HTTP client's layers and its users.
#pragma once
#include <stdexcept>
#include <string>

namespace download {

enum THttpAuthType { httpAuthNone, httpAuthBasic, httpAuthNtlm, httpAuthDigest };

enum THttpRequest {
    httpABORT,
    httpGET,
    httpPOST,
    httpPUT,
    httpHEAD,
    httpDELETE,
    httpCLOSE,
    httpPATCH,
    httpOPTIONS,
    httpTRACE
};

enum THttpState {
    httpReady,
    httpNotConnected,
    httpConnected,
    httpDnsLookup,
    httpDnsLookupDone,
    httpWaitingHeader,
    httpWaitingBody,
    httpBodyReceived,
    httpWaitingProxyConnect,
    httpClosing,
    httpAborting
};

// Error codes of OnRequestDone besides the lookup's and the socket's own error numbers.
inline constexpr int kHttpErrNone = 0;
inline constexpr int kHttpErrBusy = 1;
inline constexpr int kHttpErrAborted = 3;
inline constexpr int kHttpErrOverflow = 4;      // a header line or the whole header is too large
inline constexpr int kHttpErrVersion = 5;       // a request version other than 1.0 and 1.1
inline constexpr int kHttpErrTls = 7;           // TLS unavailable, handshake or certificate failed
inline constexpr int kHttpErrNoStatusCode = 9;  // closed before any status line
inline constexpr int kHttpErrProtocol = 10;     // bad status line, chunk size or tunnel reply
inline constexpr int kHttpErrTruncated = 11;    // closed before the announced end of the body
inline constexpr int kHttpErrBadUrl = 12;       // the address cannot be parsed (bad port)
inline constexpr int kHttpErrSocks = 13;        // the SOCKS server refused or spoke nonsense
inline constexpr int kHttpErrScheme = 14;       // a scheme other than "http" and "https"
// A length, size or range on the wire that no 64-bit signed offset can hold, or whose sums
// would not fit. Past the others (and past the facade's result codes 0 to 7, which share the
// facade's LastCode with these) so that a log line's code names one cause only.
inline constexpr int kHttpErrBadLength = 15;
// How the reason phrase of such a refusal begins; what was refused follows.
inline constexpr const char* kHttpBadLengthReason = "HTTP length out of range: ";

class EHttpException : public std::runtime_error {
public:
    EHttpException(const std::string& message, int errorCode)
        : std::runtime_error(message), ErrorCode(errorCode) {}
    int ErrorCode;
};

}  // namespace download
