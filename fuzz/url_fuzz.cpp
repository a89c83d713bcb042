// URLs and "Location" values as servers send them. The input is "current URL \n Location value".
// What must hold: a split URL put together again is a fixed point (splitting it once more gives
// the same address), a resolved Location is an absolute address that splits the same way, the
// path never carries a fragment, and a document name stays within its 255 characters.
#include <cstdint>
#include <string>

#include "download/http_url.h"
#include "fuzz/fuzz_check.h"
#include "platform/text.h"

using namespace download;

namespace {

void CheckUrl(const std::string& url) {
    const TUrlParts parts = ParseUrl(url);
    FUZZ_CHECK(parts.Path.empty() || parts.Path[0] == '/', "a path starts with a slash");
    FUZZ_CHECK(parts.Path.find('#') == std::string::npos, "a path never carries a fragment");
    if (parts.PortGiven && parts.PortValid) {
        int64_t port = 0;
        FUZZ_CHECK(platform::ParseInt64(parts.Port, port) && port >= 1 && port <= 65535,
                   "a valid port is a number from 1 to 65535");
    }
    // A host that a URL can carry (no brackets, separators or blanks in the name itself) and a
    // valid port: the
    // address put together from the parts splits into the same parts again.
    if (parts.PortValid && parts.Host.find_first_of("[]@/?# \t\r\n\v\f") == std::string::npos) {
        const std::string once = AbsoluteUrl(parts);
        const std::string twice = AbsoluteUrl(ParseUrl(once));
        FUZZ_CHECK(once == twice, "a URL put together from its parts is a fixed point");
    }
    FUZZ_CHECK(platform::Utf8ToUtf16(DocNameFromUrl(url)).size() <= 255,
               "a document name is at most 255 characters");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const size_t nl = input.find('\n');
    const std::string current =
        nl == std::string::npos ? "http://h:8080/a/b?c" : input.substr(0, nl);
    const std::string value = nl == std::string::npos ? input : input.substr(nl + 1);
    CheckUrl(value);
    CheckUrl(current);
    const std::string absolute = AbsoluteUrl(ParseUrl(current));
    const std::string resolved = ResolveLocation(absolute, value);
    CheckUrl(resolved);
    FUZZ_CHECK(DropFragment(resolved).find('#') == std::string::npos, "fragments are dropped");
    return 0;
}
