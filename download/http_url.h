// Addresses as the HTTP client reads them: splitting a URL, the document name, and making a
// "Location" value absolute against the current address.
#pragma once
#include <string>
#include <string_view>

namespace download {

struct TUrlParts {
    std::string Scheme;  // lower case; "http" when the URL names none
    std::string User, Password;
    std::string Host;  // without the brackets of an IPv6 literal
    std::string Port;  // the given port, or the scheme's default
    bool PortGiven = false;
    bool PortValid = true;  // false when the given port is not a number from 1 to 65535
    std::string Path;       // starts with "/", carries the query, never the fragment
};

TUrlParts ParseUrl(std::string_view url);

// Host as it appears in a URL or a "Host" field: IPv6 literals in brackets.
std::string HostForUrl(const std::string& host);
std::string DefaultPort(std::string_view scheme);
// scheme "://" host (":" port when the URL gave one) path.
std::string AbsoluteUrl(const TUrlParts& parts);

// Last segment of the path without the query, at most 255 characters; "document.htm" when the
// path is empty or ends with "/".
std::string DocNameFromUrl(std::string_view url);
// The name gets the extension "htm" when it has none or ends in ".exe" and the content type is
// text/html.
std::string AdjustDocNameForType(const std::string& docName, std::string_view contentType);

// Makes a "Location" value absolute against `current` (an absolute URL).
std::string ResolveLocation(std::string_view current, std::string_view value);
std::string DropFragment(std::string_view url);

}  // namespace download
