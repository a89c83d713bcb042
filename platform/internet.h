// The system's internet functions as the form post uses them: cracking a URL into its parts and
// one blocking request with a ready header block. Windows: WinINet. Linux stand-in: its own
// URL cracker and a blocking socket that sends the same request line, header block and body.
// Swappable so that tests can record what would be sent.
#pragma once
#include <cstdint>
#include <string>

namespace platform {

struct TUrlComponents {
    std::string Scheme, Host, UserName, Password, Path, Extra;  // Extra: the query with its "?"
    uint16_t Port = 0;  // the scheme's default when the URL gives none
};

// Capacities of the fixed buffers the parts are cracked into (characters, terminating zero
// included). A part that does not fit makes the whole URL unusable.
inline constexpr size_t kUrlSchemeCapacity = 32, kUrlHostCapacity = 256, kUrlUserCapacity = 128,
                        kUrlPasswordCapacity = 128, kUrlPathCapacity = 2048,
                        kUrlExtraCapacity = 1024;

// The one limit of every post, for connecting, sending and waiting for the answer alike: a
// statistics server that accepts and never answers must not keep an elevated process alive.
inline constexpr uint32_t kInternetTimeoutMs = 30000;

struct TInternetRequest {
    std::string Host;
    uint16_t Port = 80;
    std::string Verb = "POST";
    std::string Target;    // path and query
    std::string Referrer;  // the whole URL
    std::string Headers;   // ready header block, each line ending in CR LF, then an empty line
    std::string Body;      // bytes as they go on the wire
    uint32_t TimeoutMs = kInternetTimeoutMs;  // for connecting, sending and receiving
};

class IInternet {
public:
    virtual ~IInternet() = default;
    virtual bool CrackUrl(const std::string& url, TUrlComponents& parts) = 0;
    // A direct connection (no proxy), no credentials, no cache. True when the request was sent
    // and answered, whatever the status; `reply`, when given, receives the reply body. A
    // connect, send or receive that does not finish within the request's limit fails it.
    virtual bool Send(const TInternetRequest& request, std::string* reply) = 0;
};

IInternet& Internet();
void SetInternet(IInternet* internet);  // nullptr: the real one again
IInternet& RealInternet();

}  // namespace platform
