// Fuzzes the HTTP response parser: arbitrary bytes fed in pieces whose sizes come from the input,
// then the end of the connection; plus the "Location" resolution of whatever header it found.
// Checks what must hold for any input: body bytes are a part of what was fed, the parser never
// consumes more than it was given, and an event after the end or an error never appears.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "download/http_parser.h"
#include "download/http_url.h"

using download::THttpResponseParser;
using TEvent = THttpResponseParser::TEvent;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const size_t piece = 1 + data[0] % 64;  // how the bytes are split across reads
    const bool head = data[1] & 1;
    const char* text = reinterpret_cast<const char*>(data + 2);
    const size_t length = size - 2;

    THttpResponseParser parser;
    parser.Start(head);
    size_t bodyBytes = 0;
    bool finished = false;
    for (size_t at = 0; at < length && !finished; at += piece) {
        size_t chunk = length - at < piece ? length - at : piece;
        size_t pos = 0;
        while (!finished) {
            auto r = parser.Feed(text + at + pos, chunk - pos);
            if (r.Consumed > chunk - pos) abort();
            if (r.Event == TEvent::kBody) {
                if (r.Data < text + at + pos || r.Data + r.Length > text + at + chunk) abort();
                bodyBytes += r.Length;
            }
            pos += r.Consumed;
            if (r.Event == TEvent::kMessageDone || r.Event == TEvent::kError) finished = true;
            if (r.Event == TEvent::kNeedMore) break;
            if (r.Event != TEvent::kBody && r.Consumed == 0 && r.Event != TEvent::kHeaderDone)
                break;
        }
    }
    if (!finished) parser.Eof();
    if (bodyBytes > length) abort();
    if (parser.ContentLength >= 0 && !parser.Chunked &&
        bodyBytes > static_cast<size_t>(parser.ContentLength))
        abort();
    if (parser.HasLocation) {
        std::string resolved = download::ResolveLocation("http://h:8080/a/b?c", parser.Location);
        download::ParseUrl(resolved);
        download::DocNameFromUrl(resolved);
    }
    return 0;
}
