#include "download/http_request.h"

#include "download/http_url.h"

namespace download {

namespace {
void Line(std::string& out, const char* name, const std::string& value) {
    if (value.empty()) return;
    out.append(name).append(value).append("\r\n");
}
}  // namespace

std::string BuildRequestHeader(const TRequestHeaderFields& f) {
    std::string out = f.Method + " " + f.Target + " HTTP/" + f.Version + "\r\n";
    Line(out, "From: ", f.Sender);
    Line(out, "Accept: ", f.Accept);
    Line(out, "Referer: ", f.Reference);
    Line(out, "Connection: ", f.Connection);
    Line(out, "Accept-Language: ", f.AcceptLanguage);
    Line(out, "Accept-Encoding: ", f.AcceptEncoding);
    Line(out, "User-Agent: ", f.Agent);
    std::string host = HostForUrl(f.Host);
    if (!f.Port.empty() && f.Port != "80" && f.Port != "443") host += ":" + f.Port;
    Line(out, "Host: ", host);
    if (f.NoCache) out += "Pragma: no-cache\r\n";
    Line(out, "Proxy-Connection: ", f.ProxyConnection);
    if (!f.IfModifiedSince.empty()) Line(out, "If-Modified-Since: ", f.IfModifiedSince + " GMT");
    Line(out, "Cookie: ", f.Cookie);
    if (!f.RangeBegin.empty() || !f.RangeEnd.empty())
        out += "Range: bytes=" + f.RangeBegin + "-" + f.RangeEnd + "\r\n";
    out += "\r\n";
    return out;
}

std::string BuildConnectRequest(const std::string& hostPort, const std::string& host,
                                const std::string& version, const std::string& agent) {
    std::string out = "CONNECT " + hostPort + " HTTP/" + version + "\r\n";
    Line(out, "User-Agent: ", agent);
    Line(out, "Host: ", hostPort.empty() ? host : hostPort);
    if (version == "1.0") out += "Proxy-Connection: Keep-Alive\r\n";
    out += "Content-Length: 0\r\n\r\n";
    return out;
}

}  // namespace download
