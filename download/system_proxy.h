// The system's proxy for one protocol, as the downloader falls back to it.
#pragma once
#include <string>

namespace download {

// Picks the proxy for `protocol` out of a system proxy list. An entry `protocol`=host:port
// (the name compared exactly, case and all) is taken up to the next ';'; a list without such an
// entry is taken whole. The text is split at its first ':'; false when there is none, and then
// `host` is empty and `port` is "0".
bool ParseProxyList(const std::string& list, const std::string& protocol, std::string& host,
                    std::string& port);

// The current user's proxy for `protocol` ("Http"): only a named proxy counts; a direct
// connection, automatic configuration or a failed query give false, an empty host and "0".
bool GetSystemProxy(const std::string& protocol, std::string& host, std::string& port);

}  // namespace download
