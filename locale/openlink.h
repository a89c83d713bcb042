// Opening a web link in a browser, with the fall-backs a bare shell call lacks.
#pragma once
#include <string>

namespace locale {

// True when one of the launches reported success; false for an empty or blank link.
bool OpenLink(const std::string& link);

// The setup's download page, offered after a failed download.
std::string DownloadPageUrl();

}  // namespace locale
