// The small HTTP form post that carries the statistics reports.
#pragma once
#include <cstdint>
#include <string>

#include "platform/internet.h"

namespace app {

// Splits a URL (trimmed of blanks first) into the parts asked for; every output is optional and
// cleared first. False for an empty URL or one the system's cracker rejects (a part longer
// than its fixed buffer included).
bool CrackUrl(const std::string& url, std::string* scheme, std::string* host, uint16_t* port,
              std::string* userName, std::string* password, std::string* path,
              std::string* extraInfo);

// The header block the post sends, line by line, ending with the empty line.
std::string FormPostHeaders(const std::string& host, size_t contentLength,
                            const std::string& userName, const std::string& password);

// POSTs `body` (sent in the ANSI code page) as a form to `url` over a direct connection.
// True when the request was sent and answered, whatever the HTTP status. Connecting, sending
// and waiting for the answer each end after `timeoutMs`, which fails the post.
bool PostForm(const std::string& url, const std::string& body, const std::string& userName = "",
              const std::string& password = "", std::string* reply = nullptr,
              uint32_t timeoutMs = platform::kInternetTimeoutMs);

}  // namespace app
