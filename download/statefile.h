// The resumable state file of a segmented download: INI sections "GLOBAL" and "PART_<index>",
// written through the platform's profile functions so that every write reaches the disk at once.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "download/myhttpcli.h"

namespace download {

struct TStateFileGlobal {
    std::string ConfigMd5;
    std::string Url;
    int64_t ContentLength = 0;
    int64_t DownloadedSize = 0;
};

using TStateFileLog = std::function<void(const std::string& line)>;
using TSegmentCompleteTest = std::function<bool(const TMyHttpCli& part)>;

// Replaces every "PART_" section and "GLOBAL" (other sections stay), then writes the global keys
// and one section per non-empty part, in index order. A count larger than its segment is logged
// through `logDirect`, reset to 0 in the part and written as 0; each part's Done is recomputed
// with `complete` and stored.
void WriteStateFile(const std::string& fileName, const TStateFileGlobal& global,
                    std::vector<std::unique_ptr<TMyHttpCli>>& parts,
                    const TSegmentCompleteTest& complete, const TStateFileLog& logDirect);

// "DataCount" of "PART_<index>"; 0 when the section, the key or a number is missing.
int64_t ReadStoredDataCount(const std::string& fileName, int index);
// "DownloadConfigMD5", "Url", "ContentLength" and "DownloadedSize" of "GLOBAL"; empty or 0
// for what is missing or not a number. False when the file does not exist.
bool ReadStoredGlobal(const std::string& fileName, TStateFileGlobal& global);
// "ContentLength" and "DownloadedSize" of "GLOBAL"; 0 for what is missing.
void ReadStoredTotals(const std::string& fileName, int64_t& contentLength, int64_t& downloadedSize);

}  // namespace download
