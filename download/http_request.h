// The request writer: the header lines of a request, in the order servers have always seen
// from this client.
#pragma once
#include <string>

namespace download {

struct TRequestHeaderFields {
    std::string Method = "GET";
    std::string Target;  // path, or the absolute URL through a proxy, or host:port for CONNECT
    std::string Version = "1.0";
    std::string Sender, Accept, Reference, Connection, AcceptLanguage, AcceptEncoding, Agent;
    std::string Host, Port;  // "Host" field; the port is added unless it is 80 or 443
    bool NoCache = false;
    std::string ProxyConnection;
    std::string IfModifiedSince;  // already formatted, without " GMT"
    std::string Cookie;
    std::string RangeBegin, RangeEnd;
};

// Every line followed by CR LF, then the empty line.
std::string BuildRequestHeader(const TRequestHeaderFields& fields);
// The tunnel request for "https" through an HTTP proxy.
std::string BuildConnectRequest(const std::string& hostPort, const std::string& host,
                                const std::string& version, const std::string& agent);

}  // namespace download
