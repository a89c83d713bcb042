// The downloader's HTTP client: one per segment, with the segment's counters beside it.
#pragma once
#include <cstdint>

#include "download/httpcli.h"

namespace download {

class TMyHttpCli : public THttpCli {
public:
    using THttpCli::THttpCli;

    int64_t FDataCount = 0;    // bytes of this segment already in the file
    int64_t FStartOffset = 0;  // first byte of the segment
    int64_t FEndOffset = 0;    // last byte as requested (inclusive)
    int Index = 0;             // position in the downloader's list of clients
    bool Done = false;         // the segment needs no further request
};

}  // namespace download
