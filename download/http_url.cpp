#include "download/http_url.h"

#include <vector>

#include "platform/text.h"

namespace download {

namespace {

bool IsSchemeChar(char c, bool first) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) return true;
    return !first && ((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.');
}

// Length of "scheme://" at the start of `url`, or 0 when it does not start with one.
size_t SchemePrefixLength(std::string_view url) {
    size_t pos = url.find("://");
    if (pos == std::string_view::npos || pos == 0) return 0;
    for (size_t i = 0; i < pos; ++i)
        if (!IsSchemeChar(url[i], i == 0)) return 0;
    return pos + 3;
}

// Removes "." and ".." segments so that relative values cannot climb above the root.
std::string RemoveDotSegments(std::string_view path) {
    std::vector<std::string_view> out;
    bool trailingSlash = false;
    size_t i = 1;  // the path starts with "/"
    while (i <= path.size()) {
        size_t next = path.find('/', i);
        if (next == std::string_view::npos) next = path.size();
        std::string_view segment = path.substr(i, next - i);
        trailingSlash = segment == "." || segment == "..";
        if (segment == "..") {
            if (!out.empty()) out.pop_back();
        } else if (segment != ".") {
            out.push_back(segment);
        }
        i = next + 1;
    }
    std::string result;
    for (auto s : out) result.append("/").append(s);
    if (trailingSlash || result.empty()) result += "/";
    return result;
}

}  // namespace

std::string DropFragment(std::string_view url) {
    return std::string(url.substr(0, url.find('#')));
}

std::string DefaultPort(std::string_view scheme) {
    return platform::SameText(scheme, "https") ? "443" : "80";
}

std::string HostForUrl(const std::string& host) {
    return host.find(':') != std::string::npos ? "[" + host + "]" : host;
}

TUrlParts ParseUrl(std::string_view urlText) {
    TUrlParts parts;
    std::string url = platform::Trim(DropFragment(urlText));
    std::string_view rest = url;
    size_t prefix = SchemePrefixLength(rest);
    parts.Scheme = prefix ? platform::LowerCase(rest.substr(0, prefix - 3)) : "http";
    rest.remove_prefix(prefix);

    size_t authorityEnd = rest.find_first_of("/?");
    std::string_view authority = rest.substr(0, authorityEnd);
    std::string_view path =
        authorityEnd == std::string_view::npos ? std::string_view() : rest.substr(authorityEnd);

    size_t at = authority.rfind('@');
    if (at != std::string_view::npos) {
        std::string_view userInfo = authority.substr(0, at);
        size_t colon = userInfo.find(':');
        parts.User = std::string(userInfo.substr(0, colon));
        if (colon != std::string_view::npos)
            parts.Password = std::string(userInfo.substr(colon + 1));
        authority.remove_prefix(at + 1);
    }

    std::string_view portText;
    if (!authority.empty() && authority[0] == '[') {
        size_t close = authority.find(']');
        parts.Host = std::string(authority.substr(
            1, close == std::string_view::npos ? std::string_view::npos : close - 1));
        if (close != std::string_view::npos && close + 1 < authority.size() &&
            authority[close + 1] == ':')
            portText = authority.substr(close + 2);
    } else {
        size_t colon = authority.rfind(':');
        parts.Host = std::string(authority.substr(0, colon));
        if (colon != std::string_view::npos) portText = authority.substr(colon + 1);
    }
    if (!portText.empty()) {
        int64_t port = 0;
        parts.PortGiven = true;
        parts.PortValid = platform::ParseInt64(portText, port) && port > 0 && port <= 65535 &&
                          portText.find_first_not_of("0123456789") == std::string_view::npos;
        parts.Port = parts.PortValid ? std::to_string(port) : std::string(portText);
    } else {
        parts.Port = DefaultPort(parts.Scheme);
    }

    // A query straight after the host still needs the root in the request line.
    parts.Path = path.empty() ? "/" : path[0] == '?' ? "/" + std::string(path) : std::string(path);
    return parts;
}

std::string AbsoluteUrl(const TUrlParts& parts) {
    std::string url = parts.Scheme + "://" + HostForUrl(parts.Host);
    if (parts.PortGiven) url += ":" + parts.Port;
    return url + parts.Path;
}

std::string DocNameFromUrl(std::string_view url) {
    TUrlParts parts = ParseUrl(url);
    std::string_view path = parts.Path;
    path = path.substr(0, path.find('?'));
    std::string_view name = path.substr(path.rfind('/') + 1);
    if (name.empty()) return "document.htm";
    return std::string(name.substr(0, 255));
}

std::string AdjustDocNameForType(const std::string& docName, std::string_view contentType) {
    std::string type =
        platform::LowerCase(platform::Trim(contentType.substr(0, contentType.find(';'))));
    if (type != "text/html") return docName;
    size_t dot = docName.rfind('.');
    if (dot == std::string::npos) return docName + ".htm";
    if (platform::SameText(docName.substr(dot), ".exe")) return docName.substr(0, dot) + ".htm";
    return docName;
}

std::string ResolveLocation(std::string_view current, std::string_view valueText) {
    std::string value = platform::Trim(valueText);
    TUrlParts base = ParseUrl(current);
    if (value.rfind("//", 0) == 0) value = base.Scheme + ":" + value;
    if (SchemePrefixLength(value) > 0) return value;

    std::string origin = base.Scheme + "://" + HostForUrl(base.Host);
    if (base.PortGiven) origin += ":" + base.Port;
    std::string fragment;
    if (size_t hash = value.find('#'); hash != std::string::npos) {
        fragment = value.substr(hash);
        value.resize(hash);
    }
    std::string basePath = base.Path.substr(0, base.Path.find('?'));
    std::string path;
    if (value.empty()) {
        path = base.Path;  // only a fragment: the same document
    } else if (value[0] == '/') {
        size_t q = value.find('?');
        path =
            RemoveDotSegments(value.substr(0, q)) + (q == std::string::npos ? "" : value.substr(q));
    } else if (value[0] == '?') {
        path = basePath + value;
    } else {
        size_t q = value.find('?');
        std::string merged = basePath.substr(0, basePath.rfind('/') + 1) + value.substr(0, q);
        path = RemoveDotSegments(merged) + (q == std::string::npos ? "" : value.substr(q));
    }
    return origin + path + fragment;
}

}  // namespace download
